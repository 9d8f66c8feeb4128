// SPDX-License-Identifier: MIT
// The player's controls in the running game. A key or button bound to an
// action is turned into the game's own key or button for it (Tab, Space,
// the keypad's 0, 4, 6, 8, 5, 7, 9, Escape; mouse buttons 1 to 3; the pad's
// A, B, shoulders and Start; an action without one on that device gets its
// key) as the feed hands it out, before it is recorded and before
// HandleInput sees it; so the game itself and every recording know only
// the game's own keys. One of those that is no longer bound to its action
// is dropped; a release always matches its press; mouse motion is scaled
// by the sensitivity. A recording playing back is never translated.
#ifndef KORVALEND_CONTROLS_H
#define KORVALEND_CONTROLS_H

#include <SDL/SDL.h>

#include <string>

#include "profile/Settings.h"

// The name of the key, mouse button or pad button pressed in E ("" for
// anything else, a release among them).
std::string InputNameOf(const SDL_Event& e);

// The bindings, the mouse's sensitivity, the up/down inversion and the
// pad's dead zone, in effect at once; the translation starts here.
void UseControls(const Settings& s);
// Those in effect now, into S (for the settings kept at quit).
void CaptureControls(Settings& s);

// Off, the events come as they are and the mouse is not scaled: a screen
// that reads the keys themselves (the options screen: its arrows and Enter,
// the key to bind with InputNameOf) turns it off while it is up. Releases
// of what was pressed before still match their presses.
void TranslateControls(bool on);

// The translation itself (the feed's): false drops the event.
bool TranslateInput(SDL_Event* e);

#endif
