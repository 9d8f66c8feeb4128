// SPDX-License-Identifier: MIT
// Keyboard, mouse and gamepad: held controls of the ship, game commands
// and cheats.
#include <SDL/SDL.h>

#include <algorithm>
#include <cstdlib>

#include "sys/Gamepad.h"
#include "shell/Korvalend3d.h"
#include "shell/OptionsScreen.h"

bool invertControls = true;

namespace {
// Degrees of turn per pixel of mouse motion.
const double MOUSE_DEGREES_PER_PIXEL = 0.15;

// The held controls, shared by press and release. Returns false for keys
// that hold nothing.
bool SetHeldControl(SDLKey key, bool down) {
    Player* p = gThePlayer;
    switch (key) {
    case SDLK_TAB: p->shooting = down; return true;
    case SDLK_SPACE: p->shielding = down; return true;
    case SDLK_KP0: p->thrusting = down; return true;
    case SDLK_KP4: p->turningLeft = down; return true;
    case SDLK_KP6: p->turningRight = down; return true;
    case SDLK_KP7: p->rollingLeft = down; return true;
    case SDLK_KP9: p->rollingRight = down; return true;
    case SDLK_KP8:
        if (invertControls)
            p->nosingDown = down;
        else
            p->nosingUp = down;
        return true;
    case SDLK_KP5:
        if (invertControls)
            p->nosingUp = down;
        else
            p->nosingDown = down;
        return true;
    default: return false;
    }
}

// Cheat keys. Returns false for keys that are no cheat.
bool Cheat(SDLKey key) {
    Player* p = gThePlayer;
    switch (key) {
    case SDLK_0: gCheater = true; MakeNova(); return true;
    case SDLK_1: gCheater = true; MakeMultiplier(); return true;
    case SDLK_2: gCheater = true; MakePrize(); return true;
    case SDLK_3: gCheater = true; MakeBonus(); return true;
    case SDLK_4: gCheater = true; MakeDamagedShip(); return true;
    case SDLK_5: gCheater = true; MakeBigAsteroid(); return true;
    case SDLK_6: gCheater = true; MakeSteelRoid(); return true;
    case SDLK_7: gCheater = true; MakeGrav(); return true;
    case SDLK_8: gCheater = true; MakeEnemy(); return true;
    case SDLK_9: gCheater = true; MakeHoming(); return true;
    case SDLK_BACKQUOTE: gCheater = true; p->invincible = !p->invincible; return true;
    case SDLK_a: gCheater = true; p->airBrakes = !p->airBrakes; return true;
    case SDLK_i: gCheater = true; p->luckyIrish = !p->luckyIrish; return true;
    case SDLK_l: gCheater = true; p->longRange = !p->longRange; return true;
    case SDLK_m: gCheater = true; p->machineGuns = !p->machineGuns; return true;
    case SDLK_t: gCheater = true; p->tripleFire = !p->tripleFire; return true;
    case SDLK_f:
        gCheater = true;
        if (gFreezeTime == 0.0) {
            Sound::GetInstance()->PlaySound(FREEZE_SOUND);
            gFreezeTime = FREEZE_TIME;
        } else {
            gFreezeTime = 0.0;
        }
        return true;
    case SDLK_s:
        gCheater = true;
        p->TopUpShield();
        return true;
    case SDLK_n: gCheater = true; NovaExplosion(Vector3(0.0, 0.0, 0.0)); return true;
    case SDLK_k:
        gCheater = true;
        // A lost ship costs a ship from the reserve, but the reserve never
        // goes below empty: the game ends when it is empty.
        if (!p->alive && p->lives > 0) p->lives -= 1;
        p->Explode();
        return true;
    default: return false;
    }
}

bool IsModeKey(const SDL_keysym& keysym) {
    return keysym.sym == SDLK_F11 || keysym.sym == SDLK_F12 ||
           (keysym.sym == SDLK_RETURN && (keysym.mod & KMOD_ALT) != 0);
}

[[noreturn]] void Quit() {
    FeedQuit();
    QuitGame();
}

// The options over the paused wave; a recording never holds what they
// read, so its playback passes the key or button by.
void PausedOptions() {
    if (!FeedPlaying()) DoOptionsScreen([] { DrawScreen(0.0); }, true);
}

void KeyDown(const SDL_keysym& keysym) {
    if (gamePaused && keysym.sym == OPTIONS_KEY) {
        PausedOptions();
        return;
    }
    // A recording's own mode changes are left to whoever watches it.
    if (!(FeedPlaying() && IsModeKey(keysym))) HandleViewerKey(keysym);

    if (SetHeldControl(keysym.sym, true)) return;
    if (Cheat(keysym.sym)) return;

    switch (keysym.sym) {
    case SDLK_ESCAPE: gamePaused = !gamePaused; break;
    case SDLK_q:
        if (gamePaused) Quit();
        break;
    case SDLK_F9: ParticleEngine::particleEffectsOn = !ParticleEngine::particleEffectsOn; break;
    case SDLK_F10: invertControls = !invertControls; break;
    default: break;
    }
}

void MouseMotion(const SDL_MouseMotionEvent& motion) {
    double pitch = invertControls ? -motion.yrel : motion.yrel;
    double yaw = -motion.xrel;
    gThePlayer->RotateBy(Vector3(pitch, yaw, 0.0) * MOUSE_DEGREES_PER_PIXEL);
}

void MouseButton(Uint8 button, bool down) {
    switch (button) {
    case 1: gThePlayer->shooting = down; break;
    case 2: gThePlayer->shielding = down; break;
    case 3: gThePlayer->thrusting = down; break;
    default: break;
    }
}

// The gamepad, as the joystick events of Gamepad_Pump: SDL 2's
// game-controller numbering, the dead zone already taken out. What it holds
// goes to the ship's pad fields, never to the keys' flags; each held control
// has a bit per pad control, so that two of them (A and the right trigger
// both fire) do not release each other either.
void Hold(unsigned& held, unsigned bit, bool down) { held = down ? held | bit : held & ~bit; }
// Each control's bit: the buttons' numbers, the triggers' past them.
const unsigned FROM_A = 1u << PAD_A, FROM_B = 1u << PAD_B;
const unsigned FROM_LEFT_SHOULDER = 1u << PAD_LEFT_SHOULDER;
const unsigned FROM_RIGHT_SHOULDER = 1u << PAD_RIGHT_SHOULDER;
const unsigned FROM_LEFT_TRIGGER = 1u << (NUM_PAD_BUTTONS + PAD_LEFT_TRIGGER);
const unsigned FROM_RIGHT_TRIGGER = 1u << (NUM_PAD_BUTTONS + PAD_RIGHT_TRIGGER);

void PadAxisMotion(const SDL_JoyAxisEvent& motion) {
    Player* p = gThePlayer;
    double v = std::clamp(motion.value / double(PAD_AXIS_MAX), -1.0, 1.0);
    switch (motion.axis) {
    // Right turns right, forward is the keypad's 8 and right rolls right.
    case PAD_LEFT_X: p->padYaw = -v; break;
    case PAD_LEFT_Y: p->padPitch = invertControls ? -v : v; break;
    case PAD_RIGHT_X: p->padRoll = v; break;
    case PAD_LEFT_TRIGGER: Hold(p->padThrusting, FROM_LEFT_TRIGGER, v > 0.0); break;
    case PAD_RIGHT_TRIGGER: Hold(p->padShooting, FROM_RIGHT_TRIGGER, v > 0.0); break;
    default: break;
    }
}

void PadButtonChange(Uint8 button, bool down) {
    Player* p = gThePlayer;
    switch (button) {
    case PAD_A: Hold(p->padShooting, FROM_A, down); break;
    case PAD_B: Hold(p->padShielding, FROM_B, down); break;
    case PAD_LEFT_SHOULDER: Hold(p->padRollingLeft, FROM_LEFT_SHOULDER, down); break;
    case PAD_RIGHT_SHOULDER: Hold(p->padRollingRight, FROM_RIGHT_SHOULDER, down); break;
    case PAD_START:
        if (down) gamePaused = !gamePaused;
        break;
    case PAD_BACK:
        // At the pause the options, as the options key; else cockpit,
        // chase, fixed, and round again.
        if (!down) break;
        if (gamePaused) {
            PausedOptions();
            break;
        }
        if (gCurrentCamera != nullptr && gCurrentCamera->type == FIRST_PERSON)
            UseCamera(THIRD_PERSON);
        else if (gCurrentCamera != nullptr && gCurrentCamera->type == THIRD_PERSON)
            UseCamera(STATIC);
        else
            UseCamera(FIRST_PERSON);
        break;
    default: break;
    }
}
}  // namespace

// The old camera goes before the new one is made.
void UseCamera(CameraType type) {
    delete gCurrentCamera;
    gCurrentCamera = nullptr;
    gCurrentCamera = NewCamera(type, gThePlayer);
}

CameraType CurrentCameraType() { return gCurrentCamera != nullptr ? gCurrentCamera->type : FIRST_PERSON; }

bool HandleViewerKey(const SDL_keysym& keysym) {
    if (keysym.sym == SDLK_RETURN && (keysym.mod & KMOD_ALT) != 0) {
        Screen::GetInstance()->ToggleFullScreen();
        return true;
    }
    switch (keysym.sym) {
    case SDLK_F1: UseCamera(FIRST_PERSON); return true;
    case SDLK_F2: UseCamera(THIRD_PERSON); return true;
    case SDLK_F3: UseCamera(STATIC); return true;
    case SDLK_F11: Screen::GetInstance()->DecreaseResolution(); return true;
    case SDLK_F12: Screen::GetInstance()->IncreaseResolution(); return true;
    case SDLK_COMMA: Sound::GetInstance()->TurnVolumeDown(); return true;
    case SDLK_PERIOD: Sound::GetInstance()->TurnVolumeUp(); return true;
    case SDLK_LEFTBRACKET: Music::GetInstance()->TurnVolumeDown(); return true;
    case SDLK_RIGHTBRACKET: Music::GetInstance()->TurnVolumeUp(); return true;
    case SDLK_BACKSLASH: Music::GetInstance()->ToggleMode(); return true;
    case SDLK_QUOTE: Music::GetInstance()->NextSong(); return true;
    default: return false;
    }
}

void PauseOnFocusLoss(const SDL_Event& event) {
    if (event.type == SDL_ACTIVEEVENT && (event.active.state & SDL_APPINPUTFOCUS) != 0 && !event.active.gain)
        gamePaused = true;
}

void HandleInput() {
    SDL_Event event;
    while (FeedPollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN: KeyDown(event.key.keysym); break;
        case SDL_KEYUP: SetHeldControl(event.key.keysym.sym, false); break;
        case SDL_MOUSEMOTION: MouseMotion(event.motion); break;
        case SDL_MOUSEBUTTONDOWN: MouseButton(event.button.button, true); break;
        case SDL_MOUSEBUTTONUP: MouseButton(event.button.button, false); break;
        case SDL_JOYAXISMOTION: PadAxisMotion(event.jaxis); break;
        case SDL_JOYBUTTONDOWN: PadButtonChange(event.jbutton.button, true); break;
        case SDL_JOYBUTTONUP: PadButtonChange(event.jbutton.button, false); break;
        case SDL_QUIT: Quit();
        // The focus is seen to by FeedPollEvent, at every screen.
        default: break;
        }
    }
}
