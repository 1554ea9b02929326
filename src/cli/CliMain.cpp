#include "app/CommandLine.h"
#include "app/Config.h"
#include "app/Language.h"
#include "app/Locations.h"
#include "app/Tr.h"
#include "cli/Commands.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

// The commands (parcelio list, query …), their help and the program's
// --help and --version: Qt Core alone, so that terminals, timers and status
// bars need no display. The program (src/main.cpp) hands them over here.
bool tellDesktopOverBus(const QString &bookDir, const QStringList &ids);

int main(int argc, char *argv[])
{
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    QCoreApplication app(argc, argv);
    QString iniWarning;
    {
        // The commands speak the window's language; in Chinese only Qt's own
        // texts (the option parser's complaints) need a translation.
        const Locations at = findLocations(programDir());
        const Config cfg = Config::load(at.iniPath);
        const Language language = chooseLanguage(cfg.language);
        installTranslation(&app, language, translationDir(at.resourceDir));
        installQtTranslation(&app, language);
        if (!cfg.iniWarning.isEmpty()) // again, now in the chosen language
            iniWarning = Config::load(at.iniPath).iniWarning;
    }
    if (raw.size() > 1 && isCommandName(raw.at(1))) {
        if (!iniWarning.isEmpty())
            std::fputs(("parcelio: " + iniWarning + QLatin1Char('\n')).toUtf8().constData(), stderr);
        tellDesktop = tellDesktopOverBus;
        return runCommand(raw.mid(1));
    }
    if (raw.size() > 1 && !raw.at(1).startsWith(QLatin1Char('-'))) {
        std::fputs(Parcelio::tr("parcelio: 没有这个命令: %1 (parcelio --help 列出全部命令)\n")
                       .arg(raw.at(1))
                       .toUtf8()
                       .constData(),
                   stderr);
        return 2;
    }
    // --help, --version and mistakes are answered without loading the window.
    const CommandLine cl = parseCommandLine(raw);
    // Qt's own options (-platform, -style …) take one dash and are the
    // window's to read; anything else that failed is the user's mistake.
    const bool mayBeQtOption = std::any_of(raw.cbegin() + 1, raw.cend(), isToolkitOption);
    if (!cl.ok && !mayBeQtOption) {
        std::fputs((cl.error + QLatin1Char('\n') + commandLineHelp()).toUtf8().constData(), stderr);
        return 2;
    }
    // Help that never arrived (a full disk) is no success.
    auto printed = [] {
        if (std::fflush(stdout) == 0 && !std::ferror(stdout))
            return 0;
        std::fputs("parcelio: 输出无法写入\n", stderr);
        return int(CommandStatus::OutputFailed);
    };
    if (cl.ok && cl.help) {
        std::fputs(commandLineHelp().toUtf8().constData(), stdout);
        return printed();
    }
    if (cl.ok && cl.version) {
        std::fputs((versionLine() + QLatin1Char('\n')).toUtf8().constData(), stdout);
        return printed();
    }
    // The window is parcelio-window's, which the program starts itself.
    std::fputs(commandLineHelp().toUtf8().constData(), stderr);
    return 2;
}
