#include "app/CommandLine.h"
#include "Version.h"
#include "app/Tr.h"
#include "cli/Commands.h"

#include <QCommandLineParser>

namespace {
// Terminal columns: CJK characters take two.
int displayWidth(const QString &s)
{
    int w = 0;
    for (QChar c : s)
        w += c.unicode() >= 0x2E80 ? 2 : 1;
    return w;
}

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, Parcelio::tr("显示本帮助并退出")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               Parcelio::tr("显示版本号并退出")};
    QCommandLineOption seed{QStringLiteral("seed"), Parcelio::tr("新建数据库时执行此 SQL 文件(演示数据用)"),
                            Parcelio::tr("文件")};
    QCommandLineOption quitAfterShow{QStringLiteral("quit-after-show"),
                                     Parcelio::tr("窗口显示后立即退出(测量启动时间用)")};
    QCommandLineOption hidden{QStringLiteral("hidden"),
                              Parcelio::tr("启动时只在托盘中显示图标(开机自动启动用)")};
    QList<const QCommandLineOption *> all() const
    {
        return {&help, &version, &seed, &quitAfterShow, &hidden};
    }
};
} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const Options o;
    QCommandLineParser parser;
    for (const QCommandLineOption *opt : o.all())
        parser.addOption(*opt);
    CommandLine cl;
    if (!parser.parse(arguments)) {
        cl.ok = false;
        QStringList unknown;
        for (const QString &n : parser.unknownOptionNames())
            unknown << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        cl.error = unknown.isEmpty() ? Parcelio::tr("命令行有误: ") + parser.errorText()
                                     : Parcelio::tr("未知选项: ") + unknown.join(QStringLiteral(", "));
        return cl;
    }
    if (!parser.positionalArguments().isEmpty()) {
        cl.ok = false;
        cl.error = Parcelio::tr("多余的参数: ") + parser.positionalArguments().join(QLatin1Char(' '));
        return cl;
    }
    cl.help = parser.isSet(o.help);
    cl.version = parser.isSet(o.version);
    cl.quitAfterShow = parser.isSet(o.quitAfterShow);
    cl.hidden = parser.isSet(o.hidden);
    cl.seed = parser.value(o.seed);
    return cl;
}

QString commandLineHelp()
{
    const Options o;
    QString text =
        Parcelio::tr("用法: parcelio [选项]\n      parcelio <命令> [参数]\n快递跟踪助手 %1\n\n选项:\n")
            .arg(versionLine());
    for (const QCommandLineOption *opt : o.all()) {
        QStringList names;
        for (const QString &n : opt->names())
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        QString left = names.join(QStringLiteral(", "));
        if (!opt->valueName().isEmpty())
            left += QStringLiteral(" <%1>").arg(opt->valueName());
        left += QString(qMax(1, 26 - displayWidth(left)), QLatin1Char(' '));
        text += QStringLiteral("  %1%2\n").arg(left, opt->description());
    }
    return text + commandsHelp();
}

QString versionLine()
{
    return QStringLiteral("Parcelio ") + QStringLiteral(PARCELIO_VERSION);
}

bool isToolkitOption(const QString &argument)
{
    // QGuiApplication's and QApplication's options (X11's included), with
    // one dash; "-style=fusion" as well as "-style fusion".
    static const QStringList names{
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("geometry"),      QStringLiteral("qwindowicon"),
        QStringLiteral("icon"),          QStringLiteral("qwindowtitle"),
        QStringLiteral("title"),         QStringLiteral("reverse"),
        QStringLiteral("session"),       QStringLiteral("display"),
        QStringLiteral("name"),          QStringLiteral("nograb"),
        QStringLiteral("dograb"),        QStringLiteral("style"),
        QStringLiteral("stylesheet"),    QStringLiteral("widgetcount"),
        QStringLiteral("testability"),
    };
    if (!argument.startsWith(QLatin1Char('-')) || argument.startsWith(QStringLiteral("--")))
        return false;
    return names.contains(argument.mid(1).section(QLatin1Char('='), 0, 0));
}
