// The real executable's first step: no video, a clear message, exit code 1.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "ShellTestSupport.h"

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

}  // namespace
