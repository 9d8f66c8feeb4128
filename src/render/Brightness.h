// SPDX-License-Identifier: MIT
// The world drawn brighter or darker than it is lit, for screens on which
// the rocks read dim: a pass over the finished world, before the HUD, so
// that the HUD and the pictures keep their own colours. The display's gamma
// ramp is left alone (it would change the whole desktop, and Wayland
// refuses it).
#ifndef KORVALEND_BRIGHTNESS_H
#define KORVALEND_BRIGHTNESS_H

// 1 leaves the picture as drawn (and draws nothing); 0.5 to 2.
extern double worldBrightness;

// Scales every pixel of the frame drawn so far by worldBrightness.
void BrightenWorld();

#endif
