// SPDX-License-Identifier: MIT
// The real executable's first steps: the command line, the remembered
// settings, finding the data folder; without video, a clear message and
// exit code 1.
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "ShellTestSupport.h"
#include "sys/DataFolder.h"
#include "profile/HighScores.h"
#include "shell/Options.h"
#include "shell/GameSettings.h"
#include "sys/UserFiles.h"

namespace {

// The player's folders, fresh for each test, never the real home's.
class PlayerFolders : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", home.File("config").c_str(), 1);
        setenv("XDG_DATA_HOME", home.File("data").c_str(), 1);
    }
    // The real game run from /tmp with args and no video; its exit status.
    int RunGame(const std::string& args, std::string* out, std::string* err) {
        std::string game = std::string(KORVALEND_BUILD_DIR) + "/korvalend3d";
        struct stat info;
        if (stat(game.c_str(), &info) != 0) return -1;
        std::string command = "cd /tmp && SDL_VIDEODRIVER=no_such_driver ASAN_OPTIONS=detect_leaks=0 '" + game +
                              "' " + args + " >'" + home.File("out") + "' 2>'" + home.File("err") + "'";
        int status = std::system(command.c_str());
        std::vector<uint8_t> outBytes = ReadBytes(home.File("out")), errBytes = ReadBytes(home.File("err"));
        out->assign(outBytes.begin(), outBytes.end());
        err->assign(errBytes.begin(), errBytes.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }
    TempDir home{"korvalend_home"};
};

using Main = PlayerFolders;

#define RUN_GAME(args, out, err)                                                                          \
    int status = RunGame(args, out, err);                                                                 \
    if (status == -1) GTEST_SKIP() << "korvalend3d is not built in " << KORVALEND_BUILD_DIR;

TEST_F(Main, NoVideoEndsWithTheMessageAndCode1) {
    std::string out, output;
    // Remembered settings change nothing of it.
    ASSERT_TRUE(MakeFolders(UserConfigFolder()) && WriteFileAtomically(SettingsPath(), "camera = chase\n"));
    RUN_GAME("", &out, &output);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output.rfind("Video initialization failed: ", 0), 0u) << output;
    EXPECT_EQ(output.back(), '\n');
    // Nothing else ran: no screen report, no loading.
    EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
    EXPECT_EQ(out, "");
}

TEST_F(Main, HelpVersionAndWrongCommandLinesAnswerAndEnd) {
    std::string out, err;
    {
        RUN_GAME("--help", &out, &err);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(out, UsageText());
        EXPECT_EQ(err, "");
    }
    {
        RUN_GAME("--version", &out, &err);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(out, VersionText() + "\n");
        EXPECT_EQ(out, "korvalend3d " KORVALEND_VERSION "\n");
    }
    for (const char* wrong : {"--bogus", "--mode 1024x767", "--data", "--window extra"}) {
        RUN_GAME(wrong, &out, &err);
        EXPECT_EQ(status, 2) << wrong;
        EXPECT_EQ(out, "") << wrong;
        EXPECT_EQ(err.rfind("korvalend3d: ", 0), 0u) << wrong << ": " << err;
        EXPECT_NE(err.find(std::string("\n") + UsageText()), std::string::npos) << wrong;
    }
}

// The command line as the game gets it.
bool Parse(std::vector<const char*> words, Options* options, std::string* complaint) {
    words.insert(words.begin(), "korvalend3d");
    return ParseOptions(int(words.size()), words.data(), options, complaint);
}

TEST(Options, EveryOptionIsTakenAndNoneLeavesEverythingAsItIs) {
    Options o;
    std::string complaint;
    ASSERT_TRUE(Parse({}, &o, &complaint));
    EXPECT_FALSE(o.fullScreen.has_value());
    EXPECT_EQ(o.mode, -1);
    EXPECT_FALSE(o.noSound || o.reset || o.help || o.version);
    EXPECT_EQ(o.dataFolder + o.replayFile + o.timedemoFile, "");
    Settings remembered;
    remembered.fullScreen = false;
    remembered.windowedMode = 4;
    Settings started = remembered;
    OverrideStartMode(o, &started);
    EXPECT_TRUE(started == remembered);

    ASSERT_TRUE(Parse({"--fullscreen", "--window", "--mode", "1024x768", "--nosound", "--data", "/d", "--reset",
                       "--replay", "r.kvr", "--timedemo=t.kvr", "--help", "--version"},
                      &o, &complaint))
        << complaint;
    EXPECT_EQ(o.fullScreen, std::optional<bool>(false)) << "the last of the two counts";
    EXPECT_EQ(o.mode, 2);
    EXPECT_TRUE(o.noSound && o.reset && o.help && o.version);
    EXPECT_EQ(o.dataFolder, "/d");
    EXPECT_EQ(o.replayFile, "r.kvr");
    EXPECT_EQ(o.timedemoFile, "t.kvr");
    // --mode sizes the kind the game starts in.
    started = remembered;
    OverrideStartMode(o, &started);
    EXPECT_FALSE(started.fullScreen);
    EXPECT_EQ(started.windowedMode, 2);
    EXPECT_EQ(started.fullScreenMode, remembered.fullScreenMode);
    ASSERT_TRUE(Parse({"--mode=640x480", "--fullscreen"}, &o, &complaint));
    OverrideStartMode(o, &started);
    EXPECT_TRUE(started.fullScreen);
    EXPECT_EQ(started.fullScreenMode, 0);

    for (std::vector<const char*> wrong :
         {std::vector<const char*>{"-w"}, {"window"}, {"--mode"}, {"--mode", "800X600"}, {"--mode="},
          {"--data"}, {"--nosound=yes"}, {"--fullscreen", "--timedemo"}}) {
        EXPECT_FALSE(Parse(wrong, &o, &complaint)) << wrong[0];
        EXPECT_EQ(complaint.rfind("korvalend3d: ", 0), 0u) << complaint;
    }
    // --replay takes its file when one follows, the last game otherwise.
    ASSERT_TRUE(Parse({"--replay", "--window"}, &o, &complaint));
    EXPECT_TRUE(o.replayLast);
    EXPECT_EQ(o.fullScreen, std::optional<bool>(false));
    ASSERT_TRUE(Parse({"--replay", "game.kvr"}, &o, &complaint));
    EXPECT_FALSE(o.replayLast);
    EXPECT_EQ(o.replayFile, "game.kvr");
}

using SettingsFile = PlayerFolders;

// Every setting away from its default, at the ends of the ranges.
Settings AllChanged() {
    Settings s;
    s.fullScreen = false;
    s.fullScreenMode = 5;
    s.windowedMode = 0;
    s.camera = STATIC;
    s.musicMode = MUSIC_FILE_MODE;
    s.effectsVolume = 0;
    s.musicVolume = 255;
    s.invertControls = false;
    s.particles = false;
    return s;
}

TEST_F(SettingsFile, SavedSettingsReadBackAndNoneGiveTheDefaults) {
    std::string said = Capture(stderr, [] { EXPECT_TRUE(LoadSettings() == Settings()); });
    EXPECT_EQ(said, "") << "no file: silently the defaults";
    const Settings s = AllChanged();
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
    want.camera = THIRD_PERSON;
    want.particles = false;
    want.musicVolume = 12;
    EXPECT_TRUE(s == want) << FormatSettings(s);
}

TEST_F(SettingsFile, TheGameStartsWithTheDefaultsAndWhatIsAppliedIsCaptured) {
    Settings defaults;
    // The servers as the game makes them (no sounds here).
    Capture(stderr, [] { Sound::GetInstance(); Music::GetInstance(); });
    ApplyStartMode(defaults);
    EXPECT_TRUE(CaptureSettings() == defaults) << FormatSettings(CaptureSettings());

    const Settings s = AllChanged();
    ApplyStartMode(s);
    ApplySettings(s);
    EXPECT_TRUE(CaptureSettings() == s) << FormatSettings(CaptureSettings());
    Camera* camera = StartCamera(nullptr);
    EXPECT_EQ(camera->type, STATIC);
    delete camera;
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
            SaveSettings(AllChanged());
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

// Where the game looks for its data, in order, and what it says when a place
// named by the user or every place fails.
class DataFolderSearch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(mkdtemp(root), nullptr);
        ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
        for (const char* sub : {"/work", "/env", "/env/Models", "/bare", "/bin", "/share", "/share/korvalend3d",
                                "/share/korvalend3d/Models", "/compiled", "/compiled/Models"})
            ASSERT_EQ(mkdir((Root() + sub).c_str(), 0755), 0) << sub;
        ASSERT_EQ(chdir((Root() + "/work").c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(saved), 0);
        ASSERT_EQ(std::system(("rm -rf '" + Root() + "'").c_str()), 0);
    }
    std::string Root() const { return root; }
    // The choice for the tree above, with the executable in bin/.
    std::string Choose(const char* env, std::string* said, const std::string& compiled = "") {
        std::string chosen;
        *said = Capture(stderr, [&] {
            chosen = ChooseDataFolder(env, Root() + "/bin", "../share/korvalend3d", compiled);
        });
        return chosen;
    }

private:
    char root[40] = "/tmp/korvalend_datafolder_XXXXXX";
    char saved[4096] = "";
};

TEST_F(DataFolderSearch, EachPlaceInTurn) {
    std::string said;
    std::string installed = Root() + "/bin/../share/korvalend3d";
    // Nothing set: the installed folder beside bin/, quietly.
    EXPECT_EQ(Choose(nullptr, &said), installed);
    EXPECT_EQ(said, "");
    // The variable wins over everything, also over data in the working folder.
    ASSERT_EQ(mkdir("Models", 0755), 0);
    EXPECT_EQ(Choose((Root() + "/env").c_str(), &said), Root() + "/env");
    EXPECT_EQ(said, "");
    EXPECT_EQ(Choose(nullptr, &said), ".");
    EXPECT_EQ(Choose("", &said), ".") << "an empty variable counts as unset";
    EXPECT_EQ(said, "");
    ASSERT_EQ(rmdir("Models"), 0);
    // The executable's own folder comes before the installed one.
    ASSERT_EQ(mkdir((Root() + "/bin/Models").c_str(), 0755), 0);
    EXPECT_EQ(Choose(nullptr, &said), Root() + "/bin");
    ASSERT_EQ(rmdir((Root() + "/bin/Models").c_str()), 0);
    // The compiled-in folder is the last resort.
    ASSERT_EQ(std::system(("rm -rf '" + installed + "'").c_str()), 0);
    EXPECT_EQ(Choose(nullptr, &said, Root() + "/compiled"), Root() + "/compiled");
    EXPECT_EQ(said, "");
}

TEST_F(DataFolderSearch, UnusableVariableIsNamedThenOthersTried) {
    std::string said;
    std::string bare = Root() + "/bare", missing = Root() + "/missing";
    EXPECT_EQ(Choose(bare.c_str(), &said), Root() + "/bin/../share/korvalend3d");
    EXPECT_EQ(said, "KORVALEND3D_DATA=\"" + bare + "\" has no Models folder; looking elsewhere\n");
    EXPECT_EQ(Choose(missing.c_str(), &said), Root() + "/bin/../share/korvalend3d");
    EXPECT_EQ(said, "KORVALEND3D_DATA=\"" + missing + "\" is not a folder; looking elsewhere\n");
}

TEST_F(DataFolderSearch, NoDataAnywhereListsEveryPlaceOnce) {
    ASSERT_EQ(std::system(("rm -rf '" + Root() + "/share'").c_str()), 0);
    std::string said, missing = Root() + "/missing";
    EXPECT_EQ(Choose(missing.c_str(), &said, Root() + "/bare"), "");
    std::string places = "  " + missing + "\n  the working folder, " + Root() + "/work\n  " + Root() + "/bin\n  " +
                         Root() + "/bin/../share/korvalend3d\n  " + Root() + "/bare\n";
    EXPECT_NE(said.find("Looked in:\n" + places + "Set KORVALEND3D_DATA"), std::string::npos) << said;
}

}  // namespace
