#include "app/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

Language chooseLanguage(const QString &setting, const std::function<QByteArray(const char *)> &env)
{
    const QString s = setting.trimmed().toLower();
    if (s == QLatin1String("zh"))
        return Language::Chinese;
    if (s == QLatin1String("en"))
        return Language::English;
    QByteArray locale;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = env(name);
        if (!locale.isEmpty())
            break;
    }
    if (locale.isEmpty() || locale == "C" || locale.startsWith("C.") || locale == "POSIX" ||
        locale.startsWith("zh"))
        return Language::Chinese;
    return Language::English;
}

Language chooseLanguage(const QString &setting)
{
    return chooseLanguage(setting, [](const char *name) { return qgetenv(name); });
}

bool installTranslation(QCoreApplication *app, Language language, const QString &dir)
{
    if (language == Language::Chinese)
        return true;
    // Owned by the application, which it serves for the rest of the run.
    auto *english = new QTranslator(app);
    if (!english->load(QStringLiteral("parcelio_en"), dir)) {
        delete english;
        return false;
    }
    QCoreApplication::installTranslator(english);
    return true;
}

bool installQtTranslation(QCoreApplication *app, Language language)
{
    if (language != Language::Chinese)
        return true;
    auto *qt = new QTranslator(app);
    if (!qt->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}

QString translationDir(const QString &resourceDir)
{
    return resourceDir + QStringLiteral("/translations");
}
