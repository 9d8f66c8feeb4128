// The real executable's first steps: finding the data folder; without video,
// a clear message and exit code 1.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "ShellTestSupport.h"
#include "shell/DataFolder.h"

namespace {

TEST(Main, NoVideoEndsWithTheMessageAndCode1) {
    std::string game = std::string(KORVALEND_BUILD_DIR) + "/korvalend3d";
    struct stat info;
    if (stat(game.c_str(), &info) != 0) GTEST_SKIP() << "korvalend3d is not built in " << KORVALEND_BUILD_DIR;
    std::string command = "cd /tmp && SDL_VIDEODRIVER=no_such_driver ASAN_OPTIONS=detect_leaks=0 '" +
                          game + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(output.rfind("Video initialization failed: ", 0), 0u) << output;
    EXPECT_EQ(output.back(), '\n');
    // Nothing else ran: no screen report, no loading.
    EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
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
