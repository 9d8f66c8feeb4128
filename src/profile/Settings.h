// SPDX-License-Identifier: MIT
// What the player chose in the last run (the screen, the camera, the music,
// the volumes, the controls and their keys and buttons, and the particles), kept in UserConfigFolder()
// as "settings", a commented file of "key = value" lines, written at quit
// and read at start.
#ifndef KORVALEND_SETTINGS_H
#define KORVALEND_SETTINGS_H

#include <string>

#include "profile/Bindings.h"
#include "sys/Gamepad.h"

// What the file takes for the mouse's sensitivity and the sticks' dead zone.
const double LEAST_MOUSE_SENSITIVITY = 0.1, MOST_MOUSE_SENSITIVITY = 5.0;
const int MOST_PAD_DEAD_ZONE = 30000;

// The defaults are what the game starts with when nothing is remembered.
struct Settings {
    bool fullScreen = true;
    int fullScreenMode = 1;  // the screen's modes 0 ... 5, 640 x 480 up
    int windowedMode = 1;
    int camera = 0;     // 0 cockpit, 1 chase, 2 fixed (the shell's CameraType)
    int musicMode = 0;  // 0 arcade beat, 1 songs, 2 off (audio's MusicModeT)
    int effectsVolume = 64;
    int musicVolume = 128;
    bool invertControls = true;
    bool particles = true;
    // The world drawn brighter (above 1) or darker, the HUD as it is; 0.5 to 2.
    double brightness = 1.0;
    bool verticalSync = true;
    // Frames a second and the frame time, in a corner of the HUD.
    bool frameCounter = false;
    Bindings bindings = DefaultBindings();
    double mouseSensitivity = 1.0;  // pixels of turn for a pixel of motion
    int padDeadZone = PAD_DEAD_ZONE;  // of the sticks' 0..32767

    bool operator==(const Settings& other) const;
};

// "" when there is no home folder.
std::string SettingsPath();

// The file's text, and back. Each line that is neither blank, a comment,
// nor a known key with a good value is reported once, naming source and the
// line, and left out; the rest of the file still counts. An action's line
// ("bind_fire = tab |  | Mouse1 | PadA": two keys, a mouse button, a pad
// button) keeps its good names without the bad; a name given to a second
// place leaves the first (said when both were in the file).
std::string FormatSettings(const Settings& settings);
Settings ParseSettings(const std::string& text, const std::string& source);

// The remembered settings; the defaults, silently, when there are none.
Settings LoadSettings();
// Written whole or not at all; false after a message (or, with no home
// folder, silently: that was said once).
bool SaveSettings(const Settings& settings);

#endif
