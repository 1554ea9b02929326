#pragma once
// The language of the program's own texts. The Chinese texts in the code are
// the source texts; English comes from a Qt Linguist translation, loaded only
// when it is chosen, so that a Chinese start costs nothing.
#include <QString>
#include <functional>

class QCoreApplication;

enum class Language { Chinese, English };

// setting is [desktop] language= of parcelio.ini: "zh", "en", or "auto"
// (or empty, or anything else) to follow the locale. The locale is the
// first set of LC_ALL, LC_MESSAGES and LANG, as the C library reads them:
// Chinese for zh_*, C, POSIX and none; English for every other.
Language chooseLanguage(const QString &setting, const std::function<QByteArray(const char *)> &env);
// The same with the process's own environment.
Language chooseLanguage(const QString &setting);

// Installs the English translation from dir (parcelio_en.qm) into app when
// language is English; nothing is loaded for Chinese. False when English was
// chosen but the file is missing or unreadable: the texts then stay Chinese.
bool installTranslation(QCoreApplication *app, Language language, const QString &dir);
// Qt's own texts (buttons, file dialogs) in Chinese, from Qt's translations
// (Debian: qt6-translations-l10n), when the language is Chinese; Qt speaks
// English by itself. False when they are not installed.
bool installQtTranslation(QCoreApplication *app, Language language);

// The folder of the translations: beside the program in a build, under
// share/parcelio when installed (the resource folder of Locations).
QString translationDir(const QString &resourceDir);
