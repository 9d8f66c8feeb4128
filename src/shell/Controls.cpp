// SPDX-License-Identifier: MIT
#include "shell/Controls.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "shell/GameStates.h"
#include "shell/Recording.h"
#include "sys/Feed.h"
#include "sys/Gamepad.h"

namespace {
// Every key and button as one number: a key's symbol, a mouse button past
// MOUSE, a pad button past PAD.
const int MOUSE = 1000, PAD = 2000;
const int DROPPED = -1;

// The game's own key, mouse button and pad button of each action (-1:
// none on that device).
struct Own {
    int key, mouse, pad;
};
const Own OWN[ACTION_COUNT] = {
    {SDLK_TAB, 1, PAD_A},  {SDLK_SPACE, 2, PAD_B}, {SDLK_KP0, 3, -1},
    {SDLK_KP4, -1, -1},    {SDLK_KP6, -1, -1},     {SDLK_KP8, -1, -1},
    {SDLK_KP5, -1, -1},    {SDLK_KP7, -1, PAD_LEFT_SHOULDER},
    {SDLK_KP9, -1, PAD_RIGHT_SHOULDER},            {SDLK_ESCAPE, -1, PAD_START}};

struct State {
    bool on = true;
    Settings in;  // the controls' own fields only
    std::map<int, int> target;  // a bound input: the game's own for its action
    std::set<int> dropped;      // the game's own no longer bound
    std::map<int, int> held;    // a pressed input: what its press became
    double carryX = 0.0, carryY = 0.0;
};

State& S() {
    static State state;
    return state;
}

int InputOfName(const std::string& name, int slot) {
    switch (slot) {
    case MOUSE_BUTTON: return MouseButtonOfName(name) < 0 ? -1 : MOUSE + MouseButtonOfName(name);
    case PAD_BUTTON: return PadButtonOfName(name) < 0 ? -1 : PAD + PadButtonOfName(name);
    default: return KeyOfName(name);
    }
}

// The game's own for an action, on the device of SLOT where it has one.
int OwnInput(int action, int slot) {
    const Own& own = OWN[action];
    if (slot == MOUSE_BUTTON && own.mouse >= 0) return MOUSE + own.mouse;
    if (slot == PAD_BUTTON && own.pad >= 0) return PAD + own.pad;
    return own.key;
}

void BuildTables(State& s) {
    s.target.clear();
    s.dropped.clear();
    for (int a = 0; a < ACTION_COUNT; ++a)
        for (int slot = 0; slot < BINDING_SLOTS; ++slot) {
            const int input = InputOfName(s.in.bindings.input[a][slot], slot);
            if (input >= 0 && input != SDLK_ESCAPE) s.target[input] = OwnInput(a, slot);
        }
    for (const Own& own : OWN)
        for (int input : {own.key, own.mouse < 0 ? -1 : MOUSE + own.mouse, own.pad < 0 ? -1 : PAD + own.pad})
            // Escape always pauses, whatever else does.
            if (input >= 0 && input != SDLK_ESCAPE && s.target.count(input) == 0) s.dropped.insert(input);
}

int Translated(const State& s, int input) {
    if (!s.on) return input;
    const auto it = s.target.find(input);
    if (it != s.target.end()) return it->second;
    return s.dropped.count(input) != 0 ? DROPPED : input;
}

SDL_Event EventOf(int input, bool press, const SDL_Event& from) {
    SDL_Event e{};
    const Uint8 state = press ? SDL_PRESSED : SDL_RELEASED;
    if (input >= PAD) {
        e.type = press ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
        e.jbutton.button = static_cast<Uint8>(input - PAD);
        e.jbutton.state = state;
    } else if (input >= MOUSE) {
        if (from.type == SDL_MOUSEBUTTONDOWN || from.type == SDL_MOUSEBUTTONUP) e = from;
        e.type = press ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = static_cast<Uint8>(input - MOUSE);
        e.button.state = state;
    } else {
        e.type = press ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = state;
        e.key.keysym.sym = static_cast<SDLKey>(input);
        if (from.type == SDL_KEYDOWN || from.type == SDL_KEYUP) e.key.keysym.mod = from.key.keysym.mod;
    }
    return e;
}

// The motion scaled, what a pixel's fraction left over carried to the
// next; false when it comes to no whole pixel yet.
bool Scale(SDL_MouseMotionEvent& motion) {
    State& s = S();
    if (!s.on || s.in.mouseSensitivity == 1.0) return true;
    const double x = motion.xrel * s.in.mouseSensitivity + s.carryX;
    const double y = motion.yrel * s.in.mouseSensitivity + s.carryY;
    const double most = 32767.0;
    const double wholeX = std::clamp(std::round(x), -most, most), wholeY = std::clamp(std::round(y), -most, most);
    s.carryX = x - wholeX;
    s.carryY = y - wholeY;
    motion.xrel = static_cast<Sint16>(wholeX);
    motion.yrel = static_cast<Sint16>(wholeY);
    return motion.xrel != 0 || motion.yrel != 0;
}
}  // namespace

std::string InputNameOf(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN: return KeyName(e.key.keysym.sym);
    case SDL_MOUSEBUTTONDOWN: return MouseButtonName(e.button.button);
    case SDL_JOYBUTTONDOWN: return PadButtonName(e.jbutton.button);
    default: return "";
    }
}

void UseControls(const Settings& settings) {
    State& s = S();
    if (settings.mouseSensitivity != s.in.mouseSensitivity) s.carryX = s.carryY = 0.0;
    s.in.bindings = settings.bindings;
    s.in.mouseSensitivity = settings.mouseSensitivity;
    s.in.padDeadZone = settings.padDeadZone;
    BuildTables(s);
    invertControls = settings.invertControls;
    PadSetDeadZone(settings.padDeadZone);
    FeedTranslate(TranslateInput);
}

void CaptureControls(Settings& settings) {
    const State& s = S();
    settings.bindings = s.in.bindings;
    settings.mouseSensitivity = s.in.mouseSensitivity;
    settings.padDeadZone = s.in.padDeadZone;
    settings.invertControls = invertControls;
}

void TranslateControls(bool on) { S().on = on; }

bool TranslateInput(SDL_Event* e) {
    if (FeedPlaying()) return true;  // a recording holds what its game was given
    State& s = S();
    int input = 0;
    bool press = false;
    switch (e->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        input = e->key.keysym.sym;
        press = e->type == SDL_KEYDOWN;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        input = MOUSE + e->button.button;
        press = e->type == SDL_MOUSEBUTTONDOWN;
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        input = PAD + e->jbutton.button;
        press = e->type == SDL_JOYBUTTONDOWN;
        break;
    case SDL_MOUSEMOTION: return Scale(e->motion);
    default: return true;
    }
    // A release undoes what its press did, whatever was rebound between.
    int to = 0;
    const auto it = s.held.find(input);
    if (press || it == s.held.end()) {
        to = Translated(s, input);
        if (press) s.held[input] = to;
    } else {
        to = it->second;
        s.held.erase(it);
    }
    if (to == DROPPED) return false;
    if (to != input) *e = EventOf(to, press, *e);
    return true;
}
