// SPDX-License-Identifier: MIT
// The SDL 2 library that sdl12-compat runs on, reached at run time for what
// the SDL 1.2 API lacks: the game-controller mapping, which gives every
// common pad the same layout. Only the few functions the pad needs.
#ifndef KORVALEND_SDL2LIBRARY_H
#define KORVALEND_SDL2LIBRARY_H

#include <cstdint>

struct Sdl2Controllers {
    int (*NumJoysticks)();
    int (*IsGameController)(int deviceIndex);
    void* (*GameControllerOpen)(int deviceIndex);
    void (*GameControllerClose)(void* pad);
    int (*GameControllerGetAttached)(void* pad);
    int16_t (*GameControllerGetAxis)(void* pad, int axis);
    uint8_t (*GameControllerGetButton)(void* pad, int button);
    const char* (*GameControllerName)(void* pad);
    void (*GameControllerUpdate)();
    // Virtual joysticks (tests); null where the library has none.
    int (*JoystickAttachVirtual)(int type, int axes, int buttons, int hats);
    int (*JoystickDetachVirtual)(int deviceIndex);
    void* (*JoystickOpen)(int deviceIndex);
    void (*JoystickClose)(void* joystick);
    int (*JoystickSetVirtualAxis)(void* joystick, int axis, int16_t value);
    int (*JoystickSetVirtualButton)(void* joystick, int button, uint8_t value);
};

// The functions, with SDL 2's game-controller subsystem started, on the
// first call; null, silently and for good, when SDL 2 is not loaded, lacks
// one of them or cannot start the subsystem.
const Sdl2Controllers* GetSdl2Controllers();

#endif
