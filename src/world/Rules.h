// SPDX-License-Identifier: MIT
// Numbers the game's rules fix, named once for every module that uses them.
#ifndef KORVALEND_RULES_H
#define KORVALEND_RULES_H

// The arena is a cube reaching this far from the centre on every axis.
const double ARENA_HALF_SIZE = 25.0;
// A lifetime that is never counted down.
const double FOREVER = 1e30;
// A top speed that is never reached.
const double NO_SPEED_LIMIT = FOREVER;
// Seconds a freeze lasts, whether a prize or the freeze key starts it.
const double FREEZE_TIME = 20.0;
// The most shield a ship holds; the HUD's bar is full at this level.
const double SHIELD_CAP = 8.0;

#endif
