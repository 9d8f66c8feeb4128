// SPDX-License-Identifier: MIT
// What the X display tells beyond SDL: which keys and buttons are really
// held, and that it has gone away; and the OpenGL driver kept loaded for the
// whole run, however often SDL's video is restarted.
#ifndef KORVALEND_DISPLAY_H
#define KORVALEND_DISPLAY_H

// The keyboard and the pointer as the display sees them.
struct HeldInput {
    char keymap[32] = {};
    unsigned int buttons = 0;
    bool Key(int sdlKey) const;   // false for keys it cannot name
    bool Button(int button) const;
};

// False when there is no X display to ask.
bool DisplayHeldInput(HeldInput& held);

// From the first call on, the display going away (its server killed, its
// connection lost) ends the process with a message and status 1, whatever
// screen is up, even one that reads no events. It ends on the game's own
// thread, between two of its steps (DisplayGone, DisplayEnd), after the
// function given to DisplayOnLoss has saved what can be saved without a
// display; no exit handler runs. Should the game's thread not come within
// seconds, the watcher ends the process itself.
void DisplayWatch();
void DisplayOnLoss(void (*save)());
// True once the display has gone; the game's thread then calls DisplayEnd.
bool DisplayGone();
[[noreturn]] void DisplayEnd();

// Keeps the OpenGL driver loaded for the run: unloaded and loaded again at
// each video restart, it would leave a little behind each time.
void DisplayPinDriver();

#endif
