// The program on the desktop: the tray on a private session bus with a
// stand-in tray host, the notifications' actions, the news a command hands
// to a running window, and the autostart entry. Runs under Xvfb (Qt offers
// the D-Bus tray on X11 only) on a bus of its own (see CMakeLists.txt).
#include "app/Features.h"
#include "watch/BookWatchPanel.h"
#include "app/Autostart.h"
#include "app/Language.h"
#include "platform/Notifications.h"
#include "book/Stage.h"
#include "app/Desktop.h"
#include "app/Features.h"
#include "support/BusStandIn.h"
#include "support/Harness.h"
#include "support/StandIn.h"

#include <QClipboard>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

namespace {
const QString TrayHostEnv = QStringLiteral("PARCELIO_TRAYHOST");

// The title and text of an item's ToolTip property, as a tray host reads it.
QString trayToolTip(const QString &item)
{
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    const QString service = slash < 0 ? item : item.left(slash);
    const QString path = slash < 0 ? QStringLiteral("/StatusNotifierItem") : item.mid(slash);
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("ToolTip");
    const QDBusReply<QDBusVariant> reply = QDBusConnection::sessionBus().call(get, QDBus::BlockWithGui, 5000);
    if (!reply.isValid())
        return QStringLiteral("<no reply: %1>").arg(reply.error().message());
    // (s a(iiay) s s): icon name, pixmaps, title, text.
    const QDBusArgument arg = reply.value().variant().value<QDBusArgument>();
    QString icon, title, text;
    arg.beginStructure();
    arg >> icon;
    arg.beginArray();
    while (!arg.atEnd()) {
        int w = 0, h = 0;
        QByteArray data;
        arg.beginStructure();
        arg >> w >> h >> data;
        arg.endStructure();
    }
    arg.endArray();
    arg >> title >> text;
    arg.endStructure();
    return title + QLatin1Char('|') + text;
}

// With PARCELIO_SHOTS=DIR, the window as it looks now goes to DIR/name.png,
// to be looked at by a person.
void shoot(QWidget &w, const QString &name)
{
    const QString dir = qEnvironmentVariable("PARCELIO_SHOTS");
    if (!dir.isEmpty())
        w.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QStringList actionsOf(const QJsonObject &call)
{
    QStringList out;
    for (const QJsonValue &v : call[QStringLiteral("actions")].toArray())
        out << v.toString();
    return out;
}

void invoke(const QJsonObject &call, const QString &action)
{
    QDBusInterface sink(QStringLiteral("org.freedesktop.Notifications"),
                        QStringLiteral("/org/freedesktop/Notifications"),
                        QStringLiteral("org.freedesktop.Notifications"));
    sink.call(QStringLiteral("Invoke"), uint(call[QStringLiteral("id")].toInt()), action);
}
} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void trayKeepsWatching();
    void noTrayHost();
    void handedNewsAndActions();
    void autostartEntry();
    void englishEverywhere(); // last: it leaves the English translation installed

private:
    bool onPrivateBus() const { return qgetenv("PARCELIO_PRIVATE_BUS") == "1"; }
    QTemporaryDir config;
    std::unique_ptr<BusStandIn> trayHost;
};

void TestDesktop::initTestCase()
{
    // The autostart entry goes here, never into the user's own folder.
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (onPrivateBus() && qEnvironmentVariable("PARCELIO_TRAYHOST") != QLatin1String("none")) {
        trayHost = std::make_unique<BusStandIn>(QString::fromLocal8Bit(qgetenv("PARCELIO_TRAYWATCHER_PATH")));
        QVERIFY(trayHost->ready);
    }
}

void TestDesktop::trayKeepsWatching()
{
    if (!trayHost)
        QSKIP("needs the private session bus and the stand-in tray host that CTest starts");
    Harness h;
    h.setIni(QStringLiteral("desktop/tray"), QStringLiteral("on"));
    // Queries fail at once: the kept progress stands in.
    h.setIni(QStringLiteral("tracking/host"), QStringLiteral("127.0.0.1:1"));
    QVERIFY(h.startSeeded(
        "insert into kd100 (id, number, goods, company, num) values "
        "(1, '700000000001', '相机', '中通快递', '1'), (2, '700000000002', '书', '中通快递', '1'),"
        "(3, '700000000003', '鞋', '中通快递', '1');\n"
        "insert into progress (id, events, queried, state, unseen) values "
        "(1, '[[\"2026-12-01 10:00:00\",\"到达杭州\"]]', '2026-12-01 10:05:00', 'transit', 1),"
        "(2, '[[\"2026-12-01 10:00:00\",\"到达上海\"]]', '2026-12-01 10:05:00', 'transit', 1),"
        "(3, '[[\"2026-12-02 10:00:00\",\"已到达文一路菜鸟驿站,请及时取件\"]]', '2026-12-02 10:05:00', 'station', 0);\n"));
    Form1 &w = h.w();
    QVERIFY(control<QCheckBox>(w, QStringLiteral("closeToTrayBox"))->isChecked());
    QVERIFY(w.features().desktop().inTray());

    // Registered with the tray host, with the count of parcels with news.
    QTRY_COMPARE(trayHost->lines().size(), 1);
    const QString item = QString::fromUtf8(trayHost->lines().first());
    QTRY_VERIFY2(trayToolTip(item).contains(QStringLiteral("2 个快递有新进展")) &&
                     trayToolTip(item).contains(QStringLiteral("1 个快递待取件")),
                 qPrintable(trayToolTip(item)));
    // Seeing one parcel's news lowers the count.
    QVERIFY(h.passUpdateCheck());
    w.setListIndex(0);
    // The failed query ends by the watchdog's count.
    QTRY_VERIFY_WITH_TIMEOUT(w.Text1->isEnabled(), 20000);
    QTRY_VERIFY2(trayToolTip(item).contains(QStringLiteral("1 个快递有新进展")),
                 qPrintable(trayToolTip(item)));

    // The window manager's close and the close label hide the window; the
    // program and its book watch go on.
    QVERIFY(!w.close());
    QVERIFY(!w.isVisible());
    QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
    control<QMenu>(w, QStringLiteral("trayMenu"))
        ->findChild<QAction *>(QStringLiteral("trayShow"))
        ->trigger();
    QTRY_VERIFY(w.isVisible());
    w.Label2_MouseUp(2);
    QVERIFY(!w.isVisible());
    QCOMPARE(h.platform.term.count, 0);
    w.features().bookWatchPanel().bookWatchBox->setChecked(true);
    QVERIFY(w.features().bookWatchPanel().bookWatchTimer->isActive());
    // 退出 ends the program as the close label did without the tray.
    control<QMenu>(w, QStringLiteral("trayMenu"))
        ->findChild<QAction *>(QStringLiteral("trayQuit"))
        ->trigger();
    QCOMPARE(h.platform.term.count, 1);
    QCOMPARE(h.platform.term.lastStatus, 0);

    // Switched off, the icon goes and closing ends the program again.
    w.showNormal();
    control<QCheckBox>(w, QStringLiteral("closeToTrayBox"))->setChecked(false);
    QVERIFY(!w.features().desktop().inTray());
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());
    w.Label2_MouseUp(2);
    QCOMPARE(h.platform.term.count, 2);
    QCOMPARE(w.store().watchSetting(QStringLiteral("tray")), QStringLiteral("否"));
}

void TestDesktop::noTrayHost()
{
    if (trayHost || !onPrivateBus())
        QSKIP("runs where no tray host is on the bus (PARCELIO_TRAYHOST=none)");
    Harness h;
    QVERIFY(h.start());
    Form1 &w = h.w();
    control<QCheckBox>(w, QStringLiteral("closeToTrayBox"))->setChecked(true);
    // The switch says there is no tray and stays off; closing ends the program.
    QVERIFY(!control<QCheckBox>(w, QStringLiteral("closeToTrayBox"))->isChecked());
    QVERIFY(!w.features().desktop().inTray());
    QVERIFY2(w.status().contains(QStringLiteral("没有托盘")), qPrintable(w.status()));
    QCOMPARE(w.store().watchSetting(QStringLiteral("tray")), QString());
    w.Label2_MouseUp(2);
    QCOMPARE(h.platform.term.count, 1);
}

void TestDesktop::handedNewsAndActions()
{
    if (!onPrivateBus())
        QSKIP("needs the private session bus that CTest starts (dbus-run-session)");
    QTemporaryDir fixtures;
    {
        QDir().mkpath(fixtures.filePath(QStringLiteral("tracking")));
        QFile f(fixtures.filePath(QStringLiteral("tracking/700000000001.json")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            R"({"errCode":"0","message":"","data":[{"time":"2026-12-05 12:00:00","context":"[杭州]已到达文一路菜鸟驿站"},)"
            R"({"time":"2026-12-05 09:00:00","context":"已揽收"}]})");
    }
    StandIn standIn(fixtures.path());
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    NotifySink sink;
    QVERIFY(sink.ready);

    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    h.setIni(QStringLiteral("watch/pause_ms"), QStringLiteral("0"));
    // The command's clock is the real one: the fixture's days-old events
    // would bring reminders beside the news.
    h.setIni(QStringLiteral("watch/pickup_remind_days"), QStringLiteral("0"));
    h.setIni(QStringLiteral("watch/quiet_days"), QStringLiteral("0"));
    DesktopNotifications desktop;
    h.platform.notifier = &desktop;
    QVERIFY(h.startSeeded(
        "insert into kd100 (id, number, goods, company, num) values "
        "(1, '700000000002', '书', '中通快递', '0'), (2, '700000000001', '相机', '中通快递', '0');\n"
        "insert into parcel_life (id, code) values (2, '8-3-1024');\n"));
    Form1 &w = h.w();
    QVERIFY(h.passUpdateCheck());
    // A second book, as the window's was before the round.
    QTemporaryDir other;
    QVERIFY(QDir().mkpath(other.filePath(QStringLiteral("db"))));
    QVERIFY(QFile::copy(h.appDir() + QStringLiteral("/db/kd100.mdb"),
                        other.filePath(QStringLiteral("db/kd100.mdb"))));
    QVERIFY(QFile::copy(h.appDir() + QStringLiteral("/parcelio.ini"),
                        other.filePath(QStringLiteral("parcelio.ini"))));
    QVERIFY(
        QFile::copy(h.appDir() + QStringLiteral("/skinh.she"), other.filePath(QStringLiteral("skinh.she"))));

    // The window offers itself on the bus a moment after it starts.
    QTRY_VERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(QString::fromLatin1(AppId)));
    auto refresh = [](const QString &bookDir) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PARCELIO_PROGRAM_DIR"), bookDir);
        cli.setProcessEnvironment(env);
        cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        cli.start(QStringLiteral(PARCELIO_APP_DIR "/parcelio-cli"), {QStringLiteral("refresh")});
        // The window answers the command from this event loop.
        if (!QTest::qWaitFor([&cli] { return cli.state() == QProcess::NotRunning; }, 20000))
            return -1;
        return cli.exitCode();
    };
    QCOMPARE(refresh(h.appDir()), 0);
    QTRY_COMPARE(sink.calls().size(), 1);
    const QJsonObject handed = sink.calls().at(0);
    QCOMPARE(handed[QStringLiteral("body")].toString(),
             QStringLiteral("相机 (待取件)\n2026-12-05 12:00:00 [杭州]已到达文一路菜鸟驿站"));
    QCOMPARE(actionsOf(handed), (QStringList{QStringLiteral("default"), QStringLiteral("查看"),
                                             QStringLiteral("view"), QStringLiteral("查看"),
                                             QStringLiteral("copy-number"), QStringLiteral("复制单号"),
                                             QStringLiteral("copy-pickup"), QStringLiteral("复制取件码")}));
    // The list marks the news the command found.
    QTRY_VERIFY(w.Text1->model()->index(1, 0).data(Qt::FontRole).value<QFont>().bold());
    // Any program on the bus may call the window.
    auto callWindow = [&h](const QStringList &ids) {
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(AppId), QStringLiteral("/Window"),
                                                           QStringLiteral("cn.tesmar.parcelio.Window"),
                                                           QStringLiteral("News"));
        call << h.appDir() << ids;
        QDBusConnection::sessionBus().call(call, QDBus::BlockWithGui, 20000);
    };
    // Unseen news is told once, however its id is spelt and however often
    // the call comes.
    callWindow({QStringLiteral("02"), QStringLiteral(" 2"), QStringLiteral("+2"), QStringLiteral("002")});
    callWindow({QStringLiteral("2")});
    // The window tells within the call: once every notification it handed
    // over is answered, the sink has logged all there is.
    desktop.waitForAnswers(5000);
    QCOMPARE(sink.calls().size(), 1);

    // 复制单号 and 复制取件码 put the number and the code on the clipboard;
    // 查看 brings that parcel up.
    invoke(handed, QStringLiteral("copy-number"));
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("700000000001"));
    invoke(handed, QStringLiteral("copy-pickup"));
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("8-3-1024"));
    w.showMinimized();
    invoke(handed, QStringLiteral("view"));
    QTRY_COMPARE(w.Text1->currentIndex(), 1);
    QTRY_VERIFY(w.Text1->isEnabled());
    QVERIFY(!w.isMinimized());
    QCOMPARE(w.ListView1->topLevelItemCount(), 2);

    // 5,000 copies of the id of a parcel whose news was seen tell nothing.
    callWindow(QStringList(5000, QStringLiteral("2")));
    desktop.waitForAnswers(5000);
    QCOMPARE(sink.calls().size(), 1);

    // A round of a book no window keeps is told plainly, without actions.
    QCOMPARE(refresh(other.path()), 0);
    QTRY_COMPARE(sink.calls().size(), 2);
    QCOMPARE(actionsOf(sink.calls().at(1)), QStringList());
    QCOMPARE(sink.calls().at(1)[QStringLiteral("summary")].toString(),
             QStringLiteral("快递有最新进展"));

    // Another program holding the window's name answers the command: not
    // the window on this book, so the command tells its news itself.
    QVERIFY(QDBusConnection::sessionBus().unregisterService(QString::fromLatin1(AppId)));
    QProcess impostor;
    impostor.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--impostor")});
    QVERIFY(impostor.waitForReadyRead(10000) && impostor.readLine().trimmed() == "ready");
    {
        QFile f(fixtures.filePath(QStringLiteral("tracking/700000000001.json")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            R"({"errCode":"0","message":"","data":[{"time":"2026-12-06 08:00:00","context":"[杭州]驿站已通知取件"},)"
            R"({"time":"2026-12-05 12:00:00","context":"[杭州]已到达文一路菜鸟驿站"},)"
            R"({"time":"2026-12-05 09:00:00","context":"已揽收"}]})");
    }
    QCOMPARE(refresh(h.appDir()), 0);
    QTRY_COMPARE(sink.calls().size(), 3);
    QCOMPARE(actionsOf(sink.calls().at(2)), QStringList());
    impostor.kill();
    impostor.waitForFinished();
}

void TestDesktop::autostartEntry()
{
    Harness h;
    QVERIFY(h.start());
    Form1 &w = h.w();
    const QString entry = config.filePath(QStringLiteral("autostart/cn.tesmar.parcelio.desktop"));
    QCOMPARE(autostartPath(), entry);
    QVERIFY(!control<QCheckBox>(w, QStringLiteral("startWithDesktopBox"))->isChecked());
    control<QCheckBox>(w, QStringLiteral("startWithDesktopBox"))->setChecked(true);
    w.ShowPanel(1);
    shoot(w, QStringLiteral("settings"));
    QFile f(entry);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    QVERIFY2(text.contains(QStringLiteral("Exec=") +
                           QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("parcelio")) +
                           QStringLiteral(" --hidden\n")),
             qPrintable(text));
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {entry});
    QVERIFY(validate.waitForFinished(10000));
    QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
    // A program folder holding the characters the Exec key escapes twice.
    QVERIFY(writeAutostart(QStringLiteral("/opt/a \"b\" `c` $d \\e 50%/parcelio")));
    validate.start(QStringLiteral("desktop-file-validate"), {entry});
    QVERIFY(validate.waitForFinished(10000));
    QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
    QVERIFY(writeAutostart(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("parcelio"))));
    // A window started later finds the switch on; turned off, the entry goes.
    h.form.reset();
    QVERIFY(h.start());
    QVERIFY(control<QCheckBox>(h.w(), QStringLiteral("startWithDesktopBox"))->isChecked());
    control<QCheckBox>(h.w(), QStringLiteral("startWithDesktopBox"))->setChecked(false);
    QVERIFY(!QFileInfo::exists(entry));
}

void TestDesktop::englishEverywhere()
{
    QVERIFY(installTranslation(qApp, Language::English, QStringLiteral(PARCELIO_APP_DIR "/translations")));
    StandIn standIn;
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    Harness h;
    h.allPanels = true;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    // After a query of a parcel waiting at a station, the window's every
    // text is looked at: its header, its station line, the list's marks.
    QVERIFY(h.startSeeded("insert into kd100 (id, number, goods, company, num) values "
                          "(1, '100000000008', '书包', '中通快递', '0'), (2, '100000000001', 'b', '中通快递', '0');\n"));
    Form1 &w = h.w();
    QVERIFY(h.passUpdateCheck());
    w.setListIndex(0);
    QTRY_VERIFY(!w.Timer1->isActive() && w.ListView1->topLevelItemCount() > 0 && w.Text1->isEnabled());
    QCOMPARE(w.Label12(2)->text(), QStringLiteral("Waiting for pickup"));
    QVERIFY(control<Label>(w, QStringLiteral("stationLine"))->isVisible());
    w.listSearchHits(false, false, QStringLiteral("书包"));
    w.addSentinelEntries(); // as after a search: the way back to the book
    for (int i = 0; i < 5; ++i) {
        w.hideAllPanels();
        w.ShowPanel(i);
        shoot(w, QStringLiteral("en-panel%1").arg(i));
    }
    w.hideAllPanels();
    shoot(w, QStringLiteral("en-window"));

    // Every text the program shows of its own; what the user or the
    // couriers wrote (goods, numbers, courier names) is theirs.
    static const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    const QStringList data{QStringLiteral("Text1"), QStringLiteral("Text3"), QStringLiteral("ListView2"),
                           QStringLiteral("Sendmail")};
    // What the service and the book hold is shown as written: the courier's
    // name, the event, the station named in it.
    const QString event = w.ListView1->topLevelItemCount() > 0 ? w.ListView1->topLevelItem(0)->text(2) : QString();
    const QStringList stored{w.CurrentParcel.company, event, pickupStationOf(event).station};
    QStringList untranslated;
    auto check = [&](const QObject *o, const QString &what, QString text) {
        for (const QString &d : stored)
            if (!d.isEmpty())
                text.remove(d);
        if (text.contains(chinese))
            untranslated << o->objectName() + QLatin1Char(' ') + what + QStringLiteral(": ") + text;
    };
    check(&w, QStringLiteral("title"), w.windowTitle());
    for (const QWidget *c : w.findChildren<QWidget *>()) {
        if (data.contains(c->objectName()) || c->objectName().startsWith(QStringLiteral("Label20")))
            continue;
        check(c, QStringLiteral("tooltip"), c->toolTip());
        if (const auto *l = qobject_cast<const QLabel *>(c))
            check(c, QStringLiteral("text"), l->text());
        if (const auto *b = qobject_cast<const QAbstractButton *>(c))
            check(c, QStringLiteral("text"), b->text());
        if (const auto *g = qobject_cast<const QGroupBox *>(c))
            check(c, QStringLiteral("title"), g->title());
        if (const auto *e = qobject_cast<const QLineEdit *>(c))
            check(c, QStringLiteral("text"), e->text() + e->placeholderText());
        if (const auto *box = qobject_cast<const QComboBox *>(c))
            for (int i = 0; i < box->count(); ++i)
                check(c, QStringLiteral("entry"), box->itemText(i));
        if (const auto *tree = qobject_cast<const QTreeWidget *>(c))
            for (int i = 0; i < tree->columnCount(); ++i)
                check(c, QStringLiteral("column"), tree->headerItem()->text(i));
    }
    // The list's own entries (those of no parcel) and its marks.
    for (int i = 0; i < w.Text1->count(); ++i) {
        const QModelIndex at = w.Text1->model()->index(i, 0);
        check(w.Text1, QStringLiteral("mark"), at.data(Qt::ToolTipRole).toString());
        if (!at.data(Qt::UserRole).isValid())
            check(w.Text1, QStringLiteral("entry"), w.Text1->itemText(i));
    }
    QVERIFY(w.Text1->count() > 2);
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));

    // The program's help, and a command's, in an English locale.
    for (const QStringList &args : {QStringList{QStringLiteral("--help")},
                                    QStringList{QStringLiteral("help"), QStringLiteral("add")}}) {
        QProcess help;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        help.setProcessEnvironment(env);
        help.start(QStringLiteral(PARCELIO_APP_DIR "/parcelio"), args);
        QVERIFY(help.waitForFinished(10000));
        QCOMPARE(help.exitCode(), 0);
        const QString text = QString::fromUtf8(help.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("Usage")), qPrintable(text));
        QStringList lines;
        for (const QString &line : text.split(QLatin1Char('\n')))
            if (line.contains(chinese))
                lines << line;
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
    }
}

namespace {
// Takes the window's name on the bus and says yes to every command.
class Impostor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "cn.tesmar.parcelio.Window")
public slots:
    bool News(const QString &, const QStringList &) { return true; }
};

int impostorProcess(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Impostor impostor;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/Window"), &impostor, QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QString::fromLatin1(AppId)))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
} // namespace

QTEST_MAIN_WRAPPER(TestDesktop, if (argc == 2 && qstrcmp(argv[1], "--impostor") == 0) return impostorProcess(argc, argv);
                   QTEST_MAIN_SETUP())
#include "test_desktop.moc"
