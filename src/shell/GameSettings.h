// SPDX-License-Identifier: MIT
// The player's settings as the running game has them: taken from it at
// quit, and given to it at start.
#ifndef KORVALEND_GAMESETTINGS_H
#define KORVALEND_GAMESETTINGS_H

#include "profile/Settings.h"
#include "render/Camera.h"

// From the running game: the screen's modes and vertical sync, the camera,
// the music and effects, the controls, the particles, the brightness and
// the frame counter.
Settings CaptureSettings();
// Before Screen::Init: the kind and modes the screen starts in.
void ApplyStartMode(const Settings& settings);
// Once the screen is up: everything else. The sound servers are reached
// only for values that differ from their own start, so that remembered
// defaults change nothing at all. The camera waits for StartCamera.
void ApplySettings(const Settings& settings);
// The camera the first game is seen through.
Camera* StartCamera(Object* viewed);
// The camera from now on: the one seen through, or, before the first
// game, the one it starts with.
void ChooseCamera(CameraType type);
// For atexit: what the game runs with now, saved.
void SaveSettingsAtQuit();

#endif
