#include "app/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

QString autostartPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/") + QString::fromLatin1(AppId) + QStringLiteral(".desktop");
}

bool autostartOn()
{
    return QFileInfo::exists(autostartPath());
}

namespace {
// The Exec key quotes an argument with a space or a reserved character, and
// escapes the four that stay special inside quotes.
QString execArgument(const QString &arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`%");
    if (!std::any_of(arg.cbegin(), arg.cend(), [](QChar c) { return reserved.contains(c); }))
        return arg;
    QString out;
    for (QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    // A literal percent sign is doubled in any case.
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// The Exec value is also a string value of the file, whose own escapes
// come on top: each backslash of the quoting above is written twice.
QString stringValue(const QString &text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    return out;
}
} // namespace

bool writeAutostart(const QString &program)
{
    const QString path = autostartPath();
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Parcelio\n"
                                         "Name[zh_CN]=快递跟踪助手\n"
                                         "Comment=Keeps watching saved parcels from the tray\n"
                                         "Comment[zh_CN]=在托盘中继续跟踪已保存的快递\n"
                                         "Icon=parcelio\n"
                                         "Exec=%1 --hidden\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(stringValue(execArgument(program)));
    f.write(entry.toUtf8());
    return f.commit();
}

bool removeAutostart()
{
    const QString path = autostartPath();
    return !QFileInfo::exists(path) || QFile::remove(path);
}
