// SPDX-License-Identifier: MIT
// The high-score table of the game-over picture: the game just over goes
// into the table before the picture comes, and the table is drawn into the
// picture before each of its fades.
#ifndef KORVALEND_GAMEOVERSCORES_H
#define KORVALEND_GAMEOVERSCORES_H

// Enters the ship's score and gWave (shown only, when gCheater is set).
void RecordGameOverScore();
// The table as the last RecordGameOverScore left it, into the back buffer.
void DrawGameOverScores();

#endif
