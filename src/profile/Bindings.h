// SPDX-License-Identifier: MIT
// The player's controls as plain data: which keys and buttons work each
// action of the ship, by name, as the settings file keeps them.
//
// Input names: keys are SDL 1.2's own key names ("tab", "space", "[0]",
// "left", "left shift", "z"); mouse buttons "Mouse1" ... "Mouse5" (4 and 5
// are the wheel); pad buttons "PadA", "PadB", "PadX", "PadY", "PadBack",
// "PadStart", "PadLeftStick", "PadRightStick", "PadLeftShoulder",
// "PadRightShoulder", "PadUp", "PadDown", "PadLeft", "PadRight" (the
// d-pad). The pad's sticks and triggers are not bindings.
#ifndef KORVALEND_BINDINGS_H
#define KORVALEND_BINDINGS_H

#include <SDL/SDL_keysym.h>

#include <string>

enum class Action { FIRE, SHIELD, THRUST, TURN_LEFT, TURN_RIGHT, NOSE_UP, NOSE_DOWN,
                    ROLL_LEFT, ROLL_RIGHT, PAUSE, COUNT };
constexpr int ACTION_COUNT = static_cast<int>(Action::COUNT);
// Two keyboard places, one mouse-button place, one pad-button place per action.
enum BindingSlot { KEY_1, KEY_2, MOUSE_BUTTON, PAD_BUTTON, BINDING_SLOTS };

const char* ActionWord(Action a);   // the settings file's word: "fire", "roll_left", ...
// On the screen: "Fire", "Roll left", ... The nose actions are named by what
// they do: with the up/down inversion on, nose_up's keys dip the nose.
const char* ActionLabel(Action a, bool inverted = false);

struct Bindings {
    std::string input[ACTION_COUNT][BINDING_SLOTS];  // input names; "" = nothing there
    bool operator==(const Bindings& other) const;
    bool operator!=(const Bindings& other) const { return !(*this == other); }
};

// Every key the game has always had, and the main block beside them (the
// arrows, z and x, left shift), so that a keyboard without a keypad flies
// the ship. No cheat or command key is taken.
Bindings DefaultBindings();

// The key that opens the options at the pause and the title, named on
// their pictures. No binding takes it: bound to an action, it would become
// that action's key and the options could no longer be opened.
const SDLKey OPTIONS_KEY = SDLK_o;

// Can NAME sit in SLOT? (a key name in KEY_1/KEY_2, "Mouse1".. in
// MOUSE_BUTTON, "Pad.." in PAD_BUTTON; never "escape", which always pauses
// and backs out, nor the options key). "" (nothing there) sits anywhere.
bool Bindable(const std::string& name, int slot);

// Puts NAME at (A, SLOT). Where another place held NAME, that place now
// holds what (A, SLOT) held before (a swap) and *swapped names its action
// (Action::COUNT when nothing was swapped). False, with nothing changed,
// when !Bindable(name, slot). "" empties the place and swaps nothing.
bool Bind(Bindings& b, Action a, int slot, const std::string& name, Action* swapped);

// The place holding NAME (not ""): true, with its action and slot.
bool FindBinding(const Bindings& b, const std::string& name, Action* a, int* slot);

// Names and numbers: SDL 1.2's key symbol, the mouse button (1 to 5), the
// pad button (sys/Gamepad.h's PadButton) of a name, -1 when it is none;
// and back ("" for none).
int KeyOfName(const std::string& name);
int MouseButtonOfName(const std::string& name);
int PadButtonOfName(const std::string& name);
std::string KeyName(int key);
std::string MouseButtonName(int button);
std::string PadButtonName(int button);

#endif
