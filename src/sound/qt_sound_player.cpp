// SPDX-License-Identifier: MIT
#include "sound/qt_sound_player.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

namespace vantor {

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent) {}

QtSoundPlayer::~QtSoundPlayer() = default;

std::string QtSoundPlayer::Unavailable() {
    if (QMediaDevices::audioOutputs().isEmpty()) return "there is no audio output device";
    for (const auto* effect : {music_.get(), chime_.get()}) {
        if (effect != nullptr && effect->status() == QSoundEffect::Error) {
            return "the multimedia backend cannot play " +
                   effect->source().toString().toStdString();
        }
    }
    return {};
}

QSoundEffect* QtSoundPlayer::Effect(std::unique_ptr<QSoundEffect>& effect, const QUrl& source,
                                    bool loop) {
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(source);
        if (loop) effect->setLoopCount(QSoundEffect::Infinite);
    }
    return effect.get();
}

void QtSoundPlayer::StartMusic(double volume) {
    QSoundEffect* music = Effect(music_, QUrl(QStringLiteral("qrc:/sounds/music.wav")), true);
    music->setVolume(float(volume));
    music->play();  // waits for the loading, if it is not done yet
}

void QtSoundPlayer::SetMusicVolume(double volume) {
    if (music_) music_->setVolume(float(volume));
}

void QtSoundPlayer::StopMusic() {
    if (music_) music_->stop();
}

void QtSoundPlayer::PlayChime(double volume) {
    QSoundEffect* chime = Effect(chime_, QUrl(QStringLiteral("qrc:/sounds/chime.wav")), false);
    chime->setVolume(float(volume));
    chime->play();
}

bool QtSoundPlayer::MusicPlaying() const {
    return music_ && music_->isPlaying();
}

}  // namespace vantor
