// SPDX-License-Identifier: MIT
// The game's effects: loading, one-shots, loops and volume, heard through
// the mixer. The effects are made here, each a steady level of its own, with
// one file left out.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "AudioTestFiles.h"
#include "audio/Sound.h"
#include "audio/SoundLibrary.h"

using namespace audiotest;

namespace {

const int MISSING = BONK_SOUND;
const int EFFECT_FRAMES = 2000;
const int LOOP_FRAMES = 500;

int Level(int id) { return 100 * (id + 1); }
int Frames(int id) { return id == THRUSTER_SOUND || id == NO_SHIELD_SOUND ? LOOP_FRAMES : EFFECT_FRAMES; }

std::string gLoadMessages;
std::string gDir;

class Effects : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gDir = MakeTempFolder("korvalend-audio");
        ASSERT_FALSE(gDir.empty());
        ASSERT_EQ(chdir(gDir.c_str()), 0);
        ASSERT_EQ(mkdir("Sounds", 0755), 0);
        ASSERT_EQ(symlink("Sounds", "sounds"), 0);
        for (int id = 0; id < NUM_SOUNDS; ++id) {
            if (id == MISSING) continue;
            ASSERT_TRUE(WriteSound(soundFileNames[id], Constant(Level(id), Frames(id))));
        }
        testing::internal::CaptureStderr();
        Sound::GetInstance();
        gLoadMessages = testing::internal::GetCapturedStderr();
        SoundLibrary_PauseOutput(true);
    }
    static void TearDownTestSuite() {
        FSOUND_StopSound(FSOUND_ALL);
        if (chdir("/") == 0) RemoveTree(gDir);
    }
    void SetUp() override {
        Sound* s = Sound::GetInstance();
        s->StopLoopingSound(THRUSTER_SOUND);
        s->StopLoopingSound(NO_SHIELD_SOUND);
        FSOUND_StopSound(FSOUND_ALL);
    }
    int Volume() const { return Sound::GetInstance()->GetVolume(); }
    static int Playing() {
        int n = 0;
        for (int ch = 0; ch < 32; ++ch) n += FSOUND_IsPlaying(ch);
        return n;
    }
};

TEST_F(Effects, StartUpAnnouncesEveryLoadAndNamesTheMissingFile) {
    std::string expected = "Initializing sound...\n";
    for (int id = 0; id < NUM_SOUNDS; ++id) {
        expected += std::string("Loading sound \"") + soundFileNames[id] + "\"...\n";
        if (id == MISSING) expected += "Unable to load \"Sounds/bonk.wav\".\n";
    }
    // The library's own line about the device comes between the first two.
    std::string messages = gLoadMessages;
    size_t device = messages.find("Sound: output ");
    ASSERT_NE(device, std::string::npos) << messages;
    messages.erase(device, messages.find('\n', device) + 1 - device);
    EXPECT_EQ(messages, expected);
    for (int id = 0; id < NUM_SOUNDS; ++id) {
        EXPECT_EQ(Sound::GetInstance()->IsLoaded(id), id != MISSING) << soundFileNames[id];
        EXPECT_EQ(Sound::GetInstance()->GetLoopChannel(id), -1);
    }
}

TEST_F(Effects, AOneShotIsHeardAtTheEffectVolumeAndPlaysOnce) {
    Sound::GetInstance()->PlaySound(SHOT_SOUND);
    int level = Scaled(Level(SHOT_SOUND), Volume());
    ASSERT_GT(level, 0);
    int n = OutputFrames(EFFECT_FRAMES);
    std::vector<short> mix = Mix(n + 500);
    EXPECT_TRUE(Holds(mix, 0, n - 1, level));
    EXPECT_TRUE(Holds(mix, n + 1, n + 500, 0, 0));
    EXPECT_EQ(Playing(), 0);
}

TEST_F(Effects, TwoPlaysOfOneEffectOverlap) {
    Sound* s = Sound::GetInstance();
    int level = Scaled(Level(EXPLOSION_SOUND), Volume());
    s->PlaySound(EXPLOSION_SOUND);
    std::vector<short> one = Mix(500);
    s->PlaySound(EXPLOSION_SOUND);
    std::vector<short> both = Mix(1000);
    EXPECT_TRUE(Holds(one, 0, 500, level));
    EXPECT_TRUE(Holds(both, 0, 1000, 2 * level, 2));
    EXPECT_EQ(Playing(), 2);
    // The first ends 500 frames before the second.
    int firstEnds = OutputFrames(EFFECT_FRAMES) - 1500;
    std::vector<short> tail = Mix(firstEnds + 400);
    EXPECT_TRUE(Holds(tail, 0, firstEnds - 1, 2 * level, 2));
    EXPECT_TRUE(Holds(tail, firstEnds + 1, firstEnds + 400, level));
}

TEST_F(Effects, ALoopStartedTwiceRunsOnceUntilStopped) {
    Sound* s = Sound::GetInstance();
    int level = Scaled(Level(THRUSTER_SOUND), Volume());
    s->StartLoopingSound(THRUSTER_SOUND);
    s->StartLoopingSound(THRUSTER_SOUND);
    EXPECT_NE(s->GetLoopChannel(THRUSTER_SOUND), -1);
    EXPECT_EQ(Playing(), 1);
    // Many times its own length, at the level of a single copy.
    std::vector<short> mix = Mix(10 * OutputFrames(LOOP_FRAMES));
    EXPECT_TRUE(Holds(mix, 0, 10 * OutputFrames(LOOP_FRAMES), level));
    s->StopLoopingSound(THRUSTER_SOUND);
    EXPECT_EQ(s->GetLoopChannel(THRUSTER_SOUND), -1);
    EXPECT_TRUE(Silent(Mix(200)));
}

TEST_F(Effects, PlayingALoopingEffectEndsTheLoopAndPlaysItOnce) {
    Sound* s = Sound::GetInstance();
    int level = Scaled(Level(NO_SHIELD_SOUND), Volume());
    s->StartLoopingSound(NO_SHIELD_SOUND);
    Mix(123);
    s->PlaySound(NO_SHIELD_SOUND);
    EXPECT_EQ(s->GetLoopChannel(NO_SHIELD_SOUND), -1);
    int n = OutputFrames(LOOP_FRAMES);
    std::vector<short> mix = Mix(3 * n);
    EXPECT_TRUE(Holds(mix, 0, n - 1, level));
    EXPECT_TRUE(Holds(mix, n + 1, 3 * n, 0, 0));
    // Later one-shots of that sample do not loop either.
    s->PlaySound(NO_SHIELD_SOUND);
    Mix(3 * n);
    EXPECT_EQ(Playing(), 0);
}

TEST_F(Effects, StopAllSoundsSilencesLoopsAndOneShots) {
    Sound* s = Sound::GetInstance();
    s->StartLoopingSound(THRUSTER_SOUND);
    s->PlaySound(RIFF_SOUND);
    s->PlaySound(FUNK_SOUND);
    EXPECT_FALSE(Silent(Mix(100)));
    s->StopAllSounds();
    EXPECT_TRUE(Silent(Mix(1000)));
    EXPECT_EQ(Playing(), 0);
}

TEST_F(Effects, AMissingEffectIsSilentWhileTheOthersPlay) {
    Sound* s = Sound::GetInstance();
    s->PlaySound(MISSING);
    s->StartLoopingSound(MISSING);
    s->StopLoopingSound(MISSING);
    EXPECT_EQ(Playing(), 0);
    EXPECT_TRUE(Silent(Mix(300)));
    for (int id = 0; id < NUM_SOUNDS; ++id) {
        if (id == MISSING) continue;
        s->PlaySound(id);
        std::vector<short> mix = Mix(10);
        EXPECT_TRUE(Holds(mix, 0, 10, Scaled(Level(id), Volume()))) << soundFileNames[id];
        FSOUND_StopSound(FSOUND_ALL);
    }
}

TEST_F(Effects, VolumeStepsAndTheLoopsFollowThem) {
    Sound* s = Sound::GetInstance();
    ASSERT_EQ(s->GetVolume(), 64) << "only this test changes the effect volume";
    s->StartLoopingSound(THRUSTER_SOUND);
    s->PlaySound(RIFF_SOUND);
    const int steps[] = {54, 44, 34, 24, 14, 4, 0, 0};
    for (int v : steps) {
        s->TurnVolumeDown();
        EXPECT_EQ(s->GetVolume(), v);
    }
    // The loop went quiet; the one-shot kept the volume it started with.
    EXPECT_TRUE(Holds(Mix(100), 0, 100, Scaled(Level(RIFF_SOUND), 64)));
    for (int i = 1; i <= 20; ++i) s->TurnVolumeUp();
    EXPECT_EQ(s->GetVolume(), 200);
    for (int i = 21; i <= 25; ++i) s->TurnVolumeUp();
    EXPECT_EQ(s->GetVolume(), 250);
    s->TurnVolumeUp();
    EXPECT_EQ(s->GetVolume(), 255);
    s->TurnVolumeUp();
    EXPECT_EQ(s->GetVolume(), 255);
    EXPECT_TRUE(Holds(Mix(100), 0, 100, Scaled(Level(RIFF_SOUND), 64) + Scaled(Level(THRUSTER_SOUND), 255), 2));
    // Leave an audible volume for whatever runs next.
    for (int i = 0; i < 30; ++i) s->TurnVolumeDown();
    for (int i = 0; i < 6; ++i) s->TurnVolumeUp();
    ASSERT_EQ(s->GetVolume(), 60);
}

}  // namespace
