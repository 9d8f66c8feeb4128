// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

using namespace worldtest;

namespace {
struct Scorer : Shooter {
    Scorer() : Shooter(BIG_SHINOBI, nullptr) {}
    void AddToScore(int amount) override { scored += amount; }
    int scored = 0;
};

int LiveShotsOf(Shooter* s) {
    int n = 0;
    for (int i = 0; i < gObjects.NumObjects(); ++i) {
        Object* o = gObjects[i];
        if ((o->type == PLAYER_SHOT || o->type == SHINOBI_SHOT) && static_cast<Shot*>(o)->shooter == s) ++n;
    }
    return n;
}
}  // namespace

class Shots : public WorldTest {};

TEST_F(Shots, EndOrPassThroughByKindOfTheOtherObject) {
    // 1 = ends, 0 = passes through; indexed by ObjectType.
    const int playerShotEnds[NUM_OBJECT_TYPES] = {0, 1, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    const int shinobiShotEnds[NUM_OBJECT_TYPES] = {1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Scorer shooter;
    for (int t = 0; t < NUM_OBJECT_TYPES; ++t) {
        Object other(static_cast<ObjectType>(t), nullptr);
        PlayerShot ps(&shooter, Vector3(), Vector3(), 1.0);
        ShinobiShot ss(&shooter, Vector3(), Vector3(), 1.0);
        ps.HandleCollisionWith(&other);
        ss.HandleCollisionWith(&other);
        EXPECT_EQ(ps.alive, !playerShotEnds[t]) << "player shot vs type " << t;
        EXPECT_EQ(ss.alive, !shinobiShotEnds[t]) << "enemy shot vs type " << t;
    }
    EXPECT_EQ(shooter.numShots, 0);
}

TEST_F(Shots, CannotBeHurtAndVanishSilentlyAtTheEndOfTheirLife) {
    Scorer shooter;
    auto* shot = new PlayerShot(&shooter, Vector3(0, 0, 0), Vector3(0, 0, 30), 0.5);
    gObjects.AddObject(shot);
    EXPECT_EQ(shooter.numShots, 1);
    EXPECT_DOUBLE_EQ(shot->radius, 0.05);
    EXPECT_FALSE(shot->canBeFrozen);
    EXPECT_FALSE(shot->canBeShaken);
    shot->BeenDamaged(100, &shooter);
    shot->BeenDamaged(1, nullptr);
    EXPECT_TRUE(shot->alive);
    EXPECT_EQ(shot->hitPoints, 1);
    gFreezeTime = 5.0;  // player shots fly through a freeze
    UpdateWorld(0.25);
    EXPECT_DOUBLE_EQ(shot->pos.z, 7.5);
    UpdateWorld(0.25);
    EXPECT_EQ(gObjects.NumObjects(), 0);
    EXPECT_EQ(shooter.numShots, 0);
    EXPECT_EQ(Particles(), 0);
    EXPECT_TRUE(SoundLog().empty());
    ShinobiShot frozen(&shooter, Vector3(), Vector3(0, 0, 30), 1.0);
    EXPECT_TRUE(frozen.canBeFrozen);
}

TEST_F(Shots, CreditTheVictimsPointsToTheShooterOnce) {
    Scorer shooter;
    gObjects.AddObject(new SmallAsteroid(Vector3(5, 0, 0), Vector3()));
    gObjects.AddObject(new PlayerShot(&shooter, Vector3(5, 0, 0), Vector3(), 1.0));
    gObjects.AddObject(new ShinobiShot(&shooter, Vector3(5, 0, 0), Vector3(), 1.0));
    UpdateWorld(0.01);
    EXPECT_EQ(shooter.scored, 300);
    EXPECT_EQ(Count(SMALL_ASTEROID), 0);
    // The first shot to hit ended; the second still flies (the asteroid was gone).
    EXPECT_EQ(shooter.numShots, 1);
}

TEST_F(Shots, ShotsOfADeletedShooterAreCutLoose) {
    auto* shooter = new Scorer();
    gObjects.AddObject(shooter);
    gObjects.AddObject(new ShinobiShot(shooter, Vector3(10, 0, 0), Vector3(), 1.0));
    gObjects.AddObject(new PlayerShot(shooter, Vector3(-10, 0, 0), Vector3(), 0.5));
    gObjects.AddObject(new PlayerShot(shooter, Vector3(0, 10, 0), Vector3(), 2.0));
    EXPECT_EQ(shooter->numShots, 3);
    gObjects.DeleteObject(0);  // the wave loop deletes a destroyed shooter at once
    for (int i = 0; i < gObjects.NumObjects(); ++i)
        EXPECT_EQ(static_cast<Shot*>(gObjects[i])->shooter, nullptr);
    gObjects.AddObject(new SmallAsteroid(Vector3(10, 0, 0), Vector3()));
    UpdateWorld(0.01);  // one hits: nobody to credit
    EXPECT_EQ(Count(SMALL_ASTEROID), 0);
    EXPECT_EQ(Count(SHINOBI_SHOT), 0);
    gObjects[0]->AddToScore(500);
    for (int i = 0; i < 300; ++i) UpdateWorld(0.01);  // the others time out
    EXPECT_EQ(gObjects.NumObjects(), 0);
}

TEST_F(Shots, EveryShootersCountMatchesItsShotsInTheWorld) {
    Player* p = gThePlayer;
    p->NewGame();
    p->NewWave();
    gObjects.AddObject(p);
    p->machineGuns = true;
    p->tripleFire = true;
    p->shooting = true;
    p->autoShield = 0.0;
    auto* enemy = new BigShinobi(Vector3(-25, 2, 2), 0);
    gObjects.AddObject(enemy);
    bool relaunched = false;
    for (int frame = 0; frame < 400; ++frame) {
        if (frame == 60) p->Explode();  // a death mid-wave with shots in flight
        if (!p->alive && frame == 80) {
            int flying = LiveShotsOf(p);
            EXPECT_GT(flying + p->numShots, 0);
            p->NewShip();
            gObjects.AddObject(p);
            p->machineGuns = p->shooting = true;
            relaunched = true;
        }
        UpdateWorld(0.02);
        ASSERT_EQ(p->numShots, LiveShotsOf(p)) << "frame " << frame;
        if (gObjects.Count(BIG_SHINOBI) == 1) {
            ASSERT_EQ(enemy->numShots, LiveShotsOf(enemy));
        }
    }
    EXPECT_TRUE(relaunched);
}
