#include "store/Sql.h"

#include <QDateTime>
#include <sqlite3.h>
#include <utility>

QString SqlError::text() const
{
    if (engineText.isEmpty() || doingText.isEmpty())
        return engineText + doingText;
    return engineText + QLatin1Char(' ') + doingText;
}

namespace {
QString engineMessage(sqlite3 *h)
{
    return h ? QString::fromUtf8(sqlite3_errmsg(h)) : QStringLiteral("out of memory");
}

// Null in the book for a null value of these types, as the engine's users
// have always had it.
bool isNullValue(const QVariant &v)
{
    if (v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString().isNull();
    case QMetaType::QByteArray: return v.toByteArray().isNull();
    case QMetaType::QDateTime: return v.toDateTime().isNull();
    case QMetaType::QDate: return v.toDate().isNull();
    case QMetaType::QTime: return v.toTime().isNull();
    default: return false;
    }
}

int bind(sqlite3_stmt *stmt, int at, const QVariant &v)
{
    if (isNullValue(v))
        return sqlite3_bind_null(stmt, at);
    switch (v.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob64(stmt, at, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort: return sqlite3_bind_int64(stmt, at, v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: return sqlite3_bind_double(stmt, at, v.toDouble());
    case QMetaType::QDateTime: {
        const QByteArray text = v.toDateTime().toString(Qt::ISODateWithMs).toUtf8();
        return sqlite3_bind_text64(stmt, at, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                   SQLITE_UTF8);
    }
    default: {
        const QString text = v.toString();
        return sqlite3_bind_text16(stmt, at, text.utf16(), int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
    }
    }
}
} // namespace

SqlConnection::~SqlConnection()
{
    close();
}

bool SqlConnection::open(const QString &path, int busyTimeoutMs)
{
    close();
    sqlite3 *opened = nullptr;
    // One thread uses a connection at a time (each Store has its own), so
    // the engine need not lock it at every call.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &opened,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error = SqlError(engineMessage(opened), QStringLiteral("Error opening database"));
        sqlite3_close(opened);
        return false;
    }
    sqlite3_busy_timeout(opened, busyTimeoutMs);
    h = opened;
    error = SqlError();
    return true;
}

void SqlConnection::close()
{
    // Statements still about end with their queries; the engine closes
    // the file once the last one is gone.
    if (h)
        sqlite3_close_v2(h);
    h = nullptr;
}

bool SqlConnection::run(const char *sql, const char *doing)
{
    if (!h) {
        error = SqlError(QString(), QStringLiteral("Driver not loaded"));
        return false;
    }
    if (sqlite3_exec(h, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = SqlError(engineMessage(h), QString::fromLatin1(doing));
        return false;
    }
    error = SqlError();
    return true;
}

bool SqlConnection::transaction()
{
    return run("BEGIN", "Unable to begin transaction");
}

bool SqlConnection::commit()
{
    return run("COMMIT", "Unable to commit transaction");
}

bool SqlConnection::rollback()
{
    return run("ROLLBACK", "Unable to rollback transaction");
}

SqlQuery::~SqlQuery()
{
    sqlite3_finalize(stmt);
}

SqlQuery::SqlQuery(SqlQuery &&other) noexcept
    : c(other.c),
      stmt(std::exchange(other.stmt, nullptr)),
      bound(std::move(other.bound)),
      bindAt(other.bindAt),
      error(std::move(other.error)),
      firstRowWaiting(other.firstRowWaiting),
      onRow(other.onRow),
      changes(other.changes),
      insertId(other.insertId)
{
}

SqlQuery &SqlQuery::operator=(SqlQuery &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(stmt);
        c = other.c;
        stmt = std::exchange(other.stmt, nullptr);
        bound = std::move(other.bound);
        bindAt = other.bindAt;
        error = std::move(other.error);
        firstRowWaiting = other.firstRowWaiting;
        onRow = other.onRow;
        changes = other.changes;
        insertId = other.insertId;
    }
    return *this;
}

bool SqlQuery::fail(const char *doing)
{
    error = SqlError(engineMessage(c->handle()), QString::fromLatin1(doing));
    onRow = firstRowWaiting = false;
    if (stmt)
        sqlite3_reset(stmt);
    return false;
}

bool SqlQuery::prepare(const QString &sql)
{
    sqlite3_finalize(stmt);
    stmt = nullptr;
    bound.clear();
    bindAt = 0;
    onRow = firstRowWaiting = false;
    if (!c->handle()) {
        error = SqlError(QString(), QStringLiteral("Driver not loaded"));
        return false;
    }
    const int rc = sqlite3_prepare16_v2(c->handle(), sql.utf16(), int(sql.size() * sizeof(char16_t)), &stmt,
                                        nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        stmt = nullptr;
        return fail("Unable to execute statement");
    }
    error = SqlError();
    return true;
}

void SqlQuery::addBindValue(const QVariant &value)
{
    if (bindAt < bound.size())
        bound[bindAt] = value;
    else
        bound.append(value);
    ++bindAt;
}

bool SqlQuery::exec()
{
    // A failed run touched nothing and made no row: what an earlier run
    // left must not be taken for its result.
    changes = -1;
    insertId = 0;
    if (!stmt) {
        if (!error.isValid())
            error = SqlError(QString(), QStringLiteral("Unable to execute statement"));
        return false;
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    onRow = firstRowWaiting = false;
    bindAt = 0;
    if (bound.size() != sqlite3_bind_parameter_count(stmt)) {
        error = SqlError(QString(), QStringLiteral("Parameter count mismatch"));
        return false;
    }
    for (int i = 0; i < bound.size(); ++i)
        if (bind(stmt, i + 1, bound.at(i)) != SQLITE_OK)
            return fail("Unable to bind parameters");
    switch (sqlite3_step(stmt)) {
    case SQLITE_ROW: firstRowWaiting = true; break;
    case SQLITE_DONE: sqlite3_reset(stmt); break;
    default: return fail("Unable to fetch row");
    }
    changes = sqlite3_changes(c->handle());
    insertId = sqlite3_last_insert_rowid(c->handle());
    error = SqlError();
    return true;
}

bool SqlQuery::next()
{
    if (firstRowWaiting) {
        firstRowWaiting = false;
        onRow = true;
        return true;
    }
    if (!onRow || !stmt)
        return false;
    switch (sqlite3_step(stmt)) {
    case SQLITE_ROW: return true;
    case SQLITE_DONE:
        onRow = false;
        sqlite3_reset(stmt);
        return false;
    default: return fail("Unable to fetch row");
    }
}

QVariant SqlQuery::value(int column) const
{
    if (!onRow || column < 0 || column >= sqlite3_column_count(stmt))
        return QVariant();
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_NULL: return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, column)));
    }
    default: {
        const auto *text = static_cast<const QChar *>(sqlite3_column_text16(stmt, column));
        return QVariant(QString(text, sqlite3_column_bytes16(stmt, column) / int(sizeof(QChar))));
    }
    }
}

QVariant SqlQuery::value(const QString &column) const
{
    const int count = stmt ? sqlite3_column_count(stmt) : 0;
    for (int i = 0; i < count; ++i)
        // Read as it is, without a string made for each name of each row.
        if (QAnyStringView::compare(column, QUtf8StringView(sqlite3_column_name(stmt, i)), Qt::CaseInsensitive) == 0)
            return value(i);
    return QVariant();
}

void SqlQuery::finish()
{
    if (stmt)
        sqlite3_reset(stmt);
    onRow = firstRowWaiting = false;
}
