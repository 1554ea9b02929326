#include "platform/Modules.h"

#include <QCoreApplication>
#include <QStringList>

QFunctionPointer moduleFunction(const char *module, const char *symbol, const QString &programDir)
{
    const QString here = programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
    // Last, the folder it was built in: a program copied out of it on its
    // own still makes its requests, sends its mail and plays its sound.
    QStringList dirs{here, here + QStringLiteral("/" PARCELIO_MODULE_RELDIR), QStringLiteral(PARCELIO_BUILT_MODULE_DIR)};
    const QString chosen = qEnvironmentVariable("PARCELIO_MODULE_DIR");
    if (!chosen.isEmpty())
        dirs.prepend(chosen);
    for (const QString &dir : dirs) {
        // A loaded library stays loaded when the QLibrary goes out of scope.
        QLibrary lib(dir + QStringLiteral("/lib") + QLatin1String(module));
        if (QFunctionPointer f = lib.resolve(symbol))
            return f;
    }
    return nullptr;
}
