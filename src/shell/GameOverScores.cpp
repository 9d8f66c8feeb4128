// SPDX-License-Identifier: MIT
#include "GameOverScores.h"

#include "../render/ScoreTable.h"
#include "../world/Player.h"
#include "Feed.h"
#include "Globals.h"
#include "HighScores.h"
#include "UserFiles.h"

namespace {
ScoreBoard lastBoard;
}  // namespace

void RecordGameOverScore() {
    if (gThePlayer == nullptr) return;
    // The game's own recording, from memory: the last game's file may by
    // now hold another copy's game.
    lastBoard = RecordHighScore(UserDataFolder(), ThisGame(gThePlayer->score, gWave), gCheater, FeedGameRecording());
}

void DrawGameOverScores() { DrawScoreTable(lastBoard); }
