// SPDX-License-Identifier: MIT
// What the player chose in the last run (the screen, the camera, the music,
// the volumes, the controls and the particles), kept in UserConfigFolder()
// as "settings", a commented file of "key = value" lines, written at quit
// and read at start.
#ifndef KORVALEND_SETTINGS_H
#define KORVALEND_SETTINGS_H

#include <string>

#include "audio/Music.h"
#include "render/Camera.h"

// The defaults are what the game starts with when nothing is remembered.
struct Settings {
    bool fullScreen = true;
    int fullScreenMode = 1;  // the screen's modes 0 ... 5, 640 x 480 up
    int windowedMode = 1;
    CameraType camera = FIRST_PERSON;
    int musicMode = MUSIC_ARCADE_MODE;
    int effectsVolume = 64;
    int musicVolume = 128;
    bool invertControls = true;
    bool particles = true;

    bool operator==(const Settings& other) const;
};

// "" when there is no home folder.
std::string SettingsPath();

// The file's text, and back. Each line that is neither blank, a comment,
// nor a known key with a good value is reported once, naming source and the
// line, and left out; the rest of the file still counts.
std::string FormatSettings(const Settings& settings);
Settings ParseSettings(const std::string& text, const std::string& source);

// The remembered settings; the defaults, silently, when there are none.
Settings LoadSettings();
// Written whole or not at all; false after a message (or, with no home
// folder, silently: that was said once).
bool SaveSettings(const Settings& settings);

// From the running game: the screen's modes, the camera, the music and
// effects, the inversion and the particles.
Settings CaptureSettings();
// Before Screen::Init: the kind and modes the screen starts in.
void ApplyStartMode(const Settings& settings);
// Once the screen is up: everything else. The sound servers are reached
// only for values that differ from their own start, so that remembered
// defaults change nothing at all. The camera waits for StartCamera.
void ApplySettings(const Settings& settings);
// The camera the first game is seen through.
Camera* StartCamera(Object* viewed);
// For atexit: what the game runs with now, saved.
void SaveSettingsAtQuit();

#endif
