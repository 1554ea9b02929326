#include "app/CommandLine.h"
#include "app/Config.h"
#include "app/Desktop.h"
#include "app/Features.h"
#include "app/Form1.h"
#include "app/Language.h"
#include "app/Locations.h"
#include "platform/RealPlatform.h"

#include <QApplication>
#include <QFont>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

// The window, started by the program (src/main.cpp) when it is given no
// command: everything that needs Qt Widgets and a display lives here.
int main(int argc, char *argv[])
{
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    // --help and --version answer before a display is needed, so that they
    // work from a plain terminal.
    CommandLine cl = parseCommandLine(raw);
    std::unique_ptr<QApplication> app;
    // Qt's own options (-platform, -style …) are taken out by QApplication;
    // anything else that failed is the user's mistake, told without a
    // display (a lone "-" or "-x" would otherwise abort in the platform plugin).
    const bool mayBeQtOption = std::any_of(raw.cbegin() + 1, raw.cend(), isToolkitOption);
    if (!cl.ok && mayBeQtOption) {
        app = std::make_unique<QApplication>(argc, argv);
        cl = parseCommandLine(QApplication::arguments());
    }
    if (!cl.ok) {
        std::fputs(qPrintable(cl.error + QLatin1Char('\n') + commandLineHelp()), stderr);
        return 2;
    }
    if (cl.help) {
        std::fputs(qPrintable(commandLineHelp()), stdout);
        return 0;
    }
    if (cl.version) {
        std::fputs(qPrintable(versionLine() + QLatin1Char('\n')), stdout);
        return 0;
    }
    if (!app)
        app = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parcelio"));
    QApplication::setApplicationVersion(QString::fromLatin1(Form1::Version));

    // One family for everything the program shows, message boxes included,
    // so that no second font is looked up and loaded.
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 9));
    const Locations at = findLocations(programDir());
    const Config cfg = Config::load(at.iniPath);
    // Before any text is made: ours for English, Qt's own for Chinese.
    const Language language = chooseLanguage(cfg.language);
    installTranslation(app.get(), language, translationDir(at.resourceDir));
    installQtTranslation(app.get(), language);
    RealPlatform platform;
    Form1 window(at.dataDir, cfg, platform);
    window.setResourceDirectory(at.resourceDir);
    if (!window.load(cl.seed))
        return 1;
    if (QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    // Started with the desktop: only the tray icon shows, when there is a tray.
    if (!cl.hidden || !window.features().desktop().inTray())
        window.show();
    // --quit-after-show: leave as soon as the window is up (start-up benchmark).
    if (cl.quitAfterShow)
        QTimer::singleShot(0, app.get(), &QCoreApplication::quit);
    const int rc = app->exec();
    window.finishNewsBeforeExit();
    // Text the program copied lives in this process until the clipboard
    // manager takes it, which Qt arranges as the application is torn down:
    // then leave the ordinary way.
    if (ownsClipboard())
        return rc;
    // Every change is already in the database: leave without tearing down
    // thousands of list entries and widgets one by one, as the close label does.
    std::fflush(nullptr);
    std::_Exit(rc);
}
