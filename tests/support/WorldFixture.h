// SPDX-License-Identifier: MIT
// A clean world for each test: the arena of the game, a player that is not in
// the list, a particle engine to count bursts, and a log of every sound cue.
// Tests move the world on with the game's own UpdateWorld.
#ifndef KORVALEND_TESTS_WORLDFIXTURE_H
#define KORVALEND_TESTS_WORLDFIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "render/ParticleEngine.h"
#include "shell/GameStates.h"
#include "shell/Globals.h"
#include "world/Objects.h"
#include "world/Player.h"

namespace worldtest {

inline std::vector<std::pair<WorldSoundAction, int>>& SoundLog() {
    static std::vector<std::pair<WorldSoundAction, int>> log;
    return log;
}

inline void RecordSound(WorldSoundAction action, int id) { SoundLog().push_back({action, id}); }

inline int SoundCount(WorldSoundAction action, int id) {
    int n = 0;
    for (const auto& e : SoundLog())
        if (e.first == action && e.second == id) ++n;
    return n;
}

inline int Plays(int id) { return SoundCount(WORLD_SOUND_PLAY, id); }

// Every object out of the list (the ship kept: its owner is gThePlayer),
// every timer and flag of the wave loop back to rest.
inline void ClearWorld() {
    gObjects.RemoveObject(gThePlayer);
    for (int i = gObjects.NumObjects() - 1; i >= 0; --i) gObjects.DeleteObject(i);
    gWhenMultiplier = gWhenPrize = gWhenBonus = gWhenGrav = 0.0;
    gWhenNova = gWhenEnemy = gWhenDamagedShip = gWhenHoming = 0.0;
    gFreezeTime = gShakeTime = playerDeadTime = 0.0;
    gameOver = false;
    gamePaused = false;
    if (gParticleEngine != nullptr) gParticleEngine->Clear();
}

// A seed whose first draw gives RandomInt(min, max) == wanted.
inline unsigned SeedForFirstInt(int min, int max, int wanted) {
    for (unsigned seed = 1; seed < 100000; ++seed) {
        std::srand(seed);
        if (RandomInt(min, max) == wanted) return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 1;
}

using ::Near;

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearWorld();
        for (int i = 0; i < 3; ++i) {
            gRealArenaMin[i] = -25.0;
            gRealArenaMax[i] = 25.0;
        }
        gWave = 1;
        gShakeTime = 0.0;
        gFreezeTime = 0.0;
        gParticleEngine = new ParticleEngine(nullptr);
        gThePlayer = new Player();
        SoundLog().clear();
        SetWorldSoundListener(RecordSound);
        std::srand(12345);
    }

    void TearDown() override {
        SetWorldSoundListener(nullptr);
        ClearWorld();
        delete gThePlayer;
        gThePlayer = nullptr;
        delete gParticleEngine;
        gParticleEngine = nullptr;
    }

    int Particles() const { return gParticleEngine->NumParticles(); }

    int Count(ObjectType t) const { return gObjects.Count(t); }
};

// The same, with the ship's game and wave begun (not yet in the list).
class ShipWorldTest : public WorldTest {
protected:
    Player* p = nullptr;
    void SetUp() override {
        WorldTest::SetUp();
        p = gThePlayer;
        p->NewGame();
        p->NewWave();
        SoundLog().clear();
    }
};

}  // namespace worldtest

#endif
