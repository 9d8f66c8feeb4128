// SPDX-License-Identifier: MIT
#include "profile/HighScores.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "shell/MyError.h"
#include "sys/UserFiles.h"

namespace {
const char* const VERSION_LINE = "korvalend3d scores 1";
const size_t MOST_NAME_CHARS = 32;
const size_t MOST_REPLAY_CHARS = 64;
// Counts are written with at most nine digits (ParseCount).
const int MOST_COUNT = 999999999;
// How long a game over waits for another copy of the game to let go of the
// table: a copy writing it holds it for a moment; one stopped (or hung)
// while holding it would hold it for ever.
const int LOCK_WAIT_MILS = 3000;
const int LOCK_LOOK_MILS = 20;
// Damaged tables kept aside: scores.bad, then scores.bad.1 and on.
const int MOST_KEPT_DAMAGED = 1000;

bool AllDigits(const std::string& s, size_t from, size_t count) {
    if (from + count > s.size()) return false;
    for (size_t i = from; i < from + count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// A count of at most nine digits, so that it always fits an int.
bool ParseCount(const std::string& s, int* value) {
    if (s.empty() || s.size() > 9 || !AllDigits(s, 0, s.size())) return false;
    *value = std::atoi(s.c_str());
    return true;
}

bool ValidDate(const std::string& s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    if (!AllDigits(s, 0, 4) || !AllDigits(s, 5, 2) || !AllDigits(s, 8, 2)) return false;
    int month = std::atoi(s.substr(5, 2).c_str()), day = std::atoi(s.substr(8, 2).c_str());
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool ValidName(const std::string& s) {
    if (s.empty() || s.size() > MOST_NAME_CHARS) return false;
    for (char c : s)
        if (c <= ' ' || c > '~') return false;
    return true;
}

// A plain file name in replays/, never a path.
bool ValidReplay(const std::string& s) {
    if (s.empty() || s.size() > MOST_REPLAY_CHARS || s[0] == '.') return false;
    for (char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
              c == '_' || c == '-'))
            return false;
    return true;
}

// The login name as one word of printable characters, as the file keeps it.
std::string PlayerName() {
    std::string name = LoginName();
    if (name.size() > MOST_NAME_CHARS) name.resize(MOST_NAME_CHARS);
    for (char& c : name)
        if (c <= ' ' || c > '~') c = '_';
    return name.empty() ? "player" : name;
}

// The lock on the table: held from the read to the write, waited for
// LOCK_WAIT_MILS at most.
struct TableLock : FileLock {
    explicit TableLock(const std::string& folder)
        : FileLock(MakeFolders(folder) ? folder + "/scores.lock" : "", LOCK_WAIT_MILS, LOCK_LOOK_MILS) {}
};

// The first free name for a damaged table: file.bad, file.bad.1, ...
std::string SetAside(const std::string& file) {
    for (int n = 0; n < MOST_KEPT_DAMAGED; ++n) {
        const std::string aside = file + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
        // An earlier damaged table stays.
        if (MoveIfFree(file, aside)) return aside;
        if (errno != EEXIST) return "";
    }
    errno = EEXIST;
    return "";
}

// The table in the file; none when there is no file. A damaged one is set
// aside; one that cannot be read or set aside is left alone and not
// written over (*writable goes false).
std::vector<HighScore> LoadTable(const std::string& file, bool* writable) {
    std::vector<HighScore> table;
    std::string text, why;
    if (!ReadFileBytes(file, &text)) {
        // No folder (or a file where the folder should be): no table yet.
        if (errno != ENOENT && errno != ENOTDIR) {
            error("High scores: cannot read \"%s\" (%s); it is left as it is and this game's score is not kept\n",
                  file.c_str(), std::strerror(errno));
            *writable = false;
        }
        return table;
    }
    if (ParseHighScores(text, &table, &why)) return table;
    table.clear();
    std::string aside;
    if (*writable && !(aside = SetAside(file)).empty()) {
        error("High scores: \"%s\" is damaged (%s); it is kept as \"%s\" and a fresh table starts\n",
              file.c_str(), why.c_str(), aside.c_str());
    } else {
        error("High scores: \"%s\" is damaged (%s); a fresh table is shown\n", file.c_str(), why.c_str());
        *writable = false;
    }
    return table;
}

// A copy of the recording under a new name in folder/replays; the name, or
// "" when there is no recording or it could not be kept.
std::string KeepReplay(const std::string& folder, const std::string& recording) {
    if (recording.empty()) return "";
    const std::string replays = folder + "/" + REPLAYS_FOLDER;
    const std::string extension = ".kvr";
    // The name is taken first, so that no other game can take it; the copy
    // then replaces the empty file whole.
    const std::string name = MakeFolders(replays) ? ClaimNewFile(replays + "/game-", extension) : "";
    if (name.empty() || !WriteFileAtomically(name, recording)) {
        error("High scores: cannot keep the replay in \"%s\" (%s); the entry keeps none\n", replays.c_str(),
              std::strerror(errno));
        if (!name.empty()) RemoveFile(name);
        return "";
    }
    return name.substr(replays.size() + 1);
}

void DeleteReplay(const std::string& folder, const HighScore& entry) {
    if (entry.replay.empty()) return;
    std::string path = folder + "/" + REPLAYS_FOLDER + "/" + entry.replay;
    if (!RemoveFile(path) && errno != ENOENT)
        error("High scores: cannot delete \"%s\" (%s)\n", path.c_str(), std::strerror(errno));
}
}  // namespace

int PlaceFor(const std::vector<HighScore>& table, int score) {
    size_t place = 0;
    while (place < table.size() && table[place].score >= score) ++place;
    return place < size_t(HIGH_SCORE_PLACES) ? int(place) : -1;
}

std::string FormatHighScores(const std::vector<HighScore>& table) {
    std::string text = std::string(VERSION_LINE) + "\n";
    for (const HighScore& entry : table)
        text += std::to_string(entry.score) + " " + std::to_string(entry.wave) + " " + entry.date + " " +
                entry.name + " " + (entry.replay.empty() ? "-" : entry.replay) + "\n";
    return text;
}

bool ParseHighScores(const std::string& text, std::vector<HighScore>* table, std::string* why) {
    table->clear();
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != VERSION_LINE) {
        *why = "line 1 is not \"" + std::string(VERSION_LINE) + "\"";
        return false;
    }
    for (int number = 2; std::getline(lines, line); ++number) {
        const std::string where = "line " + std::to_string(number);
        std::istringstream fields(line);
        std::string score, wave, replay, extra;
        HighScore entry;
        if (!(fields >> score >> wave >> entry.date >> entry.name >> replay) || (fields >> extra)) {
            *why = where + " is not five fields";
            return false;
        }
        if (!ParseCount(score, &entry.score) || !ParseCount(wave, &entry.wave) || !ValidDate(entry.date) ||
            !ValidName(entry.name) || (replay != "-" && !ValidReplay(replay))) {
            *why = where + " has a bad field";
            return false;
        }
        if (replay != "-") entry.replay = replay;
        if (table->size() == size_t(HIGH_SCORE_PLACES)) {
            *why = where + " is one entry too many";
            return false;
        }
        if (!table->empty() && table->back().score < entry.score) {
            *why = where + " is out of order";
            return false;
        }
        table->push_back(entry);
    }
    return true;
}

HighScore InTableRange(HighScore entry) {
    entry.score = std::clamp(entry.score, 0, MOST_COUNT);
    entry.wave = std::clamp(entry.wave, 0, MOST_COUNT);
    return entry;
}

HighScore ThisGame(int score, int wave) {
    HighScore game;
    game.score = score;
    game.wave = wave;
    game.date = TodaysDate();
    game.name = PlayerName();
    return game;
}

ScoreBoard RecordHighScore(const std::string& folder, const HighScore& game, bool cheated,
                           const std::string& recording) {
    ScoreBoard board;
    board.game = InTableRange(game);
    board.game.replay.clear();
    board.cheated = cheated;

    // No home folder: nothing is kept (UserDataFolder said so once), and no
    // table is read from "/scores".
    if (folder.empty()) {
        if (!cheated) {
            board.table.push_back(board.game);
            board.newPlace = 0;
        }
        return board;
    }

    TableLock lock(folder);
    // A lock file left by an earlier game opens even where the folder has
    // since become read-only.
    bool writable = lock.Held() && CanWriteIn(folder);
    if (lock.Busy())
        error("High scores: another copy of the game has held \"%s/scores.lock\" for %d seconds; the table is "
              "shown but this game's score is not kept\n",
              folder.c_str(), LOCK_WAIT_MILS / 1000);
    else if (!writable)
        error("High scores: cannot write in \"%s\" (%s); the table is shown but not kept\n", folder.c_str(),
              std::strerror(errno));
    const std::string file = folder + "/scores";
    // Written tables are only ever replaced whole, so one can be read
    // without the lock.
    board.table = LoadTable(file, &writable);
    if (cheated) return board;

    int place = PlaceFor(board.table, game.score);
    if (place < 0) return board;
    HighScore entry = board.game;
    if (writable) entry.replay = KeepReplay(folder, recording);
    board.table.insert(board.table.begin() + place, entry);
    std::vector<HighScore> dropped(board.table.begin() + std::min<size_t>(board.table.size(), HIGH_SCORE_PLACES),
                                   board.table.end());
    board.table.resize(std::min<size_t>(board.table.size(), HIGH_SCORE_PLACES));
    board.newPlace = place;
    if (!writable) return board;

    if (WriteFileAtomically(file, FormatHighScores(board.table))) {
        for (const HighScore& gone : dropped) DeleteReplay(folder, gone);
    } else {
        error("High scores: cannot write \"%s\" (%s); this game's score is not kept\n", file.c_str(),
              std::strerror(errno));
        DeleteReplay(folder, entry);
        board.table[size_t(place)].replay.clear();
    }
    return board;
}
