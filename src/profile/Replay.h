// SPDX-License-Identifier: MIT
// A recorded game: what the game was given (every clock reading, every event
// it handled) and, every few seconds, a checksum of the world, so that a
// playback can prove it plays the same game and say where it does not.
#ifndef KORVALEND_REPLAY_H
#define KORVALEND_REPLAY_H

#include <SDL/SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// "KVR" then the format version; a file of another version is refused.
// Version 1 (the body compressed whole) is still read.
const uint32_t REPLAY_FORMAT_VERSION = 2;
// Bytes of the random generator's state kept in a recording.
const size_t REPLAY_RANDOM_STATE_SIZE = 128;
// The most bytes of records a recording holds (a playback holds them all).
// A game with hours of play in it keeps to a few megabytes.
const uint32_t REPLAY_MOST_BODY = 64u << 20;

// The game's cameras are numbered 0 ... this (the shell checks it).
const uint8_t REPLAY_LAST_CAMERA = 2;

// What the game looked like when the recorded game began.
struct ReplayHeader {
    std::string gameVersion;
    uint64_t dataHash = 0;          // a hash of the recording's data (shell: DataHash)
    uint32_t startSeed = 0;         // the start-up seed (the star field)
    uint8_t randomState[REPLAY_RANDOM_STATE_SIZE] = {};
    uint32_t firstTicks = 0;        // the clock before the first reading
    uint8_t camera = 0;             // the camera in use, 0 ... REPLAY_LAST_CAMERA
    bool invertControls = true;
    bool gamePaused = false;
    bool particles = true;
    bool invincible = false;        // the one power that outlives a game
    int32_t bonus = 0, bonusMult = 0;  // the last wave's, until the next
    uint32_t formatVersion = REPLAY_FORMAT_VERSION;  // of the file read
};

// One step of a recording, in the order the game asked for it.
struct TapeRecord {
    enum Kind { CLOCK, EVENT, NO_EVENT, CHECKSUM, END, BAD } kind = BAD;
    Uint32 ticks = 0;       // CLOCK: the reading
    SDL_Event event{};      // EVENT
    uint64_t checksum = 0;  // CHECKSUM
};

// Appends records to a body. Clock readings are kept as steps from the last
// one, so the frame-by-frame readings of a wave take a byte each; a frame
// with no event (a short step, then "no event") takes one byte in all, and
// the same one again and again (a pause, a wait) a count.
class TapeWriter {
public:
    explicit TapeWriter(Uint32 firstTicks = 0) : lastTicks(firstTicks) {}
    void Clock(Uint32 ticks);
    void Event(const SDL_Event& event);
    void NoEvent();
    void Checksum(uint64_t sum);
    void End();
    // The records written since the last Take, and none left behind.
    std::vector<uint8_t> Take();
    // What Take would give, at most.
    size_t Size() const { return body.size() + (runRepeats > 0 ? 11 : 0) + (clockHeld ? 1 : 0); }

    // Tags: below TAG_IDLE a clock step; TAG_IDLE + s (s < IDLE_STEPS) a
    // step of s then no event; TAG_REPEAT n that frame n times more.
    static constexpr uint8_t TAG_IDLE = 0x60, IDLE_STEPS = 0x20;
    static constexpr uint8_t TAG_CLOCK_LONG = 0x80, TAG_EVENT = 0x81, TAG_NO_EVENT = 0x82,
                             TAG_CHECKSUM = 0x83, TAG_END = 0x84, TAG_REPEAT = 0x85;
    static constexpr uint64_t MOST_REPEATS = 0xffffffffu;

private:
    void Flush();
    void Varint(uint64_t value);
    std::vector<uint8_t> body;
    Uint32 lastTicks;
    // A short step not yet written: a "no event" may follow it.
    bool clockHeld = false;
    uint8_t heldStep = 0;
    // The idle frame written last, and how often it came again since.
    uint8_t runByte = 0;
    uint64_t runRepeats = 0;
};

// Reads records back; a body that breaks off or holds what no writer
// writes gives BAD, never a read past its end.
class TapeReader {
public:
    TapeReader(const std::vector<uint8_t>* data, Uint32 firstTicks,
               uint32_t formatVersion = REPLAY_FORMAT_VERSION)
        : body(data), lastTicks(firstTicks), version(formatVersion) {}
    TapeRecord Next();
    TapeRecord Peek();
    size_t Offset() const { return at; }
    // Every record read.
    bool AtEnd() const { return at >= body->size() && !noEventDue && repeatsLeft == 0; }

private:
    bool Varint(uint64_t& value);
    bool Byte(uint8_t& value);
    TapeRecord Step(Uint32 step);
    const std::vector<uint8_t>* body;
    size_t at = 0;
    Uint32 lastTicks;
    uint32_t version;
    bool noEventDue = false;  // the second half of an idle frame
    uint64_t repeatsLeft = 0;
    int idleStep = -1;  // the idle frame just read, that a repeat repeats
};

// The event types a recording keeps: every type the game reacts to.
bool EventIsRecorded(const SDL_Event& event);

// The file: the header, then the body in chunks, each compressed on its own
// with its size and CRC, so that a recording grows by adding chunks and
// never compresses again what it has. Written to a temporary file beside
// path, then renamed over it. False, with why set, on failure.
bool WriteReplayFile(const std::string& path, const ReplayHeader& header,
                     const std::vector<uint8_t>& body, std::string& why);

// A game's recording as it grows: the records since the last chunk, and the
// file so far (header and chunks). A save packs only what is new; a long
// wait packs as it goes, so memory holds compressed bytes. A recording that
// reaches `most` bytes of records stops there, said once; what it holds
// stays a good recording, which a playback plays to where it stops.
class ReplayRecorder {
public:
    explicit ReplayRecorder(size_t mostBytes = REPLAY_MOST_BODY) : most(mostBytes) {}
    void Begin(const ReplayHeader& header);
    void Clock(Uint32 ticks) { if (Room()) writer.Clock(ticks); }
    void Event(const SDL_Event& event) { if (Room()) writer.Event(event); }
    void NoEvent() { if (Room()) writer.NoEvent(); }
    void Checksum(uint64_t sum) { if (Room()) writer.Checksum(sum); }
    // The game is over: the end mark, and nothing after it.
    void Finish();
    // The whole file as it stands, what is new packed first.
    const std::string& File();
    bool Full() const { return full; }

    // Records are packed once this many bytes wait.
    static const size_t CHUNK_BYTES = 64 * 1024;

private:
    bool Room();
    void Pack();
    TapeWriter writer;
    std::string file;
    size_t packed = 0;  // bytes of records in the file's chunks
    size_t most;
    bool full = false, finished = false;
};
// Where the header's first fields stand in a file (for tests that damage
// one on purpose): the game's version text, then the data hash.
struct ReplayLayout {
    size_t versionAt = 0, versionSize = 0, dataHashAt = 0;
};
ReplayLayout HeaderLayout(const ReplayHeader& header);
// A recording described for people and scripts, one "name value" a line:
// the header's fields (with where the version and data hash stand), the
// records counted by kind ("records clock=N event=N key=N button=N none=N
// checksum=N end=N bad=N"), the clock's longest step and its steps back.
std::string DescribeReplay(const ReplayHeader& header, const std::vector<uint8_t>& body);

// False, with why set to one line, for a file that is not a whole recording
// of this format; nothing is trusted before it is checked.
bool ReadReplayBytes(const uint8_t* data, size_t size, ReplayHeader& header,
                     std::vector<uint8_t>& body, std::string& why);
bool ReadReplayFile(const std::string& path, ReplayHeader& header, std::vector<uint8_t>& body,
                    std::string& why);

#endif
