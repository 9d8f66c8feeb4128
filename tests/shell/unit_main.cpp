// SPDX-License-Identifier: MIT
// The real executable's first steps: the command line and the remembered
// settings given to the game; without video, a clear message and exit code
// 1.
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "PlayerFolders.h"
#include "ShellTestSupport.h"
#include "shell/Options.h"
#include "shell/GameSettings.h"
#include "sys/UserFiles.h"

namespace {

class Main : public PlayerFolders {
protected:
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
};

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

TEST_F(SettingsFile, TheGameStartsWithTheDefaultsAndWhatIsAppliedIsCaptured) {
    Settings defaults;
    // The servers as the game makes them (no sounds here).
    Capture(stderr, [] { Sound::GetInstance(); Music::GetInstance(); });
    ApplyStartMode(defaults);
    EXPECT_TRUE(CaptureSettings() == defaults) << FormatSettings(CaptureSettings());

    const Settings s = AllChangedSettings();
    ApplyStartMode(s);
    ApplySettings(s);
    EXPECT_TRUE(CaptureSettings() == s) << FormatSettings(CaptureSettings());
    Camera* camera = StartCamera(nullptr);
    EXPECT_EQ(camera->type, STATIC);
    delete camera;
}

}  // namespace
