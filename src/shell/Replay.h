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
const uint32_t REPLAY_FORMAT_VERSION = 1;
// Bytes of the random generator's state kept in a recording.
const size_t REPLAY_RANDOM_STATE_SIZE = 128;

// What the game looked like when the recorded game began.
struct ReplayHeader {
    std::string gameVersion;
    uint64_t dataHash = 0;          // DataHash() of the recording's data
    uint32_t startSeed = 0;         // the start-up seed (the star field)
    uint8_t randomState[REPLAY_RANDOM_STATE_SIZE] = {};
    uint32_t firstTicks = 0;        // the clock before the first reading
    uint8_t camera = 0;             // CameraKind of the camera in use
    bool invertControls = true;
    bool gamePaused = false;
    bool particles = true;
    bool invincible = false;        // the one power that outlives a game
    int32_t bonus = 0, bonusMult = 0;  // the last wave's, until the next
};

// One step of a recording, in the order the game asked for it.
struct TapeRecord {
    enum Kind { CLOCK, EVENT, NO_EVENT, CHECKSUM, END, BAD } kind = BAD;
    Uint32 ticks = 0;       // CLOCK: the reading
    SDL_Event event{};      // EVENT
    uint64_t checksum = 0;  // CHECKSUM
};

// Appends records to a body. Clock readings are kept as steps from the last
// one, so the frame-by-frame readings of a wave take a byte each.
class TapeWriter {
public:
    explicit TapeWriter(Uint32 firstTicks = 0) : lastTicks(firstTicks) {}
    void Clock(Uint32 ticks);
    void Event(const SDL_Event& event);
    void NoEvent() { body.push_back(TAG_NO_EVENT); }
    void Checksum(uint64_t sum);
    void End() { body.push_back(TAG_END); }
    const std::vector<uint8_t>& Body() const { return body; }

    static constexpr uint8_t TAG_CLOCK_LONG = 0x80, TAG_EVENT = 0x81, TAG_NO_EVENT = 0x82,
                         TAG_CHECKSUM = 0x83, TAG_END = 0x84;

private:
    void Varint(uint64_t value);
    std::vector<uint8_t> body;
    Uint32 lastTicks;
};

// Reads records back; a body that breaks off or holds what no writer
// writes gives BAD, never a read past its end.
class TapeReader {
public:
    TapeReader(const std::vector<uint8_t>* data, Uint32 firstTicks)
        : body(data), lastTicks(firstTicks) {}
    TapeRecord Next();
    TapeRecord Peek();
    size_t Offset() const { return at; }

private:
    bool Varint(uint64_t& value);
    bool Byte(uint8_t& value);
    const std::vector<uint8_t>* body;
    size_t at = 0;
    Uint32 lastTicks;
};

// The event types a recording keeps: every type the game reacts to.
bool EventIsRecorded(const SDL_Event& event);

// The whole file: header, then the body compressed. Written to a temporary
// file beside path, then renamed over it. False, with why set, on failure.
bool WriteReplayFile(const std::string& path, const ReplayHeader& header,
                     const std::vector<uint8_t>& body, std::string& why);
// False, with why set to one line, for a file that is not a whole recording
// of this format; nothing is trusted before it is checked.
bool ReadReplayBytes(const uint8_t* data, size_t size, ReplayHeader& header,
                     std::vector<uint8_t>& body, std::string& why);
bool ReadReplayFile(const std::string& path, ReplayHeader& header, std::vector<uint8_t>& body,
                    std::string& why);

// A checksum of the world: every object's kind, position, orientation and
// velocity, and the ship's score, lives, bonus and the wave.
uint64_t WorldChecksum();
// A hash of what in the data files changes play: the models' sizes.
uint64_t DataHash();

#endif
