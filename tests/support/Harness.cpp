#include "support/Harness.h"

#include <QDir>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

Harness::Harness()
{
    // The window reads its skin from its own directory, as the real one does.
    QFile::copy(QStringLiteral(PARCELIO_SOURCE_DIR "/resources/skinh.she"),
                dir.path() + QStringLiteral("/skinh.she"));
}

Harness::~Harness() = default;

void Harness::setIni(const QString &key, const QString &value)
{
    QSettings ini(dir.path() + QStringLiteral("/parcelio.ini"), QSettings::IniFormat);
    ini.setValue(key, value);
    ini.sync();
}

bool Harness::start(const QString &seedSql)
{
    form = std::make_unique<Form1>(dir.path(),
                                   Config::load(dir.path() + QStringLiteral("/parcelio.ini")),
                                   platform);
    if (!form->load(seedSql))
        return false;
    form->show();
    // Mouse tests need the window really on its (offscreen) screen.
    return QTest::qWaitForWindowExposed(form.get());
}

bool Harness::startSeeded(const QByteArray &sql)
{
    QFile seed(dir.path() + QStringLiteral("/seed.sql"));
    if (!seed.open(QIODevice::WriteOnly) || seed.write(sql) != sql.size())
        return false;
    seed.close();
    return start(seed.fileName());
}

void Harness::execSql(const QString &sql)
{
    const QString name = QStringLiteral("harness-sql");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dir.path() + QStringLiteral("/db/kd100.mdb"));
        if (!db.open())
            qFatal("cannot open test database");
        for (const QString &stmt : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (stmt.trimmed().isEmpty())
                continue;
            QSqlQuery q(db);
            if (!q.exec(stmt))
                qFatal("test SQL failed: %s", qPrintable(q.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
