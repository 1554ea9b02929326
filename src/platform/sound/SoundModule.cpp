// The alert sound, in a module of its own: the media libraries it pulls in
// are loaded the first time a sound plays, not at every start-up.
#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

extern "C" Q_DECL_EXPORT void parcelio_play_sound(const char *utf8Path)
{
    static QMediaPlayer *player = nullptr;
    if (!player) {
        // Lives until the process ends, as the player control always did.
        player = new QMediaPlayer;
        auto *output = new QAudioOutput(player);
        output->setVolume(0.5f);
        player->setAudioOutput(output);
    }
    player->stop();
    player->setSource(QUrl::fromLocalFile(QString::fromUtf8(utf8Path)));
    player->play();
}
