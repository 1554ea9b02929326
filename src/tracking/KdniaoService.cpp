// The signed instant query: a form POST whose RequestData is signed with
// the account's API key; traces come oldest first.
#include "app/Tr.h"
#include "app/Config.h"
#include "tracking/Kdniao.h"
#include "tracking/Service.h"
#include "tracking/ServiceSettings.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace {
// The service's own group of the settings file, [kdniao].
const ServiceSetting Url{"url", "https://api.kdniao.com/Ebusiness/EbusinessOrderHandle.aspx"};
const ServiceSetting BusinessId{"business_id", ""};
const ServiceSetting ApiKey{"api_key", "", true};
// 8001 sends StateEx and each trace's Action; 1002 State alone.
const ServiceSetting RequestType{"request_type", "8001"};

QByteArray formValue(const QByteArray &text)
{
    return QUrl::toPercentEncoding(QString::fromUtf8(text));
}

// "true", true or 1: the service has sent each.
bool truthy(const QJsonValue &v)
{
    if (v.isBool())
        return v.toBool();
    if (v.isDouble())
        return v.toInt() != 0;
    return v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QString text(const QJsonValue &v)
{
    return v.isDouble() ? QString::number(v.toInt()) : v.toString();
}

// The service's codes, as its public documents list them: State (0-6) in
// every reply; StateEx and each trace's Action (three digits) with the
// value-added query. A code not listed is read by its hundred.
struct KdniaoCode {
    int code;
    CodedStatus status;
};
const KdniaoCode KdniaoCodes[] = {
    {0, {Status::NoEvents, false}},         // no trace yet
    {1, {Status::Collected, false}},        // collected
    {2, {Status::InTransit, false}},        // in transit
    {3, {Status::Signed, true}},            // signed
    {4, {Status::Problem, true}},           // problem
    {5, {Status::InTransit, false}},        // forwarded
    {6, {Status::InTransit, false}},        // in customs
    {201, {Status::InTransit, false}},      // arrived in the delivery city
    {202, {Status::OutForDelivery, true}},  // out for delivery
    {211, {Status::AtStation, true}},       // put into a locker or station
    {301, {Status::Signed, true}},          // signed
    {302, {Status::Signed, true}},          // signed after a failed delivery
    {304, {Status::Signed, true}},          // signed by another
    {311, {Status::Signed, true}},          // locker or station: settled by the words
    {412, {Status::AtStation, true}},       // left in a locker or station too long
};

std::optional<KdniaoCode> kdniaoCode(const QString &text)
{
    bool ok = false;
    const int code = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    for (const KdniaoCode &c : KdniaoCodes)
        if (c.code == code)
            return c;
    switch (code / 100) {
    case 1: return KdniaoCode{code, {Status::Collected, false}};
    case 2: return KdniaoCode{code, {Status::InTransit, false}};
    case 3: return KdniaoCode{code, {Status::Signed, true}};
    case 4: return KdniaoCode{code, {Status::Problem, true}}; // returned, refused, lost, ...
    default: return std::nullopt;
    }
}

// The finest code the reply gives: a specific one over a coarse one; of
// equals, the newest trace's Action, then StateEx, then State. 311 means
// "signed at a locker or station" in one version of the documents and
// "taken out of it" in another: the newest event's words settle it.
CodedStatus kdniaoStatus(const QStringList &codesFinestFirst, const QString &newestContext)
{
    std::optional<KdniaoCode> chosen;
    for (const QString &text : codesFinestFirst) {
        const std::optional<KdniaoCode> c = kdniaoCode(text);
        if (c && (!chosen || (c->status.specific && !chosen->status.specific)))
            chosen = c;
    }
    if (!chosen)
        return CodedStatus{};
    if (chosen->code == 311 && statusFromWords(newestContext) == Status::AtStation)
        return CodedStatus{Status::AtStation, true};
    return chosen->status;
}

// A refusal told by its reason: the service has no codes for these.
TrackingReading refusalOf(const QString &reason)
{
    auto has = [&](std::initializer_list<const char *> words) {
        for (const char *w : words)
            if (reason.contains(QString::fromUtf8(w), Qt::CaseInsensitive))
                return true;
        return false;
    };
    if (has({"手机", "CustomerName"}))
        return troubleReading(TrackingReading::PhoneNeeded);
    if (has({"签名", "DataSign", "EBusinessID", "密钥", "商户", "用户ID", "未授权"}))
        return troubleReading(TrackingReading::WrongKey);
    if (has({"次数", "频繁", "超限", "上限", "额度", "余额", "套餐"})) {
        TrackingReading r = troubleReading(TrackingReading::Quota);
        r.accountWide = has({"余额", "套餐", "今日", "账户", "额度"});
        return r;
    }
    if (has({"ShipperCode", "快递公司编码", "不支持"}))
        return troubleReading(TrackingReading::NotCovered);
    if (has({"单号不存在"})) {
        TrackingReading r;
        r.kind = TrackingReading::Failure;
        r.reply.kind = ReplyReading::UnknownNumber;
        r.reply.code = QStringLiteral("1");
        return r;
    }
    return troubleReading(TrackingReading::NoTrouble, Parcelio::tr("查询服务: ") + reason);
}

class KdniaoService final : public TrackingService {
public:
    explicit KdniaoService(const Config &cfg)
        : url(serviceSetting(cfg, QStringLiteral("kdniao"), Url)),
          businessId(serviceSetting(cfg, QStringLiteral("kdniao"), BusinessId)),
          apiKey(serviceSetting(cfg, QStringLiteral("kdniao"), ApiKey)),
          requestType(serviceSetting(cfg, QStringLiteral("kdniao"), RequestType))
    {
    }
    QString name() const override { return QStringLiteral("kdniao"); }
    bool paced() const override { return true; }

    ServiceRequest request(const ServiceAsk &ask) const override
    {
        ServiceRequest r;
        const ServiceCourier courier = serviceCourier(name(), ask.code);
        if (!courier.covered) {
            r.refused = troubleReading(TrackingReading::NotCovered);
            return r;
        }
        if (courier.needsPhone && ask.phone.isEmpty()) {
            r.refused = troubleReading(TrackingReading::PhoneNeeded);
            return r;
        }
        QJsonObject data{{QStringLiteral("OrderCode"), QString()},
                         {QStringLiteral("ShipperCode"), courier.code},
                         {QStringLiteral("LogisticCode"), ask.number}};
        // Only where the courier needs it (顺丰: the phone's last four
        // digits); for others the field must carry nothing (京东 reads it as
        // a merchant code).
        if (courier.needsPhone)
            data.insert(QStringLiteral("CustomerName"), ask.phone);
        return signedForm(requestType, data);
    }

    // Number recognition (2002): the same signed form, the number alone.
    std::optional<ServiceRequest> recognitionRequest(const QString &number) const override
    {
        return signedForm(QStringLiteral("2002"), QJsonObject{{QStringLiteral("LogisticCode"), number}});
    }

    QStringList readRecognition(const ServiceAnswer &answer) const override
    {
        QStringList codes;
        if (!answer.answered || answer.status < 200 || answer.status > 299)
            return codes;
        const QJsonObject o = QJsonDocument::fromJson(answer.body.toUtf8()).object();
        if (!truthy(o.value(QStringLiteral("Success"))))
            return codes;
        for (const QJsonValue &v : o.value(QStringLiteral("Shippers")).toArray()) {
            const QString code = v.toObject().value(QStringLiteral("ShipperCode")).toString().trimmed();
            if (!code.isEmpty())
                codes << code;
        }
        return codes;
    }

    TrackingReading read(const ServiceAnswer &answer) const override
    {
        if (!answer.answered)
            return TrackingReading{};
        if (answer.status == 429)
            return quotaReading(answer, false);
        TrackingReading unreadable;
        unreadable.kind = TrackingReading::Unreadable;
        if (answer.status < 200 || answer.status > 299)
            return unreadable;
        const QJsonObject o = QJsonDocument::fromJson(answer.body.toUtf8()).object();
        if (o.isEmpty() || !o.contains(QStringLiteral("Success")))
            return unreadable;
        const QJsonValue reasonValue = o.value(QStringLiteral("Reason"));
        const QString reason = text(reasonValue).trimmed();
        const QJsonValue tracesValue = o.value(QStringLiteral("Traces"));
        // Traces, where present, are a list of objects with text fields:
        // anything else is an answer we cannot read, not an unknown number.
        if (!tracesValue.isUndefined() && !tracesValue.isNull() && !tracesValue.isArray())
            return unreadable;
        const QJsonArray traces = tracesValue.toArray();
        for (const QJsonValue &v : traces) {
            const QJsonObject t = v.toObject();
            if (!v.isObject() || !t.value(QStringLiteral("AcceptTime")).isString() ||
                !t.value(QStringLiteral("AcceptStation")).isString())
                return unreadable;
        }

        TrackingReading r;
        r.number = text(o.value(QStringLiteral("LogisticCode"))).trimmed();
        r.reply.kind = ReplyReading::Success;
        r.reply.code = QStringLiteral("0");
        const bool success = truthy(o.value(QStringLiteral("Success")));
        // No trace yet, in either of its documented forms: Success false
        // without a reason, or Success true with "暂无轨迹信息".
        if ((!success && (reasonValue.isNull() || reasonValue.isUndefined() || reason.isEmpty())) ||
            (traces.isEmpty() && reason.contains(QStringLiteral("暂无轨迹")))) {
            r.kind = TrackingReading::NoEvents;
            r.status = Status::NoEvents;
            return r;
        }
        if (!success) {
            TrackingReading refused = refusalOf(reason);
            refused.number = r.number;
            return refused;
        }
        // Oldest first on the wire (mostly): newest first as shown, then
        // ordered by time. Each event's Action goes with it.
        QList<QString> actions;
        for (qsizetype i = traces.size() - 1; i >= 0; --i) {
            const QJsonObject t = traces.at(i).toObject();
            const QString time = t.value(QStringLiteral("AcceptTime")).toString().trimmed();
            const QString context = t.value(QStringLiteral("AcceptStation")).toString().trimmed();
            if (time.isEmpty() && context.isEmpty())
                continue;
            r.entries.append({int(r.entries.size()) + 1, eventTimeText(time), context});
            actions.append(text(t.value(QStringLiteral("Action"))));
            if (r.entries.size() >= 32767)
                break;
        }
        // The newest event's Action, once the events are in time order.
        const QList<qsizetype> order = orderNewestFirst(r.entries);
        const QString newestAction = order.isEmpty() ? QString() : actions.at(order.first());
        const CodedStatus coded = kdniaoStatus(
            {newestAction, text(o.value(QStringLiteral("StateEx"))), text(o.value(QStringLiteral("State")))},
            r.entries.isEmpty() ? QString() : r.entries.first().context);
        if (r.entries.isEmpty()) {
            // Known, no event yet: a coarse code says no more than that.
            r.kind = TrackingReading::NoEvents;
            r.status = coded.status == Status::Unknown || isCoarse(coded.status) ? Status::NoEvents : coded.status;
            return r;
        }
        return eventsReading(std::move(r), coded);
    }

private:
    ServiceRequest signedForm(const QString &requestType, const QJsonObject &data) const
    {
        ServiceRequest r;
        const QByteArray requestData = QJsonDocument(data).toJson(QJsonDocument::Compact);
        r.url = QUrl(url);
        r.post = true;
        r.headers.append(QPair<QByteArray, QByteArray>("Content-Type", "application/x-www-form-urlencoded; charset=utf-8"));
        r.body = "RequestType=" + formValue(requestType.toUtf8()) +
                 "&EBusinessID=" + formValue(businessId.toUtf8()) +
                 "&RequestData=" + formValue(requestData) +
                 "&DataSign=" + formValue(kdniaoDataSign(requestData, apiKey.toUtf8())) +
                 "&DataType=2";
        return r;
    }

    QString url, businessId, apiKey, requestType;
};
} // namespace

QList<ServiceSetting> kdniaoSettings()
{
    return {Url, BusinessId, ApiKey, RequestType};
}

QByteArray kdniaoDataSign(const QByteArray &requestData, const QByteArray &apiKey)
{
    const QByteArray hex = QCryptographicHash::hash(requestData + apiKey, QCryptographicHash::Md5).toHex();
    return hex.toBase64();
}

std::shared_ptr<const TrackingService> makeKdniaoService(const Config &cfg)
{
    return std::make_shared<KdniaoService>(cfg);
}
