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
    return s;
}

#endif
