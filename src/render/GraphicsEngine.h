// SPDX-License-Identifier: MIT
// Fixed GL state, the starscape, and the drawing of one world frame.
#ifndef KORVALEND_GRAPHICSENGINE_H
#define KORVALEND_GRAPHICSENGINE_H

class Camera;
class Object;
class ParticleEngine;

#include "math/MyMath.h"

struct ObjDistPair {
    Object* o;
    double d;
    void Init(Object* o, Vector3 ref);
};

extern ParticleEngine* starscape1;
extern ParticleEngine* starscape2;
extern ParticleEngine* theSun;
extern float arenaColor[4];

void InitGraphics();
void RenderWorld(Camera* camera);
// The sun, and the player's spot and shield glow while the ship is alive,
// placed in world coordinates (the view must be loaded).
void EnableWorldLights();
// The arena's grid as line loops, one a unit on each axis, drawn at once;
// RenderWorld replays them from a display list.
void ArenaOutlines();
int CmpObjDistPair(const void* a, const void* b);
void DrawObjects(Camera* camera);
void DrawArena(Camera* camera);
void DrawParticles(Camera* camera);
void DrawStarscape(Camera* camera);
void CreateStarscape();

#endif
