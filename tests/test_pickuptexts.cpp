// The texts a user meets around picking up, read without a window: the
// station and its phone in an event, a pickup message, and tracking numbers
// in pasted text.
#include "book/Stage.h"
#include "tracking/Intake.h"

#include <QTest>

class TestPickupTexts : public QObject {
    Q_OBJECT
private slots:
    void stationAndPhone();
    void pickupMessages();
    void numbersInPastedText();
};

void TestPickupTexts::stationAndPhone()
{
    auto check = [](const char *context, const char *station, const char *phone) {
        const PickupStation at = pickupStationOf(QString::fromUtf8(context));
        QCOMPARE(at.station, QString::fromUtf8(station));
        QCOMPARE(at.phone, QString::fromUtf8(phone));
    };
    check("快件已由长沙层上观邸1栋113号店菜鸟驿站代收,请及时取件,如有疑问请联系17369217750",
          "长沙层上观邸1栋113号店菜鸟驿站", "17369217750");
    check("您的快件已放入丰巢智能柜【翠苑小区3号柜】,请凭取件码取件", "丰巢智能柜【翠苑小区3号柜】", "");
    check("快件已到达【西溪花园兔喜快递超市】,请及时取件。派件员13900001111,驿站电话0571-88886666",
          "西溪花园兔喜快递超市", "0571-88886666");
    check("[北京市]快件交给王师傅,正在派件中", "", "");
}

void TestPickupTexts::pickupMessages()
{
    auto read = [](const char *text) { return readPickupMessage(QString::fromUtf8(text)); };
    const QList<PickupCandidate> book{{1, "78912345600059", "书包", Status::AtStation},
                                      {2, "YT2345678994650", "茶叶", Status::InTransit},
                                      {3, "433000000000059", "衣服", Status::AtStation},
                                      {4, "SF1234567890123", "键盘", Status::AtStation}};
    auto ids = [&](const PickupMessage &m) {
        QList<qint64> out;
        for (const PickupCandidate &p : parcelsForMessage(m, book))
            out << p.id;
        return out;
    };
    PickupMessage m = read("【菜鸟驿站】您的中通包裹已到层上观邸1栋113号店,请凭取件码 8-3-1024 取件,尾号0059");
    QCOMPARE(m.code, QStringLiteral("8-3-1024"));
    QCOMPARE(m.tails, QStringList{"0059"});
    QCOMPARE(ids(m), (QList<qint64>{1, 3})); // two parcels end so: the user chooses
    m = read("【兔喜生活】取货码Y-894,您的圆通快递*94650已到西溪花园店");
    QCOMPARE(m.code, QStringLiteral("Y-894"));
    QCOMPARE(ids(m), QList<qint64>{2});
    m = read("【丰巢】凭取件码24-4-3882至翠苑小区3号柜取顺丰SF1234567890123");
    QCOMPARE(m.code, QStringLiteral("24-4-3882"));
    QCOMPARE(ids(m), QList<qint64>{4});
    QCOMPARE(read("【妈妈驿站】请用Q7-32到人工货架取包裹").code, QStringLiteral("Q7-32"));
    QCOMPARE(read("取件码:A12-3456,尾号6666").code, QStringLiteral("A12-3456"));
    QCOMPARE(ids(read("取件码:A12-3456,尾号6666")), QList<qint64>{}); // names no saved parcel
    // No code at all, and a code that names no parcel: only the waiting ones.
    QVERIFY(read("您的快递已发货,请留意物流信息,客服电话95311").code.isEmpty());
    QCOMPARE(ids(read("请凭7-2-5011取件")), (QList<qint64>{1, 3, 4}));
}

void TestPickupTexts::numbersInPastedText()
{
    const QList<PastedNumber> found = pastedNumbers(QStringLiteral(
        "订单详情\n蓝牙耳机 运单号: SF1234567890123\n联系电话 13812345678\n"
        "【中通快递】您的包裹 78912345600059 已发出\n再说一次 sf1234567890123\n订单号2024"));
    QCOMPARE(found.size(), 2); // the phone and the repeat are no parcels
    QCOMPARE(found.at(0).number, QStringLiteral("SF1234567890123"));
    QCOMPARE(found.at(0).goods, QStringLiteral("蓝牙耳机"));
    QCOMPARE(found.at(1).number, QStringLiteral("78912345600059"));
    QCOMPARE(found.at(1).goods, QStringLiteral("中通 您的包裹 已发出"));
    QCOMPARE(pastedNumbers(QStringLiteral("100000000003")).value(0).goods, QStringLiteral("0003"));
}

QTEST_GUILESS_MAIN(TestPickupTexts)
#include "test_pickuptexts.moc"
