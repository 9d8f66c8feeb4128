// SPDX-License-Identifier: MIT
// Finding the game's data folder: each place in turn, and what is said when
// a named place or every place fails.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "sys/DataFolder.h"

#include <gtest/gtest.h>

namespace {

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
