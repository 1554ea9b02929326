#include "cli/Commands.h"
#include "app/Config.h"
#include "app/Locations.h"
#include "app/Text.h"
#include "net/Download.h"
#include "platform/Notifications.h"
#include "store/SettingValues.h"
#include "book/Stage.h"
#include "app/Tr.h"
#include "store/Store.h"
#include "tracking/Progress.h"
#include "tracking/Intake.h"
#include "tracking/RecognitionText.h"
#include "tracking/Reply.h"
#include "tracking/Client.h"
#include "tracking/Service.h"
#include "watch/BookWatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
// No courier uses numbers anywhere near this long; a longer text is a
// mistake, and would only make an absurd request.
constexpr int MaxNumberLength = 40;
constexpr int DefaultTimeoutSeconds = 20;
// As long as the window lets a news mail take.
constexpr int MailLimitMs = 60000;

// A failure: one line on stderr and the status that goes with it.
struct Failed {
    int status;
    QString why;
};

// Text from a reply, the book or the user, made fit for one field of a
// terminal line: control characters (an escape sequence would rewrite the
// terminal, a line break or tab would forge lines and columns) become blanks;
// the marks that turn text right to left (which would show a number or a
// time reversed) are dropped.
QString plain(QString text)
{
    const auto bidi = [](QChar ch) {
        const char16_t u = ch.unicode();
        return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
               (u >= 0x2066 && u <= 0x2069);
    };
    text.removeIf(bidi);
    for (QChar &ch : text) {
        const QChar::Category k = ch.category();
        if (k == QChar::Other_Control || k == QChar::Separator_Line || k == QChar::Separator_Paragraph)
            ch = QLatin1Char(' ');
    }
    return text;
}

void out(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int fail(const Failed &f)
{
    std::fflush(stdout);
    std::fputs(("parcelio: " + plain(f.why).toUtf8() + '\n').constData(), stderr);
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
    std::shared_ptr<const TrackingService> service;
    std::unique_ptr<Store> store;
    std::unique_ptr<QNetworkAccessManager> net;
    std::unique_ptr<TrackingClient> client; // after net: its requests go through it
};

const QCommandLineOption JsonOption(QStringLiteral("json"));
const QCommandLineOption TimeoutOption(QStringLiteral("timeout"), QString(), Parcelio::tr("秒"));
const QCommandLineOption HelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption CompanyOption(QStringLiteral("company"), QString(), Parcelio::tr("公司"));
const QCommandLineOption IdOption(QStringLiteral("id"), QString(), Parcelio::tr("编号"));
const QCommandLineOption ForceOption(QStringLiteral("force"));
const QCommandLineOption YesOption(QStringLiteral("yes"));
// More pasted numbers than this spend the service's quota only when confirmed.
const QCommandLineOption PhoneOption(QStringLiteral("phone"), QString(), QStringLiteral("手机尾号"));
const QCommandLineOption ArchivedOption(QStringLiteral("archived"));

// The book as the window finds it. The window keeps its single-copy lock
// for as long as it runs, so while one runs the command works on a second
// connection to the file it opened; otherwise the file is made or upgraded
// as the window would, and the lock let go at once so that a window can
// start while the command runs.
std::optional<Failed> openBook(Context &c)
{
    const Locations at = findLocations(programDir());
    c.cfg = Config::load(at.iniPath);
    c.service = TrackingService::make(c.cfg);
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

// A reply that came, bounded and kept on its host, as the tracking
// service's are read.
using Fetched = ServiceAnswer;

// Waits for the reply in a nested loop, at most limitMs (then it is aborted).
void awaitReply(QNetworkReply *reply, int limitMs)
{
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished()) {
        limit.start(limitMs);
        wait.exec();
    }
}

// The request as the window sends it, waited for at most limitMs.
Fetched fetch(Context &c, const QString &url)
{
    if (!c.net)
        c.net = newNetworkManager();
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("If-Modified-Since", "0");
    QNetworkReply *reply = c.net->get(request);
    BoundedBody body(reply, ReplyLimit::Any);
    awaitReply(reply, c.limitMs);
    const Fetched f = serviceAnswerOf(reply, body, QDateTime::currentDateTime());
    reply->deleteLater();
    return f;
}

std::optional<Failed> noGoodAnswer(const Fetched &f, const QString &service)
{
    if (!f.answered)
        return Failed{CommandStatus::ServiceFailed,
                      service + (f.refused.isEmpty() ? Parcelio::tr("没有应答") : f.refused)};
    // An error page is no answer, whatever it holds.
    if (f.status < 200 || f.status > 299)
        return Failed{CommandStatus::ServiceFailed, service + Parcelio::tr("出错 (HTTP %1)").arg(f.status)};
    return std::nullopt;
}

// The add panel's checks of a typed number, but digits only, as the message says.
std::optional<Failed> refusedNumber(const QString &number)
{
    auto usage = [](const QString &why) { return Failed{CommandStatus::Usage, why}; };
    if (number.isEmpty())
        return usage(Parcelio::tr("请输入快递单号!"));
    if (number.size() > MaxNumberLength)
        return usage(Parcelio::tr("单号不正确,请您检查! (超过 %1 个字符)").arg(MaxNumberLength));
    // Letters and digits, as the window takes them (顺丰, 圆通 and 极兔
    // numbers begin with letters); a number test would let "1.5e3" through.
    const bool plainNumber = std::all_of(number.cbegin(), number.cend(), [](QChar ch) {
        return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'));
    });
    if (!plainNumber)
        return usage(Parcelio::tr("单号不正确,请您检查! (单号只能是字母和数字)"));
    return std::nullopt;
}

// Edits (insert, delete, replace) from one text to the other.
qsizetype editDistance(const QString &a, const QString &b)
{
    QList<qsizetype> row(b.size() + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[j];
            row[j] = qMin(qMin(row[j] + 1, row[j - 1] + 1), diagonal + (a[i - 1] == b[j - 1] ? 0 : 1));
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The directory's names nearest to one it does not hold: those holding it
// (or held by it) or naming it by the service code, then those a few edits
// away; at most five.
QStringList closestCourierNames(const QList<CourierRecord> &couriers, const QString &name)
{
    // "快递" and the like end most names: compared without, 顺风 is near 顺丰
    // and far from 申通.
    static const QRegularExpression kind(QStringLiteral("(快递|速递|物流|快运|速运)$"));
    const QString wanted = name.trimmed();
    const QString core = QString(wanted).remove(kind).toLower();
    if (wanted.isEmpty())
        return {};
    QList<QPair<qsizetype, QString>> scored;
    for (const CourierRecord &r : couriers) {
        const QString other = QString(r.name).remove(kind).toLower();
        qsizetype score = editDistance(core, other);
        if (r.name.contains(wanted, Qt::CaseInsensitive) || wanted.contains(r.name, Qt::CaseInsensitive) ||
            r.code.compare(wanted, Qt::CaseInsensitive) == 0)
            score = 0;
        else if (core.isEmpty() || score > qMax<qsizetype>(1, qMin(core.size(), other.size()) / 2))
            continue;
        scored.append({score, r.name});
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList out;
    for (const auto &[score, n] : scored)
        if (out.size() < 5 && !out.contains(n))
            out << n;
    return out;
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
        const QStringList close = closestCourierNames(c.store->allCouriers(), name);
        if (!close.isEmpty())
            why.why += QStringLiteral("; ") + Parcelio::tr("最接近的: %1").arg(close.join(Parcelio::tr("、")));
        return std::nullopt;
    }
    return rows.first();
}

ServiceAnswer exchange(Context &c, const ServiceRequest &request);

// The recognition service names the company, as the add panel asks it; for
// a pasted number, the chosen tracking service's own recognition where the
// recognition service names none.
std::optional<CourierRecord> recognised(Context &c, const QString &number, Failed &why, bool pasted = false)
{
    // Placed by its letters: no recognition spent on it.
    if (auto local = courierByPrefix(*c.store, number))
        return local;
    if (number.size() <= 9) {
        why = {CommandStatus::Usage, Parcelio::tr("单号太短,无法识别快递公司,请用 --company 指定")};
        return std::nullopt;
    }
    const Fetched f = fetch(c, recognitionUrl(c.cfg.recognitionHost, number));
    const std::optional<Failed> bad = noGoodAnswer(f, Parcelio::tr("单号识别服务"));
    RecognisedCourier r;
    if (pasted)
        r = courierOfPasted(*c.store, bad ? std::nullopt : std::optional<QString>(f.body), *c.service, number,
                            [&c](const ServiceRequest &request) { return exchange(c, request); });
    else if (!bad)
        r = courierOfRecognition(*c.store, f.body);
    if (bad && r.outcome != RecognisedCourier::Named && r.outcome != RecognisedCourier::DatabaseFailed) {
        why = *bad;
        return std::nullopt;
    }
    switch (r.outcome) {
    case RecognisedCourier::Named: return r.courier;
    case RecognisedCourier::Busy:
    case RecognisedCourier::Unreadable:
        why = {CommandStatus::ServiceFailed, Parcelio::tr("检测出错,请手动选择快递公司 (--company)")};
        break;
    case RecognisedCourier::NotInDirectory:
        why = {CommandStatus::Usage, Parcelio::tr("未找到对应快递,请用 --company 指定")};
        break;
    case RecognisedCourier::DatabaseFailed: why = databaseFailed(*c.store); break;
    }
    return std::nullopt;
}

// What the tracking service said of one number, read as the window reads it.
struct Tracked {
    TrackingReading reading;
    QDateTime queried;
};

// One request of the tracking service, waited for at most limitMs.
ServiceAnswer exchange(Context &c, const ServiceRequest &request)
{
    if (!c.net)
        c.net = newNetworkManager();
    QNetworkReply *reply = sendServiceRequest(*c.net, request);
    BoundedBody body(reply, ReplyLimit::Any);
    awaitReply(reply, c.limitMs);
    const ServiceAnswer a = serviceAnswerOf(reply, body, QDateTime::currentDateTime());
    reply->deleteLater();
    return a;
}

// A failed reading told as one line, with the status that goes with it.
Failed failureOf(const TrackingReading &r, const CourierRecord &courier, const QString &number)
{
    if (r.reply.kind == ReplyReading::UnknownNumber)
        return {CommandStatus::UnknownNumber,
                Parcelio::tr("您当前查询的快递单号不存在 (%1 %2)").arg(courier.name, number)};
    switch (r.trouble) {
    case TrackingReading::PhoneNeeded: return {CommandStatus::Usage, r.reply.message + QStringLiteral(" (--phone)")};
    case TrackingReading::NotCovered:
        return {CommandStatus::Usage, r.reply.message + QStringLiteral(" (%1)").arg(courier.name)};
    case TrackingReading::Quota:
        if (r.retryAt.isValid())
            return {CommandStatus::ServiceFailed,
                    r.reply.message +
                        Parcelio::tr(" (%1 以后)").arg(holdText(r.retryAt, QDateTime::currentDateTime()))};
        break;
    case TrackingReading::Refused:
        return {CommandStatus::Usage, r.reply.message + QStringLiteral(" (%1 %2)").arg(courier.name, number)};
    case TrackingReading::Awaiting:
    case TrackingReading::WrongKey:
    case TrackingReading::NoTrouble: break;
    }
    return {CommandStatus::ServiceFailed,
            r.reply.message.isEmpty() ? Parcelio::tr("查询失败,错误代码 %1").arg(r.reply.code) : r.reply.message};
}

// The tracking client, waiting as the commands wait: each request up to
// limitMs, the client's own waits with the events running.
TrackingClient &clientOf(Context &c)
{
    if (!c.client) {
        ClientWaiting waiting{
            [&c](const ServiceRequest &request, std::function<void(const ServiceAnswer &)> then) {
                then(exchange(c, request));
            },
            [](int ms, std::function<void()> then) {
                QEventLoop wait;
                QTimer::singleShot(ms, &wait, &QEventLoop::quit);
                wait.exec();
                then();
            },
            [] { return QDateTime::currentDateTime(); }};
        c.client = std::make_unique<TrackingClient>(c.service, std::move(waiting), storeMemory(*c.store));
    }
    return *c.client;
}

std::optional<Failed> track(Context &c, const CourierRecord &courier, const QString &number, const QString &phone,
                            Tracked &t)
{
    TrackingReading reading;
    clientOf(c).ask({ServiceAsk{courier.code, number, phone}},
                    [&reading](const QList<TrackingReading> &readings) { reading = readings.value(0); });
    t.queried = QDateTime::currentDateTime();
    // Handed out also when refused: its hold is kept all the same.
    t.reading = reading;
    switch (reading.kind) {
    case TrackingReading::NoAnswer:
        return Failed{CommandStatus::ServiceFailed, Parcelio::tr("查询服务没有应答")};
    case TrackingReading::Unreadable:
        return Failed{CommandStatus::ServiceFailed, Parcelio::tr("查询结果无法识别,请稍后再试..")};
    case TrackingReading::Failure:
        // Registered, not found yet: kept, and told so.
        if (reading.trouble == TrackingReading::Awaiting)
            return std::nullopt;
        return failureOf(reading, courier, number);
    case TrackingReading::NoEvents:
    case TrackingReading::Events: break;
    }
    return std::nullopt;
}

// Four digits or none; a parcel's own when the option is not given.
std::optional<Failed> phoneOption(Context &c, QString &phone)
{
    if (!c.parser.isSet(PhoneOption))
        return std::nullopt;
    phone = c.parser.value(PhoneOption).trimmed();
    if (!isPhoneDigits(phone))
        return Failed{CommandStatus::Usage, Parcelio::tr("--phone 要是手机号后四位数字")};
    return std::nullopt;
}

QJsonArray eventsJson(const QList<KeptEvent> &events)
{
    QJsonArray a;
    for (const KeptEvent &e : events)
        a.append(QJsonObject{{QStringLiteral("time"), e.time}, {QStringLiteral("context"), e.context}});
    return a;
}

// The kept count as a number, as refresh gives it; null when the book holds
// none that reads as one (a row kept before counts were).
std::optional<double> countOf(const QString &num)
{
    bool ok = false;
    const double n = num.trimmed().toDouble(&ok);
    return ok && std::isfinite(n) ? std::optional<double>(n) : std::nullopt;
}

// Where a parcel waits and its code: the station and phone of its newest
// event while it waits (or was picked up there), the code as kept.
PickupStation stationOf(const QString &newest, Status stage)
{
    return stage == Status::AtStation || stage == Status::PickedUp ? pickupStationOf(newest) : PickupStation{};
}

QJsonObject pickupJson(const PickupStation &at, const QString &code)
{
    return QJsonObject{{QStringLiteral("station"), at.station},
                       {QStringLiteral("phone"), at.phone},
                       {QStringLiteral("code"), code}};
}

// The row's status with the user's marks: picked up, else archived, else
// as kept.
Status markedStatus(const BookRow &r)
{
    const Status status = bookRowStatus(r);
    return status != Status::PickedUp && !r.life.archived.isEmpty() ? Status::Archived : status;
}

QJsonObject parcelJson(const BookRow &r)
{
    const std::optional<double> count = countOf(r.parcel.num);
    QJsonObject o{{QStringLiteral("id"), r.parcel.id},
                  {QStringLiteral("number"), r.parcel.number},
                  {QStringLiteral("goods"), r.parcel.goods},
                  {QStringLiteral("company"), r.parcel.company},
                  {QStringLiteral("count"), count ? QJsonValue(*count) : QJsonValue()},
                  {QStringLiteral("state"), stateWords(r.status)},
                  {QStringLiteral("unseen"), r.unseen}};
    o.insert(QStringLiteral("phone"), r.phone.isEmpty() ? QJsonValue() : QJsonValue(r.phone));
    const Status stage = bookRowStatus(r);
    o.insert(QStringLiteral("stage"), stageWords(stage));
    o.insert(QStringLiteral("status"), statusCode(markedStatus(r)));
    o.insert(QStringLiteral("pickup"), pickupJson(stationOf(r.newest.context, stage), r.life.code));
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
    const std::optional<double> count = countOf(r.parcel.num);
    to += count ? QByteArray::number(*count, 'g', QLocale::FloatingPointShortest) : QByteArray("null");
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
    to += ",\"phone\":";
    if (r.phone.isEmpty())
        to += "null";
    else
        appendJsonString(to, r.phone);
    const Status stage = bookRowStatus(r);
    const PickupStation at = stationOf(r.newest.context, stage);
    to += ",\"pickup\":{\"code\":";
    appendJsonString(to, r.life.code);
    to += ",\"phone\":";
    appendJsonString(to, at.phone);
    to += ",\"station\":";
    appendJsonString(to, at.station);
    to += "},\"queried\":";
    if (r.queried.isEmpty())
        to += "null";
    else
        appendJsonString(to, QString(r.queried).replace(QLatin1Char(' '), QLatin1Char('T')));
    to += ",\"stage\":";
    appendJsonString(to, stageWords(stage));
    to += ",\"state\":";
    appendJsonString(to, stateWords(r.status));
    to += ",\"status\":";
    appendJsonString(to, statusCode(markedStatus(r)));
    to += r.unseen ? ",\"unseen\":true}" : ",\"unseen\":false}";
}

// The status in the user's language.
QString stateColumn(const BookRow &r)
{
    const Status stage = bookRowStatus(r);
    return stage == Status::Unknown ? Parcelio::tr("未查询") : shownStatus(stage);
}

QString parcelLine(const ParcelRecord &p)
{
    return QStringLiteral("[%1] %2 %3 %4").arg(p.id).arg(plain(p.company), plain(p.number), plain(p.goods));
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
    const QList<BookRow> rows =
        c.store->book(c.parser.isSet(ArchivedOption) ? Store::Shelf::Archived : Store::Shelf::Active);
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
        text +=
            QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                .arg(r.parcel.id)
                .arg(plain(r.parcel.number), plain(r.parcel.goods), plain(r.parcel.company),
                     plain(r.parcel.num), plain(stateColumn(r)),
                     r.newest.time.isEmpty() ? QString()
                                             : plain(r.newest.time + QLatin1Char(' ') + r.newest.context));
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
    const auto found = c.store->parcelById(key);
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
    const bool grew = !row.num.isEmpty() && stored < count && t.reading.status != Status::Signed;
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
        number = args.first().trimmed().toUpper();
        if (auto bad = refusedNumber(number))
            return fail(*bad);
        const auto same = c.store->findParcels(ParcelField::Number, Match::Exact, number);
        if (!same)
            return fail(databaseFailed(*c.store));
        rows = *same;
    }
    QString phone = rows.isEmpty() ? QString() : c.store->phoneOf(rows.first().id);
    if (auto bad = phoneOption(c, phone))
        return fail(*bad);
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
    const std::optional<Failed> bad = track(c, *courier, number, phone, t);
    // As the window's query: the answer counts for the rounds' minimum
    // interval, and a 429 holds the number (or the account) also when this
    // query fails.
    bool paced = saved.isEmpty() ? keepAnswerPace(*c.store, *c.service, 0, t.reading, t.queried) : true;
    for (const ParcelRecord &r : saved)
        paced = paced && keepAnswerPace(*c.store, *c.service, r.id, t.reading, t.queried);
    if (!paced)
        return fail(databaseFailed(*c.store));
    if (bad)
        return fail(*bad);
    for (const ParcelRecord &r : saved) {
        if (!keepAsWindow(*c.store, r, t))
            return fail(databaseFailed(*c.store));
        // Digits that worked are the parcel's from now on: the rounds need them too.
        if (c.parser.isSet(PhoneOption) && !c.store->setPhone(r.id, phone))
            return fail(databaseFailed(*c.store));
    }

    const QList<KeptEvent> events = keptEvents(t.reading);
    const bool any = t.reading.kind == TrackingReading::Events;
    const QString transit = any ? transitText(events, t.reading.status, t.queried) : QString();
    if (c.json) {
        QJsonObject o{{QStringLiteral("number"), number},
                      {QStringLiteral("company"), courier->name},
                      {QStringLiteral("state"), any ? stateWords(t.reading.status) : QString()},
                      {QStringLiteral("transit"), transit},
                      {QStringLiteral("events"), eventsJson(events)}};
        QJsonArray ids;
        for (const ParcelRecord &r : saved)
            ids.append(r.id);
        o.insert(QStringLiteral("saved"), ids);
        // This answer's stage, with what the first saved row keeps.
        ParcelLife life;
        if (!saved.isEmpty()) {
            if (const auto kept = c.store->lifeOf(saved.first().id))
                life = *kept;
        }
        const QString newest = events.isEmpty() ? QString() : events.first().context;
        const Status stage =
            !life.picked.isEmpty() ? Status::PickedUp : (any ? t.reading.status : Status::Unknown);
        o.insert(QStringLiteral("stage"), stageWords(stage));
        o.insert(QStringLiteral("status"), statusCode(stage));
        o.insert(QStringLiteral("pickup"), pickupJson(stationOf(newest, stage), life.code));
        printJson(o);
        return CommandStatus::Ok;
    }
    QString text = plain(courier->name + QLatin1Char(' ') + number);
    for (const ParcelRecord &r : saved)
        text += QStringLiteral(" [%1] %2").arg(r.id).arg(plain(r.goods));
    text += QLatin1Char('\n');
    if (t.reading.trouble == TrackingReading::Awaiting)
        text += t.reading.reply.message + QLatin1Char('\n');
    else if (!any)
        text += Parcelio::tr("暂无物流信息\n");
    else
        text += Parcelio::tr("状态: %1\t在途: %2\n").arg(shownStatus(t.reading.status), plain(transit));
    for (int i = 0; i < events.size(); ++i)
        text += QStringLiteral("%1\t%2\t%3\n")
                    .arg(i + 1)
                    .arg(plain(events.at(i).time), plain(events.at(i).context));
    out(text);
    return CommandStatus::Ok;
}

QString textArgument(const QStringList &args);

// A saved number; an archived one is not in the list, so the way back is told.
Failed alreadySaved(Context &c, const ParcelRecord &saved)
{
    QString why = Parcelio::tr("快递数据已存在! %1").arg(parcelLine(saved));
    const std::optional<ParcelLife> life = c.store->lifeOf(saved.id);
    if (life && !life->archived.isEmpty())
        why += QLatin1Char(' ') +
               Parcelio::tr("(已归档; 用 parcelio unarchive --id %1 取回)").arg(saved.id);
    return Failed{CommandStatus::Usage, why};
}

// Adds one checked number: the courier, one query, the row and its progress.
std::optional<Failed> addNumber(Context &c, const QString &number, const QString &goods, BookRow &shown,
                                Tracked &t, bool pasted = false)
{
    // Asked before any request: a saved number needs none.
    const auto existing = c.store->findParcels(ParcelField::Number, Match::Exact, number);
    if (!existing)
        return databaseFailed(*c.store);
    if (!existing->isEmpty())
        return alreadySaved(c, existing->first());

    QString phone;
    if (auto bad = phoneOption(c, phone))
        return bad;
    Failed why{};
    const std::optional<CourierRecord> courier = c.parser.isSet(CompanyOption)
                                                     ? courierNamed(c, c.parser.value(CompanyOption), why)
                                                     : recognised(c, number, why, pasted);
    if (!courier)
        return why;
    if (phone.isEmpty() && c.service->needsPhone(courier->code))
        return Failed{CommandStatus::Usage, ServiceText::PhoneNeeded() + QStringLiteral(" (--phone)")};
    const std::optional<Failed> bad = track(c, *courier, number, phone, t);
    // Its pace, for the parcel once it is saved.
    const TrackingReading answer = t.reading;
    if (bad) {
        if (bad->status != CommandStatus::UnknownNumber || !c.parser.isSet(ForceOption)) {
            // Nothing added, but a 429 holding the account holds it.
            if (!keepAnswerPace(*c.store, *c.service, 0, answer, t.queried))
                return databaseFailed(*c.store);
            return bad;
        }
        t.reading = TrackingReading{}; // kept all the same, as the add panel offers
    }
    // Checked again in the same step as the insert: another add of this
    // number may have saved it while the requests above were out.
    const Store::Added added = c.store->addParcelOnce(courier->name, number, goods, QStringLiteral("0"));
    if (added.outcome == Store::Added::Failed)
        return databaseFailed(*c.store);
    if (added.outcome == Store::Added::AlreadySaved) {
        const auto saved = c.store->parcelById(added.id);
        return saved ? alreadySaved(c, *saved)
                     : Failed{CommandStatus::Usage, Parcelio::tr("快递数据已存在! %1").arg(number)};
    }
    const qint64 id = added.id;
    ParcelRecord row{id, number, goods, courier->name, QStringLiteral("0")};
    // The window shows a parcel just added at once, and that display keeps
    // its progress and count: so does this, from the same answer.
    if (!c.store->setPhone(id, phone) || !keepAnswerPace(*c.store, *c.service, id, answer, t.queried) ||
        !keepAsWindow(*c.store, row, t)) {
        const Failed f = databaseFailed(*c.store);
        c.store->deleteParcel(id);
        return f;
    }
    shown = BookRow{row, {}, {}, {}, false, phone, {}};
    return std::nullopt;
}

// add -: every tracking number in the text on standard input, one line each.
int addPasted(Context &c)
{
    const QList<PastedNumber> found = pastedNumbers(textArgument({QStringLiteral("-")}));
    if (found.isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("没有找到快递单号")});
    if (found.size() > PasteWithoutAsking && !c.parser.isSet(YesOption)) {
        // Each number: its recognition where the local rules cannot place
        // it, and its query (17track: registration and reading).
        return fail({CommandStatus::Usage,
                     Parcelio::tr("找到 %1 个单号, 最多要用掉 %2 次查询; 确认后加上 --yes 再运行")
                         .arg(found.size())
                         .arg(pasteRequests(*c.store, found, *c.service, c.parser.isSet(CompanyOption)))});
    }
    int added = 0;
    int status = CommandStatus::Usage;
    QJsonArray rows;
    for (const PastedNumber &p : found) {
        BookRow shown;
        Tracked t;
        if (auto bad = addNumber(c, p.number, p.goods, shown, t, true)) {
            status = bad->status;
            if (!c.json)
                out(Parcelio::tr("%1\t未添加: %2\n").arg(p.number, plain(bad->why))); // a service's reason
            continue;
        }
        ++added;
        if (c.json)
            rows.append(parcelJson(shown));
        else
            out(Parcelio::tr("%1\t已添加: %2\n").arg(p.number, parcelLine(shown.parcel)));
    }
    if (c.json)
        printJson(rows);
    return added > 0 ? int(CommandStatus::Ok) : status;
}

int add(Context &c)
{
    const QStringList args = c.parser.positionalArguments();
    if (args == QStringList{QStringLiteral("-")})
        return addPasted(c);
    if (args.size() != 2)
        return fail({CommandStatus::Usage, Parcelio::tr("用法: ") + commandUsage(c.name)});
    const QString number = args.at(0).trimmed().toUpper();
    const QString goods = args.at(1);
    if (auto bad = refusedNumber(number))
        return fail(*bad);
    if (goods.trimmed().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("请输入快递物品信息,例如：爸爸衣服")});
    BookRow shown;
    Tracked t;
    if (auto bad = addNumber(c, number, goods, shown, t))
        return fail(*bad);
    const ParcelRecord row = shown.parcel;
    if (t.reading.kind == TrackingReading::Events) {
        const QList<KeptEvent> events = keptEvents(t.reading);
        shown.status = t.reading.status;
        shown.newest = events.first();
        shown.queried = t.queried.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (t.reading.status != Status::Signed)
            shown.parcel.num = QString::number(events.size());
    }
    if (c.json) {
        printJson(parcelJson(shown));
        return CommandStatus::Ok;
    }
    QString text = Parcelio::tr("快递添加成功! ") + parcelLine(shown.parcel) + QLatin1Char('\n');
    if (!shown.queried.isEmpty())
        text += QStringLiteral("%1\t%2\n")
                    .arg(shownStatus(shown.status),
                         plain(shown.newest.time + QLatin1Char(' ') + shown.newest.context));
    else if (t.reading.trouble == TrackingReading::Awaiting)
        text += plain(t.reading.reply.message) + QLatin1Char('\n'); // registered, not found yet
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
    if (!c.store->deleteParcel(row->id))
        return fail(databaseFailed(*c.store));
    if (c.json)
        printJson(parcelJson(BookRow{*row, {}, {}, {}, false, {}, {}}));
    else
        out(Parcelio::tr("快递信息已删除! ") + parcelLine(*row) + QLatin1Char('\n'));
    return CommandStatus::Ok;
}

int refresh(Context &c)
{
    if (!c.parser.positionalArguments().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("refresh 不接受参数")});
    c.store->autoArchive(QDateTime::currentDateTime());
    BookWatch watch(*c.store, c.cfg, [] { return QDateTime::currentDateTime(); });
    watch.limitMs = c.limitMs;
    // News is told as the window's round tells it (no sound here): a desktop
    // notification, and the mail when the settings turn mail on.
    const std::optional<SettingsRecord> settings = c.store->settings();
    const QString recipient = settings && switchIsOn(settings->mail) ? settings->address : QString();
    DesktopNotifications notifier;
    QList<OutgoingMail> mails;
    QJsonArray news;
    struct Told {
        qint64 id;
        QString notice;
    };
    QList<Told> told;
    QEventLoop wait;
    QObject::connect(&watch, &BookWatch::news, &wait, [&](const BookWatchNews &n) {
        told.append({n.progress.id, roundNewsNotice(n)});
        if (!recipient.isEmpty())
            mails << roundNewsMail(c.cfg, recipient, n, QDateTime::currentDateTime());
        const KeptEvent &e = n.progress.events.first();
        if (c.json) {
            QJsonObject o{{QStringLiteral("id"), n.parcel.id},
                          {QStringLiteral("number"), n.parcel.number},
                          {QStringLiteral("goods"), n.parcel.goods},
                          {QStringLiteral("company"), n.parcel.company},
                          {QStringLiteral("count"), n.progress.events.size()},
                          {QStringLiteral("state"), stateWords(n.progress.status)},
                          {QStringLiteral("status"), statusCode(n.progress.status)},
                          {QStringLiteral("newest"), eventsJson({e}).first()}};
            news.append(o);
        } else {
            out(Parcelio::tr("快递有最新进展 [%1] %2 %3 %4\t%5 %6\n")
                    .arg(n.parcel.id)
                    .arg(plain(n.parcel.company), plain(n.parcel.number),
                         plain(n.parcel.goods) + noticeStatusNote(n.progress.status), plain(e.time),
                         plain(e.context)));
            std::fflush(stdout);
        }
    });
    // Reminders as the window tells them, without its sound; always from
    // here, since the told keys are recorded already.
    QList<Reminder> reminded;
    QJsonArray remindersJson;
    QObject::connect(&watch, &BookWatch::reminders, &wait, [&](const QList<Reminder> &due) {
        for (const Reminder &r : due) {
            reminded.append(r);
            if (!recipient.isEmpty())
                mails << reminderMail(c.cfg, recipient, r, QDateTime::currentDateTime());
            if (c.json) {
                static const char *const kinds[] = {"station", "problem", "quiet"};
                remindersJson.append(QJsonObject{{QStringLiteral("id"), r.id},
                                                 {QStringLiteral("number"), r.number},
                                                 {QStringLiteral("goods"), r.goods},
                                                 {QStringLiteral("kind"), QString::fromLatin1(kinds[r.kind])},
                                                 {QStringLiteral("days"), r.days},
                                                 {QStringLiteral("newest"), eventsJson({r.newest}).first()}});
            } else {
                out(Parcelio::tr("快递提醒 [%1] %2 %3\t%4\n")
                        .arg(r.id)
                        .arg(plain(r.company), plain(r.number), plain(reminderText(r))));
            }
        }
        std::fflush(stdout);
    });
    QObject::connect(&watch, &BookWatch::roundFinished, &wait, &QEventLoop::quit);
    if (!watch.startRound())
        return fail(databaseFailed(*c.store));
    wait.exec();
    // A window running on the same book tells the news itself, with its
    // actions; without one, plain notifications from here.
    QStringList ids;
    for (const Told &n : told)
        ids << QString::number(n.id);
    if (told.isEmpty() || !tellDesktop || !tellDesktop(findLocations(programDir()).dataDir, ids))
        for (const Told &n : told)
            notifier.notify(newsNoticeSummary(), n.notice, n.id, {});
    for (const Reminder &r : reminded)
        notifier.notify(reminderSummary(), reminderNotice(r), r.id, {});
    for (const OutgoingMail &mail : mails) {
        QString error = refusedHeaders(mail);
        if (error.isEmpty())
            error = sendMail(mail, MailLimitMs);
        if (!error.isEmpty())
            std::fputs(
                ("parcelio: " + Parcelio::tr("最新信息发送失败!错误原因").toUtf8() + error.toUtf8() + '\n')
                    .constData(),
                stderr);
    }
    // The notifications are asked for asynchronously: their answers are
    // waited for, so that leaving does not cut them off.
    notifier.waitForAnswers(5000);
    const RoundSummary &s = watch.lastRound();
    QJsonArray failures;
    for (const RoundSummary::Failure &f : s.failures) {
        if (c.json)
            failures.append(QJsonObject{{QStringLiteral("id"), f.id},
                                        {QStringLiteral("number"), f.number},
                                        {QStringLiteral("why"), f.why}});
        else
            out(Parcelio::tr("查询失败 [%1] %2\t%3\n").arg(f.id).arg(plain(f.number), plain(f.why)));
    }
    if (c.json)
        printJson(QJsonObject{{QStringLiteral("asked"), s.asked},
                              {QStringLiteral("failures"), failures},
                              {QStringLiteral("failed"), s.failed},
                              {QStringLiteral("rested"), s.rested},
                              {QStringLiteral("held"), s.held},
                              {QStringLiteral("held_until"),
                               s.heldUntil.isValid()
                                   ? QJsonValue(s.heldUntil.toLocalTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")))
                                   : QJsonValue()},
                              {QStringLiteral("news"), news},
                              {QStringLiteral("reminders"), remindersJson}});
    else
        out(roundText(s) + QLatin1Char('\n'));
    if (s.news > 0)
        return CommandStatus::Ok;
    if (s.failed > 0)
        return fail({CommandStatus::ServiceFailed, Parcelio::tr("%1 个快递查询失败").arg(s.failed)});
    // Nothing asked: not "no news", which says every answer was read.
    if (s.asked == 0)
        return CommandStatus::NothingDue;
    return CommandStatus::NoNews;
}

// --- after the road: pickup codes, picked up, archive ----------------------

int printRow(Context &c, const QString &said, qint64 id)
{
    const std::optional<BookRow> row = c.store->bookRow(id);
    if (!row)
        return fail(databaseFailed(*c.store));
    if (c.json)
        printJson(parcelJson(*row));
    else
        out(said + parcelLine(row->parcel) + QLatin1Char('\n'));
    return CommandStatus::Ok;
}

// The text of a command: its words, or standard input for "-".
QString textArgument(const QStringList &args)
{
    if (args == QStringList{QStringLiteral("-")}) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(in.readAll());
    }
    return args.join(QLatin1Char(' '));
}

int code(Context &c)
{
    const QString text = textArgument(c.parser.positionalArguments());
    if (text.trimmed().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("用法: ") + commandUsage(c.name)});
    const PickupMessage message = readPickupMessage(text);
    if (message.code.isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("短信中没有找到取件码")});
    qint64 id = 0;
    if (c.parser.isSet(IdOption)) {
        Failed why{};
        const auto row = rowById(c, why);
        if (!row)
            return fail(why);
        id = row->id;
    } else {
        const QList<BookRow> rows = c.store->book();
        if (!c.store->error().isEmpty())
            return fail(databaseFailed(*c.store));
        QList<PickupCandidate> parcels;
        for (const BookRow &r : rows) {
            const Status stage = bookRowStatus(r);
            if (stage != Status::PickedUp)
                parcels.append({r.parcel.id, r.parcel.number, r.parcel.goods, stage});
        }
        const QList<PickupCandidate> found = parcelsForMessage(message, parcels);
        if (found.isEmpty())
            return fail({CommandStatus::Usage, Parcelio::tr("没有与短信相符的快递 (取件码 %1)").arg(message.code)});
        if (found.size() > 1) {
            QString list = Parcelio::tr("有 %1 个快递与短信相符, 请用 --id 指定:").arg(found.size());
            for (const PickupCandidate &p : found)
                list += QStringLiteral("\n  [%1] %2 %3").arg(p.id).arg(p.number, p.goods);
            return fail({CommandStatus::Usage, list});
        }
        // A kept code or another station is only overwritten on --id.
        if (const QString doubt = pickupDoubtOf(*c.store, message, found.first()); !doubt.isEmpty())
            return fail({CommandStatus::Usage,
                         doubt + QStringLiteral("\n") +
                             Parcelio::tr("取件码 %1 未记录; 确是这个快递请用 --id %2").arg(message.code).arg(found.first().id)});
        id = found.first().id;
    }
    if (!c.store->setPickupCode(id, message.code))
        return fail(databaseFailed(*c.store));
    return printRow(c, Parcelio::tr("取件码 %1 已记录: ").arg(message.code), id);
}

// picked, archive, unarchive: one mark on the parcel named by --id.
int mark(Context &c)
{
    if (!c.parser.positionalArguments().isEmpty() || !c.parser.isSet(IdOption))
        return fail({CommandStatus::Usage, Parcelio::tr("用法: ") + commandUsage(c.name)});
    Failed why{};
    const auto row = rowById(c, why);
    if (!row)
        return fail(why);
    const QDateTime now = QDateTime::currentDateTime();
    bool ok = false;
    QString said;
    if (c.name == QLatin1String("picked")) {
        ok = c.store->setPicked(row->id, now);
        said = Parcelio::tr("已取件: ");
    } else if (c.name == QLatin1String("archive")) {
        ok = c.store->setArchived(row->id, now);
        said = Parcelio::tr("已归档: ");
    } else {
        ok = c.store->setArchived(row->id, QDateTime());
        said = Parcelio::tr("已取消归档: ");
    }
    if (!ok)
        return fail(databaseFailed(*c.store));
    return printRow(c, said, row->id);
}
} // namespace

std::function<bool(const QString &, const QStringList &)> tellDesktop;

namespace {
int runCommandOnce(const QStringList &arguments)
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
    const bool marks = c.name == QLatin1String("picked") || c.name == QLatin1String("archive") ||
                       c.name == QLatin1String("unarchive");
    if (c.name == QLatin1String("query") || c.name == QLatin1String("remove") ||
        c.name == QLatin1String("code") || marks)
        options << IdOption;
    if (c.name == QLatin1String("list"))
        options << ArchivedOption;
    if (c.name == QLatin1String("add"))
        options << ForceOption << YesOption;
    if (c.name == QLatin1String("add") || c.name == QLatin1String("query"))
        options << PhoneOption;
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
        // "nan" and "inf" read as numbers too: only a finite span is one.
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 3600)
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
    if (c.name == QLatin1String("code"))
        return code(c);
    if (marks)
        return mark(c);
    return refresh(c);
}
} // namespace

int runCommand(const QStringList &arguments)
{
    const int status = runCommandOnce(arguments);
    // Output that never arrived (a full disk, a closed pipe) is no success:
    // a script would take the missing list for an empty one.
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (!flushed || std::ferror(stdout)) {
        QString why = Parcelio::tr("输出无法写入");
        if (error != 0)
            why += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
        std::fputs(("parcelio: " + why + QLatin1Char('\n')).toUtf8().constData(), stderr);
        return status == CommandStatus::Ok || status == CommandStatus::NoNews
                   ? int(CommandStatus::OutputFailed)
                   : status;
    }
    return status;
}
