// The stopwatch over SDL's tick count and the three message functions.
#include <cerrno>
#include <cstring>

#include "ShellTestSupport.h"

namespace {

double Ticks() { return SDL_GetTicks() / 1000.0; }

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { StartSdlOnce(); }
};

TEST_F(TimerTest, NewTimerIsStoppedAtZero) {
    Timer timer;
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.GetTime(), 0.0);
    SDL_Delay(20);
    EXPECT_EQ(timer.GetTime(), 0.0);
}

TEST_F(TimerTest, RunningReadingFollowsTheTickCount) {
    Timer timer;
    double before = Ticks();
    timer.Start();
    double after = Ticks();
    SDL_Delay(30);
    double readBefore = Ticks();
    double reading = timer.GetTime();
    double readAfter = Ticks();
    EXPECT_TRUE(timer.IsRunning());
    // The reading is the tick count since Start, in seconds, to the millisecond.
    EXPECT_GE(reading, readBefore - after - 1e-9);
    EXPECT_LE(reading, readAfter - before + 1e-9);
    EXPECT_GE(reading, 0.030 - 1e-9);
}

TEST_F(TimerTest, StopFreezesAndStartResumes) {
    Timer timer;
    timer.Start();
    SDL_Delay(60);
    timer.Stop();
    double frozen = timer.GetTime();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_GE(frozen, 0.060 - 1e-9);
    SDL_Delay(40);
    EXPECT_EQ(timer.GetTime(), frozen);
    // A second Stop changes nothing.
    timer.Stop();
    EXPECT_EQ(timer.GetTime(), frozen);

    // Resumed: the time while stopped is not counted.
    double before = Ticks();
    timer.Start();
    SDL_Delay(30);
    double reading = timer.GetTime();
    double after = Ticks();
    EXPECT_GE(reading, frozen + 0.030 - 1e-9);
    EXPECT_LE(reading, frozen + (after - before) + 1e-9);
}

TEST_F(TimerTest, StartWhileRunningRestartsFromZero) {
    Timer timer;
    timer.Start();
    SDL_Delay(50);
    timer.Stop();
    timer.Start();  // resumes the 50 ms
    SDL_Delay(50);
    double before = Ticks();
    timer.Start();  // running: everything so far is dropped
    double reading = timer.GetTime();
    double after = Ticks();
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_LE(reading, after - before + 1e-9);
    EXPECT_LT(reading, 0.1);
}

TEST_F(TimerTest, ResetStopsAndClears) {
    Timer timer;
    timer.Start();
    SDL_Delay(20);
    timer.Reset();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.GetTime(), 0.0);
    SDL_Delay(20);
    EXPECT_EQ(timer.GetTime(), 0.0);
    // Started again after a reset it counts from zero.
    double before = Ticks();
    timer.Start();
    SDL_Delay(10);
    double reading = timer.GetTime();
    double after = Ticks();
    EXPECT_LE(reading, after - before + 1e-9);
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
