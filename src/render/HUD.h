// SPDX-License-Identifier: MIT
// The heads-up display over the world.
#ifndef KORVALEND_HUD_H
#define KORVALEND_HUD_H

class Camera;
class ImageServer;

// Whether the cheat notice is showing, and seconds until it toggles.
extern bool cheaterOn;
extern double lastBlink;

void DrawScore(ImageServer* is);
void DrawShield(ImageServer* is);
void DrawWave(ImageServer* is);
void DrawLives(ImageServer* is);
void DrawBonus(ImageServer* is);
void DrawPowerups(ImageServer* is);
void DrawCheater(ImageServer* is, double deltaTime);
void DrawCrossHairs(ImageServer* is);
// Frames a second and the mean frame time over the last second of frames
// drawn, at the upper right, when frameCounterOn. Each DrawHUD is a frame.
extern bool frameCounterOn;
void DrawFrameCounter(ImageServer* is);
void DrawHUD(Camera* camera, double deltaTime);

#endif
