// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

#include <algorithm>

using namespace worldtest;

class Pickups : public ShipWorldTest {};

TEST_F(Pickups, APrizeFlownIntoPaysOutExactlyOnce) {
    for (int k = 0; k < 8; ++k) {
        ClearWorld();
        SoundLog().clear();
        p->NewGame();
        p->NewWave();
        gObjects.AddObject(p);
        gFreezeTime = 5.0;
        auto* prize = new Prize(Vector3(), Vector3());
        gObjects.AddObject(prize);
        gObjects.AddObject(new SmallAsteroid(Vector3(20, 0, 0), Vector3()));
        unsigned seed = SeedForFirstInt(0, 8, k);
        std::srand(seed);
        RandomInt(0, 8);
        double extra = RandomDouble(0.0, 4.0) + 1.6;
        std::srand(seed);
        prize->HandleCollisionWith(p);
        EXPECT_FALSE(prize->alive);
        EXPECT_EQ(Plays(GOT_PRIZE_SOUND), 1) << k;
        EXPECT_EQ(p->machineGuns, k == 0);
        EXPECT_EQ(p->airBrakes, k == 1);
        EXPECT_EQ(p->luckyIrish, k == 2);
        EXPECT_EQ(p->tripleFire, k == 3);
        EXPECT_EQ(p->longRange, k == 4);
        EXPECT_DOUBLE_EQ(p->shieldLevel, k == 5 ? std::min(8.0, 4.0 + extra) : 4.0);
        EXPECT_DOUBLE_EQ(gFreezeTime, k == 6 ? 20.0 : 5.0);  // restarts, does not add
        // The blast catches the prize itself (idiot sound) and the asteroid,
        // but not the ship; nobody scores.
        EXPECT_EQ(Plays(IDIOT_SOUND), k == 7 ? 1 : 0);
        EXPECT_EQ(Plays(NOVA_BOOM_SOUND), k == 7 ? 1 : 0);
        EXPECT_EQ(gObjects[2]->alive, k != 7);
        EXPECT_TRUE(p->alive);
        EXPECT_EQ(p->score, 0);
    }
}

TEST_F(Pickups, ShootingAPrizeOrAWreckWastesIt) {
    Prize prize(Vector3{}, Vector3());
    DamagedShip wreck(Vector3{}, Vector3());
    PlayerShot shot(p, Vector3(), Vector3(), 1.0);
    prize.HandleCollisionWith(&shot);
    wreck.HandleCollisionWith(&shot);
    EXPECT_FALSE(prize.alive || wreck.alive);
    EXPECT_EQ(Plays(IDIOT_SOUND), 1);
    EXPECT_EQ(Plays(SHIP_DIES_SOUND), 1);
    EXPECT_EQ(Particles(), 1000);
    EXPECT_EQ(p->lives, 2);
    EXPECT_FALSE(p->machineGuns || p->airBrakes || p->tripleFire || p->longRange || p->luckyIrish);
}

TEST_F(Pickups, MultipliersAndBonusesAreCollectedOnlyByShooting) {
    p->bonusMult = 5;
    Multiplier m3(Vector3{}, 3), m7(Vector3(), 7);
    Bonus bonus(Vector3{}, Vector3(0, 0, 6), 3000);
    EXPECT_EQ(m7.model, nullptr);
    m3.HandleCollisionWith(p);
    bonus.HandleCollisionWith(p);
    m3.BeenDamaged(10, p);
    bonus.BeenDamaged(10, nullptr);
    EXPECT_TRUE(m3.alive && bonus.alive);
    PlayerShot shot(p, Vector3(), Vector3(), 1.0);
    m3.HandleCollisionWith(&shot);
    EXPECT_EQ(p->bonusMult, 3);  // lower than before, still set
    EXPECT_FALSE(m3.alive);
    EXPECT_EQ(Plays(MULTIPLIER_SHOT_SOUND), 1);
    EXPECT_EQ(Particles(), 0);
    bonus.HandleCollisionWith(&shot);
    EXPECT_EQ(p->bonus, 5000);
    EXPECT_EQ(Plays(BONUS_SHOT_SOUND), 1);
    ASSERT_EQ(Particles(), 500);
    for (int i = 0; i < 500; ++i) {
        const Particle& q = gParticleEngine->GetParticle(i);
        if (q.ttl > 0.7) {  // embers are blue for a bonus
            EXPECT_FLOAT_EQ(q.start_color[2], 1.0f);
            EXPECT_FLOAT_EQ(q.end_color[0], 0.0f);
            EXPECT_FLOAT_EQ(q.end_color[2], 1.0f);
        }
    }
    // A shot whose shooter is gone collects nothing and breaks nothing.
    Bonus orphanBonus(Vector3{}, Vector3(), 1000);
    Multiplier orphanMult(Vector3{}, 2);
    {
        auto* enemy = new BigShinobi(Vector3(), 0);
        PlayerShot stray(enemy, Vector3(), Vector3(), 1.0);
        delete enemy;
        orphanBonus.HandleCollisionWith(&stray);
        orphanMult.HandleCollisionWith(&stray);
    }
    EXPECT_EQ(p->bonus, 5000);
    EXPECT_EQ(p->bonusMult, 3);
    EXPECT_FALSE(orphanBonus.alive || orphanMult.alive);
}

TEST_F(Pickups, TimeOutsAndTrails) {
    gObjects.AddObject(new Multiplier(Vector3(), 4));
    gObjects.AddObject(new Bonus(Vector3(), Vector3(5, 0, 0), 500));
    auto* wreck = new DamagedShip(Vector3(5, 5, 5), Vector3());
    gObjects.AddObject(wreck);
    wreck->TimeUpdate(0.0);
    EXPECT_EQ(Particles(), 0);
    wreck->TimeUpdate(0.01);
    EXPECT_EQ(Particles(), 5);
    gParticleEngine->Clear();
    gObjects[1]->TimeUpdate(0.05);
    ASSERT_EQ(Particles(), 5);
    for (int i = 0; i < 5; ++i)  // the tail trails behind the direction of travel
        EXPECT_LT(gParticleEngine->GetParticle(i).pos.x, gObjects[1]->pos.x - 0.9);
    for (int i = 0; i < 40; ++i) UpdateWorld(0.25);
    EXPECT_EQ(Plays(MULTIPLIER_GONE_SOUND), 2);
    EXPECT_EQ(Count(DAMAGED_SHIP), 1);
    p->pos = wreck->pos;
    gObjects.AddObject(p);
    UpdateWorld(0.0);
    EXPECT_EQ(p->lives, 3);  // rescued, no burst
    EXPECT_EQ(Plays(SAVED_SHIP_SOUND), 1);
    EXPECT_EQ(Plays(SHIP_DIES_SOUND), 0);
}
