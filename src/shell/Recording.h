// SPDX-License-Identifier: MIT
// The game's recordings: each game written down as it is played (every
// clock reading and event the feed gives it, and a world checksum every few
// seconds), and a recording played back as a source of the feed, proving
// with each checksum that it plays the same game.
#ifndef KORVALEND_RECORDING_H
#define KORVALEND_RECORDING_H

#include <cstdint>
#include <string>

#include "profile/Replay.h"

// The seed of the random source at start-up (a playback's own).
Uint32 FeedSeed();

// replays/last.kvr in the player's data folder: every game is recorded
// there; "" without a home folder.
std::string LastRecordingPath();
// Records the games from now on to LastRecordingPath (making its folder),
// or says why not.
void RecordGames();

// Recording: games begun from now on are written to path (the folder must
// exist); "" records nothing.
void FeedRecordTo(const std::string& path);
// Playback of a recording; paced plays it in its own time, otherwise as fast
// as frames can be drawn (the time demo). False, with why, when the file
// cannot be read or was made by another version.
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

// A checksum of the world: every object's kind, position, orientation and
// velocity, and the ship's score, lives, bonus and the wave.
uint64_t WorldChecksum();
// A hash of what in the data files changes play: the models' sizes.
uint64_t DataHash();

#endif
