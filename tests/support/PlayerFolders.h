// SPDX-License-Identifier: MIT
// The player's folders for a test, and settings that differ from every
// default.
#ifndef KORVALEND_PLAYERFOLDERS_H
#define KORVALEND_PLAYERFOLDERS_H

#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "profile/Settings.h"

// The player's folders, fresh for each test, never the real home's.
class PlayerFolders : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", home.File("config").c_str(), 1);
        setenv("XDG_DATA_HOME", home.File("data").c_str(), 1);
    }
    TempDir home{"korvalend_home"};
};

// Every setting away from its default, at the ends of the ranges.
inline Settings AllChangedSettings() {
    Settings s;
    s.fullScreen = false;
    s.fullScreenMode = 5;
    s.windowedMode = 0;
    s.camera = 2;     // fixed
    s.musicMode = 1;  // songs
    s.effectsVolume = 0;
    s.musicVolume = 255;
    s.invertControls = false;
    s.particles = false;
    s.brightness = 2.0;
    s.verticalSync = false;
    s.frameCounter = true;
    // Names with spaces, bars' neighbours and the file's own "=" and "#".
    Bind(s.bindings, Action::FIRE, KEY_1, "e", nullptr);
    Bind(s.bindings, Action::FIRE, KEY_2, "=", nullptr);
    Bind(s.bindings, Action::THRUST, KEY_1, "#", nullptr);
    Bind(s.bindings, Action::SHIELD, KEY_2, "right ctrl", nullptr);
    Bind(s.bindings, Action::PAUSE, MOUSE_BUTTON, "Mouse5", nullptr);
    Bind(s.bindings, Action::PAUSE, PAD_BUTTON, "", nullptr);
    s.mouseSensitivity = 0.1;
    s.padDeadZone = MOST_PAD_DEAD_ZONE;
    return s;
}

#endif
