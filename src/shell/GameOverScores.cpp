// SPDX-License-Identifier: MIT
#include "GameOverScores.h"

#include "../render/ScoreTable.h"
#include "../world/Player.h"
#include "Globals.h"
#include "HighScores.h"
#include "UserFiles.h"

namespace {
ScoreBoard lastBoard;
}  // namespace

std::string GameRecordingPath() { return UserDataFolder() + "/replays/last.kvr"; }

void RecordGameOverScore() {
    if (gThePlayer == nullptr) return;
    lastBoard = RecordHighScore(UserDataFolder(), ThisGame(gThePlayer->score, gWave), gCheater, GameRecordingPath());
}

void DrawGameOverScores() { DrawScoreTable(lastBoard); }
