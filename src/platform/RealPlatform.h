#pragma once
#include "platform/Notifications.h"
#include "platform/Platform.h"
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

// The program put the text now on the clipboard (X11 and Wayland keep it in
// the owner until a clipboard manager takes it over).
bool ownsClipboard();

class RealTerminator : public Terminator {
public:
    // Returns only when text the program copied must first be handed to the
    // desktop's clipboard manager: the event loop then ends and main() leaves
    // the ordinary way, which does the hand-over.
    void terminate(int status = 0) override;
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
    void skinPanel(QWidget *panel) override;
    bool attached() const { return !colours.isEmpty(); }

private:
    void apply();
    QMap<QString, QColor> tinted() const;
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
// The lighter ground, text colour and border of one floating panel.
void applyPanelSkin(QWidget *panel, const QMap<QString, QColor> &tinted);

// Through systemd-timedated (polkit may ask the user for the right), or
// clock_settime where no such service runs.
class RealSystemClock : public SystemClock {
public:
    Result setLocal(const QDate &date, const QTime &time) override;
};

class RealClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class RealFileDialog : public FileDialog {
public:
    QString saveFileName(QWidget *parent, const QString &filter) override;
};
// Turns "description|pattern|…" into Qt's "description (pattern);;…".
QString qtFileFilter(const QString &filter);

struct RealPlatform : Platform {
    RealPlatform();
    RealMessageBox box;
    RealWebOpener webOpener;
    RealTerminator term;
    RealSoundPlayer player;
    PaletteSkin paletteSkin;
    RealSystemClock sysClock;
    // the current local time
    RealClock localClock;
    RealFileDialog saveDialog;
    DesktopNotifications notifications;
};
