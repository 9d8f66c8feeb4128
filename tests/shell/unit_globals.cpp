// SPDX-License-Identifier: MIT
// The world state before and after InitGlobals.
#include "ShellTestSupport.h"

namespace {

// One test, because the state before InitGlobals can be seen only once per
// process.
TEST(Globals, ZeroUntilInitGlobalsThenTheArena) {
    // What the screen's start-up sees: everything zero but the object list.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gVisArenaMin[i], 0.0);
        EXPECT_EQ(gVisArenaMax[i], 0.0);
        EXPECT_EQ(gRealArenaMin[i], 0.0);
        EXPECT_EQ(gRealArenaMax[i], 0.0);
    }
    EXPECT_EQ(gCurrentCamera, nullptr);
    EXPECT_EQ(gWave, 0);
    EXPECT_EQ(gShakeTime, 0.0);
    EXPECT_EQ(gFreezeTime, 0.0);
    EXPECT_EQ(gThePlayer, nullptr);
    EXPECT_EQ(gParticleEngine, nullptr);
    EXPECT_FALSE(gCheater);
    EXPECT_EQ(gObjects.NumObjects(), 0);
    EXPECT_EQ(gObjects.Capacity(), 10);
    // The wave loop's own state starts at rest as well.
    EXPECT_FALSE(gameOver);
    EXPECT_FALSE(gamePaused);
    EXPECT_EQ(playerDeadTime, 0.0);
    EXPECT_EQ(screen, nullptr);
    EXPECT_TRUE(invertControls);
    EXPECT_FALSE(gameTimer.IsRunning());
    EXPECT_EQ(gameTimer.GetTime(), 0.0);

    StartSdlOnce();
    gShakeTime = 3.0;
    gFreezeTime = 4.0;
    gCheater = true;
    InitGlobals();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gVisArenaMin[i], -25.0);
        EXPECT_EQ(gVisArenaMax[i], 25.0);
        // No margin: the walls drawn are the walls objects wrap at.
        EXPECT_EQ(gRealArenaMin[i], gVisArenaMin[i]);
        EXPECT_EQ(gRealArenaMax[i], gVisArenaMax[i]);
    }
    EXPECT_EQ(gShakeTime, 0.0);
    EXPECT_EQ(gFreezeTime, 0.0);
    EXPECT_FALSE(gCheater);
    EXPECT_EQ(gThePlayer, nullptr);
    ASSERT_NE(gParticleEngine, nullptr);
    EXPECT_EQ(gParticleEngine->NumParticles(), 0);

    // The engine works: a particle goes in.
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    gParticleEngine->CreateParticle(Vector3(), Vector3(), Vector3(), 1.0, 1.0, 1.0, colour, colour);
    EXPECT_EQ(gParticleEngine->NumParticles(), ParticleEngine::particleEffectsOn ? 1 : 0);

    // Releases the engine (the sanitizer build reports a leak otherwise).
    CleanUpGlobals();
}

}  // namespace
