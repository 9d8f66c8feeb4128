// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

#include <algorithm>

#include "audio/Music.h"

using namespace worldtest;

class Asteroids : public WorldTest {};

TEST_F(Asteroids, DrawTheirSpinBeforeTheirOrientation) {
    std::srand(4);
    double spin = RandomDouble(90.0, 180.0);
    Vector3 rot = RandomVector(spin);
    Quaternion dir(RandomVector(180.0));
    std::srand(4);
    BigAsteroid big(Vector3(1, 2, 3), Vector3(0, 0, 1));
    EXPECT_TRUE(Near(big.rot, rot));
    EXPECT_DOUBLE_EQ(big.dir.x, dir.x);
    EXPECT_DOUBLE_EQ(big.radius, 4.0);
    EXPECT_EQ(big.points, 50);
    SmallAsteroid small(Vector3{}, Vector3());
    EXPECT_EQ(small.points, 300);
    EXPECT_LE(small.rot.Length(), 720.0 + 1e-9);
    SteelRoid steel(Vector3{}, Vector3());
    EXPECT_EQ(steel.hitPoints, 10);
    EXPECT_NEAR(steel.rot.Length(), 180.0, 1e-9);
}

TEST_F(Asteroids, BigBreaksIntoOneToThreeMediumsFlyingByWave) {
    for (int n = 1; n <= 3; ++n) {
        ClearWorld();
        gWave = 1;
        auto* big = new BigAsteroid(Vector3(3, 4, 5), Vector3(9, 0, 0));
        gObjects.AddObject(big);
        std::srand(SeedForFirstInt(1, 4, n));
        big->BeenDamaged(1, nullptr);
        EXPECT_FALSE(big->alive);
        ASSERT_EQ(Count(MEDIUM_ASTEROID), n);
        for (int i = 1; i <= n; ++i) {
            EXPECT_TRUE(Near(gObjects[i]->pos, Vector3(3, 4, 5)));
            double s = gObjects[i]->vel.Length();
            EXPECT_GE(s, 2.0);
            EXPECT_LE(s, 2.0 + 2.0 * (4.0 + 1.0 / 6.0) + 1e-9);
        }
    }
    // Replay one fragment speed exactly, at wave 12 where the top is 14.
    gWave = 12;
    MediumAsteroid medium(Vector3{}, Vector3());
    std::srand(21);
    RandomInt(1, 4);
    double s = RandomDouble(0.0, 2.0 * (4.0 + 12.0 / 6.0)) + 4.0;
    int before = gObjects.NumObjects();
    std::srand(21);
    medium.Explode();
    EXPECT_NEAR(gObjects[before]->vel.Length(), s, 1e-9);
    EXPECT_EQ(gObjects[before]->type, SMALL_ASTEROID);
}

TEST_F(Asteroids, FastFragmentsSlowToTheLimitAfterTheirFirstFrame) {
    gWave = 30;
    auto* small = new SmallAsteroid(Vector3(), RandomVector(26.0));
    small->TimeUpdate(0.01);
    EXPECT_NEAR(small->vel.Length(), 16.0, 1e-9);
    delete small;
}

TEST_F(Asteroids, SmallHitByAShotCreditsThePlayerAndQuickensTheBeat) {
    gThePlayer->NewGame();
    double delay = Music::GetInstance()->GetBoomDelay();
    gObjects.AddObject(new SmallAsteroid(Vector3(), Vector3()));
    gObjects.AddObject(new PlayerShot(gThePlayer, Vector3(), Vector3(), 1.0));
    gObjects.AddObject(new Prize(Vector3(), Vector3()));  // passes through both
    gObjects.AddObject(new SteelRoid(Vector3(), Vector3()));
    // Pairs are met from the top of the list down: the shot ends on the
    // steel before it reaches the small one.
    UpdateWorld(0.0);
    EXPECT_EQ(gThePlayer->score, 0);
    EXPECT_NEAR(Music::GetInstance()->GetBoomDelay(), delay, 1e-12);
    EXPECT_EQ(Count(SMALL_ASTEROID) + Count(MEDIUM_ASTEROID), 1);
    EXPECT_EQ(Count(PRIZE), 1);
    EXPECT_EQ(Count(STEEL_ROID), 1);
    EXPECT_EQ(Plays(STEEL_HIT_SOUND), 1);
    // A shot that meets the small one first breaks it.
    gObjects.AddObject(new PlayerShot(gThePlayer, Vector3(), Vector3(), 1.0));
    gObjects[0]->pos = Vector3(10, 0, 0);  // the small one, moved out of the steel's way
    gObjects[gObjects.NumObjects() - 1]->pos = Vector3(10, 0, 0);
    UpdateWorld(0.0);
    EXPECT_EQ(gThePlayer->score, 300);
    EXPECT_NEAR(Music::GetInstance()->GetBoomDelay(), std::max(0.3, delay - 0.02), 1e-12);
    EXPECT_EQ(Count(SMALL_ASTEROID) + Count(MEDIUM_ASTEROID), 0);
}

TEST_F(Asteroids, EnemyShipsDestroyThemForNothing) {
    gThePlayer->NewGame();
    BigShinobi enemy(Vector3{}, 0);
    MediumAsteroid rock(Vector3{}, Vector3());
    rock.HandleCollisionWith(&enemy);
    EXPECT_FALSE(rock.alive);
    EXPECT_EQ(gThePlayer->score, 0);
}

TEST_F(Asteroids, SteelIsPushedByShotsButNotByTheShip) {
    gThePlayer->NewGame();
    SteelRoid steel(Vector3{}, Vector3(1, 0, 0));
    PlayerShot shot(gThePlayer, Vector3(), Vector3(0, 0, 30), 1.0);
    steel.HandleCollisionWith(&shot);
    EXPECT_TRUE(Near(steel.vel, Vector3(1, 0, 15)));
    gThePlayer->vel = Vector3(0, 8, 0);
    steel.HandleCollisionWith(gThePlayer);
    EXPECT_TRUE(Near(steel.vel, Vector3(1, 0, 15)));
    EXPECT_EQ(steel.hitPoints, 8);
    EXPECT_EQ(Plays(STEEL_HIT_SOUND), 2);
}

TEST_F(Asteroids, SteelOutcomesWhenItsArmourIsWornDown) {
    for (int r = 0; r < 10; ++r) {
        ClearWorld();
        SoundLog().clear();
        gParticleEngine->Clear();
        gThePlayer->NewGame();
        auto* steel = new SteelRoid(Vector3(4, 5, 6), Vector3(0, 3, 0));
        gObjects.AddObject(steel);
        steel->hitPoints = 1;
        PlayerShot shot(gThePlayer, Vector3(), Vector3(), 1.0);
        std::srand(SeedForFirstInt(0, 10, r));
        steel->BeenDamaged(1, &shot);
        EXPECT_EQ(gThePlayer->score, 100) << r;  // credited whatever happens
        EXPECT_EQ(steel->alive, r >= 3) << r;
        EXPECT_EQ(Count(BIG_ASTEROID), r == 0 ? 1 : 0) << r;
        EXPECT_EQ(Count(HOMING), r == 2 ? 1 : 0) << r;
        EXPECT_EQ(Particles(), r == 1 ? 500 : 0) << r;
        EXPECT_EQ(Plays(EXPLOSION_SOUND), r == 1 ? 1 : 0) << r;
        EXPECT_EQ(Plays(FUNK_SOUND), r == 0 ? 1 : 0) << r;
        EXPECT_EQ(Plays(HOMING_APPEARS_SOUND), r == 2 ? 1 : 0) << r;
        if (r >= 3) {
            EXPECT_EQ(steel->hitPoints, 10);
        }
        if (r == 0 || r == 2) {
            EXPECT_TRUE(Near(gObjects[1]->pos, Vector3(4, 5, 6)));
            EXPECT_TRUE(Near(gObjects[1]->vel, Vector3(0, 3, 0)));
        }
    }
}
