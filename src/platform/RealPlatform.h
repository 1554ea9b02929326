#pragma once
#include "platform/Platform.h"
#include "platform/Notifications.h"
#include <QColor>
#include <QMap>
#include <QPointer>
#include <memory>


class RealMessageBox : public MessageBox {
public:
    Answer show(QWidget *parent, const QString &text, const QString &title, Icon icon,
                Buttons buttons) override;
};

class RealWebOpener : public WebOpener {
public:
    void open(const QString &url) override;
};

class RealTerminator : public Terminator {
public:
    [[noreturn]] void terminate() override;
};

// Plays through the sound module, loaded on the first alert (beside the
// program, or in the installed module folder); without it the alert is silent.
class RealSoundPlayer : public SoundPlayer {
public:
    void play(const QString &path) override;

private:
    using PlayFunction = void (*)(const char *utf8Path);
    PlayFunction playFunction = nullptr;
    bool looked = false;
};

// Our skin file lists palette colours ("role = #rrggbb"); they are tinted by
// the hue, saturation and brightness adjustment and set as the window's
// palette. A palette costs far less at start-up than a Qt style sheet.
class PaletteSkin : public Skin {
public:
    void attach(QWidget *window, const QString &path, const QString &password) override;
    void adjustHSV(int hue, int saturation, int brightness) override;
    bool attached() const { return !colours.isEmpty(); }

private:
    void apply();
    QPointer<QWidget> target;
    QMap<QString, QColor> colours;
    int h = 0, s = 0, v = 0;
};

// Shifts a colour: hue by degrees, saturation and brightness by percent
// (-100 … 100). Greys have no hue and only change brightness.
QColor tintColour(const QColor &c, int hue, int saturation, int brightness);
// Reads a skin text: "role = #rrggbb" lines, ";" starts a comment.
QMap<QString, QColor> parseSkin(const QString &text);
// The palette a skin gives (after tinting), and the panel colours.
void applySkin(QWidget *window, const QMap<QString, QColor> &tinted);

// ---- system clock
// Through systemd-timedated (polkit may ask the user for the right), or
// clock_settime where no such service runs.
class RealSystemClock : public SystemClock {
public:
    Result setLocal(const QDate &date, const QTime &time) override;
};
// ---- end system clock
class RealClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
// ---- save-file dialog
class RealFileDialog : public FileDialog {
public:
    QString saveFileName(QWidget *parent, const QString &filter) override;
};
// Turns "description|pattern|…" into Qt's "description (pattern);;…".
QString qtFileFilter(const QString &filter);
// ---- end save-file dialog

struct RealPlatform : Platform {
    RealPlatform();
    RealMessageBox box;
    RealWebOpener webOpener;
    RealTerminator term;
    RealSoundPlayer player;
    PaletteSkin paletteSkin;
    // ---- system clock
    RealSystemClock sysClock;
    // ---- end system clock
    // the current local time
    RealClock localClock;
    // ---- save-file dialog
    RealFileDialog saveDialog;
    // ---- end save-file dialog
    DesktopNotifications notifications;
};
