// Keyboard and mouse: held controls of the ship, game commands and cheats.
#include <SDL/SDL.h>

#include <cstdlib>

#include "Korvalend3d.h"

bool invertControls = true;

namespace {
// Degrees of turn per pixel of mouse motion.
const double MOUSE_DEGREES_PER_PIXEL = 0.15;

// The old camera goes before the new one is made.
void DropCamera() {
    delete gCurrentCamera;
    gCurrentCamera = nullptr;
}

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

void KeyDown(const SDL_keysym& keysym) {
    if (keysym.sym == SDLK_RETURN && (keysym.mod & KMOD_ALT) != 0) screen->ToggleFullScreen();

    if (SetHeldControl(keysym.sym, true)) return;
    if (Cheat(keysym.sym)) return;

    switch (keysym.sym) {
    case SDLK_ESCAPE: gamePaused = !gamePaused; break;
    case SDLK_q:
        if (gamePaused) std::exit(0);
        break;
    case SDLK_F1: DropCamera(); gCurrentCamera = NewCamera(FIRST_PERSON, gThePlayer); break;
    case SDLK_F2: DropCamera(); gCurrentCamera = NewCamera(THIRD_PERSON, gThePlayer); break;
    case SDLK_F3: DropCamera(); gCurrentCamera = NewCamera(STATIC, gThePlayer); break;
    case SDLK_F9: ParticleEngine::particleEffectsOn = !ParticleEngine::particleEffectsOn; break;
    case SDLK_F10: invertControls = !invertControls; break;
    case SDLK_F11: Screen::GetInstance()->DecreaseResolution(); break;
    case SDLK_F12: Screen::GetInstance()->IncreaseResolution(); break;
    case SDLK_COMMA: Sound::GetInstance()->TurnVolumeDown(); break;
    case SDLK_PERIOD: Sound::GetInstance()->TurnVolumeUp(); break;
    case SDLK_LEFTBRACKET: Music::GetInstance()->TurnVolumeDown(); break;
    case SDLK_RIGHTBRACKET: Music::GetInstance()->TurnVolumeUp(); break;
    case SDLK_BACKSLASH: Music::GetInstance()->ToggleMode(); break;
    case SDLK_QUOTE: Music::GetInstance()->NextSong(); break;
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
}  // namespace

void HandleInput() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN: KeyDown(event.key.keysym); break;
        case SDL_KEYUP: SetHeldControl(event.key.keysym.sym, false); break;
        case SDL_MOUSEMOTION: MouseMotion(event.motion); break;
        case SDL_MOUSEBUTTONDOWN: MouseButton(event.button.button, true); break;
        case SDL_MOUSEBUTTONUP: MouseButton(event.button.button, false); break;
        case SDL_QUIT: std::exit(0);
        default: break;
        }
    }
}
