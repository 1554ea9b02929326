#pragma once
// Test doubles of the desktop services: they record what the program asked
// for and answer from a script.
#include "platform/Platform.h"
#include "platform/RealPlatform.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct ShownBox {
    QString text;
    QString title;
    MessageBox::Icon icon;
    MessageBox::Buttons buttons;
};

class FakeMessageBox : public MessageBox {
public:
    // Answers for the next questions, in order; a question with no scripted
    // answer gets No.
    void setNextAnswer(Answer a) { answers << a; }
    Answer show(QWidget *, const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    QList<ShownBox> shown;
    QStringList texts() const;
    // Runs while a box is "open", for tests that act during a dialogue.
    std::function<void(const QString &)> onShow;

private:
    QList<Answer> answers;
};

class FakeWebOpener : public WebOpener {
public:
    void open(const QString &url) override { opened << url; }
    QStringList opened;
};

class FakeTerminator : public Terminator {
public:
    void terminate(int status) override
    {
        ++count;
        lastStatus = status;
    }
    int count = 0;
    int lastStatus = -1;
};

class FakeSoundPlayer : public SoundPlayer {
public:
    void play(const QString &path) override { played << path; }
    QStringList played;
};

// The program's own skin, with a record of what it was asked: a test window
// looks as the program's window does.
class FakeSkin : public PaletteSkin {
public:
    void attach(QWidget *w, const QString &path, const QString &password) override
    {
        calls << QStringLiteral("attach %1 [%2]").arg(path, password);
        PaletteSkin::attach(w, path, password);
    }
    void adjustHSV(int h, int s, int v) override
    {
        calls << QStringLiteral("hsv %1 %2 %3").arg(h).arg(s).arg(v);
        PaletteSkin::adjustHSV(h, s, v);
    }
    QStringList calls;
};

// Never touches the machine's clock: records what it was asked to set.
class FakeSystemClock : public SystemClock {
public:
    Result setLocal(const QDate &date, const QTime &time) override;
    QStringList sets; // "yyyy-MM-dd hh:mm:ss", one per request
    Result answer{Set, {}};
};

// The current local time as the test sets it; the real one until then.
class FakeClock : public Clock {
public:
    QDateTime now() const override { return current.isValid() ? current : QDateTime::currentDateTime(); }
    void set(int hour, int minute, int second = 0)
    {
        current = QDateTime(QDate(2026, 3, 3), QTime(hour, minute, second));
    }
    QDateTime current;
};

// Answers with the scripted path; an empty path is a cancel.
class FakeFileDialog : public FileDialog {
public:
    QString saveFileName(QWidget *, const QString &filter) override
    {
        filters << filter;
        return nextPath;
    }
    QString nextPath;
    QStringList filters; // one per dialog shown
};

struct FakePlatform : Platform {
    FakePlatform()
    {
        messageBox = &box;
        web = &webOpener;
        terminator = &term;
        sound = &player;
        skin = &skinDouble;
        systemClock = &systemClockDouble;
        // the current local time
        clock = &clockDouble;
        fileDialog = &saveDialog;
    }
    FakeMessageBox box;
    FakeWebOpener webOpener;
    FakeTerminator term;
    FakeSoundPlayer player;
    FakeSkin skinDouble;
    FakeSystemClock systemClockDouble;
    // the current local time
    FakeClock clockDouble;
    FakeFileDialog saveDialog;
};
