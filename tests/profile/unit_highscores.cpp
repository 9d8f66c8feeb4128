// SPDX-License-Identifier: MIT
// The high-score table on disk: ranking and ties, a full table, cheated
// games, damaged files, two games writing at once, folders that cannot be
// written, and the replays the entries keep.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "profile/HighScores.h"
#include "sys/UserFiles.h"

namespace {

HighScore Game(int score, const char* name = "ada", int wave = 3) {
    HighScore game;
    game.score = score;
    game.wave = wave;
    game.date = "2026-12-09";
    game.name = name;
    return game;
}

class HighScoresTest : public ::testing::Test {
protected:
    // Not made yet: entering the first game makes it.
    std::string Folder() const { return root.File("data/korvalend3d"); }
    std::string Table() const { return Folder() + "/scores"; }

    // What one game over shows; *said gets its messages.
    ScoreBoard Record(const HighScore& game, bool cheated = false, const std::string& recording = "",
                      std::string* said = nullptr) {
        ScoreBoard board;
        std::string text = Capture(stderr, [&] { board = RecordHighScore(Folder(), game, cheated, recording); });
        if (said != nullptr) *said = text;
        else EXPECT_EQ(text, "");
        return board;
    }

    std::string Scores() const {
        std::string text, scores;
        std::vector<HighScore> table;
        std::string reason;
        if (!ReadFileBytes(Table(), &text) || !ParseHighScores(text, &table, &reason)) return "unreadable";
        for (const HighScore& entry : table) scores += std::to_string(entry.score) + entry.name + " ";
        return scores;
    }

    TempDir root{"korvalend_scores"};
};

TEST_F(HighScoresTest, RanksBestFirstOlderTiesAboveAndAFullTableTakesOnlyBetterScores) {
    EXPECT_EQ(Record(Game(500)).newPlace, 0);
    EXPECT_EQ(Record(Game(300)).newPlace, 1);
    EXPECT_EQ(Record(Game(400)).newPlace, 1);
    ScoreBoard tie = Record(Game(400, "bob"));
    EXPECT_EQ(tie.newPlace, 2) << "the older 400 stays above";
    EXPECT_EQ(Scores(), "500ada 400ada 400bob 300ada ");
    ASSERT_EQ(tie.table.size(), 4u);
    EXPECT_EQ(tie.table[2].name, "bob");

    for (int score : {90, 80, 70, 60, 50, 40}) Record(Game(score));
    EXPECT_EQ(Record(Game(40, "cy")).newPlace, -1) << "equal to the tenth: the older stays, the table is full";
    EXPECT_EQ(Record(Game(10, "cy")).newPlace, -1);
    EXPECT_EQ(Scores(), "500ada 400ada 400bob 300ada 90ada 80ada 70ada 60ada 50ada 40ada ");
    ScoreBoard late = Record(Game(45, "cy"));
    EXPECT_EQ(late.newPlace, 9);
    EXPECT_EQ(late.table.size(), 10u);
    EXPECT_EQ(Scores(), "500ada 400ada 400bob 300ada 90ada 80ada 70ada 60ada 50ada 45cy ");
}

TEST_F(HighScoresTest, CheatedGameIsShownApartAndNeverWritten) {
    ScoreBoard first = Record(Game(99999), true);
    EXPECT_TRUE(first.cheated);
    EXPECT_EQ(first.newPlace, -1);
    EXPECT_TRUE(first.table.empty());
    struct stat info;
    EXPECT_NE(stat(Table().c_str(), &info), 0) << "a cheated game writes no table";

    Record(Game(200));
    ScoreBoard board = Record(Game(99999, "cheat"), true);
    EXPECT_EQ(board.game.score, 99999);
    ASSERT_EQ(board.table.size(), 1u);
    EXPECT_EQ(Scores(), "200ada ");
}

TEST_F(HighScoresTest, FileReadsBackAndEveryDamageIsRefused) {
    std::vector<HighScore> table = {Game(900, "ada", 12), ThisGame(800, 9)};
    table[0].replay = "game-Ab12x9.kvr";
    std::vector<HighScore> back;
    std::string why;
    ASSERT_TRUE(ParseHighScores(FormatHighScores(table), &back, &why)) << why;
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].replay, "game-Ab12x9.kvr");
    EXPECT_EQ(back[1].replay, "") << "none is kept as none";
    EXPECT_EQ(FormatHighScores(back), FormatHighScores(table)) << "this user's name and today's date as well";

    const std::string head = "korvalend3d scores 1\n";
    std::string eleven = head;
    for (int i = 0; i < 11; ++i) eleven += "100 1 2026-12-09 ada -\n";
    for (const std::string& damaged :
         {std::string(""), std::string("korvalend3d scores 2\n"), head + "100 1 2026-12-09 ada\n",
          head + "100 1 2026-13-09 ada -\n", head + "1x0 1 2026-12-09 ada -\n",
          head + "100 1 2026-12-09 ada ../../etc/passwd\n", head + "100 1 2026-12-09 ada - more\n",
          head + "100 1 2026-12-09 ada -\n200 1 2026-12-09 ada -\n", head + "99999999999 1 2026-12-09 ada -\n",
          eleven})
        EXPECT_FALSE(ParseHighScores(damaged, &back, &why)) << damaged;
}

TEST_F(HighScoresTest, DamagedFileIsSaidOnceAndKeptAsideAndAFreshTableStarts) {
    ASSERT_TRUE(MakeFolders(Folder()));
    ASSERT_TRUE(WriteBytes(Table(), {'x', '\0', 'y'}));
    std::string said;
    ScoreBoard board = Record(Game(70), false, "", &said);
    EXPECT_NE(said.find("damaged"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one message: " << said;
    EXPECT_EQ(ReadBytes(Table() + ".bad"), (std::vector<uint8_t>{'x', '\0', 'y'}));
    EXPECT_EQ(board.newPlace, 0);
    EXPECT_EQ(Scores(), "70ada ");

    // Each damaged table is kept, the earlier ones too.
    for (uint8_t damage : {'2', '3'}) {
        ASSERT_TRUE(WriteBytes(Table(), {'x', damage}));
        const std::string aside = Table() + ".bad." + std::to_string(damage - '1');
        Record(Game(60), false, "", &said);
        EXPECT_NE(said.find(aside), std::string::npos) << said;
        EXPECT_EQ(ReadBytes(aside), (std::vector<uint8_t>{'x', damage}));
    }
    EXPECT_EQ(ReadBytes(Table() + ".bad"), (std::vector<uint8_t>{'x', '\0', 'y'})) << "the first is still kept";
}

TEST_F(HighScoresTest, ScoresBeyondTheTablesRangeAreEnteredAtItsEndsAndTheTableReadsBack) {
    EXPECT_EQ(Record(Game(1000000000)).table[0].score, 999999999);
    EXPECT_EQ(Record(Game(-40)).table[1].score, 0);
    // Each Record says nothing: the table is never taken for damaged.
    EXPECT_EQ(Record(Game(7)).newPlace, 1);
    EXPECT_EQ(Scores(), "999999999ada 7ada 0ada ");
}

TEST_F(HighScoresTest, TwoGamesEnteringAtOnceLoseNoScore) {
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    char start;
    // Both wait for the same moment, then enter a score each in turn.
    if (child == 0) {
        close(go[1]);
        bool ready = read(go[0], &start, 1) == 1;
        for (int score = 1; ready && score <= 40; score += 2) RecordHighScore(Folder(), Game(score), false, "");
        _exit(ready ? 0 : 1);
    }
    close(go[0]);
    ASSERT_EQ(write(go[1], "!", 1), 1);
    close(go[1]);
    for (int score = 2; score <= 40; score += 2) RecordHighScore(Folder(), Game(score), false, "");
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Scores(), "40ada 39ada 38ada 37ada 36ada 35ada 34ada 33ada 32ada 31ada ");
}

// A copy of the game stopped while it held the lock: the next game waits a
// few seconds, then shows the table without keeping its score.
TEST_F(HighScoresTest, ALockNeverLetGoIsWaitedForABoundedTimeThenTheScoreIsNotKept) {
    Record(Game(300));
    int held = open((Folder() + "/scores.lock").c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    int result[2];
    ASSERT_EQ(pipe(result), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20);  // the lock it waits for is never let go
        close(result[0]);
        ScoreBoard shown;
        const auto started = std::chrono::steady_clock::now();
        std::string text = Capture(stderr, [&] { shown = RecordHighScore(Folder(), Game(400), false, ""); });
        char line[256];
        int n = std::snprintf(line, sizeof line, "%d %zu %d %d %.0f", shown.newPlace, shown.table.size(),
                              int(text.find("lock") != std::string::npos), int(text.find('\n') == text.size() - 1),
                              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        _exit(write(result[1], line, size_t(n)) == n ? 0 : 1);
    }
    close(result[1]);
    char reply[256] = "";
    ssize_t got = read(result[0], reply, sizeof reply - 1);
    close(result[0]);
    reply[got > 0 ? got : 0] = '\0';
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    close(held);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << ": it waited for ever";
    int place = -2, seconds = -1, said = 0, once = 0;
    size_t rows = 0;
    ASSERT_EQ(std::sscanf(reply, "%d %zu %d %d %d", &place, &rows, &said, &once, &seconds), 5) << reply;
    EXPECT_EQ(place, 0) << "shown in its place";
    EXPECT_EQ(rows, 2u);
    EXPECT_TRUE(said && once) << "one message about the lock";
    EXPECT_LE(seconds, 10);
    EXPECT_EQ(Scores(), "300ada ") << "not kept";
}

TEST_F(HighScoresTest, FolderThatCannotBeWrittenIsSaidOnceAndTheTableStillShows) {
    // Under a plain file no folder can be made, not even by root.
    ASSERT_TRUE(WriteBytes(root.File("data"), {}));
    std::string said;
    ScoreBoard board = Record(Game(100), false, "", &said);
    EXPECT_NE(said.find("cannot write"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one message: " << said;
    EXPECT_EQ(board.newPlace, 0);
    ASSERT_EQ(board.table.size(), 1u);
    ASSERT_EQ(unlink(root.File("data").c_str()), 0);

    // A read-only folder with a table in it, entered by someone who may not
    // write there (root may write anywhere, so the child becomes nobody).
    Record(Game(300));
    Record(Game(200));
    const std::string before = Scores();
    ASSERT_EQ(chmod(root.path.c_str(), 0755), 0);
    ASSERT_EQ(chmod(root.File("data").c_str(), 0755), 0);
    ASSERT_EQ(chmod(Folder().c_str(), 0555), 0);
    int result[2];
    ASSERT_EQ(pipe(result), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(1);
        ScoreBoard shown;
        std::string text = Capture(stderr, [&] { shown = RecordHighScore(Folder(), Game(250), false, ""); });
        std::string line = std::to_string(shown.newPlace) + " " + std::to_string(shown.table.size()) + " " +
                           std::to_string(text.find("cannot write") != std::string::npos) + " " +
                           std::to_string(text.find('\n') == text.size() - 1);
        _exit(write(result[1], line.data(), line.size()) == ssize_t(line.size()) ? 0 : 1);
    }
    close(result[1]);
    char reply[64] = "";
    ssize_t got = read(result[0], reply, sizeof reply - 1);
    close(result[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(std::string(reply, size_t(got > 0 ? got : 0)), "1 3 1 1") << "place, table, said, once";
    EXPECT_EQ(Scores(), before);
    chmod(Folder().c_str(), 0755);
}

TEST_F(HighScoresTest, EachEntryKeepsACopyOfItsReplayUntilItDropsOff) {
    const std::string recording = "KVR1";
    ScoreBoard top = Record(Game(1000), false, recording);
    ScoreBoard second = Record(Game(900), false, recording);
    const std::string kept = top.table[0].replay, alsoKept = second.table[1].replay;
    ASSERT_NE(kept, "");
    EXPECT_NE(kept, alsoKept) << "each entry its own copy";
    EXPECT_EQ(kept.substr(kept.size() - 4), ".kvr");
    EXPECT_EQ(ReadBytes(Folder() + "/replays/" + kept), (std::vector<uint8_t>{'K', 'V', 'R', '1'}));
    EXPECT_EQ(Record(Game(800), false, "").table[2].replay, "") << "no recording, no copy";

    // Nine better games push the 900 off the full table; the 1000 stays.
    for (int score = 10; score <= 70; score += 10) Record(Game(score));
    for (int score = 901; score <= 908; ++score) Record(Game(score));
    EXPECT_EQ(ReadBytes(Folder() + "/replays/" + alsoKept).size(), 4u) << "tenth: still kept";
    Record(Game(909));
    EXPECT_EQ(ReadBytes(Folder() + "/replays/" + alsoKept).size(), 0u) << "dropped off: its copy goes";
    EXPECT_EQ(ReadBytes(Folder() + "/replays/" + kept).size(), 4u);
}

}  // namespace
