#pragma once
#include <QString>
#include <QStringList>

// What the program was asked for on its command line.
struct CommandLine {
    bool ok = true;
    QString error; // why it was refused, when !ok
    bool help = false;
    bool version = false;
    bool quitAfterShow = false;
    bool hidden = false; // start in the tray (the autostart entry)
    QString seed; // SQL run once when a new database is made
};

// arguments starts with the program's name, as QCoreApplication::arguments().
CommandLine parseCommandLine(const QStringList &arguments);
// Every option, one line each.
QString commandLineHelp();
QString versionLine();
// Whether a word of the command line is one of Qt's own options (-platform,
// -style …), which the window's QApplication takes out; any other word is
// the user's mistake and is told without loading the window.
bool isToolkitOption(const QString &argument);
