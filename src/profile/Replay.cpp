// SPDX-License-Identifier: MIT
#include "profile/Replay.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "shell/MyError.h"
#include "sys/Feed.h"
#include "sys/UserFiles.h"

namespace {
const char MAGIC[4] = {'K', 'V', 'R', 0x1a};
const size_t MAX_VERSION_TEXT = 64;
// Room for the largest record and what a writer holds back before it.
const size_t LARGEST_RECORD = 64;

uint64_t ZigZag(int64_t v) { return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63); }
int64_t UnZigZag(uint64_t v) { return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1); }

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put64(std::vector<uint8_t>& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Reads fixed fields from a buffer without ever going past its end.
struct Cursor {
    const uint8_t* data;
    size_t size, at = 0;
    bool Take(void* out, size_t n) {
        if (size - at < n) return false;
        std::memcpy(out, data + at, n);
        at += n;
        return true;
    }
    bool U32(uint32_t& v) {
        uint8_t b[4];
        if (!Take(b, 4)) return false;
        v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        return true;
    }
    bool U64(uint64_t& v) {
        uint32_t lo, hi;
        if (!U32(lo) || !U32(hi)) return false;
        v = lo | (static_cast<uint64_t>(hi) << 32);
        return true;
    }
};

}  // namespace

bool EventIsRecorded(const SDL_Event& event) { return FeedKeeps(event); }

void TapeWriter::Varint(uint64_t value) {
    while (value >= 0x80) {
        body.push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    body.push_back(static_cast<uint8_t>(value));
}

// What is held back goes out: the repeats of the last idle frame, then a
// step that no "no event" followed.
void TapeWriter::Flush() {
    if (runRepeats > 0) {
        body.push_back(TAG_REPEAT);
        Varint(runRepeats);
        runRepeats = 0;
    }
    runByte = 0;
    if (clockHeld) {
        body.push_back(heldStep);
        clockHeld = false;
    }
}

void TapeWriter::Clock(Uint32 ticks) {
    const Uint32 step = ticks - lastTicks;  // the clock wraps after 49 days
    lastTicks = ticks;
    if (clockHeld) Flush();
    if (step < IDLE_STEPS) {
        clockHeld = true;
        heldStep = static_cast<uint8_t>(step);
        return;
    }
    Flush();
    if (step < TAG_IDLE) {
        body.push_back(static_cast<uint8_t>(step));
    } else {
        body.push_back(TAG_CLOCK_LONG);
        Varint(step);
    }
}

void TapeWriter::NoEvent() {
    if (!clockHeld) {
        Flush();
        body.push_back(TAG_NO_EVENT);
        return;
    }
    clockHeld = false;
    const uint8_t frame = static_cast<uint8_t>(TAG_IDLE + heldStep);
    if (frame == runByte) {
        if (++runRepeats == MOST_REPEATS) {
            body.push_back(TAG_REPEAT);
            Varint(runRepeats);
            runRepeats = 0;
        }
        return;
    }
    Flush();
    body.push_back(frame);
    runByte = frame;
}

void TapeWriter::Checksum(uint64_t sum) {
    Flush();
    body.push_back(TAG_CHECKSUM);
    Put64(body, sum);
}

void TapeWriter::End() {
    Flush();
    body.push_back(TAG_END);
}

std::vector<uint8_t> TapeWriter::Take() {
    Flush();
    std::vector<uint8_t> taken;
    taken.swap(body);
    return taken;
}

void TapeWriter::Event(const SDL_Event& e) {
    Flush();
    body.push_back(TAG_EVENT);
    body.push_back(e.type);
    switch (e.type) {
    case SDL_ACTIVEEVENT: body.push_back(e.active.gain); body.push_back(e.active.state); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: Varint(e.key.keysym.sym); Varint(e.key.keysym.mod); break;
    case SDL_MOUSEMOTION: Varint(ZigZag(e.motion.xrel)); Varint(ZigZag(e.motion.yrel)); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: body.push_back(e.button.button); break;
    case SDL_JOYAXISMOTION:
        body.push_back(e.jaxis.which);
        body.push_back(e.jaxis.axis);
        Varint(ZigZag(e.jaxis.value));
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: body.push_back(e.jbutton.which); body.push_back(e.jbutton.button); break;
    default: break;
    }
}

bool TapeReader::Byte(uint8_t& value) {
    if (at >= body->size()) return false;
    value = (*body)[at++];
    return true;
}

bool TapeReader::Varint(uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        uint8_t b;
        if (!Byte(b)) return false;
        value |= static_cast<uint64_t>(b & 0x7f) << shift;
        if ((b & 0x80) == 0) return true;
    }
    return false;
}

TapeRecord TapeReader::Peek() {
    const TapeReader keep = *this;
    TapeRecord r = Next();
    *this = keep;
    return r;
}

TapeRecord TapeReader::Step(Uint32 step) {
    TapeRecord r;
    lastTicks += step;
    r.kind = TapeRecord::CLOCK;
    r.ticks = lastTicks;
    return r;
}

TapeRecord TapeReader::Next() {
    TapeRecord r;
    if (noEventDue) {
        noEventDue = false;
        r.kind = TapeRecord::NO_EVENT;
        return r;
    }
    if (repeatsLeft > 0) {
        --repeatsLeft;
        noEventDue = true;
        return Step(static_cast<Uint32>(idleStep));
    }
    const int lastIdle = idleStep;
    idleStep = -1;
    uint8_t tag;
    if (!Byte(tag)) {
        r.kind = TapeRecord::END;  // a recording cut short by a quit ends here
        return r;
    }
    uint64_t v = 0, w = 0;
    // Version 1 knew no idle frames: every tag below the long clock's was a step.
    const uint8_t shortSteps = version < 2 ? TapeWriter::TAG_CLOCK_LONG : TapeWriter::TAG_IDLE;
    if (tag < shortSteps) return Step(tag);
    if (tag < TapeWriter::TAG_CLOCK_LONG) {
        idleStep = tag - TapeWriter::TAG_IDLE;
        noEventDue = true;
        return Step(static_cast<Uint32>(idleStep));
    }
    if (tag == TapeWriter::TAG_CLOCK_LONG) {
        if (!Varint(v) || v > 0xffffffffULL) return r;
        return Step(static_cast<Uint32>(v));
    }
    if (tag == TapeWriter::TAG_REPEAT && version >= 2) {
        // Only right after an idle frame (or its repeats), at least once.
        if (lastIdle < 0 || !Varint(v) || v == 0 || v > TapeWriter::MOST_REPEATS) return r;
        idleStep = lastIdle;
        repeatsLeft = v - 1;
        noEventDue = true;
        return Step(static_cast<Uint32>(idleStep));
    }
    switch (tag) {
    case TapeWriter::TAG_NO_EVENT: r.kind = TapeRecord::NO_EVENT; return r;
    case TapeWriter::TAG_END: r.kind = TapeRecord::END; return r;
    case TapeWriter::TAG_CHECKSUM: {
        uint8_t b[8];
        for (auto& x : b)
            if (!Byte(x)) return r;
        for (int i = 7; i >= 0; --i) r.checksum = (r.checksum << 8) | b[i];
        r.kind = TapeRecord::CHECKSUM;
        return r;
    }
    case TapeWriter::TAG_EVENT: break;
    default: return r;
    }
    uint8_t type, a = 0, b = 0;
    if (!Byte(type)) return r;
    SDL_Event& e = r.event;
    e.type = type;
    switch (type) {
    case SDL_ACTIVEEVENT:
        if (!Byte(a) || !Byte(b)) return r;
        e.active.gain = a;
        e.active.state = b;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (!Varint(v) || !Varint(w) || v >= SDLK_LAST || w > 0xffff) return r;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = static_cast<SDLKey>(v);
        e.key.keysym.mod = static_cast<SDLMod>(w);
        break;
    case SDL_MOUSEMOTION: {
        if (!Varint(v) || !Varint(w)) return r;
        const int64_t x = UnZigZag(v), y = UnZigZag(w);
        if (x < -32768 || x > 32767 || y < -32768 || y > 32767) return r;
        e.motion.xrel = static_cast<Sint16>(x);
        e.motion.yrel = static_cast<Sint16>(y);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (!Byte(a)) return r;
        e.button.button = a;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        break;
    case SDL_JOYAXISMOTION: {
        if (!Byte(a) || !Byte(b) || !Varint(v)) return r;
        const int64_t value = UnZigZag(v);
        if (value < -32768 || value > 32767) return r;
        e.jaxis.which = a;
        e.jaxis.axis = b;
        e.jaxis.value = static_cast<Sint16>(value);
        break;
    }
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (!Byte(a) || !Byte(b)) return r;
        e.jbutton.which = a;
        e.jbutton.button = b;
        e.jbutton.state = type == SDL_JOYBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        break;
    case SDL_QUIT: break;
    default: return r;
    }
    r.kind = TapeRecord::EVENT;
    return r;
}

namespace {
std::string HeaderBytes(const ReplayHeader& h) {
    std::vector<uint8_t> out(MAGIC, MAGIC + 4);
    Put32(out, REPLAY_FORMAT_VERSION);
    const size_t versionLength = std::min(h.gameVersion.size(), MAX_VERSION_TEXT);
    out.push_back(static_cast<uint8_t>(versionLength));
    out.insert(out.end(), h.gameVersion.begin(), h.gameVersion.begin() + versionLength);
    Put64(out, h.dataHash);
    Put32(out, h.startSeed);
    out.insert(out.end(), h.randomState, h.randomState + REPLAY_RANDOM_STATE_SIZE);
    Put32(out, h.firstTicks);
    out.push_back(h.camera);
    out.push_back(static_cast<uint8_t>(h.invertControls | (h.gamePaused << 1) | (h.particles << 2) |
                                       (h.invincible << 3)));
    Put32(out, static_cast<uint32_t>(h.bonus));
    Put32(out, static_cast<uint32_t>(h.bonusMult));
    return std::string(out.begin(), out.end());
}

// A chunk: the size of its records, their CRC, the size of the compressed
// bytes, then those bytes.
bool AppendChunk(const std::vector<uint8_t>& raw, std::string& file) {
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> out;
    Put32(out, static_cast<uint32_t>(raw.size()));
    Put32(out, static_cast<uint32_t>(crc32(0L, raw.data(), static_cast<uInt>(raw.size()))));
    Put32(out, 0);
    out.resize(out.size() + packedSize);
    if (compress2(out.data() + 12, &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        return false;
    out.resize(12 + packedSize);
    for (int i = 0; i < 4; ++i) out[8 + i] = static_cast<uint8_t>(packedSize >> (8 * i));
    file.append(out.begin(), out.end());
    return true;
}

// Appends the records of one compressed piece to body; false, body as it
// was, when they are not what their size and CRC say.
bool Unpack(const uint8_t* packed, uint32_t packedSize, uint32_t rawSize, uint32_t crc,
            std::vector<uint8_t>& body) {
    const size_t at = body.size();
    body.resize(at + rawSize);
    uLongf got = rawSize;
    if (uncompress(body.data() + at, &got, packed, packedSize) != Z_OK || got != rawSize ||
        crc32(0L, body.data() + at, static_cast<uInt>(rawSize)) != crc) {
        body.resize(at);
        return false;
    }
    return true;
}
}  // namespace

bool WriteReplayFile(const std::string& path, const ReplayHeader& h,
                     const std::vector<uint8_t>& body, std::string& why) {
    if (body.size() > REPLAY_MOST_BODY) {
        why = "the recording is too long";
        return false;
    }
    std::string file = HeaderBytes(h);
    if (!body.empty() && !AppendChunk(body, file)) {
        why = "could not compress the recording";
        return false;
    }
    if (!WriteFileAtomically(path, file)) {
        why = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void ReplayRecorder::Begin(const ReplayHeader& header) {
    writer = TapeWriter(header.firstTicks);
    file = HeaderBytes(header);
    packed = 0;
    full = finished = false;
}

bool ReplayRecorder::Room() {
    if (full || finished) return false;
    if (packed + writer.Size() + LARGEST_RECORD > most) {
        full = true;
        error("Replay: this game's recording has reached its limit of %.2f MiB; the game goes on, the rest "
              "of it is not recorded\n",
              static_cast<double>(most) / (1 << 20));
        return false;
    }
    if (writer.Size() >= CHUNK_BYTES) Pack();
    return true;
}

void ReplayRecorder::Pack() {
    const std::vector<uint8_t> raw = writer.Take();
    if (raw.empty()) return;
    if (!AppendChunk(raw, file)) {
        // Out of memory: what the file holds stays good, nothing more comes.
        full = true;
        error("Replay: could not compress the recording; the rest of this game is not recorded\n");
        return;
    }
    packed += raw.size();
}

void ReplayRecorder::Finish() {
    if (finished) return;
    if (!full) writer.End();
    finished = true;
}

const std::string& ReplayRecorder::File() {
    Pack();
    return file;
}

bool ReadReplayBytes(const uint8_t* data, size_t size, ReplayHeader& h, std::vector<uint8_t>& body,
                     std::string& why) {
    Cursor c{data, size};
    char magic[4];
    uint32_t version = 0, bonus = 0, bonusMult = 0;
    uint8_t versionLength = 0, flags = 0;
    body.clear();
    why = "not a Korvalend 3D recording";
    if (!c.Take(magic, 4) || std::memcmp(magic, MAGIC, 4) != 0) return false;
    why = "cut short";
    if (!c.U32(version)) return false;
    if (version != REPLAY_FORMAT_VERSION && version != 1) {
        why = "recorded in format " + std::to_string(version) + ", this game reads formats 1 to " +
              std::to_string(REPLAY_FORMAT_VERSION);
        return false;
    }
    h.formatVersion = version;
    if (!c.Take(&versionLength, 1) || versionLength > MAX_VERSION_TEXT) return false;
    char text[MAX_VERSION_TEXT];
    if (!c.Take(text, versionLength)) return false;
    h.gameVersion.assign(text, versionLength);
    if (!c.U64(h.dataHash) || !c.U32(h.startSeed) || !c.Take(h.randomState, REPLAY_RANDOM_STATE_SIZE) ||
        !c.U32(h.firstTicks) || !c.Take(&h.camera, 1) || !c.Take(&flags, 1) || !c.U32(bonus) ||
        !c.U32(bonusMult))
        return false;
    h.invertControls = flags & 1;
    h.gamePaused = flags & 2;
    h.particles = flags & 4;
    h.invincible = flags & 8;
    h.bonus = static_cast<int32_t>(bonus);
    h.bonusMult = static_cast<int32_t>(bonusMult);
    if (h.camera > REPLAY_LAST_CAMERA) {
        why = "damaged (camera " + std::to_string(h.camera) + ")";
        return false;
    }
    // Version 1: one piece, to the end of the file; version 2: chunks to it.
    size_t total = 0;
    if (version >= 2 && c.at == size) return true;  // begun, nothing recorded yet
    do {
        uint32_t rawSize = 0, crc = 0, packedSize = 0;
        why = "cut short";
        if (!c.U32(rawSize) || !c.U32(crc) || !c.U32(packedSize) || packedSize > size - c.at) {
            body.clear();
            return false;
        }
        if (version == 1 && packedSize != size - c.at) {
            why = "has bytes after its end";
            return false;
        }
        why = "damaged";
        if (rawSize > REPLAY_MOST_BODY - total || (version >= 2 && rawSize == 0) ||
            !Unpack(data + c.at, packedSize, rawSize, crc, body)) {
            body.clear();
            return false;
        }
        total += rawSize;
        c.at += packedSize;
    } while (c.at < size);
    return true;
}

bool ReadReplayFile(const std::string& path, ReplayHeader& header, std::vector<uint8_t>& body,
                    std::string& why) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes)) {
        why = std::strerror(errno);
        return false;
    }
    return ReadReplayBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), header, body,
                           why);
}

ReplayLayout HeaderLayout(const ReplayHeader& h) {
    ReplayLayout layout;
    layout.versionAt = sizeof MAGIC + 4 + 1;  // the magic, the format, the text's length
    layout.versionSize = std::min(h.gameVersion.size(), MAX_VERSION_TEXT);
    layout.dataHashAt = layout.versionAt + layout.versionSize;
    return layout;
}

std::string DescribeReplay(const ReplayHeader& h, const std::vector<uint8_t>& body) {
    const ReplayLayout layout = HeaderLayout(h);
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(h.dataHash));
    std::string text = "format " + std::to_string(h.formatVersion) + "\n" + "game_version " + h.gameVersion +
                       "\n" + "game_version_at " + std::to_string(layout.versionAt) + "\n" + "data_hash " +
                       hash + "\n" + "data_hash_at " + std::to_string(layout.dataHashAt) + "\n" +
                       "start_seed " + std::to_string(h.startSeed) + "\n" + "first_ticks " +
                       std::to_string(h.firstTicks) + "\n" + "camera " + std::to_string(h.camera) + "\n" +
                       "invert_controls " + std::to_string(h.invertControls) + "\n" + "paused " +
                       std::to_string(h.gamePaused) + "\n" + "particles " + std::to_string(h.particles) +
                       "\n" + "invincible " + std::to_string(h.invincible) + "\n" + "bonus " +
                       std::to_string(h.bonus) + "\n" + "bonus_mult " + std::to_string(h.bonusMult) + "\n";
    enum { CLOCKS, EVENTS, KEYS, BUTTONS, NONES, CHECKSUMS, ENDS, BADS, KINDS };
    const char* const names[KINDS] = {"clock", "event", "key", "button", "none", "checksum", "end", "bad"};
    uint64_t counts[KINDS] = {};
    uint32_t last = h.firstTicks, longest = 0, back = 0;
    bool clocked = false;
    TapeReader reader(&body, h.firstTicks, h.formatVersion);
    while (!reader.AtEnd()) {
        const TapeRecord r = reader.Next();
        switch (r.kind) {
        case TapeRecord::CLOCK: {
            ++counts[CLOCKS];
            const int32_t step = static_cast<int32_t>(r.ticks - last);
            if (clocked && step < 0) ++back;
            if (clocked && step > 0) longest = std::max(longest, static_cast<uint32_t>(step));
            last = r.ticks;
            clocked = true;
            break;
        }
        case TapeRecord::EVENT:
            if (r.event.type == SDL_KEYDOWN || r.event.type == SDL_KEYUP)
                ++counts[KEYS];
            else if (r.event.type == SDL_MOUSEBUTTONDOWN || r.event.type == SDL_MOUSEBUTTONUP)
                ++counts[BUTTONS];
            else
                ++counts[EVENTS];
            break;
        case TapeRecord::NO_EVENT: ++counts[NONES]; break;
        case TapeRecord::CHECKSUM: ++counts[CHECKSUMS]; break;
        case TapeRecord::END: ++counts[ENDS]; break;
        default: ++counts[BADS]; break;
        }
        if (r.kind == TapeRecord::BAD) break;
    }
    text += "records";
    for (int k = 0; k < KINDS; ++k) text += std::string(" ") + names[k] + "=" + std::to_string(counts[k]);
    text += "\nlongest_clock_step " + std::to_string(longest) + "\nclock_steps_back " + std::to_string(back) + "\n";
    return text;
}
