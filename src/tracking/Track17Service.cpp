// The token JSON API: a number is registered once, then read. A number the
// service has not registered yet is told as needing the prelude.
#include "app/Config.h"
#include "tracking/Service.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {
// The service's own codes of a rejected number.
constexpr int NotRegistered = -18019902;

ServiceState stateOfStatus(const QString &status)
{
    if (status == QLatin1String("Delivered"))
        return ServiceState::Signed;
    if (status == QLatin1String("OutForDelivery"))
        return ServiceState::OutForDelivery;
    if (status == QLatin1String("AvailableForPickup"))
        return ServiceState::AtStation;
    if (status == QLatin1String("Exception") || status == QLatin1String("DeliveryFailure") ||
        status == QLatin1String("Expired"))
        return ServiceState::Problem;
    if (status == QLatin1String("NotFound"))
        return ServiceState::NoTrace;
    if (status.isEmpty())
        return ServiceState::None;
    return ServiceState::InTransit;
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

class Track17Service final : public TrackingService {
public:
    explicit Track17Service(const Config &cfg) : cfg(cfg) {}
    QString name() const override { return QStringLiteral("17track"); }
    bool paced() const override { return true; }

    ServiceRequest request(const ServiceAsk &ask) const override { return call(ask, "gettrackinfo"); }
    ServiceRequest prelude(const ServiceAsk &ask) const override { return call(ask, "register"); }

    TrackingReading read(const ServiceAnswer &answer) const override
    {
        if (!answer.answered)
            return TrackingReading{};
        if (answer.status == 401)
            return troubleReading(TrackingReading::WrongKey);
        // A rate per second of the whole account.
        if (answer.status == 429)
            return quotaReading(answer, true);
        TrackingReading unreadable;
        unreadable.kind = TrackingReading::Unreadable;
        if (answer.status < 200 || answer.status > 299)
            return unreadable;
        const QJsonObject o = QJsonDocument::fromJson(answer.body.toUtf8()).object();
        if (!o.contains(QStringLiteral("code")))
            return unreadable;
        const QJsonObject data = o.value(QStringLiteral("data")).toObject();
        if (o.value(QStringLiteral("code")).toInt() != 0) {
            const QString message = data.value(QStringLiteral("errors")).toArray().at(0).toObject().value(
                QStringLiteral("message")).toString();
            return troubleReading(TrackingReading::NoTrouble, QStringLiteral("查询服务: ") + message);
        }
        const QJsonArray rejected = data.value(QStringLiteral("rejected")).toArray();
        if (!rejected.isEmpty()) {
            const QJsonObject error = rejected.at(0).toObject().value(QStringLiteral("error")).toObject();
            const int code = error.value(QStringLiteral("code")).toInt();
            const QString message = error.value(QStringLiteral("message")).toString();
            if (code == NotRegistered) {
                TrackingReading r = troubleReading(TrackingReading::NoTrouble, QStringLiteral("单号尚未登记"));
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
            return troubleReading(TrackingReading::NoTrouble, QStringLiteral("查询服务: ") + message);
        }
        const QJsonArray accepted = data.value(QStringLiteral("accepted")).toArray();
        if (accepted.isEmpty())
            return unreadable;
        const QJsonObject info = accepted.at(0).toObject().value(QStringLiteral("track_info")).toObject();
        TrackingReading r;
        r.reply.kind = ReplyReading::Success;
        r.reply.code = QStringLiteral("0");
        r.service = stateOfStatus(
            info.value(QStringLiteral("latest_status")).toObject().value(QStringLiteral("status")).toString());
        const QJsonArray providers =
            info.value(QStringLiteral("tracking")).toObject().value(QStringLiteral("providers")).toArray();
        const QJsonArray events = providers.at(0).toObject().value(QStringLiteral("events")).toArray();
        // Newest first, as the service sends them and the display shows them.
        for (const QJsonValue &v : events) {
            const QJsonObject e = v.toObject();
            const QString location = e.value(QStringLiteral("location")).toString().trimmed();
            QString context = e.value(QStringLiteral("description")).toString().trimmed();
            if (!location.isEmpty() && !context.contains(location))
                context = QLatin1Char('[') + location + QLatin1Char(']') + context;
            r.entries.append(
                {int(r.entries.size()) + 1, localTimeOf(e.value(QStringLiteral("time_iso")).toString()), context});
            if (r.entries.size() >= 32767)
                break;
        }
        if (r.entries.isEmpty()) {
            if (r.service == ServiceState::NoTrace || r.service == ServiceState::None)
                return unknownNumber();
            r.kind = TrackingReading::NoEvents;
            return r;
        }
        return eventsReading(std::move(r));
    }

private:
    ServiceRequest call(const ServiceAsk &ask, const char *verb) const
    {
        ServiceRequest r;
        const ServiceCourier courier = serviceCourier(name(), ask.code);
        if (courier.needsPhone && ask.phone.isEmpty()) {
            r.refused = troubleReading(TrackingReading::PhoneNeeded);
            return r;
        }
        QJsonObject item{{QStringLiteral("number"), ask.number}};
        // Without a key of its own the service detects the carrier.
        if (courier.covered)
            item.insert(QStringLiteral("carrier"), courier.code.toInt());
        if (!ask.phone.isEmpty())
            item.insert(QStringLiteral("param"), ask.phone);
        QString base = cfg.track17Url;
        if (!base.endsWith(QLatin1Char('/')))
            base += QLatin1Char('/');
        r.url = QUrl(base + QLatin1String(verb));
        r.post = true;
        r.headers.append(QPair<QByteArray, QByteArray>("Content-Type", "application/json"));
        r.headers.append(QPair<QByteArray, QByteArray>("17token", cfg.track17Token.toUtf8()));
        r.body = QJsonDocument(QJsonArray{item}).toJson(QJsonDocument::Compact);
        return r;
    }

    Config cfg;
};
} // namespace

std::shared_ptr<const TrackingService> make17trackService(const Config &cfg)
{
    return std::make_shared<Track17Service>(cfg);
}
