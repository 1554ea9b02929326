// The two aggregators as their documents describe them, answering from the
// same tracking fixtures as the classic service. Files beside a fixture:
//   N.phone   the four phone digits the number needs (顺丰 needs some always)
//   N.429     answer 429 with Retry-After: the seconds in the file
//   N.kdniao  "State StateEx" of the signed query (otherwise from the words)
//   N.17track latest_status.status of the token API (likewise)
// The signed API's number recognition knows numbers by their letters (SF…, YT…).
#include "standinserver.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace {
const QByteArray Json = QByteArrayLiteral("application/json; charset=utf-8");

QByteArray fileText(const QString &path, bool *found = nullptr)
{
    QFile f(path);
    const bool ok = f.open(QIODevice::ReadOnly);
    if (found)
        *found = ok;
    return ok ? f.readAll().trimmed() : QByteArray();
}

// The classic fixture's events, newest first; nothing when it has none.
QJsonArray fixtureEvents(const QString &base, bool *known)
{
    bool found = false;
    const QByteArray body = fileText(base + QStringLiteral(".json"), &found);
    *known = found;
    const QJsonObject o = QJsonDocument::fromJson(body).object();
    if (o.value(QStringLiteral("errCode")).toString() != QLatin1String("0"))
        *known = false;
    return o.value(QStringLiteral("data")).toArray();
}

bool plain(const QString &number)
{
    if (number.isEmpty() || number.size() > 40)
        return false;
    for (const QChar c : number)
        if (!(c.isDigit() || (c.unicode() < 128 && c.isLetter())))
            return false;
    return true;
}

void sendJson(QHttpServerResponder &&responder, const QJsonDocument &doc,
              QHttpServerResponder::StatusCode status = QHttpServerResponder::StatusCode::Ok)
{
    QHttpServerResponse response(Json, doc.toJson(QJsonDocument::Compact), status);
    response.write(std::move(responder));
}
} // namespace

bool StandInServer::tooOften(const QString &base, QHttpServerResponder &responder) const
{
    bool found = false;
    const QByteArray seconds = fileText(base + QStringLiteral(".429"), &found);
    if (!found)
        return false;
    QHttpServerResponse response(Json, QByteArrayLiteral(R"({"code":429,"message":"Too Many Requests"})"),
                                 QHttpServerResponder::StatusCode::TooManyRequests);
    response.setHeader(QByteArrayLiteral("Retry-After"), seconds);
    response.write(std::move(responder));
    return true;
}

void StandInServer::kdniao(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    const QUrlQuery form(QString::fromUtf8(request.body()));
    auto field = [&](const char *name) { return form.queryItemValue(QLatin1String(name), QUrl::FullyDecoded); };
    const QString id = field("EBusinessID");
    const QByteArray data = field("RequestData").toUtf8();
    QJsonObject reply{{QStringLiteral("EBusinessID"), id}};
    auto refuse = [&](const QString &reason) {
        reply.insert(QStringLiteral("Success"), false);
        reply.insert(QStringLiteral("Reason"), reason);
        sendJson(std::move(responder), QJsonDocument(reply));
    };
    // The document's signature: Base64 of the lower-case hex MD5 of the
    // request data and the key.
    const QByteArray sign =
        QCryptographicHash::hash(data + m_config.kdniaoApiKey.toUtf8(), QCryptographicHash::Md5).toHex().toBase64();
    if (id != m_config.kdniaoBusinessId || field("DataSign").toUtf8() != sign)
        return refuse(QStringLiteral("用户ID或数据签名验证失败"));
    const QString type = field("RequestType");
    if (field("DataType") != QLatin1String("2") || (type != QLatin1String("1002") && type != QLatin1String("8001") &&
                                                    type != QLatin1String("2002")))
        return refuse(QStringLiteral("请求类型或数据类型错误"));
    const QJsonObject ask = QJsonDocument::fromJson(data).object();
    if (type == QLatin1String("2002"))
        return kdniaoRecognition(ask.value(QStringLiteral("LogisticCode")).toString(), reply, std::move(responder));
    const QString shipper = ask.value(QStringLiteral("ShipperCode")).toString();
    const QString number = ask.value(QStringLiteral("LogisticCode")).toString();
    const QString phone = ask.value(QStringLiteral("CustomerName")).toString();
    reply.insert(QStringLiteral("ShipperCode"), shipper);
    reply.insert(QStringLiteral("LogisticCode"), number);
    if (!plain(number) || shipper.isEmpty())
        return refuse(QStringLiteral("快递公司编码或单号错误"));
    const QString base = fixture(QStringLiteral("tracking/") + number);
    if (tooOften(base, responder))
        return;
    bool hasPhone = false;
    const QByteArray needed = fileText(base + QStringLiteral(".phone"), &hasPhone);
    // As the documents have it: the digits are asked of 顺丰 only.
    if (shipper == QLatin1String("SF") && (phone.size() != 4 || (hasPhone && phone.toUtf8() != needed)))
        return refuse(QStringLiteral("请输入正确的寄件人或收件人手机号后四位(CustomerName)"));

    bool known = false;
    const QJsonArray events = fixtureEvents(base, &known);
    QJsonArray traces;
    for (qsizetype i = events.size() - 1; i >= 0; --i) {
        const QJsonObject e = events.at(i).toObject();
        traces.append(QJsonObject{{QStringLiteral("AcceptTime"), e.value(QStringLiteral("time"))},
                                  {QStringLiteral("AcceptStation"), e.value(QStringLiteral("context"))}});
    }
    reply.insert(QStringLiteral("Success"), true);
    reply.insert(QStringLiteral("Traces"), traces);
    bool given = false;
    const QList<QByteArray> state = fileText(base + QStringLiteral(".kdniao"), &given).split(' ');
    if (!known || traces.isEmpty()) {
        reply.insert(QStringLiteral("State"), QStringLiteral("0"));
        reply.insert(QStringLiteral("Reason"), QStringLiteral("暂无轨迹信息"));
    } else if (given) {
        reply.insert(QStringLiteral("State"), QString::fromLatin1(state.value(0)));
        if (state.size() > 1)
            reply.insert(QStringLiteral("StateEx"), QString::fromLatin1(state.value(1)));
    } else {
        const QString newest = events.at(0).toObject().value(QStringLiteral("context")).toString();
        reply.insert(QStringLiteral("State"), newest.contains(QStringLiteral("签收")) ? QStringLiteral("3")
                                                                                     : QStringLiteral("2"));
    }
    sendJson(std::move(responder), QJsonDocument(reply));
}

// Number recognition: the couriers a number may belong to, told by its
// letters; none for a number it cannot place.
void StandInServer::kdniaoRecognition(const QString &number, QJsonObject reply, QHttpServerResponder &&responder)
{
    static const struct {
        const char *prefix, *code, *name;
    } Known[] = {{"SF", "SF", "顺丰速运"}, {"YT", "YTO", "圆通速递"}, {"JT", "JTSD", "极兔速递"}};
    QJsonArray shippers;
    for (const auto &k : Known)
        if (plain(number) && number.startsWith(QLatin1String(k.prefix), Qt::CaseInsensitive))
            shippers.append(QJsonObject{{QStringLiteral("ShipperCode"), QString::fromUtf8(k.code)},
                                        {QStringLiteral("ShipperName"), QString::fromUtf8(k.name)}});
    reply.insert(QStringLiteral("LogisticCode"), number);
    reply.insert(QStringLiteral("Success"), true);
    reply.insert(QStringLiteral("Shippers"), shippers);
    sendJson(std::move(responder), QJsonDocument(reply));
}

namespace {
bool tokenOk(const QHttpServerRequest &request, const QString &token)
{
    return request.value(QByteArrayLiteral("17token")) == token.toUtf8();
}

QJsonObject rejected(const QString &number, int code, const QString &message)
{
    return QJsonObject{{QStringLiteral("number"), number},
                       {QStringLiteral("error"),
                        QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}}};
}

// More numbers than one call may carry (40): the whole request is refused,
// with a code of the stand-in's own.
constexpr qsizetype MaxNumbers = 40;
bool tooMany(const QJsonArray &items, QHttpServerResponder &responder)
{
    if (items.size() <= MaxNumbers)
        return false;
    sendJson(std::move(responder),
             QJsonDocument(QJsonObject{
                 {QStringLiteral("code"), -18010001},
                 {QStringLiteral("data"),
                  QJsonObject{{QStringLiteral("errors"),
                               QJsonArray{QJsonObject{{QStringLiteral("code"), -18010001},
                                                      {QStringLiteral("message"),
                                                       QStringLiteral("At most 40 numbers can be submitted at a time.")}}}}}}}));
    return true;
}

QJsonDocument envelope(const QJsonArray &accepted, const QJsonArray &rejectedItems)
{
    return QJsonDocument(QJsonObject{
        {QStringLiteral("code"), 0},
        {QStringLiteral("data"),
         QJsonObject{{QStringLiteral("accepted"), accepted}, {QStringLiteral("rejected"), rejectedItems}}}});
}
} // namespace

void StandInServer::track17Register(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    if (!tokenOk(request, m_config.track17Token))
        return sendJson(std::move(responder),
                        QJsonDocument(QJsonObject{{QStringLiteral("code"), 401}}),
                        QHttpServerResponder::StatusCode::Unauthorized);
    const QJsonArray items = QJsonDocument::fromJson(request.body()).array();
    if (tooMany(items, responder))
        return;
    QJsonArray accepted, refused;
    for (const QJsonValue &v : items) {
        const QString number = v.toObject().value(QStringLiteral("number")).toString();
        if (!plain(number))
            refused.append(rejected(number, -18010012, QStringLiteral("The format of '%1' is invalid.").arg(number)));
        else if (m_registered.contains(number))
            refused.append(rejected(number, -18019901, QStringLiteral("The tracking number '%1' has been registered, don't need to repeat registration.").arg(number)));
        else {
            m_registered.insert(number);
            accepted.append(QJsonObject{{QStringLiteral("number"), number}});
        }
    }
    sendJson(std::move(responder), envelope(accepted, refused));
}

void StandInServer::track17Info(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    if (!tokenOk(request, m_config.track17Token))
        return sendJson(std::move(responder),
                        QJsonDocument(QJsonObject{{QStringLiteral("code"), 401}}),
                        QHttpServerResponder::StatusCode::Unauthorized);
    const QJsonArray items = QJsonDocument::fromJson(request.body()).array();
    if (tooMany(items, responder))
        return;
    QJsonArray accepted, refused;
    for (const QJsonValue &v : items) {
        const QJsonObject item = v.toObject();
        const QString number = item.value(QStringLiteral("number")).toString();
        if (!plain(number) || !m_registered.contains(number)) {
            refused.append(rejected(number, -18019902, QStringLiteral("The tracking number '%1' does not register, please register first.").arg(number)));
            continue;
        }
        const QString base = fixture(QStringLiteral("tracking/") + number);
        if (tooOften(base, responder))
            return;
        bool hasPhone = false;
        const QByteArray needed = fileText(base + QStringLiteral(".phone"), &hasPhone);
        if (hasPhone && item.value(QStringLiteral("param")).toString().toUtf8() != needed) {
            refused.append(rejected(number, -18019910, QStringLiteral("The carrier needs the last four digits of the phone number.")));
            continue;
        }
        bool known = false;
        const QJsonArray events = fixtureEvents(base, &known);
        QJsonArray out;
        for (const QJsonValue &e : events) {
            const QJsonObject o = e.toObject();
            QString time = o.value(QStringLiteral("time")).toString();
            time.replace(QLatin1Char(' '), QLatin1Char('T'));
            out.append(QJsonObject{{QStringLiteral("time_iso"), time + QStringLiteral("+08:00")},
                                   {QStringLiteral("description"), o.value(QStringLiteral("context"))},
                                   {QStringLiteral("location"), QString()}});
        }
        bool given = false;
        QString status = QString::fromLatin1(fileText(base + QStringLiteral(".17track"), &given));
        if (!given)
            status = !known || out.isEmpty() ? QStringLiteral("NotFound")
                     : events.at(0).toObject().value(QStringLiteral("context")).toString().contains(QStringLiteral("签收"))
                         ? QStringLiteral("Delivered")
                         : QStringLiteral("InTransit");
        accepted.append(QJsonObject{
            {QStringLiteral("number"), number},
            {QStringLiteral("track_info"),
             QJsonObject{{QStringLiteral("latest_status"), QJsonObject{{QStringLiteral("status"), status}}},
                         {QStringLiteral("tracking"),
                          QJsonObject{{QStringLiteral("providers"),
                                       QJsonArray{QJsonObject{{QStringLiteral("events"), out}}}}}}}}});
    }
    sendJson(std::move(responder), envelope(accepted, refused));
}
