// SPDX-License-Identifier: MIT
// The stopwatch over the game's clock and the three message functions.
#include <cerrno>
#include <cstring>

#include "ShellTestSupport.h"

namespace {

// The game's clock moves only when told, so readings are exact.
class TimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartSdlOnce();
        FeedSimulate(16);
    }
    void TearDown() override { FeedLive(); }
    static void Wait(Uint32 mils) { FeedDelay(mils); }
};

TEST_F(TimerTest, NewTimerIsStoppedAtZero) {
    Timer timer;
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.GetTime(), 0.0);
    Wait(20);
    EXPECT_EQ(timer.GetTime(), 0.0);
}

TEST_F(TimerTest, StopFreezesAndStartResumes) {
    Timer timer;
    timer.Start();
    Wait(60);
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_NEAR(timer.GetTime(), 0.060, 1e-9) << "the clock since Start, in seconds";
    timer.Stop();
    const double frozen = timer.GetTime();
    EXPECT_FALSE(timer.IsRunning());
    Wait(40);
    EXPECT_EQ(timer.GetTime(), frozen);
    timer.Stop();  // a second Stop changes nothing
    EXPECT_EQ(timer.GetTime(), frozen);
    // Resumed: the time while stopped is not counted.
    timer.Start();
    Wait(30);
    EXPECT_NEAR(timer.GetTime(), 0.090, 1e-9);
}

TEST_F(TimerTest, StartWhileRunningRestartsAndResetClears) {
    Timer timer;
    timer.Start();
    Wait(50);
    timer.Stop();
    timer.Start();  // resumes the 50 ms
    Wait(50);
    timer.Start();  // running: everything so far is dropped
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(timer.GetTime(), 0.0);
    Wait(20);
    timer.Reset();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.GetTime(), 0.0);
    Wait(20);
    EXPECT_EQ(timer.GetTime(), 0.0);
    timer.Start();  // after a reset it counts from zero
    Wait(10);
    EXPECT_NEAR(timer.GetTime(), 0.010, 1e-9);
}

// SDL's own count starts again whenever SDL is shut down and brought up
// (as a video restart does when no other subsystem is up); the game's does
// not.
TEST_F(TimerTest, TheLiveClockNeverGoesBackWhenSdlRestarts) {
    FeedLive();
    SDL_Delay(30);
    const Uint32 before = FeedTicks();
    ASSERT_GE(SDL_GetTicks(), 30u);
    SDL_Quit();
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    const Uint32 sdlAfter = SDL_GetTicks();
    const Uint32 after = FeedTicks();
    EXPECT_GE(after, before);
    // SDL counts only the time since it came up again.
    EXPECT_LE(sdlAfter, after - before + 1) << "SDL's count started again";
}

TEST(Messages, ErrorAndMesgFormatToTheirStreams) {
    std::string err = Capture(stderr, [] { error("%s %d of %.1f\n", "wave", 3, 2.5); });
    EXPECT_EQ(err, "wave 3 of 2.5\n");
    std::string out = Capture(stdout, [] { mesg("score %05d", 42); });
    EXPECT_EQ(out, "score 00042");
    // Each goes to its own stream only.
    EXPECT_EQ(Capture(stdout, [] { error("x"); }), "");
    EXPECT_EQ(Capture(stderr, [] { mesg("x"); }), "");
}

TEST(Messages, LongMessagesAreCutAt511Characters) {
    std::string longText(2000, 'a');
    longText[510] = 'b';
    longText[511] = 'c';
    std::string err = Capture(stderr, [&] { error("%s", longText.c_str()); });
    ASSERT_EQ(err.size(), 511u);
    EXPECT_EQ(err.back(), 'b');
    std::string out = Capture(stdout, [&] { mesg("%s%s", longText.c_str(), longText.c_str()); });
    EXPECT_EQ(out.size(), 511u);
    // Exactly 511 fits whole.
    std::string exact(511, 'z');
    EXPECT_EQ(Capture(stderr, [&] { error("%s", exact.c_str()); }), exact);
}

TEST(Messages, MyperrorForms) {
    std::string withMessage = Capture(stderr, [] {
        errno = ENOENT;
        myperror("Music/list.txt");
    });
    EXPECT_EQ(withMessage, std::string("Music/list.txt: ") + std::strerror(ENOENT) + "\n");

    std::string bare = Capture(stderr, [] {
        errno = EACCES;
        myperror("");
    });
    EXPECT_EQ(bare, std::strerror(EACCES));

    // A long message is cut like every other, never overflowed.
    std::string longName(700, 'n');
    std::string cut = Capture(stderr, [&] {
        errno = ENOENT;
        myperror(longName.c_str());
    });
    EXPECT_EQ(cut, std::string(511, 'n'));
}

}  // namespace
