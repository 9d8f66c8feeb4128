// SPDX-License-Identifier: MIT
// Recordings: their file read back and refused when damaged, the kept
// replays still read, a game's recording saved at each wave's end by adding
// to what was saved, paused frames that cost next to nothing, and each score
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
#include "shell/GameOverScores.h"
#include "profile/HighScores.h"
#include "profile/Replay.h"
#include "shell/Recording.h"
#include "sys/UserFiles.h"

namespace {

std::vector<TapeRecord> ReadRecords(const std::vector<uint8_t>& body, Uint32 firstTicks) {
    std::vector<TapeRecord> records;
    TapeReader reader(&body, firstTicks);
    for (;;) {
        TapeRecord r = reader.Next();
        if (r.kind == TapeRecord::END || r.kind == TapeRecord::BAD) {
            if (r.kind == TapeRecord::BAD) records.push_back(r);
            return records;
        }
        records.push_back(r);
    }
}

TEST(ReplayFile, ACameraByteOutOfRangeIsRefused) {
    TempDir dir("korvalend_replay");
    ReplayHeader header;
    header.gameVersion = "1.0.0";
    const std::vector<uint8_t> body = {TapeWriter::TAG_END};
    std::string why;
    ReplayHeader back;
    std::vector<uint8_t> backBody;
    for (uint8_t camera : {uint8_t(0), uint8_t(2)}) {
        header.camera = camera;
        ASSERT_TRUE(WriteReplayFile(dir.File("good.kvr"), header, body, why)) << why;
        EXPECT_TRUE(ReadReplayFile(dir.File("good.kvr"), back, backBody, why)) << why;
        EXPECT_EQ(back.camera, camera);
    }
    for (uint8_t camera : {uint8_t(3), uint8_t(255)}) {
        header.camera = camera;
        ASSERT_TRUE(WriteReplayFile(dir.File("bad.kvr"), header, body, why)) << why;
        why.clear();
        EXPECT_FALSE(ReadReplayFile(dir.File("bad.kvr"), back, backBody, why)) << int(camera);
        EXPECT_NE(why, "");
    }
}

TEST(ReplayFile, TheKeptReplaysStillReadToTheirEnd) {
    for (const char* name : {"quiet", "busy", "game"}) {
        ReplayHeader header;
        std::vector<uint8_t> body;
        std::string why;
        ASSERT_TRUE(ReadReplayFile(std::string(KORVALEND_SOURCE_DIR) + "/tests/replays/" + name + ".kvr", header,
                                   body, why))
            << name << ": " << why;
        std::vector<TapeRecord> records = ReadRecords(body, header.firstTicks);
        ASSERT_FALSE(records.empty());
        EXPECT_NE(records.back().kind, TapeRecord::BAD) << name;
        EXPECT_GT(records.size(), 1000u) << name;
    }
}

// Any run of records comes back as it went in, in chunks taken at any
// point: frames with and without events, idle frames again and again with
// steps short and long, checksums.
TEST(ReplayTape, RecordsReadBackInOrderWhereverTheyAreCut) {
    std::srand(7);
    TapeWriter writer(1000);
    std::vector<uint8_t> body;
    std::vector<TapeRecord> written;
    Uint32 ticks = 1000;
    for (int i = 0; i < 200000; ++i) {
        const int what = std::rand() % 100;
        TapeRecord r;
        if (what < 70) {
            // Runs of one step, then another, now and then a long one.
            static const Uint32 steps[] = {0, 1, 16, 31, 32, 95, 96, 127, 128, 5000};
            ticks += steps[(i / 50 + (what < 2 ? what + 3 : 0)) % 10];
            writer.Clock(ticks);
            r.kind = TapeRecord::CLOCK;
            r.ticks = ticks;
        } else if (what < 92) {
            writer.NoEvent();
            r.kind = TapeRecord::NO_EVENT;
        } else if (what < 98) {
            r.kind = TapeRecord::EVENT;
            r.event.type = SDL_KEYDOWN;
            r.event.key.keysym.sym = static_cast<SDLKey>(SDLK_a + what % 26);
            writer.Event(r.event);
        } else {
            r.kind = TapeRecord::CHECKSUM;
            r.checksum = 0x0123456789abcdefULL * uint64_t(i);
            writer.Checksum(r.checksum);
        }
        written.push_back(r);
        if (std::rand() % 5000 == 0) {
            std::vector<uint8_t> piece = writer.Take();
            body.insert(body.end(), piece.begin(), piece.end());
        }
    }
    writer.End();
    std::vector<uint8_t> piece = writer.Take();
    body.insert(body.end(), piece.begin(), piece.end());

    std::vector<TapeRecord> read = ReadRecords(body, 1000);
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        ASSERT_EQ(read[i].kind, written[i].kind) << "record " << i;
        EXPECT_EQ(read[i].ticks, written[i].ticks) << "record " << i;
        EXPECT_EQ(read[i].checksum, written[i].checksum) << "record " << i;
        if (read[i].kind == TapeRecord::EVENT) {
            EXPECT_EQ(read[i].event.key.keysym.sym, written[i].event.key.keysym.sym);
        }
    }
    // Ten thousand frames of one step and no event: the frame and a count.
    TapeWriter idle(0);
    for (Uint32 t = 16; t <= 160000; t += 16) {
        idle.Clock(t);
        idle.NoEvent();
    }
    EXPECT_EQ(idle.Take().size(), 4u);
    // A repeat with no idle frame before it is no record of ours.
    const std::vector<uint8_t> stray = {TapeWriter::TAG_NO_EVENT, TapeWriter::TAG_REPEAT, 3};
    EXPECT_EQ(ReadRecords(stray, 0).back().kind, TapeRecord::BAD);
}

// At its limit a recording stops, says so once, and what it holds is still
// a whole file that reads to its last record; the game goes on.
TEST(ReplayTape, ARecordingAtItsLimitStopsSaysSoOnceAndKeepsWhatItHas) {
    ReplayRecorder recorder(3000);
    ReplayHeader header;
    header.firstTicks = 50;
    recorder.Begin(header);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    std::string said = Capture(stderr, [&] {
        for (int i = 0; i < 2000; ++i) {
            recorder.Clock(Uint32(50 + 40 * (i + 1)));
            key.key.keysym.sym = static_cast<SDLKey>(SDLK_a + i % 26);
            recorder.Event(key);
            recorder.NoEvent();
        }
        recorder.Finish();
    });
    EXPECT_TRUE(recorder.Full());
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("limit"), std::string::npos) << said;
    const std::string file = recorder.File();
    ReplayHeader back;
    std::vector<uint8_t> body;
    std::string why;
    ASSERT_TRUE(ReadReplayBytes(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, body, why)) << why;
    EXPECT_LE(body.size(), 3000u);
    EXPECT_GT(body.size(), 2900u);
    std::vector<TapeRecord> records = ReadRecords(body, back.firstTicks);
    ASSERT_GT(records.size(), 300u);
    EXPECT_NE(records.back().kind, TapeRecord::BAD);
    EXPECT_EQ(records[0].ticks, 90u);
    // Earlier saves are what the later ones begin with, at the limit too.
    recorder.Clock(99999);
    EXPECT_EQ(recorder.File(), file);
}

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
