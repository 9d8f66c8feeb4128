// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

#include <set>

#include "shell/Make.h"

using namespace worldtest;

class Spawning : public WorldTest {};

TEST_F(Spawning, PlacementStaysInTheArenaAndAwayFromTheShip) {
    gThePlayer->pos = Vector3(20, -20, 5);
    for (int i = 0; i < 500; ++i) {
        Vector3 e = RandomEdgePosition();
        EXPECT_TRUE(e.x == -25.0 || e.y == -25.0 || e.z == -25.0);
        Vector3 s = RandomSafePosition();
        EXPECT_GE((s - gThePlayer->pos).Length(), 10.0);
        for (int a = 0; a < 3; ++a) EXPECT_TRUE(s[a] >= -25.0 && s[a] <= 25.0);
        EXPECT_NEAR(RandomRotation().w, 0.0, 1e-12);  // always half a turn
    }
    // A point exactly 10 away is accepted; a hair closer is drawn again.
    std::srand(3);
    Vector3 first = RandomPosition();
    gThePlayer->pos = first + Vector3(0, 0, 10.0);
    ASSERT_EQ((first - gThePlayer->pos).Length(), 10.0);
    std::srand(3);
    EXPECT_TRUE(Near(RandomSafePosition(), first));
    gThePlayer->pos = first + Vector3(0, 0, 9.999);
    std::srand(3);
    EXPECT_FALSE(Near(RandomSafePosition(), first));
}

TEST_F(Spawning, AsteroidsEnterAtAFaceAtTheSpeedOfTheWave) {
    std::srand(17);
    Vector3 pos = RandomEdgePosition();
    double speed = RandomDouble(0.0, 2.0 * (1.0 / 6.0 + 4.0));
    Vector3 vel = RandomVector(speed);
    std::srand(17);
    MakeBigAsteroid();
    ASSERT_EQ(Count(BIG_ASTEROID), 1);
    EXPECT_TRUE(Near(gObjects[0]->pos, pos));
    EXPECT_TRUE(Near(gObjects[0]->vel, vel));
    for (int i = 0; i < 300; ++i) MakeSteelRoid();
    for (int i = 1; i < gObjects.NumObjects(); ++i) {
        double s = gObjects[i]->vel.Length();
        EXPECT_TRUE(s >= 4.0 - 1e-9 && s <= 4.0 + 2.0 * (1.0 / 6.0 + 4.0) + 1e-9) << s;
    }
    EXPECT_TRUE(SoundLog().empty());
}

TEST_F(Spawning, ShowersPlayTheirSoundOnce) {
    unsigned seed = SeedForFirstInt(0, 50, 0);
    std::srand(seed);
    RandomInt(0, 50);
    int count = RandomInt(4, 12);
    std::srand(seed);
    MakePrize();
    EXPECT_EQ(Count(PRIZE), count);
    EXPECT_EQ(Plays(PRIZE_APPEARS_SOUND), 1);

    // Bonus: the value first, then the shower; every bonus carries the value.
    std::srand(SeedForFirstInt(0, 6, 0));
    MakeBonus();
    EXPECT_EQ(static_cast<Bonus*>(gObjects[gObjects.NumObjects() - 1])->bonus, 500);
    std::srand(SeedForFirstInt(0, 6, 4));
    MakeBonus();
    EXPECT_EQ(static_cast<Bonus*>(gObjects[gObjects.NumObjects() - 1])->bonus, 4000);

    // Prize draws its speed and velocity before its place.
    ClearWorld();
    std::srand(seed + 1);
    int n = RandomInt(0, 50) == 0 ? RandomInt(4, 12) : 1;
    double speed = RandomDouble(0.0, 2.0 * (1.0 / 6.0 + 4.0)) + 2.0;
    Vector3 vel = RandomVector(speed);
    Vector3 pos = RandomEdgePosition();
    std::srand(seed + 1);
    MakePrize();
    ASSERT_EQ(Count(PRIZE), n);
    EXPECT_TRUE(Near(gObjects[0]->vel, vel));
    EXPECT_TRUE(Near(gObjects[0]->pos, pos));
}

TEST_F(Spawning, MultipliersNovasWellsAndEnemies) {
    std::set<int> mults;
    gThePlayer->pos = Vector3(3, 3, 3);
    for (int i = 0; i < 200; ++i) {
        MakeMultiplier();
        mults.insert(static_cast<Multiplier*>(gObjects[gObjects.NumObjects() - 1])->mult);
    }
    EXPECT_EQ(mults, (std::set<int>{2, 3, 4, 5}));
    ClearWorld();
    for (int i = 0; i < 50; ++i) {
        MakeNova();
        MakeGrav();
    }
    for (int i = 0; i < gObjects.NumObjects(); ++i)
        EXPECT_GE((gObjects[i]->pos - gThePlayer->pos).Length(), 10.0);
    EXPECT_EQ(Plays(NOVA_APPEARS_SOUND), 50);
    ClearWorld();
    for (gWave = 1; gWave <= 6; ++gWave)
        for (int i = 0; i < 30; ++i) MakeEnemy();
    EXPECT_EQ(Count(SMALL_SHINOBI), 0);
    for (int i = 0; i < gObjects.NumObjects(); ++i) {
        Shinobi* e = static_cast<Shinobi*>(gObjects[i]);
        EXPECT_EQ(e->pos[e->axis], -25.0);
        EXPECT_DOUBLE_EQ(e->vel[e->axis], 5.0);
    }
    gWave = 30;
    for (int i = 0; i < 60; ++i) MakeEnemy();
    EXPECT_GT(Count(SMALL_SHINOBI), 20);
    EXPECT_GT(Count(BIG_SHINOBI), 180);
}
