#pragma once
#include "platform/Platform.h"
#include <QPointer>
#include <memory>

class QMediaPlayer;
class QAudioOutput;

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

class RealSoundPlayer : public SoundPlayer {
public:
    RealSoundPlayer();
    ~RealSoundPlayer() override;
    void play(const QString &path) override;

private:
    std::unique_ptr<QMediaPlayer> player;
    std::unique_ptr<QAudioOutput> output;
};

// Our skin file is a style sheet whose colours are tinted by the hue,
// saturation and brightness adjustment before they are applied.
class StyleSheetSkin : public Skin {
public:
    void attach(QWidget *window, const QString &path, const QString &password) override;
    void adjustHSV(int hue, int saturation, int brightness) override;
    bool attached() const { return !sheet.isEmpty(); }

private:
    void apply();
    QPointer<QWidget> target;
    QString sheet;
    int h = 0, s = 0, v = 0;
};

// Shifts every #rrggbb colour of a style sheet: hue by degrees, saturation and
// brightness by percent (-100 … 100).
QString tintStyleSheet(const QString &sheet, int hue, int saturation, int brightness);

struct RealPlatform : Platform {
    RealPlatform();
    RealMessageBox box;
    RealWebOpener webOpener;
    RealTerminator term;
    RealSoundPlayer player;
    StyleSheetSkin styleSkin;
};
