// SPDX-License-Identifier: MIT
// The replay file and its tape, as plain data: every record kind read back
// as written, at the edges of its numbers; a body cut anywhere read to
// where it breaks off and never past; the file refused when damaged; the
// kept replays still read; a recording at its limit.
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TapeSupport.h"
#include "TestSupport.h"
#include "profile/Replay.h"

namespace {

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

SDL_Event Event(Uint8 type) {
    SDL_Event e{};
    e.type = type;
    return e;
}

// One of every record the game writes, each event kind with values at the
// ends of its range, clock steps on every side of a varint's byte lengths,
// checksums at both ends, and the end mark: all read back as written, and
// every shorter body breaks off cleanly.
TEST(ReplayTape, EveryRecordKindAndEdgeReadsBackAndACutBodyNeverReadsPast) {
    std::vector<SDL_Event> events;
    SDL_Event e = Event(SDL_ACTIVEEVENT);
    e.active.gain = 1;
    e.active.state = SDL_APPINPUTFOCUS | SDL_APPACTIVE;
    events.push_back(e);
    for (Uint8 type : {Uint8(SDL_KEYDOWN), Uint8(SDL_KEYUP)}) {
        e = Event(type);
        e.key.keysym.sym = static_cast<SDLKey>(SDLK_LAST - 1);
        e.key.keysym.mod = static_cast<SDLMod>(0xffff);
        events.push_back(e);
    }
    for (Sint16 v : {Sint16(-32768), Sint16(32767), Sint16(0), Sint16(-1), Sint16(64), Sint16(-65)}) {
        e = Event(SDL_MOUSEMOTION);
        e.motion.xrel = v;
        e.motion.yrel = Sint16(-v - 1);
        events.push_back(e);
        e = Event(SDL_JOYAXISMOTION);
        e.jaxis.which = 255;
        e.jaxis.axis = 5;
        e.jaxis.value = v;
        events.push_back(e);
    }
    for (Uint8 type : {Uint8(SDL_MOUSEBUTTONDOWN), Uint8(SDL_MOUSEBUTTONUP)}) {
        e = Event(type);
        e.button.button = 5;
        events.push_back(e);
    }
    for (Uint8 type : {Uint8(SDL_JOYBUTTONDOWN), Uint8(SDL_JOYBUTTONUP)}) {
        e = Event(type);
        e.jbutton.which = 1;
        e.jbutton.button = 255;
        events.push_back(e);
    }
    events.push_back(Event(SDL_QUIT));

    const Uint32 first = 0xfffffff0u;  // the clock wraps on the way
    TapeWriter writer(first);
    Uint32 ticks = first;
    for (Uint32 step : {0u, 1u, 0x1fu, 0x20u, 0x5fu, 0x7fu, 0x80u, 0x3fffu, 0x4000u, 0x1fffffu, 0x200000u,
                        0xffffffffu}) {
        ticks += step;
        writer.Clock(ticks);
    }
    for (const SDL_Event& event : events) writer.Event(event);
    writer.NoEvent();
    for (uint64_t sum : {uint64_t(0), std::numeric_limits<uint64_t>::max()}) writer.Checksum(sum);
    writer.End();
    const std::vector<uint8_t> body = writer.Take();

    std::vector<TapeRecord> read = ReadRecords(body, first);
    ASSERT_EQ(read.size(), 12u + events.size() + 1u + 2u);
    ticks = first;
    size_t i = 0;
    for (Uint32 step : {0u, 1u, 0x1fu, 0x20u, 0x5fu, 0x7fu, 0x80u, 0x3fffu, 0x4000u, 0x1fffffu, 0x200000u,
                        0xffffffffu}) {
        ticks += step;
        ASSERT_EQ(read[i].kind, TapeRecord::CLOCK) << i;
        EXPECT_EQ(read[i++].ticks, ticks) << "a step of " << step;
    }
    for (const SDL_Event& event : events) {
        const TapeRecord& r = read[i++];
        ASSERT_EQ(r.kind, TapeRecord::EVENT) << int(event.type);
        ASSERT_EQ(r.event.type, event.type);
        switch (event.type) {
        case SDL_ACTIVEEVENT:
            EXPECT_EQ(r.event.active.gain, event.active.gain);
            EXPECT_EQ(r.event.active.state, event.active.state);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            EXPECT_EQ(r.event.key.keysym.sym, event.key.keysym.sym);
            EXPECT_EQ(r.event.key.keysym.mod, event.key.keysym.mod);
            break;
        case SDL_MOUSEMOTION:
            EXPECT_EQ(r.event.motion.xrel, event.motion.xrel);
            EXPECT_EQ(r.event.motion.yrel, event.motion.yrel);
            break;
        case SDL_JOYAXISMOTION:
            EXPECT_EQ(r.event.jaxis.which, event.jaxis.which);
            EXPECT_EQ(r.event.jaxis.axis, event.jaxis.axis);
            EXPECT_EQ(r.event.jaxis.value, event.jaxis.value);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: EXPECT_EQ(r.event.button.button, event.button.button); break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            EXPECT_EQ(r.event.jbutton.which, event.jbutton.which);
            EXPECT_EQ(r.event.jbutton.button, event.jbutton.button);
            break;
        default: break;
        }
    }
    EXPECT_EQ(read[i++].kind, TapeRecord::NO_EVENT);
    EXPECT_EQ(read[i++].checksum, 0u);
    EXPECT_EQ(read[i++].checksum, std::numeric_limits<uint64_t>::max());
    {
        TapeReader reader(&body, first);
        while (!reader.AtEnd() && reader.Peek().kind != TapeRecord::END) reader.Next();
        ASSERT_FALSE(reader.AtEnd());
        EXPECT_EQ(reader.Next().kind, TapeRecord::END);
        EXPECT_TRUE(reader.AtEnd()) << "nothing after the end mark";
    }

    // Cut anywhere: the records before the cut as written, then at most one
    // BAD, and the reader never beyond the bytes it was given (ASan sees a
    // read past the copy's end).
    for (size_t cut = 0; cut < body.size(); ++cut) {
        const std::vector<uint8_t> part(body.begin(), body.begin() + cut);
        TapeReader reader(&part, first);
        size_t n = 0;
        for (; !reader.AtEnd() && n <= read.size(); ++n) {
            const TapeRecord r = reader.Next();
            if (r.kind == TapeRecord::BAD) break;
            ASSERT_LT(n, read.size());
            EXPECT_EQ(r.kind, read[n].kind) << "cut at " << cut << ", record " << n;
        }
        EXPECT_LE(reader.Offset(), part.size()) << "cut at " << cut;
        EXPECT_LT(n, read.size() + 1) << "cut at " << cut;
    }
}

}  // namespace
