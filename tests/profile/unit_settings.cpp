// SPDX-License-Identifier: MIT
// The settings file: what is saved reads back, a damaged line is said and
// ignored, and without a home folder nothing is read or written.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL/SDL.h>

#include <algorithm>
#include <string>

#include "PlayerFolders.h"
#include "profile/Bindings.h"
#include "profile/HighScores.h"
#include "profile/Settings.h"
#include "sys/UserFiles.h"

namespace {

using SettingsFile = PlayerFolders;

TEST_F(SettingsFile, SavedSettingsReadBackAndNoneGiveTheDefaults) {
    std::string said = Capture(stderr, [] { EXPECT_TRUE(LoadSettings() == Settings()); });
    EXPECT_EQ(said, "") << "no file: silently the defaults";
    const Settings s = AllChangedSettings();
    ASSERT_TRUE(SaveSettings(s));
    said = Capture(stderr, [&] { EXPECT_TRUE(LoadSettings() == s); });
    EXPECT_EQ(said, "");
    std::string text;
    ASSERT_TRUE(ReadFileBytes(SettingsPath(), &text));
    EXPECT_EQ(text[0], '#') << "a comment tells what the file is";
    EXPECT_NE(text.find("camera = fixed\n"), std::string::npos) << text;
}

TEST_F(SettingsFile, UnknownKeysAndBadValuesAreSaidOnceEachAndIgnored) {
    const std::string text =
        "# comment\n\n  camera = chase \nvolume = 3\nmusic = loud\nwindow_mode = 6\nfullscreen_mode=-1\n"
        "just words\neffects_volume = 256\nparticles = no\nmusic_volume = 12";
    Settings s;
    std::string said = Capture(stderr, [&] { s = ParseSettings(text, "the file"); });
    EXPECT_EQ(said,
              "the file:4: unknown key \"volume\"; ignored\n"
              "the file:5: \"loud\" is no value for music (arcade, songs or off); ignored\n"
              "the file:6: \"6\" is no value for window_mode (0 to 5); ignored\n"
              "the file:7: \"-1\" is no value for fullscreen_mode (0 to 5); ignored\n"
              "the file:8: not a \"key = value\" line; ignored\n"
              "the file:9: \"256\" is no value for effects_volume (0 to 255); ignored\n");
    Settings want;
    want.camera = 1;  // chase
    want.particles = false;
    want.musicVolume = 12;
    EXPECT_TRUE(s == want) << FormatSettings(s);
}

// Brightness in whole percent: below the least reads as the least, above
// the most or not a whole number is said and ignored.
TEST(SettingsText, BrightnessIsWholePercentWithinItsRange) {
    Settings s;
    std::string said = Capture(stderr, [&] { s = ParseSettings("brightness = 150\nvertical_sync = no\n", "f"); });
    EXPECT_EQ(said, "");
    EXPECT_DOUBLE_EQ(s.brightness, 1.5);
    EXPECT_FALSE(s.verticalSync);
    EXPECT_NE(FormatSettings(s).find("brightness = 150\n"), std::string::npos);
    said = Capture(stderr, [&] { s = ParseSettings("brightness = 20\n", "f"); });
    EXPECT_EQ(said, "");
    EXPECT_DOUBLE_EQ(s.brightness, 0.5);
    said = Capture(stderr, [&] { s = ParseSettings("brightness = 201\nbrightness = 1.5\nframe_counter = on\n", "f"); });
    EXPECT_EQ(said,
              "f:1: \"201\" is no value for brightness (0 to 200); ignored\n"
              "f:2: \"1.5\" is no value for brightness (0 to 200); ignored\n"
              "f:3: \"on\" is no value for frame_counter (no or yes); ignored\n");
    EXPECT_TRUE(s == Settings());
}

TEST(Bindings, ASecondPlaceForANameSwapsAndEscapeAndTheOptionsKeyAreNeverBound) {
    Bindings b = DefaultBindings();
    Action swapped = Action::FIRE;
    ASSERT_TRUE(Bind(b, Action::FIRE, KEY_1, "z", &swapped));
    EXPECT_EQ(swapped, Action::ROLL_LEFT);
    EXPECT_EQ(b.input[int(Action::FIRE)][KEY_1], "z");
    EXPECT_EQ(b.input[int(Action::ROLL_LEFT)][KEY_2], "tab") << "the other place gets what fire had";
    ASSERT_TRUE(Bind(b, Action::FIRE, KEY_2, "z", &swapped));
    EXPECT_EQ(swapped, Action::FIRE) << "within one action too";
    EXPECT_EQ(b.input[int(Action::FIRE)][KEY_1], "");
    ASSERT_TRUE(Bind(b, Action::THRUST, MOUSE_BUTTON, "Mouse3", &swapped));
    EXPECT_EQ(swapped, Action::COUNT) << "already there";

    const Bindings before = b;
    EXPECT_FALSE(Bind(b, Action::PAUSE, KEY_1, "escape", &swapped));
    EXPECT_FALSE(Bind(b, Action::FIRE, KEY_2, KeyName(OPTIONS_KEY), &swapped)) << "the options could not be opened";
    EXPECT_FALSE(Bind(b, Action::FIRE, KEY_1, "Mouse1", &swapped)) << "a button in a key's place";
    EXPECT_FALSE(Bind(b, Action::FIRE, MOUSE_BUTTON, "Mouse6", &swapped));
    EXPECT_FALSE(Bind(b, Action::FIRE, PAD_BUTTON, "tab", &swapped));
    EXPECT_FALSE(Bind(b, Action::FIRE, KEY_1, "unknown key", &swapped));
    EXPECT_TRUE(b == before);
    EXPECT_EQ(KeyOfName("left shift"), SDLK_LSHIFT);
    EXPECT_EQ(PadButtonOfName(PadButtonName(PAD_RIGHT_SHOULDER)), PAD_RIGHT_SHOULDER);
}

// Each action's line: a bad name is said and leaves its place as it was; a
// name taken from the defaults leaves them quietly, one bound twice in the
// file is said.
TEST(Bindings, ActionLinesKeepTheirGoodNames) {
    const std::string text =
        "bind_fire = f | Mouse1 |  | PadX\n"
        "bind_roll_left = left ctrl | | | PadY\n"
        "bind_roll_right = a | b\n"
        "bind_jump = j | | |\n"
        "bind_pause = escape | | Mouse4 |\n"
        "bind_shield = f | | Mouse2 | PadB\n"
        "mouse_sensitivity = 2x\n"
        "mouse_sensitivity = 0\n"
        "pad_dead_zone = 30001\n";
    Settings s;
    std::string said = Capture(stderr, [&] { s = ParseSettings(text, "f"); });
    EXPECT_EQ(said,
              "f:1: \"Mouse1\" is no key for bind_fire; ignored\n"
              "f:3: \"a | b\" is no value for bind_roll_right (two keys, a mouse button and a pad button "
              "between bars); ignored\n"
              "f:4: unknown key \"bind_jump\"; ignored\n"
              "f:5: \"escape\" is no key for bind_pause; ignored\n"
              "f:6: \"f\" is bound above too (fire); it works shield only\n"
              "f:7: \"2x\" is no value for mouse_sensitivity (0.1 to 5); ignored\n"
              "f:8: \"0\" is no value for mouse_sensitivity (0.1 to 5); ignored\n"
              "f:9: \"30001\" is no value for pad_dead_zone (0 to 30000); ignored\n");
    Bindings want = DefaultBindings();
    want.input[int(Action::FIRE)][KEY_1] = "";  // taken by shield below
    want.input[int(Action::FIRE)][MOUSE_BUTTON] = "";
    want.input[int(Action::FIRE)][PAD_BUTTON] = "PadX";
    want.input[int(Action::ROLL_LEFT)][KEY_1] = "left ctrl";
    want.input[int(Action::ROLL_LEFT)][KEY_2] = "";
    want.input[int(Action::ROLL_LEFT)][PAD_BUTTON] = "PadY";
    want.input[int(Action::PAUSE)][MOUSE_BUTTON] = "Mouse4";
    want.input[int(Action::PAUSE)][PAD_BUTTON] = "";
    want.input[int(Action::SHIELD)][KEY_1] = "f";
    EXPECT_TRUE(s.bindings == want) << FormatSettings(s);
    EXPECT_EQ(s.mouseSensitivity, 1.0);
    EXPECT_EQ(s.padDeadZone, Settings().padDeadZone);
}

// What the game wrote before it had bindings reads as it did: every other
// setting, and today's controls.
TEST(Bindings, AFileWithoutThemReadsAsBefore) {
    const std::string old =
        "# Korvalend 3D remembers these from one run to the next; it writes this\n"
        "screen = window\nfullscreen_mode = 2\nwindow_mode = 0\ncamera = chase\nmusic = off\n"
        "effects_volume = 10\nmusic_volume = 20\ninvert_controls = no\nparticles = yes\n";
    Settings s;
    const std::string said = Capture(stderr, [&] { s = ParseSettings(old, "old"); });
    EXPECT_EQ(said, "");
    Settings want;
    want.fullScreen = false;
    want.fullScreenMode = 2;
    want.windowedMode = 0;
    want.camera = 1;
    want.musicMode = 2;
    want.effectsVolume = 10;
    want.musicVolume = 20;
    want.invertControls = false;
    EXPECT_TRUE(s == want) << FormatSettings(s);
    EXPECT_TRUE(s.bindings == DefaultBindings());
    EXPECT_EQ(s.padDeadZone, PAD_DEAD_ZONE);
}

// No home folder at all (HOME unset, no XDG variables, no entry in the
// password file): nothing is read or written, and that is said once. The
// child runs in a root folder of its own, where a game that took "" for
// its folders would find "/settings" and "/scores".
TEST_F(SettingsFile, WithoutAHomeNothingIsReadOrWrittenAndThatIsSaidOnce) {
    if (geteuid() != 0) GTEST_SKIP() << "a root folder of its own needs root";
    const std::string scores = "korvalend3d scores 1\n777 2 2026-12-09 ada -\n";
    ASSERT_TRUE(WriteFileAtomically(home.File("settings"), "camera = chase\n"));
    ASSERT_TRUE(WriteFileAtomically(home.File("scores"), scores));
    ASSERT_EQ(mkdir(home.File("tmp").c_str(), 01777), 0);  // where Capture keeps what is said
    int result[2];
    ASSERT_EQ(pipe(result), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(result[0]);
        if (chroot(home.path.c_str()) != 0 || chdir("/") != 0) _exit(1);
        for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) unsetenv(variable);
        Settings loaded;
        ScoreBoard board;
        HighScore game;
        game.score = 500;
        game.wave = 2;
        game.date = "2026-12-09";
        game.name = "bob";
        std::string said = Capture(stderr, [&] {
            loaded = LoadSettings();
            SaveSettings(AllChangedSettings());
            board = RecordHighScore(UserDataFolder(), game, false, "");
        });
        std::string line = std::to_string(loaded == Settings()) + " " + std::to_string(board.table.size()) + " " +
                           std::to_string(board.newPlace) + " " +
                           std::to_string(std::count(said.begin(), said.end(), '\n')) + "|" + said;
        _exit(write(result[1], line.data(), line.size()) == ssize_t(line.size()) ? 0 : 1);
    }
    close(result[1]);
    std::string reply;
    char chunk[512];
    for (ssize_t n; (n = read(result[0], chunk, sizeof chunk)) > 0;) reply.append(chunk, size_t(n));
    close(result[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(reply.substr(0, reply.find('|')), "1 1 0 1")
        << "defaults, only this game shown, one message: " << reply;
    std::string text;
    ASSERT_TRUE(ReadFileBytes(home.File("settings"), &text));
    EXPECT_EQ(text, "camera = chase\n") << "not written over";
    ASSERT_TRUE(ReadFileBytes(home.File("scores"), &text));
    EXPECT_EQ(text, scores);
    struct stat info;
    EXPECT_NE(stat(home.File("replays").c_str(), &info), 0);
    EXPECT_NE(stat(home.File("scores.lock").c_str(), &info), 0);
}

}  // namespace
