// SPDX-License-Identifier: MIT
// The first connected gamepad, passed on as SDL 1.2 joystick events so that
// it reaches the game, and can be recorded and played back, like the keys.
#ifndef KORVALEND_GAMEPAD_H
#define KORVALEND_GAMEPAD_H

// SDL 2's game-controller numbering, the same on every mapped pad: the axis
// and button numbers that the pad's events carry.
enum PadAxis {
    PAD_LEFT_X, PAD_LEFT_Y, PAD_RIGHT_X, PAD_RIGHT_Y, PAD_LEFT_TRIGGER, PAD_RIGHT_TRIGGER,
    NUM_PAD_AXES
};
enum PadButton {
    PAD_A, PAD_B, PAD_X, PAD_Y, PAD_BACK, PAD_GUIDE, PAD_START, PAD_LEFT_STICK, PAD_RIGHT_STICK,
    PAD_LEFT_SHOULDER, PAD_RIGHT_SHOULDER, PAD_DPAD_UP, PAD_DPAD_DOWN, PAD_DPAD_LEFT,
    PAD_DPAD_RIGHT, NUM_PAD_BUTTONS
};

// Axis values within the dead zone's distance of rest count as rest; beyond
// it an axis event carries the distance past it, scaled back to 0..32767,
// so a value is always the deflection that the game acts on. Triggers (0 at
// rest, 32767 pulled) use it too. PAD_DEAD_ZONE until the player chooses.
const int PAD_DEAD_ZONE = 8000;
const int PAD_AXIS_MAX = 32767;
void PadSetDeadZone(int distance);  // held within 0 .. PAD_AXIS_MAX - 1

// Looks at the pad (opening the first one plugged in, closing one pulled
// out) and pushes an SDL_JOYAXISMOTION or SDL_JOYBUTTONDOWN/UP event, with
// `which` 0, for each axis or button that changed since the last call. A
// pad that is lost first has every axis it held pushed back to 0 and every
// button it held released. Without SDL 2's controller functions, or
// without a pad, it does nothing.
void Gamepad_Pump();

// The value an axis event carries for a reading of the pad.
int PadAxisAfterDeadZone(int reading);

#endif
