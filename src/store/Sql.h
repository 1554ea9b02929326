#pragma once
// Statements straight on the SQLite engine, with the few calls the store
// makes: the window starts without a SQL module and its driver plugin.
// Values come back as the engine holds them (integers as qlonglong, text
// as QString, NULL as a null QString); a null QString, QByteArray or date
// is bound as NULL.
#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// The engine's message first, then what was being done.
class SqlError {
public:
    SqlError() = default;
    SqlError(const QString &engine, const QString &doing) : engineText(engine), doingText(doing) {}
    bool isValid() const { return !engineText.isEmpty() || !doingText.isEmpty(); }
    QString text() const;

private:
    QString engineText;
    QString doingText;
};

// One connection; used from one thread at a time.
class SqlConnection {
public:
    SqlConnection() = default;
    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    // Made when missing. A busy book is waited for up to busyTimeoutMs.
    bool open(const QString &path, int busyTimeoutMs = 5000);
    void close();
    bool isOpen() const { return h != nullptr; }
    bool transaction();
    bool commit();
    bool rollback();
    SqlError lastError() const { return error; }
    sqlite3 *handle() const { return h; }

private:
    bool run(const char *sql, const char *doing);
    sqlite3 *h = nullptr;
    SqlError error;
};

// One statement. After exec() a query's rows are read with next() and value().
class SqlQuery {
public:
    explicit SqlQuery(SqlConnection &connection) : c(&connection) {}
    ~SqlQuery();
    SqlQuery(SqlQuery &&other) noexcept;
    SqlQuery &operator=(SqlQuery &&other) noexcept;
    SqlQuery(const SqlQuery &) = delete;
    SqlQuery &operator=(const SqlQuery &) = delete;

    bool prepare(const QString &sql);
    // The next value in order; after an exec() the first again, so that one
    // prepared statement runs with value after value.
    void addBindValue(const QVariant &value);
    bool exec();
    bool exec(const QString &sql) { return prepare(sql) && exec(); }
    bool next();
    QVariant value(int column) const;
    // By the column's name in the statement (any case).
    QVariant value(const QString &column) const;
    // Rows the last change touched; -1 and no id after a failed exec().
    int numRowsAffected() const { return changes; }
    QVariant lastInsertId() const { return insertId ? QVariant(insertId) : QVariant(); }
    SqlError lastError() const { return error; }
    // Done with its rows: its read ends now rather than when it goes.
    void finish();
    void setForwardOnly(bool) {} // it always is

private:
    bool fail(const char *doing);
    SqlConnection *c;
    sqlite3_stmt *stmt = nullptr;
    QList<QVariant> bound;
    qsizetype bindAt = 0;
    SqlError error;
    bool firstRowWaiting = false;
    bool onRow = false;
    int changes = 0;
    qint64 insertId = 0;
};
