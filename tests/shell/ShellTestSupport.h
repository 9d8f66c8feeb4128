// SPDX-License-Identifier: MIT
// Helpers for the game shell's tests: SDL's event queue, a world with one
// ship.
#ifndef KORVALEND_SHELLTESTSUPPORT_H
#define KORVALEND_SHELLTESTSUPPORT_H

#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <string>

#include "TestSupport.h"
#include "WorldFixture.h"
#include "sys/Gamepad.h"
#include "shell/Korvalend3d.h"

// SDL's video subsystem with the dummy driver: an event queue, no screen.
inline void StartSdlOnce() {
    static bool started = false;
    if (started) return;
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    started = true;
}

// The world state as start-up leaves it, plus the one ship.
inline void StartWorldOnce() {
    StartSdlOnce();
    if (gThePlayer != nullptr) return;
    InitGlobals();
    gThePlayer = new Player();
    gThePlayer->NewGame();
}

using worldtest::ClearWorld;

// Everything queued, what the game's own source kept from a mode change too.
inline void DrainEvents() {
    SDL_Event event;
    while (FeedPollEvent(&event)) {
    }
}

// A fresh game: the world cleared, nothing queued, the ship new.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartWorldOnce();
        ClearWorld();
        DrainEvents();
        gThePlayer->NewGame();
    }
};

inline void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 0); }

inline SDL_Event EventOf(Uint8 type) {
    SDL_Event event{};
    event.type = type;
    return event;
}

inline void PushKey(SDLKey key, bool down, int mod = KMOD_NONE) {
    SDL_Event event = EventOf(down ? SDL_KEYDOWN : SDL_KEYUP);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.mod = static_cast<SDLMod>(mod);
    Push(event);
}

// A press and a release in one go, then the handler.
inline void Tap(SDLKey key, int mod = KMOD_NONE) {
    PushKey(key, true, mod);
    PushKey(key, false, mod);
    HandleInput();
}

inline void PushMotion(int xrel, int yrel) {
    SDL_Event event = EventOf(SDL_MOUSEMOTION);
    event.motion.xrel = static_cast<Sint16>(xrel);
    event.motion.yrel = static_cast<Sint16>(yrel);
    Push(event);
}

// The gamepad's events, as Gamepad_Pump makes them.
inline void PushPadAxis(int axis, int value) {
    SDL_Event event = EventOf(SDL_JOYAXISMOTION);
    event.jaxis.axis = static_cast<Uint8>(axis);
    event.jaxis.value = static_cast<Sint16>(value);
    Push(event);
}

// A mouse button, or with pad set a pad's button.
inline void PushButton(int button, bool down, bool pad = false) {
    SDL_Event event;
    if (pad) {
        event = EventOf(down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP);
        event.jbutton.button = static_cast<Uint8>(button);
        event.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    } else {
        event = EventOf(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
        event.button.button = static_cast<Uint8>(button);
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    }
    Push(event);
}

inline void PushPadButton(int button, bool down) { PushButton(button, down, true); }

// The window manager's request to close the window.
inline void PushQuit() { Push(EventOf(SDL_QUIT)); }

#endif
