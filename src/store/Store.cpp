#include "store/Store.h"
#include "store/PrivateFiles.h"
#include "store/SettingValues.h"
#include "tracking/Progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::atomic<int> storeCounter{0};

QString likePattern(const QString &text)
{
    return QLatin1Char('%') + text + QLatin1Char('%');
}

// What version 1 adds beside the tables every version has: each parcel's
// last good progress and the book watch's settings.
const char *const SchemaV1[] = {
    "create table if not exists progress ("
    " id integer primary key," // kd100.id
    " events text not null,"   // JSON: [[time, context], ...], newest first
    " queried text not null,"  // yyyy-MM-dd hh:mm:ss, local time
    " state text not null default '',"
    " unseen integer not null default 0)",
    "create table if not exists watch_setting (key text primary key, value text not null default '')",
};

// What version 3 adds: the phone digits a parcel's service may ask for,
// and when each parcel's service last answered or asked to be left alone
// (milliseconds since the epoch), so that rounds keep the service's pace.
const char *const SchemaV3[] = {
    "create table if not exists phone (id integer primary key, digits text not null)",
    "create table if not exists service_pace ("
    " id integer primary key,"
    " answered integer not null default 0,"
    " held_until integer not null default 0)",
};

// What version 4 adds: what the user and the services add to a parcel
// after the road. One row per parcel that has any of it.
const char *const SchemaV4[] = {
    "create table if not exists parcel_life ("
    " id integer primary key,"             // kd100.id
    " service text not null default '',"   // the service's own state at the last good query
    " code text not null default '',"      // pickup code
    " picked text not null default '',"    // when the user marked it picked up
    " archived text not null default ''," // when it was archived
    " told text not null default '')",     // reminders already given
};

// What version 5 changes: the kept state becomes a status code ("signed",
// "station", ...) in place of the words shown; the words are turned into
// codes by convertStates() within the same transaction.
// 极兔, a courier the directory lacked, reaches older books here too (a new
// book's directory is still empty here: its seed brings 极兔 itself).
const char *const SchemaV5[] = {
    "update progress set state='' where state is null",
    "insert into list (name, code, shibie, \"call\") select '极兔速递', 'jtexpress', 'jtexpress', '956025'"
    " where exists (select 1 from list) and not exists (select 1 from list where code='jtexpress')",
};

// Each version's statements, oldest first. A file of version v gets every
// step above v, then user_version = SchemaVersion, in one transaction. A new
// version appends its own step; statements must be safe to run on a file
// that already has them (create ... if not exists).
struct SchemaStep {
    int version;
    const char *const *begin;
    const char *const *end;
};
const SchemaStep SchemaSteps[] = {
    {1, std::begin(SchemaV1), std::end(SchemaV1)},
    {3, std::begin(SchemaV3), std::end(SchemaV3)},
    {4, std::begin(SchemaV4), std::end(SchemaV4)},
    {5, std::begin(SchemaV5), std::end(SchemaV5)},
};

// The saved-parcel list: every parcel but the archived ones.
const char *const ActiveEntries =
    "select id, goods from kd100 k where not exists"
    " (select 1 from parcel_life l where l.id=k.id and l.archived<>'') order by id";
// The same list read straight from the engine, in three plain statements.
const char *const ArchivedIds = "select id from parcel_life where archived<>''";
const char *const BookSize = "select count(*) from kd100";
const char *const BookEntries = "select id, goods from kd100 order by id";

const QString TimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString eventsJson(const QList<KeptEvent> &events)
{
    QJsonArray out;
    for (const KeptEvent &e : events)
        out.append(QJsonArray{e.time, e.context});
    return QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact));
}

QList<KeptEvent> eventsFrom(const QString &json)
{
    QList<KeptEvent> out;
    const QJsonArray rows = QJsonDocument::fromJson(json.toUtf8()).array();
    for (const QJsonValue &row : rows) {
        const QJsonArray pair = row.toArray();
        if (pair.size() == 2)
            out.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    return out;
}
} // namespace

void parcelioResources()
{
    // The resources live in a static library, so they are registered by hand.
    Q_INIT_RESOURCE(resources);
}

Store::Store() : connName(QStringLiteral("parcelio-%1").arg(++storeCounter)) {}

Store::~Store()
{
    if (QSqlDatabase::contains(connName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connName);
    }
    if (lockFd >= 0)
        ::close(lockFd);
}

const QStringList &Store::settingColumns()
{
    static const QStringList cols = [] {
        QStringList out;
        for (const SettingColumn &c : settingColumnTable())
            out << QString::fromUtf8(c.column);
        return out;
    }();
    return cols;
}

Store::OpenResult Store::open(const QString &appDir, const QString &seedSqlFile)
{
    parcelioResources();
    const QString dir = appDir + QStringLiteral("/db");
    // The book is the user's alone: folders 0700, files 0600.
    if (!makePrivateDir(dir)) {
        lastError = QStringLiteral("cannot create %1").arg(dir);
        return OpenResult::Failed;
    }
    // The lock is an flock on a file of its own: the kernel drops it when the
    // holder dies, so a crashed copy never blocks the next start. Another
    // user who could open it could hold it and keep the owner's window out;
    // a link put in its place is not followed.
    const QByteArray lockPath = QFile::encodeName(dir + QStringLiteral("/kd100.ldb"));
    lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd < 0) {
        lastError = QString::fromLocal8Bit(strerror(errno));
        return OpenResult::Failed;
    }
    // It holds nothing, so one left readable by an older version is
    // narrowed too.
    struct stat lockStat {};
    if (::fstat(lockFd, &lockStat) == 0 && lockStat.st_uid == ::geteuid() &&
        (lockStat.st_mode & 0777) != 0600)
        ::fchmod(lockFd, 0600);
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        lastError = QString::fromLocal8Bit(strerror(errno));
        ::close(lockFd);
        lockFd = -1;
        return held ? OpenResult::AlreadyRunning : OpenResult::Failed;
    }
    // Who holds the book: a command handing its news to a window on the
    // bus checks that the window answering is this process.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    // Not written, the lock holds all the same; only the handover is lost.
    [[maybe_unused]] const bool named =
        ::ftruncate(lockFd, 0) == 0 && ::pwrite(lockFd, pid.constData(), size_t(pid.size()), 0) == pid.size();

    dbPath = dir + QStringLiteral("/kd100.mdb");
    const QFileInfo info(dbPath);
    const bool fresh = !info.exists() || info.size() == 0;
    // Made here, empty and 0600, rather than by the engine with the umask's
    // mode; the engine makes its journal with the mode of the file.
    if (!createPrivateFile(dbPath)) {
        lastError =
            QStringLiteral("cannot create %1: %2").arg(dbPath, QString::fromLocal8Bit(strerror(errno)));
        return OpenResult::Failed;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connName);
    db.setDatabaseName(dbPath);
    if (!db.open()) {
        lastError = db.lastError().text();
        return OpenResult::Failed;
    }
    // The book is read whole once, at start; the engine's default page
    // cache (2 MiB) would then hold it for nothing: the system's file cache
    // serves a later read as fast.
    QSqlQuery(db).exec(QStringLiteral("pragma cache_size = -256"));
    if (fresh) {
        QFile schema(QStringLiteral(":/sql/schema.sql"));
        QFile seed(QStringLiteral(":/sql/seed.sql"));
        bool ok = schema.open(QIODevice::ReadOnly) && seed.open(QIODevice::ReadOnly) && db.transaction() &&
                  runScript(QString::fromUtf8(schema.readAll())) && runSchemaSteps(0) &&
                  runScript(QString::fromUtf8(seed.readAll()));
        if (ok && !seedSqlFile.isEmpty()) {
            QFile extra(seedSqlFile);
            ok = extra.open(QIODevice::ReadOnly) && runScript(QString::fromUtf8(extra.readAll()));
        }
        if (!ok || !db.commit()) {
            if (lastError.isEmpty())
                lastError = db.lastError().text();
            db.rollback();
            db.close();
            // A half-made file would be taken for a real one next time.
            QFile::remove(dbPath);
            return OpenResult::Failed;
        }
        return OpenResult::Ok;
    }
    // An existing file must really be our database: a corrupt or foreign
    // file is refused here rather than failing on the first statement.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select count(*) from sqlite_master where type='table' and "
                               "name in ('kd100','list','setting')")) ||
        !q.next() || q.value(0).toInt() != 3) {
        lastError = q.lastError().isValid() ? q.lastError().text() : QStringLiteral("tables missing");
        return OpenResult::Failed;
    }
    return upgrade();
}

Store::OpenResult Store::upgrade()
{
    QSqlDatabase db = QSqlDatabase::database(connName, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) {
        lastError = q.lastError().text();
        return OpenResult::Failed;
    }
    const int version = q.value(0).toInt();
    q.finish();
    if (version > SchemaVersion) {
        // Written by a newer program: changing it could lose what that one keeps.
        lastError = QStringLiteral("database schema %1 is newer than %2").arg(version).arg(SchemaVersion);
        return OpenResult::TooNew;
    }
    if (version == SchemaVersion)
        return OpenResult::Ok;
    // All or nothing: a crash half-way leaves the old file as it was.
    const bool ok = inTransaction([this, version] { return runSchemaSteps(version); });
    return ok ? OpenResult::Ok : OpenResult::Failed;
}

bool Store::runSchemaSteps(int fromVersion)
{
    for (const SchemaStep &step : SchemaSteps) {
        if (step.version <= fromVersion)
            continue;
        for (const char *const *stmt = step.begin; stmt != step.end; ++stmt)
            if (!runScript(QString::fromUtf8(*stmt)))
                return false;
        if (step.version == 5 && !convertStates())
            return false;
    }
    return runScript(QStringLiteral("pragma user_version = %1").arg(SchemaVersion));
}

bool Store::convertStates()
{
    QSqlDatabase db = QSqlDatabase::database(connName, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select p.id, p.state, p.events, l.service from progress p"
                               " left join parcel_life l on l.id=p.id"))) {
        lastError = q.lastError().text();
        return false;
    }
    QList<QPair<qint64, QString>> codes;
    while (q.next()) {
        const QString service = q.value(3).toString();
        CodedStatus coded;
        if (service == QLatin1String("station"))
            coded = {Status::AtStation, true};
        else if (service == QLatin1String("problem"))
            coded = {Status::Problem, true};
        else if (service == QLatin1String("signed"))
            coded = {Status::Signed, true};
        else if (service == QLatin1String("delivery"))
            coded = {Status::OutForDelivery, true};
        else if (service == QLatin1String("transit") || service == QLatin1String("notrace"))
            coded = {Status::InTransit, false};
        QList<ProgressEntry> entries;
        for (const KeptEvent &e : eventsFrom(q.value(2).toString()))
            entries.append({int(entries.size()) + 1, e.time, e.context});
        const Status status = entries.isEmpty() ? statusFromCode(q.value(1).toString()) : decideStatus(coded, entries);
        codes.append({q.value(0).toLongLong(), statusCode(status)});
    }
    q.finish();
    QSqlQuery up(db);
    up.prepare(QStringLiteral("update progress set state=? where id=?"));
    for (const auto &c : codes) {
        up.addBindValue(c.second.isNull() ? QStringLiteral("") : c.second);
        up.addBindValue(c.first);
        if (!up.exec()) {
            lastError = up.lastError().text();
            return false;
        }
    }
    return true;
}

bool Store::inTransaction(const std::function<bool()> &work)
{
    QSqlDatabase db = QSqlDatabase::database(connName, false);
    if (!db.transaction()) {
        lastError = db.lastError().text();
        return false;
    }
    if (work() && db.commit())
        return true;
    const QString why = lastError.isEmpty() ? db.lastError().text() : lastError;
    db.rollback();
    lastError = why.isEmpty() ? QStringLiteral("database error") : why;
    return false;
}

bool Store::inWriteTransaction(const std::function<bool()> &work)
{
    QSqlQuery q(QSqlDatabase::database(connName, false));
    if (!q.exec(QStringLiteral("begin immediate"))) {
        lastError = q.lastError().text();
        return false;
    }
    if (work() && q.exec(QStringLiteral("commit")))
        return true;
    const QString why = lastError.isEmpty() ? q.lastError().text() : lastError;
    q.exec(QStringLiteral("rollback"));
    lastError = why.isEmpty() ? QStringLiteral("database error") : why;
    return false;
}

bool Store::openShared(const QString &path)
{
    dbPath = path;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connName);
    db.setDatabaseName(path);
    // The window's connection may be writing: wait for it rather than fail.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open()) {
        lastError = db.lastError().text();
        return false;
    }
    // Each row is touched once per round: a small page cache is enough.
    QSqlQuery(db).exec(QStringLiteral("pragma cache_size = -256"));
    return true;
}

void Store::releaseLock()
{
    if (lockFd >= 0)
        ::close(lockFd);
    lockFd = -1;
}

Store::OpenResult Store::checkShared()
{
    QSqlQuery q(QSqlDatabase::database(connName, false));
    if (!q.exec(QStringLiteral("select count(*) from sqlite_master where type='table' and "
                               "name in ('kd100','list','setting','progress')")) ||
        !q.next() || q.value(0).toInt() != 4) {
        lastError = q.lastError().isValid() ? q.lastError().text() : QStringLiteral("tables missing");
        return OpenResult::Failed;
    }
    if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) {
        lastError = q.lastError().text();
        return OpenResult::Failed;
    }
    const int version = q.value(0).toInt();
    if (version == SchemaVersion)
        return OpenResult::Ok;
    lastError = QStringLiteral("database schema %1, this program writes %2").arg(version).arg(SchemaVersion);
    return version > SchemaVersion ? OpenResult::TooNew : OpenResult::Failed;
}

bool Store::isOpen() const
{
    return QSqlDatabase::contains(connName) && QSqlDatabase::database(connName, false).isOpen();
}

bool Store::runScript(const QString &text)
{
    QSqlDatabase db = QSqlDatabase::database(connName, false);
    // Our scripts keep one statement per ";" at a line end.
    const QStringList parts = text.split(QRegularExpression(QStringLiteral(";\\s*(\\n|$)")));
    for (QString stmt : parts) {
        stmt = stmt.trimmed();
        QStringList lines;
        for (const QString &line : stmt.split(QLatin1Char('\n')))
            if (!line.trimmed().startsWith(QStringLiteral("--")))
                lines << line;
        stmt = lines.join(QLatin1Char('\n')).trimmed();
        if (stmt.isEmpty())
            continue;
        QSqlQuery q(db);
        if (!q.exec(stmt)) {
            lastError = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool Store::run(QSqlQuery &q)
{
    if (!q.exec()) {
        lastError = q.lastError().text();
        if (lastError.trimmed().isEmpty())
            lastError = QStringLiteral("database error");
        return false;
    }
    lastError.clear();
    return true;
}

bool Store::runOnOneRow(QSqlQuery &q)
{
    if (!run(q))
        return false;
    if (q.numRowsAffected() > 0)
        return true;
    lastError = QStringLiteral("no such parcel");
    return false;
}

QList<ParcelRecord> Store::parcels(QSqlQuery &q)
{
    QList<ParcelRecord> out;
    if (!run(q))
        return out;
    while (q.next()) {
        ParcelRecord r;
        r.id = q.value(QStringLiteral("id")).toLongLong();
        r.number = q.value(QStringLiteral("number")).toString();
        r.goods = q.value(QStringLiteral("goods")).toString();
        r.company = q.value(QStringLiteral("company")).toString();
        r.num = q.value(QStringLiteral("num")).toString();
        out << r;
    }
    return out;
}

QList<CourierRecord> Store::couriers(QSqlQuery &q)
{
    QList<CourierRecord> out;
    if (!run(q))
        return out;
    while (q.next()) {
        CourierRecord r;
        r.id = q.value(QStringLiteral("id")).toLongLong();
        r.name = q.value(QStringLiteral("name")).toString();
        r.code = q.value(QStringLiteral("code")).toString();
        r.shibie = q.value(QStringLiteral("shibie")).toString();
        r.call = q.value(QStringLiteral("call")).toString();
        out << r;
    }
    return out;
}

#define STORE_QUERY(sql)                                                                                     \
    QSqlQuery q(QSqlDatabase::database(connName, false));                                                    \
    q.prepare(QStringLiteral(sql))

QList<ParcelRecord> Store::allParcels()
{
    STORE_QUERY("select * from kd100 order by id");
    return parcels(q);
}

QList<BookRow> Store::book(Shelf which)
{
    switch (which) {
    case Shelf::Active: return bookWhere(" where l.archived is null or l.archived=''");
    case Shelf::Archived: return bookWhere(" where l.archived<>''");
    case Shelf::All: break;
    }
    return bookWhere("");
}

std::optional<BookRow> Store::bookRow(qint64 id)
{
    const QList<BookRow> rows = bookWhere(" where k.id=?", id);
    if (!lastError.isEmpty() || rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

QList<BookRow> Store::bookWhere(const char *shelf, const QVariant &bind)
{
    // Only the newest event is taken out of each kept list. A kept list
    // that is no JSON would fail the whole statement: its parcel is listed
    // as if nothing were kept.
    QSqlQuery q(QSqlDatabase::database(connName, false));
    q.prepare(QStringLiteral("select k.id, k.number, k.goods, k.company, k.num, p.state, p.queried, p.unseen,"
                             " json_extract(p.events, '$[0][0]'), json_extract(p.events, '$[0][1]'),"
                             " l.code, l.picked, l.archived, l.told, f.digits"
                             " from kd100 k left join progress p on p.id=k.id and json_valid(p.events)"
                             " left join phone f on f.id=k.id"
                             " left join parcel_life l on l.id=k.id%1 order by k.id")
                  .arg(QLatin1String(shelf)));
    if (bind.isValid())
        q.addBindValue(bind);
    q.setForwardOnly(true);
    QList<BookRow> out;
    if (!run(q))
        return out;
    while (q.next()) {
        BookRow r;
        r.parcel = {q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                    q.value(3).toString(), q.value(4).toString()};
        r.status = statusFromCode(q.value(5).toString());
        r.queried = q.value(6).toString();
        r.unseen = q.value(7).toInt() != 0;
        r.newest = {q.value(8).toString(), q.value(9).toString()};
        r.life = {q.value(10).toString(), q.value(11).toString(), q.value(12).toString(), q.value(13).toString()};
        r.phone = q.value(14).toString();
        out.append(r);
    }
    return out;
}

QList<ParcelEntry> Store::entries(QSqlQuery &q)
{
    QList<ParcelEntry> out;
    q.setForwardOnly(true);
    if (!run(q))
        return out;
    while (q.next())
        out << ParcelEntry{q.value(0).toLongLong(), q.value(1).toString()};
    return out;
}

QList<ParcelEntry> Store::allEntries()
{
    // The whole book is read at every start: straight from the engine it
    // takes a fraction of what a row-by-row QSqlQuery costs.
    const QVariant handle = QSqlDatabase::database(connName, false).driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (sqlite3 *h = *static_cast<sqlite3 *const *>(handle.constData()))
            return allEntriesFrom(h);
    }
    QSqlQuery q(QSqlDatabase::database(connName, false));
    q.prepare(QString::fromLatin1(ActiveEntries));
    return entries(q);
}

QList<ParcelEntry> Store::allEntriesFrom(sqlite3 *h)
{
    QList<ParcelEntry> out;
    // The archived rows first (usually few), then one plain pass over the
    // book: a lookup in parcel_life for each of thousands of rows costs more
    // than the pass itself. The count sizes the list once, so that it is
    // not copied while it grows.
    QSet<qint64> archived;
    qsizetype total = 0;
    // One read for the three statements: a parcel archived by another
    // program in between is neither lost nor listed.
    int rc = sqlite3_exec(h, "savepoint book_entries", nullptr, nullptr, nullptr);
    for (const char *sql : {ArchivedIds, BookSize}) {
        if (rc != SQLITE_OK)
            break;
        sqlite3_stmt *stmt = nullptr;
        rc = sqlite3_prepare_v2(h, sql, -1, &stmt, nullptr);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                if (sql == ArchivedIds)
                    archived.insert(sqlite3_column_int64(stmt, 0));
                else
                    total = qsizetype(sqlite3_column_int64(stmt, 0));
            }
        }
        sqlite3_finalize(stmt);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    sqlite3_stmt *stmt = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(h, BookEntries, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        out.reserve(std::max<qsizetype>(0, total - archived.size()));
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(stmt, 0);
            if (archived.contains(id))
                continue;
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1));
            out.append(ParcelEntry{id, QString::fromUtf8(text, sqlite3_column_bytes(stmt, 1))});
        }
    }
    if (rc == SQLITE_DONE) {
        lastError.clear();
    } else {
        lastError = QString::fromUtf8(sqlite3_errmsg(h));
        out.clear();
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(h, "release book_entries", nullptr, nullptr, nullptr);
    return out;
}

namespace {
// The condition of a search; only these fixed texts reach the statement.
QString searchCondition(ParcelField field, Match match)
{
    const QString column = field == ParcelField::Number ? QStringLiteral("number") : QStringLiteral("goods");
    return column + (match == Match::Exact ? QStringLiteral("=?") : QStringLiteral(" like ?"));
}
} // namespace

bool Store::changedElsewhere()
{
    // The engine's own counter: it moves with every commit of another
    // connection, and costs no read of the book.
    STORE_QUERY("pragma data_version");
    if (!run(q) || !q.next())
        return false;
    const qint64 now = q.value(0).toLongLong();
    const bool changed = dataVersion >= 0 && now != dataVersion;
    dataVersion = now;
    return changed;
}

QSqlQuery Store::searchQuery(const char *columns, ParcelField field, Match match, const QString &text)
{
    QSqlQuery q(QSqlDatabase::database(connName, false));
    q.prepare(QStringLiteral("select %1 from kd100 where %2 order by id")
                  .arg(QLatin1String(columns), searchCondition(field, match)));
    q.addBindValue(match == Match::Exact ? text : likePattern(text));
    return q;
}

std::optional<QList<ParcelEntry>> Store::findEntries(ParcelField field, Match match, const QString &text)
{
    QSqlQuery q = searchQuery("id, goods", field, match, text);
    QList<ParcelEntry> rows = entries(q);
    return lastError.isEmpty() ? std::optional(rows) : std::nullopt;
}

std::optional<QList<ParcelRecord>> Store::findParcels(ParcelField field, Match match, const QString &text)
{
    QSqlQuery q = searchQuery("*", field, match, text);
    QList<ParcelRecord> rows = parcels(q);
    return lastError.isEmpty() ? std::optional(rows) : std::nullopt;
}

std::optional<qint64> Store::rowKey(const QString &id, const char *whenMissing)
{
    // Ids come from list entries and CurrentParcel as text; an empty or
    // foreign text names no row at all.
    bool ok = false;
    const qint64 key = id.trimmed().toLongLong(&ok);
    if (!ok) {
        lastError = QString::fromLatin1(whenMissing);
        return std::nullopt;
    }
    return key;
}

RowLookup<ParcelRecord> Store::parcelById(const QString &id)
{
    const std::optional<qint64> parsed = rowKey(id, "no parcel chosen");
    if (!parsed)
        return {RowLookup<ParcelRecord>::Failed, {}}; // no id: nothing could be looked up
    STORE_QUERY("select * from kd100 where id=?");
    q.addBindValue(*parsed);
    return lookupOf(parcels(q));
}

bool Store::deleteParcel(const QString &id)
{
    const std::optional<qint64> parsed = rowKey(id, "no parcel chosen");
    if (!parsed)
        return false;
    const qint64 key = *parsed;
    return inTransaction([&] {
        STORE_QUERY("delete from progress where id=?");
        q.addBindValue(key);
        if (!run(q))
            return false;
        for (const char *table : {"phone", "service_pace", "parcel_life"}) {
            QSqlQuery side(QSqlDatabase::database(connName, false));
            side.prepare(QStringLiteral("delete from %1 where id=?").arg(QLatin1String(table)));
            side.addBindValue(key);
            if (!run(side))
                return false;
        }
        QSqlQuery del(QSqlDatabase::database(connName, false));
        del.prepare(QStringLiteral("delete from kd100 where id=?"));
        del.addBindValue(key);
        return runOnOneRow(del);
    });
}

bool Store::deleteAllParcelsOnOwnConnection()
{
    const QString name = connName + QStringLiteral("-clear");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dbPath);
        if (!dbPath.isEmpty() && QFileInfo::exists(dbPath) && db.open()) {
            QSqlQuery q(db);
            // The parcels and their kept progress go together or not at all.
            ok = db.transaction() && q.exec(QStringLiteral("delete from progress")) &&
                 q.exec(QStringLiteral("delete from phone")) && q.exec(QStringLiteral("delete from service_pace")) &&
                 q.exec(QStringLiteral("delete from parcel_life")) &&
                 q.exec(QStringLiteral("delete from kd100")) && db.commit();
            lastError = ok ? QString() : q.lastError().text();
            if (!ok)
                db.rollback();
            q.finish();
            db.close();
        } else {
            lastError = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool Store::setParcelNum(const QString &id, const QString &num)
{
    const std::optional<qint64> parsed = rowKey(id, "no parcel chosen");
    if (!parsed)
        return false;
    const qint64 key = *parsed;
    STORE_QUERY("update kd100 set num=? where id=?");
    q.addBindValue(num);
    q.addBindValue(key);
    return run(q);
}

bool Store::updateParcel(const QString &id, const QString &company, const QString &goods,
                         const QString &number, const QString *phone)
{
    const std::optional<qint64> parsed = rowKey(id, "no parcel chosen");
    if (!parsed)
        return false;
    const qint64 key = *parsed;
    return inWriteTransaction([&] {
        // The count and progress kept belong to the number and courier they
        // were read for: another parcel starts afresh, as after the clear button.
        QSqlQuery del(QSqlDatabase::database(connName, false));
        del.prepare(QStringLiteral("delete from progress where id=? and exists (select 1 from kd100 where "
                                   "id=? and (number is not ? or company is not ?))"));
        del.addBindValue(key);
        del.addBindValue(key);
        del.addBindValue(number);
        del.addBindValue(company);
        if (!run(del))
            return false;
        STORE_QUERY(
            "update kd100 set num=case when number is not ? or company is not ? then '0' else num end, "
            "company=?, goods=?, number=? where id=?");
        q.addBindValue(number);
        q.addBindValue(company);
        q.addBindValue(company);
        q.addBindValue(goods);
        q.addBindValue(number);
        q.addBindValue(key);
        return runOnOneRow(q) && (!phone || setPhone(key, *phone));
    });
}

std::optional<qint64> Store::addParcel(const QString &company, const QString &number, const QString &goods,
                                       const QString &num)
{
    STORE_QUERY("insert into kd100 (company, number, goods, num) values (?, ?, ?, ?)");
    q.addBindValue(company);
    q.addBindValue(number);
    q.addBindValue(goods);
    q.addBindValue(num);
    if (!run(q))
        return std::nullopt;
    return q.lastInsertId().toLongLong();
}

Store::Added Store::addParcelOnce(const QString &company, const QString &number, const QString &goods,
                                  const QString &num)
{
    Added added;
    const bool ok = inWriteTransaction([&] {
        STORE_QUERY("select id from kd100 where number=? order by id limit 1");
        q.addBindValue(number);
        if (!run(q))
            return false;
        if (q.next()) {
            added = {Added::AlreadySaved, q.value(0).toLongLong()};
            return true;
        }
        const std::optional<qint64> id = addParcel(company, number, goods, num);
        if (!id)
            return false;
        added = {Added::Saved, *id};
        return true;
    });
    return ok ? added : Added{};
}

QList<CourierRecord> Store::allCouriers()
{
    STORE_QUERY("select * from list order by id");
    return couriers(q);
}

QList<CourierRecord> Store::couriersByName(const QString &name)
{
    STORE_QUERY("select * from list where name=? order by id");
    q.addBindValue(name);
    return couriers(q);
}

QList<CourierRecord> Store::couriersByNameLike(const QString &text)
{
    STORE_QUERY("select * from list where name like ? order by id");
    q.addBindValue(likePattern(text));
    return couriers(q);
}

RowLookup<CourierRecord> Store::courierById(const QString &id)
{
    const std::optional<qint64> parsed = rowKey(id, "bad courier id");
    if (!parsed)
        return {RowLookup<CourierRecord>::Failed, {}}; // no id: nothing could be looked up
    STORE_QUERY("select * from list where id=?");
    q.addBindValue(*parsed);
    return lookupOf(couriers(q));
}

QList<CourierRecord> Store::couriersByShibie(const QString &comCode)
{
    STORE_QUERY("select * from list where shibie=? order by id");
    q.addBindValue(comCode);
    return couriers(q);
}

QList<CourierRecord> Store::couriersByCode(const QString &code)
{
    STORE_QUERY("select * from list where code=? order by id");
    q.addBindValue(code);
    return couriers(q);
}

std::optional<SettingsRecord> Store::settings()
{
    STORE_QUERY("select * from setting limit 1");
    if (!run(q) || !q.next())
        return std::nullopt;
    SettingsRecord s;
    for (const SettingColumn &c : settingColumnTable())
        s.*c.field = q.value(QString::fromUtf8(c.column)).toString();
    return s;
}

bool Store::writeSetting(const QString &column, const QString &value)
{
    if (!settingColumns().contains(column)) {
        lastError = QStringLiteral("unknown setting %1").arg(column);
        return false;
    }
    // The table has one row; every writer reaches it without a condition.
    // The column name comes from the fixed list above, never from the user.
    QSqlQuery q(QSqlDatabase::database(connName, false));
    q.prepare(QStringLiteral("update setting set \"%1\"=?").arg(column));
    q.addBindValue(value);
    return run(q);
}

bool Store::saveProgress(const KeptProgress &p)
{
    STORE_QUERY("insert or replace into progress (id, events, queried, state, unseen) "
                "select ?, ?, ?, ?, ? where exists (select 1 from kd100 where id=?)");
    q.addBindValue(p.id);
    q.addBindValue(eventsJson(p.events));
    q.addBindValue(p.queried.toString(TimeFormat));
    const QString code = statusCode(p.status);
    q.addBindValue(code.isNull() ? QStringLiteral("") : code); // never NULL
    q.addBindValue(p.unseen ? 1 : 0);
    q.addBindValue(p.id);
    return runOnOneRow(q);
}

bool Store::saveNews(const KeptProgress &p, const QString &num)
{
    return inTransaction([&] {
        STORE_QUERY("update kd100 set num=? where id=?");
        q.addBindValue(num);
        q.addBindValue(p.id);
        return runOnOneRow(q) && saveProgress(p);
    });
}

Store::Kept Store::keepAnswer(const KeptProgress &p, const QString &number, const QString &company, int count,
                              bool isSigned)
{
    Kept kept = Kept::Failed;
    const bool ok = inWriteTransaction([&] {
        STORE_QUERY("select number, company, num from kd100 where id=?");
        q.addBindValue(p.id);
        if (!run(q))
            return false;
        if (!q.next()) {
            kept = Kept::Gone;
            return true;
        }
        if (q.value(0).toString() != number || q.value(1).toString() != company) {
            // Asked for a number the row no longer holds: not its progress.
            kept = Kept::Changed;
            return true;
        }
        const QString num = q.value(2).toString();
        q.finish();
        // Picked up or archived while the answer was on its way: kept, and
        // its count too, but nothing is news of a parcel the user put away.
        q.prepare(QStringLiteral("select 1 from parcel_life where id=? and (picked<>'' or archived<>'')"));
        q.addBindValue(p.id);
        if (!run(q))
            return false;
        const bool putAway = q.next();
        q.finish();
        bool isNumber = false;
        double stored = num.trimmed().toDouble(&isNumber);
        if (!isNumber)
            stored = 0;
        // As change detection counts it: no stored count is no news.
        KeptProgress progress = p;
        const bool grew = !num.isEmpty() && stored < count;
        auto storeCount = [&] {
            QSqlQuery up(QSqlDatabase::database(connName, false));
            up.prepare(QStringLiteral("update kd100 set num=? where id=?"));
            up.addBindValue(QString::number(count));
            up.addBindValue(p.id);
            return runOnOneRow(up);
        };
        if (putAway) {
            const auto before = progressOf(QString::number(p.id));
            progress.unseen = before && before->unseen;
            if ((grew && !storeCount()) || !saveProgress(progress))
                return false;
            kept = Kept::Stored;
            return true;
        }
        if (grew && !isSigned) {
            progress.unseen = true;
            if (!storeCount() || !saveProgress(progress))
                return false;
            kept = Kept::News;
            return true;
        }
        // News not looked at yet stays news until the parcel is shown.
        const auto before = progressOf(QString::number(p.id));
        // Signed now, not before: the delivery is news, once. A parcel never
        // kept turned signed when its count grew, as other news is counted.
        const bool turned =
            isSigned && (before ? before->status != Status::Signed : !num.isEmpty() && stored < count);
        if (turned) {
            progress.unseen = true;
            // The stored count only ever grows, as change detection keeps it.
            if (((num.isEmpty() || stored < count) && !storeCount()) || !saveProgress(progress))
                return false;
            kept = Kept::Delivered;
            return true;
        }
        progress.unseen = before && before->unseen;
        if (!saveProgress(progress))
            return false;
        kept = Kept::Stored;
        return true;
    });
    return ok ? kept : Kept::Failed;
}

Store::Claim Store::claimNews(const QString &id, int count)
{
    const std::optional<qint64> parsed = rowKey(id, "no parcel chosen");
    if (!parsed)
        return Claim::Failed;
    // One statement: of two queries that saw the same news, one raises the
    // count and tells it; the other finds it raised.
    STORE_QUERY("update kd100 set num=? where id=? and cast(num as real) < ?");
    q.addBindValue(QString::number(count));
    q.addBindValue(*parsed);
    q.addBindValue(count);
    if (!run(q))
        return Claim::Failed;
    return q.numRowsAffected() > 0 ? Claim::Claimed : Claim::AlreadyTold;
}

std::optional<KeptProgress> Store::progressOf(const QString &id)
{
    const std::optional<qint64> parsed = rowKey(id, "no parcel chosen");
    if (!parsed)
        return std::nullopt;
    const qint64 key = *parsed;
    STORE_QUERY("select events, queried, state, unseen from progress where id=?");
    q.addBindValue(key);
    if (!run(q) || !q.next())
        return std::nullopt;
    KeptProgress p;
    p.id = key;
    p.events = eventsFrom(q.value(0).toString());
    p.queried = QDateTime::fromString(q.value(1).toString(), TimeFormat);
    p.status = statusFromCode(q.value(2).toString());
    p.unseen = q.value(3).toInt() != 0;
    return p;
}

bool Store::resetParcel(const QString &id)
{
    const std::optional<qint64> parsed = rowKey(id, "no parcel chosen");
    if (!parsed)
        return false;
    const qint64 key = *parsed;
    return inTransaction([&] {
        STORE_QUERY("update kd100 set num='0' where id=?");
        q.addBindValue(key);
        if (!run(q))
            return false;
        QSqlQuery del(QSqlDatabase::database(connName, false));
        del.prepare(QStringLiteral("delete from progress where id=?"));
        del.addBindValue(key);
        return run(del);
    });
}

bool Store::markSeen(qint64 id)
{
    STORE_QUERY("update progress set unseen=0 where id=? and unseen<>0");
    q.addBindValue(id);
    return run(q);
}

QHash<qint64, EntryState> Store::entryStates()
{
    QHash<qint64, EntryState> out;
    // Picked-up parcels may have no progress at all. Only parcels with
    // either are looked up, not every row of the book.
    STORE_QUERY("select k.id, p.state, p.unseen, l.picked from kd100 k left join progress p on p.id=k.id"
                " left join parcel_life l on l.id=k.id"
                " where k.id in (select id from progress union select id from parcel_life where picked<>'')");
    q.setForwardOnly(true);
    if (!run(q))
        return out;
    while (q.next()) {
        const bool picked = !q.value(3).toString().isEmpty();
        const EntryState st{picked ? Status::PickedUp : statusFromCode(q.value(1).toString()),
                            q.value(2).toInt() != 0};
        if (st.unseen || st.status == Status::Signed || st.status == Status::AtStation ||
            st.status == Status::Problem || st.status == Status::PickedUp)
            out.insert(q.value(0).toLongLong(), st);
    }
    return out;
}

QList<WatchTarget> Store::watchTargets()
{
    // The courier code as choosing the parcel finds it: the first row of
    // that name.
    STORE_QUERY("select k.id, k.number, k.goods, k.company, k.num,"
                " (select code from list where name=k.company order by id limit 1),"
                " f.digits, s.answered, s.held_until"
                " from kd100 k left join progress p on p.id=k.id"
                " left join phone f on f.id=k.id left join service_pace s on s.id=k.id"
                " where (p.id is null or p.state<>?) and not exists (select 1 from parcel_life l"
                " where l.id=k.id and (l.archived<>'' or l.picked<>'')) order by k.id");
    q.addBindValue(statusCode(Status::Signed));
    q.setForwardOnly(true);
    QList<WatchTarget> out;
    if (!run(q))
        return out;
    while (q.next())
        out.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                    q.value(3).toString(), q.value(4).toString(), q.value(5).toString(), q.value(6).toString(),
                    q.value(7).toLongLong(), q.value(8).toLongLong()});
    return out;
}

bool Store::notePaces(const QList<PaceNote> &notes)
{
    return inTransaction([&] {
        for (const PaceNote &n : notes)
            if (!notePace(n.id, n.answeredMs, n.heldUntilMs))
                return false;
        return true;
    });
}

QString Store::phoneOf(qint64 id)
{
    STORE_QUERY("select digits from phone where id=?");
    q.addBindValue(id);
    if (!run(q) || !q.next())
        return QString();
    return q.value(0).toString();
}

bool Store::setPhone(qint64 id, const QString &digits)
{
    if (digits.isEmpty()) {
        STORE_QUERY("delete from phone where id=?");
        q.addBindValue(id);
        return run(q);
    }
    STORE_QUERY("insert or replace into phone (id, digits) select ?, ? where exists (select 1 from kd100 where id=?)");
    q.addBindValue(id);
    q.addBindValue(digits);
    q.addBindValue(id);
    return runOnOneRow(q);
}

bool Store::notePace(qint64 id, qint64 answeredMs, qint64 heldUntilMs)
{
    STORE_QUERY("insert or replace into service_pace (id, answered, held_until)"
                " select ?, ?, ? where exists (select 1 from kd100 where id=?)");
    q.addBindValue(id);
    q.addBindValue(answeredMs);
    q.addBindValue(heldUntilMs);
    q.addBindValue(id);
    return run(q);
}

Store::PaceNote Store::paceOf(qint64 id)
{
    STORE_QUERY("select answered, held_until from service_pace where id=?");
    q.addBindValue(id);
    if (!run(q) || !q.next())
        return PaceNote{id, 0, 0};
    return PaceNote{id, q.value(0).toLongLong(), q.value(1).toLongLong()};
}

QString Store::watchSetting(const QString &key, const QString &fallback)
{
    STORE_QUERY("select value from watch_setting where key=?");
    q.addBindValue(key);
    if (!run(q) || !q.next())
        return fallback;
    return q.value(0).toString();
}

bool Store::writeWatchSetting(const QString &key, const QString &value)
{
    STORE_QUERY("insert or replace into watch_setting (key, value) values (?, ?)");
    q.addBindValue(key);
    q.addBindValue(value);
    return run(q);
}

bool Store::writeWatchSettings(const QList<QPair<QString, QString>> &pairs)
{
    if (pairs.isEmpty())
        return true;
    return inTransaction([&] {
        for (const auto &[key, value] : pairs)
            if (!writeWatchSetting(key, value))
                return false;
        return true;
    });
}
