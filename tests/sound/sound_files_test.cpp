// SPDX-License-Identifier: MIT
// The generated sounds are what they claim: PCM WAV at 22050 Hz, of the length meant, never at
// full scale, the chime silent at both ends and the music's loop seamless.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Wav {
    std::uint16_t format = 0, channels = 0, bits = 0;
    std::uint32_t rate = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | std::uint8_t(bytes[at + std::size_t(i)]);
    return v;
}

// Reads a RIFF WAV file chunk by chunk; nothing when it is none.
bool Read(const std::filesystem::path& file, Wav& wav) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return false;
    bool gotData = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::uint32_t size = Le(bytes, at + 4, 4);
        if (at + 8 + size > bytes.size()) return false;
        if (id == "fmt ") {
            wav.format = std::uint16_t(Le(bytes, at + 8, 2));
            wav.channels = std::uint16_t(Le(bytes, at + 10, 2));
            wav.rate = Le(bytes, at + 12, 4);
            wav.bits = std::uint16_t(Le(bytes, at + 22, 2));
        } else if (id == "data") {
            for (std::size_t i = 0; i + 1 < size; i += 2)
                wav.samples.push_back(std::int16_t(Le(bytes, at + 8 + i, 2)));
            gotData = true;
        }
        at += 8 + size + (size & 1);
    }
    return gotData;
}

int LargestStep(const std::vector<std::int16_t>& s) {
    int most = 0;
    for (std::size_t i = 1; i < s.size(); ++i) most = std::max(most, std::abs(s[i] - s[i - 1]));
    return most;
}

TEST(GeneratedSounds, areMonoPcmAtTheRateAndLengthMeantWithoutClipping) {
    const struct {
        const char* file;
        double seconds;
    } cases[] = {{"music.wav", 60.0}, {"chime.wav", 1.2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Wav wav;
        ASSERT_TRUE(Read(std::filesystem::path(VANTOR_SOUND_DIR) / c.file, wav));
        EXPECT_EQ(wav.format, 1);  // PCM
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.bits, 16);
        EXPECT_EQ(wav.rate, 22050u);
        EXPECT_NEAR(double(wav.samples.size()) / wav.rate, c.seconds, 0.01);
        int peak = 0;
        for (std::int16_t s : wav.samples) peak = std::max(peak, std::abs(int(s)));
        EXPECT_LT(peak, 32767 * 9 / 10) << "at or near full scale";
        EXPECT_GT(peak, 32767 / 4) << "all but silent";
    }
}

// A loop that does not meet itself clicks once a minute: the jump from the last sample back to
// the first must be no larger than the steps inside the music.
TEST(GeneratedSounds, theMusicLoopsWithoutAClickAndTheChimeEndsInSilence) {
    Wav music;
    ASSERT_TRUE(Read(std::filesystem::path(VANTOR_SOUND_DIR) / "music.wav", music));
    ASSERT_GT(music.samples.size(), 2u);
    const int seam = std::abs(music.samples.front() - music.samples.back());
    EXPECT_LE(seam, LargestStep(music.samples));
    // The slope across the seam matches the slope on either side of it.
    const int before = music.samples.back() - music.samples[music.samples.size() - 2];
    const int across = music.samples.front() - music.samples.back();
    EXPECT_LE(std::abs(across - before), LargestStep(music.samples) / 8);

    Wav chime;
    ASSERT_TRUE(Read(std::filesystem::path(VANTOR_SOUND_DIR) / "chime.wav", chime));
    EXPECT_LE(std::abs(chime.samples.front()), 200);
    EXPECT_EQ(chime.samples.back(), 0);
}

}  // namespace
