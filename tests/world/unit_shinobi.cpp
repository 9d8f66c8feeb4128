// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

using namespace worldtest;

class Enemies : public ShipWorldTest {};

TEST_F(Enemies, CrossTheArenaOnceAndLeaveSilently) {
    auto* ship = new SmallShinobi(Vector3(0, 0, -25), 2);
    EXPECT_DOUBLE_EQ(ship->ttl, 10.0);
    EXPECT_EQ(ship->shotOdds, 15);
    EXPECT_DOUBLE_EQ(ship->radius, 1.5);
    BigShinobi upward(Vector3{}, 1);
    EXPECT_TRUE(Near(upward.dir.RotateVector(Vector3(1, 0, 0)), Vector3(0, 1, 0), 1e-9));
    EXPECT_EQ(upward.shotOdds, 30);
    gObjects.AddObject(ship);
    p->alive = false;  // nobody to shoot at: it still swerves on its way
    playerDeadTime = 1000.0;  // and no new ship launched meanwhile
    bool swerved = false;
    for (int i = 0; i < 39; ++i) {
        UpdateWorld(0.25);
        ASSERT_EQ(Count(SMALL_SHINOBI), 1);
        swerved |= ship->vel.x != 0.0 || ship->vel.y != 0.0;
        EXPECT_DOUBLE_EQ(ship->vel.z, 5.0);
    }
    EXPECT_TRUE(swerved);
    UpdateWorld(0.25);
    EXPECT_EQ(Count(SMALL_SHINOBI), 0);
    EXPECT_EQ(Count(SHINOBI_SHOT), 0);
    EXPECT_TRUE(SoundLog().empty());
    EXPECT_EQ(Particles(), 0);
}

TEST_F(Enemies, FireOnlyInRangeAfterTheIntervalOnALuckyDraw) {
    BigShinobi ship(Vector3{}, 0);
    ship.nextDecision = 100.0;  // keep course decisions out of the draws
    unsigned seed = SeedForFirstInt(0, 30, 0);
    std::srand(seed);
    RandomInt(0, 30);
    Vector3 spread = RandomVector(0.25);
    Vector3 aim = (Vector3(0, 24.9, 0).Normalize() + spread).Normalize() * 25.0;
    int next = RandomDraw();

    p->pos = Vector3(0, 25.0, 0);
    ship.lastShot = 0.1;
    std::srand(seed);
    ship.TimeUpdate(0.0);  // out of range: no draw
    p->pos = Vector3(0, 24.9, 0);
    ship.lastShot = 0.09;
    ship.TimeUpdate(0.0);  // too soon: no draw
    EXPECT_EQ(Count(SHINOBI_SHOT), 0);
    ship.lastShot = 0.1;
    ship.TimeUpdate(0.0);
    ASSERT_EQ(Count(SHINOBI_SHOT), 1);
    EXPECT_EQ(RandomDraw(), next);
    Object* shot = gObjects[0];
    EXPECT_TRUE(Near(shot->vel, aim, 1e-9));
    EXPECT_DOUBLE_EQ(shot->ttl, 1.0);
    EXPECT_EQ(ship.numShots, 1);
    EXPECT_DOUBLE_EQ(ship.lastShot, 0.0);
}

TEST_F(Enemies, SwerveSidewaysAndBack) {
    BigShinobi ship(Vector3{}, 0);
    std::srand(31);
    RandomDouble(0.5, 2.5);
    double z = RandomDouble(-1.0, 1.0);
    double y = RandomDouble(-1.0, 1.0);
    RandomDouble(-1.0, 1.0);  // x is drawn, then replaced by the axis speed
    Vector3 side = Vector3(0, y, z).Normalize() * 5.0;
    p->alive = false;
    std::srand(31);
    ship.TimeUpdate(0.0);
    EXPECT_TRUE(Near(ship.vel, Vector3(5.0, side.y, side.z)));
    EXPECT_GE(ship.nextDecision, 0.5);
    ship.nextDecision = 0.0;
    ship.TimeUpdate(0.0);
    EXPECT_TRUE(Near(ship.vel, Vector3(5, 0, 0)));
}

TEST_F(Enemies, ThreeHitsDestroyAndEachKnocksSideways) {
    auto* ship = new BigShinobi(Vector3(), 0);
    gObjects.AddObject(ship);
    PlayerShot shot(p, Vector3(), Vector3(0, 0, 40), 1.0);
    ship->HandleCollisionWith(&shot);
    EXPECT_TRUE(Near(ship->vel, Vector3(5, 0, 10)));
    ship->HandleCollisionWith(&shot);
    EXPECT_TRUE(ship->alive);
    EXPECT_EQ(ship->hitPoints, 1);
    EXPECT_EQ(Plays(BONK_SOUND), 2);

    // It has a shot in flight when the third hit comes; the shot lives on
    // without its shooter and scores nothing.
    p->pos = Vector3(10, 0, 0);
    ship->nextDecision = 100.0;
    ship->lastShot = 0.1;
    std::srand(SeedForFirstInt(0, 30, 0));
    ship->TimeUpdate(0.0);
    ASSERT_EQ(Count(SHINOBI_SHOT), 1);
    ship->HandleCollisionWith(&shot);
    EXPECT_FALSE(ship->alive);
    EXPECT_EQ(p->score, 1000);
    EXPECT_EQ(Particles(), 500);
    UpdateWorld(0.0);
    ASSERT_EQ(Count(BIG_SHINOBI), 0);
    gObjects.AddObject(new MediumAsteroid(gObjects[0]->pos, Vector3()));
    for (int i = 0; i < 150; ++i) UpdateWorld(0.01);
    EXPECT_EQ(Count(SHINOBI_SHOT), 0);
    EXPECT_EQ(p->score, 1000);
}
