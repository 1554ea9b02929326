// 17track's token API and the client's rules for it, without a window.
#include "app/Config.h"
#include "tracking/Client.h"
#include "tracking/Service.h"

#include <QTest>

class Test17track : public QObject {
    Q_OBJECT
private slots:
    void tokenApiReading();
    void clientPreludeAndHolds();
};

void Test17track::tokenApiReading()
{
    Config cfg;
    cfg.service = "17track";
    cfg.serviceSettings.insert("17track/token", "T");
    const auto svc = TrackingService::make(cfg);
    const ServiceRequest req = svc->request({"zhongtong", "7001", QString()});
    QVERIFY(req.url.toString().endsWith("/gettrackinfo"));
    QVERIFY(req.headers.contains(QPair<QByteArray, QByteArray>("17token", "T")));
    QVERIFY(svc->prelude({"zhongtong", "7001", QString()}).url.toString().endsWith("/register"));
    ServiceAnswer a;
    a.answered = true;
    a.status = 200;
    a.body = QStringLiteral(R"({"code":0,"data":{"accepted":[{"number":"7001","track_info":{
        "latest_status":{"status":"OutForDelivery"},"tracking":{"providers":[{"events":[
        {"time_iso":"2026-12-04T09:12:40-05:00","description":"Out for delivery","location":"NY"},
        {"time_iso":"2026-12-03T18:05:11+08:00","description":"已揽收","location":""}]}]}}}],"rejected":[]}})");
    TrackingReading r = svc->read(a);
    QCOMPARE(r.kind, TrackingReading::Events);
    // The event's own local time, whatever its offset.
    QCOMPARE(r.entries.at(0).time, QStringLiteral("2026-12-04 09:12:40"));
    QCOMPARE(r.entries.at(0).context, QStringLiteral("[NY]Out for delivery"));
    QCOMPARE(r.status, Status::OutForDelivery);
    // Main status and sub-status (the service's article "Understanding
    // Tracking Status"): a coarse one yields to finer words.
    const struct {
        const char *status, *sub, *newest;
        Status expected;
    } codes[] = {
        {"InfoReceived", "InfoReceived", "Shipment information received", Status::LabelMade},
        {"InTransit", "InTransit_PickedUp", "已揽收", Status::Collected},
        {"InTransit", "InTransit_Other", "[深圳市]快件交给李师傅,正在派件途中", Status::OutForDelivery},
        {"InTransit", "InTransit_Arrival", "您的快件已放入丰巢智能柜【翠苑小区3号柜】,请凭取件码取件", Status::AtStation},
        {"AvailableForPickup", "AvailableForPickup_Other", "到达网点", Status::AtStation},
        {"Delivered", "Delivered_Other", "快件已由菜鸟驿站代收", Status::Signed},
        {"Exception", "Exception_Returning", "运输中", Status::Problem},
        {"DeliveryFailure", "DeliveryFailure_NoBody", "运输中", Status::Problem},
        {"Expired", "Expired_Other", "运输中", Status::Problem},
    };
    for (const auto &c : codes) {
        a.body = QStringLiteral(R"({"code":0,"data":{"accepted":[{"number":"7001","track_info":{
            "latest_status":{"status":"%1","sub_status":"%2"},"tracking":{"providers":[{"events":[
            {"time_iso":"2026-12-04T09:12:40+08:00","description":"%3","location":""}]}]}}}],"rejected":[]}})")
                     .arg(QLatin1String(c.status), QLatin1String(c.sub), QString::fromUtf8(c.newest));
        QVERIFY2(svc->read(a).status == c.expected, c.sub);
    }
    a.body = QStringLiteral(R"({"code":0,"data":{"accepted":[],"rejected":[{"number":"7001","error":{"code":-18019902,"message":"does not register"}}]}})");
    QVERIFY(svc->read(a).needsPrelude);
    a.status = 401;
    QCOMPARE(svc->read(a).trouble, TrackingReading::WrongKey);

    // A round's list: each number read from its own item, whatever the
    // order of the answer; a number the answer leaves out is unreadable.
    // Each with its carrier key; phone digits only for the carrier that needs them.
    const QList<ServiceAsk> asks{{"zhongtong", "7001", "9999"}, {"shunfeng", "7002", "1234"}, {"ems", "7003", {}}};
    const QByteArray listed = svc->batchRequest(asks, true).body;
    QVERIFY2(listed.contains(R"({"carrier":190455,"number":"7001"})") &&
                 listed.contains(R"({"carrier":100012,"number":"7002","param":"1234"})") &&
                 listed.contains(R"({"carrier":3013,"number":"7003"})"),
             listed.constData());
    a.status = 200;
    a.body = QStringLiteral(R"({"code":0,"data":{"accepted":[{"number":"7002","track_info":{
        "latest_status":{"status":"InTransit"},"tracking":{"providers":[{"events":[
        {"time_iso":"2026-12-03T18:05:11+08:00","description":"已揽收","location":""}]}]}}}],
        "rejected":[{"number":"7001","error":{"code":-18019902,"message":"does not register"}}]}})");
    QList<TrackingReading> each = svc->readBatch(a, asks);
    QCOMPARE(each.size(), 3);
    QVERIFY(each.at(0).needsPrelude);
    QCOMPARE(each.at(1).kind, TrackingReading::Events);
    QCOMPARE(each.at(1).entries.at(0).context, QStringLiteral("已揽收"));
    QCOMPARE(each.at(2).kind, TrackingReading::Unreadable);
    // Too often: every number of the list waits, the account with them.
    a.status = 429;
    each = svc->readBatch(a, asks);
    QCOMPARE(each.at(2).trouble, TrackingReading::Quota);
    QVERIFY(each.at(0).accountWide);
}

// The client's rules without a window: answers handed back at once, in the
// forms of 17track's v2.2 documents (the register and gettrackinfo replies
// of its API document, version 2.2, and its error code list).
void Test17track::clientPreludeAndHolds()
{
    Config cfg;
    cfg.service = "17track";
    cfg.serviceSettings.insert("17track/token", "t");
    QHash<QString, QString> kept;
    QStringList sent;
    QStringList replies;
    QDateTime now = QDateTime::currentDateTime();
    ClientWaiting waiting{[&](const ServiceRequest &r, std::function<void(const ServiceAnswer &)> then) {
                              sent << r.url.path().section('/', -1) + ' ' + QString::fromUtf8(r.body);
                              ServiceAnswer a;
                              a.answered = true;
                              a.status = 200;
                              a.at = now;
                              a.body = replies.isEmpty() ? QString() : replies.takeFirst();
                              then(a);
                          },
                          [](int, std::function<void()> then) { then(); }, [&] { return now; }};
    TrackingClient client(TrackingService::make(cfg), waiting,
                          ClientMemory{[&](const QString &k) { return kept.value(k); },
                                       [&](const QString &k, const QString &v) { kept.insert(k, v); }, {}});
    TrackingReading got;
    auto ask = [&](const ServiceAsk &a) {
        client.ask({a}, [&](const QList<TrackingReading> &r) { got = r.value(0); });
        return got;
    };
    const QString notFound = R"({"code":0,"data":{"accepted":[{"number":"%1","carrier":190455,"track_info":{"latest_status":{"status":"NotFound"},"tracking":{"providers":[]}}}],"rejected":[]}})";

    // Registered, then NotFound twice (at once and after the short wait):
    // waiting for the service's first answer, not an unknown number.
    replies = {R"({"code":0,"data":{"accepted":[{"origin":1,"number":"7001","carrier":190455}],"rejected":[]}})",
               notFound.arg("7001"), notFound.arg("7001")};
    TrackingReading r = ask({"zhongtong", "7001", {}});
    QCOMPARE(r.trouble, TrackingReading::Awaiting);
    QVERIFY(r.reply.kind != ReplyReading::UnknownNumber);
    QCOMPARE(sent.size(), 3);
    QVERIFY2(sent.first().startsWith("register") && sent.first().contains("190455"), qPrintable(sent.first()));

    // An answer naming another number is refused, not read.
    sent.clear();
    replies = {notFound.arg("7999")};
    r = ask({"zhongtong", "7001", {}});
    QCOMPARE(r.kind, TrackingReading::Failure);
    QCOMPARE(r.reply.message, ServiceText::ForeignNumber());
    QCOMPARE(sent.size(), 1); // already registered: read only

    // A registration refused for its format is told so and not asked again.
    sent.clear();
    replies = {R"({"code":0,"data":{"accepted":[],"rejected":[{"number":"7002","error":{"code":-18010012,"message":"The format of '7002' is invalid."}}]}})"};
    QCOMPARE(ask({"zhongtong", "7002", {}}).lasting, TrackingReading::UntilEdited);
    QCOMPARE(ask({"zhongtong", "7002", {}}).trouble, TrackingReading::Refused);
    QCOMPARE(sent.size(), 1);

    // The monthly quota: the whole account waits, no request until then.
    sent.clear();
    replies = {R"({"code":0,"data":{"accepted":[],"rejected":[{"number":"7003","error":{"code":-18019908,"message":"Quota not enough."}}]}})"};
    r = ask({"zhongtong", "7003", {}});
    QCOMPARE(r.trouble, TrackingReading::Quota);
    QVERIFY(r.retryAt <= now.addSecs(7 * 86400));
    QCOMPARE(ask({"zhongtong", "7004", {}}).trouble, TrackingReading::Quota);
    QCOMPARE(sent.size(), 1);
    // The quota is one of registrations: a registered number is still read,
    // and the refusal holds no other number.
    QVERIFY(!r.accountWide);
    replies = {notFound.arg("7001")};
    QCOMPARE(ask({"zhongtong", "7001", {}}).trouble, TrackingReading::Awaiting);
    QCOMPARE(sent.size(), 2);

    // A clock set back after registering: still waiting for the first
    // answer, not an unknown number.
    now = now.addSecs(-3600);
    replies = {notFound.arg("7001")};
    QCOMPARE(ask({"zhongtong", "7001", {}}).trouble, TrackingReading::Awaiting);
    now = now.addSecs(3600);

    // An answer read lifts a hold the account was given.
    kept.insert(AccountHeldSetting, QString::number(now.addDays(3).toMSecsSinceEpoch()));
    replies = {R"({"code":0,"data":{"accepted":[{"number":"7001","carrier":190455,"track_info":{"latest_status":{"status":"InTransit"},"tracking":{"providers":[{"events":[{"time_iso":"2026-12-03T04:10:26+08:00","description":"运输中"}]}]}}}],"rejected":[]}})"};
    QCOMPARE(ask({"zhongtong", "7001", {}}).kind, TrackingReading::Events);
    QVERIFY(kept.value(AccountHeldSetting).toLongLong() <= now.toMSecsSinceEpoch());

    // Holds judged against the clock: an HTTP date in 9999 holds a week at
    // most; a stored answer time in the future rests nothing.
    const QDateTime at = QDateTime(QDate(2026, 12, 9), QTime(9, 0), Qt::UTC);
    QCOMPARE(retryMoment("Fri, 31 Dec 9999 23:59:59 GMT", at, 60), at.addSecs(7 * 86400));
    QCOMPARE(sanedAnswerMs(at.addSecs(3600).toMSecsSinceEpoch(), at.toMSecsSinceEpoch()), 0);
    QCOMPARE(sanedHoldMs(at.addYears(10).toMSecsSinceEpoch(), at.toMSecsSinceEpoch()), 0);
}

QTEST_GUILESS_MAIN(Test17track)
#include "test_17track.moc"
