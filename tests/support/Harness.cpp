#include "support/Harness.h"
#include "support/BookFiles.h"

#include <QDir>
#include <QSettings>
#include <QTest>

Harness::Harness()
{
    // The window reads its skin from its own directory, as the real one does.
    QFile::copy(QStringLiteral(PARCELIO_SOURCE_DIR "/resources/skinh.she"),
                dir.path() + QStringLiteral("/skinh.she"));
    // The update check and the clock calibration ask a closed local port
    // unless a test points them at the stand-in: no test reaches the internet.
    const QString closed = QStringLiteral("127.0.0.1:1");
    setIni(QStringLiteral("maker/host"), closed);
    setIni(QStringLiteral("clock/probe"), QStringLiteral("http://%1/").arg(closed));
    setIni(QStringLiteral("clock/timeserver"), QStringLiteral("http://%1/").arg(closed));
}

Harness::~Harness() = default;

void Harness::setIni(const QString &key, const QString &value)
{
    QSettings ini(dir.path() + QStringLiteral("/parcelio.ini"), QSettings::IniFormat);
    ini.setValue(key, value);
    ini.sync();
    // As the program makes it: the user's alone.
    QFile::setPermissions(ini.fileName(), QFile::ReadOwner | QFile::WriteOwner);
}

bool Harness::start(const QString &seedSql)
{
    form = std::make_unique<Form1>(dir.path(), Config::load(dir.path() + QStringLiteral("/parcelio.ini")),
                                   platform);
    // Every control, panels included, is there to be found by name.
    if (allPanels)
        form->buildPanels();
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

bool Harness::passUpdateCheck()
{
    // The check switches its timer off first, and a test only sees the timer
    // off once the handler (with its nested waits) has returned.
    return QTest::qWaitFor([this] { return !form->Timer3->isActive(); }, 10000);
}

bool Harness::execStatements(const QStringList &statements)
{
    SecondConnection db(dir.path() + QStringLiteral("/db/kd100.mdb"), QStringLiteral("harness-statements"));
    if (!db.isOpen())
        return false;
    for (const QString &s : statements)
        if (!db.exec(s))
            return false;
    return true;
}

void Harness::execSql(const QString &sql)
{
    SecondConnection db(dir.path() + QStringLiteral("/db/kd100.mdb"), QStringLiteral("harness-sql"));
    if (!db.isOpen())
        qFatal("cannot open test database");
    for (const QString &stmt : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (stmt.trimmed().isEmpty())
            continue;
        if (!db.exec(stmt))
            qFatal("test SQL failed");
    }
}
