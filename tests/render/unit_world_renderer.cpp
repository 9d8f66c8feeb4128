// SPDX-License-Identifier: MIT
// World-renderer logic that needs no window: the back-to-front order, the
// starscape's placement and random draws, and the three cameras.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "render/Camera.h"
#include "render/GraphicsEngine.h"
#include "render/ParticleEngine.h"
#include "shell/Globals.h"
#include "world/Object.h"

namespace {

std::vector<const class Recorder*> drawn;

// Draws nothing; remembers the order in which it was asked to draw.
class Recorder : public Object {
public:
    explicit Recorder(Vector3 p) : Object(SMALL_ASTEROID, nullptr) { pos = p; }
    void Draw() override { drawn.push_back(this); }
};

class DrawOrderTest : public ::testing::Test {
protected:
    void SetUp() override { drawn.clear(); }
    void TearDown() override {
        while (gObjects.NumObjects() > 0) gObjects.DeleteObject(0);
    }
    Recorder* Add(Vector3 p) {
        Recorder* r = new Recorder(p);
        gObjects.AddObject(r);
        return r;
    }
};

TEST_F(DrawOrderTest, FarthestIsDrawnFirst) {
    StaticCamera camera(Vector3(1, 1, 1), Vector3(0, 0, 0), Vector3(0, 1, 0));
    Recorder* at5 = Add(Vector3(1, 1, 6));
    Recorder* at20 = Add(Vector3(1, 21, 1));
    Recorder* at10 = Add(Vector3(-9, 1, 1));
    DrawObjects(&camera);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0], at20);
    EXPECT_EQ(drawn[1], at10);
    EXPECT_EQ(drawn[2], at5);

    // The order follows the eye, not the list.
    drawn.clear();
    StaticCamera other(Vector3(1, 30, 1), Vector3(0, 0, 0), Vector3(0, 1, 0));
    DrawObjects(&other);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[2], at20);
}

TEST_F(DrawOrderTest, EmptyListDrawsNothing) {
    StaticCamera camera(Vector3(), Vector3(0, 0, 1), Vector3(0, 1, 0));
    DrawObjects(&camera);
    EXPECT_TRUE(drawn.empty());
}

TEST_F(DrawOrderTest, ManyObjectsWithTiesAreEachDrawnOnceInNonIncreasingDistance) {
    StaticCamera camera(Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(0, 1, 0));
    std::srand(7);
    std::vector<Recorder*> all;
    for (int i = 0; i < 300; ++i) {
        // Whole-unit spots on a small grid: many objects share a distance.
        Vector3 p(RandomInt(-3, 4), RandomInt(-3, 4), RandomInt(-3, 4));
        all.push_back(Add(p));
    }
    DrawObjects(&camera);
    ASSERT_EQ(drawn.size(), all.size());
    for (size_t i = 1; i < drawn.size(); ++i)
        EXPECT_GE(drawn[i - 1]->pos.Length(), drawn[i]->pos.Length()) << "at " << i;
    for (Recorder* r : all) EXPECT_EQ(std::count(drawn.begin(), drawn.end(), r), 1);
}

TEST(CmpObjDistPair, SortsByDescendingDistance) {
    ObjDistPair near{nullptr, 5.0}, far{nullptr, 20.0};
    EXPECT_EQ(CmpObjDistPair(&near, &far), 1);
    EXPECT_EQ(CmpObjDistPair(&far, &near), -1);

    Recorder r(Vector3(3, 4, 0));
    ObjDistPair p;
    p.Init(&r, Vector3(0, 0, 12));
    EXPECT_EQ(p.o, &r);
    EXPECT_DOUBLE_EQ(p.d, 13.0);
}

TEST(Starscape, StarsLieOutsideTheArenaAndFollowTheRandomSequence) {
    const unsigned seed = 4242;
    // The expected values, from the same generator: per star x, y, z are
    // drawn until the point is outside the box, then r, g, b.
    std::srand(seed);
    struct Star { Vector3 p; float c[3]; };
    std::vector<Star> expected;
    for (int i = 0; i < 1000; ++i) {
        Star s;
        for (;;) {
            s.p.x = RandomDouble(-200, 200);
            s.p.y = RandomDouble(-200, 200);
            s.p.z = RandomDouble(-200, 200);
            if (std::abs(s.p.x) > 25 || std::abs(s.p.y) > 25 || std::abs(s.p.z) > 25) break;
        }
        for (float& c : s.c) c = static_cast<float>(RandomDouble(0.5, 1.0));
        expected.push_back(s);
    }
    const int nextDraw = RandomDraw();

    std::srand(seed);
    ParticleEngine::particleEffectsOn = true;
    CreateStarscape();
    EXPECT_EQ(RandomDraw(), nextDraw) << "the starscape drew a different number of values";
    ASSERT_NE(starscape1, nullptr);
    ASSERT_EQ(starscape1->NumParticles(), 500);
    ASSERT_EQ(starscape2->NumParticles(), 500);
    ASSERT_EQ(theSun->NumParticles(), 1);

    for (int i = 0; i < 1000; ++i) {
        const Particle& p = (i < 500 ? starscape1 : starscape2)->GetParticle(i % 500);
        const Star& s = expected[static_cast<size_t>(i)];
        ASSERT_EQ(p.pos.x, s.p.x) << "star " << i;
        ASSERT_EQ(p.pos.y, s.p.y) << "star " << i;
        ASSERT_EQ(p.pos.z, s.p.z) << "star " << i;
        EXPECT_TRUE(p.pos.x < -25 || p.pos.x > 25 || p.pos.y < -25 || p.pos.y > 25 || p.pos.z < -25 ||
                    p.pos.z > 25)
            << "star " << i << " inside the arena";
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(p.start_color[k], s.c[k]);
            EXPECT_EQ(p.end_color[k], s.c[k]);
        }
        EXPECT_EQ(p.start_color[3], 1.0f);
        EXPECT_EQ(p.start_size, 1.0);
        EXPECT_GE(p.ttl, 1e30);
    }
    const Particle& sun = theSun->GetParticle(0);
    EXPECT_EQ(sun.pos.x, 200);
    EXPECT_EQ(sun.pos.y, 200);
    EXPECT_EQ(sun.pos.z, 200);
    EXPECT_EQ(sun.start_size, 100);
    EXPECT_EQ(sun.end_size, 100);
}

void ExpectVec(const Vector3& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, 1e-9);
    EXPECT_NEAR(v.y, y, 1e-9);
    EXPECT_NEAR(v.z, z, 1e-9);
}

// Where a camera is, what it looks at and which way is up.
void ExpectView(const Camera& camera, const Vector3& eye, const Vector3& center, const Vector3& up) {
    ExpectVec(camera.eye, eye.x, eye.y, eye.z);
    ExpectVec(camera.center, center.x, center.y, center.z);
    ExpectVec(camera.up, up.x, up.y, up.z);
}

TEST(Cameras, FirstPersonRidesInsideTheObject) {
    Object ship(PLAYER, nullptr);
    ship.pos = Vector3(1, 2, 3);
    FirstPersonCamera camera(&ship);
    EXPECT_EQ(camera.type, FIRST_PERSON);
    camera.TimeUpdate(0.0);
    ExpectView(camera, {1, 2, 3}, {1, 2, 4}, {0, 1, 0});

    // Rigid: follows a move at once, whatever the step.
    ship.pos = Vector3(-4, 0, 0);
    ship.dir = Quaternion(Vector3(0, 180, 0));
    camera.TimeUpdate(123.0);
    ExpectView(camera, {-4, 0, 0}, {-4, 0, -1}, {0, 1, 0});

    // Rolled upside down about the forward axis, up points down.
    ship.dir = Quaternion(Vector3(0, 0, 180));
    camera.TimeUpdate(0.0);
    ExpectVec(camera.up, 0, -1, 0);
    ExpectVec(camera.center, -4, 0, 1);
}

TEST(Cameras, ThirdPersonSitsBehindAndAboveAndTurnsWithTheObject) {
    Object ship(PLAYER, nullptr);
    ship.pos = Vector3(1, 2, 3);
    ThirdPersonCamera camera(&ship);
    EXPECT_EQ(camera.type, THIRD_PERSON);
    camera.TimeUpdate(0.016);
    ExpectView(camera, {1, 5, -7}, {1, 2, 8}, {0, 1, 0});

    ship.dir = Quaternion(Vector3(0, 180, 0));
    camera.TimeUpdate(0.016);
    ExpectView(camera, {1, 5, 13}, {1, 2, -2}, {0, 1, 0});
}

TEST(Cameras, StaticKeepsWhatItWasGiven) {
    StaticCamera camera(Vector3(1, 2, 3), Vector3(4, 5, 6), Vector3(0, 0, 1));
    EXPECT_EQ(camera.type, STATIC);
    for (double dt : {0.0, 0.5, 100.0}) {
        camera.TimeUpdate(dt);
        ExpectView(camera, {1, 2, 3}, {4, 5, 6}, {0, 0, 1});
    }
}

}  // namespace
