// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

using namespace worldtest;

class Ship : public ShipWorldTest {
protected:
    int Volleys() const { return Plays(SHOT_SOUND); }
};

TEST_F(Ship, StartsAGameAndAWaveAfresh) {
    EXPECT_EQ(p->lives, 2);
    EXPECT_EQ(p->score, 0);
    EXPECT_EQ(p->bonus, 2000);
    EXPECT_EQ(p->bonusMult, 1);
    EXPECT_DOUBLE_EQ(p->shieldLevel, 4.0);
    EXPECT_TRUE(p->ShieldOn());  // two seconds of auto shield
    p->alive = false;
    p->NewWave();  // lost in the last wave: a new ship first
    EXPECT_TRUE(p->alive);
    EXPECT_EQ(p->lives, 1);
}

TEST_F(Ship, FiresOncePerPressUnlessItHasMachineGuns) {
    p->shooting = true;
    for (int i = 0; i < 10; ++i) p->TimeUpdate(0.2);
    EXPECT_EQ(Volleys(), 1);
    p->shooting = false;
    p->TimeUpdate(0.01);
    p->shooting = true;
    p->TimeUpdate(0.01);
    EXPECT_EQ(Volleys(), 2);
    p->shooting = false;
    p->TimeUpdate(0.01);
    p->shooting = true;
    p->TimeUpdate(0.01);  // a fresh press, but the guns are not ready yet
    EXPECT_EQ(Volleys(), 2);

    SoundLog().clear();
    p->machineGuns = true;
    p->nextShot = 0.0;
    for (int i = 0; i < 40; ++i) p->TimeUpdate(0.025);
    EXPECT_EQ(Volleys(), 20);
    SoundLog().clear();
    for (int i = 0; i < 10; ++i) p->TimeUpdate(0.1);  // set, not accumulated
    EXPECT_EQ(Volleys(), 10);
}

TEST_F(Ship, ShotsLeaveTheMuzzleWithTheShipsVelocity) {
    p->dir = Quaternion(Vector3(0, 90, 0));  // nose along +x
    p->vel = Vector3(0, 2, 0);
    p->tripleFire = true;
    p->longRange = true;
    p->shooting = true;
    p->TimeUpdate(0.5);
    ASSERT_EQ(Count(PLAYER_SHOT), 3);
    EXPECT_EQ(Volleys(), 1);
    EXPECT_EQ(p->numShots, 3);
    Object* s = gObjects[0];
    EXPECT_TRUE(Near(s->pos, Vector3(1.5, 1.0, 0), 1e-9));
    EXPECT_TRUE(Near(s->vel, Vector3(25, 2, 0), 1e-9));
    EXPECT_DOUBLE_EQ(s->ttl, 2.0);
    Vector3 side = Vector3(0.1, 0, 1.5).Normalize() * 25.0;
    EXPECT_TRUE(Near(gObjects[1]->vel, Vector3(side.z, 2, -side.x), 1e-9));
    EXPECT_TRUE(Near(gObjects[2]->vel, Vector3(side.z, 2, side.x), 1e-9));

    p->numShots = 100000;  // the cap on live shots
    p->shooting = false;
    p->TimeUpdate(0.5);
    p->shooting = true;
    p->TimeUpdate(0.5);
    EXPECT_EQ(Count(PLAYER_SHOT), 3);
}

TEST_F(Ship, ThrustsWithExhaustAndSteersAtNinetyDegrees) {
    p->thrusting = true;
    p->TimeUpdate(0.015);
    EXPECT_EQ(Particles(), 8);
    EXPECT_TRUE(Near(p->vel, Vector3(0, 0, 16.0 * 0.015)));
    p->TimeUpdate(0.021);
    EXPECT_EQ(Particles(), 19);
    EXPECT_EQ(SoundCount(WORLD_SOUND_START_LOOP, THRUSTER_SOUND), 1);
    for (int i = 0; i < 8; ++i) EXPECT_LT(gParticleEngine->GetParticle(i).pos.z, -0.5 + 0.01);
    p->thrusting = false;
    p->airBrakes = true;
    Vector3 v = p->vel;
    p->TimeUpdate(0.25);
    EXPECT_EQ(SoundCount(WORLD_SOUND_STOP_LOOP, THRUSTER_SOUND), 1);
    EXPECT_TRUE(Near(p->vel, v * 0.75));
    p->turningLeft = p->nosingUp = true;
    p->TimeUpdate(0.0);
    EXPECT_TRUE(Near(p->rot, Vector3(-1, 1, 0).Normalize() * 90.0));
    p->turningLeft = p->nosingUp = false;
    p->TimeUpdate(0.0);
    EXPECT_TRUE(Near(p->rot, Vector3()));
}

TEST_F(Ship, ShieldKeyWaitsForTheAutoShieldAndBuzzesWhenEmpty) {
    p->shielding = true;
    for (int i = 0; i < 7; ++i) p->TimeUpdate(0.25);
    EXPECT_EQ(Plays(SHIELD_ON_SOUND), 0);
    EXPECT_DOUBLE_EQ(p->shieldLevel, 4.0);
    p->TimeUpdate(0.25);  // the auto shield ends: a held key counts as a fresh press
    EXPECT_EQ(Plays(SHIELD_ON_SOUND), 1);
    EXPECT_DOUBLE_EQ(p->shieldLevel, 3.75);
    for (int i = 0; i < 16; ++i) p->TimeUpdate(0.25);
    EXPECT_DOUBLE_EQ(p->shieldLevel, 0.0);
    EXPECT_FALSE(p->ShieldOn());
    EXPECT_EQ(SoundCount(WORLD_SOUND_START_LOOP, NO_SHIELD_SOUND), 1);
    p->shielding = false;
    p->TimeUpdate(0.25);
    EXPECT_EQ(SoundCount(WORLD_SOUND_STOP_LOOP, NO_SHIELD_SOUND), 1);
    p->shielding = true;
    p->TimeUpdate(0.25);
    EXPECT_EQ(SoundCount(WORLD_SOUND_START_LOOP, NO_SHIELD_SOUND), 2);
    // Energy picked up while the buzz runs: releasing still silences it.
    p->AddToShieldLevel(10.0);
    EXPECT_DOUBLE_EQ(p->shieldLevel, 8.0);
    p->shielding = false;
    p->TimeUpdate(0.25);
    EXPECT_EQ(SoundCount(WORLD_SOUND_STOP_LOOP, NO_SHIELD_SOUND), 2);
}

TEST_F(Ship, BonusDecaysAndScoreEarnsLives) {
    for (int i = 0; i < 4; ++i) p->TimeUpdate(0.25);
    EXPECT_EQ(p->bonus, 1990);
    p->TimeUpdate(3.0);  // one drop per update at most
    EXPECT_EQ(p->bonus, 1980);
    p->bonus = 5;
    p->TimeUpdate(1.0);
    EXPECT_EQ(p->bonus, 0);
    p->score = 49990;
    p->AddToScore(50020);
    EXPECT_EQ(p->score, 100010);
    EXPECT_EQ(p->lives, 4);
    EXPECT_EQ(Plays(NEW_LIFE_SOUND), 1);
    p->AddToScore(100);
    EXPECT_EQ(p->lives, 4);
}

TEST_F(Ship, CollisionsExplodeItUnlessShieldedOrLucky) {
    SteelRoid steel(Vector3(0, 0, 3), Vector3(8, 0, 0));
    SmallAsteroid rock(Vector3{}, Vector3(5, 0, 0));
    Prize prize(Vector3{}, Vector3());
    p->HandleCollisionWith(&rock);  // auto shield
    p->invincible = true;
    p->autoShield = 0.0;
    p->HandleCollisionWith(&rock);
    EXPECT_TRUE(Near(p->vel, Vector3()));
    p->HandleCollisionWith(&steel);
    EXPECT_TRUE(Near(p->vel, Vector3(0, 0, -4)));
    p->invincible = false;
    p->HandleCollisionWith(&prize);
    p->BeenDamaged(5, nullptr);  // a blast has no source
    EXPECT_TRUE(p->alive);

    p->luckyIrish = true;
    std::srand(SeedForFirstInt(0, 3, 0));
    p->HandleCollisionWith(&rock);
    EXPECT_TRUE(p->alive);
    EXPECT_DOUBLE_EQ(p->luckyShield, 1.0);
    EXPECT_EQ(Plays(LUCKY_SOUND), 1);
    p->luckyShield = 0.0;
    std::srand(SeedForFirstInt(0, 3, 1));
    p->HandleCollisionWith(&rock);
    EXPECT_FALSE(p->alive);
    EXPECT_EQ(Plays(SHIP_DIES_SOUND), 1);
    EXPECT_EQ(Particles(), 500);
    EXPECT_EQ(SoundCount(WORLD_SOUND_STOP_LOOP, NO_SHIELD_SOUND), 1);

    // A new ship keeps the power-ups only on a lucky draw.
    p->machineGuns = p->tripleFire = true;
    std::srand(SeedForFirstInt(0, 3, 0));
    p->NewShip();
    EXPECT_TRUE(p->machineGuns && p->luckyIrish);
    std::srand(SeedForFirstInt(0, 3, 2));
    p->NewShip();
    EXPECT_FALSE(p->machineGuns || p->tripleFire || p->luckyIrish);
    EXPECT_EQ(p->lives, 0);
    std::srand(8);
    int first = RandomDraw();
    std::srand(8);
    EXPECT_FALSE(p->GotLucky());  // draws nothing without the power-up
    EXPECT_EQ(RandomDraw(), first);
}
