#include "platform/RealPlatform.h"

#include <QAudioOutput>
#include <QColor>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>

MessageBox::Answer RealMessageBox::show(QWidget *parent, const QString &text,
                                        const QString &title, Icon icon, Buttons buttons)
{
    QMessageBox box(icon == Warning ? QMessageBox::Warning : QMessageBox::Information, title,
                    text, QMessageBox::NoButton, parent);
    if (buttons == YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? AnswerYes : AnswerNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return AnswerOk;
}

void RealWebOpener::open(const QString &url)
{
    // Fire and forget: whether a browser started is not checked.
    QDesktopServices::openUrl(QUrl(url));
}

void RealTerminator::terminate()
{
    // Every change is already in the database, so nothing needs to unwind.
    std::_Exit(0);
}

RealSoundPlayer::RealSoundPlayer() = default;
RealSoundPlayer::~RealSoundPlayer() = default;

void RealSoundPlayer::play(const QString &path)
{
    if (!player) {
        player = std::make_unique<QMediaPlayer>();
        output = std::make_unique<QAudioOutput>();
        output->setVolume(0.5f);
        player->setAudioOutput(output.get());
    }
    player->stop();
    player->setSource(QUrl::fromLocalFile(path));
    player->play();
}

QString tintStyleSheet(const QString &sheet, int hue, int saturation, int brightness)
{
    static const QRegularExpression colour(QStringLiteral("#([0-9a-fA-F]{6})\\b"));
    QString out;
    qsizetype last = 0;
    auto it = colour.globalMatch(sheet);
    while (it.hasNext()) {
        const auto m = it.next();
        out += sheet.mid(last, m.capturedStart() - last);
        QColor c(m.captured(0));
        float h, s, v, a;
        c.getHsvF(&h, &s, &v, &a);
        if (h >= 0) // achromatic colours have no hue to turn
            h = std::fmod(h + hue / 360.0f + 1.0f, 1.0f);
        s = std::clamp(s * (1.0f + saturation / 100.0f), 0.0f, 1.0f);
        v = std::clamp(v + brightness / 100.0f, 0.0f, 1.0f);
        out += QColor::fromHsvF(h < 0 ? 0 : h, s, v).name();
        last = m.capturedEnd();
    }
    out += sheet.mid(last);
    return out;
}

void StyleSheetSkin::attach(QWidget *window, const QString &path, const QString &)
{
    target = window;
    QFile f(path);
    // A missing skin leaves the window unskinned; start-up goes on.
    if (!f.open(QIODevice::ReadOnly))
        return;
    sheet = QString::fromUtf8(f.readAll());
    apply();
}

void StyleSheetSkin::adjustHSV(int hue, int saturation, int brightness)
{
    h = hue;
    s = saturation;
    v = brightness;
    apply();
}

void StyleSheetSkin::apply()
{
    if (target && !sheet.isEmpty())
        target->setStyleSheet(tintStyleSheet(sheet, h, s, v));
}

RealPlatform::RealPlatform()
{
    messageBox = &box;
    web = &webOpener;
    terminator = &term;
    sound = &player;
    skin = &styleSkin;
}
