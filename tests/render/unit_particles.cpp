// SPDX-License-Identifier: MIT
// The particle engine's bookkeeping: growth, ageing, motion, the global
// switch, and the billboard rotation every draw call uses.
#include <gtest/gtest.h>

#include <cmath>

#include "render/ParticleEngine.h"

namespace {

const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float CLEAR_RED[4] = {1.0f, 0.0f, 0.0f, 0.0f};

class ParticleEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ParticleEngine::particleEffectsOn = true; }
    void TearDown() override { ParticleEngine::particleEffectsOn = true; }

    // A still particle whose x coordinate tells it apart.
    static void AddMarked(ParticleEngine& engine, double mark, double ttl = 10.0) {
        engine.CreateParticle(Vector3(mark, 0, 0), Vector3(), Vector3(), ttl, 1.0, 1.0, WHITE, WHITE);
    }
};

TEST_F(ParticleEngineTest, GrowsByDoublingAndKeepsEveryEarlierParticle) {
    ParticleEngine engine(nullptr);
    EXPECT_EQ(engine.NumParticles(), 0);
    EXPECT_EQ(engine.Capacity(), 1000);
    for (int i = 0; i < 1000; ++i) AddMarked(engine, i);
    EXPECT_EQ(engine.Capacity(), 1000);

    AddMarked(engine, 1000);
    EXPECT_EQ(engine.Capacity(), 2000);
    ASSERT_EQ(engine.NumParticles(), 1001);
    for (int i = 0; i <= 1000; ++i) ASSERT_EQ(engine.GetParticle(i).pos.x, i) << "slot " << i;

    for (int i = 1001; i <= 2000; ++i) AddMarked(engine, i);
    EXPECT_EQ(engine.Capacity(), 4000);
    EXPECT_EQ(engine.GetParticle(2000).pos.x, 2000);
}

TEST_F(ParticleEngineTest, CreateCopiesEveryArgumentAndStartsAtAgeZero) {
    ParticleEngine engine(nullptr);
    float start[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    float end[4] = {0.5f, 0.6f, 0.7f, 0.8f};
    engine.CreateParticle(Vector3(1, 2, 3), Vector3(4, 5, 6), Vector3(7, 8, 9), 2.5, 3.0, 0.5, start, end);
    // The engine keeps its own copy of the colours.
    start[0] = end[0] = 99.0f;
    const Particle& p = engine.GetParticle(0);
    EXPECT_EQ(p.pos.z, 3);
    EXPECT_EQ(p.vel.y, 5);
    EXPECT_EQ(p.acl.x, 7);
    EXPECT_EQ(p.age, 0.0);
    EXPECT_EQ(p.ttl, 2.5);
    EXPECT_EQ(p.start_size, 3.0);
    EXPECT_EQ(p.end_size, 0.5);
    EXPECT_FLOAT_EQ(p.start_color[0], 0.1f);
    EXPECT_FLOAT_EQ(p.start_color[3], 0.4f);
    EXPECT_FLOAT_EQ(p.end_color[0], 0.5f);
    EXPECT_FLOAT_EQ(p.end_color[2], 0.7f);
}

TEST_F(ParticleEngineTest, LivesWhileAgeIsNotPastItsTime) {
    ParticleEngine engine(nullptr);
    AddMarked(engine, 0, 1.0);
    engine.TimeUpdate(0.5);
    EXPECT_EQ(engine.NumParticles(), 1);
    engine.TimeUpdate(0.5);  // age exactly 1.0: not yet past
    EXPECT_EQ(engine.NumParticles(), 1);
    EXPECT_DOUBLE_EQ(engine.GetParticle(0).age, 1.0);
    engine.TimeUpdate(0.5);
    EXPECT_EQ(engine.NumParticles(), 0);
}

TEST_F(ParticleEngineTest, RetiringFillsTheHoleWithTheLastParticleAlreadyUpdated) {
    ParticleEngine engine(nullptr);
    AddMarked(engine, 0, 10.0);
    AddMarked(engine, 1, 0.1);  // dies on the first step
    AddMarked(engine, 2, 10.0);
    engine.CreateParticle(Vector3(3, 0, 0), Vector3(1, 0, 0), Vector3(), 10.0, 1, 1, WHITE, WHITE);

    engine.TimeUpdate(0.5);
    ASSERT_EQ(engine.NumParticles(), 3);
    // The moving one (last) took slot 1 and was moved exactly once.
    EXPECT_DOUBLE_EQ(engine.GetParticle(1).pos.x, 3.5);
    EXPECT_DOUBLE_EQ(engine.GetParticle(1).age, 0.5);
    EXPECT_EQ(engine.GetParticle(0).pos.x, 0);
    EXPECT_EQ(engine.GetParticle(2).pos.x, 2);
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(engine.GetParticle(i).age, 0.5);
}

TEST_F(ParticleEngineTest, ManyDeathsInOnePassLeaveOnlyTheLiving) {
    ParticleEngine engine(nullptr);
    // Alternating short and long lives, so that holes and moves interleave.
    for (int i = 0; i < 3000; ++i) AddMarked(engine, i, i % 3 == 0 ? 0.25 : 5.0);
    engine.TimeUpdate(0.5);
    ASSERT_EQ(engine.NumParticles(), 2000);
    std::vector<int> seen(3000, 0);
    for (int i = 0; i < engine.NumParticles(); ++i) seen[static_cast<int>(engine.GetParticle(i).pos.x)]++;
    for (int i = 0; i < 3000; ++i) EXPECT_EQ(seen[i], i % 3 == 0 ? 0 : 1) << "particle " << i;
}

TEST_F(ParticleEngineTest, NewVelocityMovesTheParticle) {
    ParticleEngine engine(nullptr);
    engine.CreateParticle(Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, -1, 0), 5.0, 1, 1, WHITE, WHITE);
    engine.TimeUpdate(1.0);
    const Particle& p = engine.GetParticle(0);
    EXPECT_DOUBLE_EQ(p.vel.y, -1.0);
    EXPECT_DOUBLE_EQ(p.pos.y, -1.0);
    engine.TimeUpdate(1.0);
    EXPECT_DOUBLE_EQ(engine.GetParticle(0).vel.y, -2.0);
    EXPECT_DOUBLE_EQ(engine.GetParticle(0).pos.y, -3.0);
    EXPECT_DOUBLE_EQ(engine.GetParticle(0).pos.x, 0.0);
}

TEST_F(ParticleEngineTest, ClearEmptiesButKeepsCapacity) {
    ParticleEngine engine(nullptr);
    for (int i = 0; i < 1500; ++i) AddMarked(engine, i);
    engine.Clear();
    EXPECT_EQ(engine.NumParticles(), 0);
    EXPECT_EQ(engine.Capacity(), 2000);
    AddMarked(engine, 42);
    EXPECT_EQ(engine.NumParticles(), 1);
    EXPECT_EQ(engine.GetParticle(0).pos.x, 42);
}

TEST_F(ParticleEngineTest, SwitchedOffCreatesNothingAndEmptiesOnUpdate) {
    ParticleEngine engine(nullptr);
    AddMarked(engine, 1);
    AddMarked(engine, 2);
    ParticleEngine::particleEffectsOn = false;
    AddMarked(engine, 3);
    EXPECT_EQ(engine.NumParticles(), 2);
    engine.TimeUpdate(0.01);
    EXPECT_EQ(engine.NumParticles(), 0);
    EXPECT_EQ(engine.Capacity(), 1000);

    ParticleEngine::particleEffectsOn = true;
    AddMarked(engine, 4);
    EXPECT_EQ(engine.NumParticles(), 1);
}

// The rotated local -z axis must point from the centre to the eye, and the
// front face (counter-clockwise strip order seen by the viewer) must face it.
void ExpectFacesViewer(const Vector3& eye, const Vector3& center) {
    Quaternion q = ParticleEngine::BillboardRotation(eye, center);
    Vector3 minusZ = q.RotateVector(Vector3(0, 0, -1));
    Vector3 toEye = (eye - center).Normalize();
    EXPECT_NEAR(minusZ.x, toEye.x, 1e-9);
    EXPECT_NEAR(minusZ.y, toEye.y, 1e-9);
    EXPECT_NEAR(minusZ.z, toEye.z, 1e-9);
    // Normal of the strip's first triangle (-1,1), (1,1), (-1,-1).
    Vector3 a = q.RotateVector(Vector3(-1, 1, 0));
    Vector3 b = q.RotateVector(Vector3(1, 1, 0));
    Vector3 c = q.RotateVector(Vector3(-1, -1, 0));
    Vector3 normal = CrossProduct(b - a, c - a);
    EXPECT_GT(DotProduct(normal, toEye), 0.0) << "front face turned away from the viewer";
    // Still a pure rotation: the square keeps its size.
    EXPECT_NEAR(a.Length(), std::sqrt(2.0), 1e-9);
}

TEST(BillboardRotation, FacesTheViewerFromEveryDirection) {
    const Vector3 center(1, 2, 3);
    const Vector3 offsets[] = {Vector3(0, 0, -5), Vector3(3, 4, 5),  Vector3(-2, 0.5, 0),
                               Vector3(0, 7, 0),  Vector3(0, -1, 0), Vector3(0.001, 0, 10)};
    for (const Vector3& d : offsets) {
        SCOPED_TRACE(testing::Message() << "eye offset " << d.x << "," << d.y << "," << d.z);
        ExpectFacesViewer(center + d, center);
    }
}

TEST(BillboardRotation, ViewerStraightDownThePositiveZAxisStillSeesTheFront) {
    // The shortest arc has no axis here; the square must not end up culled.
    ExpectFacesViewer(Vector3(0, 0, 10), Vector3(0, 0, 0));
    ExpectFacesViewer(Vector3(5, -2, 4), Vector3(5, -2, 1));
}

}  // namespace
