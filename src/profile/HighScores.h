// SPDX-License-Identifier: MIT
// The ten best games, kept in the player's data folder (UserDataFolder) in
// the text file "scores", with each game's replay kept beside it in
// "replays/". Every game that enters is read, merged and written back under
// a lock, so games running at the same time lose no score.
#ifndef KORVALEND_HIGHSCORES_H
#define KORVALEND_HIGHSCORES_H

#include <string>
#include <vector>

const int HIGH_SCORE_PLACES = 10;
// The folder beside the table that keeps the recordings.
const char* const REPLAYS_FOLDER = "replays";

struct HighScore {
    int score = 0;
    int wave = 0;
    std::string date;    // YYYY-MM-DD
    std::string name;    // the player's login name
    std::string replay;  // file name of the kept replay in replays/, "" for none
};

// What the game-over picture shows.
struct ScoreBoard {
    std::vector<HighScore> table;  // best first, at most HIGH_SCORE_PLACES
    int newPlace = -1;             // this game's index in table, or -1
    bool cheated = false;          // this game is shown apart, unranked
    HighScore game;                // this game
};

// The index a score takes: below every entry it does not beat (an older
// equal score stays above), or -1 when the table is full and it is lower
// than or equal to the last.
int PlaceFor(const std::vector<HighScore>& table, int score);

// The file: a version line, then one entry a line, best first.
std::string FormatHighScores(const std::vector<HighScore>& table);
// False, with *why naming the line, for anything but a whole table.
bool ParseHighScores(const std::string& text, std::vector<HighScore>* table, std::string* why);

// This user's game of today.
HighScore ThisGame(int score, int wave);
// The entry with its score and wave brought into what the file holds (0 to
// 999 999 999), so that whatever is written reads back.
HighScore InTableRange(HighScore entry);

// Enters game into the table in folder and returns what to show. A cheated
// game is shown but never ranked. recording is the game's own recording (the
// bytes of its file, "" for none); an entry that enters keeps it in
// replays/, and the copy of an entry that drops off is deleted. A damaged table is
// reported, kept aside as "scores.bad" (or "scores.bad.1" and on, when
// earlier ones are there), and a fresh one starts; a folder that cannot be
// written, or a lock that another copy keeps for seconds, is reported and
// the table is only shown. An empty folder (no home) keeps and reads
// nothing, silently.
ScoreBoard RecordHighScore(const std::string& folder, const HighScore& game, bool cheated,
                           const std::string& recording);

#endif
