// The update check after load and the clock calibration, against the
// stand-in services. The machine's clock is never touched: the calibration
// sets the test double.
#include "BuildDate.h"
#include "support/Harness.h"
#include "support/StandIn.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <ctime>

namespace {
const char *const Books[] = {
    "",
    "insert into kd100 (id, number, goods, company, num) values (1, '100000000001', '书', '中通快递', '0'),"
    " (2, '100000000002', '衣服', '中通快递', '0');\n"};
} // namespace

class TestNet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void updateCheck_data();
    void updateCheck();
    void clockCalibration_data();
    void clockCalibration();
    void clockSetFromFreshReading();
    void secondClickWhileCalibrating();
    void repliesBoundedAndKeptOnTheirHost();

private:
    // Writes a fixture file; a null content removes it.
    void fixture(const QString &name, const QByteArray &content);
    static void pointAt(Harness &h, StandIn &s);
    QTemporaryDir fixtures;
};

void TestNet::initTestCase()
{
    // A computer far from China, half an hour off a whole hour: the clock
    // must still be set to China's wall-clock time.
    qputenv("TZ", "America/St_Johns");
    tzset();
}

void TestNet::init()
{
    // Every case starts from a current version and plain replies.
    fixture(QStringLiteral("version/gx.txt"), "V5.4");
    for (const char *file : {"version/gx.status", "version/gx.type", "data/tg.type", "head-dates.txt",
                             "probe.delay", "head.delay", "version/gx.stream", "data/tg.stream"})
        fixture(QString::fromLatin1(file), QByteArray());
}

void TestNet::fixture(const QString &name, const QByteArray &content)
{
    const QString path = fixtures.filePath(name);
    QFile::remove(path);
    if (content.isNull())
        return;
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
}

void TestNet::pointAt(Harness &h, StandIn &s)
{
    h.setIni(QStringLiteral("maker/host"), s.host());
    h.setIni(QStringLiteral("clock/probe"), s.url(QStringLiteral("/probe")).toString());
    h.setIni(QStringLiteral("clock/timeserver"), s.url(QStringLiteral("/time")).toString());
}

void TestNet::updateCheck_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("versionStatus");
    QTest::addColumn<QByteArray>("versionType");
    QTest::addColumn<QByteArray>("notice");
    QTest::addColumn<QByteArray>("noticeType");
    QTest::addColumn<int>("book"); // index into Books
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("noticeFields"); // caption, URL

    const QString failed = QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版");
    const QString none = QStringLiteral("程序已加载完毕,当前没有快递单。");
    const QByteArray login = "<!DOCTYPE html><html><title>登录 | 校园网</title><body>请登录</body></html>";
    QTest::newRow("current, two parcels, notice with extra field")
        << QByteArray("V5.4") << QByteArray() << QByteArray() << QByteArray("每日提示|http://n.test/a|x|y")
        << QByteArray() << 1 << QString() << QStringLiteral("程序已加载完毕,当前共有2个快递单。")
        << QStringList{QStringLiteral("每日提示"), QStringLiteral("http://n.test/a")};
    // A login page in place of the notice must not become the mail's link.
    QTest::newRow("current, empty book, notice is a login page")
        << QByteArray("V5.4") << QByteArray() << QByteArray() << login << QByteArray("text/html") << 0
        << QString() << none << QStringList{QString(), QString()};
    QTest::newRow("no version file") << QByteArray() << QByteArray() << QByteArray() << QByteArray("a|b")
                                     << QByteArray() << 0 << failed << none
                                     << QStringList{QString(), QString()};
    QTest::newRow("error page in plain text")
        << QByteArray("Service Unavailable") << QByteArray("503") << QByteArray() << QByteArray("a|b")
        << QByteArray() << 0 << failed << none << QStringList{QString(), QString()};
    QTest::newRow("login page") << login << QByteArray() << QByteArray("text/html; charset=utf-8")
                                << QByteArray("a|b") << QByteArray() << 1 << failed
                                << QStringLiteral("程序已加载完毕,当前共有2个快递单。")
                                << QStringList{QString(), QString()};
    QTest::newRow("version with a line break is newer")
        << QByteArray("V5.4\r\n") << QByteArray() << QByteArray() << QByteArray("a|b") << QByteArray() << 0
        << QStringLiteral("发现最新版本![V5.4\r\n]\r\n \r\n确定后自动打开官方网站!")
        << QStringLiteral("程序已加载完毕...") << QStringList{QString(), QString()};
}

void TestNet::updateCheck()
{
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, versionStatus);
    QFETCH(QByteArray, versionType);
    QFETCH(QByteArray, notice);
    QFETCH(QByteArray, noticeType);
    QFETCH(int, book);
    QFETCH(QString, box);
    QFETCH(QString, status);
    QFETCH(QStringList, noticeFields);
    fixture(QStringLiteral("version/gx.txt"), version);
    fixture(QStringLiteral("version/gx.status"), versionStatus);
    fixture(QStringLiteral("version/gx.type"), versionType);
    fixture(QStringLiteral("data/tg.txt"), notice);
    fixture(QStringLiteral("data/tg.type"), noticeType);

    StandIn s(fixtures.path());
    QVERIFY(s.isRunning());
    Harness h;
    h.allPanels = true; // reaches into panels it has not opened
    pointAt(h, s);
    QVERIFY(h.startSeeded(Books[book]));
    Form1 &w = h.w();
    w.setMenuEnabled(false);
    w.Text1->setEnabled(false);
    QVERIFY(h.passUpdateCheck());

    QCOMPARE(h.platform.box.texts(), box.isEmpty() ? QStringList() : QStringList{box});
    QCOMPARE(w.status(), status);
    const bool newer = box.startsWith(QStringLiteral("发现"));
    const bool current = box.isEmpty();
    if (!box.isEmpty())
        QCOMPARE(int(h.platform.box.shown[0].icon),
                 int(newer ? MessageBox::Information : MessageBox::Warning));
    // A newer version opens the maker's site and ends the program at once.
    QCOMPARE(h.platform.term.count, newer ? 1 : 0);
    QCOMPARE(h.platform.webOpener.opened, newer ? QStringList{w.config().site} : QStringList());
    QCOMPARE(w.Image2(4)->isEnabled() && w.Text1->isEnabled(), !newer);
    if (!newer)
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.ListView1));

    // The add panel opens only for an empty book with the current version.
    Panel *panel = w.kdmenu(0);
    QCOMPARE(panel->isVisible(), current && book == 0);
    if (panel->isVisible()) {
        QCOMPARE(panel->geometry().center(), w.rect().center());
        QVERIFY(w.Text3->currentText().isEmpty() && w.Text2->text().isEmpty());
        QVERIFY(w.Command1(13)->isDefault());
    }

    QCOMPARE(s.countRequests(QStringLiteral("/data/tg.txt")), current ? 1 : 0);
    QCOMPARE(w.noticeText.isEmpty(), !current || notice.startsWith('<'));
    QCOMPARE((QStringList{w.noticeCaption, w.noticeUrl}), noticeFields);
}

namespace {
// The day this program was built: no true reading is earlier.
const QDate Built = QDate::fromString(QStringLiteral(PARCELIO_BUILD_DATE), Qt::ISODate);

// A Date header for that day (UTC), days after the build.
QByteArray dateLine(int days, const char *time)
{
    const QDateTime at(Built.addDays(days), QTime::fromString(QString::fromLatin1(time)), QTimeZone::utc());
    return QLocale::c().toString(at, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'")).toLatin1() + '\n';
}

// China's wall-clock time, days after the build, as this computer shows it.
QString wall(int days, const char *time)
{
    return Built.addDays(days).toString(Qt::ISODate) + QLatin1Char(' ') + QString::fromLatin1(time);
}
} // namespace

void TestNet::clockCalibration_data()
{
    QTest::addColumn<QByteArray>("dates"); // one Date per HEAD request
    QTest::addColumn<bool>("online");
    QTest::addColumn<int>("outcome"); // what the system answers
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("agree");  // the answer to a question
    QTest::addColumn<QString>("set"); // what the clock was asked to show
    QTest::addColumn<QStringList>("boxes");

    const QString ok = QStringLiteral("时间校对成功!");
    const QString incomplete = QStringLiteral("时间校对失败!未能从网络取得完整的时间,系统时间未更改。");
    const QString untrusted = QStringLiteral("时间校对失败,服务器时间不可信");
    const QByteArray evening = dateLine(0, "20:10:05");
    const QString later = wall(1, "04:10:05");
    QTest::newRow("eight hours later, past midnight")
        << evening + evening + evening << true << int(SystemClock::Set) << QString() << false << later
        << QStringList{ok};
    // The date belongs to the same reading as the time.
    QTest::newRow("midnight between readings")
        << dateLine(0, "15:59:59") + dateLine(0, "15:59:59") + dateLine(0, "16:00:01") << true
        << int(SystemClock::Set) << QString() << false << wall(1, "00:00:01") << QStringList{ok};
    QTest::newRow("a reading without Date") << evening + "none\n" + evening << true << int(SystemClock::Set)
                                            << QString() << false << QString() << QStringList{incomplete};
    QTest::newRow("a Date that does not parse")
        << evening + evening + dateLine(0, "20:10:05").replace("20:10:05", "25:10:05") << true
        << int(SystemClock::Set) << QString() << false << QString() << QStringList{incomplete};
    QTest::newRow("change refused") << evening + evening + evening << true << int(SystemClock::Refused)
                                    << QStringLiteral("Operation not permitted") << false << later
                                    << QStringList{
                                           QStringLiteral("时间校对失败!系统拒绝更改时间,系统时间未更改。"
                                                          "\r\nOperation not permitted")};
    QTest::newRow("offline") << evening + evening + evening << false << int(SystemClock::Set) << QString()
                             << false << QString()
                             << QStringList{QStringLiteral("时间校准功能需要联网操作!")};
    // Readings that cannot all be true leave the clock alone.
    QTest::newRow("readings of 2026, 2090 and 1971")
        << evening + "Sun, 01 Jan 2090 00:00:00 GMT\nFri, 01 Jan 1971 00:00:00 GMT\n"
        << true << int(SystemClock::Set) << QString() << true << QString() << QStringList{untrusted};
    QTest::newRow("a minute apart") << evening + evening + dateLine(0, "20:11:05") << true
                                    << int(SystemClock::Set) << QString() << true << QString()
                                    << QStringList{untrusted};
    const QByteArray before = dateLine(-1, "20:10:05");
    QTest::newRow("before the program was built") << before + before + before << true << int(SystemClock::Set)
                                                  << QString() << true << QString() << QStringList{untrusted};
    // More than a day away: set only when the user agrees to the time shown.
    const QByteArray future = "Sun, 01 Jan 2090 00:00:00 GMT\n";
    const QString question =
        QStringLiteral("服务器时间与本机时间相差超过一天。\r\n是否将系统时间设为 2090-01-01 08:00:00 ?");
    QTest::newRow("2090, not agreed") << future + future + future << true << int(SystemClock::Set)
                                      << QString() << false << QString() << QStringList{question};
    QTest::newRow("2090, agreed") << future + future + future << true << int(SystemClock::Set) << QString()
                                  << true << QStringLiteral("2090-01-01 08:00:00")
                                  << QStringList{question, ok};
}

void TestNet::clockCalibration()
{
    QFETCH(QByteArray, dates);
    QFETCH(bool, online);
    QFETCH(int, outcome);
    QFETCH(QString, reason);
    QFETCH(bool, agree);
    QFETCH(QString, set);
    QFETCH(QStringList, boxes);
    fixture(QStringLiteral("head-dates.txt"), dates);

    StandIn s(fixtures.path());
    QVERIFY(s.isRunning());
    Harness h;
    pointAt(h, s);
    if (!online) // nothing answers at all
        h.setIni(QStringLiteral("clock/probe"), QStringLiteral("http://127.0.0.1:1/"));
    QVERIFY(h.startSeeded(Books[1]));
    h.w().Timer3->stop(); // the update check is not under test here
    h.platform.systemClockDouble.answer = {SystemClock::Outcome(outcome), reason};
    // This computer's clock a few minutes off the server's evening reading.
    h.platform.clockDouble.current = QDateTime(Built.addDays(1), QTime(4, 2));
    h.platform.box.setNextAnswer(agree ? MessageBox::AnswerYes : MessageBox::AnswerNo);
    Form1 &w = h.w();
    w.Command3->click();

    QCOMPARE(h.platform.box.texts(), boxes);
    QCOMPARE(h.platform.box.shown[0].title, QStringLiteral("提示"));
    const bool asked = boxes.first().startsWith(QStringLiteral("服务器时间"));
    QCOMPARE(h.platform.box.shown[0].buttons, asked ? MessageBox::YesNo : MessageBox::Ok);
    QCOMPARE(h.platform.systemClockDouble.sets, set.isEmpty() ? QStringList() : QStringList{set});
    // Three readings, in order, whenever the network is there; none without.
    QStringList heads;
    for (const QString &line : s.requests())
        if (line.startsWith(QStringLiteral("HEAD\t")))
            heads << line.section(QLatin1Char('\t'), 1, 1);
    QCOMPARE(heads, online ? QStringList(3, QStringLiteral("/time")) : QStringList());
    QVERIFY(w.Command3->isEnabled());
}

void TestNet::clockSetFromFreshReading()
{
    fixture(QStringLiteral("head-dates.txt"), dateLine(0, "20:10:05").repeated(3));
    fixture(QStringLiteral("head.delay"), "300");
    StandIn s(fixtures.path());
    QVERIFY(s.isRunning());
    Harness h;
    pointAt(h, s);
    QVERIFY(h.startSeeded(Books[1]));
    h.platform.clockDouble.current = QDateTime(Built.addDays(1), QTime(4, 2));
    Form1 &w = h.w();
    w.Timer3->stop(); // the update check is not under test here
    // Once the third reading is out, a handler holds the window for 2.5 s
    // (as a message box or a mail would), and the answer arrives meanwhile.
    QTimer watch;
    bool held = false;
    connect(&watch, &QTimer::timeout, &w, [&] {
        if (held || s.countRequests(QStringLiteral("/time")) < 3)
            return;
        held = true;
        QTest::qWait(2500);
    });
    watch.start(10);
    w.ShowPanel(1);
    w.Command3->click();
    QVERIFY(held);
    // The clock shows the server's time when it is set, not when it answered.
    QCOMPARE(h.platform.systemClockDouble.sets.size(), 1);
    const QDateTime set = QDateTime::fromString(h.platform.systemClockDouble.sets[0], "yyyy-MM-dd hh:mm:ss");
    const qint64 late = QDateTime::fromString(wall(1, "04:10:05"), "yyyy-MM-dd hh:mm:ss").secsTo(set);
    QVERIFY2(late >= 2 && late <= 4, qPrintable(h.platform.systemClockDouble.sets[0]));
}

void TestNet::secondClickWhileCalibrating()
{
    fixture(QStringLiteral("probe.delay"), "400");
    StandIn s(fixtures.path());
    QVERIFY(s.isRunning());
    Harness h;
    pointAt(h, s);
    QVERIFY(h.startSeeded(Books[1]));
    Form1 &w = h.w();
    w.Timer3->stop(); // the update check is not under test here
    w.ShowPanel(1);
    bool disabledDuringProbe = false;
    // While the probe is out the window keeps handling events, clicks too.
    QTimer::singleShot(150, &w, [&] {
        disabledDuringProbe = !w.Command3->isEnabled();
        QTest::mouseClick(w.Command3, Qt::LeftButton);
    });
    QTest::mouseClick(w.Command3, Qt::LeftButton);

    QVERIFY(disabledDuringProbe);
    QCOMPARE(s.countRequests(QStringLiteral("/probe")), 1);
    QCOMPARE(h.platform.systemClockDouble.sets.size(), 1);
    QCOMPARE(h.platform.box.texts(), QStringList{QStringLiteral("时间校对成功!")});
    QVERIFY(w.Command3->isEnabled());
}

void TestNet::repliesBoundedAndKeptOnTheirHost()
{
    StandIn s(fixtures.path());
    QVERIFY(s.isRunning());
    StandIn elsewhere; // another port of the same machine is another host
    QVERIFY(elsewhere.isRunning());
    // A version file far larger than a version.
    fixture(QStringLiteral("version/gx.stream"), "2048");
    fixture(QStringLiteral("data/tg.txt"), "每日提示|http://n.test/a");
    Harness h;
    pointAt(h, s);
    h.setIni(QStringLiteral("tracking/host"), s.host());
    QVERIFY(h.startSeeded(Books[1]));
    Form1 &w = h.w();
    QVERIFY(h.passUpdateCheck());
    QCOMPARE(h.platform.box.texts(), QStringList{QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版")});

    // A notice far larger than a caption and a link is no notice.
    fixture(QStringLiteral("version/gx.stream"), QByteArray());
    fixture(QStringLiteral("data/tg.stream"), QByteArray::number(64 * 1024));
    w.Timer3_Timer();
    QCOMPARE(h.platform.box.texts().size(), 1);
    QVERIFY(w.noticeText.isEmpty());

    // Any reply over 4 MiB is abandoned as it streams in.
    fixture(QStringLiteral("tracking/100000000003.stream"), QByteArray::number(5 * 1024 * 1024));
    QElapsedTimer took;
    took.start();
    QVERIFY(
        w.GetBody(trackingUrlOf(w.config(), w.CurrentParcel.code, QStringLiteral("100000000003"))).isEmpty());
    QVERIFY(took.elapsed() < 10000);

    // A HEAD reply tells the size of what a GET would bring and brings none
    // of it: no size is too large for it.
    fixture(QStringLiteral("head.stream"), QByteArray::number(5 * 1024 * 1024));
    const HttpReply head = w.fetch(s.url(QStringLiteral("/probe")).toString(), 10000, true);
    QVERIFY(head.answered);
    QVERIFY(!head.date.isEmpty());
    fixture(QStringLiteral("head.stream"), QByteArray());

    // A redirect is followed on the same host only.
    fixture(QStringLiteral("tracking/100000000004.status"), "302");
    fixture(QStringLiteral("tracking/100000000004.location"),
            elsewhere.url(QStringLiteral("/probe")).toEncoded());
    QVERIFY(
        w.GetBody(trackingUrlOf(w.config(), w.CurrentParcel.code, QStringLiteral("100000000004"))).isEmpty());
    QCOMPARE(elsewhere.countRequests(QStringLiteral("/")), 0);
    fixture(QStringLiteral("tracking/100000000005.status"), "302");
    fixture(QStringLiteral("tracking/100000000005.location"), s.url(QStringLiteral("/probe")).toEncoded());
    QVERIFY(w.GetBody(trackingUrlOf(w.config(), w.CurrentParcel.code, QStringLiteral("100000000005")))
                .contains(QStringLiteral("Parcelio")));
}

QTEST_MAIN(TestNet)
#include "test_net.moc"
