// kdniao's signed query and its replies, read without a window.
#include "app/Config.h"
#include "tracking/Kdniao.h"
#include "tracking/Service.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestKdniao : public QObject {
    Q_OBJECT
private slots:
    void signedQuerySignatureAndReading();
};

void TestKdniao::signedQuerySignatureAndReading()
{
    // Computed with Python's hashlib and base64, not with this code:
    // base64(md5(data + key).hexdigest()).
    const QByteArray key = "56da2cf8-c8a2-44b2-b6fa-476cd7d1ba17";
    QCOMPARE(kdniaoDataSign(R"({"OrderCode":"","ShipperCode":"SF","LogisticCode":"118650888018","CustomerName":"1234"})",
                            key),
             QByteArray("ZmIwZmE1ZGIxYWU1NGJkYjBmMjIwMzI5MWJlOGRlZjU="));
    QCOMPARE(kdniaoDataSign(QStringLiteral(R"({"LogisticCode":"顺丰运单"})").toUtf8(), key),
             QByteArray("OTgxMWJlYmM4ZDI4NzU2Yjc1M2Q2NDE1ODA4YjI4Njk="));

    Config cfg;
    cfg.service = "kdniao";
    cfg.serviceSettings.insert("kdniao/api_key", QString::fromLatin1(key));
    const auto svc = TrackingService::make(cfg);
    QCOMPARE(svc->name(), QStringLiteral("kdniao"));
    // The form's RequestData is what was signed.
    const ServiceRequest req = svc->request({"zhongtong", "7001", QString()});
    QVERIFY(req.post);
    const QByteArray body = req.body;
    const QByteArray data = QByteArray::fromPercentEncoding(body.mid(body.indexOf("RequestData=") + 12).split('&').first());
    const QByteArray sign = QByteArray::fromPercentEncoding(body.mid(body.indexOf("DataSign=") + 9).split('&').first());
    QCOMPARE(sign, kdniaoDataSign(data, key));
    QVERIFY(data.contains(R"("ShipperCode":"ZTO")"));
    QVERIFY(!data.contains("CustomerName"));
    // 顺丰 without digits is refused before any request; a courier without a code too.
    QCOMPARE(svc->request({"shunfeng", "1", QString()}).refused.trouble, TrackingReading::PhoneNeeded);
    QCOMPARE(svc->request({"nosuchcourier", "1", QString()}).refused.trouble, TrackingReading::NotCovered);

    ServiceAnswer a;
    a.answered = true;
    a.status = 200;
    a.at = QDateTime(QDate(2026, 12, 9), QTime(8, 0));
    // Traces oldest first on the wire, newest first read; the state over the words.
    a.body = QStringLiteral(R"({"Success":true,"State":"3","StateEx":"304","Traces":[
        {"AcceptTime":"2026-12-01 08:00:00","AcceptStation":"已揽收"},
        {"AcceptTime":"2026-12-02 09:30:00","AcceptStation":"放入快递柜"}]})");
    TrackingReading r = svc->read(a);
    QCOMPARE(r.kind, TrackingReading::Events);
    QCOMPARE(r.entries.at(0).context, QStringLiteral("放入快递柜"));
    QCOMPARE(r.entries.at(1).time, QStringLiteral("2026-12-01 08:00:00"));
    QCOMPARE(r.status, Status::Signed);
    QCOMPARE(stateWords(r.status), QStringLiteral("已签收"));
    // Other spellings written in the display's form; no date at all kept as it came.
    a.body = QStringLiteral(R"({"Success":true,"State":"2","Traces":[
        {"AcceptTime":"2026/12/1 8:05","AcceptStation":"已揽收"},
        {"AcceptTime":"2026-02-30 08:00:00","AcceptStation":"到达"}]})");
    r = svc->read(a);
    QCOMPARE(r.entries.at(1).time, QStringLiteral("2026-12-01 08:05:00"));
    QCOMPARE(r.entries.at(0).time, QStringLiteral("2026-02-30 08:00:00"));

    // The service's codes against real event texts: State as a number or a
    // string, StateEx and each trace's Action where the value-added query
    // sends them. Station texts as the public replies quoted in the research
    // notes write them (hosting.easydoc.net/doc/80398990, a reply with a
    // station event); the rest as couriers write them.
    const char *const out = "[深圳市]快件交给李师傅,正在派件途中";
    const char *const station = "快件已由长沙层上观邸1栋113号店菜鸟驿站代收,请及时取件,如有疑问请联系17369217750";
    const char *const takenOut = "已签收,签收人凭取货码签收。";
    const char *const arrived = "[深圳市]快件已到达 【深圳南山集散中心】";
    const struct {
        const char *state, *ex, *action, *newest;
        Status status;
    } codes[] = {
        {"2", "", "", out, Status::OutForDelivery},     // a coarse code never hides finer words
        {"2", "", "", station, Status::AtStation},
        {"2", "", "", takenOut, Status::Signed},
        {"1", "", "", arrived, Status::Collected},
        {"2", "", "", arrived, Status::InTransit},
        {"2", "202", "", arrived, Status::OutForDelivery}, // a specific code decides over the words
        {"2", "211", "", arrived, Status::AtStation},
        {"2", "201", "", out, Status::OutForDelivery},
        {"2", "", "211", arrived, Status::AtStation},      // the newest trace's Action
        {"3", "311", "311", station, Status::AtStation},   // 311: the words settle it
        {"3", "311", "311", takenOut, Status::Signed},
        {"3", "304", "", station, Status::Signed},
        {"4", "", "", arrived, Status::Problem},
        {"2", "", "404", arrived, Status::Problem},
        {"2", "412", "", station, Status::AtStation},
        {"0", "", "", "收件人拒收,快件将退回", Status::Problem},
        {"5", "", "", arrived, Status::InTransit},
    };
    for (const auto &c : codes) {
        QJsonObject reply{{"Success", true}, {"State", QString::fromLatin1(c.state)},
                          {"Traces", QJsonArray{QJsonObject{{"AcceptTime", "2026-12-01 08:00:00"}, {"AcceptStation", "已揽收"}},
                                                QJsonObject{{"AcceptTime", "2026-12-02 08:00:00"},
                                                            {"AcceptStation", QString::fromUtf8(c.newest)},
                                                            {"Action", QString::fromLatin1(c.action)}}}}};
        if (*c.ex)
            reply.insert("StateEx", QString::fromLatin1(c.ex));
        a.body = QString::fromUtf8(QJsonDocument(reply).toJson());
        r = svc->read(a);
        QVERIFY2(r.status == c.status, qPrintable(QStringLiteral("%1/%2/%3 %4 gave %5")
                                                      .arg(c.state, c.ex, c.action, QString::fromUtf8(c.newest),
                                                           statusCode(r.status))));
    }
    // State as a number; traces out of time order are put newest first, the
    // newest one's Action with it; text kept exactly as sent.
    a.body = QStringLiteral(R"({"Success":true,"State":2,"Traces":[
        {"AcceptTime":"2026-12-03 10:00:00","AcceptStation":"放入\"东门\"快递柜 C:\\box","Action":"211"},
        {"AcceptTime":"2026-12-01 08:00:00","AcceptStation":"已揽收","Action":"1"},
        {"AcceptTime":"2026-12-02 08:00:00","AcceptStation":"运输中","Action":"2"}]})");
    r = svc->read(a);
    QCOMPARE(r.entries.at(0).context, QStringLiteral("放入\"东门\"快递柜 C:\\box"));
    QCOMPARE(r.entries.at(1).context, QStringLiteral("运输中"));
    QCOMPARE(r.entries.at(2).sequence, 3);
    QCOMPARE(r.status, Status::AtStation);
    // Failures told as what they are.
    a.body = QStringLiteral(R"({"Success":false,"Reason":"数据签名验证失败"})");
    QCOMPARE(svc->read(a).trouble, TrackingReading::WrongKey);
    QCOMPARE(svc->read(a).reply.message, QStringLiteral("查询服务账号或密钥错误"));
    a.body = QStringLiteral(R"({"Success":false,"Reason":"顺丰单号需要CustomerName"})");
    QCOMPARE(svc->read(a).trouble, TrackingReading::PhoneNeeded);
    // Both documented forms of "no trace yet" are no events, not failures
    // (the 8001 document's reply without traces; Reason null with Success false).
    a.body = QStringLiteral(R"({"Success":true,"State":"0","Reason":"暂无轨迹信息","Traces":[]})");
    QCOMPARE(svc->read(a).kind, TrackingReading::NoEvents);
    a.body = QStringLiteral(R"({"EBusinessID":"1237100","LogisticCode":"7001","ShipperCode":"ZTO","Success":false,"Reason":null,"State":"0"})");
    QCOMPARE(svc->read(a).kind, TrackingReading::NoEvents);
    // A trace that is no object of texts: unreadable, not an unknown number.
    a.body = QStringLiteral(R"({"Success":"true","State":2,"Traces":{"AcceptTime":1}})");
    QCOMPARE(svc->read(a).kind, TrackingReading::Unreadable);
    a.status = 429;
    a.retryAfter = "120";
    r = svc->read(a);
    QCOMPARE(r.trouble, TrackingReading::Quota);
    QCOMPARE(r.retryAt, a.at.addSecs(120));
    QCOMPARE(retryMoment("Wed, 09 Dec 2026 09:00:00 GMT", a.at.toUTC(), 60),
             QDateTime(QDate(2026, 12, 9), QTime(9, 0), Qt::UTC));
}

QTEST_GUILESS_MAIN(TestKdniao)
#include "test_kdniao.moc"
