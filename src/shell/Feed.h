// SPDX-License-Identifier: MIT
// The one source of the game's time and input. Every clock reading and every
// event the game handles comes through here: live from SDL (and written down
// when a game is being recorded), read back from a recording, or simulated
// for the tests (a clock that moves only when a frame is shown or a wait
// waits, and the events the test pushes).
#ifndef KORVALEND_FEED_H
#define KORVALEND_FEED_H

#include <SDL/SDL.h>

#include <string>

#include "Replay.h"

// The clock in milliseconds. Live it counts from start-up and never goes
// back, whatever becomes of SDL's subsystems.
Uint32 FeedTicks();
// The seed of the random source at start-up.
Uint32 FeedSeed();
// The next event for the game; false when none is pending.
bool FeedPollEvent(SDL_Event* event);
// A waiting loop's pause between two looks at the clock and the events.
void FeedIdle();
// A fixed wait (SDL_Delay when live; nothing when read back, where the
// recorded clock already says how long it lasted).
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

// Recording: games begun from now on are written to path (the folder must
// exist); "" records nothing.
void FeedRecordTo(const std::string& path);
// Playback of a recording; paced plays it in its own time, otherwise as fast
// as frames can be drawn (the time demo). False, with why, when the file
// cannot be read or was made by another version or with other data.
bool FeedPlayBack(const std::string& path, bool paced, std::string& why);
bool FeedPlaying();
const ReplayHeader& FeedPlaybackHeader();

// A game begins (its recording starts here, from the state the game is in)
// and ends (the recording is closed and written; a playback ends the process
// with its verdict).
void FeedBeginGame();
void FeedEndGame();
// The whole recording of the game just over, as its file holds it ("" when
// it was not recorded), until the next game begins: its score keeps this,
// whatever another copy of the game has since written to the same file.
const std::string& FeedGameRecording();
// The player quits: a playback says the recording ends here.
void FeedQuit();
// Writes what has been recorded so far, so a game cut short keeps its part
// (only what is new is compressed).
void FeedSaveRecording();
// The world's checksum: recorded, or compared with the recording, when
// CHECKSUM_MILS have passed since the last, or at once when forced.
const Uint32 CHECKSUM_MILS = 2000;
void FeedCheckpoint(bool force);

// A video restart loses SDL's queue and the window that saw the keys go
// down: what is queued is kept for the game, and afterwards the held keys
// and buttons are brought in line with what is really held.
void FeedHoldEvents();
void FeedAfterVideoRestart();

#endif
