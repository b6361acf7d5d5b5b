// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>

#include "sound/sounds.h"

class QSoundEffect;

namespace vantor {

// Plays the program's sounds (resources :/sounds/) with Qt Multimedia. Nothing touches the audio
// system before the first sound is asked for, so a run that never plays one never opens it.
class QtSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT

public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    std::string Unavailable() override;
    void StartMusic(double volume) override;
    void SetMusicVolume(double volume) override;
    void StopMusic() override;
    void PlayChime(double volume) override;

    bool MusicPlaying() const;  // for tests of the real player

private:
    QSoundEffect* Effect(std::unique_ptr<QSoundEffect>& effect, const QUrl& source, bool loop);

    std::unique_ptr<QSoundEffect> music_;
    std::unique_ptr<QSoundEffect> chime_;
};

}  // namespace vantor
