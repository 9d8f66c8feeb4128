// SPDX-License-Identifier: MIT
#include "shell/Globals.h"

#include "assets/TextureServer.h"
#include "render/ParticleEngine.h"
#include "world/Rules.h"

// Everything but the object list stays zero until InitGlobals runs: the
// screen's start-up runs before it and must see null pointers and empty bounds.
ObjectList gObjects;
double gVisArenaMin[3] = {0.0, 0.0, 0.0};
double gVisArenaMax[3] = {0.0, 0.0, 0.0};
double gRealArenaMin[3] = {0.0, 0.0, 0.0};
double gRealArenaMax[3] = {0.0, 0.0, 0.0};
Camera* gCurrentCamera = nullptr;
int gWave = 0;
double gShakeTime = 0.0;
double gFreezeTime = 0.0;
Player* gThePlayer = nullptr;
ParticleEngine* gParticleEngine = nullptr;
bool gCheater = false;

namespace {
// Objects wrap at the visible walls; the margin leaves room to widen the
// playing space beyond what is drawn.
const double ARENA_MARGIN = 0.0;
}  // namespace

void InitGlobals() {
    for (int i = 0; i < 3; ++i) {
        gVisArenaMin[i] = -ARENA_HALF_SIZE;
        gVisArenaMax[i] = ARENA_HALF_SIZE;
    }
    for (int i = 0; i < 3; ++i) {
        gRealArenaMin[i] = gVisArenaMin[i] - ARENA_MARGIN;
        gRealArenaMax[i] = gVisArenaMax[i] + ARENA_MARGIN;
    }
    gShakeTime = 0.0;
    gFreezeTime = 0.0;
    gThePlayer = nullptr;
    gParticleEngine = new ParticleEngine(TextureServer::GetInstance()->LoadTexture("Images/flare.tga"));
    gCheater = false;
}

void CleanUpGlobals() {
    // The pointer is left as it is: this runs only at exit.
    if (gParticleEngine != nullptr) delete gParticleEngine;
}
