#include "cli/Format.h"
#include "app/Tr.h"
#include "cli/Terminal.h"
#include "tracking/Progress.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace cli {
namespace {
// The kept count as a number, as refresh gives it; null when the book holds
// none that reads as one (a row kept before counts were).
std::optional<double> countOf(const QString &num)
{
    bool ok = false;
    const double n = num.trimmed().toDouble(&ok);
    return ok && std::isfinite(n) ? std::optional<double>(n) : std::nullopt;
}

// The row's status with the user's marks: picked up, else archived, else
// as kept.
Status markedStatus(const BookRow &r)
{
    const Status status = bookRowStatus(r);
    return status != Status::PickedUp && !r.life.archived.isEmpty() ? Status::Archived : status;
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
} // namespace

QJsonArray eventsJson(const QList<KeptEvent> &events)
{
    QJsonArray a;
    for (const KeptEvent &e : events)
        a.append(QJsonObject{{QStringLiteral("time"), e.time}, {QStringLiteral("context"), e.context}});
    return a;
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
} // namespace cli
