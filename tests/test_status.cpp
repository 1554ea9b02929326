// The status rules: a parcel's status and stage decided from its newest
// events' words and from the service's own code, and kept as codes.
#include "tracking/Progress.h"
#include "tracking/Status.h"

#include <QTest>

class TestStatus : public QObject {
    Q_OBJECT
private slots:
    void stateFromTheNewestTwoContexts();
    void stageOfRealEvents_data();
    void stageOfRealEvents();
};

void TestStatus::stateFromTheNewestTwoContexts()
{
    // Signed outranks out for delivery, whichever of the two contexts says it:
    // the delivery round usually comes just before the signature.
    QCOMPARE(writtenStatus(QStringLiteral("已签收,签收人:本人"), QStringLiteral("快递员正在派件")), Status::Signed);
    QCOMPARE(writtenStatus(QStringLiteral("快递员正在派件"), QStringLiteral("快件已妥投")), Status::Signed);
    QCOMPARE(writtenStatus(QStringLiteral("到达网点"), QStringLiteral("快递员正在派件")), Status::OutForDelivery);
    // Kept as codes; the words an older book kept are read as their status.
    for (Status st : {Status::NoEvents, Status::LabelMade, Status::Collected, Status::InTransit,
                      Status::OutForDelivery, Status::AtStation, Status::Signed, Status::Problem, Status::PickedUp,
                      Status::Archived})
        QCOMPARE(statusFromCode(statusCode(st)), st);
    QCOMPARE(statusFromCode(QStringLiteral("问题件")), Status::Problem);
    QCOMPARE(statusFromCode(QStringLiteral("派件中")), Status::OutForDelivery);
}

void TestStatus::stageOfRealEvents_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<int>("coded");
    QTest::addColumn<QString>("stage");
    const int none = -1;
    auto row = [](const char *name, const char *context, int coded, const char *stage) {
        QTest::newRow(name) << QString::fromUtf8(context) << coded << QString::fromUtf8(stage);
    };
    row("station", "快件已由长沙层上观邸1栋113号店菜鸟驿站代收,请及时取件,如有疑问请联系17369217750", none,
        "待取件");
    row("taken by code", "已签收,签收人凭取货码签收。", none, "已签收");
    row("locker", "您的快件已放入丰巢智能柜【翠苑小区3号柜】,请凭取件码取件", none, "待取件");
    row("signed by a station", "快件已签收,签收人:驿站代收", none, "待取件");
    row("taken out of a locker", "您的快件已从丰巢智能柜取出,感谢使用中通快递", none, "已签收");
    row("to be taken out", "快件已存放至丰巢智能柜,请及时取出", none, "待取件");
    row("refused", "收件人拒收,快件将退回", none, "异常");
    row("returned", "[杭州市]快件已退回寄件人", none, "异常");
    row("stuck", "快件在【北京顺义集散中心】滞留,原因:天气", none, "异常");
    row("difficult", "疑难件:地址不详,无法派送", none, "异常");
    row("advice is no trouble", "已签收,如有异常请联系派件员", none, "已签收");
    row("out", "[北京市]快件交给王师傅,正在派件中(联系电话:139****2087)", none, "派件中");
    row("transit", "[北京市]快件到达 【北京顺义集散中心】", none, "运送中");
    // A specific code of the service decides over the words.
    row("service station", "[北京市]快件到达 【北京顺义集散中心】", int(Status::AtStation), "待取件");
    row("service problem", "快件已签收", int(Status::Problem), "异常");
    row("service signed", "快件已由菜鸟驿站代收", int(Status::Signed), "已签收");
    // A coarse one yields to finer words.
    row("coarse, words station", "快件已由菜鸟驿站代收", int(Status::InTransit), "待取件");
    row("coarse, words out", "[北京市]快件交给王师傅,正在派件中", int(Status::Collected), "派件中");
    row("coarse, plain words", "[北京市]快件到达 【北京顺义集散中心】", int(Status::InTransit), "运送中");
}

void TestStatus::stageOfRealEvents()
{
    QFETCH(QString, context);
    QFETCH(int, coded);
    QFETCH(QString, stage);
    const CodedStatus code = coded < 0 ? CodedStatus{} : CodedStatus{Status(coded), !isCoarse(Status(coded))};
    QCOMPARE(stageWords(decideStatus(code, {ProgressEntry{1, QStringLiteral("2026-12-01 08:00:00"), context}})),
             stage);
}

QTEST_GUILESS_MAIN(TestStatus)
#include "test_status.moc"
