// The token JSON API: a number is registered once, then read. A number the
// service has not registered yet is told as needing the prelude.
#include "app/Tr.h"
#include "app/Config.h"
#include "tracking/Service.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {
// The service's own codes of a rejected number.
constexpr int NotRegistered = -18019902;

// The service's main status and sub-status (its article "Understanding
// Tracking Status"): a sub-status listed here decides over its main status.
struct Track17Code {
    const char *name;
    CodedStatus status;
};
const Track17Code Track17Codes[] = {
    {"NotFound", {Status::NoEvents, false}},
    {"InfoReceived", {Status::LabelMade, false}},
    {"InTransit", {Status::InTransit, false}},
    {"InTransit_PickedUp", {Status::Collected, false}},
    {"Expired", {Status::Problem, true}},
    {"AvailableForPickup", {Status::AtStation, true}},
    {"OutForDelivery", {Status::OutForDelivery, true}},
    {"DeliveryFailure", {Status::Problem, true}},
    {"Delivered", {Status::Signed, true}},
    {"Exception", {Status::Problem, true}}, // returning and returned among them
};

CodedStatus track17Status(const QString &status, const QString &subStatus)
{
    for (const QString &name : {subStatus, status})
        for (const Track17Code &c : Track17Codes)
            if (name == QLatin1String(c.name))
                return c.status;
    // A main status this table does not know: still on the road.
    return status.isEmpty() ? CodedStatus{} : CodedStatus{Status::InTransit, false};
}

// "2026-12-03T04:10:26+08:00" is shown in the event's own local time.
QString localTimeOf(const QString &iso)
{
    static const QRegularExpression head(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})T(\\d{2}:\\d{2}:\\d{2})"));
    const auto m = head.match(iso);
    return m.hasMatch() ? m.captured(1) + QLatin1Char(' ') + m.captured(2) : iso;
}

TrackingReading unknownNumber()
{
    TrackingReading r;
    r.kind = TrackingReading::Failure;
    r.reply.kind = ReplyReading::UnknownNumber;
    r.reply.code = QStringLiteral("1");
    return r;
}

// The number as the service compares it: letters and digits, upper case.
QString numberKey(const QString &number)
{
    QString key;
    key.reserve(number.size());
    for (const QChar c : number)
        if (c.isLetterOrNumber())
            key += c.toUpper();
    return key;
}

class Track17Service final : public TrackingService {
public:
    explicit Track17Service(const Config &cfg) : cfg(cfg) {}
    QString name() const override { return QStringLiteral("17track"); }
    bool paced() const override { return true; }
    // "register" and "gettrackinfo" take up to 40 numbers a call.
    int batchLimit() const override { return 40; }

    ServiceRequest request(const ServiceAsk &ask) const override { return batchOrRefusal({ask}, "gettrackinfo"); }
    ServiceRequest prelude(const ServiceAsk &ask) const override { return batchOrRefusal({ask}, "register"); }
    TrackingReading refusal(const ServiceAsk &ask) const override
    {
        if (serviceCourier(name(), ask.code).needsPhone && ask.phone.isEmpty())
            return troubleReading(TrackingReading::PhoneNeeded);
        return TrackingReading{};
    }
    ServiceRequest batchRequest(const QList<ServiceAsk> &asks, bool prelude) const override
    {
        return call(asks, prelude ? "register" : "gettrackinfo");
    }

    TrackingReading read(const ServiceAnswer &answer) const override
    {
        QJsonObject data;
        TrackingReading failed;
        if (!envelopeOf(answer, &data, &failed))
            return failed;
        const QJsonArray rejected = data.value(QStringLiteral("rejected")).toArray();
        if (!rejected.isEmpty())
            return rejectedReading(rejected.at(0).toObject(), answer);
        const QJsonArray accepted = data.value(QStringLiteral("accepted")).toArray();
        if (accepted.isEmpty())
            return unreadable();
        return acceptedReading(accepted.at(0).toObject());
    }

    QList<TrackingReading> readBatch(const ServiceAnswer &answer, const QList<ServiceAsk> &asks) const override
    {
        QJsonObject data;
        TrackingReading failed;
        if (!envelopeOf(answer, &data, &failed))
            return QList<TrackingReading>(asks.size(), failed);
        // Each number's item, whichever list it is in.
        QHash<QString, QJsonObject> rejected, accepted;
        for (const QJsonValue &v : data.value(QStringLiteral("rejected")).toArray())
            rejected.insert(numberKey(v.toObject().value(QStringLiteral("number")).toString()), v.toObject());
        for (const QJsonValue &v : data.value(QStringLiteral("accepted")).toArray())
            accepted.insert(numberKey(v.toObject().value(QStringLiteral("number")).toString()), v.toObject());
        QList<TrackingReading> out;
        out.reserve(asks.size());
        for (const ServiceAsk &ask : asks) {
            const QString key = numberKey(ask.number);
            if (const auto r = rejected.constFind(key); r != rejected.constEnd())
                out.append(rejectedReading(*r, answer));
            else if (const auto a = accepted.constFind(key); a != accepted.constEnd())
                out.append(acceptedReading(*a));
            else if (asks.size() == 1)
                out.append(read(answer)); // one number asked: its item, however it is spelt
            else
                out.append(unreadable()); // not answered for this number
        }
        return out;
    }

private:
    static TrackingReading unreadable()
    {
        TrackingReading r;
        r.kind = TrackingReading::Unreadable;
        return r;
    }

    // The answer's data, or the reading every number of the request shares.
    static bool envelopeOf(const ServiceAnswer &answer, QJsonObject *data, TrackingReading *failed)
    {
        if (!answer.answered) {
            *failed = TrackingReading{};
            return false;
        }
        if (answer.status == 401) {
            *failed = troubleReading(TrackingReading::WrongKey);
            return false;
        }
        // A rate per second of the whole account.
        if (answer.status == 429) {
            *failed = quotaReading(answer, true);
            return false;
        }
        *failed = unreadable();
        if (answer.status < 200 || answer.status > 299)
            return false;
        const QJsonObject o = QJsonDocument::fromJson(answer.body.toUtf8()).object();
        if (!o.contains(QStringLiteral("code")))
            return false;
        *data = o.value(QStringLiteral("data")).toObject();
        if (o.value(QStringLiteral("code")).toInt() != 0) {
            const QString message = data->value(QStringLiteral("errors")).toArray().at(0).toObject().value(
                QStringLiteral("message")).toString();
            *failed = troubleReading(TrackingReading::NoTrouble, Parcelio::tr("查询服务: ") + message);
            return false;
        }
        return true;
    }

    static TrackingReading rejectedReading(const QJsonObject &item, const ServiceAnswer &answer)
    {
        const QJsonObject error = item.value(QStringLiteral("error")).toObject();
        const int code = error.value(QStringLiteral("code")).toInt();
        const QString message = error.value(QStringLiteral("message")).toString();
        if (code == NotRegistered) {
            TrackingReading r = troubleReading(TrackingReading::NoTrouble, Parcelio::tr("单号尚未登记"));
            r.needsPrelude = true;
            return r;
        }
        if (message.contains(QStringLiteral("phone"), Qt::CaseInsensitive))
            return troubleReading(TrackingReading::PhoneNeeded);
        if (message.contains(QStringLiteral("quota"), Qt::CaseInsensitive)) {
            TrackingReading r = troubleReading(TrackingReading::Quota);
            r.accountWide = true;
            r.retryAt = answer.at.addSecs(30 * 60);
            return r;
        }
        if (message.contains(QStringLiteral("carrier"), Qt::CaseInsensitive))
            return troubleReading(TrackingReading::NotCovered);
        return troubleReading(TrackingReading::NoTrouble, Parcelio::tr("查询服务: ") + message);
    }

    static TrackingReading acceptedReading(const QJsonObject &item)
    {
        const QJsonObject info = item.value(QStringLiteral("track_info")).toObject();
        TrackingReading r;
        r.reply.kind = ReplyReading::Success;
        r.reply.code = QStringLiteral("0");
        const QJsonObject latest = info.value(QStringLiteral("latest_status")).toObject();
        const CodedStatus coded = track17Status(latest.value(QStringLiteral("status")).toString(),
                                                latest.value(QStringLiteral("sub_status")).toString());
        const QJsonArray providers =
            info.value(QStringLiteral("tracking")).toObject().value(QStringLiteral("providers")).toArray();
        const QJsonArray events = providers.at(0).toObject().value(QStringLiteral("events")).toArray();
        // Newest first as the service sends them; ordered by time all the same.
        for (const QJsonValue &v : events) {
            const QJsonObject e = v.toObject();
            const QString location = e.value(QStringLiteral("location")).toString().trimmed();
            QString context = e.value(QStringLiteral("description")).toString().trimmed();
            if (!location.isEmpty() && !context.contains(location))
                context = QLatin1Char('[') + location + QLatin1Char(']') + context;
            QString time = localTimeOf(e.value(QStringLiteral("time_iso")).toString());
            if (time.isEmpty()) {
                // Without time_iso, the carrier's own date and time.
                const QJsonObject raw = e.value(QStringLiteral("time_raw")).toObject();
                time = (raw.value(QStringLiteral("date")).toString() + QLatin1Char(' ') +
                        raw.value(QStringLiteral("time")).toString()).trimmed();
            }
            r.entries.append({int(r.entries.size()) + 1, eventTimeText(time), context});
            if (r.entries.size() >= 32767)
                break;
        }
        if (r.entries.isEmpty()) {
            if (coded.status == Status::NoEvents || coded.status == Status::Unknown)
                return unknownNumber();
            r.kind = TrackingReading::NoEvents;
            r.status = coded.status;
            return r;
        }
        return eventsReading(std::move(r), coded);
    }

    // The user's own query asks one number: refused as such, or its request.
    ServiceRequest batchOrRefusal(const QList<ServiceAsk> &asks, const char *verb) const
    {
        ServiceRequest r;
        r.refused = refusal(asks.at(0));
        return r.refused.kind != TrackingReading::NoAnswer ? r : call(asks, verb);
    }

    ServiceRequest call(const QList<ServiceAsk> &asks, const char *verb) const
    {
        QJsonArray items;
        for (const ServiceAsk &ask : asks) {
            const ServiceCourier courier = serviceCourier(name(), ask.code);
            QJsonObject item{{QStringLiteral("number"), ask.number}};
            // Without a key of its own the service detects the carrier.
            if (courier.covered)
                item.insert(QStringLiteral("carrier"), courier.code.toInt());
            if (!ask.phone.isEmpty())
                item.insert(QStringLiteral("param"), ask.phone);
            items.append(item);
        }
        ServiceRequest r;
        QString base = cfg.track17Url;
        if (!base.endsWith(QLatin1Char('/')))
            base += QLatin1Char('/');
        r.url = QUrl(base + QLatin1String(verb));
        r.post = true;
        r.headers.append(QPair<QByteArray, QByteArray>("Content-Type", "application/json"));
        r.headers.append(QPair<QByteArray, QByteArray>("17token", cfg.track17Token.toUtf8()));
        r.body = QJsonDocument(items).toJson(QJsonDocument::Compact);
        return r;
    }

    Config cfg;
};
} // namespace

std::shared_ptr<const TrackingService> make17trackService(const Config &cfg)
{
    return std::make_shared<Track17Service>(cfg);
}
