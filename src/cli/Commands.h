#pragma once
// The commands for terminals, scripts and timers (parcelio list, query …;
// the table in Commands.cpp holds them all): the same book and the same
// services as the window, without a window or a display.
#include <QString>
#include <QList>
#include <QStringList>
#include <functional>

// Exit statuses of the commands, as the help and the README tell them.
namespace CommandStatus {
enum : int {
    Ok = 0,
    NoNews = 1,          // refresh: every answer read, nothing new
    Usage = 2,           // bad usage or input refused; nothing changed
    UnknownNumber = 3,   // the tracking service does not know the number
    ServiceFailed = 4,   // a service failed, did not answer or could not be read
    DatabaseRefused = 5, // the book cannot be opened or written
    OutputFailed = 6,    // what was to be printed could not be written (what was done stays)
    NothingDue = 7,      // refresh: no parcel was due (all held, resting or none)
};
}

bool isCommandName(const QString &word);
// arguments: the command's name and what follows it. Needs a running
// QCoreApplication (its folder decides where the book lives).
int runCommand(const QStringList &arguments);
// The commands and exit statuses, for parcelio --help.
QString commandsHelp();
// The usage line of one command.
QString commandUsage(const QString &name);
// One command's usage; empty for a name that is no command.
QString commandHelp(const QString &name);

// Hands a refresh round's news (the parcels' ids) to a window running on
// the same book (bookDir), which tells it with its own actions: true when one
// took it. Unset (tests of the logic), no window takes it.
extern std::function<bool(const QString &bookDir, const QStringList &ids)> tellDesktop;
