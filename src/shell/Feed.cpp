// SPDX-License-Identifier: MIT
#include "Feed.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <set>
#include <thread>

#include "../render/Display.h"
#include "../render/Letterbox.h"
#include "Gamepad.h"
#include "Korvalend3d.h"
#include "UserFiles.h"

#ifndef KORVALEND3D_VERSION
#define KORVALEND3D_VERSION "1.0.0"
#endif

namespace {
using Clock = std::chrono::steady_clock;
const Clock::time_point processStart = Clock::now();
// How often keys held through a video restart are looked at, in ms.
const Uint32 ORPHAN_CHECK_MILS = 10;
const int MOUSE_BUTTONS = 5;

Uint32 LiveTicks() {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - processStart).count();
    return static_cast<Uint32>(ms);  // wraps after 49.7 days, as SDL's count did
}

double SecondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

enum Source { LIVE, SIMULATED, PLAYBACK };

// KORVALEND3D_TEST_FPS caps a live game's frames a second, as vertical sync
// would on a player's screen: the end-to-end tests run two games side by
// side on a software renderer, where an uncapped game takes a whole core.
double TestFrameSeconds() {
    static const double seconds = [] {
        const char* v = std::getenv("KORVALEND3D_TEST_FPS");
        const double fps = v != nullptr ? std::atof(v) : 0.0;
        return fps > 0.0 ? 1.0 / fps : 0.0;
    }();
    return seconds;
}

// Waits until the capped frame time since the last live swap has passed.
void CapLiveFrame() {
    static Clock::time_point last;
    static bool started = false;
    const double frame = TestFrameSeconds();
    if (frame <= 0.0) return;
    if (started) {
        const double left = frame - SecondsSince(last);
        if (left > 0.0) std::this_thread::sleep_for(std::chrono::duration<double>(left));
    }
    last = Clock::now();
    started = true;
}

struct State {
    Source source = LIVE;
    Uint32 simTicks = 0, frameMils = 16;
    void (*onFrame)() = nullptr;
    Uint32 lastTicks = 0;  // the last reading handed out
    Uint32 seed = 0;
    Uint32 frame = 0;

    // Live input beside SDL's queue: what a video restart kept, and what the
    // game was told is held (so a restart can set it right).
    std::deque<SDL_Event> pending;
    std::set<int> keysDown, orphanKeys;
    bool buttonsDown[MOUSE_BUTTONS + 1] = {}, orphanButtons[MOUSE_BUTTONS + 1] = {};
    Uint32 lastOrphanCheck = 0;

    // Recording.
    std::string recordPath;
    bool recording = false;
    bool reportedWriteFailure = false;
    ReplayRecorder recorder;
    std::string finishedGame;  // the file of the game just over
    Uint32 lastChecksumTicks = 0;

    // Playback.
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
    error("Replay diverges at frame %u: %s, where the recording has %s\n", S().frame, what,
          Describe(found));
    std::exit(1);
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
    error("Replay: %s at frame %u; %d checksums, every one equal\n", how, s.frame, s.checksums);
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
    std::exit(0);
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

void Remember(const SDL_Event& e) {
    State& s = S();
    switch (e.type) {
    case SDL_KEYDOWN: s.keysDown.insert(e.key.keysym.sym); s.orphanKeys.erase(e.key.keysym.sym); break;
    case SDL_KEYUP: s.keysDown.erase(e.key.keysym.sym); s.orphanKeys.erase(e.key.keysym.sym); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (e.button.button <= MOUSE_BUTTONS) {
            s.buttonsDown[e.button.button] = e.type == SDL_MOUSEBUTTONDOWN;
            s.orphanButtons[e.button.button] = false;
        }
        break;
    case SDL_ACTIVEEVENT:
        // The mouse is let go while another window has the keyboard.
        if ((e.active.state & SDL_APPINPUTFOCUS) != 0) {
            if (e.active.gain)
                Screen::GetInstance()->TakeInput();
            else
                Screen::GetInstance()->ReleaseInput();
        }
        break;
    default: break;
    }
}

SDL_Event KeyUp(int sym) {
    SDL_Event e{};
    e.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    e.key.keysym.sym = static_cast<SDLKey>(sym);
    return e;
}

SDL_Event ButtonUp(int button) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.state = SDL_RELEASED;
    e.button.button = static_cast<Uint8>(button);
    return e;
}

// Keys and buttons held through a video restart: SDL's new window never saw
// them go down and drops their release, so the display is asked instead.
void CheckOrphans() {
    State& s = S();
    if (s.orphanKeys.empty() && std::none_of(s.orphanButtons, s.orphanButtons + MOUSE_BUTTONS + 1,
                                             [](bool b) { return b; }))
        return;
    const Uint32 now = LiveTicks();
    if (now - s.lastOrphanCheck < ORPHAN_CHECK_MILS) return;
    s.lastOrphanCheck = now;
    HeldInput held;
    const bool known = DisplayHeldInput(held);
    for (auto it = s.orphanKeys.begin(); it != s.orphanKeys.end();) {
        if (known && held.Key(*it)) {
            ++it;
            continue;
        }
        s.pending.push_back(KeyUp(*it));
        it = s.orphanKeys.erase(it);
    }
    for (int b = 1; b <= MOUSE_BUTTONS; ++b) {
        if (!s.orphanButtons[b] || (known && held.Button(b))) continue;
        s.pending.push_back(ButtonUp(b));
        s.orphanButtons[b] = false;
    }
}

bool SdlPoll(SDL_Event* e) {
    // The pad's changes join SDL's queue as joystick events, once each time
    // the queue is read afresh (a frame's input, a waiting loop's look).
    static bool drained = true;
    if (drained) Gamepad_Pump();
    while (SDL_PollEvent(e))
        if (EventIsRecorded(*e)) {
            LetterboxMouse(e);
            drained = false;
            return true;
        }
    drained = true;
    return false;
}

// The next live event, what a restart kept first.
bool LivePoll(SDL_Event* e) {
    State& s = S();
    if (s.pending.empty()) CheckOrphans();
    bool got = false;
    if (!s.pending.empty()) {
        *e = s.pending.front();
        s.pending.pop_front();
        got = true;
    } else {
        got = SdlPoll(e);
    }
    if (got) Remember(*e);
    return got;
}

// While a recording plays, the watcher may change the view and the sound,
// and leave.
void WatcherEvent(const SDL_Event& e) {
    if (e.type == SDL_QUIT) std::exit(0);
    if (e.type != SDL_KEYDOWN) return;
    if (e.key.keysym.sym == SDLK_ESCAPE || e.key.keysym.sym == SDLK_q) {
        error("Replay: stopped by the viewer at frame %u\n", S().frame);
        std::exit(0);
    }
    HandleViewerKey(e.key.keysym);
}

CameraType CurrentCameraType() {
    return gCurrentCamera != nullptr ? gCurrentCamera->type : FIRST_PERSON;
}

void UseCamera(CameraType type) {
    if (gCurrentCamera != nullptr && gCurrentCamera->type == type) return;
    delete gCurrentCamera;
    gCurrentCamera = NewCamera(type, gThePlayer);
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

// The display has gone: the game ends here, between two of its steps.
void EndIfDisplayGone() {
    if (DisplayGone()) DisplayEnd();
}
}  // namespace

Uint32 FeedTicks() {
    EndIfDisplayGone();
    State& s = S();
    if (s.source == PLAYBACK && s.tapeOpen) {
        TapeRecord r = Expect(TapeRecord::CLOCK, "the game looks at the clock");
        Pace(r.ticks);
        s.lastTicks = r.ticks;
        return r.ticks;
    }
    s.lastTicks = s.source == SIMULATED ? s.simTicks : LiveTicks();
    if (s.recording) s.recorder.Clock(s.lastTicks);
    return s.lastTicks;
}

Uint32 FeedSeed() {
    State& s = S();
    s.seed = s.source == PLAYBACK ? s.playHeader.startSeed : FeedTicks();
    return s.seed;
}

bool FeedPollEvent(SDL_Event* event) {
    EndIfDisplayGone();
    State& s = S();
    if (s.source == PLAYBACK) {
        SDL_Event live;
        while (LivePoll(&live)) WatcherEvent(live);
        if (!s.tapeOpen) return false;
        TapeRecord r = Expect(TapeRecord::EVENT, "the game looks for an event");
        if (r.kind == TapeRecord::NO_EVENT) return false;
        *event = r.event;
        PauseOnFocusLoss(*event);
        return true;
    }
    const bool got = LivePoll(event);
    if (s.recording) {
        if (got)
            s.recorder.Event(*event);
        else
            s.recorder.NoEvent();
    }
    if (got) PauseOnFocusLoss(*event);
    return got;
}

void FeedIdle() { FeedDelay(1); }

void FeedDelay(Uint32 mils) {
    EndIfDisplayGone();
    State& s = S();
    if (s.source == SIMULATED)
        s.simTicks += mils;
    else if (s.source == LIVE)
        SDL_Delay(mils);
}

void FeedSwap() {
    EndIfDisplayGone();
    State& s = S();
    if (SDL_GetVideoSurface() != nullptr && !LetterboxShow()) SDL_GL_SwapBuffers();
    if (s.source == LIVE) CapLiveFrame();
    ++s.frame;
    // A test compares one frame of a recording between builds: it stays up.
    static const char* const hold = std::getenv("KORVALEND3D_TEST_HOLD_FRAME");
    if (hold != nullptr && s.frame == Uint32(std::atol(hold))) {
        error("State: frame shown\n");
        for (SDL_Event e;; SDL_Delay(50))
            while (SDL_PollEvent(&e))
                if (e.type == SDL_QUIT) std::exit(0);
    }
    if (s.source == SIMULATED) {
        s.simTicks += s.frameMils;
        if (s.onFrame != nullptr) s.onFrame();
    }
    if (s.source == PLAYBACK && !s.paced && s.tapeOpen) {
        const Clock::time_point now = Clock::now();
        if (s.swapped) s.frameTimes.push_back(std::chrono::duration<double>(now - s.lastSwap).count());
        s.lastSwap = now;
        s.swapped = true;
    }
}

Uint32 FeedFrame() { return S().frame; }

void FeedSimulate(Uint32 frameMils) {
    S().source = SIMULATED;
    S().frameMils = frameMils;
}

void FeedEachFrame(void (*onFrame)()) { S().onFrame = onFrame; }

void FeedLive() {
    S().source = LIVE;
    S().onFrame = nullptr;
}

bool FeedSimulated() { return S().source == SIMULATED; }

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
    s.source = PLAYBACK;
    s.paced = paced;
    s.reader.reset(new TapeReader(&s.body, s.playHeader.firstTicks, s.playHeader.formatVersion));
    return true;
}

bool FeedPlaying() { return S().source == PLAYBACK; }

const ReplayHeader& FeedPlaybackHeader() { return S().playHeader; }

void FeedBeginGame() {
    State& s = S();
    if (s.source == PLAYBACK) {
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
        UseCamera(static_cast<CameraType>(h.camera));
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
    if (s.source == PLAYBACK && s.tapeOpen) {
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
    if (S().source == PLAYBACK && S().tapeOpen) FinishPlayback("the recorded player quit");
}

void FeedCheckpoint(bool force) {
    State& s = S();
    const bool playing = s.source == PLAYBACK && s.tapeOpen;
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
              s.frame, gWave, gThePlayer != nullptr ? gThePlayer->score : 0);
        std::exit(1);
    }
    ++s.checksums;
}

void FeedHoldEvents() {
    SDL_Event e;
    while (SdlPoll(&e)) S().pending.push_back(e);
}

void FeedAfterVideoRestart() {
    State& s = S();
    FeedHoldEvents();
    // What the game will hold once it has handled what is queued.
    std::set<int> keys = s.keysDown;
    bool buttons[MOUSE_BUTTONS + 1];
    std::copy(s.buttonsDown, s.buttonsDown + MOUSE_BUTTONS + 1, buttons);
    for (const SDL_Event& e : s.pending) {
        if (e.type == SDL_KEYDOWN) keys.insert(e.key.keysym.sym);
        if (e.type == SDL_KEYUP) keys.erase(e.key.keysym.sym);
        if ((e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) &&
            e.button.button <= MOUSE_BUTTONS)
            buttons[e.button.button] = e.type == SDL_MOUSEBUTTONDOWN;
    }
    HeldInput held;
    const bool known = DisplayHeldInput(held);
    s.orphanKeys.clear();
    for (int key : keys) {
        if (known && held.Key(key))
            s.orphanKeys.insert(key);
        else
            s.pending.push_back(KeyUp(key));
    }
    for (int b = 1; b <= MOUSE_BUTTONS; ++b) {
        s.orphanButtons[b] = false;
        if (!buttons[b]) continue;
        if (known && held.Button(b))
            s.orphanButtons[b] = true;
        else
            s.pending.push_back(ButtonUp(b));
    }
    s.lastOrphanCheck = LiveTicks();
}
