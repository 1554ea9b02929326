#pragma once
// What the window needs from the desktop, behind small interfaces so that
// tests can script answers and see what the program asked for.
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

class QDate;
class QTime;
class QWidget;

class MessageBox {
public:
    enum Icon { Information, Warning };
    enum Buttons { Ok, YesNo };
    enum Answer { AnswerOk, AnswerYes, AnswerNo };
    virtual ~MessageBox() = default;
    virtual Answer show(QWidget *parent, const QString &text, const QString &title, Icon icon,
                        Buttons buttons) = 0;
};

class WebOpener {
public:
    virtual ~WebOpener() = default;
    virtual void open(const QString &url) = 0;
};

// Ends the process without an unload step, with the given exit status (0 for
// a close the user asked for). Tests replace it with a recorder so that the
// caller's early return can be checked.
class Terminator {
public:
    virtual ~Terminator() = default;
    virtual void terminate(int status = 0) = 0;
};

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the file and returns at once; failures stay silent.
    virtual void play(const QString &path) = 0;
};

class Skin {
public:
    virtual ~Skin() = default;
    virtual void attach(QWidget *window, const QString &path, const QString &password) = 0;
    virtual void adjustHSV(int hue, int saturation, int brightness) = 0;
    // Dresses a panel made after the skin went on, as attach dressed the
    // panels that existed then.
    virtual void skinPanel(QWidget *panel) = 0;
};

// Sets the computer's local date and time. The answer says whether the clock
// was set and, if not, why, so that a refusal is never reported as success.
class SystemClock {
public:
    enum Outcome { Set, Refused, AutomaticSync };
    struct Result {
        Outcome outcome = Refused;
        QString reason; // the system's own words when it refused, may be empty
    };
    virtual ~SystemClock() = default;
    virtual Result setLocal(const QDate &date, const QTime &time) = 0;
};

// The current local time, so that tests can drive the timed query without
// waiting for the clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The save-file dialog.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Asks where to save. filter is "description|pattern" pairs joined by
    // "|". Returns the chosen full path, or an empty text on cancel.
    virtual QString saveFileName(QWidget *parent, const QString &filter) = 0;
};

// A button of a notification: the key comes back when it is chosen.
struct NotifyAction {
    QString key;
    QString label;
};

// Desktop notifications. Without a notification service nothing is shown
// and nothing fails. Choosing a notification (or its "view" action) calls
// onChosen with its tag; any other action calls onAction.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString &summary, const QString &body, qint64 tag,
                        const QList<NotifyAction> &actions) = 0;
    std::function<void(qint64 tag)> onChosen;
    std::function<void(qint64 tag, const QString &key)> onAction;
};

struct Platform {
    MessageBox *messageBox = nullptr;
    WebOpener *web = nullptr;
    Terminator *terminator = nullptr;
    SoundPlayer *sound = nullptr;
    Skin *skin = nullptr;
    SystemClock *systemClock = nullptr;
    Clock *clock = nullptr; // the current local time
    FileDialog *fileDialog = nullptr;
    Notifier *notifier = nullptr;
};
