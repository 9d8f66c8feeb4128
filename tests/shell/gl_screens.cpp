// SPDX-License-Identifier: MIT
// The screens between games and waves, in a real window: the bonus tally,
// its skipping, the intro and the game-over picture with its table, and the
// screen keys.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Picture.h"
#include "ShellTestSupport.h"
#include "profile/Bindings.h"
#include "shell/GameSettings.h"
#include "render/ScoreTable.h"
#include "profile/HighScores.h"
#include "sys/UserFiles.h"

namespace {

class ScreensTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The game-over picture enters its game into the high scores.
        static TempDir home("korvalend_screens");
        setenv("XDG_DATA_HOME", home.path.c_str(), 1);
        // The options save the settings as they close.
        setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
        StartSdlOnce();
        // The screens' waits and fades run in the game's own time, so what
        // they take is exact and no test waits for them.
        FeedSimulate(16);
        Screen::GetInstance()->Init();
        InitGlobals();
        gThePlayer = new Player();
        gCurrentCamera = new FirstPersonCamera(gThePlayer);
        screen = Screen::GetInstance();
    }
    void SetUp() override {
        DrainEvents();
        gThePlayer->NewGame();
        gThePlayer->NewWave();
        gWave = 1;
    }
    void TearDown() override { DrainEvents(); }

    // Seconds of the game's clock fn takes.
    static double Timed(const std::function<void()>& fn) {
        Timer timer;
        timer.Start();
        fn();
        return timer.GetTime();
    }

    static void PushPress() { PushKey(SDLK_SPACE, true); }
};

// Mean colour (0..255 a channel) of a rectangle of the back buffer given in
// the 1600 x 1200 virtual screen.
struct Mean {
    double r = 0, g = 0, b = 0;
};
Mean Colour(int x, int y, int w, int h) {
    const gltest::Picture p = gltest::ReadPicture();
    const int px = x * p.w / 1600, py = y * p.h / 1200;
    const int pw = std::max(1, w * p.w / 1600), ph = std::max(1, h * p.h / 1200);
    Mean mean;
    const double n = double(pw) * ph;
    for (int row = py; row < py + ph; ++row)
        for (int col = px; col < px + pw; ++col) {
            const unsigned char* c = p.At(col, row);
            mean.r += c[0] / n;
            mean.g += c[1] / n;
            mean.b += c[2] / n;
        }
    return mean;
}

double Brightness(int x, int y, int w, int h) {
    Mean m = Colour(x, y, w, h);
    return (m.r + m.g + m.b) / 3.0;
}

TEST_F(ScreensTest, BonusPictureShowsOnlyWhatItIsAskedFor) {
    gThePlayer->bonus = 8880;
    gThePlayer->bonusMult = 3;
    gThePlayer->score = 123450;
    // Rectangles just right of each element's corner.
    auto nextWave = [] { return Brightness(544, 300, 500, 60); };
    auto bonusNumber = [] { return Brightness(778, 640, 120, 50); };
    auto multiplier = [] { return Brightness(938, 624, 60, 60); };
    auto total = [] { return Brightness(1018, 640, 120, 50); };
    auto scoreNumber = [] { return Brightness(778, 560, 160, 50); };
    auto caption = [] { return Brightness(672, 800, 200, 50); };

    DrawBonusScreen(-1, -1, -1, false);
    EXPECT_GT(caption(), 10.0) << "the wave-complete caption is always there";
    EXPECT_LT(nextWave(), 2.0);
    EXPECT_LT(bonusNumber(), 2.0);
    EXPECT_LT(multiplier(), 2.0);
    EXPECT_LT(total(), 2.0);
    EXPECT_LT(scoreNumber(), 2.0);

    DrawBonusScreen(0, 26640, 0, true);
    EXPECT_GT(nextWave(), 10.0);
    EXPECT_GT(bonusNumber(), 10.0);
    EXPECT_GT(multiplier(), 10.0);
    EXPECT_GT(total(), 10.0);
    EXPECT_GT(scoreNumber(), 10.0);
    SDL_GL_SwapBuffers();
}

TEST_F(ScreensTest, SkippedAtOnceCreditsBonusTimesMultiplier) {
    gThePlayer->bonus = 1000;
    gThePlayer->bonusMult = 3;
    gThePlayer->score = 100;
    PushPress();  // waits in the queue through the opening fades
    double seconds = Timed(DoBonusScreen);
    EXPECT_EQ(gThePlayer->score, 100 + 3000);
    EXPECT_LT(seconds, 3.0) << "the 3-second wait was cut short";
}

TEST_F(ScreensTest, SkippingCanEarnAShip) {
    gThePlayer->bonus = 1230;
    gThePlayer->bonusMult = 1;
    gThePlayer->score = 49800;
    int lives = gThePlayer->lives;
    PushPress();
    DoBonusScreen();
    EXPECT_EQ(gThePlayer->score, 49800 + 1230) << "exactly the bonus, not rounded up";
    EXPECT_EQ(gThePlayer->lives, lives + 1);
}

TEST_F(ScreensTest, TheFullCountCreditsWholeStepsOf500) {
    gThePlayer->bonus = 1230;
    gThePlayer->bonusMult = 1;
    gThePlayer->score = 0;
    double seconds = Timed(DoBonusScreen);
    EXPECT_EQ(gThePlayer->score, 1500) << "three steps of 500";
    EXPECT_EQ(gThePlayer->bonus, 0) << "counted down in place";
    EXPECT_GE(seconds, 7.5 + 0.3);
}

TEST_F(ScreensTest, AMultipliedBonusCountsItsTotal) {
    gThePlayer->bonus = 2000;
    gThePlayer->bonusMult = 5;
    gThePlayer->score = 0;
    double seconds = Timed(DoBonusScreen);
    EXPECT_EQ(gThePlayer->score, 10000);
    EXPECT_EQ(gThePlayer->bonus, 2000) << "the ship's bonus is left as it was";
    // 20 steps of 0.1 s, no compliment (it needs more than 10000).
    EXPECT_GE(seconds, 7.5 + 1.0 + 2.0);
    EXPECT_LT(seconds, 7.5 + 1.0 + 2.0 + 0.5 + 2.0);
}

TEST_F(ScreensTest, GameOverCannotBeSkippedAndKeepsTheQueue) {
    PushKey(SDLK_ESCAPE, true);
    gThePlayer->score = 4321;
    double seconds = Timed(DoGameOver);
    EXPECT_GE(seconds, 6.0) << "5 seconds between the two fades";
    std::string scores;
    ASSERT_TRUE(ReadFileBytes(UserDataFolder() + "/scores", &scores));
    EXPECT_NE(scores.find("\n4321 1 "), std::string::npos) << "the game is in the table: " << scores;
    SDL_Event event;
    ASSERT_EQ(SDL_PollEvent(&event), 1) << "the key is still waiting for the next game";
    EXPECT_EQ(event.type, SDL_KEYDOWN);
    EXPECT_EQ(event.key.keysym.sym, SDLK_ESCAPE);
}

TEST_F(ScreensTest, GameOverTableMarksTheNewEntryAndShowsACheatedGameApart) {
    ScoreBoard board;
    for (int score : {48210, 35900, 27150}) {
        HighScore entry = ThisGame(score, 7);
        board.table.push_back(entry);
    }
    board.newPlace = 1;
    board.game = board.table[1];
    // The score column of a line on its baseline, and the cheated game's line.
    auto scoreOf = [](int line) { return Colour(575, 456 - 38 * (line + 1), 100, 22); };
    auto cheaterLine = [] { return Colour(290, 40, 130, 22); };
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScoreTable(board);
    Mean plain = scoreOf(0), marked = scoreOf(1);
    EXPECT_GT(plain.b, 20.0) << "entries are drawn";
    EXPECT_LT(std::abs(plain.r - plain.b), 12.0) << "in white";
    EXPECT_GT(marked.r, marked.b + 30.0) << "the new entry in gold";
    EXPECT_LT(cheaterLine().r, 2.0) << "no cheated game";
    EXPECT_LT(Brightness(0, 520, 1600, 680), 1.0) << "the picture's words stay clear";

    board.newPlace = -1;
    board.cheated = true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScoreTable(board);
    Mean cheater = cheaterLine();
    EXPECT_GT(cheater.r, cheater.g + 20.0) << "CHEATER, in red";
    marked = scoreOf(1);
    EXPECT_LT(std::abs(marked.r - marked.b), 12.0) << "nothing marked";
    SDL_GL_SwapBuffers();
}

TEST_F(ScreensTest, IntroEndsEarlyOnAPressOrAfterFiveSeconds) {
    PushPress();
    double early = Timed(DoIntroScreen);
    // A second of black, the fade-in and the fade-out always run.
    EXPECT_GE(early, 2.0);
    EXPECT_LT(early, 4.5);
    // Other events do not end it, and are dropped.
    PushMotion(3, 3);
    PushKey(SDLK_a, false);
    double full = Timed(DoIntroScreen);
    EXPECT_GE(full, 5.5);
    SDL_Event event;
    EXPECT_EQ(SDL_PollEvent(&event), 0);
}

// Another window takes the focus during the title or the tally: the next
// wave begins paused, as it would had the focus gone during a wave.
TEST_F(ScreensTest, FocusLostDuringTheIntroOrTheTallyPausesTheNextWave) {
    SDL_Event focus{};
    focus.type = SDL_ACTIVEEVENT;
    focus.active.state = SDL_APPINPUTFOCUS;
    for (void (*screenShown)() : {DoIntroScreen, DoBonusScreen}) {
        gamePaused = false;
        gThePlayer->bonus = 0;
        focus.active.gain = 0;
        ASSERT_EQ(SDL_PushEvent(&focus), 0);
        screenShown();
        EXPECT_TRUE(gamePaused) << (screenShown == DoIntroScreen ? "intro" : "bonus screen");
        focus.active.gain = 1;
        ASSERT_EQ(SDL_PushEvent(&focus), 0);
        DrainEvents();
    }
    gamePaused = false;
}

// Closing the window at every screen. The intro and the bonus screen read
// the queue only for presses: a close request is dropped and they run their
// full time. The game-over picture reads nothing, so the request waits and
// ends the process in the first frame of the next game. In a wave, paused
// or not, it ends the process at once. (The death tests start a fresh copy
// of this program, with a window of its own.)
using ScreensDeathTest = ScreensTest;

// Whether the request still waits in the queue (left there), on standard
// error.
void ReportQueue() {
    SDL_Event event;
    bool kept = SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_QUIT)) == 1;
    std::fprintf(stderr, kept ? "request kept\n" : "request dropped\n");
}

// The intro and the bonus screen run in a child too, so that a close request
// they obeyed would show as an early end rather than end this program.
TEST_F(ScreensDeathTest, ClosingDuringTheIntroIsDroppedAndTheIntroRunsOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PushQuit();
            if (Timed(DoIntroScreen) >= 5.5) std::fprintf(stderr, "ran its time\n");
            ReportQueue();
            std::exit(7);
        },
        ::testing::ExitedWithCode(7), "ran its time\nrequest dropped\n$");
}

TEST_F(ScreensDeathTest, ClosingDuringTheBonusScreenIsDroppedAndTheTallyRunsOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            gThePlayer->bonus = 1230;
            gThePlayer->bonusMult = 1;
            gThePlayer->score = 0;
            PushQuit();
            if (Timed(DoBonusScreen) >= 7.5 + 0.3 && gThePlayer->score == 1500)
                std::fprintf(stderr, "counted in full\n");
            ReportQueue();
            std::exit(7);
        },
        ::testing::ExitedWithCode(7), "counted in full\nrequest dropped\n$");
}

TEST_F(ScreensDeathTest, ClosingDuringTheGameOverScreenEndsTheNextGameAtItsFirstFrame) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PushQuit();
            DoGameOver();
            ReportQueue();
            BeginGame();
            NextWave();
            BeginWavePlay();
            WaveFrame(0.02);
            std::fprintf(stderr, "a frame went by\n");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "request kept\n$");
}

TEST_F(ScreensDeathTest, ClosingDuringAWaveEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            BeginGame();
            NextWave();
            BeginWavePlay();
            for (int frame = 1; frame <= 5; ++frame) WaveFrame(0.02 * frame);
            std::fprintf(stderr, "playing\n");
            PushQuit();
            WaveFrame(0.12);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "playing\n$");
}

TEST_F(ScreensDeathTest, ClosingWhilePausedEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            BeginGame();
            NextWave();
            BeginWavePlay();
            // Paused directly: the window's own focus news may come too.
            gamePaused = true;
            WaveFrame(0.02);
            WaveFrame(0.04);
            if (gamePaused) std::fprintf(stderr, "paused\n");
            PushQuit();
            WaveFrame(0.06);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "paused\n$");
}

// A mode change restarts SDL's video, and with it its queue and the window
// that saw the keys go down. What was queued behind the mode key is still
// handled, in order; a key the keyboard does not really hold afterwards
// (these were only pushed) is let go; a close request still ends the game.
class ModeChangeTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        BeginGame();
        NextWave();
        BeginWavePlay();
        gamePaused = false;
    }
    void TearDown() override {
        gamePaused = false;
        EndWave();
        ScreensTest::TearDown();
    }
};

TEST_F(ModeChangeTest, EventsQueuedBehindTheModeKeyAreHandledAndHeldKeysSetRight) {
    const int mode = screen->FullScreenVideoMode();
    const bool full = screen->InFullScreen();
    const Quaternion facing = gThePlayer->dir;
    PushKey(SDLK_TAB, true);
    PushKey(SDLK_F12, true);
    PushMotion(40, 0);
    PushKey(SDLK_SPACE, true);
    PushKey(SDLK_a, true);  // air brakes, a toggle (focus news cannot touch it)
    const bool brakes = gThePlayer->airBrakes;
    HandleInput();
    EXPECT_EQ(screen->InFullScreen() ? screen->FullScreenVideoMode() : screen->WindowedVideoMode(),
              mode + 1);
    EXPECT_NE(gThePlayer->dir.y, facing.y) << "the motion after the change turned the ship";
    EXPECT_NE(gThePlayer->airBrakes, brakes) << "the key after the change was handled";
    EXPECT_FALSE(gThePlayer->shooting) << "Tab is not held on the real keyboard";
    EXPECT_FALSE(gThePlayer->shielding) << "nor is Space";
    Tap(SDLK_F11);
    EXPECT_EQ(screen->InFullScreen(), full);
}

// In a window: full screen keeps SDL's grab flag set (SDL itself lets the
// pointer go while the window lacks the focus).
TEST_F(ModeChangeTest, FocusLostPausesAndLetsTheMouseGo) {
    if (screen->InFullScreen()) Tap(SDLK_RETURN, KMOD_LALT);
    ASSERT_FALSE(screen->InFullScreen());
    // The window's own focus news from the mode change goes first.
    SDL_Delay(200);
    HandleInput();
    gamePaused = false;
    SDL_Event focus{};
    focus.type = SDL_ACTIVEEVENT;
    focus.active.state = SDL_APPINPUTFOCUS;
    focus.active.gain = 0;
    ASSERT_EQ(SDL_PushEvent(&focus), 0);
    HandleInput();
    EXPECT_TRUE(gamePaused);
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_OFF);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), 1);
    focus.active.gain = 1;
    ASSERT_EQ(SDL_PushEvent(&focus), 0);
    HandleInput();
    EXPECT_TRUE(gamePaused) << "paused until the player presses Escape";
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_ON);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), 0);
    Tap(SDLK_RETURN, KMOD_LALT);
}

using ModeChangeDeathTest = ModeChangeTest;

TEST_F(ModeChangeDeathTest, ACloseRequestQueuedBehindTheModeKeyEndsTheGame) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child's new window waits seconds for a grab this process holds
    // (full screen holds it whatever it is asked).
    if (screen->InFullScreen()) Tap(SDLK_RETURN, KMOD_LALT);
    Screen::GetInstance()->ReleaseInput();
    EXPECT_EXIT(
        {
            PushKey(SDLK_F11, true);
            PushQuit();
            HandleInput();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
    Screen::GetInstance()->TakeInput();
    Tap(SDLK_RETURN, KMOD_LALT);
}

TEST_F(ScreensTest, ScreenKeysChangeTheMode) {
    ASSERT_TRUE(screen->InFullScreen());
    int mode = screen->FullScreenVideoMode();
    Tap(SDLK_F12);
    EXPECT_EQ(screen->FullScreenVideoMode(), mode + 1);
    Tap(SDLK_F11);
    EXPECT_EQ(screen->FullScreenVideoMode(), mode);
    Tap(SDLK_RETURN);
    EXPECT_TRUE(screen->InFullScreen()) << "Return alone does nothing";
    Tap(SDLK_RETURN, KMOD_LALT);
    EXPECT_FALSE(screen->InFullScreen());
    Tap(SDLK_RETURN, KMOD_RALT);
    EXPECT_TRUE(screen->InFullScreen());
    // The frame still draws after the changes.
    DrawScreen(0.0);
    DrawPauseScreen();
    EXPECT_GT(Brightness(288, 88, 1024, 1024), 5.0) << "the pause picture";
    SDL_GL_SwapBuffers();
}

// The options over the paused wave: the mouse in them turns nothing, a
// change takes effect at once and is saved, a key another action held is
// swapped, and what follows their Escape is the game's again.
using OptionsScreenTest = ModeChangeTest;
TEST_F(OptionsScreenTest, ChangesTakeEffectAndWhatFollowsTheirEscapeIsTheGames) {
    gamePaused = true;
    const Settings was = CaptureSettings();
    const Quaternion dir = gThePlayer->dir;
    for (SDLKey key : {SDLK_o, SDLK_RIGHT, SDLK_DOWN, SDLK_RIGHT, SDLK_ESCAPE}) PushKey(key, true);
    for (SDLKey key : {SDLK_o, SDLK_RIGHT, SDLK_RIGHT, SDLK_DOWN, SDLK_RETURN, SDLK_x}) PushKey(key, true);
    PushMotion(300, 200);  // inside: no ship turns
    for (SDLKey key : {SDLK_ESCAPE, SDLK_ESCAPE}) PushKey(key, true);
    std::string said = Capture(stderr, [] { WaveFrame(0.02); });
    EXPECT_FALSE(gamePaused) << "the second Escape, after the options, resumes";
    EXPECT_EQ(gThePlayer->dir.w, dir.w);
    EXPECT_EQ(gThePlayer->dir.x, dir.x);
    EXPECT_EQ(gThePlayer->dir.y, dir.y);
    const Settings now = CaptureSettings();
    EXPECT_EQ(now.effectsVolume, was.effectsVolume + 16) << said;
    EXPECT_EQ(now.bindings.input[int(Action::FIRE)][KEY_1], "x");
    EXPECT_EQ(now.bindings.input[int(Action::ROLL_RIGHT)][KEY_2], "tab") << "swapped";
    EXPECT_TRUE(LoadSettings() == now) << "saved as the screen closed";
    Settings back = now;
    back.effectsVolume = was.effectsVolume;
    back.bindings = was.bindings;
    ApplySettings(back);
}

}  // namespace
