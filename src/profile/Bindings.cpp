// SPDX-License-Identifier: MIT
#include "profile/Bindings.h"

#include <SDL/SDL.h>

#include "sys/Gamepad.h"

namespace {
const char* const WORDS[ACTION_COUNT] = {"fire",      "shield",     "thrust",  "turn_left",
                                         "turn_right", "nose_up",   "nose_down", "roll_left",
                                         "roll_right", "pause"};
const char* const LABELS[ACTION_COUNT] = {"Fire",      "Shield",     "Thrust",  "Turn left",
                                          "Turn right", "Nose up",   "Nose down", "Roll left",
                                          "Roll right", "Pause"};
// By PadButton; "" where the button is not a binding (the guide button
// belongs to the system).
const char* const PAD_NAMES[NUM_PAD_BUTTONS] = {
    "PadA", "PadB", "PadX", "PadY", "PadBack", "", "PadStart", "PadLeftStick", "PadRightStick",
    "PadLeftShoulder", "PadRightShoulder", "PadUp", "PadDown", "PadLeft", "PadRight"};
const int MOUSE_BUTTONS = 5;
const char* const UNKNOWN_KEY = "unknown key";  // SDL's name for a key without one

int SlotKind(int slot) { return slot == KEY_2 ? KEY_1 : slot; }
}  // namespace

const char* ActionWord(Action a) {
    int i = static_cast<int>(a);
    return i >= 0 && i < ACTION_COUNT ? WORDS[i] : "";
}

const char* ActionLabel(Action a, bool inverted) {
    if (inverted && a == Action::NOSE_UP) a = Action::NOSE_DOWN;
    else if (inverted && a == Action::NOSE_DOWN) a = Action::NOSE_UP;
    int i = static_cast<int>(a);
    return i >= 0 && i < ACTION_COUNT ? LABELS[i] : "";
}

bool Bindings::operator==(const Bindings& other) const {
    for (int a = 0; a < ACTION_COUNT; ++a)
        for (int s = 0; s < BINDING_SLOTS; ++s)
            if (input[a][s] != other.input[a][s]) return false;
    return true;
}

Bindings DefaultBindings() {
    struct Row { Action action; const char* key1; const char* key2; const char* mouse; const char* pad; };
    const Row rows[] = {
        {Action::FIRE, "tab", "", "Mouse1", "PadA"},
        {Action::SHIELD, "space", "", "Mouse2", "PadB"},
        {Action::THRUST, "[0]", "left shift", "Mouse3", ""},  // the left trigger thrusts
        {Action::TURN_LEFT, "[4]", "left", "", ""},
        {Action::TURN_RIGHT, "[6]", "right", "", ""},
        {Action::NOSE_UP, "[8]", "up", "", ""},
        {Action::NOSE_DOWN, "[5]", "down", "", ""},
        {Action::ROLL_LEFT, "[7]", "z", "", "PadLeftShoulder"},
        {Action::ROLL_RIGHT, "[9]", "x", "", "PadRightShoulder"},
        {Action::PAUSE, "p", "", "", "PadStart"},
    };
    Bindings b;
    for (const Row& r : rows) {
        std::string* places = b.input[static_cast<int>(r.action)];
        places[KEY_1] = r.key1;
        places[KEY_2] = r.key2;
        places[MOUSE_BUTTON] = r.mouse;
        places[PAD_BUTTON] = r.pad;
    }
    return b;
}

bool Bindable(const std::string& name, int slot) {
    if (slot < 0 || slot >= BINDING_SLOTS) return false;
    if (name.empty()) return true;
    const int key = KeyOfName(name);
    switch (SlotKind(slot)) {
    case KEY_1: return key >= 0 && key != SDLK_ESCAPE && key != OPTIONS_KEY;
    case MOUSE_BUTTON: return MouseButtonOfName(name) >= 0;
    default: return PadButtonOfName(name) >= 0;
    }
}

bool FindBinding(const Bindings& b, const std::string& name, Action* a, int* slot) {
    if (name.empty()) return false;
    for (int i = 0; i < ACTION_COUNT; ++i)
        for (int s = 0; s < BINDING_SLOTS; ++s)
            if (b.input[i][s] == name) {
                *a = static_cast<Action>(i);
                *slot = s;
                return true;
            }
    return false;
}

bool Bind(Bindings& b, Action a, int slot, const std::string& name, Action* swapped) {
    const int i = static_cast<int>(a);
    if (i < 0 || i >= ACTION_COUNT || !Bindable(name, slot)) return false;
    Action other = Action::COUNT;
    int otherSlot = 0;
    std::string& place = b.input[i][slot];
    if (FindBinding(b, name, &other, &otherSlot) && (other != a || otherSlot != slot))
        b.input[static_cast<int>(other)][otherSlot] = place;
    else
        other = Action::COUNT;  // nowhere else, or already here
    place = name;
    if (swapped != nullptr) *swapped = other;
    return true;
}

int KeyOfName(const std::string& name) {
    if (name.empty() || name == UNKNOWN_KEY) return -1;
    for (int k = 0; k < SDLK_LAST; ++k)
        if (name == SDL_GetKeyName(static_cast<SDLKey>(k))) return k;
    return -1;
}

int MouseButtonOfName(const std::string& name) {
    for (int button = 1; button <= MOUSE_BUTTONS; ++button)
        if (name == MouseButtonName(button)) return button;
    return -1;
}

int PadButtonOfName(const std::string& name) {
    if (name.empty()) return -1;
    for (int button = 0; button < NUM_PAD_BUTTONS; ++button)
        if (name == PAD_NAMES[button]) return button;
    return -1;
}

std::string KeyName(int key) {
    if (key < 0 || key >= SDLK_LAST) return "";
    const std::string name = SDL_GetKeyName(static_cast<SDLKey>(key));
    return name == UNKNOWN_KEY ? "" : name;
}

std::string MouseButtonName(int button) {
    return button >= 1 && button <= MOUSE_BUTTONS ? "Mouse" + std::to_string(button) : "";
}

std::string PadButtonName(int button) { return button >= 0 && button < NUM_PAD_BUTTONS ? PAD_NAMES[button] : ""; }
