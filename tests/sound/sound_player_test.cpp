// SPDX-License-Identifier: MIT
#include "sound/qt_sound_player.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QWidget>

#include "controls/attention.h"
#include "support/pump.h"

namespace vantor {
namespace {

TEST(SoundResources, holdTheGeneratedSounds) {
    for (const char* path : {":/sounds/music.wav", ":/sounds/chime.wav"}) {
        QFile file(QString::fromLatin1(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path;
        EXPECT_EQ(file.read(4), QByteArray("RIFF")) << path;
    }
}

// The real player against whatever audio output this machine has; where it has none, the
// player says so (the core logs it) and the test says why it skips.
TEST(QtSoundPlayer, playsAndStopsTheLoopWhereThereIsAudio) {
    QtSoundPlayer player;
    const std::string why = player.Unavailable();
    if (!why.empty()) GTEST_SKIP() << "no sound on this machine: " << why;
    player.StartMusic(0.0);  // silent, so a test run makes no noise
    const bool playing = test::PumpUntil([&] { return player.MusicPlaying(); },
                                         [] { QCoreApplication::processEvents(); });
    if (!playing && !player.Unavailable().empty())
        GTEST_SKIP() << "the backend cannot play: " << player.Unavailable();
    EXPECT_TRUE(playing);
    player.StopMusic();
    EXPECT_TRUE(test::PumpUntil([&] { return !player.MusicPlaying(); },
                                [] { QCoreApplication::processEvents(); }));
}

// The chime hears of a message only where the desktop notification would: an inactive window.
TEST(MessageChime, hearsOfMessagesToInactiveWindowsOnly) {
    QStringList heard;
    SetMessageChime([&](const QString& sender) { heard << sender; });
    QWidget background;
    NoteMessage(&background, QStringLiteral("Bob"), QStringLiteral("hi"));
    QWidget active;
    active.show();
    QApplication::setActiveWindow(&active);
    if (active.isActiveWindow()) NoteMessage(&active, QStringLiteral("Ann"), QStringLiteral("hi"));
    SetMessageChime({});
    NoteMessage(&background, QStringLiteral("Carl"), QStringLiteral("hi"));
    EXPECT_EQ(heard, QStringList{QStringLiteral("Bob")});
}

}  // namespace
}  // namespace vantor
