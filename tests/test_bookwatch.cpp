// The book watch: a background round over the saved parcels, the kept
// progress it and every other successful query leave, the news it brings
// (mail, sound, desktop notification) and the database upgrade that made
// room for it. Runs on a private session bus (see CMakeLists.txt).
#include "app/Features.h"
#include "watch/BookWatchPanel.h"
#include "watch/QueryFallback.h"
#include "book/ParcelListModel.h"
#include "platform/Notifications.h"
#include "support/BookFiles.h"
#include "support/BookRows.h"
#include "support/BusStandIn.h"
#include "support/Harness.h"
#include "support/MailSink.h"
#include "support/StandIn.h"
#include "watch/BookWatch.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <optional>

namespace {
QString events(const QStringList &contexts)
{
    // Newest first, one hour apart, ending on 2026-12-05 12:00.
    QStringList rows;
    QDateTime t(QDate(2026, 12, 5), QTime(12, 0));
    for (const QString &c : contexts) {
        rows << QStringLiteral("{\"time\":\"%1\",\"context\":\"%2\"}")
                    .arg(t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), c);
        t = t.addSecs(-3600);
    }
    return QStringLiteral("{\"errCode\":\"0\",\"message\":\"\",\"data\":[") + rows.join(QLatin1Char(',')) +
           QStringLiteral("]}");
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString kept(Form1 &w, qint64 id)
{
    const auto p = w.store().progressOf(id);
    if (!p)
        return QStringLiteral("-");
    QStringList c;
    for (const KeptEvent &e : p->events)
        c << e.context;
    return stateWords(p->status) + QLatin1Char(':') + c.join(QLatin1Char('|')) +
           (p->unseen ? QStringLiteral(":new") : QString());
}

// A round in a process of its own, to be killed: the book of appDir against
// the tracking service at host, one line with a parcel's id on stdout once
// its answer is committed.
int roundProcess(const char *appDir, const char *host)
{
    int argc = 1;
    char name[] = "round";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    Store store;
    if (store.open(QString::fromLocal8Bit(appDir)) != Store::OpenResult::Ok)
        return 2;
    Config cfg;
    cfg.trackingHost = QString::fromLocal8Bit(host);
    cfg.watchPauseMs = 0;
    BookWatch watch(store, cfg, [] { return QDateTime::currentDateTime(); });
    QObject::connect(&watch, &BookWatch::checked, [](qint64 id, const EntryState &) {
        std::printf("%lld\n", id);
        std::fflush(stdout);
    });
    QObject::connect(&watch, &BookWatch::roundFinished, &app, &QCoreApplication::quit);
    if (!watch.startRound())
        return 3;
    return app.exec();
}
} // namespace

class TestBookWatch : public QObject {
    Q_OBJECT
private slots:
    void roundOverTheBook();
    void failedQueryShowsKeptProgress();
    void oldDatabaseUpgradedNewerRefused();
    void killedMidRoundLeavesWholeRows();
    void newsOfTheAskedNumberToldOnce();
    void remindersToldOnce();
    void notificationMarkupAsTheServerSays();
};

void TestBookWatch::roundOverTheBook()
{
    if (qgetenv("PARCELIO_PRIVATE_BUS") != "1")
        QSKIP("needs the private session bus that CTest starts (dbus-run-session)");
    QTemporaryDir fixtures;
    const QString t = fixtures.filePath(QStringLiteral("tracking/"));
    // 701: one new event; 702: signed, kept as signed, never asked;
    // 703: never queried, two events; 704: the shown parcel, no change;
    // 705: a failure code; 706: a reply cut off; 707: never answers;
    // 708: the service's own words in HTML, with status 500; 709: well-formed
    // events, but more than 4 MiB of them; 710: no change.
    write(t + "700000000001.json", events({"[杭州]派件中", "到达杭州", "已揽收"}).toUtf8());
    write(t + "700000000003.json", events({"到达上海", "已揽收"}).toUtf8());
    write(t + "700000000004.json", events({"到达北京", "已揽收"}).toUtf8());
    write(t + "700000000005.json", R"({"errCode":"5","message":"busy"})");
    write(t + "700000000006.json", R"({"errCode":"0","data":[{"time":"2026-12-05 12:00:00","context":"到达)");
    write(t + "700000000007.never", "");
    write(t + "700000000008.json", events({"到达成都", "a", "b", "c"}).toUtf8());
    write(t + "700000000008.status", "500");
    {
        QStringList many;
        for (int i = 0; i < 40000; ++i)
            many << QStringLiteral("[杭州]第%1站到达转运中心,下一站杭州转运中心,快件正在运输途中").arg(i);
        const QByteArray big = events(many).toUtf8();
        QVERIFY(big.size() > 4 * 1024 * 1024);
        write(t + "700000000009.json", big);
    }
    write(t + "700000000010.json", events({"到达武汉", "已揽收"}).toUtf8());
    for (const char *n : {"700000000001", "700000000003", "700000000004", "700000000005"})
        write(t + n + QStringLiteral(".delay"), "150");
    StandIn standIn(fixtures.path());
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    MailSink mail;
    QVERIFY(mail.isRunning());
    std::optional<NotifySink> sinkProcess(std::in_place);
    NotifySink &notifySink = *sinkProcess;
    QVERIFY(notifySink.ready);

    Harness h;
    h.allPanels = false;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    h.setIni(QStringLiteral("mail/relay"), mail.host());
    h.setIni(QStringLiteral("mail/tls"), QStringLiteral("off")); // a local relay without TLS
    h.setIni(QStringLiteral("watch/pause_ms"), QStringLiteral("300"));
    DesktopNotifications notifications;
    h.platform.notifier = &notifications;
    // An hour after the newest events: no parcel has waited long enough
    // for a reminder.
    h.platform.clockDouble.current = QDateTime(QDate(2026, 12, 5), QTime(13, 0));
    QVERIFY(h.startSeeded(
        "insert into kd100 (id, number, goods, company, num) values "
        "(1, '700000000001', '相机', '中通快递', '2'), (2, '700000000002', '书', '中通快递', '3'),"
        "(3, '700000000003', '鞋', '中通快递', '0'), (4, '700000000004', '衣服', '中通快递', '2'),"
        "(5, '700000000005', '茶叶', '中通快递', '1'), (6, '700000000006', '灯', '中通快递', '0'),"
        "(7, '700000000007', '伞', '中通快递', '0'), (8, '700000000008', '锅', '中通快递', '0'),"
        "(9, '700000000009', '碗', '中通快递', '0'), (10, '700000000010', '筷', '中通快递', '2');\n"
        "insert into progress (id, events, queried, state) values "
        "(2, '[[\"2026-12-01 10:00:00\",\"已签收\"]]', '2026-12-01 10:05:00', 'signed'),"
        "(5, '[[\"2026-12-01 09:00:00\",\"到达广州\"]]', '2026-12-01 09:30:00', 'transit');\n"));
    Form1 &w = h.w();
    QVERIFY(h.passUpdateCheck());
    w.Check3->setChecked(true);
    w.Check2->setChecked(true);
    w.Sendmail->setText(QStringLiteral("me@example.com"));
    w.features().bookWatchPanel().watch()->limitMs = 1500;

    // The user's own parcel, shown before the round.
    w.setListIndex(3);
    QTRY_COMPARE(w.ListView1->topLevelItemCount(), 2);
    QTRY_VERIFY(w.Text1->isEnabled());
    const QString status = w.status();
    const int boxes = int(h.platform.box.shown.size());
    const int before = standIn.countRequests(QStringLiteral("/?"));

    QList<qint64> sent;
    QList<qint64> gaps; // from the end of one request to the start of the next
    QElapsedTimer clock;
    clock.start();
    qint64 lastEnd = -1;
    int overlaps = 0; // a request that went out while another was still open
    connect(w.features().bookWatchPanel().watch(), &BookWatch::requestSent, this, [&](qint64 id) {
        if (lastEnd >= 0)
            gaps << clock.elapsed() - lastEnd;
        else if (lastEnd == -2)
            ++overlaps;
        lastEnd = -2;
        sent << id;
    });
    connect(w.features().bookWatchPanel().watch(), &BookWatch::requestEnded, this, [&](qint64) { lastEnd = clock.elapsed(); });

    w.features().bookWatchPanel().bookWatchNowButton->click();
    QVERIFY(w.features().bookWatchPanel().watch()->running());
    QVERIFY(!w.features().bookWatchPanel().watch()->startRound()); // never two at once
    QTRY_VERIFY_WITH_TIMEOUT(!w.features().bookWatchPanel().watch()->running(), 20000);

    // Exactly the parcels under way, in book order, one at a time, paced.
    QCOMPARE(sent, (QList<qint64>{1, 3, 4, 5, 6, 7, 8, 9, 10}));
    QCOMPARE(standIn.countRequests(QStringLiteral("/?")) - before, 9);
    QVERIFY(!standIn.requests().join(QLatin1Char('\n')).contains(QStringLiteral("nu=700000000002")));
    QCOMPARE(overlaps, 0);
    QCOMPARE(gaps.size(), 8);
    for (qint64 g : gaps)
        QVERIFY2(g >= 280 && g < 1500, qPrintable(QString::number(g)));
    const RoundSummary s = w.features().bookWatchPanel().watch()->lastRound();
    QCOMPARE(s.asked, 9);
    QCOMPARE(s.news, 2);
    // Code 5, no answer, status 500, too large (the cut-off one holds no event).
    QCOMPARE(s.failed, 4);

    // What each answer left: progress and counts only from good replies.
    QCOMPARE(kept(w, 1), QStringLiteral("派件中:[杭州]派件中|到达杭州|已揽收:new"));
    QCOMPARE(kept(w, 3), QStringLiteral("运送中:到达上海|已揽收:new"));
    QCOMPARE(kept(w, 4), QStringLiteral("运送中:到达北京|已揽收"));
    QCOMPARE(kept(w, 5), QStringLiteral("运送中:到达广州"));
    QCOMPARE(kept(w, 6), QStringLiteral("-"));
    QCOMPARE(kept(w, 8), QStringLiteral("-"));
    QCOMPARE(kept(w, 9), QStringLiteral("-"));
    QCOMPARE(kept(w, 10), QStringLiteral("运送中:到达武汉|已揽收"));
    QCOMPARE(w.store().parcelById(1)->num, QStringLiteral("3"));
    QCOMPARE(w.store().parcelById(3)->num, QStringLiteral("2"));
    QCOMPARE(w.store().parcelById(6)->num, QStringLiteral("0"));
    QCOMPARE(w.store().parcelById(9)->num, QStringLiteral("0"));

    // The window as the user left it: no box, same parcel, same status line.
    QCOMPARE(w.Text1->currentIndex(), 3);
    QCOMPARE(w.status(), status);
    QCOMPARE(w.ListView1->topLevelItemCount(), 2);
    QCOMPARE(int(h.platform.box.shown.size()), boxes);

    // One sound, one mail and one notification per news.
    QCOMPARE(h.platform.player.played.size(), 2);
    QTRY_COMPARE(mail.messages().size(), 2);
    QVERIFY(mail.messages().at(0)[QStringLiteral("subject")].toString().contains(QStringLiteral("【相机】")));
    QVERIFY(mail.messages().at(1)[QStringLiteral("subject")].toString().contains(QStringLiteral("【鞋】")));
    QTRY_COMPARE(notifySink.calls().size(), 2);
    const QJsonObject first = notifySink.calls().at(0);
    QCOMPARE(first[QStringLiteral("summary")].toString(), QStringLiteral("快递有最新进展"));
    QCOMPARE(first[QStringLiteral("body")].toString(),
             QStringLiteral("相机\n2026-12-05 12:00:00 [杭州]派件中"));
    QCOMPARE(first[QStringLiteral("app_icon")].toString(), QStringLiteral("parcelio"));

    // The list tells news and signed parcels apart; the texts stay the goods.
    auto *model = qobject_cast<ParcelListModel *>(w.Text1->model());
    QCOMPARE(w.Text1->itemText(0), QStringLiteral("相机"));
    QVERIFY(model->index(0).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!model->index(1).data(Qt::FontRole).isValid());
    QCOMPARE(model->index(1).data(Qt::ForegroundRole).value<QColor>(), QColor(150, 150, 150));
    QVERIFY(!model->index(3).data(Qt::ForegroundRole).isValid());

    // Choosing the second notification shows that parcel, and its news is seen.
    QDBusInterface sinkBus(QStringLiteral("org.freedesktop.Notifications"),
                           QStringLiteral("/org/freedesktop/Notifications"),
                           QStringLiteral("org.freedesktop.Notifications"));
    sinkBus.call(QStringLiteral("Invoke"), uint(notifySink.calls().at(1)[QStringLiteral("id")].toInt()),
                 QStringLiteral("default"));
    QTRY_COMPARE(w.Text1->currentIndex(), 2);
    QTRY_VERIFY(w.Text1->isEnabled());
    QCOMPARE(w.ListView1->topLevelItemCount(), 2);
    QCOMPARE(kept(w, 3), QStringLiteral("运送中:到达上海|已揽收"));
    QVERIFY(!model->index(2).data(Qt::FontRole).isValid());

    // The next round leaves out what is now known as signed.
    write(t + "700000000003.json", events({"已签收,感谢使用", "到达上海", "已揽收"}).toUtf8());
    // A query of the user's own goes first: the round waits for it.
    sent.clear();
    lastEnd = -1;
    // Twice told the user's query runs (the second time after the round's
    // own wait), it has still asked nothing.
    int looked = 0;
    const std::function<bool()> userBusy = w.features().bookWatchPanel().watch()->userBusy;
    w.features().bookWatchPanel().watch()->userBusy = [&looked, userBusy] {
        ++looked;
        return userBusy();
    };
    w.features().queryFallback().userQueries = 1;
    QVERIFY(w.features().bookWatchPanel().watch()->startRound());
    QTRY_VERIFY(looked >= 2);
    QVERIFY(sent.isEmpty());
    w.features().bookWatchPanel().watch()->userBusy = userBusy;
    w.features().queryFallback().userQueries = 0;
    QTRY_VERIFY_WITH_TIMEOUT(!w.features().bookWatchPanel().watch()->running(), 20000);
    QCOMPARE(sent.size(), 9);
    QCOMPARE(kept(w, 3).left(3), QStringLiteral("已签收"));
    sent.clear();
    QVERIFY(w.features().bookWatchPanel().watch()->startRound());
    QTRY_VERIFY_WITH_TIMEOUT(!w.features().bookWatchPanel().watch()->running(), 20000);
    QVERIFY(!sent.contains(3) && !sent.contains(2) && sent.contains(1));
    // Signed in this round: told once, as news naming it, by mail too.
    QCOMPARE(notifySink.calls().size(), 3);
    QTRY_COMPARE(mail.messages().size(), 3);
    QCOMPARE(notifySink.calls().at(2)[QStringLiteral("body")].toString().section(QLatin1Char('\n'), 0, 0),
             w.Text1->itemText(2) + QStringLiteral(" (已签收)"));

    // News of the shown parcel found by the user's own query: the desktop
    // hears of it only while the window is not the active one.
    w.activateWindow();
    QTRY_VERIFY(w.isActiveWindow());
    write(t + "700000000004.json", events({"[北京]派件中", "到达北京", "已揽收"}).toUtf8());
    w.setListIndex(3);
    QTRY_COMPARE(w.ListView1->topLevelItemCount(), 3);
    QTRY_VERIFY(w.Text1->isEnabled());
    QCOMPARE(w.store().parcelById(4)->num, QStringLiteral("3"));
    // The query told its news before it let the list go: once every
    // notification handed over is answered, the sink has logged all there is.
    notifications.waitForAnswers(5000);
    QCOMPARE(notifySink.calls().size(), 3);
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QTRY_VERIFY(!w.isActiveWindow());
    write(t + "700000000004.json",
          events({"[北京]快件再次派送", "[北京]派件中", "到达北京", "已揽收"}).toUtf8());
    w.setListIndex(3);
    QTRY_COMPARE(w.ListView1->topLevelItemCount(), 4);
    QTRY_COMPARE(notifySink.calls().size(), 4);
    QCOMPARE(notifySink.calls().at(3)[QStringLiteral("body")].toString(),
             QStringLiteral("衣服\n2026-12-05 12:00:00 [北京]快件再次派送"));

    // With no notification service on the bus a round's news still gets
    // its count, its sound and its mail, and the window goes on.
    sinkProcess.reset();
    const qsizetype played = h.platform.player.played.size();
    const qsizetype mailed = mail.messages().size();
    write(t + "700000000001.json",
          events({"[杭州]快件再次派送", "[杭州]派件中", "到达杭州", "已揽收"}).toUtf8());
    QVERIFY(w.features().bookWatchPanel().watch()->startRound());
    QTRY_VERIFY_WITH_TIMEOUT(!w.features().bookWatchPanel().watch()->running(), 20000);
    QCOMPARE(w.features().bookWatchPanel().watch()->lastRound().news, 1);
    QCOMPARE(w.store().parcelById(1)->num, QStringLiteral("4"));
    QCOMPARE(h.platform.player.played.size(), played + 1);
    QTRY_COMPARE(mail.messages().size(), mailed + 1);
    QVERIFY(
        mail.messages().last()[QStringLiteral("subject")].toString().contains(QStringLiteral("【相机】")));
    w.setListIndex(0);
    QTRY_COMPARE(w.ListView1->topLevelItemCount(), 4);
    QTRY_VERIFY(w.Text1->isEnabled());
}

void TestBookWatch::failedQueryShowsKeptProgress()
{
    QTemporaryDir fixtures;
    const QString t = fixtures.filePath(QStringLiteral("tracking/"));
    write(t + "700000000001.json", events({"到达杭州", "已揽收"}).toUtf8());
    StandIn standIn(fixtures.path());
    QVERIFY(standIn.isRunning());
    Harness h;
    h.allPanels = false;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    QVERIFY(h.startSeeded("insert into kd100 (id, number, goods, company, num) values "
                          "(1, '700000000001', '相机', '中通快递', '0');\n"));
    Form1 &w = h.w();
    QVERIFY(h.passUpdateCheck());
    w.setListIndex(0);
    QTRY_COMPARE(w.ListView1->topLevelItemCount(), 2);
    QTRY_VERIFY(w.Text1->isEnabled());
    const auto stored = w.store().progressOf(1);
    QVERIFY(stored && stored->events.size() == 2);
    const QString at = stored->queried.toString(QStringLiteral("yyyy-MM-dd hh:mm"));

    // A failure code, an unreadable answer, an empty list: shown as before,
    // with the time of the kept query; what is kept stays.
    const QList<QByteArray> bad = {R"({"errCode":"5"})", "<html>login</html>",
                                   R"({"errCode":"0","data":[]})"};
    const QStringList reasons = {QStringLiteral("程序执行错误!请稍后再试.. "),
                                 QStringLiteral("查询结果无法识别,请稍后再试.. "), QString()};
    for (int i = 0; i < bad.size(); ++i) {
        write(t + "700000000001.json", bad.at(i));
        w.setListIndex(0);
        QTRY_VERIFY(w.Text1->isEnabled());
        if (i < 2) {
            QCOMPARE(w.status(),
                     reasons.at(i) + QStringLiteral("以下为") + at + QStringLiteral("查询的结果.."));
            QCOMPARE(w.ListView1->topLevelItemCount(), 2);
            QCOMPARE(w.ListView1->topLevelItem(0)->text(2), QStringLiteral("到达杭州"));
            QVERIFY(w.ListView1->topLevelItem(0)->font(2).bold());
            QCOMPARE(w.Label12(2)->text(), QStringLiteral("运送中"));
        }
        QCOMPARE(w.store().progressOf(1)->events.size(), 2);
    }

    // No answer at all: once the watchdog has spoken, the kept events are shown.
    QVERIFY(QFile::remove(t + "700000000001.json"));
    write(t + "700000000001.never", "");
    w.requestLimitMs = 1500;
    QTimer::singleShot(300, &w, [&w] {
        for (int i = 0; i < 10; ++i)
            w.Timer7_Timer();
    });
    w.setListIndex(0);
    QVERIFY(h.platform.box.texts().last().startsWith(QStringLiteral("程序自动检测快递异常!")));
    QCOMPARE(w.status(), QStringLiteral("以下为") + at + QStringLiteral("查询的结果.."));
    QCOMPARE(w.ListView1->topLevelItemCount(), 2);
    QVERIFY(QFile::remove(t + "700000000001.never"));

    // The edit panel's clearing and the deletion take the kept progress along.
    QVERIFY(w.store().resetParcel(1));
    QVERIFY(!w.store().progressOf(1));
    write(t + "700000000001.json", events({"到达杭州"}).toUtf8());
    w.setListIndex(0);
    QTRY_VERIFY(w.store().progressOf(1));
    QVERIFY(w.store().deleteParcel(1));
    QVERIFY(!w.store().progressOf(1));
    QVERIFY(!w.store().saveProgress(KeptProgress{1, {{"a", "b"}}, QDateTime::currentDateTime(), Status::InTransit, false}));

    // The switch and the interval come back at the next start.
    w.features().bookWatchPanel().bookWatchBox->setChecked(true);
    w.features().bookWatchPanel().bookWatchInterval->setCurrentIndex(6);
    h.form.reset();
    QVERIFY(h.start());
    QVERIFY(h.w().features().bookWatchPanel().bookWatchBox->isChecked() && h.w().features().bookWatchPanel().bookWatchTimer->isActive());
    QCOMPARE(h.w().features().bookWatchPanel().bookWatchInterval->currentText(), QStringLiteral("24小时"));
    QCOMPARE(h.w().features().bookWatchPanel().bookWatchTimer->interval(), 24 * 3600 * 1000);
    // After a round, the line says when the next one runs, as the timer counts.
    h.w().features().bookWatchPanel().bookWatchNowButton->click();
    QTRY_VERIFY(h.w().features().bookWatchPanel().bookWatchStatus->text().startsWith(QStringLiteral("上次刷新")));
    // The timer started a moment ago: its minute may be the one before now's.
    const QDateTime day = QDateTime::currentDateTime().addSecs(24 * 3600);
    const QString line = h.w().features().bookWatchPanel().bookWatchStatus->text();
    QVERIFY2(line.endsWith(QStringLiteral(",下次") + day.toString(QStringLiteral("hh:mm"))) ||
                 line.endsWith(QStringLiteral(",下次") + day.addSecs(-60).toString(QStringLiteral("hh:mm"))),
             qPrintable(line));
}

void TestBookWatch::oldDatabaseUpgradedNewerRefused()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("db")));
    const QString file = dir.filePath(QStringLiteral("db/kd100.mdb"));
    auto exec = [&](const QStringList &sql) {
        SecondConnection db(file);
        QVERIFY(db.isOpen());
        for (const QString &s : sql)
            QVERIFY2(db.exec(s), qPrintable(s));
    };
    // A file as the versions before kept progress made it.
    QFile schema(QStringLiteral(PARCELIO_SOURCE_DIR "/resources/sql/schema.sql"));
    QVERIFY(schema.open(QIODevice::ReadOnly));
    QStringList old = QString::fromUtf8(schema.readAll()).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    old.removeIf([](const QString &s) { return !s.contains(QStringLiteral("create table")); });
    for (QString &s : old)
        s = s.mid(s.indexOf(QStringLiteral("create table")));
    old << QStringLiteral("insert into kd100 (number, goods, company, num) values ('1', '甲', 'EMS', '4'), "
                          "('2', '乙', 'EMS', '')")
        << QStringLiteral("insert into setting values ('是','否','否','否','否','否','否','a@b.cn')");
    exec(old);

    {
        Store s;
        QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
        QCOMPARE(allParcels(s).size(), 2);
        QCOMPARE(allParcels(s).at(0).num, QStringLiteral("4"));
        QCOMPARE(s.settings()->address, QStringLiteral("a@b.cn"));
        QCOMPARE(s.watchTargets().size(), 2);
        QVERIFY(s.saveProgress(KeptProgress{1, {{"t", "c"}}, QDateTime::currentDateTime(), Status::InTransit, false}));
    }
    {
        SecondConnection db(file);
        QVERIFY(db.isOpen());
        QSqlQuery q(db.database());
        QVERIFY(q.exec(QStringLiteral("pragma user_version")) && q.next());
        QCOMPARE(q.value(0).toInt(), Store::SchemaVersion);
        q.finish();
    }

    // A newer program's file is refused and left as it was.
    exec({QStringLiteral("pragma user_version = 7")});
    const QByteArray bytes = [&] {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    {
        Store s;
        QCOMPARE(s.open(dir.path()), Store::OpenResult::TooNew);
    }
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);

    // The window says why and ends.
    Harness h;
    h.allPanels = false;
    QDir().mkpath(h.appDir() + QStringLiteral("/db"));
    QVERIFY(QFile::copy(file, h.appDir() + QStringLiteral("/db/kd100.mdb")));
    QVERIFY(!h.start());
    QCOMPARE(h.platform.term.count, 1);
    QVERIFY(h.platform.box.texts().last().startsWith(QStringLiteral("数据库由更新版本的程序创建")));
}

void TestBookWatch::killedMidRoundLeavesWholeRows()
{
    // 60 parcels with a count of 1, each answering three events at once but
    // the 40th, which never answers: every answer is news, a count and its
    // progress written together.
    constexpr int Parcels = 60, Stalls = 40;
    QTemporaryDir app, fixtures;
    QString seed = QStringLiteral("insert into kd100 (id, number, goods, company, num) values ");
    for (int i = 1; i <= Parcels; ++i) {
        const QString number = QStringLiteral("7100000000%1").arg(i, 2, 10, QLatin1Char('0'));
        seed += QStringLiteral("%1(%2, '%3', '物品%2', '中通快递', '1')")
                    .arg(i > 1 ? "," : "")
                    .arg(i)
                    .arg(number);
        const QString base = fixtures.filePath(QStringLiteral("tracking/") + number);
        if (i == Stalls)
            write(base + QStringLiteral(".never"), "");
        else
            write(base + QStringLiteral(".json"), events({"到达杭州", "离开上海", "已揽收"}).toUtf8());
    }
    write(app.filePath(QStringLiteral("seed.sql")), (seed + QStringLiteral(";\n")).toUtf8());
    {
        Store s;
        QCOMPARE(s.open(app.path(), app.filePath(QStringLiteral("seed.sql"))), Store::OpenResult::Ok);
        QCOMPARE(s.watchTargets().size(), Parcels);
    }
    StandIn standIn(fixtures.path());
    QVERIFY(standIn.isRunning());

    // Killed while answers are still being written.
    QProcess round;
    round.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    round.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--round"), app.path(), standIn.host()});
    QSet<qint64> committed;
    QElapsedTimer waited;
    waited.start();
    while (committed.size() < 20 && waited.elapsed() < 20000 && round.state() != QProcess::NotRunning) {
        round.waitForReadyRead(100);
        while (round.canReadLine())
            committed.insert(round.readLine().trimmed().toLongLong());
    }
    QVERIFY2(committed.size() >= 20, qPrintable(QString::number(committed.size())));
    QCOMPARE(round.state(), QProcess::Running);
    ::kill(pid_t(round.processId()), SIGKILL);
    QVERIFY(round.waitForFinished(5000));
    QCOMPARE(round.exitStatus(), QProcess::CrashExit);
    while (round.canReadLine())
        committed.insert(round.readLine().trimmed().toLongLong());

    {
        SecondConnection db(app.filePath(QStringLiteral("db/kd100.mdb")));
        QVERIFY(db.isOpen());
        QSqlQuery q(db.database());
        QVERIFY(q.exec(QStringLiteral("pragma integrity_check")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
        q.finish();
    }

    // Every parcel, each either as before or with its whole news: the count
    // and all three events. What was told committed is there.
    Store s;
    QCOMPARE(s.open(app.path()), Store::OpenResult::Ok);
    const QList<ParcelRecord> rows = allParcels(s);
    QCOMPARE(rows.size(), Parcels);
    int written = 0;
    for (const ParcelRecord &r : rows) {
        const auto p = s.progressOf(r.id);
        const QString what = QString::number(r.id) + QLatin1Char(' ') + r.num;
        if (!p) {
            QVERIFY2(r.num == QStringLiteral("1") && !committed.contains(r.id), qPrintable(what));
            continue;
        }
        ++written;
        QVERIFY2(r.num == QStringLiteral("3") && r.id < Stalls, qPrintable(what));
        QCOMPARE(p->events.size(), 3);
        QCOMPARE(p->events.first().context, QStringLiteral("到达杭州"));
        QCOMPARE(p->events.last().time, QStringLiteral("2026-12-05 10:00:00"));
        QCOMPARE(p->status, Status::InTransit);
        QVERIFY(p->unseen && p->queried.isValid());
    }
    QVERIFY(written >= committed.size());
    qInfo("%lld committed as told, %d written at the kill", qint64(committed.size()), written);
}

// "--round APPDIR HOST" runs the round process above instead of the tests.
void TestBookWatch::newsOfTheAskedNumberToldOnce()
{
    QTemporaryDir fixtures;
    const QString t = fixtures.filePath(QStringLiteral("tracking/"));
    write(t + "710000000001.json", events({"到达杭州", "已揽收"}).toUtf8());
    write(t + "710000000002.json", events({"到达上海", "已揽收"}).toUtf8());
    write(t + "710000000003.json", events({"已签收,感谢使用", "已揽收"}).toUtf8());
    for (const char *n : {"710000000001", "710000000002"})
        write(t + n + QStringLiteral(".delay"), "400");
    StandIn standIn(fixtures.path());
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    // A relay that takes its time over each message.
    MailSink mail({QStringLiteral("--delay"), QStringLiteral("1.5")});
    QVERIFY(mail.isRunning());
    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    h.setIni(QStringLiteral("mail/relay"), mail.host());
    h.setIni(QStringLiteral("mail/tls"), QStringLiteral("off"));
    h.setIni(QStringLiteral("watch/pause_ms"), QStringLiteral("50"));
    h.platform.clockDouble.current = QDateTime(QDate(2026, 12, 5), QTime(13, 0)); // no reminder due
    QVERIFY(h.startSeeded(
        "insert into kd100 (id, number, goods, company, num) values "
        "(1, '710000000001', '相机', '中通快递', '1'), (2, '710000000002', '鞋', '中通快递', '2'),"
        "(3, '710000000003', '书', '中通快递', '2');\n"));
    Form1 &w = h.w();
    QVERIFY(h.passUpdateCheck());
    w.Check3->setChecked(true);
    QList<qint64> sent;
    std::function<void(qint64)> onSent;
    connect(w.features().bookWatchPanel().watch(), &BookWatch::requestSent, this, [&](qint64 id) {
        sent << id;
        if (onSent)
            onSent(id);
    });

    // The round's request and the user's own query of the same parcel are
    // out together, and both see its new event: one alert.
    QVERIFY(w.features().bookWatchPanel().watch()->startRound());
    QTRY_VERIFY(sent.contains(1));
    w.setListIndex(0);
    QTRY_VERIFY_WITH_TIMEOUT(!w.features().bookWatchPanel().watch()->running(), 10000);
    QTRY_VERIFY(w.Text1->isEnabled());
    QCOMPARE(w.ListView1->topLevelItemCount(), 2);
    QCOMPARE(w.store().parcelById(1)->num, QStringLiteral("2"));
    QCOMPARE(h.platform.player.played.size(), 1);

    // The number changes while the round asks for the old one: its answer
    // is not the new number's progress, nor its count.
    write(t + "710000000002.json", events({"到达北京", "到达上海", "已揽收"}).toUtf8());
    onSent = [&](qint64 id) {
        if (id == 2)
            QVERIFY(w.store().updateParcel(2, QStringLiteral("中通快递"),
                                           QStringLiteral("鞋"), QStringLiteral("710000000009")));
    };
    QVERIFY(w.features().bookWatchPanel().watch()->startRound());
    QTRY_VERIFY_WITH_TIMEOUT(!w.features().bookWatchPanel().watch()->running(), 10000);
    onSent = nullptr;
    QVERIFY(sent.contains(2));
    QCOMPARE(kept(w, 2), QStringLiteral("-"));
    QCOMPARE(w.store().parcelById(2)->num, QStringLiteral("0"));
    QCOMPARE(w.features().bookWatchPanel().watch()->lastRound().news, 0);
    QCOMPARE(h.platform.player.played.size(), 1);

    // The edit panel gives a signed-for parcel another number: what was
    // kept of the old one goes, and the new number is watched.
    w.setListIndex(2);
    QTRY_VERIFY(w.Text1->isEnabled());
    QCOMPARE(kept(w, 3).left(3), QStringLiteral("已签收"));
    w.buildPanels();
    w.Text4->setText(QStringLiteral("710000000008"));
    w.chooseCourier(w.Command1(8), QStringLiteral("中通快递"));
    w.Text6->setText(QStringLiteral("书"));
    h.platform.box.setNextAnswer(MessageBox::AnswerYes);
    w.changeParcel();
    QTRY_VERIFY(w.Text1->isEnabled());
    QCOMPARE(kept(w, 3), QStringLiteral("-"));
    QCOMPARE(w.store().parcelById(3)->num, QStringLiteral("0"));
    bool watched = false;
    for (const WatchTarget &target : w.store().watchTargets())
        watched = watched || target.id == 3;
    QVERIFY(watched);

    // Marked picked up while the round asks: the delivery it then finds is
    // kept, and not told about a parcel the user already holds.
    write(t + "710000000008.json", events({"已签收,感谢使用", "已揽收"}).toUtf8());
    onSent = [&](qint64 id) {
        if (id == 3)
            QVERIFY(w.store().setPicked(3, h.platform.clockDouble.current));
    };
    const int played = int(h.platform.player.played.size());
    QVERIFY(w.features().bookWatchPanel().watch()->startRound());
    QTRY_VERIFY_WITH_TIMEOUT(!w.features().bookWatchPanel().watch()->running(), 10000);
    onSent = nullptr;
    QVERIFY(sent.contains(3));
    QCOMPARE(kept(w, 3).left(3), QStringLiteral("已签收"));
    QCOMPARE(w.features().bookWatchPanel().watch()->lastRound().news, 0);
    QCOMPARE(h.platform.player.played.size(), played);

    // Closed while a round's news mail is on its way: the window goes at
    // once, and the mail is delivered before the program ends.
    w.Check2->setChecked(true);
    w.Sendmail->setText(QStringLiteral("me@example.com"));
    write(t + "710000000001.json", events({"[杭州]派件中", "到达杭州", "已揽收"}).toUtf8());
    QSignalSpy news(w.features().bookWatchPanel().watch(), &BookWatch::news);
    QVERIFY(w.features().bookWatchPanel().watch()->startRound());
    QTRY_COMPARE_WITH_TIMEOUT(news.size(), 1, 10000);
    QVERIFY(w.isVisible());
    QCOMPARE(mail.messages().size(), 0);
    w.Label2_MouseUp(2);
    QVERIFY(!w.isVisible());
    QCOMPARE(h.platform.term.count, 1);
    QCOMPARE(mail.messages().size(), 1);
    QVERIFY(mail.messages().at(0)[QStringLiteral("subject")].toString().contains(QStringLiteral("【相机】")));
}

void TestBookWatch::remindersToldOnce()
{
    if (qgetenv("PARCELIO_PRIVATE_BUS") != "1")
        QSKIP("needs the private session bus that CTest starts (dbus-run-session)");
    QTemporaryDir fixtures;
    const QString t = fixtures.filePath(QStringLiteral("tracking/"));
    // 1 waits at a station; 2 turns 异常 with news; 3 goes quiet; 4 is 异常
    // without news; 5 waits at a station but was picked up, 6 was archived.
    write(t + "720000000001.json", events({"快件已到达【菜鸟驿站】,请及时取件"}).toUtf8());
    write(t + "720000000002.json", events({"派送失败,客户拒收", "到达杭州"}).toUtf8());
    write(t + "720000000003.json", events({"到达上海", "已揽收"}).toUtf8());
    write(t + "720000000004.json", events({"快件滞留"}).toUtf8());
    StandIn standIn(fixtures.path());
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    MailSink mail;
    QVERIFY(mail.isRunning());
    NotifySink notifySink;
    QVERIFY(notifySink.ready);
    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    h.setIni(QStringLiteral("mail/relay"), mail.host());
    h.setIni(QStringLiteral("mail/tls"), QStringLiteral("off"));
    h.setIni(QStringLiteral("watch/pause_ms"), QStringLiteral("0"));
    DesktopNotifications notifications;
    h.platform.notifier = &notifications;
    h.platform.clockDouble.current = QDateTime(QDate(2026, 12, 8), QTime(13, 0));
    const QString station = QStringLiteral("'[[\"2026-12-01 10:00:00\",\"已到达【菜鸟驿站】,请及时取件\"]]'");
    QVERIFY(h.startSeeded(
        "insert into kd100 (id, number, goods, company, num) values "
        "(1, '720000000001', '伞', '中通快递', '1'), (2, '720000000002', '灯', '中通快递', '1'),"
        "(3, '720000000003', '鞋', '中通快递', '2'), (4, '720000000004', '锅', '中通快递', '1'),"
        "(5, '720000000005', '碗', '中通快递', '1'), (6, '720000000006', '筷', '中通快递', '1');\n"
        "insert into progress (id, events, queried, state) values "
        "(5, " + station.toUtf8() + ", '2026-12-01 10:05:00', 'station'),"
        "(6, " + station.toUtf8() + ", '2026-12-01 10:05:00', 'station');\n"
        "insert into parcel_life (id, picked, archived) values (5, '2026-12-02 10:00:00', ''),"
        " (6, '', '2026-12-02 10:00:00');\n"));
    Form1 &w = h.w();
    QVERIFY(h.passUpdateCheck());
    w.Check3->setChecked(true);
    w.Check2->setChecked(true);
    w.Sendmail->setText(QStringLiteral("me@example.com"));
    auto round = [&] {
        QVERIFY(w.features().bookWatchPanel().watch()->startRound());
        QTRY_VERIFY_WITH_TIMEOUT(!w.features().bookWatchPanel().watch()->running(), 10000);
    };
    auto reminded = [&] {
        QStringList out;
        for (const QJsonObject &c : notifySink.calls())
            if (c[QStringLiteral("summary")].toString() == QStringLiteral("快递提醒"))
                out << c[QStringLiteral("body")].toString().section(QLatin1Char('\n'), 0, 0);
        return out;
    };

    // Three days and an hour at the station, a new 异常 told by its news
    // (marked so), one 异常 without news; quiet for three days is not yet.
    round();
    QTRY_COMPARE(notifySink.calls().size(), 3);
    QCOMPARE(reminded(), (QStringList{QStringLiteral("「伞」已在驿站等待3天,请及时取件"),
                                      QStringLiteral("「锅」出现异常: 快件滞留")}));
    QCOMPARE(notifySink.calls().at(1)[QStringLiteral("body")].toString(),
             QStringLiteral("「伞」已在驿站等待3天,请及时取件\n2026-12-05 12:00:00 快件已到达【菜鸟驿站】,请及时取件"));
    QCOMPARE(notifySink.calls().at(0)[QStringLiteral("body")].toString(),
             QStringLiteral("灯 (异常)\n2026-12-05 12:00:00 派送失败,客户拒收"));
    // One sound for the news, one for the round's reminders; a mail each.
    QCOMPARE(h.platform.player.played.size(), 2);
    QTRY_COMPARE(mail.messages().size(), 3);
    QVERIFY(mail.messages().at(2)[QStringLiteral("subject")].toString().startsWith(QStringLiteral("快递提醒: 「")));

    // The same day again: nothing. The next day: the station again. Three
    // days later: the station, and the quiet parcel once.
    round();
    // A round tells its reminders as it ends; once they are answered the
    // sink has logged all there is.
    notifications.waitForAnswers(5000);
    QCOMPARE(notifySink.calls().size(), 3);
    QCOMPARE(h.platform.player.played.size(), 2);
    h.platform.clockDouble.current = h.platform.clockDouble.current.addDays(1);
    round();
    QTRY_COMPARE(notifySink.calls().size(), 4);
    QCOMPARE(reminded().last(), QStringLiteral("「伞」已在驿站等待4天,请及时取件"));
    h.platform.clockDouble.current = h.platform.clockDouble.current.addDays(3);
    round();
    round();
    QTRY_COMPARE(notifySink.calls().size(), 6);
    notifications.waitForAnswers(5000);
    QCOMPARE(reminded().mid(3), (QStringList{QStringLiteral("「伞」已在驿站等待7天,请及时取件"),
                                             QStringLiteral("「鞋」已7天没有新的物流信息")}));
    QCOMPARE(notifySink.calls().size(), 6);
    QTRY_COMPARE(mail.messages().size(), 6);

    // 已取件 on the station's reminder ends its reminders.
    const QJsonObject waiting = notifySink.calls().at(4);
    QVERIFY(waiting[QStringLiteral("actions")].toArray().contains(QStringLiteral("picked")));
    QDBusInterface sinkBus(QStringLiteral("org.freedesktop.Notifications"),
                           QStringLiteral("/org/freedesktop/Notifications"),
                           QStringLiteral("org.freedesktop.Notifications"));
    sinkBus.call(QStringLiteral("Invoke"), uint(waiting[QStringLiteral("id")].toInt()), QStringLiteral("picked"));
    QTRY_VERIFY(!w.store().lifeOf(1)->picked.isEmpty());
    h.platform.clockDouble.current = h.platform.clockDouble.current.addDays(1);
    round();
    notifications.waitForAnswers(5000);
    QCOMPARE(notifySink.calls().size(), 6);
}

// A body is escaped for a server that reads markup, and only for it: the
// others would show "&lt;i&gt;".
void TestBookWatch::notificationMarkupAsTheServerSays()
{
    if (qgetenv("PARCELIO_PRIVATE_BUS") != "1")
        QSKIP("needs the private session bus that CTest starts (dbus-run-session)");
    const QString body = QStringLiteral("<i>键盘</i> & 鼠标\n到达杭州");
    for (const bool markup : {false, true}) {
        NotifySink sink(markup);
        QVERIFY(sink.ready);
        DesktopNotifications notifications;
        notifications.notify(QStringLiteral("快递有最新进展"), body, 1, {});
        notifications.notify(QStringLiteral("快递有最新进展"), body, 2, {});
        notifications.waitForAnswers(5000);
        QCOMPARE(sink.calls().size(), 2);
        for (const QJsonObject &call : sink.calls())
            QCOMPARE(call[QStringLiteral("body")].toString(), markup ? body.toHtmlEscaped() : body);
    }
    // The server may come later than the window (none at login) or be
    // replaced: the answer is the server's of the moment, so that markup
    // never reaches one that reads it.
    DesktopNotifications lasting;
    lasting.notify(QStringLiteral("快递有最新进展"), body, 3, {});
    lasting.waitForAnswers(5000);
    auto *server = lasting.findChild<QDBusServiceWatcher *>();
    QVERIFY(server);
    for (const bool markup : {false, true}) {
        // Asked once the notifications' own watcher has heard of the new
        // server (the one before may be heard going first).
        QSignalSpy owners(server, &QDBusServiceWatcher::serviceOwnerChanged);
        const auto newServerHeard = [&owners] {
            for (const QList<QVariant> &change : owners)
                if (!change.at(2).toString().isEmpty())
                    return true;
            return false;
        };
        NotifySink sink(markup);
        QVERIFY(sink.ready);
        QTRY_VERIFY(newServerHeard());
        lasting.notify(QStringLiteral("快递有最新进展"), body, 4, {});
        lasting.waitForAnswers(5000);
        QCOMPARE(sink.calls().size(), 1);
        QCOMPARE(sink.calls().at(0)[QStringLiteral("body")].toString(), markup ? body.toHtmlEscaped() : body);
    }
}

QTEST_MAIN_WRAPPER(TestBookWatch,
                   if (argc == 4 && qstrcmp(argv[1], "--round") == 0) return roundProcess(argv[2], argv[3]);
                   QTEST_MAIN_SETUP())

#include "test_bookwatch.moc"
