// SPDX-License-Identifier: MIT
#include "shell/Recording.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "shell/Korvalend3d.h"
#include "profile/HighScores.h"
#include "sys/UserFiles.h"

static_assert(STATIC == REPLAY_LAST_CAMERA, "a recording names every camera");

namespace {
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

struct State {
    Uint32 seed = 0;
    Uint32 lastTicks = 0;  // the last clock reading the game was given

    // Recording.
    std::string recordPath;
    bool recording = false;
    bool reportedWriteFailure = false;
    ReplayRecorder recorder;
    std::string finishedGame;  // the file of the game just over
    Uint32 lastChecksumTicks = 0;

    // Playback.
    bool playing = false;
    bool tapeOpen = false;  // between the recorded game's begin and end
    bool paced = true, paceStarted = false;
    ReplayHeader playHeader;
    std::vector<uint8_t> body;
    std::unique_ptr<TapeReader> reader;
    Clock::time_point wallStart;
    Uint32 tapeStart = 0;
    int checksums = 0;
    std::vector<double> frameTimes;
    Clock::time_point lastSwap;
    bool swapped = false;
};

State& S() {
    static State state;
    return state;
}

const char* Describe(const TapeRecord& r) {
    switch (r.kind) {
    case TapeRecord::CLOCK: return "a clock reading";
    case TapeRecord::EVENT: return "an event";
    case TapeRecord::NO_EVENT: return "no event";
    case TapeRecord::CHECKSUM: return "a world checksum";
    case TapeRecord::END: return "its end";
    default: return "damaged data";
    }
}

[[noreturn]] void Diverge(const char* what, const TapeRecord& found) {
    error("Replay diverges at frame %u: %s, where the recording has %s\n", FeedFrame(), what,
          Describe(found));
    EndPlayback(false);
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size())));
    i = std::min(v.size() - 1, i == 0 ? 0 : i - 1);
    return v[i];
}

// The end of a playback: how it ended, and for a time demo the frame times
// on one line for scripts.
[[noreturn]] void FinishPlayback(const char* how) {
    State& s = S();
    error("Replay: %s at frame %u; %d checksums, every one equal\n", how, FeedFrame(), s.checksums);
    if (!s.paced) {
        double seconds = 0.0;
        for (double t : s.frameTimes) seconds += t;
        const std::vector<double>& f = s.frameTimes;
        std::printf("timedemo frames=%zu seconds=%.2f fps=%.1f median_ms=%.2f p95_ms=%.2f "
                    "p99_ms=%.2f max_ms=%.2f\n",
                    f.size(), seconds, seconds > 0.0 ? static_cast<double>(f.size()) / seconds : 0.0,
                    1000.0 * Percentile(f, 0.5), 1000.0 * Percentile(f, 0.95),
                    1000.0 * Percentile(f, 0.99), 1000.0 * Percentile(f, 1.0));
        std::fflush(stdout);
    }
    EndPlayback(true);
}

// A recording cut short (the player quit, or the game ended another way)
// ends the playback where it ends.
[[noreturn]] void TapeRanOut() { FinishPlayback("the recording ends where its player left"); }

TapeRecord Expect(TapeRecord::Kind kind, const char* what) {
    if (S().reader->AtEnd()) TapeRanOut();
    TapeRecord r = S().reader->Next();
    if (r.kind != kind && !(kind == TapeRecord::EVENT && r.kind == TapeRecord::NO_EVENT))
        Diverge(what, r);
    return r;
}

void Pace(Uint32 ticks) {
    State& s = S();
    if (!s.paced) return;
    if (!s.paceStarted) {
        s.paceStarted = true;
        s.wallStart = Clock::now();
        s.tapeStart = ticks;
        return;
    }
    const double due = static_cast<Uint32>(ticks - s.tapeStart) / 1000.0;
    for (double left = due - SecondsSince(s.wallStart); left > 0.0;
         left = due - SecondsSince(s.wallStart))
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(left, 0.01)));
}

// While a recording plays, the watcher may change the view and the sound,
// and leave.
void WatcherEvent(const SDL_Event& e) {
    if (e.type == SDL_QUIT) EndPlayback(true);
    if (e.type != SDL_KEYDOWN) return;
    if (e.key.keysym.sym == SDLK_ESCAPE || e.key.keysym.sym == SDLK_q) {
        error("Replay: stopped by the viewer at frame %u\n", FeedFrame());
        EndPlayback(true);
    }
    HandleViewerKey(e.key.keysym);
}

// Only what came since the last save is compressed; the file is then
// replaced whole, so that another copy of the game writing it at the same
// time never mixes its game with this one.
void WriteRecording(bool finished) {
    State& s = S();
    if (!s.recording) return;
    if (finished) s.recorder.Finish();
    if (!WriteFileAtomically(s.recordPath, s.recorder.File())) {
        if (!s.reportedWriteFailure)
            error("Replay: could not keep the recording: %s: %s\n", s.recordPath.c_str(), std::strerror(errno));
        s.reportedWriteFailure = true;
    }
}

void SaveAtExit() {
    // The game's last moments are kept when the player quits mid-game.
    WriteRecording(false);
}

struct Fnv {
    uint64_t h = 1469598103934665603ULL;
    void Add(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ULL;
    }
    template <class T> void Add(const T& v) { Add(&v, sizeof v); }
    void Add(const Vector3& v) { Add(v.x); Add(v.y); Add(v.z); }
};

// The playback as the feed's source: the clock and the events the
// recording holds, the watcher's own input looked at beside them.
Uint32 PlaybackTicks() {
    State& s = S();
    if (!s.tapeOpen) return FEED_LIVE.ticks();
    TapeRecord r = Expect(TapeRecord::CLOCK, "the game looks at the clock");
    Pace(r.ticks);
    return r.ticks;
}

bool PlaybackPoll(SDL_Event* event) {
    State& s = S();
    SDL_Event live;
    while (FEED_LIVE.poll(&live)) WatcherEvent(live);
    if (!s.tapeOpen) return false;
    TapeRecord r = Expect(TapeRecord::EVENT, "the game looks for an event");
    if (r.kind == TapeRecord::NO_EVENT) return false;
    *event = r.event;
    return true;
}

// The recorded clock already says how long a wait lasted.
void PlaybackDelay(Uint32) {}

void PlaybackSwap() {
    State& s = S();
    if (s.paced || !s.tapeOpen) return;
    const Clock::time_point now = Clock::now();
    if (s.swapped) s.frameTimes.push_back(std::chrono::duration<double>(now - s.lastSwap).count());
    s.lastSwap = now;
    s.swapped = true;
}

const FeedSource PLAYBACK = {PlaybackTicks, PlaybackPoll, PlaybackDelay, PlaybackSwap};

// What the game is given is written down while a game is recorded, and a
// focus lost pauses the game at every screen.
void SeenTicks(Uint32 ticks) {
    S().lastTicks = ticks;
    if (S().recording) S().recorder.Clock(ticks);
}

void SeenPoll(const SDL_Event* event) {
    State& s = S();
    if (s.recording) {
        if (event != nullptr)
            s.recorder.Event(*event);
        else
            s.recorder.NoEvent();
    }
    if (event != nullptr) PauseOnFocusLoss(*event);
}

const FeedObserver OBSERVER = {SeenTicks, SeenPoll};
const bool observing = (FeedObserve(&OBSERVER), true);
}  // namespace

std::string LastRecordingPath() {
    const std::string folder = UserDataFolder();
    return folder.empty() ? "" : folder + "/" + REPLAYS_FOLDER + "/last.kvr";
}

void RecordGames() {
    const std::string folder = UserDataFolder();
    if (folder.empty()) return;
    const std::string replays = folder + "/" + REPLAYS_FOLDER;
    if (!MakeFolders(replays)) {
        error("Replay: cannot make %s (%s); games are not recorded\n", replays.c_str(),
              std::strerror(errno));
        return;
    }
    FeedRecordTo(LastRecordingPath());
}

Uint32 FeedSeed() {
    State& s = S();
    s.seed = s.playing ? s.playHeader.startSeed : FeedTicks();
    return s.seed;
}

void FeedRecordTo(const std::string& path) {
    static bool atExit = false;
    if (!atExit) atExit = std::atexit(SaveAtExit) == 0;
    S().recordPath = path;
}

bool FeedPlayBack(const std::string& path, bool paced, std::string& why) {
    State& s = S();
    if (!ReadReplayFile(path, s.playHeader, s.body, why)) return false;
    if (s.playHeader.gameVersion != KORVALEND3D_VERSION) {
        why = "recorded by version " + s.playHeader.gameVersion + "; this is version " +
              KORVALEND3D_VERSION;
        return false;
    }
    s.playing = true;
    FeedUse(&PLAYBACK);
    s.paced = paced;
    s.reader.reset(new TapeReader(&s.body, s.playHeader.firstTicks, s.playHeader.formatVersion));
    return true;
}

bool FeedPlaying() { return S().playing; }

const ReplayHeader& FeedPlaybackHeader() { return S().playHeader; }

void FeedBeginGame() {
    State& s = S();
    if (s.playing) {
        const ReplayHeader& h = s.playHeader;
        RestoreRandomState(h.randomState);
        invertControls = h.invertControls;
        gamePaused = h.gamePaused;
        ParticleEngine::particleEffectsOn = h.particles;
        if (gThePlayer != nullptr) {
            gThePlayer->invincible = h.invincible;
            gThePlayer->bonus = h.bonus;
            gThePlayer->bonusMult = h.bonusMult;
        }
        if (CurrentCameraType() != h.camera) UseCamera(static_cast<CameraType>(h.camera));
        s.lastTicks = h.firstTicks;
        s.lastChecksumTicks = h.firstTicks;
        s.tapeOpen = true;
        return;
    }
    s.finishedGame.clear();
    if (s.recordPath.empty()) return;
    ReplayHeader h;
    h.gameVersion = KORVALEND3D_VERSION;
    h.dataHash = DataHash();
    h.startSeed = s.seed;
    SaveRandomState(h.randomState);
    h.camera = static_cast<uint8_t>(CurrentCameraType());
    h.invertControls = invertControls;
    h.gamePaused = gamePaused;
    h.particles = ParticleEngine::particleEffectsOn;
    if (gThePlayer != nullptr) {
        h.invincible = gThePlayer->invincible;
        h.bonus = gThePlayer->bonus;
        h.bonusMult = gThePlayer->bonusMult;
    }
    h.firstTicks = s.lastTicks;
    s.recorder.Begin(h);
    s.lastChecksumTicks = h.firstTicks;
    s.recording = true;
}

void FeedEndGame() {
    State& s = S();
    if (s.playing && s.tapeOpen) {
        FeedCheckpoint(true);
        TapeRecord r = s.reader->Next();
        if (r.kind != TapeRecord::END || !s.reader->AtEnd())
            Diverge("the game is over", r);
        FinishPlayback("the game is over");
    }
    if (!s.recording) return;
    FeedCheckpoint(true);
    WriteRecording(true);
    s.finishedGame = s.recorder.File();
    s.recording = false;
}

const std::string& FeedGameRecording() { return S().finishedGame; }

void FeedSaveRecording() { WriteRecording(false); }

void FeedQuit() {
    if (S().playing && S().tapeOpen) FinishPlayback("the recorded player quit");
}

void FeedCheckpoint(bool force) {
    State& s = S();
    const bool playing = s.playing && s.tapeOpen;
    if (!playing && !s.recording) return;
    if (!force && s.lastTicks - s.lastChecksumTicks < CHECKSUM_MILS) return;
    s.lastChecksumTicks = s.lastTicks;
    const uint64_t sum = WorldChecksum();
    if (s.recording) {
        s.recorder.Checksum(sum);
        return;
    }
    TapeRecord r = Expect(TapeRecord::CHECKSUM, "the world's checksum is due");
    if (r.checksum != sum) {
        error("Replay diverges at frame %u: the world differs from the recording (wave %d, "
              "score %d)\n",
              FeedFrame(), gWave, gThePlayer != nullptr ? gThePlayer->score : 0);
        EndPlayback(false);
    }
    ++s.checksums;
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
