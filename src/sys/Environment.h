// SPDX-License-Identifier: MIT
// The environment: every variable the game reads or sets is named here and
// nowhere else. The KORVALEND3D_TEST_ ones are hooks for the tests; a player
// never needs them.
#ifndef KORVALEND_ENVIRONMENT_H
#define KORVALEND_ENVIRONMENT_H

// A variable of the system or of a library (HOME, XDG_DATA_HOME, DISPLAY,
// SDL_VIDEODRIVER ...); null when unset.
const char* EnvValue(const char* name);
// Sets it for the libraries the game starts later (SDL reads its own at
// start-up); overwrite false keeps a value the player set.
void EnvSet(const char* name, const char* value, bool overwrite);
void EnvUnset(const char* name);

// KORVALEND3D_DATA: the data folder, before every other place looked at.
#define DATA_FOLDER_VARIABLE "KORVALEND3D_DATA"
const char* EnvDataFolder();

// KORVALEND3D_VSYNC=0 turns vertical sync off; so does a time demo, which
// draws as fast as it can (EnvTurnVsyncOff).
bool EnvVsyncWanted();
void EnvTurnVsyncOff();

// KORVALEND3D_SDL_SCALING=1: in full screen on a software renderer, SDL's
// layer scales the picture as it would elsewhere, not the game (to compare).
bool EnvSdlScaling();

// KORVALEND3D_TEST_STATES set: the game says "State: NAME shown" on
// standard error as each picture the end-to-end tests wait for is shown.
bool EnvTestStates();
// KORVALEND3D_TEST_FPS: a cap on a live game's frames a second, as vertical
// sync would give on a player's screen (the end-to-end tests run two games
// side by side on a software renderer, where an uncapped game takes a whole
// core). The seconds a frame takes at least; 0 for no cap.
double EnvTestFrameSeconds();
// KORVALEND3D_TEST_HOLD_FRAME=N: the game holds its Nth frame on the
// screen until it is told to quit, for pictures compared between builds;
// 0 for none.
unsigned long EnvTestHoldFrame();
// KORVALEND3D_TEST_REFUSE_MODES ("1024x768,800x600"): sizes the screen's
// driver is made to refuse, as a real one would.
bool EnvTestRefusesMode(int width, int height);
// KORVALEND3D_TEST_PAD: a file (a named pipe) of commands for a virtual
// gamepad; null or "" for none.
const char* EnvTestPad();

#endif
