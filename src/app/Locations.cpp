#include "app/Locations.h"
#include "app/Config.h"
#include "store/PrivateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString installedResourceDir(const QString &programDir)
{
    return QDir::cleanPath(programDir + QStringLiteral("/../share/parcelio"));
}

const QString SkinFile = QStringLiteral("/skinh.she");
const QString IniName = QStringLiteral("parcelio.ini");
} // namespace

Locations findLocations(const QString &programDir)
{
    Locations at;
    at.resourceDir = programDir;
    const bool installed = !QFileInfo::exists(programDir + SkinFile) &&
                           QFileInfo::exists(installedResourceDir(programDir) + SkinFile);
    if (installed)
        at.resourceDir = installedResourceDir(programDir);
    // Root can write anywhere, so writability alone would put an installed
    // program's database into /usr/bin: the layout decides first.
    at.portable = !installed && QFileInfo(programDir).isWritable();
    if (at.portable) {
        at.dataDir = programDir;
        at.iniPath = programDir + QLatin1Char('/') + IniName;
        return at;
    }
    at.dataDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/parcelio");
    const QString configDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/parcelio");
    at.iniPath = configDir + QLatin1Char('/') + IniName;
    // A first start leaves a file to edit; every key is optional. It will
    // hold the mail password: the user's alone, as is its folder.
    if (!QFileInfo::exists(at.iniPath) && makePrivateDir(configDir))
        createPrivateFile(at.iniPath, Config::iniTemplate());
    return at;
}

QString programDir()
{
    const QString named = qEnvironmentVariable("PARCELIO_PROGRAM_DIR");
    return named.isEmpty() ? QCoreApplication::applicationDirPath() : named;
}
