// SPDX-License-Identifier: MIT
// The one source of the game's time and input. Every clock reading and every
// event the game handles comes through here, from the source in use: live
// from SDL, simulated for the tests (a clock that moves only when a frame is
// shown or a wait waits, and the events the test pushes), or another that
// the game registers (the shell plays recordings back through one). What
// the game is given is shown to an observer (the shell records it).
#ifndef KORVALEND_FEED_H
#define KORVALEND_FEED_H

#include <SDL/SDL.h>

// A source of time and events: a table of functions, each called by the
// Feed function of its name.
struct FeedSource {
    Uint32 (*ticks)();
    bool (*poll)(SDL_Event* event);
    void (*delay)(Uint32 mils);
    // After the frame has been shown (the buffers swapped).
    void (*swap)();
};
// The live source (for a source that also looks at live input).
extern const FeedSource FEED_LIVE;
void FeedUse(const FeedSource* source);
const FeedSource* FeedSourceInUse();

// Who sees what the game is given: each clock reading, and each look for an
// event (event null when there was none).
struct FeedObserver {
    void (*ticks)(Uint32 ticks);
    void (*polled)(const SDL_Event* event);
};
void FeedObserve(const FeedObserver* observer);
// While on, the observer is told nothing: what a screen outside the play
// (the options) reads is no part of a recording.
void FeedOffTheRecord(bool off);
// Hands the event out again, ahead of any other, to whoever reads next
// (a release that a screen outside the play read, for the game).
void FeedPutBack(const SDL_Event& event);

// What the player pressed becomes what the game is given, before anyone
// sees it: translate may change the event, or return false to drop it
// (the feed then looks for the next). Null gives every event as it came.
void FeedTranslate(bool (*translate)(SDL_Event* event));

// The clock in milliseconds. Live it counts from start-up and never goes
// back, whatever becomes of SDL's subsystems.
Uint32 FeedTicks();
// The last reading handed out.
Uint32 FeedLastTicks();
// The next event for the game; false when none is pending.
bool FeedPollEvent(SDL_Event* event);
// A waiting loop's pause between two looks at the clock and the events.
void FeedIdle();
// A fixed wait (SDL_Delay when live).
void FeedDelay(Uint32 mils);
// Shows the frame drawn (buffer swap); frames are counted here.
void FeedSwap();
Uint32 FeedFrame();

// Simulated time for the tests: each shown frame moves the clock on by
// frameMils, each idle pause and delay by what it waits (idle: 1 ms).
void FeedSimulate(Uint32 frameMils);
// Called at each frame shown under simulated time (tests script a player).
void FeedEachFrame(void (*onFrame)());
void FeedLive();
bool FeedSimulated();

// The event types the game reacts to: the only ones the feed hands out.
bool FeedKeeps(const SDL_Event& event);

// Called when the game's window gains (true) or loses the keyboard, as the
// event saying so is read from SDL.
void FeedOnFocus(void (*focus)(bool gained));

// A video restart loses SDL's queue and the window that saw the keys go
// down: what is queued is kept for the game, and afterwards the held keys
// and buttons are brought in line with what is really held.
void FeedHoldEvents();
void FeedAfterVideoRestart();

#endif
