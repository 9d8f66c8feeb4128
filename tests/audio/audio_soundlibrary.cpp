// SPDX-License-Identifier: MIT
// The sound library itself, judged by the samples its mixer puts out.
#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AudioTestFiles.h"
#include "audio/SoundLibrary.h"

using namespace audiotest;

namespace {

std::string gDir;

class Library : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!gDir.empty()) return;
        gDir = MakeTempFolder("korvalend-audio");
        ASSERT_FALSE(gDir.empty());
        ASSERT_EQ(chdir(gDir.c_str()), 0);
        ASSERT_EQ(mkdir("Sounds", 0755), 0);
        ASSERT_TRUE(FSOUND_Init(65535, 32, 0)) << "the dummy audio driver should open";
        // This test drives the mixer itself.
        SoundLibrary_PauseOutput(true);
    }
    static void TearDownTestSuite() {
        FSOUND_StopSound(FSOUND_ALL);
        if (chdir("/") == 0) RemoveTree(gDir);
    }
    void SetUp() override {
        FSOUND_StopSound(FSOUND_ALL);
        for (int i = 0; i < 32; ++i) FSOUND_SetReserved(i, false);
    }
    static FSOUND_SAMPLE* Load(const std::string& name, const std::vector<short>& data, int channels = 1,
                               int rate = FILE_RATE) {
        std::string path = "Sounds/" + name;
        EXPECT_TRUE(WriteSound(path, data, channels, rate));
        return FSOUND_Sample_Load(-1, path.c_str(), FSOUND_NORMAL, 0);
    }
    static FSOUND_STREAM* OpenStream(const std::string& name, const std::vector<short>& data) {
        EXPECT_TRUE(WriteSound(name, data));
        return FSOUND_Stream_OpenFile(name.c_str(), FSOUND_NORMAL, 0);
    }
};

TEST_F(Library, OpensTheDeviceAtAStandardRateNearTheOneAskedFor) {
    EXPECT_TRUE(SoundLibrary_HasDevice());
    int rate = SoundLibrary_OutputRate();
    EXPECT_TRUE(rate == 48000 || rate == 44100) << rate;
}

TEST_F(Library, OneShotAppearsAtItsVolumeAndEnds) {
    FSOUND_SAMPLE* s = Load("dc.wav", Constant(16000, 1000));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SoundLibrary_SampleFrames(s), 1000);
    ASSERT_TRUE(Silent(Mix(300)));

    int ch = FSOUND_PlaySound(FSOUND_FREE, s);
    ASSERT_GE(ch, 0);
    ASSERT_LT(ch, 32);
    EXPECT_TRUE(FSOUND_IsPlaying(ch));
    std::vector<short> full = Mix(100);
    EXPECT_TRUE(Holds(full, 0, 100, 16000, 0)) << Left(full, 0);

    FSOUND_SetVolume(ch, 128);
    std::vector<short> loud = Mix(100);
    FSOUND_SetVolume(ch, 64);
    std::vector<short> quiet = Mix(100);
    EXPECT_TRUE(Holds(loud, 0, 100, Scaled(16000, 128)));
    EXPECT_TRUE(Holds(quiet, 0, 100, Scaled(16000, 64)));
    EXPECT_NEAR(double(Left(quiet, 50)) / Left(loud, 50), 0.5, 0.01);

    FSOUND_SetVolume(ch, 0);
    EXPECT_TRUE(Silent(Mix(50)));
    FSOUND_SetVolume(ch, 255);
    // 350 frames played so far: 650 remain, then silence.
    int rest = OutputFrames(1000) - 350;
    std::vector<short> tail = Mix(rest + 200);
    EXPECT_TRUE(Holds(tail, 0, rest - 1, 16000, 0));
    EXPECT_TRUE(Holds(tail, rest + 1, rest + 200, 0, 0));
    EXPECT_FALSE(FSOUND_IsPlaying(ch));
}

TEST_F(Library, ChannelsAddUpAndTheSumIsClippedNotWrapped) {
    FSOUND_SAMPLE* a = Load("a.wav", Constant(1000, 4000));
    FSOUND_SAMPLE* b = Load("b.wav", Constant(-300, 4000));
    FSOUND_SAMPLE* loud = Load("loud.wav", Constant(30000, 4000));
    ASSERT_TRUE(a && b && loud);
    FSOUND_PlaySound(FSOUND_FREE, a);
    FSOUND_PlaySound(FSOUND_FREE, b);
    EXPECT_TRUE(Holds(Mix(777), 0, 777, 700, 0));

    FSOUND_StopSound(FSOUND_ALL);
    FSOUND_PlaySound(FSOUND_FREE, loud);
    FSOUND_PlaySound(FSOUND_FREE, loud);
    EXPECT_TRUE(Holds(Mix(100), 0, 100, 32767, 0));
    FSOUND_StopSound(FSOUND_ALL);
    FSOUND_SAMPLE* low = Load("low.wav", Constant(-30000, 4000));
    FSOUND_PlaySound(FSOUND_FREE, low);
    FSOUND_PlaySound(FSOUND_FREE, low);
    EXPECT_TRUE(Holds(Mix(100), 0, 100, -32768, 0));
}

TEST_F(Library, StereoFilesKeepTheirSidesAndMonoGoesToBoth) {
    std::vector<short> stereo;
    for (int i = 0; i < 500; ++i) {
        stereo.push_back(1200);
        stereo.push_back(-2400);
    }
    FSOUND_SAMPLE* s = Load("stereo.wav", stereo, 2);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SoundLibrary_SampleChannels(s), 2);
    FSOUND_PlaySound(FSOUND_FREE, s);
    std::vector<short> mix = Mix(100);
    for (int f = 0; f < 100; ++f) {
        ASSERT_EQ(Left(mix, f), 1200);
        ASSERT_EQ(Right(mix, f), -2400);
    }
}

TEST_F(Library, AFileAtAnotherRateKeepsItsDuration) {
    int rate = SoundLibrary_OutputRate() / 2;
    FSOUND_SAMPLE* s = Load("half.wav", Constant(5000, 1000), 1, rate);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SoundLibrary_SampleRate(s), rate);
    FSOUND_PlaySound(FSOUND_FREE, s);
    std::vector<short> mix = Mix(2100);
    EXPECT_TRUE(Holds(mix, 0, 1990, 5000, 0));
    EXPECT_TRUE(Holds(mix, 2001, 2100, 0, 0));
}

TEST_F(Library, LoopModeIsReadWhenTheSampleStarts) {
    FSOUND_SAMPLE* s = Load("loop.wav", Ramp(300));
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(FSOUND_Sample_SetMode(s, FSOUND_LOOP_NORMAL));
    int ch = FSOUND_PlaySound(FSOUND_FREE, s);
    std::vector<short> mix = Mix(1000);
    // Round and round without a gap or a repeated frame.
    for (int f = 0; f < 1000; ++f) ASSERT_EQ(Left(mix, f), f % 300) << f;
    EXPECT_TRUE(FSOUND_IsPlaying(ch));
    FSOUND_StopSound(ch);
    EXPECT_FALSE(FSOUND_IsPlaying(ch));
    EXPECT_TRUE(Silent(Mix(100)));

    ASSERT_TRUE(FSOUND_Sample_SetMode(s, FSOUND_LOOP_OFF));
    ch = FSOUND_PlaySound(FSOUND_FREE, s);
    mix = Mix(700);
    EXPECT_EQ(Left(mix, 299), 299);
    EXPECT_TRUE(Holds(mix, 300, 700, 0, 0));
    EXPECT_FALSE(FSOUND_IsPlaying(ch));
}

TEST_F(Library, MissingFilesGiveNoHandleAndPlayingNothingIsHarmless) {
    EXPECT_EQ(FSOUND_Sample_Load(-1, "Sounds/nothing-here.wav", FSOUND_NORMAL, 0), nullptr);
    EXPECT_EQ(FSOUND_Stream_OpenFile("Music/nothing-here.ogg", FSOUND_NORMAL, 0), nullptr);
    // Not a sound at all.
    { std::ofstream("Sounds/text.wav") << "this is not a sound file\n"; }
    EXPECT_EQ(FSOUND_Sample_Load(-1, "Sounds/text.wav", FSOUND_NORMAL, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(-1, "Sounds", FSOUND_NORMAL, 0), nullptr);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
    EXPECT_FALSE(FSOUND_SetVolume(-1, 100));
    EXPECT_FALSE(FSOUND_StopSound(-1));
    EXPECT_FALSE(FSOUND_IsPlaying(-1));
    EXPECT_FALSE(FSOUND_IsPlaying(32));
    EXPECT_TRUE(Silent(Mix(200)));
}

TEST_F(Library, ACutOggFileFailsAgainAndAgainWithoutLeakingAndOpensOnceMended) {
    ASSERT_TRUE(WriteSound("whole.ogg", Sine(FILE_RATE, 440, 12000), 1, FILE_RATE, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    std::ifstream in("whole.ogg", std::ios::binary);
    std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Cut inside the Vorbis headers.
    { std::ofstream("cut.ogg", std::ios::binary) << whole.substr(0, 200); }
    size_t before = mallinfo2().uordblks;
    // The music tries a bad play list once a frame.
    for (int i = 0; i < 300; ++i) ASSERT_EQ(FSOUND_Stream_OpenFile("cut.ogg", FSOUND_NORMAL, 0), nullptr);
    EXPECT_LT(mallinfo2().uordblks - before, 100000u) << "kept bytes";
    { std::ofstream("cut.ogg", std::ios::binary) << whole; }
    FSOUND_STREAM* song = FSOUND_Stream_OpenFile("cut.ogg", FSOUND_NORMAL, 0);
    EXPECT_NE(song, nullptr);
    FSOUND_Stream_Close(song);
}

TEST_F(Library, EitherSpellingOfTheEffectsFolderFindsTheFile) {
    ASSERT_TRUE(WriteSound("Sounds/spelled.wav", Constant(100, 50)));
    EXPECT_NE(FSOUND_Sample_Load(-1, "sounds/spelled.wav", FSOUND_NORMAL, 0), nullptr);
    EXPECT_NE(FSOUND_Sample_Load(-1, "Sounds/spelled.wav", FSOUND_NORMAL, 0), nullptr);
    FSOUND_STREAM* st = FSOUND_Stream_OpenFile("sounds/spelled.wav", FSOUND_NORMAL, 0);
    EXPECT_NE(st, nullptr);
    FSOUND_Stream_Close(st);
    // Only that one folder name is respelled.
    ASSERT_EQ(mkdir("Other", 0755), 0);
    ASSERT_TRUE(WriteSound("Other/x.wav", Constant(100, 50)));
    EXPECT_EQ(FSOUND_Sample_Load(-1, "other/x.wav", FSOUND_NORMAL, 0), nullptr);
}

TEST_F(Library, AFullHouseGivesUpItsOldestOneShot) {
    FSOUND_SAMPLE* s = Load("long.wav", Constant(10, 20000));
    ASSERT_NE(s, nullptr);
    std::vector<int> used;
    for (int i = 0; i < 32; ++i) used.push_back(FSOUND_PlaySound(FSOUND_FREE, s));
    std::vector<bool> seen(32, false);
    for (int ch : used) {
        ASSERT_GE(ch, 0);
        ASSERT_LT(ch, 32);
        EXPECT_FALSE(seen[ch]) << "channel " << ch << " handed out twice";
        seen[ch] = true;
    }
    EXPECT_TRUE(Holds(Mix(10), 0, 10, 320, 0));
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), used[0]);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), used[1]);
    EXPECT_TRUE(Holds(Mix(10), 0, 10, 320, 0));
}

TEST_F(Library, TheReservedMusicChannelIsNeverTakenByAnEffect) {
    FSOUND_STREAM* song = OpenStream("song.wav", Constant(1000, 48000));
    FSOUND_SAMPLE* fx = Load("fx.wav", Constant(10, 20000));
    ASSERT_TRUE(song && fx);
    int music = FSOUND_Stream_Play(FSOUND_FREE, song);
    ASSERT_GE(music, 0);
    ASSERT_TRUE(FSOUND_SetReserved(music, true));
    for (int i = 0; i < 40; ++i) {
        int ch = FSOUND_PlaySound(FSOUND_FREE, fx);
        ASSERT_GE(ch, 0);
        ASSERT_NE(ch, music);
    }
    EXPECT_TRUE(FSOUND_IsPlaying(music));
    // The song and the 31 other channels are all heard.
    EXPECT_TRUE(Holds(Mix(200), 0, 200, 1000 + 31 * 10, 0));

    // Once the song lets go of its channel, effects may use it again.
    FSOUND_Stream_Stop(song);
    bool reused = false;
    for (int i = 0; i < 32; ++i) reused = reused || FSOUND_PlaySound(FSOUND_FREE, fx) == music;
    EXPECT_TRUE(reused);
    FSOUND_Stream_Close(song);
}

TEST_F(Library, AReservationWithoutAStreamLastsUntilLifted) {
    FSOUND_SAMPLE* fx = Load("fx2.wav", Constant(10, 20000));
    ASSERT_NE(fx, nullptr);
    ASSERT_TRUE(FSOUND_SetReserved(0, true));
    for (int i = 0; i < 40; ++i) ASSERT_NE(FSOUND_PlaySound(FSOUND_FREE, fx), 0);
    FSOUND_SetReserved(0, false);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, fx), 0);
}

TEST_F(Library, AStreamStoppedAndStartedAgainResumesWhereItStopped) {
    FSOUND_STREAM* song = OpenStream("ramp.wav", Ramp(30000));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(SoundLibrary_StreamLength(song), 30000);
    EXPECT_EQ(FSOUND_Stream_GetPosition(song), 0);
    int ch = FSOUND_Stream_Play(FSOUND_FREE, song);
    ASSERT_GE(ch, 0);
    std::vector<short> first = Mix(5000);  // more than one decoder buffer
    for (int f = 0; f < 5000; ++f) ASSERT_EQ(Left(first, f), f) << f;
    ASSERT_TRUE(FSOUND_Stream_Stop(song));
    EXPECT_FALSE(FSOUND_IsPlaying(ch));
    EXPECT_EQ(FSOUND_Stream_GetPosition(song), 5000);
    EXPECT_TRUE(Silent(Mix(1000)));
    EXPECT_EQ(FSOUND_Stream_GetPosition(song), 5000);

    ch = FSOUND_Stream_Play(FSOUND_FREE, song);
    std::vector<short> again = Mix(100);
    for (int f = 0; f < 100; ++f) ASSERT_EQ(Left(again, f), 5000 + f) << f;

    // Moving the position: playback goes on from there.
    FSOUND_Stream_Stop(song);
    ASSERT_TRUE(FSOUND_Stream_SetPosition(song, 20000));
    EXPECT_EQ(FSOUND_Stream_GetPosition(song), 20000);
    ch = FSOUND_Stream_Play(FSOUND_FREE, song);
    FSOUND_SetVolume(ch, 255);
    std::vector<short> later = Mix(10);
    for (int f = 0; f < 10; ++f) ASSERT_EQ(Right(later, f), 20000 + f);
    EXPECT_TRUE(FSOUND_Stream_Close(song));
    EXPECT_FALSE(FSOUND_IsPlaying(ch));
}

TEST_F(Library, IsPlayingTurnsFalseWhenAStreamEnds) {
    FSOUND_STREAM* song = OpenStream("short.wav", Constant(2000, 3000));
    ASSERT_NE(song, nullptr);
    int ch = FSOUND_Stream_Play(FSOUND_FREE, song);
    FSOUND_SetVolume(ch, 255);
    std::vector<short> a = Mix(2000);
    EXPECT_TRUE(Holds(a, 0, 2000, 2000, 0));
    EXPECT_TRUE(FSOUND_IsPlaying(ch));
    int end = OutputFrames(3000) - 2000;
    std::vector<short> b = Mix(2000);
    EXPECT_TRUE(Holds(b, 0, end - 1, 2000, 0));
    EXPECT_TRUE(Holds(b, end + 1, 2000, 0, 0));
    EXPECT_FALSE(FSOUND_IsPlaying(ch));
    EXPECT_EQ(FSOUND_Stream_GetPosition(song), 3000);
    FSOUND_Stream_Close(song);
}

TEST_F(Library, OggVorbisStreamsDecodeAsTheyPlay) {
    std::vector<short> tone = Sine(FILE_RATE * 2, 440, 12000);
    ASSERT_TRUE(WriteSound("tone.ogg", tone, 1, FILE_RATE, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    FSOUND_STREAM* song = FSOUND_Stream_OpenFile("tone.ogg", FSOUND_NORMAL, 0);
    ASSERT_NE(song, nullptr);
    int ch = FSOUND_Stream_Play(FSOUND_FREE, song);
    FSOUND_SetVolume(ch, 255);
    std::vector<short> mix = Mix(FILE_RATE);
    int peak = 0;
    for (short s : mix) peak = std::max(peak, std::abs(int(s)));
    EXPECT_GT(peak, 10000);
    EXPECT_LT(peak, 14000);
    EXPECT_TRUE(FSOUND_IsPlaying(ch));
    Mix(FILE_RATE * 2);
    EXPECT_FALSE(FSOUND_IsPlaying(ch));
    FSOUND_Stream_Close(song);
}

// What the mixer must put out for a file played at full volume at the
// mixer's own rate: the decoded value itself, on each side.
std::vector<short> DecodedAsMixed(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<short> out;
    if (file == nullptr) return out;
    std::vector<float> v(static_cast<size_t>(info.frames) * info.channels);
    sf_count_t frames = sf_readf_float(file, v.data(), info.frames);
    sf_close(file);
    for (sf_count_t f = 0; f < frames; ++f) {
        for (int side = 0; side < 2; ++side) {
            float x = v[f * info.channels + std::min(side, info.channels - 1)] * 32768.0f;
            out.push_back(x >= 32767.0f ? 32767 : x <= -32768.0f ? -32768 : static_cast<short>(std::lrint(x)));
        }
    }
    return out;
}

TEST_F(Library, AWholeSongArrivesSampleForSampleAndAFullBufferDoesNotHoldTheGame) {
    const int rate = SoundLibrary_OutputRate();
    std::vector<short> song(2 * static_cast<size_t>(rate) * 4);  // 4 s: the buffer goes round
    for (size_t i = 0; i < song.size(); ++i) song[i] = static_cast<short>(9000 * std::sin(i * (i % 2 ? 0.01 : 0.0037)));
    ASSERT_TRUE(WriteSound("song.ogg", song, 2, rate, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    std::vector<short> expected = DecodedAsMixed("song.ogg");
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("song.ogg", FSOUND_NORMAL, 0);
    ASSERT_NE(stream, nullptr);
    ASSERT_LT(SoundLibrary_StreamBufferFrames(stream), rate * 4);
    int ch = FSOUND_Stream_Play(FSOUND_FREE, stream);
    FSOUND_SetVolume(ch, 255);
    // The game goes on calling while nothing is played: the buffer fills and
    // then each call returns at once, overwriting nothing still to play.
    for (int i = 0; i < 50; ++i) SoundLibrary_DecodeAhead();
    long long underruns = SoundLibrary_UnderrunFrames();
    std::vector<short> mixed;
    while (FSOUND_IsPlaying(ch) && mixed.size() < expected.size() + 8 * 1024) {
        std::vector<short> piece = Mix(1000);
        mixed.insert(mixed.end(), piece.begin(), piece.end());
    }
    ASSERT_GE(mixed.size(), expected.size());
    mixed.resize(expected.size());
    EXPECT_EQ(mixed, expected);
    EXPECT_EQ(SoundLibrary_UnderrunFrames(), underruns);
    EXPECT_FALSE(FSOUND_IsPlaying(ch));
    FSOUND_Stream_Close(stream);
}

TEST_F(Library, AStarvedStreamIsSilenceCountedAsUnderrunThenGoesOnWhereItWas) {
    std::vector<short> ramp(60000);
    for (size_t k = 0; k < ramp.size(); ++k) ramp[k] = static_cast<short>(k + 1);  // never 0
    ASSERT_TRUE(WriteSound("ramp1.wav", ramp, 1, SoundLibrary_OutputRate()));
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("ramp1.wav", FSOUND_NORMAL, 0);
    ASSERT_NE(stream, nullptr);
    int ch = FSOUND_Stream_Play(FSOUND_FREE, stream);
    FSOUND_SetVolume(ch, 255);
    long long before = SoundLibrary_UnderrunFrames();
    std::vector<short> starved = MixUnfed(30000);  // nobody decodes ahead meanwhile
    int played = 0;
    while (played < 30000 && Left(starved, played) == ramp[played] && Right(starved, played) == ramp[played])
        ++played;
    EXPECT_GT(played, 0) << "playing fills the start of the buffer";
    EXPECT_LT(played, 30000);
    EXPECT_TRUE(Holds(starved, played, 30000, 0, 0));
    EXPECT_EQ(SoundLibrary_UnderrunFrames() - before, 30000 - played);
    EXPECT_TRUE(FSOUND_IsPlaying(ch));
    EXPECT_EQ(FSOUND_Stream_GetPosition(stream), played);
    std::vector<short> resumed = Mix(100);
    for (int f = 0; f < 100; ++f) ASSERT_EQ(Left(resumed, f), ramp[played + f]) << f;
    FSOUND_Stream_Close(stream);
}

TEST_F(Library, StopAllSilencesEffectsLoopsAndMusic) {
    FSOUND_STREAM* song = OpenStream("all.wav", Constant(1000, 48000));
    FSOUND_SAMPLE* shot = Load("shot.wav", Constant(100, 20000));
    FSOUND_SAMPLE* hum = Load("hum.wav", Constant(10, 500));
    ASSERT_TRUE(song && shot && hum);
    FSOUND_Sample_SetMode(hum, FSOUND_LOOP_NORMAL);
    int music = FSOUND_Stream_Play(FSOUND_FREE, song);
    FSOUND_SetReserved(music, true);
    int a = FSOUND_PlaySound(FSOUND_FREE, shot);
    int b = FSOUND_PlaySound(FSOUND_FREE, hum);
    EXPECT_TRUE(Holds(Mix(100), 0, 100, 1110, 0));
    ASSERT_TRUE(FSOUND_StopSound(FSOUND_ALL));
    EXPECT_FALSE(FSOUND_IsPlaying(music));
    EXPECT_FALSE(FSOUND_IsPlaying(a));
    EXPECT_FALSE(FSOUND_IsPlaying(b));
    EXPECT_TRUE(Silent(Mix(2000)));
    // The song keeps its place.
    EXPECT_EQ(FSOUND_Stream_GetPosition(song), 100);
    FSOUND_Stream_Close(song);
}

}  // namespace
