// SPDX-License-Identifier: MIT
// A pad made in software with SDL 2's virtual joystick, for tests of the
// pad's whole road: SDL's mapping, Gamepad_Pump, the events, the game. It
// takes the standard layout, so axes and buttons are numbered as in
// Gamepad.h, with the ranges a mapped pad reads (triggers 0..32767).
#ifndef KORVALEND_VIRTUALPAD_H
#define KORVALEND_VIRTUALPAD_H

// For tests, EnvTestPad names a file or named pipe whose lines the game
// reads at each Gamepad_Pump, one command a line: "attach", "detach",
// "axis N VALUE", "button N 0|1".

// False where SDL 2 has no virtual joysticks, or one is attached already.
bool VirtualPad_Attach();
void VirtualPad_Detach();
void VirtualPad_SetAxis(int axis, int value);
void VirtualPad_SetButton(int button, bool down);

// The commands that have come since the last call, when the variable is set.
void VirtualPad_ReadCommands();

#endif
