// The main menu: icons and function keys, driven through the real window.
#include "support/BookRows.h"
#include "support/Harness.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QtTest>

class TestMenu : public QObject {
    Q_OBJECT
private slots:
    void keysAndIconsOpenPanels();
    void clearAndRefreshTheList();
    void panelsAreMadeWhenFirstOpened();
};

static bool start(Harness &h)
{
    h.setIni("tracking/host", "127.0.0.1:9");
    h.setIni("recognition/host", "127.0.0.1:9");
    return h.startSeeded(
        "insert into kd100 (number, goods, company) values ('100000000001', '爸爸衣服', '顺丰快递');\n"
        "insert into kd100 (number, goods, company) values ('100000000002', '茶叶', '申通快递');\n");
}

void TestMenu::keysAndIconsOpenPanels()
{
    Harness h;
    h.allPanels = true; // reaches into panels it has not opened
    QVERIFY(start(h));
    Form1 &w = h.w();
    w.Check8->setChecked(false);
    w.Text2->setText("old");
    QGuiApplication::clipboard()->setText("100000000003");

    // F4 from any control, Ctrl ignored: reset panel, then the clipboard.
    QTest::keyClick(w.ListView1, Qt::Key_F4, Qt::ControlModifier);
    QVERIFY(w.kdmenu(0)->isVisible() && w.Command1(13)->isDefault());
    QCOMPARE(w.Text3->currentText(), QString("100000000003"));
    QVERIFY(w.Text2->text().isEmpty());
    QCOMPARE(w.Command1(12)->text(), QString("请选择快递公司"));
    QCOMPARE(w.kdmenu(0)->pos(),
             QPoint((w.width() - w.kdmenu(0)->width()) / 2, (w.height() - w.kdmenu(0)->height()) / 2));
    QTest::mouseClick(w.Image2(3), Qt::LeftButton);
    QVERIFY(w.Text3->currentText().isEmpty());
    // Enter in a field of the panel presses its default button.
    QTest::keyClick(w.Text2, Qt::Key_Return);
    QCOMPARE(w.status(), QString("请输入快递单号!"));

    // A key leaves open panels alone; an icon clears the desk first.
    QTest::keyClick(w.Text2, Qt::Key_F7);
    QVERIFY(w.kdmenu(0)->isVisible() && w.kdmenu(3)->isVisible());
    QVERIFY(w.Option1(1)->isChecked() && w.Option2(1)->isChecked() && w.Command1(14)->isDefault());
    QTest::mouseClick(w.Image2(4), Qt::LeftButton);
    QVERIFY(!w.kdmenu(0)->isVisible() && w.kdmenu(3)->isVisible());

    // F5 needs a chosen parcel.
    QTest::keyClick(w.ListView1, Qt::Key_F5);
    QCOMPARE(w.status(), QString("请先选择快递.."));
    QVERIFY(!w.kdmenu(2)->isVisible());
    w.Text1->setCurrentIndex(0);
    w.CurrentParcel.number = "100000000001";
    w.CurrentParcel.company = "顺丰快递";
    QTest::keyClick(w.ListView1, Qt::Key_F5);
    QVERIFY(w.kdmenu(2)->isVisible() && w.Command1(9)->isDefault());
    QCOMPARE(w.Text4->text() + w.Command1(8)->text() + w.Text6->text(),
             QString("100000000001顺丰快递爸爸衣服"));
    QCOMPARE(w.kdmenu(2)->pos(), w.kdmenu(0)->pos()); // placed as the add panel

    QTest::keyClick(w.ListView1, Qt::Key_F12);
    QVERIFY(w.kdmenu(4)->isVisible());
    QCOMPARE(w.ListView2->headerItem()->text(1), QString("快递公司"));
    QCOMPARE(w.ListView2->topLevelItemCount(), w.store().allCouriers().size());
    QTest::keyClick(w.ListView2, Qt::Key_F9); // hides every panel first
    QVERIFY(w.kdmenu(1)->isVisible() && !w.kdmenu(4)->isVisible() && !w.kdmenu(2)->isVisible());
    QTest::keyClick(w.Check4, Qt::Key_Escape);
    QVERIFY(!w.kdmenu(1)->isVisible());

    w.setStatus("busy");
    QTest::keyClick(w.ListView1, Qt::Key_F11); // answered No
    QCOMPARE(h.platform.box.texts().last(), QString("确定要执行初始化吗?"));
    QCOMPARE(w.status(), QString("busy"));
    h.platform.box.setNextAnswer(MessageBox::AnswerYes);
    QTest::keyClick(w.ListView1, Qt::Key_F11);
    QCOMPARE(w.status(), QString("程序初始化完毕.."));
}

void TestMenu::panelsAreMadeWhenFirstOpened()
{
    Harness h;
    QVERIFY(start(h));
    Form1 &w = h.w();
    QVERIFY(!w.kdmenu(0) && !w.Text3 && !w.ListView2 && w.kdmenu(1));
    // Made after the skin went on, each panel still wears it as the settings
    // panel (made before) does: ground, text and border.
    QTest::keyClick(w.ListView1, Qt::Key_F7);
    const QPalette skinned = w.kdmenu(1)->palette();
    QVERIFY(skinned.color(QPalette::Window) != w.palette().color(QPalette::Window));
    for (int i : {0, 2, 3, 4})
        for (QPalette::ColorRole role :
             {QPalette::Window, QPalette::WindowText, QPalette::Light, QPalette::Dark})
            QVERIFY2(w.kdmenu(i)->palette().color(role) == skinned.color(role),
                     qPrintable(QString::number(i)));

    QTest::keyClick(w.ListView1, Qt::Key_F12);
    QVERIFY(w.kdmenu(4)->isVisible());
    QCOMPARE(w.ListView2->topLevelItemCount(), w.store().allCouriers().size());
    QVERIFY(w.ListView2->header()->sectionResizeMode(0) == QHeaderView::Fixed);
    QGuiApplication::clipboard()->setText(QString());
    QTest::keyClick(w.ListView1, Qt::Key_F4);
    QTest::keyClick(w.Text2, Qt::Key_Return);
    QCOMPARE(w.status(), QString("请输入快递单号!"));
    // Wired once, whether made at start-up or later: one click, one answer.
    w.Text4->clear();
    w.Command1(9)->click();
    QCOMPARE(h.platform.box.texts(), QStringList{"请输入单号!"});
    w.Command1(16)->click();
    QCOMPARE(h.platform.box.texts().size(), 2);
    QCOMPARE(w.findChildren<QPushButton *>("Command1(13)").size(), 1);
}

void TestMenu::clearAndRefreshTheList()
{
    Harness h;
    h.allPanels = true; // reaches into panels it has not opened
    QVERIFY(start(h));
    Form1 &w = h.w();
    new QTreeWidgetItem(w.ListView1, {"1", "2024-01-01", "已签收"});
    w.CurrentParcel.number = "100000000001";

    h.platform.box.setNextAnswer(MessageBox::AnswerYes); // then No
    QTest::keyClick(w.Text1, Qt::Key_F6);
    QCOMPARE(h.platform.box.texts(),
             QStringList({"确定要清空快递列表吗?", "防误保护二次确认：确定要清空快递列表？"}));
    QCOMPARE(allParcels(w.store()).size(), 2);
    QCOMPARE(w.Text1->count() + w.ListView1->topLevelItemCount(), 3);

    h.platform.box.setNextAnswer(MessageBox::AnswerYes);
    h.platform.box.setNextAnswer(MessageBox::AnswerYes);
    QTest::mouseClick(w.Image2(2), Qt::LeftButton);
    QVERIFY(allParcels(w.store()).isEmpty());
    QCOMPARE(w.Text1->count() + w.ListView1->topLevelItemCount(), 0);
    QCOMPARE(w.status(), QString("快递列表已清空..."));
    QCOMPARE(w.CurrentParcel.number, QString("100000000001"));

    // Shift+F8 is F8: refill, empty progress list, no query with Check7 off.
    w.store().addParcel("EMS", "100000000004", "信", "0");
    new QTreeWidgetItem(w.ListView1, {"1", "2024-01-01", "已签收"});
    QTest::keyClick(w.ListView1, Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(w.Text1->itemText(0), QString("信"));
    QCOMPARE(w.ListView1->topLevelItemCount(), 0);
    QCOMPARE(w.status(), QString("快递列表已刷新.."));
    QCOMPARE(w.CurrentParcel.number, QString("100000000001"));
    // With the query switch on, the lone parcel is chosen and queried.
    w.Check7->setChecked(true);
    QTest::keyClick(w.ListView1, Qt::Key_F8);
    QCOMPARE(w.CurrentParcel.number, QString("100000000004"));
}

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
