// SPDX-License-Identifier: MIT
// Every key, mouse and gamepad binding, driven by real events through SDL's
// queue; the pad also through SDL 2's virtual joystick and its mapping.
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "AudioTestFiles.h"
#include "ShellTestSupport.h"
#include "shell/Controls.h"
#include "sys/VirtualPad.h"

namespace {

// The music keys need a play list; the tests run in a folder of their own
// that has one (its songs do not exist, so nothing plays).
class PlayListFolder : public ::testing::Environment {
public:
    void SetUp() override {
        folder = MakeTempFolder("korvalend_input");
        ASSERT_FALSE(folder.empty());
        ASSERT_EQ(chdir(folder.c_str()), 0);
        ASSERT_EQ(mkdir("Music", 0755), 0);
        std::ofstream list("Music/list.txt");
        for (const char* name : {"one.wav", "two.wav", "three.wav"}) {
            list << name << "\n";
            // Two seconds of silence.
            ASSERT_TRUE(audiotest::WriteSound(std::string("Music/") + name, audiotest::Constant(0, 2 * 22050), 1, 22050));
        }
    }

    void TearDown() override {
        RemoveTree(folder);
    }

private:
    std::string folder;
};
const bool kPlayListFolder =
    (::testing::AddGlobalTestEnvironment(new PlayListFolder), true);

class InputTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        gObjects.AddObject(gThePlayer);
        invertControls = true;
        gCheater = false;
        gWave = 1;
        screen = Screen::GetInstance();
    }
    void TearDown() override {
        ClearWorld();
        DrainEvents();
    }
};

using Flag = bool Player::*;

struct Held {
    SDLKey key;
    Flag flag;
    const char* name;
};

const Flag kAllFlags[] = {&Player::turningLeft, &Player::turningRight, &Player::nosingUp,
                          &Player::nosingDown,  &Player::rollingLeft,  &Player::rollingRight,
                          &Player::thrusting,   &Player::shooting,     &Player::shielding};

int FlagsSet() {
    int n = 0;
    for (Flag f : kAllFlags) n += gThePlayer->*f;
    return n;
}

TEST_F(InputTest, HeldKeysSetTheirFlagFromPressToRelease) {
    const Held held[] = {{SDLK_TAB, &Player::shooting, "Tab"},
                         {SDLK_SPACE, &Player::shielding, "Space"},
                         {SDLK_KP0, &Player::thrusting, "KP0"},
                         {SDLK_KP4, &Player::turningLeft, "KP4"},
                         {SDLK_KP6, &Player::turningRight, "KP6"},
                         {SDLK_KP7, &Player::rollingLeft, "KP7"},
                         {SDLK_KP9, &Player::rollingRight, "KP9"},
                         {SDLK_KP8, &Player::nosingDown, "KP8"},
                         {SDLK_KP5, &Player::nosingUp, "KP5"}};
    for (const Held& h : held) {
        SCOPED_TRACE(h.name);
        PushKey(h.key, true);
        HandleInput();
        EXPECT_TRUE(gThePlayer->*h.flag);
        EXPECT_EQ(FlagsSet(), 1);
        PushKey(h.key, false);
        HandleInput();
        EXPECT_FALSE(gThePlayer->*h.flag);
        EXPECT_EQ(FlagsSet(), 0);
    }
    EXPECT_FALSE(gCheater);
}

TEST_F(InputTest, SeveralKeysHeldTogether) {
    PushKey(SDLK_KP4, true);
    PushKey(SDLK_KP0, true);
    PushKey(SDLK_TAB, true);
    HandleInput();
    EXPECT_TRUE(gThePlayer->turningLeft);
    EXPECT_TRUE(gThePlayer->thrusting);
    EXPECT_TRUE(gThePlayer->shooting);
    PushKey(SDLK_KP0, false);
    HandleInput();
    EXPECT_TRUE(gThePlayer->turningLeft);
    EXPECT_FALSE(gThePlayer->thrusting);
    EXPECT_TRUE(gThePlayer->shooting);
}

// The options screen names nose_up's row by what its keys do: keypad 8 dips
// the nose while the inversion is on, as it is by default.
TEST_F(InputTest, F10SwapsTheNoseKeysAndTheirNames) {
    ASSERT_EQ(DefaultBindings().input[int(Action::NOSE_UP)][KEY_1], SDL_GetKeyName(SDLK_KP8));
    EXPECT_STREQ(ActionLabel(Action::NOSE_UP, invertControls), "Nose down");
    EXPECT_STREQ(ActionLabel(Action::NOSE_DOWN, invertControls), "Nose up");
    Tap(SDLK_F10);
    EXPECT_FALSE(invertControls);
    EXPECT_STREQ(ActionLabel(Action::NOSE_UP, invertControls), "Nose up");
    EXPECT_STREQ(ActionLabel(Action::ROLL_LEFT, true), "Roll left");
    PushKey(SDLK_KP8, true);
    HandleInput();
    EXPECT_TRUE(gThePlayer->nosingUp);
    EXPECT_FALSE(gThePlayer->nosingDown);
    PushKey(SDLK_KP8, false);
    PushKey(SDLK_KP5, true);
    HandleInput();
    EXPECT_FALSE(gThePlayer->nosingUp);
    EXPECT_TRUE(gThePlayer->nosingDown);
    PushKey(SDLK_KP5, false);
    HandleInput();
    EXPECT_EQ(FlagsSet(), 0);
    Tap(SDLK_F10);
    EXPECT_TRUE(invertControls);
    EXPECT_FALSE(gCheater);
}

TEST_F(InputTest, ANoseKeyReleasedAfterF10LeavesItsFlagStanding) {
    PushKey(SDLK_KP8, true);
    HandleInput();
    ASSERT_TRUE(gThePlayer->nosingDown);
    Tap(SDLK_F10);
    PushKey(SDLK_KP8, false);
    HandleInput();
    // The release now means nose up, which was never set.
    EXPECT_TRUE(gThePlayer->nosingDown);
    EXPECT_FALSE(gThePlayer->nosingUp);
    // Pressing and releasing KP8 again works on nose up only.
    Tap(SDLK_KP8);
    EXPECT_TRUE(gThePlayer->nosingDown);
    EXPECT_FALSE(gThePlayer->nosingUp);
    // KP5, now nose down, clears it.
    Tap(SDLK_KP5);
    EXPECT_FALSE(gThePlayer->nosingDown);
}

TEST_F(InputTest, MouseButtonsHoldShootShieldThrust) {
    const std::pair<int, Flag> buttons[] = {
        {1, &Player::shooting}, {2, &Player::shielding}, {3, &Player::thrusting}};
    for (const auto& [button, flag] : buttons) {
        PushButton(button, true);
        HandleInput();
        EXPECT_TRUE(gThePlayer->*flag) << "button " << button;
        EXPECT_EQ(FlagsSet(), 1);
        PushButton(button, false);
        HandleInput();
        EXPECT_EQ(FlagsSet(), 0);
    }
    // The wheel (4, 5) and other buttons do nothing.
    for (int button : {4, 5, 6}) {
        PushButton(button, true);
        HandleInput();
        EXPECT_EQ(FlagsSet(), 0);
    }
}

void ExpectSameQuaternion(const Quaternion& a, const Quaternion& b) {
    EXPECT_NEAR(a.w, b.w, 1e-12);
    EXPECT_NEAR(a.x, b.x, 1e-12);
    EXPECT_NEAR(a.y, b.y, 1e-12);
    EXPECT_NEAR(a.z, b.z, 1e-12);
}

TEST_F(InputTest, MouseMotionTurnsTheShipAtOnce) {
    gThePlayer->dir = Quaternion();
    PushMotion(10, -20);
    HandleInput();
    // Forward (negative y) gives a positive pitch by default, right a
    // negative yaw; 0.15 degrees per pixel.
    ExpectSameQuaternion(gThePlayer->dir, Quaternion() * Quaternion(Vector3(3.0, -1.5, 0.0)));
    Vector3 nose = gThePlayer->dir.RotateVector(Vector3(0, 0, 1));
    EXPECT_LT(nose.x, 0.0) << "moving right yaws to the ship's right (-x)";

    Quaternion before = gThePlayer->dir;
    invertControls = false;
    PushMotion(0, -20);
    HandleInput();
    ExpectSameQuaternion(gThePlayer->dir, before * Quaternion(Vector3(-3.0, 0.0, 0.0)));

    // Even while paused.
    gamePaused = true;
    before = gThePlayer->dir;
    PushMotion(4, 0);
    HandleInput();
    ExpectSameQuaternion(gThePlayer->dir, before * Quaternion(Vector3(0.0, -0.6, 0.0)));
    gamePaused = false;
}

TEST_F(InputTest, EscapeTogglesPauseAndQAloneDoesNothing) {
    Tap(SDLK_ESCAPE);
    EXPECT_TRUE(gamePaused);
    Tap(SDLK_ESCAPE);
    EXPECT_FALSE(gamePaused);
    Tap(SDLK_q);  // not paused: the game goes on
    EXPECT_FALSE(gamePaused);
    EXPECT_FALSE(gCheater);
}

using InputDeathTest = InputTest;

TEST_F(InputDeathTest, EscapeThenQQuits) {
    EXPECT_EXIT(
        {
            PushKey(SDLK_ESCAPE, true);
            PushKey(SDLK_q, true);
            HandleInput();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(InputDeathTest, WindowCloseQuits) {
    EXPECT_EXIT(
        {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            HandleInput();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(InputTest, CameraKeysReplaceTheCamera) {
    gCurrentCamera = new FirstPersonCamera(gThePlayer);
    Tap(SDLK_F2);
    ASSERT_NE(gCurrentCamera, nullptr);
    EXPECT_EQ(gCurrentCamera->type, THIRD_PERSON);
    Tap(SDLK_F3);
    ASSERT_EQ(gCurrentCamera->type, STATIC);
    EXPECT_EQ(gCurrentCamera->eye.z, -30.0);
    EXPECT_EQ(gCurrentCamera->eye.x, 0.0);
    EXPECT_EQ(gCurrentCamera->center.z, 0.0);
    EXPECT_EQ(gCurrentCamera->up.y, 1.0);
    EXPECT_EQ(gCurrentCamera->up.x, 0.0);
    Tap(SDLK_F1);
    EXPECT_EQ(gCurrentCamera->type, FIRST_PERSON);
    // The replaced cameras were deleted (the sanitizer build finds leaks).
    delete gCurrentCamera;
    gCurrentCamera = nullptr;
    // From no camera at all, too.
    Tap(SDLK_F2);
    ASSERT_NE(gCurrentCamera, nullptr);
    delete gCurrentCamera;
    gCurrentCamera = nullptr;
    EXPECT_FALSE(gCheater);
}

TEST_F(InputTest, F9TogglesParticles) {
    bool was = ParticleEngine::particleEffectsOn;
    Tap(SDLK_F9);
    EXPECT_EQ(ParticleEngine::particleEffectsOn, !was);
    Tap(SDLK_F9);
    EXPECT_EQ(ParticleEngine::particleEffectsOn, was);
}

// The down key lowers what volume reads, the up key raises it.
void ExpectVolumeKeys(const std::function<int()>& volume, SDLKey down, SDLKey up) {
    int v = volume();
    Tap(down);
    EXPECT_LT(volume(), v);
    v = volume();
    Tap(up);
    EXPECT_GT(volume(), v);
}

TEST_F(InputTest, VolumeAndMusicKeys) {
    ExpectVolumeKeys([] { return Sound::GetInstance()->GetVolume(); }, SDLK_COMMA, SDLK_PERIOD);
    Music* music = Music::GetInstance();
    ExpectVolumeKeys([music] { return music->GetVolume(); }, SDLK_LEFTBRACKET, SDLK_RIGHTBRACKET);

    ASSERT_EQ(music->NumMusicFiles(), 3) << "the test's play list";
    int mode = music->GetMode();
    Tap(SDLK_BACKSLASH);
    EXPECT_EQ(music->GetMode(), (mode + 1) % NUM_MUSIC_MODES);
    while (music->GetMode() != MUSIC_FILE_MODE) Tap(SDLK_BACKSLASH);
    int song = music->CurrentMusicFile();
    Tap(SDLK_QUOTE);
    EXPECT_EQ(music->CurrentMusicFile(), (song + 1) % 3);
    while (music->GetMode() != MUSIC_ARCADE_MODE) Tap(SDLK_BACKSLASH);
    EXPECT_FALSE(gCheater);
}

// Without a window the screen refuses every mode; its report lines show
// which change each key asked for.
TEST_F(InputTest, ScreenKeys) {
    ASSERT_FALSE(screen->InFullScreen());
    std::string f12 = Capture(stderr, [] { Tap(SDLK_F12); });
    EXPECT_NE(f12.find("windowed mode at a resolution of 1024x768"), std::string::npos) << f12;
    std::string f11 = Capture(stderr, [] { Tap(SDLK_F11); });
    EXPECT_NE(f11.find("windowed mode at a resolution of 640x480"), std::string::npos) << f11;
    std::string alt = Capture(stderr, [] { Tap(SDLK_RETURN, KMOD_LALT); });
    EXPECT_NE(alt.find("fullscreen mode at a resolution of 800x600"), std::string::npos) << alt;
    std::string ralt = Capture(stderr, [] { Tap(SDLK_RETURN, KMOD_RALT); });
    EXPECT_NE(ralt.find("fullscreen mode"), std::string::npos) << ralt;
    // Return alone, or with another modifier, asks for nothing.
    EXPECT_EQ(Capture(stderr, [] { Tap(SDLK_RETURN); }), "");
    EXPECT_EQ(Capture(stderr, [] { Tap(SDLK_RETURN, KMOD_LCTRL | KMOD_LSHIFT); }), "");
    EXPECT_FALSE(gCheater);
}

TEST_F(InputTest, DigitCheatsSpawnEvenWhilePaused) {
    gamePaused = true;
    struct Spawn {
        SDLKey key;
        std::vector<ObjectType> kinds;
    };
    const Spawn spawns[] = {{SDLK_0, {NOVA}},          {SDLK_1, {MULTIPLIER}},
                            {SDLK_2, {PRIZE}},         {SDLK_3, {BONUS}},
                            {SDLK_4, {DAMAGED_SHIP}},  {SDLK_5, {BIG_ASTEROID}},
                            {SDLK_6, {STEEL_ROID}},    {SDLK_7, {GRAVITY}},
                            {SDLK_8, {BIG_SHINOBI, SMALL_SHINOBI}}, {SDLK_9, {HOMING}}};
    for (const Spawn& s : spawns) {
        SCOPED_TRACE(SDL_GetKeyName(s.key));
        gCheater = false;
        int before = 0;
        for (ObjectType k : s.kinds) before += gObjects.Count(k);
        int all = gObjects.NumObjects();
        Tap(s.key);
        int after = 0;
        for (ObjectType k : s.kinds) after += gObjects.Count(k);
        EXPECT_GE(after, before + 1);
        EXPECT_EQ(gObjects.NumObjects() - all, after - before) << "nothing else is made";
        EXPECT_TRUE(gCheater);
    }
    gamePaused = false;
}

TEST_F(InputTest, PowerCheatsToggleAndTheMarkStays) {
    const std::pair<SDLKey, Flag> powers[] = {
        {SDLK_BACKQUOTE, &Player::invincible}, {SDLK_a, &Player::airBrakes},
        {SDLK_i, &Player::luckyIrish},         {SDLK_l, &Player::longRange},
        {SDLK_m, &Player::machineGuns},        {SDLK_t, &Player::tripleFire}};
    for (const auto& [key, flag] : powers) {
        SCOPED_TRACE(SDL_GetKeyName(key));
        gCheater = false;
        bool was = gThePlayer->*flag;
        Tap(key);
        EXPECT_EQ(gThePlayer->*flag, !was);
        EXPECT_TRUE(gCheater);
        Tap(key);
        EXPECT_EQ(gThePlayer->*flag, was);
        EXPECT_TRUE(gCheater) << "the mark outlasts the power";
    }
    EXPECT_EQ(FlagsSet(), 0);
}

TEST_F(InputTest, FreezeKeyFreezesThenThaws) {
    gFreezeTime = 0.0;
    Tap(SDLK_f);
    EXPECT_EQ(gFreezeTime, 20.0);
    EXPECT_TRUE(gCheater);
    Tap(SDLK_f);
    EXPECT_EQ(gFreezeTime, 0.0);
    // Any freeze left, however small, is ended rather than renewed.
    gFreezeTime = 0.001;
    Tap(SDLK_f);
    EXPECT_EQ(gFreezeTime, 0.0);
}

TEST_F(InputTest, ShieldCheatAddsADrawnAmount) {
    gThePlayer->shieldLevel = 1.0;
    srand(99);
    double amount = RandomDouble(0.0, 4.0) + 1.6;
    srand(99);
    Tap(SDLK_s);
    EXPECT_DOUBLE_EQ(gThePlayer->shieldLevel, 1.0 + amount);
    EXPECT_TRUE(gCheater);
    for (int i = 0; i < 5; ++i) Tap(SDLK_s);
    EXPECT_EQ(gThePlayer->shieldLevel, 8.0);
}

TEST_F(InputTest, NovaCheatBlastsTheArena) {
    gThePlayer->invincible = true;
    auto* small = new SmallAsteroid(Vector3(20, -20, 20), Vector3());
    auto* steel = new SteelRoid(Vector3(-20, 20, -20), Vector3());
    gObjects.AddObject(small);
    gObjects.AddObject(steel);
    Tap(SDLK_n);
    EXPECT_TRUE(gCheater);
    EXPECT_FALSE(small->alive);
    EXPECT_EQ(steel->hitPoints, 9);
    EXPECT_TRUE(gThePlayer->alive);
    gThePlayer->invincible = false;
}

TEST_F(InputTest, KillCheatNeverTakesTheReserveBelowEmpty) {
    gThePlayer->lives = 2;
    Tap(SDLK_k);
    EXPECT_FALSE(gThePlayer->alive);
    EXPECT_EQ(gThePlayer->lives, 2) << "a live ship costs nothing extra";
    EXPECT_TRUE(gCheater);
    Tap(SDLK_k);
    EXPECT_EQ(gThePlayer->lives, 1);
    Tap(SDLK_k);
    EXPECT_EQ(gThePlayer->lives, 0);
    Tap(SDLK_k);
    EXPECT_EQ(gThePlayer->lives, 0);
    EXPECT_FALSE(gThePlayer->alive);
    // The world step then ends the game, five seconds on.
    UpdateWorld(0.1);
    for (int i = 0; i < 5; ++i) UpdateWorld(1.0);
    EXPECT_TRUE(gameOver);
}

TEST_F(InputTest, UnboundKeysAndReleasesDoNothing) {
    bool machineGuns = gThePlayer->machineGuns;
    for (SDLKey key : {SDLK_b, SDLK_z, SDLK_F4, SDLK_UP, SDLK_LEFT, SDLK_INSERT, SDLK_HOME,
                       SDLK_KP_PLUS, SDLK_BACKSPACE}) {
        Tap(key);
    }
    // Releases of cheat and command keys do nothing either.
    for (SDLKey key : {SDLK_ESCAPE, SDLK_5, SDLK_f, SDLK_F10, SDLK_m}) PushKey(key, false);
    HandleInput();
    EXPECT_FALSE(gamePaused);
    EXPECT_TRUE(invertControls);
    EXPECT_EQ(gFreezeTime, 0.0);
    EXPECT_FALSE(gCheater);
    EXPECT_EQ(FlagsSet(), 0);
    EXPECT_EQ(gThePlayer->machineGuns, machineGuns);
    EXPECT_EQ(gObjects.NumObjects(), 1);
}

// The pad's controls, as the ship acts on them.
bool PadHoldsAnything() {
    const Player* p = gThePlayer;
    return p->padPitch != 0.0 || p->padYaw != 0.0 || p->padRoll != 0.0 ||
           (p->padShooting | p->padThrusting | p->padShielding | p->padRollingLeft |
            p->padRollingRight) != 0;
}

// Two updates: the first takes the controls into rot, the second turns.
Quaternion TurnFor(double dt) {
    gThePlayer->dir = Quaternion();
    gThePlayer->TimeUpdate(dt);
    gThePlayer->dir = Quaternion();
    gThePlayer->TimeUpdate(dt);
    return gThePlayer->dir;
}

TEST_F(InputTest, PadSticksTurnInProportionNeverFasterThanTheKeys) {
    PushPadAxis(PAD_LEFT_X, PAD_AXIS_MAX / 2);
    HandleInput();
    TurnFor(0.1);
    // Half right: half the keys' rate, to the ship's right as KP6.
    EXPECT_NEAR(gThePlayer->rot.y, -45.0, 0.01);
    EXPECT_EQ(gThePlayer->rot.x, 0.0);
    EXPECT_LT(gThePlayer->dir.RotateVector(Vector3(0, 0, 1)).x, 0.0);

    // Forward, inverted as at start, noses down as KP8 does; F10 swaps it.
    PushPadAxis(PAD_LEFT_X, 0);
    PushPadAxis(PAD_LEFT_Y, -PAD_AXIS_MAX);
    HandleInput();
    TurnFor(0.1);
    EXPECT_NEAR(gThePlayer->rot.x, 90.0, 1e-9);
    Tap(SDLK_F10);
    PushPadAxis(PAD_LEFT_Y, -PAD_AXIS_MAX);
    HandleInput();
    TurnFor(0.1);
    EXPECT_NEAR(gThePlayer->rot.x, -90.0, 1e-9);

    // Right stick rolls; stick and keys together stay at the keys' rate.
    PushPadAxis(PAD_RIGHT_X, PAD_AXIS_MAX);
    PushKey(SDLK_KP4, true);
    HandleInput();
    TurnFor(0.1);
    EXPECT_GT(gThePlayer->rot.z, 0.0);
    EXPECT_GT(gThePlayer->rot.y, 0.0);
    EXPECT_NEAR(gThePlayer->rot.Length(), 90.0, 1e-9);
    EXPECT_EQ(FlagsSet(), 1) << "the pad sets none of the keys' flags";
}

TEST_F(InputTest, PadAndKeysHoldFireWithoutReleasingEachOther) {
    PushPadButton(PAD_A, true);
    HandleInput();
    gThePlayer->TimeUpdate(0.2);
    EXPECT_EQ(gThePlayer->numShots, 1);
    // Tab pressed and let go while A holds: still held, so no new press.
    Tap(SDLK_TAB);
    EXPECT_TRUE(gThePlayer->Shooting());
    gThePlayer->TimeUpdate(0.2);
    EXPECT_EQ(gThePlayer->numShots, 1);
    // The trigger takes over from A, then lets go.
    PushPadAxis(PAD_RIGHT_TRIGGER, PAD_AXIS_MAX);
    PushPadButton(PAD_A, false);
    HandleInput();
    EXPECT_TRUE(gThePlayer->Shooting());
    PushPadAxis(PAD_RIGHT_TRIGGER, 0);
    HandleInput();
    EXPECT_FALSE(gThePlayer->Shooting());
    // And the pad's release leaves the key's hold standing.
    PushKey(SDLK_TAB, true);
    PushPadButton(PAD_A, true);
    PushPadButton(PAD_A, false);
    HandleInput();
    EXPECT_TRUE(gThePlayer->Shooting());
    PushKey(SDLK_TAB, false);
    HandleInput();

    // Left trigger thrusts, B shields, the shoulders roll.
    gThePlayer->autoShield = 0.0;
    PushPadAxis(PAD_LEFT_TRIGGER, 100);
    PushPadButton(PAD_B, true);
    PushPadButton(PAD_LEFT_SHOULDER, true);
    HandleInput();
    double shield = gThePlayer->shieldLevel;
    gThePlayer->TimeUpdate(0.5);
    EXPECT_GT(gThePlayer->vel.Length(), 0.0);
    EXPECT_TRUE(gThePlayer->ShieldOn());
    EXPECT_NEAR(gThePlayer->shieldLevel, shield - 0.5, 1e-12);
    EXPECT_NEAR(gThePlayer->rot.z, -90.0, 1e-9);
    EXPECT_EQ(FlagsSet(), 0);
}

TEST_F(InputTest, PadStartPausesBackCyclesTheCameras) {
    PushPadButton(PAD_START, true);
    PushPadButton(PAD_START, false);
    HandleInput();
    EXPECT_TRUE(gamePaused);
    PushPadButton(PAD_START, true);
    HandleInput();
    EXPECT_FALSE(gamePaused);

    gCurrentCamera = new FirstPersonCamera(gThePlayer);
    for (CameraType next : {THIRD_PERSON, STATIC, FIRST_PERSON}) {
        PushPadButton(PAD_BACK, true);
        PushPadButton(PAD_BACK, false);
        HandleInput();
        ASSERT_NE(gCurrentCamera, nullptr);
        EXPECT_EQ(gCurrentCamera->type, next);
    }
    delete gCurrentCamera;
    gCurrentCamera = nullptr;
    EXPECT_FALSE(gCheater);
}

TEST_F(InputTest, ANewWaveClearsWhatThePadHolds) {
    PushPadAxis(PAD_LEFT_X, PAD_AXIS_MAX);
    PushPadAxis(PAD_LEFT_TRIGGER, PAD_AXIS_MAX);
    PushPadButton(PAD_B, true);
    PushPadButton(PAD_RIGHT_SHOULDER, true);
    HandleInput();
    ASSERT_TRUE(PadHoldsAnything());
    gThePlayer->NewWave();
    EXPECT_FALSE(PadHoldsAnything());
    // The releases that follow leave it clear.
    PushPadButton(PAD_B, false);
    PushPadAxis(PAD_LEFT_TRIGGER, 0);
    HandleInput();
    EXPECT_FALSE(PadHoldsAnything());
}

// SDL 2's virtual pad, mapped by SDL like any pad and read by Gamepad_Pump.
TEST_F(InputTest, VirtualPadThroughTheMappingAndThePump) {
    ASSERT_TRUE(VirtualPad_Attach()) << "SDL 2 with virtual joysticks is what this game runs on";
    std::string found = Capture(stderr, [] { HandleInput(); });
    EXPECT_EQ(found, "Gamepad: Virtual Controller connected\n");

    // Inside the dead zone nothing moves; past it, the distance past it.
    VirtualPad_SetAxis(PAD_LEFT_X, PAD_DEAD_ZONE);
    HandleInput();
    EXPECT_FALSE(PadHoldsAnything());
    VirtualPad_SetAxis(PAD_LEFT_X, -(PAD_DEAD_ZONE + PAD_AXIS_MAX) / 2);
    HandleInput();
    EXPECT_NEAR(gThePlayer->padYaw, 0.5, 1e-3);
    TurnFor(0.1);
    EXPECT_GT(gThePlayer->dir.RotateVector(Vector3(0, 0, 1)).x, 0.0) << "left turns left";

    // Only changes become events.
    Gamepad_Pump();
    SDL_Event event;
    EXPECT_EQ(SDL_PollEvent(&event), 0);

    VirtualPad_SetButton(PAD_A, true);
    VirtualPad_SetAxis(PAD_LEFT_TRIGGER, PAD_AXIS_MAX);
    HandleInput();
    EXPECT_TRUE(gThePlayer->Shooting());
    EXPECT_TRUE(gThePlayer->Thrusting());

    // Pulled out while held: every control it held is released.
    VirtualPad_Detach();
    std::string lost = Capture(stderr, [] { HandleInput(); });
    EXPECT_EQ(lost, "Gamepad: Virtual Controller disconnected\n");
    EXPECT_FALSE(PadHoldsAnything());

    // Plugged in again while the game runs: used again, quietly otherwise.
    ASSERT_TRUE(VirtualPad_Attach());
    VirtualPad_SetButton(PAD_START, true);
    EXPECT_EQ(Capture(stderr, [] { HandleInput(); }), "Gamepad: Virtual Controller connected\n");
    EXPECT_TRUE(gamePaused);
    gamePaused = false;
    VirtualPad_Detach();
    Capture(stderr, [] { HandleInput(); });
}

// The player's own controls, turned into the game's keys as they are read.
class ControlsTest : public InputTest {
protected:
    void TearDown() override {
        InputTest::TearDown();
        TranslateControls(true);
        UseControls(Settings());
        FeedTranslate(nullptr);
    }
    void Use(void (*change)(Bindings&), double sensitivity = 1.0) {
        Settings s;
        change(s.bindings);
        s.mouseSensitivity = sensitivity;
        UseControls(s);
    }
};

void FireOnE(Bindings& b) {
    Bind(b, Action::FIRE, KEY_1, "e", nullptr);
    Bind(b, Action::FIRE, MOUSE_BUTTON, "Mouse4", nullptr);
    Bind(b, Action::THRUST, PAD_BUTTON, "PadX", nullptr);
}

TEST_F(ControlsTest, ABoundInputActsAsTheGamesOwnAndTheOwnUnboundIsDropped) {
    Use(FireOnE);
    PushKey(SDLK_e, true);
    HandleInput();
    EXPECT_TRUE(gThePlayer->shooting);
    EXPECT_FALSE(gThePlayer->airBrakes) << "the cheat key is fire now";
    PushKey(SDLK_e, false);
    PushKey(SDLK_TAB, true);
    PushButton(1, true);
    HandleInput();
    EXPECT_FALSE(gThePlayer->shooting) << "Tab and the left button are bound to nothing";
    PushButton(4, true);
    PushPadButton(PAD_X, true);
    HandleInput();
    EXPECT_TRUE(gThePlayer->shooting);
    EXPECT_TRUE(gThePlayer->thrusting) << "the pad has no thrust button: thrust's key";
    EXPECT_FALSE(gCheater);

    // The main block's keys, and p and Escape both pause.
    for (SDLKey key : {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_z, SDLK_x, SDLK_LSHIFT}) PushKey(key, true);
    HandleInput();
    EXPECT_EQ(FlagsSet(), 8) << "every held control but the shield";
    Tap(SDLK_p);
    EXPECT_TRUE(gamePaused);
    Tap(SDLK_ESCAPE);
    EXPECT_FALSE(gamePaused);
}

TEST_F(ControlsTest, ASwappedKeyWorksItsNewActionAndAReleaseMatchesItsPress) {
    Use([](Bindings& b) { Bind(b, Action::FIRE, KEY_1, "z", nullptr); });  // roll left gets Tab
    PushKey(SDLK_z, true);
    PushKey(SDLK_TAB, true);
    HandleInput();
    EXPECT_TRUE(gThePlayer->shooting);
    EXPECT_TRUE(gThePlayer->rollingLeft);
    EXPECT_EQ(FlagsSet(), 2);
    // Rebound while held: each release still lets go of what its press held.
    UseControls(Settings());
    PushKey(SDLK_z, false);
    HandleInput();
    EXPECT_FALSE(gThePlayer->shooting);
    EXPECT_TRUE(gThePlayer->rollingLeft);
    PushKey(SDLK_TAB, false);
    HandleInput();
    EXPECT_EQ(FlagsSet(), 0);

    // Off while a screen reads the keys themselves; on again, z held from
    // then lets go of itself.
    TranslateControls(false);
    PushKey(SDLK_z, true);
    PushKey(SDLK_UP, true);
    SDL_Event e;
    ASSERT_TRUE(FeedPollEvent(&e));
    EXPECT_EQ(InputNameOf(e), "z");
    ASSERT_TRUE(FeedPollEvent(&e));
    EXPECT_EQ(e.key.keysym.sym, SDLK_UP);
    TranslateControls(true);
    PushKey(SDLK_z, false);
    ASSERT_TRUE(FeedPollEvent(&e));
    EXPECT_EQ(e.key.keysym.sym, SDLK_z);
    PushKey(SDLK_UP, false);
    HandleInput();
    EXPECT_EQ(FlagsSet(), 0);
}

// Every pixel counts: a small scale's fractions add up, none lost.
TEST_F(ControlsTest, MouseSensitivityCarriesTheFraction) {
    for (double sensitivity : {0.3, 2.0}) {
        SCOPED_TRACE(sensitivity);
        Use([](Bindings&) {}, sensitivity);
        for (int i = 0; i < 20; ++i) PushMotion(1, -3);
        int x = 0, y = 0;
        SDL_Event e;
        while (FeedPollEvent(&e)) {
            ASSERT_EQ(e.type, SDL_MOUSEMOTION);
            x += e.motion.xrel;
            y += e.motion.yrel;
        }
        EXPECT_EQ(x, int(std::lround(20 * sensitivity)));
        EXPECT_EQ(y, int(std::lround(-60 * sensitivity)));
    }
}

TEST_F(ControlsTest, NamesOfWhatWasPressedAndTheDeadZone) {
    SDL_Event e = EventOf(SDL_KEYDOWN);
    e.key.keysym.sym = SDLK_LSHIFT;
    EXPECT_EQ(InputNameOf(e), "left shift");
    e.type = SDL_KEYUP;
    EXPECT_EQ(InputNameOf(e), "");
    e = EventOf(SDL_MOUSEBUTTONDOWN);
    e.button.button = 5;
    EXPECT_EQ(InputNameOf(e), "Mouse5");
    e = EventOf(SDL_JOYBUTTONDOWN);
    e.jbutton.button = PAD_LEFT_SHOULDER;
    EXPECT_EQ(InputNameOf(e), "PadLeftShoulder");

    Settings s;
    s.padDeadZone = 0;
    UseControls(s);
    EXPECT_EQ(PadAxisAfterDeadZone(-100), -100);
    s.padDeadZone = 16000;
    UseControls(s);
    EXPECT_EQ(PadAxisAfterDeadZone(16000), 0);
    EXPECT_EQ(PadAxisAfterDeadZone(PAD_AXIS_MAX), PAD_AXIS_MAX);
    UseControls(Settings());
    EXPECT_EQ(PadAxisAfterDeadZone(PAD_DEAD_ZONE), 0);
    EXPECT_GT(PadAxisAfterDeadZone(PAD_DEAD_ZONE + 100), 0);
}

}  // namespace
