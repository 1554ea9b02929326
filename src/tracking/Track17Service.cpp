// The token JSON API: a number is registered once, then read. A number the
// service has not registered yet is told as needing the prelude.
#include "app/Tr.h"
#include "app/Config.h"
#include "tracking/Service.h"
#include "tracking/ServiceSettings.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {
// The service's own group of the settings file, [17track].
const ServiceSetting Url{"url", "https://api.17track.net/track/v2.2/"};
const ServiceSetting Token{"token", "", true};

// The service's documented error codes (API v2.2, "Error code" list).
constexpr int InvalidToken = -18010002;
constexpr int BadFormat = -18010012;
constexpr int AlreadyRegistered = -18019901;
constexpr int NotRegistered = -18019902;
constexpr int CarrierNotDetected = -18019903;
constexpr int DailyLimit = -18019907;
constexpr int QuotaSpent = -18019908;
constexpr int NoInfoYet = -18019909;
constexpr int CarrierWrong = -18019910;

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
    static const QRegularExpression head(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})T(\\d{2}:\\d{2}(:\\d{2})?)"));
    const auto m = head.match(iso);
    if (!m.hasMatch())
        return iso;
    return m.captured(1) + QLatin1Char(' ') + m.captured(2) + (m.captured(3).isEmpty() ? QStringLiteral(":00") : QString());
}

// An event's time: time_iso in its own zone, else time_utc in the local
// zone, else time_raw as the carrier wrote it (an object of date and time).
QString eventTimeOf(const QJsonObject &e)
{
    const QString iso = e.value(QStringLiteral("time_iso")).toString().trimmed();
    if (!iso.isEmpty())
        return localTimeOf(iso);
    const QString utc = e.value(QStringLiteral("time_utc")).toString().trimmed();
    if (!utc.isEmpty()) {
        QDateTime t = QDateTime::fromString(utc, Qt::ISODate);
        if (t.isValid())
            return t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    const QJsonValue raw = e.value(QStringLiteral("time_raw"));
    if (raw.isObject()) {
        const QJsonObject o = raw.toObject();
        return (o.value(QStringLiteral("date")).toString() + QLatin1Char(' ') + o.value(QStringLiteral("time")).toString())
            .trimmed();
    }
    return raw.toString().trimmed();
}

// A documented refusal told in our words (the trouble's own where said is
// empty), with the service's code.
TrackingReading refusedAs(TrackingReading::Trouble trouble, const QString &said, int code)
{
    TrackingReading r = troubleReading(trouble, said);
    r.reply.message += QStringLiteral(" (%1)").arg(code);
    r.serviceCode = code;
    return r;
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
    explicit Track17Service(const Config &cfg)
        : url(serviceSetting(cfg, QStringLiteral("17track"), Url)),
          token(serviceSetting(cfg, QStringLiteral("17track"), Token))
    {
    }
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
    bool registers() const override { return true; }
    bool findsCarrier() const override { return true; }
    QString account() const override
    {
        return QString::fromLatin1(
            QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
    }

    QList<TrackingReading> readRegistration(const ServiceAnswer &answer, const QList<ServiceAsk> &asks) const override
    {
        QJsonObject data;
        TrackingReading failed;
        if (!envelopeOf(answer, &data, &failed))
            return QList<TrackingReading>(asks.size(), failed);
        QHash<QString, QJsonObject> rejected;
        QSet<QString> accepted;
        for (const QJsonValue &v : data.value(QStringLiteral("rejected")).toArray())
            rejected.insert(numberKey(v.toObject().value(QStringLiteral("number")).toString()), v.toObject());
        for (const QJsonValue &v : data.value(QStringLiteral("accepted")).toArray())
            accepted.insert(numberKey(v.toObject().value(QStringLiteral("number")).toString()));
        TrackingReading registered;
        registered.kind = TrackingReading::NoEvents;
        QList<TrackingReading> out;
        for (const ServiceAsk &ask : asks) {
            const QString key = numberKey(ask.number);
            if (accepted.contains(key)) {
                out.append(registered);
            } else if (const auto r = rejected.constFind(key); r != rejected.constEnd()) {
                const int code = r->value(QStringLiteral("error")).toObject().value(QStringLiteral("code")).toInt();
                out.append(code == AlreadyRegistered ? registered : rejectedReading(*r, answer));
            } else {
                out.append(unreadable()); // not answered for this number
            }
        }
        return out;
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
        // A rate per second of the whole account (3 a second): a wait of
        // seconds, not a spent quota.
        if (answer.status == 429) {
            *failed = quotaReading(answer, true, 1);
            return false;
        }
        *failed = unreadable();
        if (answer.status < 200 || answer.status > 299)
            return false;
        const QJsonObject o = QJsonDocument::fromJson(answer.body.toUtf8()).object();
        if (!o.value(QStringLiteral("code")).isDouble())
            return false;
        *data = o.value(QStringLiteral("data")).toObject();
        const int code = o.value(QStringLiteral("code")).toInt();
        if (code != 0) {
            // The request's own error, inside a 200 answer: in data.errors,
            // or at the top with its message.
            const QJsonObject error = data->value(QStringLiteral("errors")).toArray().at(0).toObject();
            const int errorCode = error.contains(QStringLiteral("code")) ? error.value(QStringLiteral("code")).toInt() : code;
            const QString message = error.contains(QStringLiteral("message"))
                                        ? error.value(QStringLiteral("message")).toString()
                                        : o.value(QStringLiteral("message")).toString();
            *failed = errorReading(errorCode, message, answer);
            return false;
        }
        return true;
    }

    static TrackingReading rejectedReading(const QJsonObject &item, const ServiceAnswer &answer)
    {
        const QJsonObject error = item.value(QStringLiteral("error")).toObject();
        TrackingReading r = errorReading(error.value(QStringLiteral("code")).toInt(),
                                         error.value(QStringLiteral("message")).toString(), answer);
        r.number = item.value(QStringLiteral("number")).toString();
        return r;
    }

    // A documented code told by its meaning; the service's words only for
    // codes it does not document.
    static TrackingReading errorReading(int code, const QString &message, const ServiceAnswer &answer)
    {
        switch (code) {
        case NotRegistered: {
            TrackingReading r = troubleReading(TrackingReading::NoTrouble, Parcelio::tr("单号尚未登记"));
            r.needsPrelude = true;
            r.serviceCode = code;
            return r;
        }
        case InvalidToken: return refusedAs(TrackingReading::WrongKey, QString(), code);
        case DailyLimit: {
            TrackingReading r = refusedAs(TrackingReading::Quota, Parcelio::tr("查询服务今日的查询次数已用完"), code);
            r.accountWide = true;
            const QDateTime local = answer.at.toLocalTime();
            r.retryAt = QDateTime(local.date().addDays(1), QTime(0, 5));
            return r;
        }
        case QuotaSpent: {
            TrackingReading r = refusedAs(TrackingReading::Quota,
                                          Parcelio::tr("查询服务本月的单号额度已用完,下月或更换账号后再查"), code);
            r.accountWide = true;
            r.lasting = TrackingReading::UntilNextMonth;
            const QDate d = answer.at.toLocalTime().date();
            r.retryAt = QDateTime(QDate(d.year(), d.month(), 1).addMonths(1), QTime(0, 0));
            return r;
        }
        case BadFormat: {
            TrackingReading r = refusedAs(TrackingReading::Refused, Parcelio::tr("查询服务认为单号格式不正确,请检查单号"), code);
            r.lasting = TrackingReading::UntilEdited;
            return r;
        }
        case CarrierNotDetected:
        case CarrierWrong: {
            TrackingReading r = refusedAs(TrackingReading::Refused,
                                          Parcelio::tr("查询服务无法确定快递公司,请选择正确的快递公司"), code);
            r.lasting = TrackingReading::UntilEdited;
            return r;
        }
        case NoInfoYet: {
            TrackingReading r;
            r.kind = TrackingReading::NoEvents;
            r.reply.kind = ReplyReading::Success;
            r.reply.code = QStringLiteral("0");
            r.serviceCode = code;
            return r;
        }
        default: break;
        }
        // Codes without a documented meaning for us: the words decide.
        if (message.contains(QStringLiteral("phone"), Qt::CaseInsensitive))
            return refusedAs(TrackingReading::PhoneNeeded, QString(), code);
        TrackingReading r = troubleReading(TrackingReading::NoTrouble,
                                           Parcelio::tr("查询服务: ") + message + QStringLiteral(" (%1)").arg(code));
        r.serviceCode = code;
        return r;
    }

    static TrackingReading acceptedReading(const QJsonObject &item)
    {
        const QJsonObject info = item.value(QStringLiteral("track_info")).toObject();
        TrackingReading r;
        r.number = item.value(QStringLiteral("number")).toString();
        if (item.value(QStringLiteral("carrier")).toInt() > 0)
            r.carrier = QString::number(item.value(QStringLiteral("carrier")).toInt());
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
            r.entries.append({int(r.entries.size()) + 1, eventTimeOf(e), context});
            if (r.entries.size() >= 32767)
                break;
        }
        if (r.entries.isEmpty()) {
            if (coded.status == Status::NoEvents || coded.status == Status::Unknown) {
                TrackingReading unknown = unknownNumber();
                unknown.number = r.number;
                unknown.carrier = r.carrier;
                return unknown;
            }
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
            // Phone digits only where the carrier needs them.
            if (courier.needsPhone && !ask.phone.isEmpty())
                item.insert(QStringLiteral("param"), ask.phone);
            items.append(item);
        }
        ServiceRequest r;
        QString base = url;
        if (!base.endsWith(QLatin1Char('/')))
            base += QLatin1Char('/');
        r.url = QUrl(base + QLatin1String(verb));
        r.post = true;
        r.headers.append(QPair<QByteArray, QByteArray>("Content-Type", "application/json"));
        r.headers.append(QPair<QByteArray, QByteArray>("17token", token.toUtf8()));
        r.body = QJsonDocument(items).toJson(QJsonDocument::Compact);
        return r;
    }

    QString url, token;
};
} // namespace

QList<ServiceSetting> track17Settings()
{
    return {Url, Token};
}

std::shared_ptr<const TrackingService> make17trackService(const Config &cfg)
{
    return std::make_shared<Track17Service>(cfg);
}
