// SPDX-License-Identifier: MIT
// The high-score table drawn over the game-over picture.
#ifndef KORVALEND_SCORETABLE_H
#define KORVALEND_SCORETABLE_H

struct ScoreBoard;

// Into the back buffer, below the picture's words: rank, score, wave, date
// and name of each entry on a dark panel, the new entry highlighted, and a
// cheated game on a line of its own below, marked "CHEATER". Nothing at all
// when there is no font to write with.
void DrawScoreTable(const ScoreBoard& board);

#endif
