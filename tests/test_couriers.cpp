// The courier directory: search, quick picks, choosing and copying.
#include "support/Harness.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QtTest>

class TestCouriers : public QObject {
    Q_OBJECT
private slots:
    void searchAndQuickPicks();
    void chooseAndCopy();
};

static bool start(Harness &h)
{
    h.setIni("recognition/host", "127.0.0.1:9");
    // A short name the quick pick "申通快递" must not find, and a quote.
    if (!h.startSeeded("insert into list (id, name, code, shibie) values (90, '申通', 'st2', 'st2');\n"
                       "insert into list (id, name, code, shibie) values (91, 'O''Neil快运', 'on', 'on');\n"))
        return false;
    h.w().Check8->setChecked(false);
    return true;
}

static QStringList names(Form1 &w)
{
    QStringList out;
    for (int i = 0; i < w.ListView2->topLevelItemCount(); ++i)
        out << w.ListView2->topLevelItem(i)->text(1);
    return out;
}

// Presses the given button on the row of that company (a QTest double click
// is only the second click, so the first one goes before it).
static void onRow(Form1 &w, const QString &name, Qt::MouseButton button, bool twice = false)
{
    QTreeWidgetItem *item = w.ListView2->findItems(name, Qt::MatchExactly, 1).value(0);
    QVERIFY(item);
    w.ListView2->scrollToItem(item);
    const QPoint at = w.ListView2->visualItemRect(item).center();
    QTest::mouseClick(w.ListView2->viewport(), button, {}, at);
    if (twice)
        QTest::mouseDClick(w.ListView2->viewport(), button, {}, at);
}

void TestCouriers::searchAndQuickPicks()
{
    Harness h;
    QVERIFY(start(h));
    Form1 &w = h.w();
    const int all = w.store().allCouriers().size();
    QTest::keyClick(w.ListView1, Qt::Key_F12);
    QCOMPARE(w.ListView2->topLevelItem(0)->text(0) + w.ListView2->topLevelItem(0)->text(1) +
                 w.ListView2->topLevelItem(0)->text(2),
             QString("1顺丰快递95338"));

    w.Text8->setText("顺丰");
    QCOMPARE(names(w), QStringList({"顺丰快递"}));
    w.Text8->setText(" 申通  ");
    QCOMPARE(names(w), QStringList({"申通快递", "申通"}));
    w.Text8->clear();
    QCOMPARE(w.ListView2->topLevelItemCount(), all);
    w.Text8->setText("'");
    QCOMPARE(names(w), QStringList({"O'Neil快运"})); // literal, no error box
    QVERIFY(h.platform.box.shown.isEmpty());
    w.Text8->setText("申_快递"); // the wildcards still work
    QCOMPARE(names(w), QStringList({"申通快递"}));
    w.Text8->setText("   ");
    QCOMPARE(w.ListView2->topLevelItemCount(), all);

    const QStringList reached = {"顺丰快递", "申通快递", "中通快递", "圆通速递", "韵达快递", "全峰快递",
                                 "天天快递", "宅急送",   "百世汇通", "京东快递", "EMS"};
    for (int i = 0; i < reached.size(); ++i) {
        QTest::mouseClick(w.Label20(i), Qt::LeftButton);
        QCOMPARE(names(w), QStringList{reached[i]});
    }
    QTest::mouseClick(w.Label20(1), Qt::LeftButton);
    QCOMPARE(names(w), QStringList({"申通快递"}));
    QCOMPARE(w.Text8->text(), QString("   "));
    w.Command4->click();
    QCOMPARE(w.ListView2->topLevelItemCount(), all);

    // Hover paints one pick; the strip beside them paints all back.
    const QColor normal = w.palette().color(QPalette::ButtonText);
    auto colour = [&w](int i) { return w.Label20(i)->palette().color(QPalette::WindowText); };
    QTest::mouseMove(w.Label20(10));
    QTRY_COMPARE(colour(10), QColor(166, 0, 169));
    QTest::mouseMove(w.Picture3, QPoint(w.Picture3->width() - 3, 5));
    QTRY_COMPARE(colour(10), normal);
}

void TestCouriers::chooseAndCopy()
{
    Harness h;
    QVERIFY(start(h));
    Form1 &w = h.w();

    // From the add panel: it stays open, the choice closes the directory.
    QTest::keyClick(w.ListView1, Qt::Key_F4);
    w.Command1(12)->click();
    QVERIFY(w.kdmenu(0)->isVisible() && w.kdmenu(4)->isVisible());
    QCOMPARE(w.ListView2->headerItem()->text(1), QString("快递公司（双击选择）"));
    onRow(w, "EMS", Qt::LeftButton, true);
    QCOMPARE(w.Command1(12)->text() + w.CurrentParcel.code, QString("EMSems"));
    QVERIFY(!w.kdmenu(4)->isVisible());

    // From the edit panel: the add, settings and search panels close.
    QTest::keyClick(w.ListView1, Qt::Key_F9);
    QTest::keyClick(w.ListView1, Qt::Key_F7);
    QTest::keyClick(w.ListView1, Qt::Key_F4);
    w.ShowPanel(2);
    w.Command1(8)->click();
    QVERIFY(w.kdmenu(2)->isVisible() && !w.kdmenu(0)->isVisible() && !w.kdmenu(1)->isVisible() &&
            !w.kdmenu(3)->isVisible());
    onRow(w, "韵达快递", Qt::LeftButton, true);
    QCOMPARE(w.Command1(8)->text() + w.CurrentParcel.code, QString("韵达快递yunda"));
    QVERIFY(!w.kdmenu(4)->isVisible());

    // Browsing: only the code follows the choice.
    QTest::mouseClick(w.Image2(6), Qt::LeftButton);
    onRow(w, "京东快递", Qt::LeftButton, true);
    QCOMPARE(w.Command1(8)->text() + w.Command1(12)->text() + w.CurrentParcel.code,
             QString("韵达快递请选择快递公司jd"));
    QVERIFY(w.kdmenu(4)->isVisible());

    QGuiApplication::clipboard()->setText("untouched");
    onRow(w, "顺丰快递", Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("untouched"));
    onRow(w, "顺丰快递", Qt::RightButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("95338"));
    QCOMPARE(w.status(), QString("顺丰快递公司电话已复制.."));
}

QTEST_MAIN(TestCouriers)
#include "test_couriers.moc"
