// SPDX-License-Identifier: MIT
// The world state every module shares.
#ifndef KORVALEND_GLOBALS_H
#define KORVALEND_GLOBALS_H

#include "world/Object.h"

class Camera;
class Player;
class ParticleEngine;

extern ObjectList gObjects;
extern double gVisArenaMin[3];
extern double gVisArenaMax[3];
extern double gRealArenaMin[3];
extern double gRealArenaMax[3];
extern Camera* gCurrentCamera;
extern int gWave;
extern double gShakeTime;
extern double gFreezeTime;
extern Player* gThePlayer;
extern ParticleEngine* gParticleEngine;
extern bool gCheater;

void InitGlobals();
void CleanUpGlobals();

#endif
