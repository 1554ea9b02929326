// The database file: creation, the running-copy lock, refusing bad files, and
// statements that keep user text as data.
#include "store/Sql.h"
#include "store/Store.h"
#include "support/BookFiles.h"
#include "support/BookRows.h"
#include "watch/Reminders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <signal.h>
#include <sys/stat.h>

class TestStore : public QObject {
    Q_OBJECT
private slots:
    void createsDatabaseWithCouriersAndSettings();
    void secondHolderIsToldApart();
    void lockHeldByAnotherProcessAndReleasedWhenItDies();
    void childOutlivingTheProgramDoesNotHoldTheLock();
    void refusesCorruptFileAndUncreatableDirectory();
    void userTextIsDataNotStatement();
    void settingsWritesReachTheOneRow();
    void clearAllUsesItsOwnConnection();
    void filesAreTheUsersAloneWhateverTheUmask();
    void badKeptRowLeavesTheBookReadable();
    void archivePickedAndStageLiveBesideTheBook();
    void remindersToldOnce();
    void versionThreeFileKeepsEveryRow();
    void entryListKeepsEachTextThroughEdits();
    void statementRunsAgainWithNewValues();
};

void TestStore::createsDatabaseWithCouriersAndSettings()
{
    QTemporaryDir dir;
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
    QVERIFY(QFile::exists(dir.path() + "/db/kd100.mdb"));
    QVERIFY(allParcels(s).isEmpty());

    const auto couriers = s.allCouriers();
    QVERIFY2(couriers.size() >= 30, qPrintable(QString::number(couriers.size())));
    for (const auto &c : couriers) {
        QVERIFY(!c.name.isEmpty());
        QVERIFY(!c.call.isEmpty());
        // Codes are the lower-case pinyin (or brand) codes the services use.
        QCOMPARE(c.code, c.code.toLower());
        QVERIFY(!c.shibie.isEmpty());
    }
    // Every quick pick of the directory finds its company.
    for (const char *pick :
         {"顺丰快递", "申通快递", "中通", "圆通", "韵达", "全峰", "天天", "宅急送", "汇通", "京东", "EMS"})
        QVERIFY2(!s.couriersByNameLike(QString::fromUtf8(pick)).isEmpty(), pick);
    QCOMPARE(s.couriersByRecognitionCode("shunfeng").value(0).name, QString("顺丰快递"));

    const auto settings = s.settings();
    QVERIFY(settings.has_value());
    for (const QString &v : {settings->mail, settings->voice, settings->drag, settings->closeOnClick,
                             settings->balloon, settings->defaultQuery, settings->autoRecognise})
        QVERIFY(v == "是" || v == "否");
}

void TestStore::secondHolderIsToldApart()
{
    QTemporaryDir dir;
    auto first = std::make_unique<Store>();
    QCOMPARE(first->open(dir.path()), Store::OpenResult::Ok);
    {
        Store second;
        QCOMPARE(second.open(dir.path()), Store::OpenResult::AlreadyRunning);
    }
    // The first copy is unaffected by the refused one.
    QVERIFY(first->addParcel("顺丰快递", "1", "书", "0").has_value());
    first.reset();
    Store third;
    QCOMPARE(third.open(dir.path()), Store::OpenResult::Ok);
    QCOMPARE(allParcels(third).size(), 1);
}

void TestStore::lockHeldByAnotherProcessAndReleasedWhenItDies()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/db");
    QProcess holder;
    // -o: only flock itself holds the lock, not the command it runs.
    holder.start("flock", {"-o", dir.path() + "/db/kd100.ldb", "-c", "echo held; sleep 30"});
    QVERIFY(holder.waitForReadyRead(5000));
    {
        Store s;
        QCOMPARE(s.open(dir.path()), Store::OpenResult::AlreadyRunning);
    }
    holder.kill(); // a crash, not a clean exit
    holder.waitForFinished();
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
}

void TestStore::childOutlivingTheProgramDoesNotHoldTheLock()
{
    // A browser opened from the program is started detached, the way the
    // desktop services start one, and stays after the program has ended.
    QTemporaryDir dir;
    auto program = std::make_unique<Store>();
    QCOMPARE(program->open(dir.path()), Store::OpenResult::Ok);
    qint64 pid = 0;
    QVERIFY(QProcess::startDetached("sleep", {"30"}, QString(), &pid));
    auto closeBrowser = qScopeGuard([pid] { ::kill(pid_t(pid), SIGKILL); });
    program.reset();
    Store next;
    QCOMPARE(next.open(dir.path()), Store::OpenResult::Ok);
}

void TestStore::refusesCorruptFileAndUncreatableDirectory()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/db");
    QFile f(dir.path() + "/db/kd100.mdb");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    {
        Store s;
        QCOMPARE(s.open(dir.path()), Store::OpenResult::Failed);
        QVERIFY(!s.error().isEmpty());
    }
    // The corrupt file is left for the user to recover; nothing overwrote it.
    QCOMPARE(QFileInfo(f).size(), 4096);
    // An empty file is what a creation cut short leaves: it is made anew.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.close();
    {
        Store s;
        QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
        QVERIFY(!s.allCouriers().isEmpty());
    }

    QTemporaryDir other;
    QFile blocker(other.path() + "/db"); // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Store s;
    QCOMPARE(s.open(other.path()), Store::OpenResult::Failed);
}

void TestStore::userTextIsDataNotStatement()
{
    QTemporaryDir dir;
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
    const QString evil = "x' or '1'='1";
    QVERIFY(s.addParcel("顺丰快递", "111", "妈妈's 茶", "0"));
    QVERIFY(s.addParcel("申通快递", "222", evil, "0"));
    QVERIFY(s.addParcel("中通快递", "3_3", "100%棉", "0"));
    const auto hits = [&s](ParcelField field, Match match, const QString &text) {
        const auto rows = s.findParcels(field, match, text);
        const auto entries = s.findEntries(field, match, text);
        return rows && entries && rows->size() == entries->size() ? int(rows->size()) : -1;
    };
    QCOMPARE(hits(ParcelField::Goods, Match::Exact, "妈妈's 茶"), 1);
    QCOMPARE(hits(ParcelField::Goods, Match::Exact, evil), 1);
    QCOMPARE(hits(ParcelField::Number, Match::Exact, "' or 1=1 --"), 0);
    QCOMPARE(allParcels(s).size(), 3);
    // % and _ typed by the user still act as wildcards in partial searches.
    QCOMPARE(hits(ParcelField::Number, Match::Partial, "_"), 3);
    QCOMPARE(hits(ParcelField::Goods, Match::Partial, "%"), 3);
    QCOMPARE(hits(ParcelField::Goods, Match::Partial, "'s"), 1);
    QCOMPARE(s.couriersByNameLike("'").size(), 0);
    QVERIFY(s.error().isEmpty());
    // Ids that are not numbers are refused instead of reaching a statement.
    QVERIFY(!rowIdOf("1 or 1=1"));
    QVERIFY(!rowIdOf(QString())); // no row 0 for an empty id
    QCOMPARE(allParcels(s).size(), 3);

    // No such row and a failed statement are two answers, not one.
    QCOMPARE(s.parcelById(1).outcome, RowLookup<ParcelRecord>::Found);
    QCOMPARE(s.parcelById(99).outcome, RowLookup<ParcelRecord>::Missing);
    {
        SecondConnection other(s.databasePath());
        QVERIFY(other.isOpen());
        QVERIFY(other.exec("alter table kd100 rename to gone"));
    }
    QCOMPARE(s.parcelById(1).outcome, RowLookup<ParcelRecord>::Failed);
    QVERIFY(!s.error().isEmpty());
    QVERIFY(!s.findParcels(ParcelField::Number, Match::Exact, "111"));
    QVERIFY(!s.findEntries(ParcelField::Goods, Match::Partial, "茶"));
}

void TestStore::settingsWritesReachTheOneRow()
{
    QTemporaryDir dir;
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
    QVERIFY(s.writeSetting("邮件通知", "是"));
    QVERIFY(s.writeSetting("通知邮箱", "me@example.cn"));
    QCOMPARE(s.settings()->mail, QString("是"));
    QCOMPARE(s.settings()->address, QString("me@example.cn"));
    QVERIFY(s.writeSetting("邮件通知", "否"));
    QCOMPARE(s.settings()->mail, QString("否"));
    // Only the eight setting columns can be written.
    QVERIFY(!s.writeSetting("通知邮箱\"=1; drop table kd100; --", "x"));
    QVERIFY(s.error().contains("unknown setting"));
    QCOMPARE(allParcels(s).size(), 0);
    QVERIFY(s.error().isEmpty());
}

void TestStore::clearAllUsesItsOwnConnection()
{
    QTemporaryDir dir;
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
    s.addParcel("顺丰快递", "1", "a", "0");
    s.addParcel("顺丰快递", "2", "b", "0");
    QVERIFY(s.deleteAllParcelsOnOwnConnection());
    QCOMPARE(allParcels(s).size(), 0);
    // The main connection keeps working afterwards.
    QVERIFY(s.addParcel("顺丰快递", "3", "c", "0").has_value());
    QCOMPARE(allParcels(s).size(), 1);
}

void TestStore::filesAreTheUsersAloneWhateverTheUmask()
{
    QTemporaryDir dir;
    const mode_t mask = ::umask(0);
    auto restore = qScopeGuard([mask] { ::umask(mask); });
    const QString app = dir.path() + "/new/parcelio";
    Store s;
    QCOMPARE(s.open(app), Store::OpenResult::Ok);
    for (const QString &folder : {dir.path() + "/new", app, app + "/db"})
        QCOMPARE(fileMode(folder), 0700);
    QCOMPARE(fileMode(app + "/db/kd100.mdb"), 0600);
    QCOMPARE(fileMode(app + "/db/kd100.ldb"), 0600);
    // The engine's journal, there while a change is under way, takes the
    // file's mode.
    {
        SecondConnection other(s.databasePath());
        QVERIFY(other.isOpen());
        QVERIFY(other.database().transaction());
        QVERIFY(other.exec("insert into kd100 (number, goods, company, num) values ('1', 'a', 'b', '0')"));
        QCOMPARE(fileMode(s.databasePath() + "-journal"), 0600);
        QVERIFY(other.database().rollback());
    }

    // A link in the lock file's place is not followed.
    QTemporaryDir planted;
    QVERIFY(QDir().mkpath(planted.path() + "/db"));
    QVERIFY(QFile::link(planted.path() + "/elsewhere", planted.path() + "/db/kd100.ldb"));
    Store t;
    QCOMPARE(t.open(planted.path()), Store::OpenResult::Failed);
    QVERIFY(!QFile::exists(planted.path() + "/elsewhere"));
}

void TestStore::badKeptRowLeavesTheBookReadable()
{
    QTemporaryDir dir;
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
    const qint64 bad = *s.addParcel("顺丰快递", "1", "坏", "2");
    const qint64 good = *s.addParcel("顺丰快递", "2", "好", "1");
    QVERIFY(
        s.saveProgress({bad, {{"2026-12-01 10:00:00", "x"}}, QDateTime::currentDateTime(), Status::InTransit, true}));
    QVERIFY(s.saveProgress(
        {good, {{"2026-12-02 10:00:00", "y"}}, QDateTime::currentDateTime(), Status::InTransit, false}));
    {
        SecondConnection other(s.databasePath());
        QVERIFY(other.isOpen());
        QVERIFY(other.exec(QStringLiteral("update progress set events='[[\"cut' where id=%1").arg(bad)));
    }
    const QList<BookRow> rows = s.book();
    QVERIFY2(s.error().isEmpty(), qPrintable(s.error()));
    QCOMPARE(rows.size(), 2);
    // Listed as if nothing were kept; the other row keeps its progress.
    QCOMPARE(rows[0].parcel.goods, QStringLiteral("坏"));
    QVERIFY(rows[0].status == Status::Unknown && rows[0].newest.time.isEmpty() && !rows[0].unseen);
    QCOMPARE(rows[1].newest.context, QStringLiteral("y"));
    QCOMPARE(rows[1].status, Status::InTransit);
}

void TestStore::archivePickedAndStageLiveBesideTheBook()
{
    QTemporaryDir dir;
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
    const qint64 a = *s.addParcel("中通快递", "100000000005", "书包", "0");
    const qint64 b = *s.addParcel("中通快递", "100000000006", "书包", "0");
    const qint64 c = *s.addParcel("中通快递", "100000000007", "茶叶", "0");
    const QDateTime now = QDateTime::currentDateTime();
    // The status is kept with the progress, whatever the words say.
    KeptProgress p{a, {{"2026-12-03 10:12:40", "[长沙市]快件到达"}}, now, Status::AtStation, false};
    QVERIFY(s.saveProgress(p));
    QVERIFY(s.saveProgress(KeptProgress{b, {{"2026-11-01 09:00:00", "已签收,签收人:本人"}}, now, Status::Signed, false}));
    QCOMPARE(bookRowStatus(*s.bookRow(a)), Status::AtStation);
    QCOMPARE(s.entryStates().value(a).status, Status::AtStation);
    QVERIFY(s.setPickupCode(a, "8-3-1024"));
    QVERIFY(!s.setPickupCode(999, "1-1-1")); // no such parcel: nothing written

    // Picked up: out of the rounds, still listed. Archived: out of the list,
    // the drop-down and the rounds; the search still finds it.
    QVERIFY(s.setPicked(a, now));
    QCOMPARE(bookRowStatus(*s.bookRow(a)), Status::PickedUp);
    QCOMPARE(s.watchTargets().size(), 1); // c; b is signed
    QCOMPARE(s.watchTargets().first().id, c);
    QVERIFY(s.setArchived(c, now));
    QVERIFY(s.watchTargets().isEmpty());
    QCOMPARE(s.book().size(), 2);
    QCOMPARE(s.allEntries().size(), 2);
    QCOMPARE(s.book(Store::Shelf::Archived).size(), 1);
    QCOMPARE(s.findEntries(ParcelField::Goods, Match::Exact, "茶叶")->size(), 1);
    QVERIFY(s.setArchived(c, QDateTime()));
    QCOMPARE(s.allEntries().size(), 3);
    QCOMPARE(s.allEntries().at(1).id, b);
    QCOMPARE(s.allEntries().at(2).goods, QStringLiteral("茶叶"));
    // Picked up before any progress was kept: told apart all the same.
    QVERIFY(s.setPicked(c, now));
    QCOMPARE(s.entryStates().value(c).status, Status::PickedUp);
    QCOMPARE(s.entryStates().size(), 3);

    // Signed more than a week ago (b) and picked up now (a): only b goes.
    QCOMPARE(s.archiveSignedBefore(now.addDays(-7), now), std::optional<int>(1));
    QCOMPARE(s.book(Store::Shelf::Archived).first().parcel.id, b);

    // A deleted parcel takes its row along; so does clearing the book.
    QVERIFY(s.deleteParcel(a));
    QCOMPARE(s.lifeOf(a)->code, QString());
    QVERIFY(s.deleteAllParcelsOnOwnConnection());
    QCOMPARE(s.book(Store::Shelf::All).size(), 0);
    const qint64 d = *s.addParcel("中通快递", "1", "x", "0");
    QCOMPARE(s.lifeOf(d)->archived, QString());
    QCOMPARE(bookRowStatus(*s.bookRow(d)), Status::Unknown);
}

void TestStore::remindersToldOnce()
{
    QTemporaryDir dir;
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
    const QDateTime queried(QDate(2026, 12, 9), QTime(9, 0));
    auto keep = [&](const char *number, const char *time, const char *context) {
        const qint64 id = *s.addParcel("中通快递", number, QString::fromLatin1(number), "1");
        s.saveProgress(KeptProgress{id, {{time, context}}, queried, statusFromWords(QString::fromUtf8(context)), false});
        return id;
    };
    const qint64 station = keep("1", "2026-12-07 10:00:00", "已到达【菜鸟驿站】,请及时取件");
    const qint64 quiet = keep("2", "2026-12-04 10:00:00", "到达【杭州转运中心】");
    const qint64 problem = keep("3", "2026-12-09 08:00:00", "派送失败,客户拒收");
    // Picked up, archived or signed: waiting long, never reminded.
    QVERIFY(s.setPicked(keep("4", "2026-12-01 10:00:00", "已到达【菜鸟驿站】,请及时取件"), queried));
    QVERIFY(s.setArchived(keep("5", "2026-12-01 10:00:00", "已到达【菜鸟驿站】,请及时取件"), queried));
    keep("6", "2026-12-01 10:00:00", "已签收,签收人:本人");
    // Forgotten: at a station, or 异常, for more than thirty days (beyond
    // the station's two).
    keep("7", "2026-11-07 09:59:59", "已到达【菜鸟驿站】,请及时取件");
    keep("8", "2026-11-09 09:59:59", "派送失败,客户拒收");
    auto told = [](const std::optional<QList<Reminder>> &due) {
        QStringList out;
        for (const Reminder &r : due.value_or(QList<Reminder>{}))
            out << QStringLiteral("%1:%2:%3").arg(r.id).arg(r.kind).arg(r.days);
        return out;
    };
    const ReminderDays days{2, 5};
    // Exactly two (five) days is not more than two (five); a second later it is.
    const QDateTime now(QDate(2026, 12, 9), QTime(10, 0));
    QCOMPARE(told(claimReminders(s, now, days)), QStringList{QStringLiteral("%1:1:0").arg(problem)});
    // One notification a parcel a round: the quiet one has news in this
    // round, so its reminder is not told beside it (and not later either).
    QCOMPARE(told(claimReminders(s, now.addSecs(1), days, {quiet})),
             (QStringList{QStringLiteral("%1:0:2").arg(station)}));
    // Recorded in the book: another connection finds nothing left to tell.
    {
        Store other;
        QVERIFY(other.openShared(s.databasePath()));
        QCOMPARE(told(claimReminders(other, now.addSecs(2), days)), QStringList{});
    }
    // The next day the station's again, and only that.
    QCOMPARE(told(claimReminders(s, now.addSecs(23 * 3600), days)),
             QStringList{QStringLiteral("%1:0:2").arg(station)});
    // Turned off, waiting tells nothing; a new 异常 event is told.
    s.saveProgress(KeptProgress{problem, {{"2026-12-11 08:00:00", "快件滞留"}}, queried, Status::Problem, false});
    QCOMPARE(told(claimReminders(s, now.addDays(2), ReminderDays{0, 0})),
             QStringList{QStringLiteral("%1:1:0").arg(problem)});
    // One key a day of the station's kept; the column stays short.
    QCOMPARE(s.lifeOf(station)->told, QStringLiteral("station:2026-12-10"));
    QString many;
    for (int i = 0; i < 40; ++i)
        many = toldWith(many, QStringLiteral("quiet:%1").arg(i));
    QCOMPARE(many.count(QLatin1Char('\n')) + 1, 16);
    QVERIFY(toldHas(many, QStringLiteral("quiet:39")) && !toldHas(many, QStringLiteral("quiet:3")));
}

void TestStore::statementRunsAgainWithNewValues()
{
    // One prepared insert runs row after row, each with its own values; a
    // null text is NULL in the book (archived<>'' and the like rely on it),
    // an empty one is ''.
    QTemporaryDir dir;
    SqlConnection c;
    QVERIFY(c.open(dir.filePath("t.db")));
    SqlQuery q(c);
    QVERIFY(q.exec(QStringLiteral("create table t (n integer, s text)")));
    QVERIFY(q.prepare(QStringLiteral("insert into t values (?, ?)")));
    const QList<QPair<int, QString>> rows{{1, QString()}, {2, QStringLiteral("")}, {3, QStringLiteral("顺丰")}};
    for (const auto &r : rows) {
        q.addBindValue(r.first);
        q.addBindValue(r.second);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        QCOMPARE(q.numRowsAffected(), 1);
    }
    QVERIFY(q.exec(QStringLiteral("select n, s is null, s from t order by n")));
    QList<QString> seen;
    while (q.next())
        seen << QStringLiteral("%1 %2 %3").arg(q.value(0).toLongLong()).arg(q.value(1).toInt()).arg(q.value("S").toString());
    QCOMPARE(seen, (QList<QString>{"1 1 ", "2 0 ", "3 0 顺丰"}));
    QVERIFY(!q.exec(QStringLiteral("select x from nowhere")));
    QVERIFY2(q.lastError().text().contains(QStringLiteral("no such table")), qPrintable(q.lastError().text()));
}

void TestStore::entryListKeepsEachTextThroughEdits()
{
    // The list's texts share one block: an edit, an entry made from
    // another's text, a removal must leave every other entry as it was.
    EntryList l;
    l.append(1, u"茶叶");
    l.append(2, u"书");
    l.append({{3, QStringLiteral("鞋子")}});
    l.setGoods(1, l.goodsAt(0)); // from its own block, which grows as it is written
    l.insert(1, 1);
    l.setId(1, 9);
    l.setGoods(1, u"新的");
    l.remove(0, 1);
    const QList<ParcelEntry> want{{9, "新的"}, {2, "茶叶"}, {3, "鞋子"}};
    QCOMPARE(l.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i) {
        QCOMPARE(l.at(i).id, want.at(i).id);
        QCOMPARE(l.at(i).goods, want.at(i).goods);
    }
    EntryList same;
    same.append(want);
    QVERIFY(l == same);
    same.setGoods(2, u"鞋");
    QVERIFY(!(l == same));
    l.remove(0, l.size());
    QVERIFY(l.isEmpty());
}

void TestStore::versionThreeFileKeepsEveryRow()
{
    QTemporaryDir dir;
    {
        Store s;
        QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
        const qint64 id = *s.addParcel("申通快递", "100000000002", "茶叶", "6");
        QVERIFY(s.saveProgress(KeptProgress{id, {{"2026-12-02 08:55:10", "快件已由西溪驿站代收"}},
                                            QDateTime::currentDateTime(), Status::InTransit, true}));
        QVERIFY(s.writeWatchSetting("interval", "30"));
        QCOMPARE(s.couriersByCode("jtexpress").size(), 1);
    }
    {
        // Made back into a file of version 3: phone digits and pace, but
        // not yet what version 4 adds to a parcel.
        SecondConnection db(dir.path() + "/db/kd100.mdb");
        QVERIFY(db.isOpen());
        QSqlQuery q(db.database());
        QVERIFY(q.exec("drop table parcel_life"));
        // As that version kept the state: the words shown.
        QVERIFY(q.exec("update progress set state='运送中'"));
        // Nor did its directory know 极兔.
        QVERIFY(q.exec("delete from list where code='jtexpress'"));
        QVERIFY(q.exec("pragma user_version = 3"));
        q.finish();
    }
    Store s;
    QCOMPARE(s.open(dir.path()), Store::OpenResult::Ok);
    const QList<BookRow> rows = s.book();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().parcel.num, QString("6"));
    QVERIFY(rows.first().unseen);
    QCOMPARE(rows.first().newest.context, QString("快件已由西溪驿站代收"));
    QCOMPARE(s.watchSetting("interval"), QString("30"));
    QCOMPARE(s.couriersByCode("jtexpress").size(), 1);
    // The kept words became a code, decided from the newest event's words.
    QCOMPARE(bookRowStatus(rows.first()), Status::AtStation);
    {
        SecondConnection db(s.databasePath());
        QVERIFY(db.isOpen());
        QSqlQuery q(db.database());
        QVERIFY(q.exec("select state from progress") && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("station"));
        QVERIFY(q.exec("pragma user_version") && q.next());
        QCOMPARE(q.value(0).toInt(), Store::SchemaVersion);
        q.finish();
    }
    QVERIFY(s.setArchived(rows.first().parcel.id, QDateTime::currentDateTime()));
    QVERIFY(s.book().isEmpty());
}

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
