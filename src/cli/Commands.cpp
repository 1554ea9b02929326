#include "cli/Commands.h"
#include "app/Config.h"
#include "app/Locations.h"
#include "app/Text.h"
#include "app/Tr.h"
#include "store/Store.h"
#include "tracking/Progress.h"
#include "tracking/RecognitionText.h"
#include "tracking/Reply.h"
#include "watch/BookWatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {
// No courier uses numbers anywhere near this long; a longer text is a
// mistake, and would only make an absurd request.
constexpr int MaxNumberLength = 40;
constexpr int DefaultTimeoutSeconds = 20;

// A failure: one line on stderr and the status that goes with it.
struct Failed {
    int status;
    QString why;
};

void out(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int fail(const Failed &f)
{
    std::fflush(stdout);
    std::fputs(("parcelio: " + f.why.toUtf8() + '\n').constData(), stderr);
    return f.status;
}

void printJson(const QJsonValue &v)
{
    const QJsonDocument doc = v.isArray() ? QJsonDocument(v.toArray()) : QJsonDocument(v.toObject());
    out(QString::fromUtf8(doc.toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

struct Context {
    QCommandLineParser parser;
    QString name;
    bool json = false;
    int limitMs = DefaultTimeoutSeconds * 1000;
    Config cfg;
    std::unique_ptr<Store> store;
    std::unique_ptr<QNetworkAccessManager> net;
};

const QCommandLineOption JsonOption(QStringLiteral("json"));
const QCommandLineOption TimeoutOption(QStringLiteral("timeout"), QString(), Parcelio::tr("秒"));
const QCommandLineOption HelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption CompanyOption(QStringLiteral("company"), QString(), Parcelio::tr("公司"));
const QCommandLineOption IdOption(QStringLiteral("id"), QString(), Parcelio::tr("编号"));
const QCommandLineOption ForceOption(QStringLiteral("force"));

// The book as the window finds it. The window keeps its single-copy lock
// for as long as it runs, so while one runs the command works on a second
// connection to the file it opened; otherwise the file is made or upgraded
// as the window would, and the lock let go at once so that a window can
// start while the command runs.
std::optional<Failed> openBook(Context &c)
{
    const Locations at = findLocations(programDir());
    c.cfg = Config::load(at.iniPath);
    c.store = std::make_unique<Store>();
    const QString path = at.dataDir + QStringLiteral("/db/kd100.mdb");
    auto refused = [&](const QString &detail) {
        return Failed{CommandStatus::DatabaseRefused,
                      Parcelio::tr("数据库无法使用: %1 (%2)").arg(path, detail)};
    };
    switch (c.store->open(at.dataDir)) {
    case Store::OpenResult::Ok: c.store->releaseLock(); return std::nullopt;
    case Store::OpenResult::TooNew: return refused(Parcelio::tr("由更新版本的程序创建"));
    case Store::OpenResult::Failed: return refused(c.store->error());
    case Store::OpenResult::AlreadyRunning: break;
    }
    c.store = std::make_unique<Store>();
    // openShared would create an empty file where none is.
    if (!QFileInfo::exists(path))
        return refused(Parcelio::tr("文件不存在"));
    if (!c.store->openShared(path))
        return refused(c.store->error());
    switch (c.store->checkShared()) {
    case Store::OpenResult::Ok: return std::nullopt;
    case Store::OpenResult::TooNew: return refused(Parcelio::tr("由更新版本的程序创建"));
    default: return refused(c.store->error());
    }
}

Failed databaseFailed(const Store &s)
{
    return {CommandStatus::DatabaseRefused, Parcelio::tr("数据库操作失败,没有做任何改动: ") + s.error()};
}

struct Fetched {
    bool answered = false;
    int status = 0;
    QString body;
};

// The request as the window sends it, waited for at most limitMs.
Fetched fetch(Context &c, const QString &url)
{
    if (!c.net)
        c.net = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("If-Modified-Since", "0");
    QNetworkReply *reply = c.net->get(request);
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished()) {
        limit.start(c.limitMs);
        wait.exec();
    }
    Fetched f;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    f.answered = status.isValid() && reply->error() != QNetworkReply::OperationCanceledError;
    f.status = status.toInt();
    if (f.answered)
        f.body = decodeReplyBody(reply->readAll(), reply->rawHeader("Content-Type"));
    reply->deleteLater();
    return f;
}

std::optional<Failed> noGoodAnswer(const Fetched &f, const QString &service)
{
    if (!f.answered)
        return Failed{CommandStatus::ServiceFailed, service + Parcelio::tr("没有应答")};
    // An error page is no answer, whatever it holds.
    if (f.status < 200 || f.status > 299)
        return Failed{CommandStatus::ServiceFailed, service + Parcelio::tr("出错 (HTTP %1)").arg(f.status)};
    return std::nullopt;
}

// The add panel's checks of a typed number.
std::optional<Failed> refusedNumber(const QString &number)
{
    auto usage = [](const QString &why) { return Failed{CommandStatus::Usage, why}; };
    if (number.isEmpty())
        return usage(Parcelio::tr("请输入快递单号!"));
    if (number.size() > MaxNumberLength)
        return usage(Parcelio::tr("单号不正确,请您检查! (超过 %1 个字符)").arg(MaxNumberLength));
    if (number.contains(QLatin1Char('|')) || !isNumeric(number))
        return usage(Parcelio::tr("单号不正确,请您检查! (单号只能是数字)"));
    return std::nullopt;
}

std::optional<CourierRecord> courierNamed(Context &c, const QString &name, Failed &why)
{
    const QList<CourierRecord> rows = c.store->couriersByName(name);
    if (!c.store->error().isEmpty()) {
        why = databaseFailed(*c.store);
        return std::nullopt;
    }
    if (rows.isEmpty()) {
        why = {CommandStatus::Usage, Parcelio::tr("没有名为「%1」的快递公司").arg(name)};
        return std::nullopt;
    }
    return rows.first();
}

// The recognition service names the company, as the add panel asks it.
std::optional<CourierRecord> recognised(Context &c, const QString &number, Failed &why)
{
    if (number.size() <= 9) {
        why = {CommandStatus::Usage, Parcelio::tr("单号太短,无法识别快递公司,请用 --company 指定")};
        return std::nullopt;
    }
    const Fetched f = fetch(c, recognitionUrl(c.cfg.recognitionHost, number));
    if (auto bad = noGoodAnswer(f, Parcelio::tr("单号识别服务"))) {
        why = *bad;
        return std::nullopt;
    }
    const std::optional<QString> tail =
        f.body.contains(QStringLiteral("503")) ? std::nullopt : recognitionTailOf(f.body);
    if (!tail) {
        why = {CommandStatus::ServiceFailed, Parcelio::tr("检测出错,请手动选择快递公司 (--company)")};
        return std::nullopt;
    }
    const QList<CourierRecord> rows = c.store->couriersByShibie(recognizedCodeOf(*tail));
    if (!c.store->error().isEmpty()) {
        why = databaseFailed(*c.store);
        return std::nullopt;
    }
    if (rows.isEmpty()) {
        why = {CommandStatus::Usage, Parcelio::tr("未找到对应快递,请用 --company 指定")};
        return std::nullopt;
    }
    return rows.first();
}

// What the tracking service said of one number, read as the window reads it.
struct Tracked {
    TrackingReading reading;
    QDateTime queried;
};

std::optional<Failed> track(Context &c, const CourierRecord &courier, const QString &number, Tracked &t)
{
    const Fetched f = fetch(c, trackingUrlOf(c.cfg, courier.code, number));
    t.queried = QDateTime::currentDateTime();
    if (auto bad = noGoodAnswer(f, Parcelio::tr("查询服务")))
        return bad;
    const ReplyReading r = readReply(f.body);
    switch (r.kind) {
    case ReplyReading::Unreadable:
        return Failed{CommandStatus::ServiceFailed, Parcelio::tr("查询结果无法识别,请稍后再试..")};
    case ReplyReading::UnknownNumber:
        return Failed{CommandStatus::UnknownNumber,
                      Parcelio::tr("您当前查询的快递单号不存在 (%1 %2)").arg(courier.name, number)};
    case ReplyReading::Failure:
        return Failed{CommandStatus::ServiceFailed,
                      r.message.isEmpty() ? Parcelio::tr("查询失败,错误代码 %1").arg(r.code) : r.message};
    case ReplyReading::Success: break;
    }
    t.reading = readTrackingReply(f.body);
    return std::nullopt;
}

QJsonArray eventsJson(const QList<KeptEvent> &events)
{
    QJsonArray a;
    for (const KeptEvent &e : events)
        a.append(QJsonObject{{QStringLiteral("time"), e.time}, {QStringLiteral("context"), e.context}});
    return a;
}

QJsonObject parcelJson(const BookRow &r)
{
    QJsonObject o{{QStringLiteral("id"), r.parcel.id},       {QStringLiteral("number"), r.parcel.number},
                  {QStringLiteral("goods"), r.parcel.goods}, {QStringLiteral("company"), r.parcel.company},
                  {QStringLiteral("count"), r.parcel.num},   {QStringLiteral("state"), r.state},
                  {QStringLiteral("unseen"), r.unseen}};
    o.insert(QStringLiteral("newest"), r.newest.time.isEmpty() && r.newest.context.isEmpty()
                                           ? QJsonValue()
                                           : QJsonValue(eventsJson({r.newest}).first()));
    // Local time, as kept: ISO 8601 without a zone.
    o.insert(QStringLiteral("queried"),
             r.queried.isEmpty()
                 ? QJsonValue()
                 : QJsonValue(QString(r.queried).replace(QLatin1Char(' '), QLatin1Char('T'))));
    return o;
}

void appendJsonString(QByteArray &to, const QString &s)
{
    to += '"';
    for (const char ch : s.toUtf8()) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            to += '\\';
            to += ch;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            to += escaped;
        } else {
            to += ch;
        }
    }
    to += '"';
}

// parcelJson(r) as text, keys in the same order.
void appendParcelJson(QByteArray &to, const BookRow &r)
{
    to += "{\"company\":";
    appendJsonString(to, r.parcel.company);
    to += ",\"count\":";
    appendJsonString(to, r.parcel.num);
    to += ",\"goods\":";
    appendJsonString(to, r.parcel.goods);
    to += ",\"id\":" + QByteArray::number(r.parcel.id) + ",\"newest\":";
    if (r.newest.time.isEmpty() && r.newest.context.isEmpty()) {
        to += "null";
    } else {
        to += "{\"context\":";
        appendJsonString(to, r.newest.context);
        to += ",\"time\":";
        appendJsonString(to, r.newest.time);
        to += '}';
    }
    to += ",\"number\":";
    appendJsonString(to, r.parcel.number);
    to += ",\"queried\":";
    if (r.queried.isEmpty())
        to += "null";
    else
        appendJsonString(to, QString(r.queried).replace(QLatin1Char(' '), QLatin1Char('T')));
    to += ",\"state\":";
    appendJsonString(to, r.state);
    to += r.unseen ? ",\"unseen\":true}" : ",\"unseen\":false}";
}

QString parcelLine(const ParcelRecord &p)
{
    return QStringLiteral("[%1] %2 %3 %4").arg(p.id).arg(p.company, p.number, p.goods);
}

QList<KeptEvent> keptEvents(const TrackingReading &r)
{
    return keptProgressOf(0, r, QDateTime()).events;
}

// --- the commands --------------------------------------------------------

int list(Context &c)
{
    if (!c.parser.positionalArguments().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("list 不接受参数")});
    const QList<BookRow> rows = c.store->book();
    if (!c.store->error().isEmpty())
        return fail(databaseFailed(*c.store));
    if (c.json) {
        // Written row by row: a book of thousands would otherwise be held
        // three times over (rows, JSON values, text) before the first byte.
        QByteArray text = "[";
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (i > 0)
                text += ',';
            appendParcelJson(text, rows.at(i));
            if (text.size() > 65536) {
                std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
                text.clear();
            }
        }
        text += "]\n";
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return CommandStatus::Ok;
    }
    QString text;
    for (const BookRow &r : rows) {
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                    .arg(r.parcel.id)
                    .arg(r.parcel.number, r.parcel.goods, r.parcel.company, r.parcel.num,
                         r.state.isEmpty() ? Parcelio::tr("未查询") : r.state,
                         r.newest.time.isEmpty() ? QString()
                                                 : r.newest.time + QLatin1Char(' ') + r.newest.context);
    }
    out(text);
    return CommandStatus::Ok;
}

// The stored row named by --id, or why there is none.
std::optional<ParcelRecord> rowById(Context &c, Failed &why)
{
    const QString id = c.parser.value(IdOption);
    bool ok = false;
    const qint64 key = id.toLongLong(&ok);
    if (!ok || key <= 0) {
        why = {CommandStatus::Usage, Parcelio::tr("编号不正确: %1").arg(id)};
        return std::nullopt;
    }
    const auto found = c.store->parcelById(QString::number(key));
    if (found.outcome == RowLookup<ParcelRecord>::Missing)
        why = {CommandStatus::Usage, Parcelio::tr("没有编号为 %1 的快递").arg(key)};
    else if (!found)
        why = databaseFailed(*c.store);
    return found.row;
}

// As the window keeps a shown query: the progress (seen, since it is shown
// now) and, when the count grew on a parcel not signed for, the new count.
// A parcel without a count takes this query as its baseline, in memory only.
bool keepAsWindow(Store &s, const ParcelRecord &row, const Tracked &t)
{
    if (t.reading.kind != TrackingReading::Events)
        return true;
    const KeptProgress kept = keptProgressOf(row.id, t.reading, t.queried);
    const int count = int(t.reading.entries.size());
    bool ok = false;
    double stored = row.num.trimmed().toDouble(&ok);
    if (!ok)
        stored = 0;
    const bool grew = !row.num.isEmpty() && stored < count && t.reading.state != ParcelState::Signed;
    return grew ? s.saveNews(kept, QString::number(count)) : s.saveProgress(kept);
}

int query(Context &c)
{
    const QStringList args = c.parser.positionalArguments();
    const bool byId = c.parser.isSet(IdOption);
    if (byId ? !args.isEmpty() || c.parser.isSet(CompanyOption) : args.size() != 1)
        return fail({CommandStatus::Usage, Parcelio::tr("用法: ") + commandUsage(c.name)});
    Failed why{};
    QList<ParcelRecord> rows;
    QString number;
    if (byId) {
        const auto row = rowById(c, why);
        if (!row)
            return fail(why);
        rows = {*row};
        number = row->number;
    } else {
        number = args.first().trimmed();
        if (auto bad = refusedNumber(number))
            return fail(*bad);
        const auto same = c.store->findParcels(ParcelField::Number, Match::Exact, number);
        if (!same)
            return fail(databaseFailed(*c.store));
        rows = *same;
    }
    std::optional<CourierRecord> courier;
    if (c.parser.isSet(CompanyOption))
        courier = courierNamed(c, c.parser.value(CompanyOption), why);
    else if (!rows.isEmpty())
        courier = courierNamed(c, rows.first().company, why);
    else
        courier = recognised(c, number, why);
    if (!courier)
        return fail(why);
    // Saved rows of this number with this company are the ones this answer is about.
    QList<ParcelRecord> saved;
    for (const ParcelRecord &r : rows)
        if (r.company == courier->name)
            saved.append(r);

    Tracked t;
    if (auto bad = track(c, *courier, number, t))
        return fail(*bad);
    for (const ParcelRecord &r : saved)
        if (!keepAsWindow(*c.store, r, t))
            return fail(databaseFailed(*c.store));

    const QList<KeptEvent> events = keptEvents(t.reading);
    const bool any = t.reading.kind == TrackingReading::Events;
    const QString state = any ? parcelStateText(t.reading.state) : QString();
    const QString transit = any ? transitText(events, t.reading.state, t.queried) : QString();
    if (c.json) {
        QJsonObject o{{QStringLiteral("number"), number},
                      {QStringLiteral("company"), courier->name},
                      {QStringLiteral("state"), state},
                      {QStringLiteral("transit"), transit},
                      {QStringLiteral("events"), eventsJson(events)}};
        QJsonArray ids;
        for (const ParcelRecord &r : saved)
            ids.append(r.id);
        o.insert(QStringLiteral("saved"), ids);
        printJson(o);
        return CommandStatus::Ok;
    }
    QString text = courier->name + QLatin1Char(' ') + number;
    for (const ParcelRecord &r : saved)
        text += QStringLiteral(" [%1] %2").arg(r.id).arg(r.goods);
    text += QLatin1Char('\n');
    if (!any)
        text += Parcelio::tr("暂无物流信息\n");
    else
        text += Parcelio::tr("状态: %1\t在途: %2\n").arg(state, transit);
    for (int i = 0; i < events.size(); ++i)
        text += QStringLiteral("%1\t%2\t%3\n").arg(i + 1).arg(events.at(i).time, events.at(i).context);
    out(text);
    return CommandStatus::Ok;
}

int add(Context &c)
{
    const QStringList args = c.parser.positionalArguments();
    if (args.size() != 2)
        return fail({CommandStatus::Usage, Parcelio::tr("用法: ") + commandUsage(c.name)});
    const QString number = args.at(0).trimmed();
    const QString goods = args.at(1);
    if (auto bad = refusedNumber(number))
        return fail(*bad);
    if (goods.trimmed().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("请输入快递物品信息,例如：爸爸衣服")});
    // Asked before any request: a saved number needs none.
    const auto existing = c.store->findParcels(ParcelField::Number, Match::Exact, number);
    if (!existing)
        return fail(databaseFailed(*c.store));
    if (!existing->isEmpty())
        return fail(
            {CommandStatus::Usage, Parcelio::tr("快递数据已存在! %1").arg(parcelLine(existing->first()))});

    Failed why{};
    const std::optional<CourierRecord> courier = c.parser.isSet(CompanyOption)
                                                     ? courierNamed(c, c.parser.value(CompanyOption), why)
                                                     : recognised(c, number, why);
    if (!courier)
        return fail(why);
    Tracked t;
    if (auto bad = track(c, *courier, number, t)) {
        if (bad->status != CommandStatus::UnknownNumber || !c.parser.isSet(ForceOption))
            return fail(*bad);
        t.reading = TrackingReading{}; // kept all the same, as the add panel offers
    }
    const std::optional<qint64> id = c.store->addParcel(courier->name, number, goods, QStringLiteral("0"));
    if (!id)
        return fail(databaseFailed(*c.store));
    ParcelRecord row{*id, number, goods, courier->name, QStringLiteral("0")};
    // The window shows a parcel just added at once, and that display keeps
    // its progress and count: so does this, from the same answer.
    if (!keepAsWindow(*c.store, row, t)) {
        const Failed f = databaseFailed(*c.store);
        c.store->deleteParcel(QString::number(*id));
        return fail(f);
    }
    BookRow shown{row, {}, {}, {}, false};
    if (t.reading.kind == TrackingReading::Events) {
        const QList<KeptEvent> events = keptEvents(t.reading);
        shown.state = parcelStateText(t.reading.state);
        shown.newest = events.first();
        shown.queried = t.queried.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (t.reading.state != ParcelState::Signed)
            shown.parcel.num = QString::number(events.size());
    }
    if (c.json) {
        printJson(parcelJson(shown));
        return CommandStatus::Ok;
    }
    QString text = Parcelio::tr("快递添加成功! ") + parcelLine(shown.parcel) + QLatin1Char('\n');
    if (!shown.state.isEmpty())
        text += QStringLiteral("%1\t%2 %3\n").arg(shown.state, shown.newest.time, shown.newest.context);
    else
        text += Parcelio::tr("暂无物流信息\n");
    out(text);
    return CommandStatus::Ok;
}

int remove(Context &c)
{
    if (!c.parser.positionalArguments().isEmpty() || !c.parser.isSet(IdOption))
        return fail({CommandStatus::Usage, Parcelio::tr("用法: ") + commandUsage(c.name)});
    Failed why{};
    const auto row = rowById(c, why);
    if (!row)
        return fail(why);
    if (!c.store->deleteParcel(QString::number(row->id)))
        return fail(databaseFailed(*c.store));
    if (c.json)
        printJson(parcelJson(BookRow{*row, {}, {}, {}, false}));
    else
        out(Parcelio::tr("快递信息已删除! ") + parcelLine(*row) + QLatin1Char('\n'));
    return CommandStatus::Ok;
}

int refresh(Context &c)
{
    if (!c.parser.positionalArguments().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("refresh 不接受参数")});
    BookWatch watch(*c.store, c.cfg, [] { return QDateTime::currentDateTime(); });
    watch.limitMs = c.limitMs;
    QJsonArray news;
    QList<RoundNews> told;
    QEventLoop wait;
    QObject::connect(&watch, &BookWatch::news, &wait, [&](const BookWatchNews &n) {
        const KeptEvent &e = n.progress.events.first();
        told.append({n.parcel.id, n.parcel.goods, e.time + QLatin1Char(' ') + e.context});
        if (c.json) {
            QJsonObject o{{QStringLiteral("id"), n.parcel.id},
                          {QStringLiteral("number"), n.parcel.number},
                          {QStringLiteral("goods"), n.parcel.goods},
                          {QStringLiteral("company"), n.parcel.company},
                          {QStringLiteral("count"), n.progress.events.size()},
                          {QStringLiteral("state"), n.progress.state},
                          {QStringLiteral("newest"), eventsJson({e}).first()}};
            news.append(o);
        } else {
            out(Parcelio::tr("快递有最新进展 [%1] %2 %3 %4\t%5 %6\n")
                    .arg(n.parcel.id)
                    .arg(n.parcel.company, n.parcel.number, n.parcel.goods, e.time, e.context));
            std::fflush(stdout);
        }
    });
    QObject::connect(&watch, &BookWatch::roundFinished, &wait, &QEventLoop::quit);
    if (!watch.startRound())
        return fail(databaseFailed(*c.store));
    wait.exec();
    if (!told.isEmpty() && tellDesktop)
        tellDesktop(findLocations(programDir()).dataDir, told);
    const RoundSummary &s = watch.lastRound();
    if (c.json)
        printJson(QJsonObject{{QStringLiteral("asked"), s.asked},
                              {QStringLiteral("failed"), s.failed},
                              {QStringLiteral("news"), news}});
    else
        out(Parcelio::tr("查询%1,更新%2,失败%3\n").arg(s.asked).arg(s.news).arg(s.failed));
    if (s.news > 0)
        return CommandStatus::Ok;
    if (s.failed > 0)
        return fail({CommandStatus::ServiceFailed, Parcelio::tr("%1 个快递查询失败").arg(s.failed)});
    return CommandStatus::NoNews;
}
} // namespace

std::function<void(const QString &, const QList<RoundNews> &)> tellDesktop;

int runCommand(const QStringList &arguments)
{
    Context c;
    c.name = arguments.value(0);
    if (c.name == QLatin1String("help")) {
        const QString topic = arguments.value(1);
        if (arguments.size() > 2 || (!topic.isEmpty() && !isCommandName(topic)))
            return fail({CommandStatus::Usage,
                         Parcelio::tr("没有这个命令: ") + arguments.mid(1).join(QLatin1Char(' '))});
        out(topic.isEmpty() ? commandsHelp() : commandHelp(topic));
        return CommandStatus::Ok;
    }
    QList<QCommandLineOption> options{JsonOption, TimeoutOption, HelpOption};
    if (c.name == QLatin1String("query") || c.name == QLatin1String("add"))
        options << CompanyOption;
    if (c.name == QLatin1String("query") || c.name == QLatin1String("remove"))
        options << IdOption;
    if (c.name == QLatin1String("add"))
        options << ForceOption;
    c.parser.addOptions(options);
    // The program's name first, as QCommandLineParser expects.
    if (!c.parser.parse(QStringList{QStringLiteral("parcelio")} + arguments.mid(1)))
        return fail({CommandStatus::Usage,
                     c.parser.errorText() + QStringLiteral(" (parcelio help ") + c.name + QLatin1Char(')')});
    if (c.parser.isSet(HelpOption)) {
        out(commandHelp(c.name));
        return CommandStatus::Ok;
    }
    c.json = c.parser.isSet(JsonOption);
    if (c.parser.isSet(TimeoutOption)) {
        bool ok = false;
        const double seconds = c.parser.value(TimeoutOption).toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > 3600)
            return fail({CommandStatus::Usage, Parcelio::tr("--timeout 要在 0 到 3600 秒之间")});
        c.limitMs = qMax(1, int(seconds * 1000));
    }
    if (auto refused = openBook(c))
        return fail(*refused);
    if (c.name == QLatin1String("list"))
        return list(c);
    if (c.name == QLatin1String("query"))
        return query(c);
    if (c.name == QLatin1String("add"))
        return add(c);
    if (c.name == QLatin1String("remove"))
        return remove(c);
    return refresh(c);
}
