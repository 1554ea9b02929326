#pragma once
#include <QLibrary>

// A function of one of the program's own modules (libNAME.so), loaded on
// first use so that start-up does not pay for the libraries behind it.
// Looked for in $PARCELIO_MODULE_DIR, beside the program, in the installed
// module folder, then in the folder it was built in; null when the module
// or symbol is missing.
// programDir: the program's folder, for a caller without a QCoreApplication.
QFunctionPointer moduleFunction(const char *module, const char *symbol,
                                const QString &programDir = QString());
