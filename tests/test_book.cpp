// The parcel book's commands: edit panel, search, export, progress-list
// actions and the balloon hint, driven through the real window.
#include "app/Balloon.h"
#include "support/BookRows.h"
#include "support/Harness.h"
#include "support/StandIn.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QPoint rowCentre(QTreeWidget *list, int row)
{
    return list->visualItemRect(list->topLevelItem(row)).center();
}

// Runs statements on the window's database while it runs.
void sql(Harness &h, const QStringList &statements)
{
    QVERIFY(h.execStatements(statements));
}

int balloonWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += qobject_cast<BalloonTip *>(w) != nullptr;
    return n;
}
} // namespace

class TestBook : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { h.reset(); }
    void sameGoodsEachKeepTheirRow();
    void unknownNumberDeletesItsOwnRow();
    void searchHitsAndSentinels();
    void editPanelKeepsItsParcelAfterRefill();
    void exportWritesGbkLines();
    void progressListActions();
    void containerPressesStayPut();

private:
    Form1 &w() { return h->w(); }
    void waitForDisplay() { QTRY_VERIFY(!w().Timer1->isActive() && w().ListView1->topLevelItemCount() > 0); }
    void showRows(const QList<QStringList> &rows)
    {
        w().ListView1->clear();
        for (const QStringList &r : rows)
            w().ListView1->addTopLevelItem(new QTreeWidgetItem(r));
    }
    std::unique_ptr<StandIn> standIn;
    std::unique_ptr<Harness> h;
};

void TestBook::initTestCase()
{
    standIn = std::make_unique<StandIn>();
    QVERIFY2(standIn->isRunning(), qPrintable(standIn->errorString()));
}

void TestBook::init()
{
    h = std::make_unique<Harness>();
    h->allPanels = true; // reaches into panels it has not opened
    h->setIni(QStringLiteral("tracking/host"), standIn->host());
    QVERIFY(h->startSeeded(
        "insert into kd100 (id, number, goods, company, num) values"
        " (1, '100000000001', '书', '顺丰快递', '7'), (2, '100000000002', '书', '申通快递', '5'),"
        " (3, '100000000003', 'Tom''s 茶叶', '中通快递', '0');\n"));
    w().Check7->setChecked(false);
}

void TestBook::sameGoodsEachKeepTheirRow()
{
    Form1 &w = this->w();
    FakeMessageBox &box = h->platform.box;
    const auto row = [&w](const char *id) { return w.store().parcelById(*rowIdOf(QString::fromLatin1(id))); };
    // Yes to the button's question; what the last box then said.
    const auto yes = [&box](QPushButton *button) {
        box.setNextAnswer(MessageBox::AnswerYes);
        button->click();
        return box.texts().last();
    };

    // Copy before any choice: only the status line speaks.
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    w.Command1(10)->click();
    QCOMPARE(w.status(), QStringLiteral("请先选择快递.."));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

    w.setListIndex(1);
    waitForDisplay();
    QCOMPARE(w.CurrentParcel.id, QStringLiteral("2"));

    QTest::keyClick(w.ListView1, Qt::Key_F5);
    QVERIFY(w.kdmenu(2)->isVisible());
    QCOMPARE((QStringList{w.Text4->text(), w.Command1(8)->text(), w.Text6->text()}),
             (QStringList{"100000000002", "申通快递", "书"}));
    // Reset: the second parcel's count, not the first's.
    QCOMPARE(yes(w.Command5), QStringLiteral("初始化成功!"));
    waitForDisplay();
    QCOMPARE(row("1")->num, QStringLiteral("7"));
    QCOMPARE(w.CurrentParcel.id, QStringLiteral("2"));

    QTest::keyClick(w.ListView1, Qt::Key_F5);
    w.Command1(10)->click();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("快递物品：书\r\n快递公司：申通快递\r\n快递单号：100000000002"));

    // A refused write says so, and the list is left alone.
    sql(*h, {"create trigger noUpdate before update on kd100 begin select raise(abort, 'ro'); end",
             "create trigger noDelete before delete on kd100 begin select raise(abort, 'ro'); end"});
    w.Text6->setText(QStringLiteral("旧书"));
    QCOMPARE(yes(w.Command1(9)), QStringLiteral("快递信息修改失败,没有做任何改动!"));
    QCOMPARE(yes(w.Command1(11)), QStringLiteral("快递信息删除失败,没有做任何改动!"));
    QCOMPARE(yes(w.Command5), QStringLiteral("初始化失败,没有做任何改动!"));
    box.setNextAnswer(MessageBox::AnswerYes);
    box.setNextAnswer(MessageBox::AnswerYes);
    QTest::keyClick(w.ListView1, Qt::Key_F6);
    QCOMPARE(box.texts().last(), QStringLiteral("快递列表清空失败,没有做任何改动!"));
    QCOMPARE(entries(w.Text1), (QStringList{"书", "书", "Tom's 茶叶"}));
    QVERIFY(w.ListView1->topLevelItemCount() > 0);
    sql(*h, {"drop trigger noUpdate", "drop trigger noDelete"});

    // Change: the second row is written, its entry rewritten and chosen again.
    QTest::keyClick(w.ListView1, Qt::Key_F5);
    w.Text6->setText(QStringLiteral("旧书"));
    w.chooseCourier(w.Command1(8), QStringLiteral("顺丰快递"));
    yes(w.Command1(9));
    QVERIFY(box.texts().contains(QStringLiteral("确定要修改[书]此单号码?")));
    QVERIFY(box.texts().contains(QStringLiteral("快递信息修改成功!")));
    waitForDisplay();
    QCOMPARE((QStringList{row("2")->goods, row("2")->company, row("2")->number}),
             (QStringList{"旧书", "顺丰快递", "100000000002"}));
    QCOMPARE((QStringList{row("1")->goods, row("1")->company}), (QStringList{"书", "顺丰快递"}));
    QCOMPARE(entries(w.Text1), (QStringList{"书", "旧书", "Tom's 茶叶"}));
    QCOMPARE(w.Text1->currentIndex(), 1);
    QCOMPARE(w.CurrentParcel.goods, QStringLiteral("旧书"));
    QVERIFY(!w.kdmenu(2)->isVisible());

    // The panel edits the parcel's record, not what its entry still reads
    // after a command changed the goods beside the window.
    sql(*h, {"update kd100 set goods='新书' where id=2"});
    QTest::keyClick(w.ListView1, Qt::Key_F5);
    QCOMPARE(w.Text6->text(), QStringLiteral("新书"));

    // Delete: the second row goes, the first stays.
    QTest::keyClick(w.ListView1, Qt::Key_F5);
    QCOMPARE(yes(w.Command1(11)), QStringLiteral("快递信息已删除!"));
    QVERIFY(!row("2"));
    QVERIFY(row("1"));
    QCOMPARE(entries(w.Text1), (QStringList{"书", "Tom's 茶叶"}));
    QVERIFY(!w.kdmenu(2)->isVisible());

    // The entry of a row deleted behind the list's back: nothing is changed
    // or deleted, and no other parcel is hit instead.
    w.setListIndex(0);
    waitForDisplay();
    sql(*h, {"delete from kd100 where id=1"});
    QTest::keyClick(w.ListView1, Qt::Key_F5);
    QCOMPARE(yes(w.Command1(9)), QStringLiteral("信息数据不存在!"));
    QCOMPARE(yes(w.Command1(11)), QStringLiteral("快递信息删除失败,没有做任何改动!"));
    QCOMPARE(allParcels(w.store()).size(), 1);
}

void TestBook::unknownNumberDeletesItsOwnRow()
{
    Form1 &w = this->w();
    FakeMessageBox &box = h->platform.box;
    // 100000000004 is unknown to the service (code 1); it shares its goods
    // with a known parcel saved before it.
    sql(*h,
        {"insert into kd100 (id, number, goods, company, num) values (4, '100000000004', '书', 'EMS', '0')"});
    w.sX();
    const auto dropIt = [&box] {
        box.setNextAnswer(MessageBox::AnswerNo);  // keep it? no
        box.setNextAnswer(MessageBox::AnswerYes); // delete it? yes
    };
    sql(*h, {"create trigger noDelete before delete on kd100 begin select raise(abort, 'ro'); end"});
    dropIt();
    w.setListIndex(3);
    QCOMPARE(box.texts().last(), QStringLiteral("快递信息删除失败,没有做任何改动!"));
    QCOMPARE(w.Text1->count(), 4);
    sql(*h, {"drop trigger noDelete"});

    dropIt();
    w.setListIndex(3);
    QCOMPARE(box.texts().last(), QStringLiteral("快递信息已删除!"));
    QVERIFY(!w.store().parcelById(4));
    QCOMPARE(allParcels(w.store()).size(), 3);
}

void TestBook::searchHitsAndSentinels()
{
    Form1 &w = this->w();
    FakeMessageBox &box = h->platform.box;
    const QStringList full = entries(w.Text1);

    QTest::keyClick(w.ListView1, Qt::Key_F7);
    QTest::keyClick(w.Text7, Qt::Key_Return);
    QCOMPARE(box.texts().last(), QStringLiteral("请输入快递物品.."));
    QCOMPARE(entries(w.Text1), full);

    // Partial goods search, blanks around: both hits, then the sentinels;
    // the first hit is queried before they are added.
    w.Text7->setText(QStringLiteral("  书 "));
    const int before = standIn->countRequests(QStringLiteral("/?"));
    QTest::keyClick(w.Text7, Qt::Key_Return);
    QCOMPARE(box.texts().last(), QStringLiteral("已为您找到2个相关快递"));
    QCOMPARE(standIn->countRequests(QStringLiteral("/?")), before + 1);
    QCOMPARE(entries(w.Text1), (QStringList{"书", "书", "******************", "刷新快递列表"}));
    QCOMPARE(w.CurrentParcel.id, QStringLiteral("1"));
    QVERIFY(!w.kdmenu(3)->isVisible());
    waitForDisplay();
    // Each hit stands for its own row.
    w.setListIndex(1);
    QCOMPARE(w.CurrentParcel.id, QStringLiteral("2"));
    waitForDisplay();

    // A quote is searched for like any letter.
    QTest::keyClick(w.ListView1, Qt::Key_F7);
    w.Text7->setText(QStringLiteral("Tom's"));
    w.Command1(14)->click();
    QCOMPARE(box.texts().last(), QStringLiteral("已为您找到1个相关快递"));
    QCOMPARE(w.CurrentParcel.id, QStringLiteral("3"));
    waitForDisplay();

    // Exact number search with a trailing blank: nothing; the panel stays.
    QTest::keyClick(w.ListView1, Qt::Key_F7);
    w.Option1(0)->setChecked(true);
    w.Option2(0)->setChecked(true);
    w.Text7->setText(QStringLiteral("100000000001 "));
    w.Command1(14)->click();
    QCOMPARE(box.texts().last(), QStringLiteral("没有找到相关快递"));
    QCOMPARE(w.status(), QStringLiteral("没有找到相关快递.."));
    QCOMPARE(w.Text1->count(), 0);
    QVERIFY(w.kdmenu(3)->isVisible());
    w.Text7->setText(QStringLiteral("100000000001"));
    w.Command1(14)->click();
    QCOMPARE(box.texts().last(), QStringLiteral("已为您找到相关快递"));
}

void TestBook::editPanelKeepsItsParcelAfterRefill()
{
    Form1 &w = this->w();
    FakeMessageBox &box = h->platform.box;
    const auto row = [&w](const char *id) { return w.store().parcelById(*rowIdOf(QString::fromLatin1(id))); };
    // One hit loaded, the panel opened, then the list refilled under it: the
    // old list position now holds another parcel.
    const auto searchOpenRefill = [&] {
        QTest::keyClick(w.ListView1, Qt::Key_F7);
        w.Text7->setText(QStringLiteral("茶叶"));
        w.Command1(14)->click();
        QCOMPARE(w.CurrentParcel.id, QStringLiteral("3"));
        waitForDisplay();
        QTest::keyClick(w.ListView1, Qt::Key_F5);
        QTest::keyClick(w.ListView1, Qt::Key_F8);
        QCOMPARE(w.Text1->itemText(0), QStringLiteral("书"));
        QVERIFY(w.kdmenu(2)->isVisible());
    };
    searchOpenRefill();
    box.setNextAnswer(MessageBox::AnswerYes);
    w.Command5->click();
    QCOMPARE(row("1")->num, QStringLiteral("7"));
    waitForDisplay();

    searchOpenRefill();
    w.Text6->setText(QStringLiteral("红茶"));
    box.setNextAnswer(MessageBox::AnswerYes);
    w.Command1(9)->click();
    QVERIFY(box.texts().contains(QStringLiteral("快递信息修改成功!")));
    waitForDisplay();
    QCOMPARE(row("3")->goods, QStringLiteral("红茶"));
    QCOMPARE(row("1")->goods, QStringLiteral("书"));
    QCOMPARE(entries(w.Text1), (QStringList{"书", "书", "红茶"}));

    w.Text6->setText(QStringLiteral("茶叶"));
    box.setNextAnswer(MessageBox::AnswerYes);
    w.Command1(9)->click();
    waitForDisplay();
    searchOpenRefill();
    box.setNextAnswer(MessageBox::AnswerYes);
    w.Command1(11)->click();
    QCOMPARE(box.texts().last(), QStringLiteral("快递信息已删除!"));
    QVERIFY(!row("3"));
    QVERIFY(row("1") && row("2"));
    // The deleted parcel's events stay on show, but nothing acts on it again.
    box.setNextAnswer(MessageBox::AnswerYes);
    w.Command1(11)->click();
    QCOMPARE(box.texts().last(), QStringLiteral("快递信息删除失败,没有做任何改动!"));
    QCOMPARE(allParcels(w.store()).size(), 2);
}

void TestBook::exportWritesGbkLines()
{
    Form1 &w = this->w();
    FakeMessageBox &box = h->platform.box;
    FakeFileDialog &dialog = h->platform.saveDialog;

    QTest::keyClick(w.ListView1, Qt::Key_F10);
    QCOMPARE(box.texts().last(), QStringLiteral("没有可导出的数据!"));
    QVERIFY(dialog.filters.isEmpty());

    showRows({{"1", "2026-12-01 14:36:52", "已签收😀"}, {"", "t", "x"}});
    QTest::mouseClick(w.Image2(7), Qt::LeftButton);
    QCOMPARE(w.status(), QStringLiteral("已取消保存"));
    QCOMPARE(box.texts().size(), 1);

    QTemporaryDir out;
    dialog.nextPath = out.filePath(QStringLiteral("进度.txt"));
    QFile old(dialog.nextPath);
    QVERIFY(old.open(QIODevice::WriteOnly) &&
            old.write("old content, longer than the new one\r\n" + QByteArray(200, 'x')));
    old.close();
    QTest::keyClick(w.ListView1, Qt::Key_F10);
    QCOMPARE(box.texts().last(), QStringLiteral("成功导出全部数据!"));
    QCOMPARE(w.status(), QStringLiteral("成功导出全部数据.."));
    // GBK for Chinese, four-byte GB18030 for what GBK lacks; CR LF on every line.
    QCOMPARE(readAll(dialog.nextPath), "1" + QByteArray(10, ' ') + "2026-12-01 14:36:52   " +
                                           "\xd2\xd1\xc7\xa9\xca\xd5\x94\x39\xfc\x36\r\n   t   x\r\n");

    // A file that cannot be written: the failure told as one, the old file kept.
    const QByteArray written = readAll(dialog.nextPath);
    QVERIFY(QDir(out.path()).mkdir(QStringLiteral("sub")));
    dialog.nextPath = out.filePath(QStringLiteral("sub"));
    QTest::keyClick(w.ListView1, Qt::Key_F10);
    QVERIFY2(box.texts().last().startsWith(QStringLiteral("导出失败! ")) &&
                 box.texts().last().size() > QStringLiteral("导出失败! ").size(),
             qPrintable(box.texts().last()));
    QCOMPARE(w.status(), QStringLiteral("导出失败.."));
    QCOMPARE(readAll(out.filePath(QStringLiteral("进度.txt"))), written);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{QStringLiteral("进度.txt")});

    // A line break inside an event forges no row; NUL is not written.
    showRows({{"1", "t", QStringLiteral("a\r\nb") + QChar(0) + QStringLiteral("c\nd")}});
    dialog.nextPath = out.filePath(QStringLiteral("一行.txt"));
    QTest::keyClick(w.ListView1, Qt::Key_F10);
    QCOMPARE(readAll(dialog.nextPath), "1" + QByteArray(7, ' ') + "   t   a  bc d\r\n");
}

void TestBook::progressListActions()
{
    Form1 &w = this->w();
    QWidget *view = w.ListView1->viewport();

    // Empty list: each action refuses; a click with hints off does nothing.
    w.Check6->setChecked(false);
    w.setStatus(QStringLiteral("x"));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(w.status(), QStringLiteral("x"));
    w.Check6->setChecked(true);
    const QList<std::function<void()>> actions{
        [view] { QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(40, 40)); },
        [view] { QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(40, 40)); },
        [view] { QTest::mouseClick(view, Qt::RightButton, {}, QPoint(40, 40)); }};
    for (const auto &act : actions) {
        w.setStatus(QStringLiteral("x"));
        act();
        QCOMPARE(w.status(), QStringLiteral("当前没有物流信息"));
    }
    QVERIFY(!w.Picture5->isVisible());
    QVERIFY(!w.rowTip);

    showRows({{"1", "2026-12-02 08:55:10", "派件中"}, {"2", "2026-12-01 07:00:00", "已发出"}});
    // Two clicks in a row: one balloon, showing the second row.
    QTest::mouseClick(view, Qt::LeftButton, {}, rowCentre(w.ListView1, 0));
    QTest::mouseClick(view, Qt::LeftButton, {}, rowCentre(w.ListView1, 1));
    QVERIFY(w.rowTip && w.rowTip->tipWindow());
    QCOMPARE(balloonWindows(), 1);
    BalloonTip *tip = w.rowTip->tipWindow();
    QCOMPARE(tip->title(), QStringLiteral("物流跟踪信息"));
    QCOMPARE(tip->lines(), (QStringList{"时间:2026-12-01 07:00:00", "物流进度:已发出"}));
    // It shows when the mouse rests over the list, not elsewhere.
    QHelpEvent rest(QEvent::ToolTip, QPoint(30, 30), view->mapToGlobal(QPoint(30, 30)));
    QApplication::sendEvent(view, &rest);
    QVERIFY(tip->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view, &leave);
    QVERIFY(!tip->isVisible());

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::mouseDClick(view, Qt::LeftButton, {}, rowCentre(w.ListView1, 0));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("2026-12-02 08:55:10 派件中"));
    QCOMPARE(w.status(), QStringLiteral("单条物流进度已复制.."));

    // The overlay covers the whole window, open panels included.
    QTest::keyClick(w.ListView1, Qt::Key_F9);
    QTest::mousePress(view, Qt::RightButton, {}, rowCentre(w.ListView1, 1));
    QTest::mouseRelease(view, Qt::RightButton, {}, rowCentre(w.ListView1, 1));
    QVERIFY(w.Picture5->isVisible());
    QCOMPARE(w.Label23->text(), QStringLiteral("2026-12-01 07:00:00 已发出"));
    // Event, goods and company texts are shown as they stand: no label of
    // the window reads "<b>" or "&lt;" as markup.
    for (const QLabel *l : w.findChildren<QLabel *>())
        QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName()));
    QVERIFY(w.Picture5->isAncestorOf(w.childAt(w.kdmenu(1)->geometry().center())));
}

void TestBook::containerPressesStayPut()
{
    Form1 &w = this->w();
    w.Check4->setChecked(true);
    w.Check5->setChecked(true);
    QTest::keyClick(w.ListView1, Qt::Key_F9);
    const int drags = w.windowDragRequests();
    const QPoint at = w.kdmenu(1)->pos();
    for (QWidget *box : std::initializer_list<QWidget *>{w.Frame2, w.Frame4, w.Picture7}) {
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(3, box->height() - 3));
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(3, box->height() - 3));
    }
    QCOMPARE(w.windowDragRequests(), drags);
    QVERIFY(w.kdmenu(1)->isVisible());
    QCOMPARE(w.kdmenu(1)->pos(), at);
    // The panel's own background still closes it.
    QTest::mouseClick(w.kdmenu(1), Qt::LeftButton, {}, QPoint(3, w.kdmenu(1)->height() - 3));
    QVERIFY(!w.kdmenu(1)->isVisible());

    // A refused address write is not reported as done.
    sql(*h, {"create trigger noSetting before update on setting begin select raise(abort, 'ro'); end"});
    QTest::keyClick(w.ListView1, Qt::Key_F9);
    QTest::mouseClick(w.x(1), Qt::LeftButton);
    QCOMPARE(w.status(), QStringLiteral("设置保存失败,没有做任何改动.."));
    QVERIFY(w.kdmenu(1)->isVisible());
}

QTEST_MAIN(TestBook)
#include "test_book.moc"
