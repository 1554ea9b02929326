// The command line as a user meets it: the program installed into a
// temporary prefix, run as a process with its data under temporary XDG
// folders, against the stand-in services.
#include "app/Features.h"
#include "watch/BookWatchPanel.h"
#include "app/Config.h"
#include "book/ParcelListModel.h"
#include "support/BookFiles.h"
#include "support/BusStandIn.h"
#include "support/Harness.h"
#include "support/MailSink.h"
#include "support/StandIn.h"
#include "tracking/Reply.h"
#include "watch/BookWatch.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {
struct Run {
    int rc = -1;
    QString out, err;
    QJsonValue json() const
    {
        const QJsonDocument d = QJsonDocument::fromJson(out.toUtf8());
        return d.isArray() ? QJsonValue(d.array()) : QJsonValue(d.object());
    }
};
} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    StandIn standIn;
    QString program;
    QProcessEnvironment env;

    QString dataDir() const { return tmp.path() + "/data/parcelio"; }
    QString dbPath() const { return dataDir() + "/db/kd100.mdb"; }

    // input, when given, is the command's standard input, as a pipe gives it.
    Run run(const QStringList &args, const QProcessEnvironment &with = {}, const QByteArray &input = {})
    {
        QProcess p;
        p.setProcessEnvironment(with.isEmpty() ? env : with);
        p.start(program, args);
        if (!input.isNull()) {
            p.write(input);
            p.closeWriteChannel();
        }
        Run r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QByteArray bookHash()
    {
        QFile f(dbPath());
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                           : QByteArray();
    }
    // On the test's book, or on the book at file.
    void sql(const QString &statement, const QString &file = QString())
    {
        SecondConnection db(file.isEmpty() ? dbPath() : file);
        QVERIFY(db.isOpen());
        QVERIFY2(db.exec(statement), qPrintable(statement));
    }
    void writeIni(const QString &dir, const QString &host)
    {
        QDir().mkpath(dir);
        QFile ini(dir + "/parcelio.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        // The window started here checks for updates and the clock: a
        // closed local port answers those, never the internet.
        ini.write(QStringLiteral("[tracking]\nhost=%1\n[recognition]\nhost=%1\n[watch]\npause_ms=10\n"
                                 "[maker]\nhost=127.0.0.1:1\nsite=http://127.0.0.1:1/\n"
                                 "web=http://127.0.0.1:1/\nhome=http://127.0.0.1:1/\n"
                                 "[clock]\nprobe=http://127.0.0.1:1/\ntimeserver=http://127.0.0.1:1/\n")
                      .arg(host)
                      .toUtf8());
    }

private slots:
    void initTestCase();
    void commandsAndTheirOutput();
    void exitStatusesAndNothingChanged();
    void badInputIsRefused();
    void refreshTellsNewsByStatus();
    void refreshTellsOnTheDesktopAndByMail();
    void repliesBoundedAndKeptOnTheirHost();
    void commandsNeedNoWidgets();
    void besideARunningWindow();
    void windowListFollowsTheCommands();
    void outputIsPlainAndAFailedWriteFails();
    void servicesOfToday();
    void servicesAsDocumented();
    void pickupCodesAndArchive();
};

void TestCli::initTestCase()
{
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    const QString prefix = tmp.path() + "/prefix";
    QProcess install;
    install.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    install.start(PARCELIO_CMAKE, {"--install", PARCELIO_BUILD_DIR, "--prefix", prefix});
    QVERIFY(install.waitForFinished(120000));
    QCOMPARE(install.exitCode(), 0);
    program = prefix + "/bin/parcelio";
    // The timer's service names the installed program.
    QFile service(prefix + "/lib/systemd/user/parcelio-refresh.service");
    QVERIFY(service.open(QIODevice::ReadOnly));
    QVERIFY(service.readAll().contains(("ExecStart=" + program + " refresh").toUtf8()));
    QVERIFY(QFile::exists(prefix + "/lib/systemd/user/parcelio-refresh.timer"));

    env = QProcessEnvironment::systemEnvironment();
    env.remove("PARCELIO_MODULE_DIR"); // the installed layout finds its own
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("XDG_DATA_HOME", tmp.path() + "/data");
    env.insert("XDG_CONFIG_HOME", tmp.path() + "/config");
    writeIni(tmp.path() + "/config/parcelio", standIn.host());
}

void TestCli::repliesBoundedAndKeptOnTheirHost()
{
    StandIn elsewhere; // another port of the same machine is another host
    QVERIFY(elsewhere.isRunning());
    QTemporaryDir fixtures;
    auto fixture = [&](const QString &name, const QByteArray &content) {
        QDir().mkpath(fixtures.filePath("tracking"));
        QFile f(fixtures.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    };
    fixture("tracking/100000000002.stream", QByteArray::number(5 * 1024 * 1024));
    fixture("tracking/100000000004.status", "302");
    fixture("tracking/100000000004.location", elsewhere.url("/probe").toEncoded());
    StandIn s(fixtures.path());
    QVERIFY(s.isRunning());
    QProcessEnvironment own = env;
    own.insert("XDG_CONFIG_HOME", tmp.path() + "/bounded");
    writeIni(tmp.path() + "/bounded/parcelio", s.host());

    const Run large = run({"query", "100000000002", "--company", "中通快递"}, own);
    QCOMPARE(large.rc, 4);
    QVERIFY2(large.err.contains("超过 4 MiB"), qPrintable(large.err));
    const Run moved = run({"query", "100000000004", "--company", "中通快递"}, own);
    QCOMPARE(moved.rc, 4);
    QVERIFY2(moved.err.contains("重定向"), qPrintable(moved.err));
    QCOMPARE(elsewhere.countRequests("/"), 0);
}

void TestCli::commandsAndTheirOutput()
{
    // Help: every command, and the statuses a script checks.
    Run help = run({"--help"});
    QCOMPARE(help.rc, 0);
    for (const char *c : {"list", "query", "add", "remove", "refresh"})
        QVERIFY2(help.out.contains(QStringLiteral("  %1 ").arg(c)), c);
    QVERIFY(help.out.contains("5  数据库无法打开或写入"));
    QVERIFY(run({"help", "add"}).out.startsWith("用法: parcelio add <单号> <物品>"));
    QCOMPARE(run({"query", "-h"}).rc, 0);

    // add: the company from the recognition service, the progress and
    // count kept from the same answer, as the window's add does.
    const int before = standIn.countRequests("/?");
    Run add = run({"add", "100000000003", "爸爸衣服", "--json"});
    QCOMPARE(add.rc, 0);
    const QJsonObject added = add.json().toObject();
    QCOMPARE(added["company"].toString(), QStringLiteral("顺丰快递"));
    QCOMPARE(added["count"], QJsonValue(5)); // a number, as refresh gives it
    QCOMPARE(added["state"].toString(), QStringLiteral("运送中"));
    const qint64 id = added["id"].toInteger();
    QVERIFY(id > 0);
    // The window's own request, byte for byte.
    Config cfg;
    cfg.trackingHost = standIn.host();
    const QString expected =
        trackingUrlOf(cfg, "shunfeng", "100000000003").mid(QString("http://" + standIn.host()).size());
    QCOMPARE(standIn.countRequests("/?"), before + 1);
    QCOMPARE(standIn.requests().last().section('\t', 1, 1), expected);

    QCOMPARE(run({"add", "100000000001", "书", "--company", "顺丰快递"}).rc, 0);

    // list, as text and as JSON.
    Run list = run({"list"});
    QCOMPARE(list.rc, 0);
    const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(
        lines[0].startsWith(
            QStringLiteral("%1\t100000000003\t爸爸衣服\t顺丰快递\t5\t运送中\t2026-12-03 04:10:26 ").arg(id)),
        qPrintable(lines[0]));
    // Signed for: the count stays, as the window leaves it.
    QVERIFY2(lines[1].contains("\t书\t顺丰快递\t0\t已签收\t"), qPrintable(lines[1]));
    const QJsonArray rows = run({"list", "--json"}).json().toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1]["newest"]["time"].toString(), QStringLiteral("2026-12-01 14:36:52"));

    // query: newest first, state and time under way; a saved parcel's
    // progress is stored, as a query in the window stores it.
    sql(QStringLiteral("update kd100 set num='2' where id=%1").arg(id));
    sql(QStringLiteral("delete from progress where id=%1").arg(id));
    Run q = run({"query", "100000000003"});
    QCOMPARE(q.rc, 0);
    QVERIFY2(
        q.out.startsWith(QStringLiteral("顺丰快递 100000000003 [%1] 爸爸衣服\n状态: 运送中\t在途: ").arg(id)),
        qPrintable(q.out));
    QVERIFY(q.out.contains("\n1\t2026-12-03 04:10:26\t"));
    QVERIFY(q.out.contains("\n5\t2026-12-01 16:45:51\t"));
    const QJsonObject byId = run({"query", "--id", QString::number(id), "--json"}).json().toObject();
    QCOMPARE(byId["events"].toArray().size(), 5);
    QCOMPARE(byId["events"][0]["time"].toString(), QStringLiteral("2026-12-03 04:10:26"));
    QCOMPARE(byId["saved"].toArray(), QJsonArray{id});
    QVERIFY(byId["transit"].toString().endsWith("分"));
    const QJsonObject stored = run({"list", "--json"}).json().toArray().at(0).toObject();
    QCOMPARE(stored["count"], QJsonValue(5));
    QCOMPARE(stored["state"].toString(), QStringLiteral("运送中"));
    // A number not in the book is queried without being stored.
    const QByteArray hash = bookHash();
    Run other = run({"query", "100000000002", "--company", "中通快递", "--json"});
    QCOMPARE(other.rc, 0);
    QCOMPARE(other.json()["saved"].toArray().size(), 0);
    QCOMPARE(bookHash(), hash);

    // remove
    Run removed = run({"remove", "--id", QString::number(id), "--json"});
    QCOMPARE(removed.rc, 0);
    QCOMPARE(removed.json()["goods"].toString(), QStringLiteral("爸爸衣服"));
    QCOMPARE(removed.json()["count"], QJsonValue(5));
    QCOMPARE(run({"list", "--json"}).json().toArray().size(), 1);
    QCOMPARE(run({"remove", "--id", QString::number(id)}).rc, 2);
    sql("delete from kd100");
    sql("delete from progress");
}

void TestCli::exitStatusesAndNothingChanged()
{
    QCOMPARE(run({"add", "100000000003", "留下", "--company", "顺丰快递"}).rc, 0);
    const QByteArray hash = bookHash();
    struct Case {
        QStringList args;
        int rc;
        QString says;
    };
    const QList<Case> cases{
        {{"add", "100000000004", "未知", "--company", "顺丰快递"}, 3, "单号不存在"},
        {{"add", "900000000002", "失败", "--company", "顺丰快递"}, 4, "验证码错误"},
        {{"add", "800000000002", "无应答", "--company", "顺丰快递", "--timeout", "1"}, 4, "没有应答"},
        {{"query", "900000000099", "--company", "顺丰快递"}, 4, "错误代码 99"},
        {{"query", "100000000004", "--company", "顺丰快递"}, 3, "单号不存在"},
        {{"add", "100000000003", "重复"}, 2, "已存在"},
        {{"lst"}, 2, "没有这个命令"},
        {{"list", "--nope"}, 2, "nope"},
        {{"add", "100000000002"}, 2, "用法"},
    };
    for (const Case &c : cases) {
        const Run r = run(c.args);
        QVERIFY2(r.rc == c.rc, qPrintable(c.args.join(' ') + " gave " + QString::number(r.rc) + r.err));
        // One clear line, nothing on stdout.
        QVERIFY2(r.err.startsWith("parcelio: ") && r.err.count('\n') == 1, qPrintable(r.err));
        QVERIFY2(r.err.contains(c.says), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(bookHash(), hash);
    }
    // A saved number is refused before any request goes out.
    const qsizetype asked = standIn.requests().size();
    QCOMPARE(run({"add", "100000000003", "重复"}).rc, 2);
    QCOMPARE(standIn.requests().size(), asked);
    // --force keeps a number the service does not know, with no progress.
    const Run forced = run({"add", "100000000004", "等几天", "--company", "顺丰快递", "--force", "--json"});
    QCOMPARE(forced.rc, 0);
    QCOMPARE(forced.json()["count"], QJsonValue(0));
    QVERIFY(forced.json()["state"].toString().isEmpty());

    // A service that refuses the connection.
    QProcessEnvironment dead = env;
    dead.insert("XDG_CONFIG_HOME", tmp.path() + "/dead");
    writeIni(tmp.path() + "/dead/parcelio", "127.0.0.1:1");
    const QByteArray before = bookHash();
    const Run refused = run({"add", "100000000002", "x", "--company", "中通快递"}, dead);
    QCOMPARE(refused.rc, 4);
    QCOMPARE(bookHash(), before);

    // A book written by a newer program, and one that is no database.
    sql("pragma user_version = 99");
    const Run newer = run({"list"});
    QCOMPARE(newer.rc, 5);
    QVERIFY(newer.err.contains("更新版本"));
    sql("pragma user_version = 1");
    const QByteArray good = [&] {
        QFile f(dbPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    {
        QFile f(dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a database at all, but long enough to be taken for one by its size");
    }
    QCOMPARE(run({"add", "100000000002", "x", "--company", "中通快递"}).rc, 5);
    QCOMPARE(run({"list"}).rc, 5);
    {
        QFile f(dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(good);
    }
    QCOMPARE(run({"list", "--json"}).json().toArray().size(), 2);
    sql("delete from kd100");
    sql("delete from progress");
}

void TestCli::badInputIsRefused()
{
    QCOMPARE(run({"list"}).rc, 0);
    const QByteArray hash = bookHash();
    const QList<QStringList> refused{
        {"add", "", "空单号", "--company", "顺丰快递"},
        {"add", QString(10000, '1'), "长单号", "--company", "顺丰快递"},
        {"add", "SF-1000000003", "横线", "--company", "顺丰快递"},
        {"add", "1000|000003", "竖线", "--company", "顺丰快递"},
        {"add", "100000000003", "   ", "--company", "顺丰快递"},
        {"add", "100000000003", "公司", "--company", "没有这家"},
        {"add", "123", "太短无法识别"},
        {"query", QString(10000, '1'), "--company", "顺丰快递"},
        {"query", "--id", "12345"},
        {"query", "--id", "1; drop table kd100"},
        {"remove", "--id", "0"},
        {"remove", "--id", "abc"},
        {"remove"},
        {"list", "--timeout", "-1"},
        {"list", "--timeout", "nan"},
        {"list", "--timeout", "inf"},
        // Digits only: these read as numbers but are none.
        {"add", "1.5e3", "指数", "--company", "顺丰快递", "--force"},
        {"add", "+12", "正号", "--company", "顺丰快递", "--force"},
    };
    for (const QStringList &args : refused) {
        const Run r = run(args);
        QVERIFY2(r.rc == 2, qPrintable(args.join(' ').left(80) + " gave " + QString::number(r.rc)));
        QVERIFY2(r.err.startsWith("parcelio: ") && r.err.count('\n') == 1, qPrintable(r.err.left(200)));
        QCOMPARE(bookHash(), hash);
    }
    QCOMPARE(
        standIn.countRequests("/?id=731845&secret=5c1d8e0b7a2f4963d0e8b1c6a4f7e2d9&com=shunfeng&nu=1111"), 0);
    // Qt's own words in the commands speak the language too.
    QProcessEnvironment chinese = env;
    chinese.insert("LANG", "zh_CN.UTF-8");
    chinese.remove("LC_ALL");
    chinese.remove("LC_MESSAGES");
    const Run unknown = run({"list", "--bogus"}, chinese);
    QCOMPARE(unknown.rc, 2);
    QVERIFY2(unknown.err.contains("未知选项"), qPrintable(unknown.err));

    // Letters and digits, as the window takes them, upper-cased.
    QCOMPARE(run({"add", "sf1000000003", "字母", "--company", "顺丰快递", "--force"}).rc, 0);
    QCOMPARE(run({"list", "--json"}).json().toArray().at(0)["number"].toString(), QStringLiteral("SF1000000003"));
    sql("delete from kd100");

    // Goods are kept exactly as typed.
    const QString goods = QStringLiteral("\"引号\" 'x' 100% 🎁 \\n");
    const Run add = run({"add", "100000000002", goods, "--company", "中通快递"});
    QCOMPARE(add.rc, 0);
    QVERIFY(add.out.contains(goods));
    QCOMPARE(run({"list", "--json"}).json().toArray().at(0)["goods"].toString(), goods);

    // Two adds of one number at once (its answer takes 3 s, so both pass
    // the first check): one parcel is saved, the other add is refused.
    QProcess first, second;
    for (QProcess *p : {&first, &second}) {
        p->setProcessEnvironment(env);
        p->start(program, {"add", "800000000001", "同时", "--company", "中通快递"});
    }
    QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
    QCOMPARE(first.exitCode() + second.exitCode(), 2);
    QVERIFY((first.exitCode() == 2 ? first : second).readAllStandardError().contains("快递数据已存在!"));
    int saved = 0;
    for (const QJsonValue &row : run({"list", "--json"}).json().toArray())
        saved += row["number"].toString() == QStringLiteral("800000000001");
    QCOMPARE(saved, 1);
    sql("delete from kd100");
    sql("delete from progress");
}

void TestCli::refreshTellsNewsByStatus()
{
    // Nothing saved: nothing new.
    Run empty = run({"refresh", "--json"});
    QCOMPARE(empty.rc, 7); // nothing was due
    QCOMPARE(empty.json()["asked"].toInt(), 0);

    const qint64 id = run({"add", "100000000003", "衣服", "--json"}).json()["id"].toInteger();
    QCOMPARE(run({"add", "100000000002", "鞋", "--company", "中通快递"}).rc, 0);
    QCOMPARE(run({"refresh"}).rc, 1); // the counts are those of the add
    sql(QStringLiteral("update kd100 set num='3' where id=%1").arg(id));
    Run news = run({"refresh"});
    QCOMPARE(news.rc, 0);
    const QStringList lines = news.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(
        lines[0].startsWith(
            QStringLiteral("快递有最新进展 [%1] 顺丰快递 100000000003 衣服\t2026-12-03 04:10:26 ").arg(id)),
        qPrintable(lines[0]));
    QCOMPARE(lines[1], QStringLiteral("查询2,更新1,失败0"));
    // The news is stored: the next round has none, and the list shows it unseen.
    QCOMPARE(run({"refresh"}).rc, 1);
    const QJsonObject row = run({"list", "--json"}).json().toArray().at(0).toObject();
    QCOMPARE(row["count"], QJsonValue(5));
    QVERIFY(row["unseen"].toBool());

    sql(QStringLiteral("update kd100 set num='1' where id=%1").arg(id));
    const QJsonObject json = run({"refresh", "--json"}).json().toObject();
    QCOMPARE(json["news"].toArray().size(), 1);
    QCOMPARE(json["news"][0]["id"].toInteger(), id);
    QCOMPARE(json["news"][0]["count"].toInt(), 5);

    // No news and a service that fails: the failure is told.
    QProcessEnvironment dead = env;
    dead.insert("XDG_CONFIG_HOME", tmp.path() + "/dead");
    const Run failed = run({"refresh"}, dead);
    QCOMPARE(failed.rc, 4);
    QVERIFY(failed.err.contains("2 个快递查询失败"));
    sql("delete from kd100");
    sql("delete from progress");
}

void TestCli::refreshTellsOnTheDesktopAndByMail()
{
    if (qgetenv("PARCELIO_PRIVATE_BUS") != "1")
        QSKIP("needs the private session bus that CTest starts (dbus-run-session)");
    // A parcel its add has queried: a refresh finds nothing new yet.
    const qint64 id = run({"add", "100000000003", "衣服", "--json"}).json()["id"].toInteger();
    QCOMPARE(run({"refresh"}).rc, 1);

    // Told as the window's round tells it: a desktop notification, and the
    // news mail since the settings turn mail on.
    NotifySink notifySink;
    QVERIFY(notifySink.ready);
    MailSink mail;
    QVERIFY(mail.isRunning());
    QProcessEnvironment mailing = env;
    mailing.insert("XDG_CONFIG_HOME", tmp.path() + "/mailing");
    writeIni(tmp.path() + "/mailing/parcelio", standIn.host());
    QFile ini(tmp.path() + "/mailing/parcelio/parcelio.ini");
    QVERIFY(ini.open(QIODevice::Append));
    ini.write(QStringLiteral("[mail]\nrelay=%1\ntls=off\n").arg(mail.host()).toUtf8());
    ini.close();
    sql("update setting set 邮件通知='是', 通知邮箱='me@example.com'");
    sql(QStringLiteral("update kd100 set num='1' where id=%1").arg(id));
    // A parcel three days at a station (its number unknown to the
    // service, so its kept events stay): a reminder, the same ways.
    const QString waited =
        QDateTime::currentDateTime().addSecs(-(3 * 24 + 1) * 3600).toString("yyyy-MM-dd hh:mm:ss");
    sql("insert into kd100 (id, number, goods, company, num) values (900, '990000000001', '伞', '中通快递', '1')");
    sql(QStringLiteral("insert into progress (id, events, queried, state) values (900,"
                       " '[[\"%1\",\"已到达【菜鸟驿站】,请及时取件\"]]', '%1', 'station')")
            .arg(waited));
    QCOMPARE(run({"refresh"}, mailing).rc, 0);
    QCOMPARE(notifySink.calls().size(), 2);
    QCOMPARE(notifySink.calls().at(0)["summary"].toString(), QStringLiteral("快递有最新进展"));
    QVERIFY(notifySink.calls().at(0)["body"].toString().startsWith(
        QStringLiteral("衣服\n2026-12-03 04:10:26 ")));
    QCOMPARE(notifySink.calls().at(1)["summary"].toString(), QStringLiteral("快递提醒"));
    QCOMPARE(notifySink.calls().at(1)["body"].toString(),
             QStringLiteral("「伞」已在驿站等待3天,请及时取件\n%1 已到达【菜鸟驿站】,请及时取件").arg(waited));
    QCOMPARE(mail.messages().size(), 2);
    QVERIFY(mail.messages().at(0)["subject"].toString().contains(QStringLiteral("【衣服】")));
    QVERIFY(mail.messages().at(1)["subject"].toString().startsWith(QStringLiteral("快递提醒: 「伞」")));
    // Once a day: the next round tells nothing, and says so in --json.
    const Run again = run({"refresh", "--json"}, mailing);
    QCOMPARE(again.json()["reminders"].toArray().size(), 0);
    QCOMPARE(notifySink.calls().size(), 2);
    sql("delete from kd100 where id=900");
    sql("delete from progress where id=900");
    sql("delete from parcel_life where id=900");
    QCOMPARE(mail.messages().at(0)["rcpt_tos"].toArray().at(0).toString(),
             QStringLiteral("me@example.com"));
    sql("update setting set 邮件通知='否'");
    sql("delete from kd100");
    sql("delete from progress");
}

void TestCli::commandsNeedNoWidgets()
{
    // The dynamic loader names every library it maps; the window's start
    // shows that the check sees Qt Widgets when it is there.
    QProcessEnvironment traced = env;
    traced.insert("LD_DEBUG", "libs");
    const Run list = run({"list"}, traced);
    QCOMPARE(list.rc, 0);
    QVERIFY(list.err.contains("libQt6Core.so"));
    QVERIFY(!list.err.contains("libQt6Widgets"));
    QVERIFY(!list.err.contains("libQt6Gui"));
    const Run help = run({"--help"}, traced);
    QVERIFY(!help.err.contains("libQt6Widgets"));
    traced.insert("QT_QPA_PLATFORM", "offscreen");
    const Run window = run({"--quit-after-show"}, traced);
    QCOMPARE(window.rc, 0);
    QVERIFY(window.err.contains("libQt6Widgets.so"));
}

void TestCli::besideARunningWindow()
{
    QProcessEnvironment shown = env;
    shown.insert("QT_QPA_PLATFORM", "offscreen");
    shown.insert("QT_LOGGING_RULES", "qt.qpa.*=false");
    QProcess window;
    window.setProcessEnvironment(shown);
    window.setProcessChannelMode(QProcess::ForwardedChannels);
    window.start(program);
    QVERIFY(window.waitForStarted());
    // Up once it holds its single-copy lock. Read from the kernel's lock
    // table: a probe that took the lock itself, however briefly, could make
    // the starting window find it taken.
    auto held = [&window] {
        QFile locks("/proc/locks");
        if (!locks.open(QIODevice::ReadOnly))
            return false;
        const QByteArray pid = " " + QByteArray::number(window.processId()) + " ";
        for (const QByteArray &line : locks.readAll().split('\n'))
            if (line.contains(" FLOCK ") && line.contains(pid))
                return true;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(held(), 20000);
    QCOMPARE(window.state(), QProcess::Running);

    const Run add = run({"add", "100000000003", "窗口开着", "--json"});
    QCOMPARE(add.rc, 0);
    const qint64 id = add.json()["id"].toInteger();
    QCOMPARE(run({"query", "--id", QString::number(id)}).rc, 0);
    QCOMPARE(run({"refresh"}).rc, 1);
    const QJsonArray rows = run({"list", "--json"}).json().toArray();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0]["goods"].toString(), QStringLiteral("窗口开着"));
    QCOMPARE(run({"remove", "--id", QString::number(id)}).rc, 0);
    QCOMPARE(run({"list", "--json"}).json().toArray().size(), 0);
    QCOMPARE(window.state(), QProcess::Running);
    window.terminate();
    QVERIFY(window.waitForFinished(10000));
}

void TestCli::windowListFollowsTheCommands()
{
    // The window in this process, its book reached by the installed
    // commands through their data folder.
    Harness h;
    h.setIni("tracking/host", standIn.host());
    h.setIni("watch/pause_ms", "10");
    QVERIFY(h.start());
    const QString home = tmp.path() + "/beside";
    QDir().mkpath(home);
    QVERIFY(QFile::link(h.appDir(), home + "/parcelio"));
    QProcessEnvironment beside = env;
    beside.insert("XDG_DATA_HOME", home);
    QComboBox *list = control<QComboBox>(h.w(), "Text1");
    const int before = list->count();

    Run add = run({"add", "100000000003", "命令行添加", "--company", "顺丰快递", "--json"}, beside);
    QCOMPARE(add.rc, 0);
    const qint64 added = add.json()["id"].toInteger();
    QCOMPARE(list->count(), before);
    // The next round of the book watch brings it into the list.
    QSignalSpy finished(h.w().features().bookWatchPanel().watch(), &BookWatch::roundFinished);
    QVERIFY(h.w().features().bookWatchPanel().watch()->startRound());
    QVERIFY(finished.wait(20000));
    QCOMPARE(list->count(), before + 1);
    const int at = h.w().entryPositionOf(QString::number(added));
    QVERIFY(at >= 0);
    QCOMPARE(list->itemText(at), QStringLiteral("命令行添加"));

    // News a refresh beside the window found is marked in its list when
    // the window is active again.
    QVERIFY(h.execStatements({QStringLiteral("update kd100 set num='1' where id=%1").arg(added)}));
    QCOMPARE(run({"refresh"}, beside).rc, 0);
    auto *model = qobject_cast<ParcelListModel *>(list->model());
    QVERIFY(model && !model->stateOf(added).unseen);
    h.w().show();
    h.w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.w()));
    QEvent activated(QEvent::ActivationChange);
    QCoreApplication::sendEvent(&h.w(), &activated);
    QVERIFY(model->stateOf(added).unseen);

    // Chosen in the window, then removed by a command: the chosen entry no
    // longer names a parcel, and choosing it refills the list instead of
    // querying the parcel shown before.
    h.w().setListIndex(at);
    QTRY_VERIFY_WITH_TIMEOUT(list->isEnabled(), 20000);
    QCOMPARE(run({"remove", "--id", QString::number(added)}, beside).rc, 0);
    const int asked = standIn.countRequests("/?");
    h.w().setListIndex(at);
    QCOMPARE(standIn.countRequests("/?"), asked);
    QCOMPARE(list->count(), before);
    QCOMPARE(h.w().entryPositionOf(QString::number(added)), -1);
    QVERIFY(list->isEnabled());
}

void TestCli::outputIsPlainAndAFailedWriteFails()
{
    // An escape sequence from a reply or goods would rewrite the terminal,
    // a line break in goods would forge a parcel's line; JSON keeps both.
    // A right-to-left mark would show numbers reversed.
    const QString goods = QStringLiteral("衣服\n第二行\x1b[2J\u202E\u2067\u200F");
    const Run add = run({"add", "900000000321", goods, "--company", "顺丰快递"});
    QCOMPARE(add.rc, 0);
    const Run list = run({"list"});
    const Run query = run({"query", "900000000321"});
    for (const Run *r : {&add, &list, &query}) {
        QCOMPARE(r->rc, 0);
        QVERIFY2(!r->out.contains(QChar(0x1b)) && !r->out.contains(QChar(0x07)) && !r->out.contains('\r') &&
                     !r->out.contains(QChar(0x202E)) && !r->out.contains(QChar(0x2067)) &&
                     !r->out.contains(QChar(0x200F)),
                 qPrintable(r->out));
    }
    QCOMPARE(add.out.count('\n'), 2);
    QCOMPARE(list.out.count('\n'), 1);
    QCOMPARE(query.out.count('\n'), 4); // heading, state, two events
    const QJsonObject row = run({"list", "--json"}).json().toArray().at(0).toObject();
    QCOMPARE(row["goods"].toString(), goods);
    QVERIFY(row["newest"]["context"].toString().contains(QChar(0x1b)));
    // Each keeps the bytes it always had: a list writes a line break as
    // \u000a, a single row as QJsonDocument does.
    QVERIFY(run({"list", "--json"}).out.contains(QStringLiteral("衣服\\u000a第二行")));
    const Run picked = run({"picked", "--id", QString::number(row["id"].toInteger()), "--json"});
    QVERIFY2(picked.out.contains(QStringLiteral("衣服\\n第二行")), qPrintable(picked.out));
    const Run pasted =
        run({"add", "-", "--company", "顺丰快递", "--force", "--json"}, env, QByteArray("900000000322 书\b本\n"));
    QVERIFY2(pasted.out.contains(QStringLiteral("书\\b本")), qPrintable(pasted.out));

    // Output that cannot be written is a failure, told on stderr.
    for (const QStringList &args : {QStringList{"list"}, QStringList{"list", "--json"},
                                    QStringList{"query", "900000000321"}, QStringList{"--help"}}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardOutputFile("/dev/full");
        p.start(program, args);
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 6 && err.contains("输出无法写入"),
                 qPrintable(args.join(' ') + " gave " + QString::number(p.exitCode()) + ": " + err));
    }
    sql("delete from kd100");
    sql("delete from progress");

    // Without a display, a word the program does not know gets the usage
    // line, not a platform plugin's abort.
    QProcessEnvironment bare = env;
    bare.remove("QT_QPA_PLATFORM");
    for (const QString &first : {QStringLiteral("-"), QStringLiteral("-x")}) {
        const Run r = run({first}, bare);
        QVERIFY2(r.rc == 2 && r.err.contains("用法: parcelio"), qPrintable(first + ": " + r.err));
    }

    // Installed, a first start makes the folders and files the user's alone,
    // whatever the umask: the settings will hold the mail password.
    QProcessEnvironment fresh = env;
    fresh.insert("XDG_DATA_HOME", tmp.path() + "/private/data");
    fresh.insert("XDG_CONFIG_HOME", tmp.path() + "/private/config");
    const mode_t mask = ::umask(0);
    const Run first = run({"list"}, fresh);
    ::umask(mask);
    QCOMPARE(first.rc, 0);
    const QString at = tmp.path() + "/private";
    for (const QString &folder :
         {at, at + "/config", at + "/config/parcelio", at + "/data", at + "/data/parcelio"})
        QVERIFY2(fileMode(folder) == 0700, qPrintable(folder));
    for (const QString &file : {at + "/config/parcelio/parcelio.ini", at + "/data/parcelio/db/kd100.mdb",
                                at + "/data/parcelio/db/kd100.ldb"})
        QVERIFY2(fileMode(file) == 0600, qPrintable(file));

    // The file names every key a user can set, the services' too, each
    // commented out with its default.
    const QString made = at + "/config/parcelio/parcelio.ini";
    QFile ini(made);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    for (const char *line : {"[tracking]\n;service=classic\n", ";host=api.kuaidi.tesmar.cn\n", ";secret=\n",
                             "[kdniao]\n", ";business_id=\n", ";api_key=\n", ";request_type=8001\n", "[17track]\n",
                             ";token=\n", "[mail]\n", ";password=\n", ";tls=\n", "[watch]\n", ";pause_ms=2000\n",
                             ";min_interval_minutes=30\n", ";pickup_remind_days=2\n", ";quiet_days=5\n",
                             "[desktop]\n", ";tray=off\n", ";language=auto\n", "[clock]\n", ";timeserver="})
        QVERIFY2(text.contains(QString::fromUtf8(line)), line);
    QVERIFY(QSettings(made, QSettings::IniFormat).allKeys().isEmpty());
    // A password others may read is used, and said so on one line.
    ini.close();
    QVERIFY(ini.open(QIODevice::Append));
    ini.write("[mail]\npassword=a,b;c\n");
    ini.close();
    QVERIFY(ini.setPermissions(ini.permissions() | QFile::ReadOther));
    const Run exposed = run({"list"}, fresh);
    QCOMPARE(exposed.rc, 0);
    QVERIFY2(exposed.err.contains(made + " 含有密钥或密码") && exposed.err.count('\n') == 1,
             qPrintable(exposed.err));
}

void TestCli::pickupCodesAndArchive()
{
    auto parcel = [&](const Run &r, const QString &number) {
        for (const QJsonValue &v : r.json().toArray())
            if (v[QStringLiteral("number")].toString() == number)
                return v.toObject();
        return QJsonObject();
    };
    // A parcel left at a station: stage, station and phone in both listings.
    const Run add = run({"add", "100000000008", "书包", "--company", "中通快递"});
    QCOMPARE(add.rc, 0);
    QJsonObject row = parcel(run({"list", "--json"}), "100000000008");
    QCOMPARE(row["stage"].toString(), QString("待取件"));
    QCOMPARE(row["pickup"].toObject(), (QJsonObject{{"station", "长沙层上观邸1栋113号店菜鸟驿站"},
                                                    {"phone", "17369217750"},
                                                    {"code", ""}}));
    const Run query = run({"query", "100000000008", "--json"});
    QCOMPARE(query.json()["stage"].toString(), QString("待取件"));
    QCOMPARE(query.json()["pickup"]["station"].toString(), QString("长沙层上观邸1栋113号店菜鸟驿站"));
    const QString waiting = QString::number(row["id"].toInteger());

    // Messages without a code, or naming no saved parcel, change nothing.
    const QByteArray before = bookHash();
    QCOMPARE(run({"code", "您的快递已发货,请留意物流信息"}).rc, 2);
    const Run nobody = run({"code", "取件码1-1-1111,尾号4321"});
    QCOMPARE(nobody.rc, 2);
    QVERIFY(nobody.err.contains("没有与短信相符的快递"));
    QCOMPARE(bookHash(), before);

    // Standard input, as a script pipes a message in.
    QCOMPARE(run({"code", "-"}, env,
                 "【菜鸟驿站】您的中通包裹已到层上观邸1栋113号店,请凭取件码 8-3-1024 取件,尾号00008\n")
                 .rc,
             0);
    QCOMPARE(parcel(run({"list", "--json"}), "100000000008")["pickup"].toObject()["code"].toString(),
             QString("8-3-1024"));
    // A message from another station keeps that code unless --id says so.
    const Run other = run({"code", "【兔喜生活】您的包裹已到幸福里驿站,请凭取件码 2-1-3003 取件"});
    QCOMPARE(other.rc, 2);
    QVERIFY2(other.err.contains("幸福里驿站") && other.err.contains("--id " + waiting), qPrintable(other.err));
    QCOMPARE(parcel(run({"list", "--json"}), "100000000008")["pickup"].toObject()["code"].toString(),
             QString("8-3-1024"));

    // Two waiting parcels end in the same digits: refused with both named.
    sql("insert into kd100 (number, goods, company, num) values ('200000000008', '鞋', '中通快递', '1')");
    sql("insert into progress (id, events, queried, state) select id,"
        " '[[\"2026-12-03 10:00:00\",\"快件已由西溪驿站代收\"]]', '2026-12-03 10:05:00', 'station'"
        " from kd100 where number='200000000008'");
    const Run two = run({"code", "取货码Y-894,尾号0008"});
    QCOMPARE(two.rc, 2);
    QVERIFY(two.err.contains("100000000008") && two.err.contains("200000000008"));
    const Run chosen = run({"code", "取货码Y-894,尾号0008", "--id", waiting, "--json"});
    QCOMPARE(chosen.rc, 0);
    QCOMPARE(chosen.json()["pickup"]["code"].toString(), QString("Y-894"));

    // Picked up: its stage, and the rounds leave it alone.
    QCOMPARE(run({"picked", "--id", waiting}).rc, 0);
    QCOMPARE(parcel(run({"list", "--json"}), "100000000008")["stage"].toString(), QString("已取件"));
    auto asked = [&] { return standIn.requests().filter("nu=100000000008").size(); };
    const qsizetype was = asked();
    run({"refresh"});
    QCOMPARE(asked(), was);

    // Archived: out of the list, in the archived one, and back again.
    QCOMPARE(run({"archive", "--id", waiting}).rc, 0);
    QVERIFY(!run({"list"}).out.contains("100000000008"));
    QVERIFY(run({"list", "--archived"}).out.contains("100000000008"));
    QCOMPARE(run({"unarchive", "--id", waiting}).rc, 0);
    QVERIFY(run({"list"}).out.contains("100000000008"));
    QCOMPARE(run({"archive", "--id", "99999"}).rc, 2);

    // A pasted order page: the saved number is skipped, the new one added
    // with the words beside it.
    const Run paste =
        run({"add", "-", "--company", "中通快递"}, env,
            "订单 1 茶叶礼盒 运单号:100000000003\n订单 2 书包 100000000008\n客服 13812345678\n");
    QCOMPARE(paste.rc, 0);
    const QStringList lines = paste.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].startsWith("100000000003\t已添加") && lines[0].contains("订单 1 茶叶礼盒"),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].startsWith("100000000008\t未添加: 快递数据已存在"), qPrintable(lines[1]));
    // Nothing new in it: refused; an archived one is said to be so, with
    // the way back.
    QCOMPARE(run({"add", "-"}, env, "100000000008\n").rc, 2);
    QCOMPARE(run({"archive", "--id", waiting}).rc, 0);
    const Run archived = run({"add", "-"}, env, "100000000008\n");
    QVERIFY2(archived.out.contains("已归档") && archived.out.contains("parcelio unarchive --id " + waiting),
             qPrintable(archived.out));

    // An unknown company: the closest names are offered.
    const Run unknown = run({"add", "100000000009", "书", "--company", "中通"});
    QCOMPARE(unknown.rc, 2);
    QVERIFY2(unknown.err.contains("中通快递"), qPrintable(unknown.err));
    const Run typo = run({"add", "100000000009", "书", "--company", "顺风快递"});
    QVERIFY2(typo.err.contains("顺丰快递"), qPrintable(typo.err));
}

QTEST_MAIN(TestCli)
#include "test_cli.moc"

// The aggregators chosen in the settings, against their stand-ins: phone
// digits asked for and sent, the service's own states, the pace of rounds,
// and each failure told as what it is.
void TestCli::servicesOfToday()
{
    const QString Kdniao = "/Ebusiness/EbusinessOrderHandle.aspx";
    auto setUp = [&](const QString &name, const QString &lines) {
        QProcessEnvironment e = env;
        e.insert("XDG_DATA_HOME", tmp.path() + "/" + name + "-data");
        e.insert("XDG_CONFIG_HOME", tmp.path() + "/" + name + "-config");
        const QString dir = tmp.path() + "/" + name + "-config/parcelio";
        writeIni(dir, standIn.host());
        QFile ini(dir + "/parcelio.ini");
        if (ini.open(QIODevice::Append))
            ini.write(lines.arg(standIn.host()).toUtf8());
        return e;
    };
    // The services' fixtures are days old: their reminders would stand
    // before the rounds' lines.
    const QProcessEnvironment kd = setUp("kdniao", "[watch]\nquiet_days=0\npickup_remind_days=0\n"
                                                   "[tracking]\nservice=kdniao\n[kdniao]\n"
                                                   "url=http://%1/Ebusiness/EbusinessOrderHandle.aspx\n"
                                                   "business_id=1237100\napi_key=56da2cf8-c8a2-44b2-b6fa-476cd7d1ba17\n");

    // 顺丰 needs the phone digits: refused before any request without them,
    // and sent with the request (signed; the stand-in checks it) with them.
    int asked = standIn.countRequests(Kdniao);
    Run noPhone = run({"add", "100000000003", "衣服", "--company", "顺丰快递"}, kd);
    QCOMPARE(noPhone.rc, 2);
    QVERIFY2(noPhone.err.contains("需要寄件人或收件人手机号后四位"), qPrintable(noPhone.err));
    QCOMPARE(standIn.countRequests(Kdniao), asked);
    Run sf = run({"add", "100000000003", "衣服", "--company", "顺丰快递", "--phone", "1234", "--json"}, kd);
    QCOMPARE(sf.rc, 0);
    QCOMPARE(sf.json()["phone"].toString(), QStringLiteral("1234"));
    QCOMPARE(sf.json()["newest"]["time"].toString(), QStringLiteral("2026-12-03 04:10:26"));
    QCOMPARE(sf.json()["count"].toInt(), 5);
    const QString sent = standIn.requests().last();
    QVERIFY2(sent.contains("CustomerName%22%3A%221234") && sent.contains("ShipperCode%22%3A%22SF"),
             qPrintable(sent));

    // The service's own state decides: at a station, signed whatever the words say.
    QCOMPARE(run({"add", "700000000001", "书", "--company", "中通快递", "--json"}, kd).json()["state"].toString(),
             QStringLiteral("待取件"));
    QCOMPARE(run({"add", "700000000004", "鞋", "--company", "圆通速递", "--json"}, kd).json()["state"].toString(),
             QStringLiteral("已签收"));
    // Digits go to the service only for 顺丰: for 中通 the field must stay empty.
    QCOMPARE(run({"add", "700000000003", "包", "--company", "中通快递", "--phone", "5678"}, kd).rc, 0);
    QVERIFY2(!standIn.requests().last().contains("CustomerName"), qPrintable(standIn.requests().last()));
    // No trace yet is no unknown number: saved, without events.
    QCOMPARE(run({"add", "700000000005", "无", "--company", "中通快递"}, kd).rc, 0);
    // 全峰 is asked with its own code.
    run({"query", "123456789012", "--company", "全峰快递"}, kd);
    QVERIFY2(standIn.requests().last().contains("QFKD"), qPrintable(standIn.requests().last()));

    const QJsonArray book = run({"list", "--json"}, kd).json().toArray();
    QCOMPARE(book.size(), 5);
    QCOMPARE(book[0]["phone"].toString(), QStringLiteral("1234"));
    QVERIFY(book[1]["phone"].isNull());
    QCOMPARE(book[1]["state"].toString(), QStringLiteral("待取件"));

    // Rounds: everything was answered just now, so a round asks nothing,
    // while the user's own query still goes.
    asked = standIn.countRequests(Kdniao);
    Run rested = run({"refresh"}, kd);
    QCOMPARE(rested.rc, 7); // nothing was due
    QVERIFY2(rested.out.startsWith("查询0,更新0,失败0,4个未到查询间隔"), qPrintable(rested.out));
    QCOMPARE(standIn.countRequests(Kdniao), asked);
    QCOMPARE(run({"query", "--id", QString::number(book[0]["id"].toInteger())}, kd).rc, 0);
    QCOMPARE(standIn.countRequests(Kdniao), asked + 1);

    // 429 with Retry-After holds that number: said by the round, and the
    // next round does not ask it either.
    sql("insert into kd100 (company, number, goods, num) values ('中通快递', '700000000002', '灯', '0')",
        tmp.path() + "/kdniao-data/parcelio/db/kd100.mdb");
    sql("update service_pace set answered=0", tmp.path() + "/kdniao-data/parcelio/db/kd100.mdb");
    Run held = run({"refresh", "--json"}, kd);
    QCOMPARE(held.json()["asked"].toInt(), 5);
    QCOMPARE(held.json()["held"].toInt(), 1);
    QVERIFY(!held.json()["held_until"].isNull());
    const int holdAsked = standIn.countRequests(Kdniao);
    Run again = run({"refresh"}, kd);
    QVERIFY2(again.out.contains("1个暂缓至") && again.out.contains("4个未到查询间隔"), qPrintable(again.out));
    QCOMPARE(standIn.countRequests(Kdniao), holdAsked);

    // A pasted number its letters place (YT: 圆通): added with that courier,
    // no recognition asked of anyone.
    const int recognitions = standIn.requests().filter("RequestType=2002").size() +
                             standIn.requests().filter("YT7000000000041").filter("autonumber").size();
    const Run paste = run({"add", "-"}, kd, "圆通 YT7000000000041 台灯\n");
    const QString &pasted = paste.out;
    QCOMPARE(paste.rc, 0);
    QVERIFY2(pasted.startsWith("YT7000000000041\t已添加") && pasted.contains("圆通速递"), qPrintable(pasted));
    QCOMPARE(standIn.requests().filter("RequestType=2002").size() +
                 standIn.requests().filter("YT7000000000041").filter("autonumber").size(),
             recognitions);

    const QProcessEnvironment wrong = setUp("kdniao-wrong", "[tracking]\nservice=kdniao\n[kdniao]\n"
                                                            "url=http://%1/Ebusiness/EbusinessOrderHandle.aspx\n"
                                                            "business_id=1237100\napi_key=not-the-key\n");
    Run refused = run({"query", "700000000001", "--company", "中通快递"}, wrong);
    QCOMPARE(refused.rc, 4);
    QVERIFY2(refused.err.contains("查询服务账号或密钥错误"), qPrintable(refused.err));

    // A service whose certificate this system does not trust (a self-signed
    // one): said so, not told as a service that never answered.
    const QString cert = tmp.path() + "/self.pem", key = tmp.path() + "/self.key";
    QProcess made;
    made.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                           "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
    QVERIFY(made.waitForFinished(60000) && made.exitCode() == 0);
    QProcess tls;
    tls.start("openssl", {"s_server", "-accept", "127.0.0.1:0", "-cert", cert, "-key", key, "-www"});
    // It says where it listens: "ACCEPT 127.0.0.1:PORT".
    QString accept;
    while (!accept.section("ACCEPT ", 1).contains('\n') && tls.waitForReadyRead(10000))
        accept += QString::fromLatin1(tls.readAllStandardOutput());
    const QString tlsHost = accept.section("ACCEPT ", 1).section('\n', 0, 0).trimmed();
    QVERIFY2(tlsHost.startsWith("127.0.0.1:"), qPrintable(accept));
    const QProcessEnvironment untrusted =
        setUp("kdniao-tls", "[tracking]\nservice=kdniao\n[kdniao]\nurl=https://" + tlsHost +
                                "/Ebusiness/EbusinessOrderHandle.aspx\nbusiness_id=1237100\napi_key=k\n");
    const Run unverified = run({"query", "700000000001", "--company", "中通快递"}, untrusted);
    tls.kill();
    tls.waitForFinished();
    QCOMPARE(unverified.rc, 4);
    QVERIFY2(unverified.err.contains("查询服务的证书无法验证"), qPrintable(unverified.err));

    // A service's reason on a pasted number's line: no escape, no
    // right-to-left mark, no forged line.
    QProcess hostile;
    hostile.start("python3", {"-c", R"(
import http.server, json
class H(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        self.rfile.read(int(self.headers.get('Content-Length', 0)))
        b = json.dumps({'Success': False, 'Reason': 'x\x1b[2J\u202e4321\nforged'}).encode()
        self.send_response(200); self.send_header('Content-Length', str(len(b))); self.end_headers()
        self.wfile.write(b)
s = http.server.HTTPServer(('127.0.0.1', 0), H)
print(s.server_address[1], flush=True)
s.serve_forever())"});
    QVERIFY(hostile.waitForReadyRead(10000));
    const QProcessEnvironment reasons = setUp("kdniao-reason", "[tracking]\nservice=kdniao\n[kdniao]\nurl=http://127.0.0.1:" +
                                                                   hostile.readLine().trimmed() +
                                                                   "/\nbusiness_id=1\napi_key=k\n");
    const Run reasoned = run({"add", "-", "--company", "中通快递"}, reasons, "中通 7000000000041 台灯\n");
    hostile.kill();
    hostile.waitForFinished();
    QVERIFY2(reasoned.out.contains("4321") && reasoned.out.count('\n') == 1 && !reasoned.out.contains(QChar(0x1b)) &&
                 !reasoned.out.contains(QChar(0x202E)),
             qPrintable(reasoned.out));

    // The token API: registered once, then read; times in the event's own
    // local time, newest first.
    const QProcessEnvironment t17 = setUp("17track", "[tracking]\nservice=17track\n[17track]\n"
                                                     "url=http://%1/track/v2.2/\ntoken=8A3F5C2E9D0B14E7A6C2F0D9B8E71A53\n");
    const int registered = standIn.countRequests("/track/v2.2/register");
    Run station = run({"query", "700000000001", "--company", "中通快递", "--json"}, t17);
    QCOMPARE(station.rc, 0);
    QCOMPARE(station.json()["state"].toString(), QStringLiteral("待取件"));
    QCOMPARE(station.json()["events"][0]["time"].toString(), QStringLiteral("2026-12-04 09:12:40"));
    QCOMPARE(station.json()["events"].toArray().size(), 3);
    QCOMPARE(standIn.countRequests("/track/v2.2/register"), registered + 1);
    QCOMPARE(run({"query", "700000000001", "--company", "中通快递"}, t17).rc, 0);
    QCOMPARE(standIn.countRequests("/track/v2.2/register"), registered + 1);
    QCOMPARE(run({"query", "700000000004", "--company", "圆通速递", "--json"}, t17).json()["state"].toString(),
             QStringLiteral("已签收"));

    // A round asks the token API for many numbers a call: one reading for
    // all, one registration for those it did not know, one reading again;
    // each number's own error stays its own, and 顺丰 without digits is
    // refused before any request.
    sql("insert into kd100 (company, number, goods, num) values ('圆通速递', '700000000004', '鞋', '0'),"
        " ('中通快递', '100000000001', '书', '0'), ('中通快递', '100000000002', '灯', '0'),"
        " ('中通快递', '700000000003', '包', '0'), ('顺丰快递', '100000000003', '衣服', '0')",
        tmp.path() + "/17track-data/parcelio/db/kd100.mdb");
    const QString Info = "/track/v2.2/gettrackinfo", Register = "/track/v2.2/register";
    const int infos = standIn.countRequests(Info), registers = standIn.countRequests(Register);
    Run round = run({"refresh", "--json"}, t17);
    QCOMPARE(round.json()["asked"].toInt(), 4);
    QCOMPARE(round.json()["failed"].toInt(), 2); // 700000000003 wants digits; 顺丰 was not asked
    // The two signed ones are news once: their delivery.
    const QJsonArray told = round.json()["news"].toArray();
    QCOMPARE(told.size(), 3);
    int signedNews = 0;
    for (const QJsonValue &n : told)
        signedNews += n["status"].toString() == QStringLiteral("signed") ? 1 : 0;
    QCOMPARE(signedNews, 2);
    QCOMPARE(standIn.countRequests(Info), infos + 1); // registered first, then read once
    QCOMPARE(standIn.countRequests(Register), registers + 1);
    const QString registered17 = standIn.requests().filter("\t" + Register).last();
    QVERIFY2(registered17.contains("100000000001") && registered17.contains("100000000002") &&
                 registered17.contains("700000000003") && !registered17.contains("700000000004"),
             qPrintable(registered17));
    const QJsonArray after = run({"list", "--json"}, t17).json().toArray();
    QCOMPARE(after.size(), 5);
    QCOMPARE(after[0]["state"].toString(), QStringLiteral("已签收")); // 700000000004, by the service's state
    // The minimum interval holds for every number of the list.
    Run restedRound = run({"refresh", "--json"}, t17);
    QCOMPARE(restedRound.json()["rested"].toInt(), 2); // the signed ones are not watched
    QCOMPARE(standIn.countRequests(Info), infos + 1); // registered first, then read once
    // A 429 to a call holds every number in it and the rest of the account.
    sql("insert into kd100 (company, number, goods, num) values ('中通快递', '700000000002', '灯', '0')",
        tmp.path() + "/17track-data/parcelio/db/kd100.mdb");
    sql("update service_pace set answered=0", tmp.path() + "/17track-data/parcelio/db/kd100.mdb");
    // Registered by the user's own query, which the 429 refuses: its hold
    // is kept as the window's would be, so the round asks nothing.
    QVERIFY(run({"query", "700000000002", "--company", "中通快递"}, t17).rc != 0);
    const int heldInfos = standIn.countRequests(Info);
    Run heldRound = run({"refresh", "--json"}, t17);
    // Every watched parcel waits, 顺丰 too; the signed ones are not watched.
    QCOMPARE(heldRound.json()["held"].toInt(), 4);
    QVERIFY(!heldRound.json()["held_until"].isNull());
    QCOMPARE(standIn.countRequests(Info), heldInfos);
    QVERIFY(run({"refresh"}, t17).out.contains("暂缓至"));
    QCOMPARE(standIn.countRequests(Info), heldInfos);

    const QProcessEnvironment badToken = setUp("17track-wrong", "[tracking]\nservice=17track\n[17track]\n"
                                                                "url=http://%1/track/v2.2/\ntoken=nope\n");
    Run noToken = run({"query", "700000000001", "--company", "中通快递"}, badToken);
    QCOMPARE(noToken.rc, 4);
    QVERIFY2(noToken.err.contains("查询服务账号或密钥错误"), qPrintable(noToken.err));
}

// The services' stand-ins answering as their documents show: the example
// replies read with every event's time, 17track's refusals at registration
// told by their meaning and not registered again, and its asynchronous
// first answer.
void TestCli::servicesAsDocumented()
{
    auto setUp = [&](const QString &name, const QString &lines) {
        QProcessEnvironment e = env;
        e.insert("XDG_DATA_HOME", tmp.path() + "/" + name + "-data");
        e.insert("XDG_CONFIG_HOME", tmp.path() + "/" + name + "-config");
        // The example's times in UTC are read in the local zone.
        e.insert("TZ", "Asia/Shanghai");
        const QString dir = tmp.path() + "/" + name + "-config/parcelio";
        writeIni(dir, standIn.host());
        QFile ini(dir + "/parcelio.ini");
        if (ini.open(QIODevice::Append))
            ini.write(("[watch]\nquiet_days=0\npickup_remind_days=0\n" + lines.arg(standIn.host())).toUtf8());
        return e;
    };
    auto timesOf = [](const Run &r) {
        QSet<QString> times;
        for (const QJsonValue &e : r.json()["events"].toArray())
            times.insert(e["time"].toString());
        return times;
    };
    const QSet<QString> sampleTimes{"2020-10-14 11:45:41", "2020-10-14 19:03:40", "2020-10-14 23:17:26",
                                    "2020-10-15 05:02:24", "2020-10-16 14:45:29", "2020-10-16 14:53:31",
                                    "2020-10-16 14:53:55", "2020-10-17 08:14:00", "2020-10-17 08:19:00",
                                    "2020-10-17 12:45:03", "2020-10-17 17:32:23"};
    const QProcessEnvironment kd = setUp("kdniao-doc", "[tracking]\nservice=kdniao\n[kdniao]\n"
                                                       "url=http://%1/Ebusiness/EbusinessOrderHandle.aspx\n"
                                                       "business_id=1237100\napi_key=56da2cf8-c8a2-44b2-b6fa-476cd7d1ba17\n");
    const Run kdSample = run({"query", "773061155005903", "--company", "申通快递", "--json"}, kd);
    QCOMPARE(kdSample.rc, 0);
    QCOMPARE(kdSample.json()["state"].toString(), QStringLiteral("已签收"));
    QCOMPARE(timesOf(kdSample), sampleTimes);
    // The other forms: State a number, times with '/', traces out of order.
    const Run kdOther = run({"query", "100000000003", "--company", "顺丰快递", "--phone", "1234", "--json"}, kd);
    QCOMPARE(kdOther.rc, 0);
    QCOMPARE(timesOf(kdOther),
             (QSet<QString>{"2026-12-03 04:10:26", "2026-12-02 22:57:40", "2026-12-02 09:33:12",
                            "2026-12-01 21:18:05", "2026-12-01 16:45:51"}));

    const QString Register = "/track/v2.2/register";
    const QProcessEnvironment t17 = setUp("17track-doc", "[tracking]\nservice=17track\n[17track]\n"
                                                         "url=http://%1/track/v2.2/\ntoken=8A3F5C2E9D0B14E7A6C2F0D9B8E71A53\n");
    const QString book = tmp.path() + "/17track-doc-data/parcelio/db/kd100.mdb";
    // Events with time_iso, with time_utc alone, with time_raw alone.
    const Run t17Sample = run({"query", "773061155005903", "--company", "申通快递", "--json"}, t17);
    QCOMPARE(t17Sample.rc, 0);
    QCOMPARE(t17Sample.json()["state"].toString(), QStringLiteral("已签收"));
    QCOMPARE(timesOf(t17Sample), (QSet<QString>{"2020-10-17 17:32:23", "2020-10-17 12:45:03",
                                                "2020-10-17 08:19:00", "2020-10-14 11:45:41"}));

    // Registered, but the service has not fetched the carrier's data yet:
    // the parcel is kept and told as waiting; a later round fills it.
    const Run awaiting = run({"add", "710000000004", "灯", "--company", "中通快递"}, t17);
    QVERIFY2(awaiting.out.contains("等待查询服务的首次应答") || awaiting.err.contains("等待查询服务的首次应答"),
             qPrintable(awaiting.out + awaiting.err));
    QJsonArray listed = run({"list", "--json"}, t17).json().toArray();
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed.at(0)["number"].toString(), QStringLiteral("710000000004"));
    sql("update service_pace set answered=0", book);
    const Run filled = run({"refresh", "--json"}, t17);
    QCOMPARE(filled.json()["news"].toArray().size(), 1);
    listed = run({"list", "--json"}, t17).json().toArray();
    QCOMPARE(listed.at(0)["newest"]["time"].toString(), QStringLiteral("2026-12-02 08:55:10"));

    // Refused at registration: told by its meaning with the parcel's id and
    // number, and not registered again by the next round.
    sql("insert into kd100 (company, number, goods, num) values ('中通快递', '710000000002', '书', '0')", book);
    const int registers = standIn.countRequests(Register);
    const Run refused = run({"refresh", "--json"}, t17);
    QCOMPARE(standIn.countRequests(Register), registers + 1);
    const QJsonArray failures = refused.json()["failures"].toArray();
    QCOMPARE(failures.size(), 1);
    QCOMPARE(failures[0]["number"].toString(), QStringLiteral("710000000002"));
    QVERIFY(failures[0]["id"].toInteger() > 0);
    QVERIFY2(failures[0]["why"].toString().contains("无法确定快递公司"), qPrintable(failures[0]["why"].toString()));
    sql("update service_pace set answered=0", book);
    const Run again = run({"refresh"}, t17);
    QCOMPARE(standIn.countRequests(Register), registers + 1);
    QVERIFY2(again.out.contains("710000000002") && again.out.contains("无法确定快递公司"), qPrintable(again.out));

    // The month's quota spent: the account is held, the user's own query
    // says why, and no registration is asked again.
    sql("insert into kd100 (company, number, goods, num) values ('中通快递', '710000000001', '包', '0')", book);
    const Run quota = run({"refresh", "--json"}, t17);
    QCOMPARE(standIn.countRequests(Register), registers + 2);
    QCOMPARE(quota.json()["held"].toInt(), 1);
    const Run why = run({"query", "710000000001", "--company", "中通快递"}, t17);
    QCOMPARE(why.rc, 4);
    QVERIFY2(why.err.contains("本月的单号额度已用完"), qPrintable(why.err));
    sql("update service_pace set answered=0", book);
    // The quota is one of registrations: the registered parcel is read on.
    const int reads = standIn.countRequests("/track/v2.2/gettrackinfo");
    run({"refresh"}, t17);
    QCOMPARE(standIn.countRequests(Register), registers + 2);
    QVERIFY(standIn.countRequests("/track/v2.2/gettrackinfo") > reads);
}
