// SPDX-License-Identifier: MIT
#include "Replay.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "../assets/Model.h"
#include "../assets/ModelServer.h"
#include "../world/Object.h"
#include "../world/Player.h"
#include "Globals.h"
#include "UserFiles.h"

namespace {
const char MAGIC[4] = {'K', 'V', 'R', 0x1a};
// A recording of hours is a few megabytes; anything claiming more is broken.
const uint32_t MAX_BODY = 64u << 20;
const size_t MAX_VERSION_TEXT = 64;

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

struct Fnv {
    uint64_t h = 1469598103934665603ULL;
    void Add(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ULL;
    }
    template <class T> void Add(const T& v) { Add(&v, sizeof v); }
    void Add(const Vector3& v) { Add(v.x); Add(v.y); Add(v.z); }
};
}  // namespace

bool EventIsRecorded(const SDL_Event& event) {
    switch (event.type) {
    case SDL_ACTIVEEVENT: case SDL_KEYDOWN: case SDL_KEYUP: case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: case SDL_JOYAXISMOTION:
    case SDL_JOYBUTTONDOWN: case SDL_JOYBUTTONUP: case SDL_QUIT:
        return true;
    default: return false;
    }
}

void TapeWriter::Varint(uint64_t value) {
    while (value >= 0x80) {
        body.push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    body.push_back(static_cast<uint8_t>(value));
}

void TapeWriter::Clock(Uint32 ticks) {
    const Uint32 step = ticks - lastTicks;  // the clock wraps after 49 days
    lastTicks = ticks;
    if (step < TAG_CLOCK_LONG) {
        body.push_back(static_cast<uint8_t>(step));
    } else {
        body.push_back(TAG_CLOCK_LONG);
        Varint(step);
    }
}

void TapeWriter::Checksum(uint64_t sum) {
    body.push_back(TAG_CHECKSUM);
    Put64(body, sum);
}

void TapeWriter::Event(const SDL_Event& e) {
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
    const size_t keepAt = at;
    const Uint32 keepTicks = lastTicks;
    TapeRecord r = Next();
    at = keepAt;
    lastTicks = keepTicks;
    return r;
}

TapeRecord TapeReader::Next() {
    TapeRecord r;
    uint8_t tag;
    if (!Byte(tag)) {
        r.kind = TapeRecord::END;  // a recording cut short by a quit ends here
        return r;
    }
    uint64_t v = 0, w = 0;
    if (tag < TapeWriter::TAG_CLOCK_LONG || tag == TapeWriter::TAG_CLOCK_LONG) {
        if (tag == TapeWriter::TAG_CLOCK_LONG) {
            if (!Varint(v) || v > 0xffffffffULL) return r;
        } else {
            v = tag;
        }
        lastTicks += static_cast<Uint32>(v);
        r.kind = TapeRecord::CLOCK;
        r.ticks = lastTicks;
        return r;
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

bool WriteReplayFile(const std::string& path, const ReplayHeader& h,
                     const std::vector<uint8_t>& body, std::string& why) {
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
    if (body.size() > MAX_BODY) {
        why = "the recording is too long";
        return false;
    }
    Put32(out, static_cast<uint32_t>(body.size()));
    Put32(out, static_cast<uint32_t>(crc32(0L, body.data(), static_cast<uInt>(body.size()))));
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()), 6) != Z_OK) {
        why = "could not compress the recording";
        return false;
    }
    Put32(out, static_cast<uint32_t>(packedSize));
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<long>(packedSize));

    if (!WriteFileAtomically(path, std::string(out.begin(), out.end()))) {
        why = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool ReadReplayBytes(const uint8_t* data, size_t size, ReplayHeader& h, std::vector<uint8_t>& body,
                     std::string& why) {
    Cursor c{data, size};
    char magic[4];
    uint32_t version = 0, bodySize = 0, crc = 0, packedSize = 0, bonus = 0, bonusMult = 0;
    uint8_t versionLength = 0, flags = 0;
    why = "not a Korvalend 3D recording";
    if (!c.Take(magic, 4) || std::memcmp(magic, MAGIC, 4) != 0) return false;
    why = "cut short";
    if (!c.U32(version)) return false;
    if (version != REPLAY_FORMAT_VERSION) {
        why = "recorded in format " + std::to_string(version) + ", this game reads format " +
              std::to_string(REPLAY_FORMAT_VERSION);
        return false;
    }
    if (!c.Take(&versionLength, 1) || versionLength > MAX_VERSION_TEXT) return false;
    char text[MAX_VERSION_TEXT];
    if (!c.Take(text, versionLength)) return false;
    h.gameVersion.assign(text, versionLength);
    if (!c.U64(h.dataHash) || !c.U32(h.startSeed) || !c.Take(h.randomState, REPLAY_RANDOM_STATE_SIZE) ||
        !c.U32(h.firstTicks) || !c.Take(&h.camera, 1) || !c.Take(&flags, 1) || !c.U32(bonus) ||
        !c.U32(bonusMult) || !c.U32(bodySize) ||
        !c.U32(crc) || !c.U32(packedSize))
        return false;
    h.invertControls = flags & 1;
    h.gamePaused = flags & 2;
    h.particles = flags & 4;
    h.invincible = flags & 8;
    h.bonus = static_cast<int32_t>(bonus);
    h.bonusMult = static_cast<int32_t>(bonusMult);
    if (packedSize != size - c.at) {
        why = packedSize > size - c.at ? "cut short" : "has bytes after its end";
        return false;
    }
    why = "damaged";
    if (bodySize > MAX_BODY) return false;
    body.assign(bodySize, 0);
    uLongf got = bodySize;
    if (uncompress(body.data(), &got, data + c.at, packedSize) != Z_OK || got != bodySize ||
        crc32(0L, body.data(), static_cast<uInt>(body.size())) != crc) {
        body.clear();
        return false;
    }
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

uint64_t WorldChecksum() {
    Fnv f;
    f.Add(gWave);
    if (gThePlayer != nullptr) {
        f.Add(gThePlayer->score);
        f.Add(gThePlayer->lives);
        f.Add(gThePlayer->bonus);
        f.Add(gThePlayer->bonusMult);
        f.Add(gThePlayer->alive);
    }
    const int n = gObjects.NumObjects();
    f.Add(n);
    for (int i = 0; i < n; ++i) {
        const Object* o = gObjects[i];
        f.Add(static_cast<int>(o->type));
        f.Add(o->pos);
        f.Add(o->dir.w);
        f.Add(o->dir.x);
        f.Add(o->dir.y);
        f.Add(o->dir.z);
        f.Add(o->vel);
    }
    return f.h;
}

uint64_t DataHash() {
    Fnv f;
    ModelServer* models = ModelServer::GetInstance();
    for (int id = 0; id < NUM_MODELS; ++id) {
        Model* m = models->GetModel(id);
        const float radius = m != nullptr ? m->GetRadius() : -1.0f;
        f.Add(radius);
    }
    return f.h;
}
