// The saved-parcel list: fill, selection, sentinel entries, Command5.
#include "book/ParcelListModel.h"
#include "app/Features.h"
#include "book/PickupLine.h"
#include "support/Harness.h"
#include "support/StandIn.h"

#include <QClipboard>
#include <QGuiApplication>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTest>

namespace {
bool unlocked(Form1 &w)
{
    bool on = w.Text1->isEnabled() && w.ListView1->isEnabled();
    for (const auto &[i, icon] : w.Image2)
        on = on && icon->isEnabled();
    return on;
}
} // namespace

class TestParcelList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { h.reset(); }
    void fillAndChoose();
    void sentinelsRefreshTheList();
    void shownCountResetsByPosition();
    void command5ClearsTheStoredCount();
    void stationParcelFromMarkToArchive();
    void messageForSeveralParcelsAsksWhich();

private:
    int requests() { return standIn->countRequests(QStringLiteral("/?")); }
    void waitForDisplay()
    {
        QTRY_VERIFY(!h->w().Timer1->isActive() && h->w().ListView1->topLevelItemCount() > 0);
    }
    QTemporaryDir fixtures;
    std::unique_ptr<StandIn> standIn;
    std::unique_ptr<Harness> h;
};

void TestParcelList::initTestCase()
{
    const QString dir = fixtures.path() + QStringLiteral("/tracking/");
    QVERIFY(QDir().mkpath(dir));
    const auto write = [&dir](const QString &name, const QByteArray &content) {
        QFile f(dir + name);
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    };
    for (int i = 1; i <= 4; ++i)
        QVERIFY(write(QStringLiteral("73000000000%1.json").arg(i),
                      "{\"errCode\":\"0\",\"data\":[{\"time\":\"2024-03-03 10:00:00\",\"context\":\"到达\"},"
                      "{\"time\":\"2024-03-02 09:00:00\",\"context\":\"已发出\"},"
                      "{\"time\":\"2024-03-01 08:00:00\",\"context\":\"已收件\"}]}"));
    QVERIFY(write(QStringLiteral("730000000005.json"),
                  "{\"errCode\":\"0\",\"data\":[{\"time\":\"2024-03-03 10:00:00\",\"context\":\"快件已由"
                  "长沙层上观邸1栋113号店菜鸟驿站代收,请及时取件,如有疑问请联系17369217750\"},"
                  "{\"time\":\"2024-03-01 08:00:00\",\"context\":\"已收件\"}]}"));
    QVERIFY(QDir().mkpath(fixtures.path() + QStringLiteral("/version")));
    QFile version(fixtures.path() + QStringLiteral("/version/gx.txt"));
    QVERIFY(version.open(QIODevice::WriteOnly) && version.write("V5.4") == 4);
    version.close();
    // Slower than a display tick, so a pending display meets the next query.
    QVERIFY(write(QStringLiteral("730000000001.delay"), "300"));
    standIn = std::make_unique<StandIn>(fixtures.path());
    QVERIFY(standIn->isRunning());
}

void TestParcelList::init()
{
    h = std::make_unique<Harness>();
    h->allPanels = true; // reaches into panels it has not opened
    h->setIni(QStringLiteral("tracking/host"), standIn->host());
    h->setIni(QStringLiteral("maker/host"), standIn->host()); // current version: no message
    QVERIFY(h->startSeeded(
        "insert into kd100 (id, number, goods, company, num) values"
        " (1, '730000000001', '书', '中通快递', '5'), (2, '730000000002', '衣服', '申通快递', '0'),"
        " (3, '730000000003', '书', '顺丰快递', '0'), (4, '730000000004', 'Tom''s 书', 'O''Neil快递', "
        "'0');\n"));
    // Queries here outlast the second after load: let its unlock pass first.
    QVERIFY(h->passUpdateCheck());
}

void TestParcelList::fillAndChoose()
{
    Form1 &w = h->w();
    QCOMPARE(entries(w.Text1), (QStringList{QStringLiteral("书"), QStringLiteral("衣服"),
                                            QStringLiteral("书"), QStringLiteral("Tom's 书")}));
    QCOMPARE(w.Text1->currentIndex(), -1);

    w.Label12(3)->setText(QStringLiteral("有更新"));
    w.setListIndex(1);
    // Checked right after the query, before the display tick.
    const CurrentParcelState &p = w.CurrentParcel;
    QCOMPARE((QStringList{p.company, p.number, p.goods, p.num, p.id, p.code}),
             (QStringList{QStringLiteral("申通快递"), QStringLiteral("730000000002"), QStringLiteral("衣服"),
                          QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("shentong")}));
    QCOMPARE(w.chosenIndex, QStringLiteral("1"));
    for (int i : {2, 3, 5, 7})
        QCOMPARE(w.Label12(i)->text(), QStringLiteral("未查询"));
    QCOMPARE(w.Label12(3)->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(!w.Text1->isEnabled());
    QVERIFY(standIn->requests().last().contains(QStringLiteral("&com=shentong&nu=730000000002&")));
    waitForDisplay();
    QVERIFY(unlocked(w));

    // Equal goods: each entry loads its own row.
    w.setListIndex(2);
    QCOMPARE(p.id, QStringLiteral("3"));
    waitForDisplay();
    // Quotes are plain text; an unknown company keeps the previous code.
    w.setListIndex(3);
    QCOMPARE((QStringList{p.id, p.goods, p.company, p.code}),
             (QStringList{QStringLiteral("4"), QStringLiteral("Tom's 书"), QStringLiteral("O'Neil快递"),
                          QStringLiteral("shunfeng")}));
    waitForDisplay();

    // An empty table gives an empty list: no stale entry stays selectable.
    QVERIFY(w.store().deleteAllParcelsOnOwnConnection());
    w.sX();
    QCOMPARE(w.Text1->count(), 0);
}

void TestParcelList::sentinelsRefreshTheList()
{
    Form1 &w = h->w();
    const QStringList all = entries(w.Text1);
    const QStringList narrowed{QStringLiteral("衣服"), QStringLiteral("******************"),
                               QStringLiteral("刷新快递列表")};
    for (int pick : {1, 2}) {
        w.Text1->clear();
        w.Text1->addItems(narrowed);
        new QTreeWidgetItem(w.ListView1, QStringList{QStringLiteral("1")});
        const int before = requests();
        w.setListIndex(pick);
        QCOMPARE(entries(w.Text1), all);
        QCOMPARE(w.ListView1->topLevelItemCount(), 0);
        QCOMPARE(w.status(), QStringLiteral("快递列表已刷新.."));
        QCOMPARE(requests(), before);
        QVERIFY(unlocked(w)); // no query follows, so the refresh unlocks
    }
    // Check7 on: the first entry is queried at once.
    w.Check7->setChecked(true);
    w.Text1->clear();
    w.Text1->addItems(narrowed);
    w.setListIndex(1);
    QVERIFY(standIn->requests().last().contains(QStringLiteral("&nu=730000000001&")));
    QCOMPARE(w.Text1->currentIndex(), 0);
    QCOMPARE(w.status(), QStringLiteral("快递列表已刷新.."));
    waitForDisplay();
    // Nothing saved: nothing to query, the window is unlocked.
    QVERIFY(w.store().deleteAllParcelsOnOwnConnection());
    w.Text1->addItem(narrowed[2]);
    w.setListIndex(w.Text1->count() - 1);
    QCOMPARE(w.Text1->count(), 0);
    QVERIFY(unlocked(w));
}

void TestParcelList::shownCountResetsByPosition()
{
    Form1 &w = h->w();
    // Each step: position chosen, then the count expected right after.
    const QList<QPair<int, int>> steps = {{0, 42}, {2, 0}, {2, 42}, {0, 0}};
    for (const auto &[position, expected] : steps) {
        w.shownCount = 42;
        w.setListIndex(position);
        QCOMPARE(w.shownCount, qint16(expected));
        QCOMPARE(w.lastIndex, qint16(position));
    }
    waitForDisplay();
    // The reset follows the position: a narrowed list's first hit is another
    // parcel, yet choosing it does not reset.
    w.Text1->clear();
    w.Text1->addItems({QStringLiteral("衣服"), QStringLiteral("******************")});
    w.shownCount = 42;
    w.setListIndex(0);
    QCOMPARE(w.CurrentParcel.id, QStringLiteral("2"));
    QCOMPARE(w.shownCount, qint16(42));
    waitForDisplay();
}

void TestParcelList::command5ClearsTheStoredCount()
{
    Form1 &w = h->w();
    auto &box = h->platform.box;
    const QString ask = QStringLiteral("此操作将清空快递数据,并重新进行获取,是否继续?");
    const int start = requests();
    w.Command5->click();
    QCOMPARE(w.status(), QStringLiteral("请先选择快递.."));
    QVERIFY(box.shown.isEmpty());

    w.setListIndex(0);
    waitForDisplay();
    QCOMPARE(w.Label12(3)->text(), QStringLiteral("无更新"));
    w.Text6->setText(QStringLiteral("书"));
    w.Command5->click(); // answered No
    QCOMPARE(w.store().parcelById(1)->num, QStringLiteral("5"));

    // Yes: the count is cleared and the parcel queried twice; the events
    // count as news once, not doubled by the display still pending.
    box.setNextAnswer(MessageBox::AnswerYes);
    w.Command5->click();
    QCOMPARE(box.texts(), (QStringList{ask, ask, QStringLiteral("初始化成功!")}));
    QCOMPARE(requests(), start + 3);
    waitForDisplay();
    QCOMPARE(w.ListView1->topLevelItemCount(), 3);
    QCOMPARE(w.Label12(3)->text(), QStringLiteral("有更新"));
    QCOMPARE(w.store().parcelById(1)->num, QStringLiteral("3"));
    QCOMPARE(w.Text1->itemText(0), QStringLiteral("书"));

    // Yes on a parcel whose row is gone: nothing is done, and that is said.
    QVERIFY(w.store().deleteParcel(1));
    box.setNextAnswer(MessageBox::AnswerYes);
    w.Command5->click();
    QCOMPARE(box.texts().size(), 5);
    QCOMPARE(box.texts().last(), QStringLiteral("信息数据不存在!"));
    QCOMPARE(requests(), start + 3);
}

void TestParcelList::stationParcelFromMarkToArchive()
{
    Form1 &w = h->w();
    const qint64 id = *w.store().addParcel(QStringLiteral("中通快递"), QStringLiteral("730000000005"),
                                           QStringLiteral("书包"), QStringLiteral("0"));
    w.sX();
    w.setListIndex(4);
    waitForDisplay();
    // The mark in the list and the line under the summary.
    const auto *model = qobject_cast<ParcelListModel *>(w.Text1->model());
    QCOMPARE(model->stateOf(id).status, Status::AtStation);
    QCOMPARE(model->data(model->index(4), Qt::ForegroundRole).value<QColor>(), QColor(0, 110, 200));
    QVERIFY(control<Label>(w, QStringLiteral("stationLine"))->isVisible());
    // The header gives the state, the line under it only where to go.
    QCOMPARE(control<Label>(w, QStringLiteral("stationLine"))->text(),
             QStringLiteral("长沙层上观邸1栋113号店菜鸟驿站  电话 17369217750"));
    QCOMPARE(w.Label12(2)->text(), QStringLiteral("待取件"));
    control<QPushButton>(w, QStringLiteral("copyPhoneButton"))->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("17369217750"));

    // A message naming no saved parcel is said so; Ctrl+V on the progress
    // list keeps the code of the one it names.
    QGuiApplication::clipboard()->setText(QStringLiteral("取件码1-1-1111,尾号9999"));
    control<QPushButton>(w, QStringLiteral("pasteSmsButton"))->click();
    QCOMPARE(w.status(), QStringLiteral("取件码1-1-1111: 没有找到与短信相符的快递.."));
    QGuiApplication::clipboard()->setText(
        QStringLiteral("【菜鸟驿站】您的中通包裹已到层上观邸1栋113号店,请凭取件码 8-3-1024 取件,尾号0005"));
    w.activateWindow();
    w.ListView1->setFocus();
    QTest::keyClick(w.ListView1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.store().lifeOf(id)->code, QStringLiteral("8-3-1024"));
    QVERIFY(
        control<Label>(w, QStringLiteral("stationLine"))->text().endsWith(QStringLiteral("取件码 8-3-1024")));
    // Another station's message: asked first (No), the kept code stays.
    w.features().pickupLine().pasteMessage(
        QStringLiteral("【兔喜生活】您的包裹已到幸福里驿站,请凭取件码 2-1-3003 取件"));
    QCOMPARE(h->platform.box.shown.size(), 1);
    QVERIFY(h->platform.box.texts()[0].contains(QStringLiteral("「书包」已有取件码8-3-1024")));
    QCOMPARE(w.store().lifeOf(id)->code, QStringLiteral("8-3-1024"));
    control<QPushButton>(w, QStringLiteral("copyCodeButton"))->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("8-3-1024"));

    // The whole event is the line's tooltip, shown as it stands: a reply's
    // markup is neither a heading nor a picture.
    const QString hostile =
        QStringLiteral("<h1>快件已到达</h1><img src=\"/etc/x.png\">菜鸟驿站 &amp; 请凭取件码取件");
    KeptProgress kept = *w.store().progressOf(id);
    kept.events.first().context = hostile;
    QVERIFY(w.store().saveProgress(kept));
    w.features().pickupLine().show();
    QTextDocument shown;
    const QString tip = control<Label>(w, QStringLiteral("stationLine"))->toolTip();
    Qt::mightBeRichText(tip) ? shown.setHtml(tip) : shown.setPlainText(tip);
    QCOMPARE(shown.toPlainText(), hostile);

    // Picked up: greyed, out of the rounds.
    control<QPushButton>(w, QStringLiteral("pickedButton"))->click();
    QCOMPARE(w.Label12(2)->text(), QStringLiteral("已取件"));
    QCOMPARE(model->stateOf(id).status, Status::PickedUp);
    QCOMPARE(model->data(model->index(4), Qt::ForegroundRole).value<QColor>(), QColor(150, 150, 150));
    for (const WatchTarget &t : w.store().watchTargets())
        QVERIFY(t.id != id);

    // Archived from the edit panel: out of the list; the search finds it
    // and brings it back.
    w.menuCommand(Qt::Key_F5);
    QCOMPARE(control<QPushButton>(w, QStringLiteral("archiveButton"))->text(), QStringLiteral("归档"));
    control<QPushButton>(w, QStringLiteral("archiveButton"))->click();
    QVERIFY(!entries(w.Text1).contains(QStringLiteral("书包")));
    // Nothing selected, nothing shown: not the archived parcel's details.
    auto cleared = [&w] {
        return w.Text1->currentIndex() < 0 && w.Label12(2)->text() == QStringLiteral("未查询") &&
               w.Label12(7)->text() == QStringLiteral("未查询") && w.ListView1->topLevelItemCount() == 0 &&
               !control<Label>(w, QStringLiteral("stationLine"))->isVisible();
    };
    QVERIFY(cleared());
    QCOMPARE(w.listSearchHits(false, false, QStringLiteral("书包")), 1);
    w.setListIndex(0);
    waitForDisplay();
    w.menuCommand(Qt::Key_F5);
    QCOMPARE(control<QPushButton>(w, QStringLiteral("archiveButton"))->text(), QStringLiteral("取消归档"));
    control<QPushButton>(w, QStringLiteral("archiveButton"))->click();
    QVERIFY(w.store().book().size() == 5);
    // F8 refills the list; with the query switch off nothing is chosen.
    w.hideAllPanels();
    w.Check7->setChecked(false);
    w.setListIndex(4);
    waitForDisplay();
    QVERIFY(!cleared());
    w.menuCommand(Qt::Key_F8);
    QVERIFY(cleared());
}

// A message whose tail fits two parcels: each is offered until one is taken.
void TestParcelList::messageForSeveralParcelsAsksWhich()
{
    Form1 &w = h->w();
    auto &box = h->platform.box;
    const qint64 toy = *w.store().addParcel(QStringLiteral("中通快递"), QStringLiteral("950000000077"),
                                            QStringLiteral("玩具"), QStringLiteral("0"));
    const qint64 shoes = *w.store().addParcel(QStringLiteral("中通快递"), QStringLiteral("960000000077"),
                                              QStringLiteral("鞋子"), QStringLiteral("0"));
    const QString sms = QStringLiteral("【驿站】请凭取件码 5-5-5555 取件,运单尾号0077");
    w.features().pickupLine().pasteMessage(sms); // both answered No
    QCOMPARE(
        box.texts(),
        (QStringList{QStringLiteral("有2个快递与短信相符, 把取件码5-5-5555记到「玩具」(950000000077)吗?"),
                     QStringLiteral("有2个快递与短信相符, 把取件码5-5-5555记到「鞋子」(960000000077)吗?")}));
    QCOMPARE(w.status(), QStringLiteral("没有选择快递, 取件码5-5-5555未记录.."));
    QVERIFY(w.store().lifeOf(toy)->code.isEmpty() && w.store().lifeOf(shoes)->code.isEmpty());

    box.setNextAnswer(MessageBox::AnswerNo);
    box.setNextAnswer(MessageBox::AnswerYes);
    w.features().pickupLine().pasteMessage(sms);
    QCOMPARE(box.shown.size(), 4);
    QVERIFY(w.store().lifeOf(toy)->code.isEmpty());
    QCOMPARE(w.store().lifeOf(shoes)->code, QStringLiteral("5-5-5555"));
    QCOMPARE(w.status(), QStringLiteral("取件码5-5-5555已记到「鞋子」.."));

    // The shown parcel, when it is one of them, takes the code unasked.
    const qint64 bag = *w.store().addParcel(QStringLiteral("中通快递"), QStringLiteral("970000000077"),
                                            QStringLiteral("提包"), QStringLiteral("0"));
    w.CurrentParcel.id = QString::number(toy);
    w.CurrentParcel.shown = true;
    w.features().pickupLine().pasteMessage(QStringLiteral("【驿站】请凭取件码 6-6-6666 取件,运单尾号0077"));
    QCOMPARE(box.shown.size(), 4);
    QCOMPARE(w.store().lifeOf(toy)->code, QStringLiteral("6-6-6666"));
    QVERIFY(!w.store().lifeOf(bag) || w.store().lifeOf(bag)->code.isEmpty());
}

QTEST_MAIN(TestParcelList)
#include "test_parcellist.moc"
