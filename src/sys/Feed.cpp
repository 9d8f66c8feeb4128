// SPDX-License-Identifier: MIT
#include "sys/Feed.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <set>
#include <thread>

#include "shell/MyError.h"
#include "sys/Display.h"
#include "sys/Environment.h"
#include "sys/Gamepad.h"
#include "sys/Letterbox.h"

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

// Waits until the capped frame time since the last live swap has passed
// (the end-to-end tests' cap, EnvTestFrameSeconds).
void CapLiveFrame() {
    static Clock::time_point last;
    static bool started = false;
    const double frame = EnvTestFrameSeconds();
    if (frame <= 0.0) return;
    if (started) {
        const double left = frame - std::chrono::duration<double>(Clock::now() - last).count();
        if (left > 0.0) std::this_thread::sleep_for(std::chrono::duration<double>(left));
    }
    last = Clock::now();
    started = true;
}

struct State {
    const FeedSource* source = &FEED_LIVE;
    const FeedObserver* observer = nullptr;
    bool offTheRecord = false;
    std::deque<SDL_Event> putBack;
    bool (*translate)(SDL_Event* event) = nullptr;
    void (*onFocus)(bool gained) = nullptr;
    Uint32 simTicks = 0, frameMils = 16;
    void (*onFrame)() = nullptr;
    Uint32 lastTicks = 0;  // the last reading handed out
    Uint32 frame = 0;

    // Live input beside SDL's queue: what a video restart kept, and what the
    // game was told is held (so a restart can set it right).
    std::deque<SDL_Event> pending;
    std::set<int> keysDown, orphanKeys;
    bool buttonsDown[MOUSE_BUTTONS + 1] = {}, orphanButtons[MOUSE_BUTTONS + 1] = {};
    Uint32 lastOrphanCheck = 0;
};

State& S() {
    static State state;
    return state;
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
            if (S().onFocus != nullptr) S().onFocus(e.active.gain != 0);
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
        if (FeedKeeps(*e)) {
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

void LiveDelay(Uint32 mils) { SDL_Delay(mils); }

Uint32 SimulatedTicks() { return S().simTicks; }
void SimulatedDelay(Uint32 mils) { S().simTicks += mils; }
void SimulatedSwap() {
    S().simTicks += S().frameMils;
    if (S().onFrame != nullptr) S().onFrame();
}
const FeedSource SIMULATED = {SimulatedTicks, LivePoll, SimulatedDelay, SimulatedSwap};

// The display has gone: the game ends here, between two of its steps.
void EndIfDisplayGone() {
    if (DisplayGone()) DisplayEnd();
}
}  // namespace

const FeedSource FEED_LIVE = {LiveTicks, LivePoll, LiveDelay, CapLiveFrame};

void FeedUse(const FeedSource* source) { S().source = source; }
const FeedSource* FeedSourceInUse() { return S().source; }
void FeedObserve(const FeedObserver* observer) { S().observer = observer; }

void FeedOffTheRecord(bool off) { S().offTheRecord = off; }

void FeedPutBack(const SDL_Event& event) { S().putBack.push_back(event); }

void FeedTranslate(bool (*translate)(SDL_Event* event)) { S().translate = translate; }
void FeedOnFocus(void (*focus)(bool gained)) { S().onFocus = focus; }

bool FeedKeeps(const SDL_Event& event) {
    switch (event.type) {
    case SDL_ACTIVEEVENT: case SDL_KEYDOWN: case SDL_KEYUP: case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: case SDL_JOYAXISMOTION:
    case SDL_JOYBUTTONDOWN: case SDL_JOYBUTTONUP: case SDL_QUIT:
        return true;
    default: return false;
    }
}

Uint32 FeedTicks() {
    EndIfDisplayGone();
    State& s = S();
    s.lastTicks = s.source->ticks();
    if (s.observer != nullptr && !s.offTheRecord) s.observer->ticks(s.lastTicks);
    return s.lastTicks;
}

Uint32 FeedLastTicks() { return S().lastTicks; }

namespace {
// What was put back first, then the source's.
bool NextEvent(SDL_Event* event) {
    State& s = S();
    if (s.putBack.empty()) return s.source->poll(event);
    *event = s.putBack.front();
    s.putBack.pop_front();
    return true;
}
}  // namespace

bool FeedPollEvent(SDL_Event* event) {
    EndIfDisplayGone();
    State& s = S();
    // A screen outside the play reads the keys as they are.
    const bool translate = s.translate != nullptr && !s.offTheRecord;
    bool got = NextEvent(event);
    while (got && translate && !s.translate(event)) got = NextEvent(event);
    if (s.observer != nullptr && !s.offTheRecord) s.observer->polled(got ? event : nullptr);
    return got;
}

void FeedIdle() { FeedDelay(1); }

void FeedDelay(Uint32 mils) {
    EndIfDisplayGone();
    S().source->delay(mils);
}

void FeedSwap() {
    EndIfDisplayGone();
    State& s = S();
    if (SDL_GetVideoSurface() != nullptr && !LetterboxShow()) SDL_GL_SwapBuffers();
    ++s.frame;
    s.source->swap();
    // A test compares one frame of a recording between builds: it stays up.
    if (EnvTestHoldFrame() != 0 && s.frame == EnvTestHoldFrame()) {
        LetterboxFinish();
        error("State: frame shown\n");
        for (SDL_Event e;; SDL_Delay(50))
            while (SDL_PollEvent(&e))
                if (e.type == SDL_QUIT) QuitGame();
    }
}

Uint32 FeedFrame() { return S().frame; }

void FeedSimulate(Uint32 frameMils) {
    S().source = &SIMULATED;
    S().frameMils = frameMils;
}

void FeedEachFrame(void (*onFrame)()) { S().onFrame = onFrame; }

void FeedLive() {
    S().source = &FEED_LIVE;
    S().onFrame = nullptr;
}

bool FeedSimulated() { return S().source == &SIMULATED; }

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
