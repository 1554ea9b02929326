// The add panel's query button against the stand-in services.
#include "support/BookRows.h"
#include "support/Harness.h"
#include "support/StandIn.h"

#include <QFile>
#include <QtTest>

class TestAddQuery : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void checksComeFirst();
    void newNumberIsSavedChosenAndQueried();
    void savedNumberNarrowsTheList();
    void unknownNumberSavedAnyway();
    void failureCodesAndUnknownCompany();
    void failingWriteEndsBusyState();
    void signedServiceAsksForThePhone();
    void pastedNumbersAddedTogether();
    void serviceFindsTheCarrier();

private:
    std::unique_ptr<StandIn> s;
    std::unique_ptr<Harness> h;
    bool start(const QByteArray &extraSql = {});
    void query(const QString &number, const QString &company, const QString &goods);
    bool idle();
    QStringList list();
};

void TestAddQuery::init()
{
    s = std::make_unique<StandIn>();
    QVERIFY2(s->isRunning(), qPrintable(s->errorString()));
    h = std::make_unique<Harness>();
}

void TestAddQuery::cleanup()
{
    h.reset();
    s.reset();
}

bool TestAddQuery::start(const QByteArray &extraSql)
{
    const QByteArray test = QTest::currentTestFunction();
    if (test == "signedServiceAsksForThePhone" || test == "pastedNumbersAddedTogether") {
        h->setIni("tracking/service", "kdniao");
        h->setIni("kdniao/url", s->url("/Ebusiness/EbusinessOrderHandle.aspx").toString());
        h->setIni("kdniao/business_id", "1237100");
        h->setIni("kdniao/api_key", "56da2cf8-c8a2-44b2-b6fa-476cd7d1ba17");
    }
    if (test == "serviceFindsTheCarrier") {
        h->setIni("tracking/service", "17track");
        h->setIni("17track/url", s->url("/track/v2.2/").toString());
        h->setIni("17track/token", "8A3F5C2E9D0B14E7A6C2F0D9B8E71A53");
    }
    h->setIni("tracking/host", s->host());
    h->setIni("recognition/host", s->host());
    if (!h->startSeeded(
            "insert into kd100 (number, goods, company) values ('100000000001', '爸爸衣服', '顺丰快递');\n"
            "insert into kd100 (number, goods, company) values ('100000000002', '茶叶', '申通快递');\n"
            "insert into kd100 (number, goods, company) values ('91000000000019', '含此单号', '申通快递');\n"
            "insert into kd100 (number, goods, company) values ('100000000004', '无此单号', 'EMS');\n" +
            extraSql))
        return false;
    h->w().Check8->setChecked(false);
    return true;
}

void TestAddQuery::query(const QString &number, const QString &company, const QString &goods)
{
    Form1 &w = h->w();
    QTest::mouseClick(w.Image2(3), Qt::LeftButton);
    w.Text3->setEditText(number);
    w.chooseCourier(w.Command1(12), company == QStringLiteral("请选择快递公司") ? QString() : company);
    w.Text2->setText(goods);
    w.Command1(13)->click();
}

bool TestAddQuery::idle()
{
    Form1 &w = h->w();
    return !w.AniGIF1->isVisible() && !w.Timer7->isActive() && w.Text1->isEnabled() &&
           w.ListView1->isEnabled() && w.Image2(3)->isEnabled();
}

QStringList TestAddQuery::list()
{
    QStringList out;
    for (int i = 0; i < h->w().Text1->count(); ++i)
        out << h->w().Text1->itemText(i);
    return out;
}

void TestAddQuery::checksComeFirst()
{
    QVERIFY(start());
    Form1 &w = h->w();
    // Every later entry is missing too, so only the order decides the message.
    query("", "请选择快递公司", "");
    QCOMPARE(w.status(), QString("请输入快递单号!"));
    QVERIFY(w.Text3->hasFocus());
    w.Text3->blockSignals(true); // the numeric filter would empty it
    w.Text3->setEditText("1234|5678");
    w.Text3->blockSignals(false);
    w.chooseCourier(w.Command1(12), QString());
    w.Text2->clear();
    w.Command1(13)->click();
    QCOMPARE(w.status(), QString("单号不正确,请您检查!"));
    query("100000000003", "请选择快递公司", "");
    QCOMPARE(w.status(), QString("请选择快递公司!"));
    QVERIFY(w.Command1(12)->hasFocus());
    query("100000000003", "顺丰快递", "");
    QCOMPARE(w.status(), QString("请输入快递物品信息,例如：爸爸衣服"));
    QVERIFY(w.kdmenu(0)->isVisible() && w.CurrentParcel.number.isEmpty());
    QCOMPARE(s->countRequests("/?"), 0);
}

void TestAddQuery::newNumberIsSavedChosenAndQueried()
{
    QVERIFY(start());
    Form1 &w = h->w();
    query("100000000003", "中通快递", "机械键盘");
    const auto saved = *w.store().findParcels(ParcelField::Number, Match::Exact, "100000000003");
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved[0].company + saved[0].goods + saved[0].num, QString("中通快递机械键盘0"));
    QCOMPARE(w.Text1->count(), 5);
    QCOMPARE(w.Text1->currentText(), QString("机械键盘"));
    QCOMPARE(w.CurrentParcel.id, QString::number(saved[0].id));
    // Queried once by the button and once more as the chosen parcel.
    QCOMPARE(s->countRequests("/?"), 2);
    QVERIFY(s->requests().last().contains("com=zhongtong&nu=100000000003"));
    QTRY_VERIFY(w.ListView1->topLevelItemCount() > 0 && idle());
    QVERIFY(h->platform.box.shown.isEmpty());
}

void TestAddQuery::savedNumberNarrowsTheList()
{
    QVERIFY(start());
    Form1 &w = h->w();
    query("100000000001", "顺丰快递", "新东西");
    QCOMPARE(h->platform.box.texts(), QStringList({"快递数据已存在!"}));
    QCOMPARE(list(), QStringList({"爸爸衣服", "含此单号", "******************", "刷新快递列表"}));
    QCOMPARE(w.Text1->currentIndex(), 0);
    QCOMPARE(w.CurrentParcel.goods, QString("爸爸衣服"));
    QCOMPARE(allParcels(w.store()).size(), 4);
    QTRY_VERIFY(w.ListView1->topLevelItemCount() > 0 && idle());

    // Reached through the save-anyway dialog: no sentinels. The narrowed
    // parcel's own query then asks whether to keep it (Yes).
    h->platform.box.setNextAnswer(MessageBox::AnswerYes);
    h->platform.box.setNextAnswer(MessageBox::AnswerYes);
    query("100000000004", "EMS", "别的");
    QCOMPARE(h->platform.box.texts().value(2), QString("快递数据已存在!"));
    QCOMPARE(list(), QStringList({"无此单号"}));
    QCOMPARE(w.CurrentParcel.goods, QString("无此单号"));
    QCOMPARE(allParcels(w.store()).size(), 4);
    QVERIFY(idle());
}

void TestAddQuery::unknownNumberSavedAnyway()
{
    QVERIFY(start());
    Form1 &w = h->w();
    query("100000000005", "EMS", "明信片"); // answered No
    QCOMPARE(h->platform.box.texts(), QStringList({"您好,您当前输入的单号不存在有效信息,是否先进行保存?"}));
    QCOMPARE(allParcels(w.store()).size(), 4);
    QVERIFY(idle());

    h->platform.box.setNextAnswer(MessageBox::AnswerYes);
    query("100000000005", "EMS", "明信片");
    QCOMPARE(h->platform.box.texts().last(), QString("快递添加成功！"));
    QCOMPARE(w.store().findParcels(ParcelField::Number, Match::Exact, "100000000005")->value(0).num,
             QString("0"));
    QCOMPARE(list().last(), QString("明信片"));
    QCOMPARE(w.Text1->currentIndex(), -1); // nothing chosen or shown
    QCOMPARE(w.ListView1->topLevelItemCount(), 0);
    QVERIFY(idle() && !w.kdmenu(0)->isVisible());
}

void TestAddQuery::failureCodesAndUnknownCompany()
{
    QVERIFY(start());
    Form1 &w = h->w();
    query("900000000022", "顺丰快递", "书");
    QCOMPARE(w.status(), QString("非常抱歉!API今日查询次数已尽,请您明日再使用!"));
    QVERIFY(idle());
    // A caption that names no company (a recognition message) is refused
    // like the unchosen one: nothing is asked, nothing saved.
    const int asked = s->requests().size();
    query("900000000010", "未找到对应快递,请手动选择", "书");
    QCOMPARE(s->requests().size(), asked);
    QCOMPARE(w.status(), QString("请选择快递公司!"));
    QCOMPARE(w.focusWidget(), w.Command1(12));
    QCOMPARE(allParcels(w.store()).size(), 4);
}

void TestAddQuery::failingWriteEndsBusyState()
{
    // Every insert fails, as on a database file that cannot be written.
    QVERIFY(
        start("create trigger refuse before insert on kd100 begin select raise(abort, 'readonly'); end;\n"));
    Form1 &w = h->w();
    const QStringList before = list();
    query("100000000003", "中通快递", "机械键盘");
    QCOMPARE(w.status(), QString("快递保存失败,请检查数据库是否可写.."));
    QVERIFY(idle());
    QCOMPARE(list(), before);

    h->platform.box.setNextAnswer(MessageBox::AnswerYes);
    query("100000000005", "EMS", "明信片");
    QCOMPARE(w.status(), QString("快递保存失败,请检查数据库是否可写.."));
    QVERIFY(idle());
    QCOMPARE(allParcels(w.store()).size(), 4);
}

// With the signed service as a new user meets it: 顺丰 asks for the phone
// digits before any request; with them the parcel is saved, its events
// shown, and the digits kept and offered by the edit panel.
void TestAddQuery::signedServiceAsksForThePhone()
{
    QVERIFY(start());
    Form1 &w = h->w();
    const QString path = "/Ebusiness/EbusinessOrderHandle.aspx";
    query("100000000003", "顺丰快递", "机械键盘");
    QCOMPARE(w.status(), QString("需要寄件人或收件人手机号后四位"));
    QVERIFY(w.kdmenu(0)->isVisible() &&
            control<QLineEdit>(w, QStringLiteral("addPhoneDigitsBox"))->hasFocus());
    QCOMPARE(s->countRequests(path), 0);
    control<QLineEdit>(w, QStringLiteral("addPhoneDigitsBox"))->setText("12a4");
    w.Command1(13)->click();
    QCOMPARE(w.status(), QString("手机尾号应为四位数字"));
    control<QLineEdit>(w, QStringLiteral("addPhoneDigitsBox"))->setText("1234");
    w.Command1(13)->click();
    const auto saved = *w.store().findParcels(ParcelField::Number, Match::Exact, "100000000003");
    QCOMPARE(saved.size(), 1);
    QCOMPARE(w.store().phoneOf(saved[0].id), QString("1234"));
    // Asked by the button and again as the chosen parcel, both signed and with the digits.
    QCOMPARE(s->countRequests(path), 2);
    QVERIFY(s->requests().last().contains("CustomerName%22%3A%221234"));
    QTRY_VERIFY(w.ListView1->topLevelItemCount() == 5 && idle());
    QCOMPARE(w.ListView1->topLevelItem(0)->text(1), QString("2026-12-03 04:10:26"));
    QCOMPARE(w.Label12(2)->text(), QString("运送中"));
    w.menuCommand(Qt::Key_F5);
    QCOMPARE(control<QLineEdit>(w, QStringLiteral("editPhoneDigitsBox"))->text(), QString("1234"));

    // The service's own state: waiting at a station, kept for the list.
    query("700000000001", "中通快递", "书");
    QTRY_VERIFY(w.ListView1->topLevelItemCount() == 3 && idle());
    QCOMPARE(w.Label12(2)->text(), QString("待取件"));
    const auto station = *w.store().findParcels(ParcelField::Number, Match::Exact, "700000000001");
    QCOMPARE(w.store().progressOf(station[0].id)->status, Status::AtStation);

    // Wrong digits: the form stays filled, the cursor in the phone box, and
    // the shown parcel keeps its events under its header.
    query("700000000003", "顺丰快递", "鞋");
    control<QLineEdit>(w, QStringLiteral("addPhoneDigitsBox"))->setText("1111");
    w.Command1(13)->click();
    QCOMPARE(w.status(), QString("手机尾号与快递单不符,请检查"));
    QVERIFY(w.kdmenu(0)->isVisible() &&
            control<QLineEdit>(w, QStringLiteral("addPhoneDigitsBox"))->hasFocus() && idle());
    QCOMPARE(w.Text3->currentText() + w.Text2->text() + w.Command1(12)->text() +
                 control<QLineEdit>(w, QStringLiteral("addPhoneDigitsBox"))->text(),
             QString("700000000003鞋顺丰快递1111"));
    QCOMPARE(w.ListView1->topLevelItemCount(), 3);
    QCOMPARE(w.CurrentParcel.number, QString("700000000001"));
    QVERIFY(w.store().findParcels(ParcelField::Number, Match::Exact, "700000000003")->isEmpty());
    control<QLineEdit>(w, QStringLiteral("addPhoneDigitsBox"))->setText("5678");
    w.Command1(13)->click();
    QCOMPARE(w.store().findParcels(ParcelField::Number, Match::Exact, "700000000003")->size(), 1);
    QVERIFY(h->platform.box.shown.isEmpty());
}

// Several new numbers pasted into the number box: listed with their
// recognised couriers, added together on Yes without a tracking query.
void TestAddQuery::pastedNumbersAddedTogether()
{
    QVERIFY(start());
    Form1 &w = h->w();
    auto &box = h->platform.box;
    QTest::mouseClick(w.Image2(3), Qt::LeftButton);
    const QString page = "订单详情\n茶叶礼盒 运单号:370000000012\n书包 750000000003\n衣服 SF1234567890123\n"
                         "茶叶 100000000002\n杂物 4040000000001\n客服 13812345678";
    w.Text3->setEditText(page); // answered No
    QCOMPARE(box.shown.size(), 1);
    QCOMPARE(box.shown[0].buttons, MessageBox::YesNo);
    QCOMPARE(box.texts()[0], QString("粘贴的文字中有4个新单号, 是否全部添加?\n\n"
                                     "370000000012  申通快递  茶叶礼盒\n750000000003  中通快递  书包\n"
                                     "SF1234567890123  顺丰快递  衣服\n"
                                     "4040000000001  检测出错,请查询您的单号是否正确  杂物\n\n"
                                     "已保存, 不再添加: 100000000002"));
    QCOMPARE(allParcels(w.store()).size(), 4);
    QVERIFY(w.Text3->currentText().isEmpty());
    QCOMPARE(w.status(), QString("粘贴的单号没有添加.."));

    box.setNextAnswer(MessageBox::AnswerYes);
    w.Text3->setEditText(page);
    QCOMPARE(box.shown.size(), 3);
    QCOMPARE(box.texts()[2], QString("已添加2个快递..\n\n未添加:\n"
                                     "SF1234567890123: 需要寄件人或收件人手机号后四位\n"
                                     "4040000000001: 检测出错,请查询您的单号是否正确"));
    for (const auto &[number, company, goods] : {std::tuple{"370000000012", "申通快递", "茶叶礼盒"},
                                                 std::tuple{"750000000003", "中通快递", "书包"}}) {
        const auto saved = *w.store().findParcels(ParcelField::Number, Match::Exact, number);
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved[0].company + saved[0].goods, QString(company) + goods);
    }
    QCOMPARE(allParcels(w.store()).size(), 6);
    QVERIFY(list().contains("茶叶礼盒") && list().contains("书包"));
    QVERIFY(!w.kdmenu(0)->isVisible() && idle());
    // The service was asked only to recognise the number the recognition
    // service could not place (once a paste), never to track one.
    const QStringList asked = s->requests().filter("/Ebusiness/EbusinessOrderHandle.aspx");
    QCOMPARE(asked.size(), 2);
    for (const QString &line : asked)
        QVERIFY2(line.contains("RequestType=2002") && line.contains("4040000000001"), qPrintable(line));
}

// With 17track chosen the panel goes without a courier, and the parcel is
// saved with the carrier the service names (its key 190324: 申通).
void TestAddQuery::serviceFindsTheCarrier()
{
    QVERIFY(start());
    Form1 &w = h->w();
    query("773061155005903", "请选择快递公司", "书");
    QVERIFY(w.status() != QString("请选择快递公司!"));
    const auto saved = *w.store().findParcels(ParcelField::Number, Match::Exact, "773061155005903");
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved[0].company, QString("申通快递"));
    QTRY_VERIFY(idle());
}

QTEST_MAIN(TestAddQuery)
#include "test_addquery.moc"
