// Opening the book, its lock, and the running of statements and transactions.
#include "store/PrivateFiles.h"
#include "store/Store.h"
#include "store/StoreSql.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QVariant>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

Store::Store() : conn(std::make_unique<SqlConnection>()) {}

Store::~Store()
{
    conn->close();
    if (lockFd >= 0)
        ::close(lockFd);
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

    SqlConnection &db = *conn;
    if (!db.open(dbPath)) {
        lastError = db.lastError().text();
        return OpenResult::Failed;
    }
    // The book is mostly read whole (at start, on a refill); the engine's
    // default page cache (2 MiB) would hold it for nothing: the system's
    // file cache serves a later read as fast. A lookup by id needs a few
    // pages.
    SqlQuery(db).exec(QStringLiteral("pragma cache_size = -64"));
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
    SqlQuery q(db);
    if (!q.exec(QStringLiteral("select count(*) from sqlite_master where type='table' and "
                               "name in ('kd100','list','setting')")) ||
        !q.next() || q.value(0).toInt() != 3) {
        lastError = q.lastError().isValid() ? q.lastError().text() : QStringLiteral("tables missing");
        return OpenResult::Failed;
    }
    return upgrade();
}

bool Store::inTransaction(const std::function<bool()> &work)
{
    SqlConnection &db = *conn;
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
    SqlQuery q(*conn);
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
    SqlConnection &db = *conn;
    // The window's connection may be writing: wait for it rather than fail.
    if (!db.open(path, 10000)) {
        lastError = db.lastError().text();
        return false;
    }
    // A round or a command touches each row about once: a small page cache
    // is enough.
    SqlQuery(db).exec(QStringLiteral("pragma cache_size = -256"));
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
    SqlQuery q(*conn);
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
    return conn->isOpen();
}

bool Store::runScript(const QString &text)
{
    SqlConnection &db = *conn;
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
        SqlQuery q(db);
        if (!q.exec(stmt)) {
            lastError = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool Store::run(SqlQuery &q)
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

bool Store::runOnOneRow(SqlQuery &q)
{
    if (!run(q))
        return false;
    if (q.numRowsAffected() > 0)
        return true;
    lastError = QStringLiteral("no such parcel");
    return false;
}
