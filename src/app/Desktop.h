#pragma once
// The program as a citizen of the desktop: the tray icon, the settings'
// switches for it and for starting with the desktop, the notifications'
// actions, and the news a command run beside the window hands over.
#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class Form1;
class QCheckBox;
class QMenu;
class QSystemTrayIcon;

class Desktop : public QObject {
public:
    // Makes the two switches in the settings panel.
    explicit Desktop(Form1 &window);

    // After the settings are loaded: the tray as stored (or forced by the
    // ini), the notifications' actions, the bus name for commands' news.
    void start();
    // The icon is in a tray: closing the window hides it.
    bool inTray() const;
    // The tray's tooltip and picture: the parcels with unseen news and
    // those waiting at a station.
    void updateTray();
    // The actions a notification of news about parcel id offers.
    QList<NotifyAction> newsActions(qint64 id);
    // News a command's round found in the book at book (a folder); false
    // when this window keeps another book.
    bool takeHandedNews(const QString &book, const QStringList &ids);

private:
    void setTrayShown(bool on);
    void showFromTray();
    // 退出 of the tray: ends the program as the close label does.
    void quitProgram();
    void closeToTrayClicked();
    void startWithDesktopClicked();
    // A notification's action other than choosing it.
    void notificationAction(qint64 id, const QString &key);

    Form1 &window;
    QCheckBox *closeToTrayBox = nullptr;
    QCheckBox *startWithDesktopBox = nullptr;
    // Made only while the tray is switched on and the desktop has one.
    QSystemTrayIcon *trayIcon = nullptr;
    QMenu *trayMenu = nullptr;
    int trayCount = -1; // the count the tray's picture shows
    // The newest event last told of each parcel handed in that way.
    QHash<qint64, QString> handedNewsTold;
};
