#include "app/Text.h"
#include "app/Tr.h"
#include "cli/CommandContext.h"
#include "cli/Commands.h"
#include "cli/Format.h"
#include "cli/NumberInput.h"
#include "cli/Requests.h"
#include "tracking/Intake.h"
#include "tracking/Progress.h"

#include <QJsonArray>
#include <QJsonObject>

// query and add: the commands that ask the tracking service.
namespace cli {
namespace {
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
    QList<BookRow> rows;
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
            rows.append(shown);
        else
            out(Parcelio::tr("%1\t已添加: %2\n").arg(p.number, parcelLine(shown.parcel)));
    }
    if (c.json)
        printParcelsJson(rows, ParcelsJson::Rows);
    return added > 0 ? int(CommandStatus::Ok) : status;
}
} // namespace

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
        printParcelJson(shown);
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
} // namespace cli
