// SPDX-License-Identifier: MIT
// The generated effects and songs, loaded the way the game loads them and
// then inspected sample by sample: present, audible, unclipped, of a length
// that suits their moment, and the loops seamless.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "audio/Sound.h"
#include "audio/SoundLibrary.h"

namespace {

const double kFullScale = 32767.0;

struct Expectation {
    int id;
    double minSeconds, maxSeconds;
};

// How long each effect may last: blips and shots a fraction of a second,
// chimes and jingles about a second, the big blasts a few seconds.
const Expectation kExpected[NUM_SOUNDS] = {
    {SHOT_SOUND, 0.08, 0.4},
    {MULTIPLIER_APPEARS_SOUND, 0.3, 1.5},
    {EXPLOSION_SOUND, 0.6, 2.5},
    {SHIP_DIES_SOUND, 1.5, 4.0},
    {BOOM1_SOUND, 0.25, 1.2},
    {BOOM2_SOUND, 0.25, 1.2},
    {MULTIPLIER_GONE_SOUND, 0.2, 1.2},
    {MULTIPLIER_SHOT_SOUND, 0.2, 1.2},
    {STEEL_HIT_SOUND, 0.3, 1.5},
    {BONK_SOUND, 0.1, 0.8},
    {RIFF_SOUND, 0.6, 3.0},
    {PRIZE_APPEARS_SOUND, 0.3, 1.5},
    {GOT_PRIZE_SOUND, 0.2, 1.0},
    {GAME_OVER_SOUND, 1.0, 4.0},
    {NEW_LIFE_SOUND, 0.5, 2.0},
    {BONUS_APPEARS_SOUND, 0.3, 1.5},
    {BONUS_SHOT_SOUND, 0.2, 1.2},
    {NO_BONUS_SOUND, 0.6, 2.5},
    {GRAVITY_APPEARS_SOUND, 0.8, 3.0},
    {HOMING_APPEARS_SOUND, 0.3, 1.5},
    {SHIELD_ON_SOUND, 0.2, 1.2},
    {NO_SHIELD_SOUND, 0.1, 2.0},
    {NOVA_APPEARS_SOUND, 0.8, 3.0},
    {NOVA_BOOM_SOUND, 2.0, 5.0},
    {LUCKY_SOUND, 0.3, 1.5},
    {DAMAGED_SHIP_APPEARS_SOUND, 0.5, 2.5},
    {SAVED_SHIP_SOUND, 0.5, 2.0},
    {FUNK_SOUND, 0.6, 3.0},
    {ENEMY_APPEARS_SOUND, 0.5, 2.5},
    {PRETTY_GOOD_SOUND, 0.8, 3.0},
    {THRUSTER_SOUND, 0.2, 2.0},
    {ENEMY_FIRE_SOUND, 0.08, 0.6},
    {FREEZE_SOUND, 0.5, 2.0},
    {IDIOT_SOUND, 0.5, 2.0},
    {PAUSE_SOUND, 0.1, 1.0},
};

struct Pcm {
    std::vector<double> v;  // mono, -1 .. 1
    int rate = 0;
    int channels = 0;
    double Seconds() const { return rate ? double(v.size()) / rate : 0.0; }
};

double Peak(const std::vector<double>& v, size_t from = 0, size_t to = SIZE_MAX) {
    double p = 0;
    for (size_t i = from; i < std::min(to, v.size()); ++i) p = std::max(p, std::fabs(v[i]));
    return p;
}

double Rms(const std::vector<double>& v, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, v.size());
    if (to <= from) return 0.0;
    double s = 0;
    for (size_t i = from; i < to; ++i) s += v[i] * v[i];
    return std::sqrt(s / (to - from));
}

double Db(double x) { return 20.0 * std::log10(std::max(x, 1e-12)); }

// Zero crossings a second over a window: a rough pitch for a tone.
double CrossingRate(const std::vector<double>& v, int rate, double from, double to) {
    size_t a = static_cast<size_t>(from * rate), b = std::min(v.size(), static_cast<size_t>(to * rate));
    int n = 0;
    for (size_t i = a + 1; i < b; ++i)
        if ((v[i - 1] < 0) != (v[i] < 0)) ++n;
    return b > a ? 0.5 * n * rate / (b - a) : 0.0;
}

// The effect as the game's sound library decoded it.
Pcm LoadEffect(const char* path) {
    Pcm p;
    FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, path, FSOUND_NORMAL, 0);
    if (!s) return p;
    p.rate = SoundLibrary_SampleRate(s);
    p.channels = SoundLibrary_SampleChannels(s);
    const short* d = SoundLibrary_SampleData(s);
    int frames = SoundLibrary_SampleFrames(s);
    for (int i = 0; i < frames; ++i) p.v.push_back(d[i * p.channels] / kFullScale);
    return p;
}

// A whole file through libsndfile, channels averaged (and the largest
// channel's peak kept apart, since averaging could hide a clip).
Pcm Decode(const std::string& path, SF_INFO* infoOut, double* channelPeak) {
    Pcm p;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return p;
    p.rate = info.samplerate;
    p.channels = info.channels;
    std::vector<float> buf(4096 * static_cast<size_t>(info.channels));
    double peak = 0;
    sf_count_t got;
    while ((got = sf_readf_float(f, buf.data(), 4096)) > 0) {
        for (sf_count_t i = 0; i < got; ++i) {
            double sum = 0;
            for (int c = 0; c < info.channels; ++c) {
                double x = buf[i * info.channels + c];
                peak = std::max(peak, std::fabs(x));
                sum += x;
            }
            p.v.push_back(sum / info.channels);
        }
    }
    sf_close(f);
    if (infoOut) *infoOut = info;
    if (channelPeak) *channelPeak = peak;
    return p;
}

class GeneratedAudio : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FSOUND_Init(65535, 32, 0); }
    static void TearDownTestSuite() { FSOUND_Close(); }
};

TEST_F(GeneratedAudio, EveryEffectLoadsAndSoundsRight) {
    for (const Expectation& e : kExpected) {
        const char* path = soundFileNames[e.id];
        SCOPED_TRACE(path);
        Pcm p = LoadEffect(path);
        ASSERT_FALSE(p.v.empty()) << "did not load";
        EXPECT_EQ(p.channels, 1);
        EXPECT_EQ(p.rate, 44100);
        EXPECT_GE(p.Seconds(), e.minSeconds);
        EXPECT_LE(p.Seconds(), e.maxSeconds);
        double peak = Peak(p.v);
        // Below full scale, yet loud enough to be heard over the music.
        EXPECT_LT(peak, 0.98);
        EXPECT_GT(Db(peak), -4.0);
        EXPECT_GT(Db(Rms(p.v)), -30.0) << "nearly silent";
        bool loop = e.id == THRUSTER_SOUND || e.id == NO_SHIELD_SOUND;
        if (!loop) {
            // A one-shot starts and stops without a click.
            EXPECT_LT(std::fabs(p.v.front()), 0.05);
            EXPECT_LT(std::fabs(p.v.back()), 0.02);
            // And its sound is up front: a late start is a lag in the game.
            size_t first = 0;
            while (first < p.v.size() && std::fabs(p.v[first]) < 0.1 * peak) ++first;
            EXPECT_LT(double(first) / p.rate, 0.05) << "starts late";
        }
    }
}

TEST_F(GeneratedAudio, EffectsAreAllDifferent) {
    std::vector<Pcm> all;
    for (int i = 0; i < NUM_SOUNDS; ++i) all.push_back(LoadEffect(soundFileNames[i]));
    for (int i = 0; i < NUM_SOUNDS; ++i)
        for (int j = i + 1; j < NUM_SOUNDS; ++j) {
            if (all[i].v.size() != all[j].v.size()) continue;
            EXPECT_NE(all[i].v, all[j].v) << soundFileNames[i] << " and " << soundFileNames[j] << " are the same";
        }
}

// The loops are played over and over while a key is held: the wrap from the
// last sample to the first must look like any other step of the wave, in
// level and in slope.
TEST_F(GeneratedAudio, LoopsJoinWithoutAJump) {
    for (int id : {THRUSTER_SOUND, NO_SHIELD_SOUND}) {
        SCOPED_TRACE(soundFileNames[id]);
        Pcm p = LoadEffect(soundFileNames[id]);
        ASSERT_GT(p.v.size(), 1000u);
        const std::vector<double>& v = p.v;
        size_t n = v.size();
        std::vector<double> steps, bends;
        for (size_t i = 2; i < n; ++i) {
            steps.push_back(std::fabs(v[i] - v[i - 1]));
            bends.push_back(std::fabs(v[i] - 2 * v[i - 1] + v[i - 2]));
        }
        // No larger than the largest the wave takes anywhere inside.
        double stepLimit = *std::max_element(steps.begin(), steps.end()) * 1.05 + 2.0 / kFullScale;
        double bendLimit = *std::max_element(bends.begin(), bends.end()) * 1.05 + 2.0 / kFullScale;
        double joinStep = std::fabs(v[0] - v[n - 1]);
        double joinBend1 = std::fabs(v[0] - 2 * v[n - 1] + v[n - 2]);
        double joinBend2 = std::fabs(v[1] - 2 * v[0] + v[n - 1]);
        EXPECT_LE(joinStep, stepLimit);
        EXPECT_LE(joinBend1, bendLimit);
        EXPECT_LE(joinBend2, bendLimit);
        // And the level does not dip or swell at the wrap either.
        size_t w = p.rate / 50;
        double head = Rms(v, 0, w), tail = Rms(v, n - w, n), whole = Rms(v);
        EXPECT_GT(head, 0.5 * whole);
        EXPECT_GT(tail, 0.5 * whole);
    }
}

TEST_F(GeneratedAudio, BoomsAreDeepKicksAndTheFirstIsLower) {
    Pcm b1 = LoadEffect(soundFileNames[BOOM1_SOUND]);
    Pcm b2 = LoadEffect(soundFileNames[BOOM2_SOUND]);
    ASSERT_FALSE(b1.v.empty());
    ASSERT_FALSE(b2.v.empty());
    // After the click, a low tone.
    double f1 = CrossingRate(b1.v, b1.rate, 0.08, 0.3);
    double f2 = CrossingRate(b2.v, b2.rate, 0.08, 0.3);
    EXPECT_GT(f1, 25.0);
    EXPECT_LT(f1, 90.0);
    EXPECT_GT(f2, 25.0);
    EXPECT_LT(f2, 110.0);
    EXPECT_LT(f1 * 1.1, f2) << "boom1 should be the lower one";
    // A kick: the energy is in the first tenth of a second.
    for (const Pcm* p : {&b1, &b2}) {
        size_t early = p->rate / 10;
        EXPECT_GT(Rms(p->v, 0, early), 2.0 * Rms(p->v, early, p->v.size()));
    }
}

TEST_F(GeneratedAudio, BothSpellingsOfTheEffectsFolderWork) {
    char target[64] = {};
    ssize_t n = readlink("sounds", target, sizeof target - 1);
    ASSERT_GT(n, 0) << "\"sounds\" is not a link";
    EXPECT_STREQ(target, "Sounds");
    SF_INFO info{};
    SNDFILE* f = sf_open("sounds/boom1.wav", SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
}

std::vector<std::string> PlayList() {
    std::vector<std::string> lines;
    std::ifstream in("Music/list.txt");
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// The beat, from the rise of loudness in 10-millisecond frames: the period
// between 80 and 200 beats a minute whose multiples (beat, two beats, bar)
// line up best with itself, so that a syncopated kick does not pass for the
// beat.
double EstimateTempo(const std::vector<double>& v, int rate, double from, double seconds) {
    const int hop = rate / 100;
    size_t a = static_cast<size_t>(from * rate), b = std::min(v.size(), a + static_cast<size_t>(seconds * rate));
    std::vector<double> energy;
    for (size_t i = a; i + hop <= b; i += hop) energy.push_back(Rms(v, i, i + hop));
    std::vector<double> onset(energy.size(), 0.0);
    for (size_t i = 1; i < energy.size(); ++i) onset[i] = std::max(0.0, energy[i] - energy[i - 1]);
    auto corr = [&](int lag) {
        double s = 0;
        for (size_t i = lag; i < onset.size(); ++i) s += onset[i] * onset[i - lag];
        return s / (onset.size() - lag);
    };
    double bestBpm = 0, best = -1;
    for (double bpm = 80; bpm <= 200; bpm += 0.5) {
        double period = 6000.0 / bpm;  // in frames
        double s = 0;
        for (int k = 1; k <= 4; ++k) s += corr(static_cast<int>(std::lround(k * period)));
        if (s > best) {
            best = s;
            bestBpm = bpm;
        }
    }
    return bestBpm;
}

TEST_F(GeneratedAudio, SongsOfThePlayListStreamAndSoundRight) {
    std::vector<std::string> list = PlayList();
    ASSERT_GE(list.size(), 2u) << "Music/list.txt names fewer than two songs";
    std::vector<size_t> lengths;
    for (const std::string& line : list) {
        std::string path = "Music/" + line;
        SCOPED_TRACE(path);
        FSOUND_STREAM* s = FSOUND_Stream_OpenFile(path.c_str(), FSOUND_NORMAL, 0);
        ASSERT_NE(s, nullptr) << "the game cannot stream it";
        EXPECT_GE(double(SoundLibrary_StreamLength(s)) / SoundLibrary_StreamRate(s), 60.0);
        FSOUND_Stream_Close(s);

        SF_INFO info{};
        double channelPeak = 0;
        Pcm p = Decode(path, &info, &channelPeak);
        ASSERT_FALSE(p.v.empty());
        EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_OGG);
        EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_VORBIS);
        EXPECT_EQ(info.channels, 2);
        EXPECT_EQ(info.samplerate, 44100);
        EXPECT_GE(p.Seconds(), 60.0);
        EXPECT_LE(p.Seconds(), 240.0);
        EXPECT_LT(channelPeak, 0.98);
        EXPECT_GT(Db(channelPeak), -6.0);
        // Music all the way through: no second-long hole before the fade.
        for (double t = 0.0; t + 1.0 < p.Seconds() - 5.0; t += 1.0) {
            size_t a = static_cast<size_t>(t * p.rate);
            ASSERT_GT(Db(Rms(p.v, a, a + p.rate)), -40.0) << "silent at " << t << " s";
        }
        // A steady beat in the arcade range once the drums are in.
        double bpm = EstimateTempo(p.v, p.rate, 20.0, 30.0);
        EXPECT_GE(bpm, 115.0);
        EXPECT_LE(bpm, 145.0);
        lengths.push_back(p.v.size());
    }
    EXPECT_NE(lengths[0], lengths[1]) << "the first two songs look like one song twice";
}

}  // namespace
