#pragma once
// What tests do to the book's files from outside the program: open the
// database a second time, as another program beside it would, and read a
// file's mode bits.
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <sys/stat.h>

// The database at file on a connection of its own, closed and let go when
// this goes out of scope. Queries made on database() must end first.
class SecondConnection {
public:
    explicit SecondConnection(const QString &file, const QString &name = QStringLiteral("second"))
        : name(name)
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.open();
    }
    ~SecondConnection()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    SecondConnection(const SecondConnection &) = delete;
    SecondConnection &operator=(const SecondConnection &) = delete;

    bool isOpen() const { return db.isOpen(); }
    // One statement; false when it failed, the engine's words in the log.
    bool exec(const QString &statement)
    {
        QSqlQuery q(db);
        if (q.exec(statement))
            return true;
        qWarning("test SQL failed: %s", qPrintable(q.lastError().text()));
        return false;
    }
    QSqlDatabase &database() { return db; }

private:
    QString name;
    QSqlDatabase db;
};

// A file's permission bits (links not followed), or -1 when it is missing.
inline int fileMode(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}
