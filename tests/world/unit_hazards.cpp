// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

#include <cmath>

using namespace worldtest;

class Hazards : public ShipWorldTest {};

TEST_F(Hazards, NovasLeftAloneBlastTheWorldOnceEach) {
    gObjects.AddObject(new Nova(Vector3(3, 0, 0)));
    gObjects.AddObject(new Nova(Vector3(-3, 0, 0)));
    for (int i = 0; i < 19; ++i) UpdateWorld(0.25);
    EXPECT_EQ(Count(NOVA), 2);
    EXPECT_EQ(Particles(), 0);
    UpdateWorld(0.25);
    EXPECT_EQ(Count(NOVA), 0);
    EXPECT_EQ(Plays(NOVA_BOOM_SOUND), 2);
    EXPECT_EQ(Plays(EXPLOSION_SOUND), 0);
    ASSERT_EQ(Particles(), 4000);
    EXPECT_DOUBLE_EQ(gShakeTime, 5.0);
    // The world step moves the new particles on by the same 0.25 s: each
    // left its nova at 10 or 5 units/s, pushed on by that same vector.
    int fromFirst = 0;
    for (int i = 0; i < 4000; ++i) {
        const Particle& q = gParticleEngine->GetParticle(i);
        fromFirst += Near(q.pos - q.vel * 0.25, Vector3(3, 0, 0));
        EXPECT_TRUE(Near(q.acl * 1.25, q.vel));
        EXPECT_DOUBLE_EQ(q.ttl, 16.0);
        double speed = q.vel.Length();
        EXPECT_TRUE(std::abs(speed - 12.5) < 1e-9 || std::abs(speed - 6.25) < 1e-9);
    }
    EXPECT_EQ(fromFirst, 2000);
}

TEST_F(Hazards, ABlastHurtsEverythingOnceAndCreditsNobody) {
    NovaExplosion(Vector3());  // empty world: sound, light and shake only
    EXPECT_EQ(Particles(), 2000);
    EXPECT_EQ(Plays(NOVA_BOOM_SOUND), 1);
    gParticleEngine->Clear();
    gShakeTime = 0.0;
    gObjects.AddObject(p);
    auto* steel = new SteelRoid(Vector3(), Vector3());
    auto* mine = new Homing(Vector3(), Vector3());
    auto* big = new BigAsteroid(Vector3(), Vector3());
    gObjects.AddObject(steel);
    gObjects.AddObject(mine);
    gObjects.AddObject(big);
    gObjects.AddObject(new SmallAsteroid(Vector3(), Vector3()));
    gObjects.AddObject(new PlayerShot(p, Vector3(), Vector3(), 1.0));
    gObjects.AddObject(new Multiplier(Vector3(), 2));
    gObjects.AddObject(new Bonus(Vector3(), Vector3(), 500));
    gObjects.AddObject(new Nova(Vector3()));
    NovaExplosion(Vector3());
    EXPECT_EQ(steel->hitPoints, 9);
    EXPECT_EQ(mine->hitPoints, 8);
    EXPECT_FALSE(big->alive);
    EXPECT_EQ(Plays(NOVA_BOOM_SOUND), 2);  // the nova in the list was not set off
    int deadOthers = 0, liveFragments = 0;
    for (int i = 0; i < gObjects.NumObjects(); ++i) {
        Object* o = gObjects[i];
        if (o->type == MEDIUM_ASTEROID) liveFragments += o->alive;
        else if (!o->alive) ++deadOthers;
    }
    EXPECT_EQ(deadOthers, 2);  // the big and the small asteroid
    EXPECT_EQ(liveFragments, Count(MEDIUM_ASTEROID));
    EXPECT_GE(liveFragments, 1);
    EXPECT_TRUE(p->alive);
    EXPECT_EQ(p->score, 0);

    // A second blast before the loop has cleared the dead (the game paused,
    // or two novas in one frame): what is dead does not explode again, so
    // the cheat key held down in the pause cannot multiply the asteroids.
    gParticleEngine->Clear();
    const int mediums = Count(MEDIUM_ASTEROID);
    NovaExplosion(Vector3());
    EXPECT_EQ(Particles(), 2000 + 500 * liveFragments);  // the mediums' bursts only
    EXPECT_EQ(Count(MEDIUM_ASTEROID), mediums);          // the dead big did not split again
    EXPECT_EQ(steel->hitPoints, 8);
}

TEST_F(Hazards, MinesChaseWithinTheSpeedLimitAndTakeNineShots) {
    Homing mine(Vector3(-24, -24, -24), Vector3());
    p->pos = Vector3(20, 20, 20);
    for (int i = 0; i < 200; ++i) {
        mine.TimeUpdate(0.05);
        ASSERT_LE(mine.vel.Length(), 16.0 + 1e-9);
    }
    Vector3 v = mine.vel;
    p->alive = false;  // between lives it coasts
    mine.TimeUpdate(0.05);
    EXPECT_TRUE(Near(mine.vel, v));
    mine.vel = Vector3();
    PlayerShot shot(p, Vector3(), Vector3(0, 0, 4), 1.0);
    for (int i = 0; i < 8; ++i) mine.HandleCollisionWith(&shot);
    EXPECT_TRUE(mine.alive);
    EXPECT_TRUE(Near(mine.vel, Vector3(0, 0, 16)));
    mine.HandleCollisionWith(&shot);
    EXPECT_FALSE(mine.alive);
    EXPECT_EQ(p->score, 700);
    EXPECT_EQ(Plays(BONK_SOUND), 9);
    Homing touched(Vector3{}, Vector3());
    touched.HandleCollisionWith(p);  // a touch sets it off at once
    EXPECT_FALSE(touched.alive);
    EXPECT_EQ(p->score, 1400);
}

TEST_F(Hazards, WellsPullTheShipAndNovasAreDefused) {
    Gravity well(Vector3(10, 0, 0));
    well.TimeUpdate(0.1);
    EXPECT_TRUE(Near(p->vel, Vector3(1.96, 0, 0), 1e-12));
    p->vel = Vector3();
    p->pos = well.pos;  // no direction to pull in
    well.TimeUpdate(0.1);
    EXPECT_TRUE(Near(p->vel, Vector3()));
    p->alive = false;
    p->pos = Vector3();
    well.TimeUpdate(0.1);
    EXPECT_TRUE(Near(p->vel, Vector3()));
    p->alive = true;

    Nova nova(Vector3{});
    nova.BeenDamaged(5, nullptr);
    EXPECT_TRUE(nova.alive);
    PlayerShot shot(p, Vector3(), Vector3(), 1.0);
    nova.HandleCollisionWith(&shot);
    well.HandleCollisionWith(p);
    EXPECT_FALSE(nova.alive || well.alive);
    EXPECT_EQ(p->score, 1500);
    EXPECT_EQ(Particles(), 1000);
    EXPECT_EQ(Plays(NOVA_BOOM_SOUND), 0);
}
