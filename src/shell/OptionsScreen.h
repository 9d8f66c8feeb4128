// SPDX-License-Identifier: MIT
// The options: every choice the player can make, in pages (screen, sound,
// controls, game), opened from the pause or the title and driven by the
// keyboard, the mouse or the pad. Each change takes effect at once and is
// saved when the screen is left. What the screen reads is no part of a
// recording: a game played back never opens it.
#ifndef KORVALEND_OPTIONSSCREEN_H
#define KORVALEND_OPTIONSSCREEN_H

#include <SDL/SDL.h>

#include <functional>

#include "profile/Bindings.h"  // OPTIONS_KEY

// The options key, or the pad's Back button: what opens the options at the
// pause and the title.
bool OpensOptions(const SDL_Event& e);

// Until the player backs out: each frame drawBackground draws what the
// screen was opened over, and the options go over it, dimmed. withMusic:
// the wave's music plays on meanwhile.
void DoOptionsScreen(const std::function<void()>& drawBackground, bool withMusic);

#endif
