// SPDX-License-Identifier: MIT
// Synthesizes the program's two sounds at build time, from nothing but arithmetic:
//   music.wav  a calm pad of about a minute that loops without a seam;
//   chime.wav  a short two-note bell for a page.
// Both are 16-bit mono PCM WAV at 22050 Hz.
//   vantor_soundgen <output folder>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The loop: four chords of 15 s. Every partial and every envelope repeats a whole number of
// times in the loop, so its last sample runs on into its first.
constexpr int kLoopSeconds = 60;
constexpr int kLoopSamples = kLoopSeconds * kRate;

// A frequency moved to the nearest one that fits a whole number of cycles into the loop
// (1/60 Hz apart, far below what an ear tells apart).
double LoopFrequency(double hz) {
    return std::round(hz * kLoopSeconds) / kLoopSeconds;
}

double Note(int semitonesFromA4) {
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// A raised-cosine bump over `width` seconds centred on `centre`, wrapped around the loop.
double Bump(double t, double centre, double width) {
    double d =
        std::fmod(t - centre + 1.5 * kLoopSeconds, double(kLoopSeconds)) - kLoopSeconds / 2.0;
    if (std::abs(d) >= width / 2) return 0.0;
    return 0.5 + 0.5 * std::cos(kTwoPi * d / width);
}

std::vector<double> Music() {
    // A minor, F major, C major, G major: semitones from A4.
    const std::array<std::array<int, 4>, 4> chords = {{
        {-12, -9, -5, 0},    // A3 C4 E4 A4
        {-16, -12, -9, -4},  // F3 A3 C4 E4
        {-21, -14, -9, -5},  // C3 G3 C4 E4
        {-14, -10, -7, -2},  // G3 B3 D4 G4
    }};
    constexpr double kSlot = kLoopSeconds / 4.0;
    std::vector<double> out(kLoopSamples, 0.0);
    for (std::size_t c = 0; c < chords.size(); ++c) {
        const double centre = kSlot * (double(c) + 0.5);
        for (std::size_t v = 0; v < chords[c].size(); ++v) {
            const double f = LoopFrequency(Note(chords[c][v]));
            const double f2 = LoopFrequency(2.0 * f * 1.0005);  // a soft, slightly beating octave
            // A slow swell per voice: 3, 4, 5 or 6 cycles a minute, so it also closes the loop.
            const double swell = (3.0 + double(v)) / kLoopSeconds;
            const double level = v == 0 ? 0.30 : 0.22;
            for (int i = 0; i < kLoopSamples; ++i) {
                const double t = double(i) / kRate;
                const double env = Bump(t, centre, 2.0 * kSlot);  // each chord fades into the next
                if (env == 0.0) continue;
                const double tremolo = 0.85 + 0.15 * std::sin(kTwoPi * swell * t + double(v));
                const double tone = std::sin(kTwoPi * f * t) + 0.18 * std::sin(kTwoPi * f2 * t);
                out[std::size_t(i)] += level * env * tremolo * tone;
            }
        }
    }
    return out;
}

std::vector<double> Chime() {
    constexpr double kSeconds = 1.2;
    const int samples = int(kSeconds * kRate);
    std::vector<double> out(std::size_t(samples), 0.0);
    // E5 then B5, each a bell: a fundamental with two inharmonic partials, struck and dying away.
    const struct {
        double start, hz, level;
    } strikes[] = {{0.0, Note(7), 0.55}, {0.16, Note(14), 0.45}};
    for (const auto& s : strikes) {
        for (int i = int(s.start * kRate); i < samples; ++i) {
            const double t = double(i) / kRate - s.start;
            const double attack = std::min(1.0, t / 0.004);  // 4 ms: no click at the strike
            const double decay = std::exp(-t * 4.5);
            const double tone = std::sin(kTwoPi * s.hz * t) +
                                0.35 * std::exp(-t * 6.0) * std::sin(kTwoPi * s.hz * 2.76 * t) +
                                0.15 * std::exp(-t * 9.0) * std::sin(kTwoPi * s.hz * 5.40 * t);
            out[std::size_t(i)] += s.level * attack * decay * tone;
        }
    }
    // The last 100 ms fade to silence, so the sound ends on zero.
    const int fade = kRate / 10;
    for (int i = 0; i < fade; ++i) {
        out[std::size_t(samples - fade + i)] *= 0.5 + 0.5 * std::cos(std::numbers::pi * i / fade);
    }
    out.back() = 0.0;
    return out;
}

// Scales to `peak` of full scale and writes 16-bit mono PCM.
bool WriteWav(const std::filesystem::path& file, const std::vector<double>& samples, double peak) {
    double most = 0.0;
    for (double s : samples) most = std::max(most, std::abs(s));
    const double gain = most > 0.0 ? peak / most : 0.0;
    std::vector<std::int16_t> pcm(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        pcm[i] = std::int16_t(std::lround(std::clamp(samples[i] * gain, -1.0, 1.0) * 32767.0));
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const auto u32 = [&](std::uint32_t v) {
        const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        out.write(b, 4);
    };
    const auto u16 = [&](std::uint16_t v) {
        const char b[2] = {char(v), char(v >> 8)};
        out.write(b, 2);
    };
    const std::uint32_t dataBytes = std::uint32_t(pcm.size() * 2);
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    for (std::int16_t s : pcm) u16(std::uint16_t(s));
    return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantor_soundgen <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    // The music is quiet by itself: the volume setting scales it further.
    if (!WriteWav(folder / "music.wav", Music(), 0.5) ||
        !WriteWav(folder / "chime.wav", Chime(), 0.7)) {
        std::fprintf(stderr, "vantor_soundgen: cannot write to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
