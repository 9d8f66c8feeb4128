// SPDX-License-Identifier: MIT
#include "sys/Gamepad.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "shell/MyError.h"
#include "sys/Sdl2Library.h"
#include "sys/VirtualPad.h"

namespace {
struct Pad {
    void* controller = nullptr;
    std::string name;
    // What the events pushed so far have told the game.
    int axes[NUM_PAD_AXES] = {};
    bool buttons[NUM_PAD_BUTTONS] = {};
    // The joystick count at the last look for a pad: a new look only when
    // it changes, not every frame.
    int joysticksSeen = -1;
};
Pad pad;
int deadZone = PAD_DEAD_ZONE;

void PushAxis(int axis, int value) {
    if (pad.axes[axis] == value) return;
    SDL_Event event{};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.which = 0;
    event.jaxis.axis = static_cast<Uint8>(axis);
    event.jaxis.value = static_cast<Sint16>(value);
    if (SDL_PushEvent(&event) == 0) pad.axes[axis] = value;
}

void PushButton(int button, bool down) {
    if (pad.buttons[button] == down) return;
    SDL_Event event{};
    event.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton.which = 0;
    event.jbutton.button = static_cast<Uint8>(button);
    event.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    if (SDL_PushEvent(&event) == 0) pad.buttons[button] = down;
}

void ReleaseAll() {
    for (int a = 0; a < NUM_PAD_AXES; ++a) PushAxis(a, 0);
    for (int b = 0; b < NUM_PAD_BUTTONS; ++b) PushButton(b, false);
}

void LosePad(const Sdl2Controllers& sdl) {
    ReleaseAll();
    sdl.GameControllerClose(pad.controller);
    pad.controller = nullptr;
    error("Gamepad: %s disconnected\n", pad.name.c_str());
    pad.joysticksSeen = -1;
}

void FindPad(const Sdl2Controllers& sdl) {
    int count = sdl.NumJoysticks();
    if (count == pad.joysticksSeen) return;
    pad.joysticksSeen = count;
    for (int i = 0; i < count; ++i) {
        if (!sdl.IsGameController(i)) continue;
        pad.controller = sdl.GameControllerOpen(i);
        if (pad.controller == nullptr) continue;
        const char* name = sdl.GameControllerName(pad.controller);
        pad.name = name != nullptr ? name : "unnamed pad";
        error("Gamepad: %s connected\n", pad.name.c_str());
        return;
    }
}
}  // namespace

void PadSetDeadZone(int distance) { deadZone = std::clamp(distance, 0, PAD_AXIS_MAX - 1); }

int PadAxisAfterDeadZone(int reading) {
    int distance = std::min(std::abs(reading), PAD_AXIS_MAX);
    if (distance <= deadZone) return 0;
    int value = (distance - deadZone) * PAD_AXIS_MAX / (PAD_AXIS_MAX - deadZone);
    return reading < 0 ? -value : value;
}

void Gamepad_Pump() {
    const Sdl2Controllers* sdl = GetSdl2Controllers();
    if (sdl == nullptr) return;
    VirtualPad_ReadCommands();
    // Explicitly, so the state is fresh whoever pumps SDL's events.
    sdl->GameControllerUpdate();
    if (pad.controller != nullptr && !sdl->GameControllerGetAttached(pad.controller)) LosePad(*sdl);
    if (pad.controller == nullptr) FindPad(*sdl);
    if (pad.controller == nullptr) return;
    for (int a = 0; a < NUM_PAD_AXES; ++a)
        PushAxis(a, PadAxisAfterDeadZone(sdl->GameControllerGetAxis(pad.controller, a)));
    for (int b = 0; b < NUM_PAD_BUTTONS; ++b)
        PushButton(b, sdl->GameControllerGetButton(pad.controller, b) != 0);
}
