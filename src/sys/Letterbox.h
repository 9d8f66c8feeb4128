// SPDX-License-Identifier: MIT
// Full screen at a size the display cannot switch to, on a renderer that
// draws with the CPU: the game draws at the mode's size off screen, and the
// picture is scaled (bilinear, uniformly, centred) straight into a window
// that covers the display. SDL's layer would do the same scaling through the
// renderer, which costs a software renderer several times as much, and it
// would then clear and copy the whole display's worth of pixels as well.
#ifndef KORVALEND_LETTERBOX_H
#define KORVALEND_LETTERBOX_H

union SDL_Event;

// Worth trying: an X display, and no hardware renderer seen so far.
bool LetterboxWanted();
// Called with a full-screen window open at the display's size: from now on
// the game draws at width x height. False (nothing changed) on a hardware
// renderer or without what it needs; the caller then lets SDL scale.
bool LetterboxStart(int width, int height);
// Before the window and its context go.
void LetterboxStop();
// The size the game draws at: the mode's while scaling, else the window's.
void LetterboxPictureSize(int* width, int* height);
// Shows the frame just drawn; false when not scaling (the caller swaps).
// The picture is scaled and put on the screen by a thread of its own while
// the game goes on to the next frame.
bool LetterboxShow();
// Until the last frame shown is on the screen.
void LetterboxFinish();
// The mouse moves and clicks in the picture's pixels, as SDL's layer says
// them when it scales, so the mouse turns the ship as fast either way.
void LetterboxMouse(SDL_Event* event);

#endif
