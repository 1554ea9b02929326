// Start-up and shutdown of the real window: the order of the load steps,
// the running-copy guard, database failures, the clock and the idle reset.
#include "platform/RealPlatform.h"
#include "support/BookFiles.h"
#include "support/Harness.h"

#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QProcess>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void firstStartOnEmptyDirectory();
    void skinComesBeforeTheDatabase();
    void secondCopyIsTurnedAway();
    void databaseHeldByAnotherProcess();
    void corruptDatabaseEndsTheProgram();
    void columnsKeepTheirWidths();
    void idleResetAfterBusyState();
    void skinFileTintsThePalette();
    void messageBoxShowsTextAsText();
};

void TestStartup::firstStartOnEmptyDirectory()
{
    Harness h;
    h.allPanels = true; // reaches into panels it has not opened
    QVERIFY(h.start());
    Form1 &w = h.w();
    QVERIFY(QFile::exists(h.appDir() + "/db/kd100.mdb"));
    QCOMPARE(w.size(), QSize(763, 537));
    QCOMPARE(w.windowTitle(), QString("Parcelio - Orlo全新版"));
    QVERIFY(w.windowIcon().isNull());
    QCOMPARE(w.Label11(3)->text(), QString("5.4.0"));
    QCOMPARE(w.Label11(2)->text(), QString("程序检测更新中..."));
    QCOMPARE(w.Label11(0)->text(), QString("查询提示："));
    QCOMPARE(w.Label11(4)->text(), QString("Tesmar出品"));
    QCOMPARE(w.Text1->count(), 0);
    QCOMPARE(w.lastIndex, qint16(0));
    QCOMPARE(w.Combo2->count(), 24);
    QCOMPARE(w.Combo2->currentText(), QString("0"));
    QCOMPARE(w.Combo3->count(), 60);
    QCOMPARE(w.Combo3->currentText(), QString("0"));
    QCOMPARE(w.Combo4->count(), 360);
    QCOMPARE(w.Combo4->itemText(359), QString("360"));
    QCOMPARE(w.Combo4->currentText(), QString());
    for (int i = 0; i <= 4; ++i)
        QVERIFY(!w.kdmenu(i)->isVisible());
    QVERIFY(!w.Picture5->isVisible());
    QVERIFY(!w.AniGIF1->isVisible());
    // Backdrop stretched to the window's width less three pixels each side.
    QCOMPARE(w.Picture7->geometry().left(), 3);
    QCOMPARE(w.Picture7->width(), w.width() - 6);
    // Timers as loaded: only the update check and the clock run.
    QVERIFY(!w.Timer1->isActive() && !w.Timer4->isActive() && !w.Timer6->isActive() && !w.Timer7->isActive());
    QVERIFY(w.Timer3->isActive() && w.Timer5->isActive());
    QCOMPARE(w.Timer6->interval(), 60000);
    QCOMPARE(w.Timer1->interval(), 100);
    // Every control of the window can be found by its name.
    for (const char *name :
         {"Label11(2)", "Command1(13)", "kdmenu(3)", "Image2(7)", "x(1)", "Label20(10)", "ListView2",
          "Option2(1)", "Check8", "Sendmail", "Frame6", "Command1(18)", "Label23", "Text8", "Command5"})
        QVERIFY2(w.findChild<QWidget *>(QString::fromUtf8(name)), name);
    QVERIFY(h.platform.box.shown.isEmpty());
    QCOMPARE(h.platform.term.count, 0);

    // The clock ticks about a second after the window is shown.
    QTRY_VERIFY_WITH_TIMEOUT(w.Label11(5)->text() != "Time", 2500);
}

void TestStartup::skinComesBeforeTheDatabase()
{
    Harness h;
    bool dbExistedAtSkin = true;
    struct Probe : FakeSkin {
        QString dbFile;
        bool *seen = nullptr;
        void attach(QWidget *w, const QString &path, const QString &pw) override
        {
            *seen = QFile::exists(dbFile);
            FakeSkin::attach(w, path, pw);
        }
    } probe;
    probe.dbFile = h.appDir() + "/db/kd100.mdb";
    probe.seen = &dbExistedAtSkin;
    h.platform.skin = &probe;
    QVERIFY(h.start());
    QCOMPARE(probe.calls, QStringList({"attach " + h.appDir() + "/skinh.she []", "hsv 85 -40 0"}));
    QVERIFY(!dbExistedAtSkin);
}

void TestStartup::secondCopyIsTurnedAway()
{
    Harness first;
    QVERIFY(first.start());
    Form1 second(first.appDir(), Config(), first.platform);
    QVERIFY(!second.load());
    QCOMPARE(first.platform.box.texts(), QStringList{"程序已运行!"});
    QCOMPARE(first.platform.box.shown[0].title, QString("Tesmar系列软件"));
    QCOMPARE(first.platform.term.count, 1);
    QCOMPARE(first.platform.term.lastStatus, 1); // a refused start is no success
    QVERIFY(first.platform.webOpener.opened.isEmpty());
    QVERIFY(!second.isVisible());
    // The first copy still works.
    QVERIFY(first.w().store().addParcel("顺丰快递", "1", "书", "0").has_value());
}

void TestStartup::databaseHeldByAnotherProcess()
{
    Harness h;
    QDir().mkpath(h.appDir() + "/db");
    QProcess holder;
    holder.start("flock", {"-o", h.appDir() + "/db/kd100.ldb", "-c", "echo held; sleep 30"});
    QVERIFY(holder.waitForReadyRead(5000));
    QVERIFY(!h.start());
    QCOMPARE(h.platform.box.texts(), QStringList{"程序已运行!"});
    QCOMPARE(h.platform.term.count, 1);
    holder.kill();
    holder.waitForFinished();
}

void TestStartup::corruptDatabaseEndsTheProgram()
{
    Harness h;
    h.setIni("maker/site", "http://127.0.0.1:1/parcelio/");
    QDir().mkpath(h.appDir() + "/db");
    QFile f(h.appDir() + "/db/kd100.mdb");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("this is not a database, just some text that fills the first page.......");
    f.close();
    QVERIFY(!h.start());
    QCOMPARE(h.platform.box.texts(),
             QStringList{"数据库链接出错!请到官网下载原版!\r\n \r\nTesmarParcelio官方网站："
                         "http://127.0.0.1:1/parcelio/"});
    QCOMPARE(h.platform.box.shown[0].icon, MessageBox::Information);
    QCOMPARE(h.platform.webOpener.opened, QStringList{"http://127.0.0.1:1/parcelio/"});
    QCOMPARE(h.platform.term.count, 1);
    QCOMPARE(h.platform.term.lastStatus, 1);

    // A sound SQLite file that is not ours is refused the same way, untouched.
    Harness other;
    QDir().mkpath(other.appDir() + "/db");
    {
        SecondConnection db(other.appDir() + "/db/kd100.mdb");
        QVERIFY(db.isOpen());
        QVERIFY(db.exec("create table notes (body text)"));
    }
    const QByteArray before = [&] {
        QFile g(other.appDir() + "/db/kd100.mdb");
        return g.open(QIODevice::ReadOnly) ? g.readAll() : QByteArray();
    }();
    QVERIFY(!other.start());
    QVERIFY(other.platform.box.texts().value(0).startsWith("数据库链接出错!"));
    QCOMPARE(other.platform.term.lastStatus, 1);
    QFile g(other.appDir() + "/db/kd100.mdb");
    QVERIFY(g.open(QIODevice::ReadOnly));
    QCOMPARE(g.readAll(), before);
}

void TestStartup::columnsKeepTheirWidths()
{
    Harness h;
    h.allPanels = true; // reaches into panels it has not opened
    QVERIFY(h.start());
    for (QTreeWidget *list :
         {static_cast<QTreeWidget *>(h.w().ListView1), static_cast<QTreeWidget *>(h.w().ListView2)}) {
        QHeaderView *header = list->header();
        QList<int> before;
        for (int i = 0; i < header->count(); ++i)
            before << header->sectionSize(i);
        // Drag the first divider and double-click it, as a user would.
        const int divider = header->sectionViewportPosition(1) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(divider, y));
        QTest::mouseMove(header->viewport(), QPoint(divider + 60, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(divider + 60, y));
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(divider, y));
        QList<int> after;
        for (int i = 0; i < header->count(); ++i)
            after << header->sectionSize(i);
        QCOMPARE(after, before);
    }
    QCOMPARE(h.w().ListView1->header()->sectionSize(0), 60);
    QCOMPARE(h.w().ListView1->header()->sectionSize(2), 500);
    QCOMPARE(h.w().ListView2->header()->sectionSize(1), 180);
}

void TestStartup::idleResetAfterBusyState()
{
    Harness h;
    QVERIFY(h.start());
    Form1 &w = h.w();
    w.AniGIF1->show();
    w.Timer1->start();
    w.Text1->setEnabled(false);
    w.ListView1->setEnabled(false);
    w.setMenuEnabled(false);
    w.ShowPanel(0);
    w.ShowPanel(4);
    w.csh();
    QVERIFY(!w.AniGIF1->isVisible());
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(w.Text1->isEnabled() && w.ListView1->isEnabled());
    for (int i = 1; i <= 7; ++i)
        QVERIFY(w.Image2(i)->isEnabled());
    for (int i = 0; i <= 4; ++i)
        QVERIFY(!w.kdmenu(i)->isVisible());
    QCOMPARE(w.Label11(2)->text(), QString("程序初始化完毕.."));
}

void TestStartup::skinFileTintsThePalette()
{
    QTemporaryDir dir;
    QFile f(dir.path() + "/skinh.she");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("; comment line\nwindow = #ff0000 ; red\nbutton=#808080\nnonsense\ntext = notacolour\n");
    f.close();
    QCOMPARE(parseSkin("window = #ff0000\n; x = #000000\nbad").size(), 1);

    QWidget w;
    PaletteSkin skin;
    skin.attach(&w, dir.path() + "/skinh.she", QString());
    QCOMPARE(w.palette().color(QPalette::Window).name(), QString("#ff0000"));
    skin.adjustHSV(120, 0, 0);
    QCOMPARE(w.palette().color(QPalette::Window).name(), QString("#00ff00"));
    // Greys have no hue to turn.
    QCOMPARE(w.palette().color(QPalette::Button).name(), QString("#808080"));
    QCOMPARE(tintColour(QColor("#ff0000"), 0, -40, 0).name(), QString("#ff6666"));
    QCOMPARE(tintColour(QColor("#ff0000"), 0, 0, -100).name(), QString("#000000"));

    QWidget other;
    const QColor before = other.palette().color(QPalette::Window);
    PaletteSkin missing;
    missing.attach(&other, dir.path() + "/nope.she", QString());
    missing.adjustHSV(85, -40, 0);
    QVERIFY(!missing.attached());
    QCOMPARE(other.palette().color(QPalette::Window), before);
}

void TestStartup::messageBoxShowsTextAsText()
{
    // Goods text in a question: markup and links are shown, never rendered.
    const QString goods = QStringLiteral("<a href=\"file:///etc/passwd\">书</a><img src=\"x.png\">");
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        format = box->textFormat();
        shown = box->text();
        box->reject();
    });
    RealMessageBox().show(nullptr, goods, QStringLiteral("提示"), MessageBox::Information, MessageBox::YesNo);
    QCOMPARE(shown, goods);
    QCOMPARE(format, Qt::PlainText);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
