// SPDX-License-Identifier: MIT
#include "shell/GameOverScores.h"

#include "render/ScoreTable.h"
#include "world/Player.h"
#include "shell/Recording.h"
#include "shell/Globals.h"
#include "profile/HighScores.h"
#include "sys/UserFiles.h"

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
