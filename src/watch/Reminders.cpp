#include "watch/Reminders.h"
#include "app/Config.h"
#include "app/Tr.h"
#include "store/Store.h"
#include "tracking/Progress.h"

namespace {
constexpr qint64 DaySecs = 24 * 60 * 60;
// A parcel whose newest event is older than this beyond the reminder's own
// days is left alone: a book's forgotten parcels would otherwise all be told
// of at the first round after an update, and one never taken from a station
// every day for ever.
constexpr qint64 HorizonSecs = 30 * DaySecs;
} // namespace

ReminderDays reminderDaysOf(const Config &cfg)
{
    return ReminderDays{cfg.pickupRemindDays, cfg.quietDays};
}

std::optional<Reminder> dueReminder(const BookRow &row, const QDateTime &now, const ReminderDays &days)
{
    Reminder r;
    r.id = row.parcel.id;
    r.goods = row.parcel.goods;
    r.number = row.parcel.number;
    r.company = row.parcel.company;
    r.newest = row.newest;
    // How long the newest event is past; a time this program cannot read
    // (or one ahead of the clock) makes no waiting reminder.
    const std::optional<QDateTime> at = parseEventTime(row.newest.time);
    const qint64 secs = at ? at->secsTo(now) : -1;
    // A key is one line of the told column, whatever a service put in the time.
    const QString eventKey = row.newest.time.simplified();
    auto waited = [&](int limit) {
        return limit > 0 && secs > qint64(limit) * DaySecs && secs <= qint64(limit) * DaySecs + HorizonSecs;
    };
    switch (bookRowStatus(row)) {
    case Status::AtStation:
        if (!waited(days.station))
            return std::nullopt;
        r.kind = Reminder::Station;
        r.days = int(secs / DaySecs);
        r.key = QStringLiteral("station:") + now.date().toString(QStringLiteral("yyyy-MM-dd"));
        return r;
    case Status::Problem:
        if (secs > HorizonSecs)
            return std::nullopt;
        r.kind = Reminder::Problem;
        r.key = QStringLiteral("problem:") + eventKey;
        return r;
    case Status::NoEvents:
    case Status::LabelMade:
    case Status::Collected:
    case Status::InTransit:
    case Status::OutForDelivery:
        if (!waited(days.quiet))
            return std::nullopt;
        r.kind = Reminder::Quiet;
        r.days = int(secs / DaySecs);
        r.key = QStringLiteral("quiet:") + eventKey;
        return r;
    case Status::Unknown:
    case Status::Signed:
    case Status::PickedUp:
    case Status::Archived: break;
    }
    return std::nullopt;
}

std::optional<QList<Reminder>> claimReminders(Store &store, const QDateTime &now, const ReminderDays &days,
                                              const QSet<qint64> &newsIds)
{
    const auto told = store.claimTold([&](const BookRow &row) {
        const std::optional<Reminder> r = dueReminder(row, now, days);
        return r ? r->key : QString();
    });
    if (!told)
        return std::nullopt;
    QList<Reminder> out;
    for (const Store::ToldRow &t : *told) {
        const std::optional<Reminder> r = dueReminder(t.row, now, days);
        // One notification a parcel a round: a parcel with news is told by
        // its news alone (which names a 异常 or a station); what it would be
        // reminded of counts as told.
        if (!r || newsIds.contains(r->id))
            continue;
        out.append(*r);
    }
    return out;
}

QString reminderSummary()
{
    return Parcelio::tr("快递提醒");
}

QString reminderText(const Reminder &r)
{
    switch (r.kind) {
    case Reminder::Station: return Parcelio::tr("「%1」已在驿站等待%2天,请及时取件").arg(r.goods).arg(r.days);
    case Reminder::Problem: return Parcelio::tr("「%1」出现异常: %2").arg(r.goods, r.newest.context);
    case Reminder::Quiet: return Parcelio::tr("「%1」已%2天没有新的物流信息").arg(r.goods).arg(r.days);
    }
    return QString();
}

QString reminderNotice(const Reminder &r)
{
    if (r.kind == Reminder::Problem)
        return reminderText(r) + QLatin1Char('\n') + r.newest.time;
    return reminderText(r) + QLatin1Char('\n') + r.newest.time + QLatin1Char(' ') + r.newest.context;
}

OutgoingMail reminderMail(const Config &cfg, const QString &recipient, const Reminder &r, const QDateTime &sent)
{
    auto paragraph = [](const QString &text, const char *style) {
        return QStringLiteral("<p style='line-height:25px;margin:0;%1'>").arg(QLatin1String(style)) +
               htmlEscaped(text) + QStringLiteral("</p>");
    };
    QString body = QStringLiteral("<div style='width:600px;margin:0 auto;padding:20px 50px;font-size:13px;"
                                  "color:#000;font-family: 微软雅黑;'>");
    body += paragraph(reminderText(r), "font-weight:bold;");
    body += paragraph(r.kind == Reminder::Problem ? r.newest.time
                                                  : r.newest.time + QLatin1Char(' ') + r.newest.context,
                      "color:red;margin-top:15px;");
    body += paragraph(r.company + QLatin1Char(' ') + r.number, "margin-top:10px;");
    body += paragraph(generalDateTime(sent), "margin-top:30px;color:#919191;");
    body += QStringLiteral("</div>");
    // The sentence may hold the user's goods: the subject keeps it on one
    // line, and refusedHeaders stops a mail whose goods would break it.
    return OutgoingMail{cfg.mailRelay,
                        cfg.mailUser,
                        cfg.mailPassword,
                        cfg.mailUser,
                        recipient,
                        reminderSummary() + QStringLiteral(": ") + reminderText(r) + QStringLiteral(" - TesmarParcelio"),
                        body,
                        sent,
                        mailTlsFor(cfg)};
}
