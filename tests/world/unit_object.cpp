// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

using namespace worldtest;

namespace {
struct Probe : Object {
    explicit Probe(ObjectType t = SMALL_ASTEROID, bool* goneFlag = nullptr) : Object(t, nullptr), gone(goneFlag) {}
    ~Probe() override { if (gone) *gone = true; }
    void AddToScore(int amount) override { scored += amount; ++credits; }
    void BeenTimedOut() override { ++timeouts; }
    bool* gone;
    int scored = 0, credits = 0, timeouts = 0;
};
}  // namespace

TEST(ObjectList, GrowsCountsAndFillsHolesFromTheEnd) {
    bool gone[12] = {};
    {
        ObjectList list;
        EXPECT_EQ(list.Capacity(), 10);
        Probe* p[12];
        for (int i = 0; i < 12; ++i) {
            p[i] = new Probe(i % 3 == 0 ? STEEL_ROID : NOVA, &gone[i]);
            list.AddObject(p[i]);
            EXPECT_EQ(list.Capacity(), i < 10 ? 10 : 20);
        }
        EXPECT_EQ(list.Count(STEEL_ROID), 4);
        EXPECT_EQ(list.Count(NOVA), 8);
        list.RemoveObject(0);  // the last moves into the hole
        EXPECT_EQ(list[0], p[11]);
        EXPECT_EQ(list.NumObjects(), 11);
        EXPECT_EQ(list.Count(STEEL_ROID), 3);
        list.RemoveObject(p[0]);  // no longer there: nothing happens
        EXPECT_EQ(list.NumObjects(), 11);
        list.RemoveObject(p[5]);
        EXPECT_EQ(list.Count(NOVA), 7);
        list.DeleteObject(1);
        EXPECT_TRUE(gone[1]);
        delete p[0];
        delete p[5];
    }
    for (bool g : gone) EXPECT_TRUE(g);  // the list deleted what it still held
}

TEST(Collision, StrictAndOnlyBetweenLivingObjects) {
    Probe a, b;
    a.radius = 1.5;
    b.radius = 2.5;
    b.pos = Vector3(4.0, 0.0, 0.0);
    EXPECT_FALSE(CollisionBetween(&a, &b));
    b.pos.x = 3.999999;
    EXPECT_TRUE(CollisionBetween(&a, &b));
    EXPECT_TRUE(CollisionBetween(&b, &a));
    b.alive = false;
    EXPECT_FALSE(CollisionBetween(&a, &b));
    EXPECT_FALSE(CollisionBetween(&b, &a));
}

class ObjectMotion : public WorldTest {};

TEST_F(ObjectMotion, MovesWithUnclampedVelocityThenClampsAndWraps) {
    Probe o;
    o.vel = Vector3(32.0, 0.0, 0.0);
    o.TimeUpdate(0.5);
    EXPECT_DOUBLE_EQ(o.pos.x, 16.0);  // full distance in the clamping frame
    EXPECT_DOUBLE_EQ(o.vel.Length(), 16.0);
    o.pos = Vector3(24.0, 3.0, 25.0);  // exactly on a face stays
    o.vel = Vector3(10.0, 0.0, 0.0);
    o.TimeUpdate(0.25);
    EXPECT_DOUBLE_EQ(o.pos.x, -23.5);
    EXPECT_DOUBLE_EQ(o.pos.y, 3.0);
    EXPECT_DOUBLE_EQ(o.pos.z, 25.0);
    o.vel = Vector3();
    o.rot = Vector3(0.0, 0.0, 90.0);
    o.TimeUpdate(1.0);
    EXPECT_TRUE(Near(o.dir.RotateVector(Vector3(1, 0, 0)), Vector3(0, 1, 0), 1e-9));
    EXPECT_EQ(o.ttl, 1e30);  // forever is never counted down
    EXPECT_EQ(o.timeouts, 0);
}

TEST_F(ObjectMotion, TimesOutOnEveryFrameTheTtlIsSpent) {
    Probe o;
    o.ttl = 0.3;
    o.TimeUpdate(0.25);
    EXPECT_EQ(o.timeouts, 0);
    o.TimeUpdate(0.25);
    o.TimeUpdate(0.25);
    EXPECT_EQ(o.timeouts, 2);
}

TEST_F(ObjectMotion, ShakeJoltsOncePerFrameOnlyWhatCanBeShaken) {
    gShakeTime = 1.0;
    std::srand(77);
    double strength = RandomDouble(0.0, 10.0);
    Vector3 jolt = RandomVector(strength);
    int next = RandomDraw();
    Probe o, steady;
    steady.canBeShaken = false;
    std::srand(77);
    o.TimeUpdate(0.0);
    steady.TimeUpdate(0.0);
    EXPECT_TRUE(Near(o.vel, jolt));
    EXPECT_TRUE(Near(steady.vel, Vector3()));
    EXPECT_EQ(RandomDraw(), next);  // the steady one drew nothing
}

TEST_F(ObjectMotion, DamageExplodesAtZeroAndCreditsTheSource) {
    Probe o, hitter;
    o.hitPoints = 3;
    o.points = 250;
    o.BeenDamaged(2, &hitter);
    EXPECT_TRUE(o.alive);
    EXPECT_EQ(o.hitPoints, 1);
    EXPECT_EQ(Particles(), 0);
    o.BeenDamaged(1, &hitter);
    EXPECT_FALSE(o.alive);
    EXPECT_EQ(hitter.credits, 1);
    EXPECT_EQ(hitter.scored, 250);
    EXPECT_EQ(Plays(EXPLOSION_SOUND), 1);
    Probe lone;
    lone.BeenDamaged(1, nullptr);
    EXPECT_FALSE(lone.alive);
}

TEST_F(ObjectMotion, ExplosionBurstIsFiveHundredParticlesThatStopWhenTheyDie) {
    Probe o;
    o.pos = Vector3(1, 2, 3);
    o.vel = Vector3(0, 4, 0);
    std::srand(99);
    int kind = RandomInt(0, 2);
    double ttl = kind == 0 ? RandomDouble(0.3, 0.7) : RandomDouble(2.0, 4.0);
    std::srand(99);
    o.DoExplosion();
    ASSERT_EQ(Particles(), 500);
    EXPECT_DOUBLE_EQ(gParticleEngine->GetParticle(0).ttl, ttl);
    int flashes = 0;
    for (int i = 0; i < 500; ++i) {
        const Particle& p = gParticleEngine->GetParticle(i);
        EXPECT_TRUE(Near(p.pos, o.pos));
        Vector3 spray = p.vel - o.vel;
        EXPECT_TRUE(Near(spray + p.acl * p.ttl, Vector3(), 1e-9));
        bool flash = p.ttl <= 0.7;
        flashes += flash;
        EXPECT_LE(spray.Length(), flash ? 4.0 + 1e-9 : 8.0 + 1e-9);
        EXPECT_FLOAT_EQ(p.start_color[2], flash ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(p.end_color[3], flash ? 0.0f : 0.25f);
    }
    EXPECT_GT(flashes, 150);
    EXPECT_LT(flashes, 350);

    // Without an engine the same values are drawn: the sequence stays in step.
    std::srand(5);
    o.DoExplosion();
    int after = RandomDraw();
    delete gParticleEngine;
    gParticleEngine = nullptr;
    std::srand(5);
    o.DoExplosion();
    EXPECT_EQ(RandomDraw(), after);
    gParticleEngine = new ParticleEngine(nullptr);
}
