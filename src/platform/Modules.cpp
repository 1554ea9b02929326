#include "platform/Modules.h"

#include <QCoreApplication>
#include <QStringList>

QFunctionPointer moduleFunction(const char *module, const char *symbol, const QString &programDir)
{
    const QString here = programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
    QStringList dirs{here, here + QStringLiteral("/" PARCELIO_MODULE_RELDIR)};
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
