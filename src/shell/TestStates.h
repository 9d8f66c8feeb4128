// SPDX-License-Identifier: MIT
// For the end-to-end tests, which wait on the game rather than on the clock:
// when they ask for it (EnvTestStates), one line on standard error, "State:
// NAME shown", as each picture they wait for reaches the screen. Otherwise
// the game says nothing more.
#pragma once

// intro, wave, bonus, game over: called once the picture has faded in.
void ReportShown(const char* name);
// After each frame of a wave is shown: "pause" or "play" when the pause was
// taken or left (and at the wave's first frame), "freeze" or "thaw" when a
// freeze began or ended, "mode" after a mode change once the new window has
// the keyboard.
void ReportWaveFrame();
