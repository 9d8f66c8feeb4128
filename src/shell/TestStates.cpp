// SPDX-License-Identifier: MIT
#include "shell/TestStates.h"

#include <SDL/SDL.h>

#include "shell/Korvalend3d.h"
#include "sys/Environment.h"

namespace {
bool Enabled() { return EnvTestStates(); }

// What the last frame of a wave showed; unknown at a wave's start.
struct Shown {
    bool known = false;
    bool paused = false;
    bool frozen = false;
    bool fullScreen = false;
    int fullScreenMode = 0;
    int windowedMode = 0;
};
Shown last;
// A new mode is reported once its window has the keyboard: keys pressed
// before then would go to no window of the game.
bool modePending = false;
}  // namespace

void ReportShown(const char* name) {
    if (!Enabled()) return;
    error("State: %s shown\n", name);
    last.known = false;
}

void ReportWaveFrame() {
    if (!Enabled() || screen == nullptr) return;
    Shown now;
    now.known = true;
    now.paused = gamePaused;
    now.frozen = gFreezeTime > 0.0;
    now.fullScreen = screen->InFullScreen();
    now.fullScreenMode = screen->FullScreenVideoMode();
    now.windowedMode = screen->WindowedVideoMode();
    if (last.known && (now.fullScreen != last.fullScreen || now.fullScreenMode != last.fullScreenMode ||
                       now.windowedMode != last.windowedMode))
        modePending = true;
    if (modePending && (SDL_GetAppState() & SDL_APPINPUTFOCUS) != 0) {
        error("State: mode shown\n");
        modePending = false;
    }
    if (!last.known || now.paused != last.paused) error("State: %s shown\n", now.paused ? "pause" : "play");
    if (now.frozen != (last.known && last.frozen))
        error("State: %s shown\n", now.frozen ? "freeze" : "thaw");
    last = now;
}
