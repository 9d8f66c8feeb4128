// SPDX-License-Identifier: MIT
// Recordings of the running game: saved at each wave's end by adding to
// what was saved, paused frames that cost next to nothing, and each score
// kept with its own game's recording when two copies of the game end games
// at once.
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "TapeSupport.h"
#include "shell/GameOverScores.h"
#include "profile/HighScores.h"
#include "profile/Replay.h"
#include "shell/Recording.h"
#include "sys/UserFiles.h"

namespace {

// A game recorded through the game's own source of time and input, on the
// simulated clock, into a player folder of its own.
class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", home.path.c_str(), 1);
        StartWorldOnce();
        FeedSimulate(16);
        ASSERT_TRUE(MakeFolders(UserDataFolder() + "/replays"));
        FeedRecordTo(Last());
        DrainEvents();
    }
    void TearDown() override {
        FeedRecordTo("");
        FeedLive();
    }
    std::string Last() const { return UserDataFolder() + "/replays/last.kvr"; }
    // Frames with nothing happening, as a pause is: the clock read, no event.
    static void IdleFrames(int frames) {
        static const Uint32 steps[3] = {16, 17, 17};  // 60 frames a second
        SDL_Event event;
        for (int i = 0; i < frames; ++i) {
            FeedDelay(steps[i % 3]);
            FeedTicks();
            FeedPollEvent(&event);
        }
    }
    static void Press(SDLKey key) {
        PushKey(key, true);
        FeedTicks();
        SDL_Event event;
        while (FeedPollEvent(&event)) {
        }
    }
    TempDir home{"korvalend_recording"};
};

TEST_F(RecordingTest, EachSaveAddsToWhatWasSavedAndTheWholeReadsBack) {
    FeedBeginGame();
    FeedCheckpoint(true);  // as a game begins
    Press(SDLK_a);
    IdleFrames(3000);
    FeedSaveRecording();  // a wave's end
    const std::vector<uint8_t> first = ReadBytes(Last());
    Press(SDLK_b);
    IdleFrames(3000);
    FeedSaveRecording();
    const std::vector<uint8_t> second = ReadBytes(Last());
    FeedEndGame();
    const std::vector<uint8_t> whole = ReadBytes(Last());
    ASSERT_FALSE(first.empty());
    ASSERT_GT(second.size(), first.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), second.begin()))
        << "what the first save wrote is not written anew";
    EXPECT_TRUE(std::equal(second.begin(), second.end(), whole.begin()));

    ReplayHeader header;
    std::vector<uint8_t> body;
    std::string why;
    ASSERT_TRUE(ReadReplayFile(Last(), header, body, why)) << why;
    int clocks = 0, none = 0, keys = 0, sums = 0;
    for (const TapeRecord& r : ReadRecords(body, header.firstTicks)) {
        ASSERT_NE(r.kind, TapeRecord::BAD);
        clocks += r.kind == TapeRecord::CLOCK;
        none += r.kind == TapeRecord::NO_EVENT;
        keys += r.kind == TapeRecord::EVENT && r.event.type == SDL_KEYDOWN;
        sums += r.kind == TapeRecord::CHECKSUM;
    }
    EXPECT_EQ(clocks, 6002);
    EXPECT_EQ(none, 6002);
    EXPECT_EQ(keys, 2);
    EXPECT_EQ(sums, 2) << "the first and the last";
}

// Heap bytes in use, mapped blocks too; 0 where the allocator does not say
// (a sanitizer's).
long HeapInUse() {
    struct mallinfo2 info = mallinfo2();
    return long(info.uordblks + info.hblkhd);
}

TEST_F(RecordingTest, PausedFramesCostNextToNothing) {
    {
        std::vector<char> probe(1 << 20, 1);
        if (HeapInUse() < long(probe.size())) GTEST_SKIP() << "this allocator does not say what it holds";
    }
    FeedBeginGame();
    IdleFrames(200000);
    const long before = HeapInUse();
    IdleFrames(200000);  // an hour at 60 frames a second
    const long held = HeapInUse() - before;
    FeedSaveRecording();
    const size_t file = ReadBytes(Last()).size();
    EXPECT_LT(held, 100000) << "bytes more held for 200 000 more paused frames";
    EXPECT_LT(file, 50000u) << "bytes of file for 400 000 paused frames";
    FeedEndGame();
}

// Two copies of the game end a game each at the same moment: each writes the
// last game's file, then each enters its score. Each entry keeps the
// recording of its own game, whatever the last game's file holds by then.
TEST_F(RecordingTest, TwoCopiesEndingGamesAtOnceKeepEachItsOwnRecording) {
    struct Copy {
        pid_t pid;
        int go, done;
    };
    auto start = [&](SDLKey key, int score) {
        int go[2], done[2];
        EXPECT_EQ(pipe(go), 0);
        EXPECT_EQ(pipe(done), 0);
        pid_t pid = fork();
        if (pid == 0) {
            char c;
            bool ok = read(go[0], &c, 1) == 1;
            FeedBeginGame();
            gThePlayer->NewGame();
            gCheater = false;
            Press(key);
            IdleFrames(200);
            gThePlayer->score = score;
            FeedEndGame();
            ok = ok && write(done[1], "e", 1) == 1 && read(go[0], &c, 1) == 1;
            Capture(stderr, RecordGameOverScore);
            ok = ok && write(done[1], "r", 1) == 1;
            _exit(ok ? 0 : 1);
        }
        close(go[0]);
        close(done[1]);
        return Copy{pid, go[1], done[0]};
    };
    auto step = [](const Copy& copy) {
        char c = '!';
        ASSERT_EQ(write(copy.go, &c, 1), 1);
        ASSERT_EQ(read(copy.done, &c, 1), 1);
    };
    Copy a = start(SDLK_a, 100), b = start(SDLK_b, 200);
    ASSERT_GT(a.pid, 0);
    ASSERT_GT(b.pid, 0);
    step(a);  // a's game over writes the last game's file
    step(b);  // and b's writes it again
    step(a);  // then each enters its score
    step(b);
    for (const Copy& copy : {a, b}) {
        int status = 0;
        ASSERT_EQ(waitpid(copy.pid, &status, 0), copy.pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        close(copy.go);
        close(copy.done);
    }

    std::string text, why;
    std::vector<HighScore> table;
    ASSERT_TRUE(ReadFileBytes(UserDataFolder() + "/scores", &text));
    ASSERT_TRUE(ParseHighScores(text, &table, &why)) << why;
    ASSERT_EQ(table.size(), 2u);
    for (const HighScore& entry : table) {
        ASSERT_NE(entry.replay, "") << entry.score;
        ReplayHeader header;
        std::vector<uint8_t> body;
        ASSERT_TRUE(ReadReplayFile(UserDataFolder() + "/replays/" + entry.replay, header, body, why)) << why;
        SDLKey pressed = SDLK_UNKNOWN;
        for (const TapeRecord& r : ReadRecords(body, header.firstTicks))
            if (r.kind == TapeRecord::EVENT && r.event.type == SDL_KEYDOWN) pressed = r.event.key.keysym.sym;
        EXPECT_EQ(pressed, entry.score == 100 ? SDLK_a : SDLK_b) << "the entry of " << entry.score;
    }
}

}  // namespace
