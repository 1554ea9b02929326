// The two aggregators as their documents describe them, answering from the
// same tracking fixtures as the classic service. Files beside a fixture:
//   N.phone   the four phone digits the number needs (顺丰 needs some always)
//   N.429     answer 429 with Retry-After: the seconds in the file
//   N.kdniao  "State StateEx" of the signed query (otherwise from the words)
//   N.17track latest_status.status of the token API (likewise)
//   N.kdniao.json   a whole reply of the signed query, sent as it stands (the
//                   documents' example replies)
//   N.17track.json  a whole gettrackinfo answer: its accepted item for N is sent
//   N.17track-register  registration refused with that code (-18019908 quota,
//                   -18019903 no carrier, -18010012 bad format)
//   N.17track-pending   after registering, that many readings answer NotFound
//                   before the events (the service fetches asynchronously)
//   N.17track-rejected  gettrackinfo rejects the number with that code
//                   (-18019909 no information yet, -18019910 carrier wrong)
//   N.17track-top   every call naming N answers that code at the top of a
//                   200 answer (-18010002 invalid token, -18019907 daily limit)
// A number ending in an odd digit is answered in the documents' other
// forms: kdniao State as a number and times with '/', 17track events with
// time_iso and time_utc null and time_raw alone.
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

#include <functional>

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

// The documents show both forms of each: answered by the number's last digit.
bool otherForm(const QString &number)
{
    return !number.isEmpty() && number.back().isDigit() && number.back().digitValue() % 2 == 1;
}

// The documented meaning of the codes the stand-in answers.
QString messageOf(int code, const QString &number)
{
    switch (code) {
    case -18010002: return QStringLiteral("Invalid access token.");
    case -18010012: return QStringLiteral("The format of '%1' is invalid.").arg(number);
    case -18019901: return QStringLiteral("The tracking number '%1' has been registered, don't need to repeat registration.").arg(number);
    case -18019903: return QStringLiteral("Carrier cannot be detected.");
    case -18019907: return QStringLiteral("Exceeded the daily request limit.");
    case -18019908: return QStringLiteral("Quota is not enough.");
    case -18019909: return QStringLiteral("No tracking information at this time.");
    case -18019910: return QStringLiteral("The value of the carrier is not correct.");
    default: return QStringLiteral("Error %1.").arg(code);
    }
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

    bool sample = false;
    const QByteArray whole = fileText(base + QStringLiteral(".kdniao.json"), &sample);
    if (sample) {
        QHttpServerResponse response(Json, whole);
        return response.write(std::move(responder));
    }

    const bool other = otherForm(number);
    bool known = false;
    const QJsonArray events = fixtureEvents(base, &known);
    QJsonArray traces;
    // The other form also sends its two oldest traces the wrong way round:
    // the documents' example is not in time order either.
    for (qsizetype i = events.size() - 1; i >= 0; --i) {
        const QJsonObject e = events.at(i).toObject();
        QString time = e.value(QStringLiteral("time")).toString();
        if (other)
            time.replace(QLatin1Char('-'), QLatin1Char('/'));
        traces.append(QJsonObject{{QStringLiteral("AcceptTime"), time},
                                  {QStringLiteral("AcceptStation"), e.value(QStringLiteral("context"))}});
    }
    if (other && traces.size() > 2) {
        const QJsonValue first = traces.at(0);
        traces.replace(0, traces.at(1));
        traces.replace(1, first);
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
    if (other)
        reply.insert(QStringLiteral("State"), reply.value(QStringLiteral("State")).toString().toInt());
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

QJsonObject rejected(const QString &number, int code)
{
    return QJsonObject{{QStringLiteral("number"), number},
                       {QStringLiteral("error"),
                        QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("message"), messageOf(code, number)}}}};
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

// The code of a file beside a fixture; 0 without one.
int codeFile(const QString &path)
{
    return fileText(path).toInt();
}

// A call naming a number whose "-top" file gives a code: the whole call is
// answered with it, at the top of a 200 answer.
bool topError(const QJsonArray &items, const std::function<QString(const QString &)> &base,
              QHttpServerResponder &responder)
{
    for (const QJsonValue &v : items) {
        const QString number = v.toObject().value(QStringLiteral("number")).toString();
        const int code = plain(number) ? codeFile(base(number) + QStringLiteral(".17track-top")) : 0;
        if (code == 0)
            continue;
        sendJson(std::move(responder), QJsonDocument(QJsonObject{{QStringLiteral("code"), code},
                                                                 {QStringLiteral("message"), messageOf(code, number)}}));
        return true;
    }
    return false;
}

QJsonDocument envelope(const QJsonArray &accepted, const QJsonArray &rejectedItems)
{
    return QJsonDocument(QJsonObject{
        {QStringLiteral("code"), 0},
        {QStringLiteral("data"),
         QJsonObject{{QStringLiteral("accepted"), accepted}, {QStringLiteral("rejected"), rejectedItems}}}});
}
} // namespace

bool StandInServer::track17Refused(const QHttpServerRequest &request, const QJsonArray &items,
                                   QHttpServerResponder &responder)
{
    // No token at all: 401. A wrong one: the documented code in a 200 answer.
    if (request.value(QByteArrayLiteral("17token")).isEmpty()) {
        sendJson(std::move(responder), QJsonDocument(QJsonObject{{QStringLiteral("code"), 401}}),
                 QHttpServerResponder::StatusCode::Unauthorized);
        return true;
    }
    if (!tokenOk(request, m_config.track17Token)) {
        sendJson(std::move(responder), QJsonDocument(QJsonObject{{QStringLiteral("code"), -18010002},
                                                                 {QStringLiteral("message"), messageOf(-18010002, {})}}));
        return true;
    }
    if (tooMany(items, responder))
        return true;
    return topError(items, [this](const QString &n) { return fixture(QStringLiteral("tracking/") + n); }, responder);
}

void StandInServer::track17Register(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    const QJsonArray items = QJsonDocument::fromJson(request.body()).array();
    if (track17Refused(request, items, responder))
        return;
    QJsonArray accepted, refused;
    for (const QJsonValue &v : items) {
        const QString number = v.toObject().value(QStringLiteral("number")).toString();
        if (!plain(number))
            refused.append(rejected(number, -18010012, QStringLiteral("The format of '%1' is invalid.").arg(number)));
        else if (m_registered.contains(number))
            refused.append(rejected(number, -18019901));
        else if (const int code = codeFile(fixture(QStringLiteral("tracking/") + number) + QStringLiteral(".17track-register")))
            refused.append(rejected(number, code));
        else {
            m_registered.insert(number);
            // The carrier's data comes later: so many readings find nothing yet.
            m_carriers.insert(number, v.toObject().value(QStringLiteral("carrier")).toInt());
            m_pending.insert(number, codeFile(fixture(QStringLiteral("tracking/") + number) + QStringLiteral(".17track-pending")));
            accepted.append(QJsonObject{{QStringLiteral("number"), number},
                                        {QStringLiteral("carrier"), v.toObject().value(QStringLiteral("carrier")).toInt()}});
        }
    }
    sendJson(std::move(responder), envelope(accepted, refused));
}

void StandInServer::track17Info(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    const QJsonArray items = QJsonDocument::fromJson(request.body()).array();
    if (track17Refused(request, items, responder))
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
        if (const int code = codeFile(base + QStringLiteral(".17track-rejected"))) {
            refused.append(rejected(number, code));
            continue;
        }
        const bool notYet = m_pending.value(number) > 0;
        if (notYet)
            m_pending[number] -= 1;
        bool sample = false;
        const QJsonObject whole = QJsonDocument::fromJson(fileText(base + QStringLiteral(".17track.json"), &sample)).object();
        if (sample && !notYet) {
            for (const QJsonValue &a : whole.value(QStringLiteral("data")).toObject().value(QStringLiteral("accepted")).toArray())
                if (a.toObject().value(QStringLiteral("number")).toString() == number)
                    accepted.append(a);
            continue;
        }
        bool known = false;
        const QJsonArray events = notYet ? QJsonArray() : fixtureEvents(base, &known);
        const bool other = otherForm(number);
        QJsonArray out;
        for (const QJsonValue &e : events) {
            const QJsonObject o = e.toObject();
            QString time = o.value(QStringLiteral("time")).toString();
            QJsonObject event{{QStringLiteral("description"), o.value(QStringLiteral("context"))},
                              {QStringLiteral("location"), QString()}};
            if (other) {
                // The carrier's own time only, as the documents show it can be.
                event.insert(QStringLiteral("time_iso"), QJsonValue::Null);
                event.insert(QStringLiteral("time_utc"), QJsonValue::Null);
                event.insert(QStringLiteral("time_raw"),
                             QJsonObject{{QStringLiteral("date"), time.section(QLatin1Char(' '), 0, 0)},
                                         {QStringLiteral("time"), time.section(QLatin1Char(' '), 1)},
                                         {QStringLiteral("timezone"), QJsonValue::Null}});
            } else {
                time.replace(QLatin1Char(' '), QLatin1Char('T'));
                event.insert(QStringLiteral("time_iso"), time + QStringLiteral("+08:00"));
            }
            out.append(event);
        }
        bool given = false;
        QString status = notYet ? QString() : QString::fromLatin1(fileText(base + QStringLiteral(".17track"), &given));
        if (!given)
            status = !known || out.isEmpty() ? QStringLiteral("NotFound")
                     : events.at(0).toObject().value(QStringLiteral("context")).toString().contains(QStringLiteral("签收"))
                         ? QStringLiteral("Delivered")
                         : QStringLiteral("InTransit");
        accepted.append(QJsonObject{
            {QStringLiteral("number"), number},
            {QStringLiteral("carrier"), m_carriers.value(number)},
            {QStringLiteral("track_info"),
             QJsonObject{{QStringLiteral("latest_status"), QJsonObject{{QStringLiteral("status"), status}}},
                         {QStringLiteral("tracking"),
                          QJsonObject{{QStringLiteral("providers"),
                                       QJsonArray{QJsonObject{{QStringLiteral("events"), out}}}}}}}}});
    }
    sendJson(std::move(responder), envelope(accepted, refused));
}
