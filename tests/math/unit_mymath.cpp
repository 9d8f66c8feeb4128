// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include <unistd.h>

#include "math/MyMath.h"

namespace {

void ExpectNear(const Vector3& a, const Vector3& b, double eps = 1e-9) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

TEST(Vector3, ArithmeticAndProducts) {
    Vector3 a(1, 2, 3), b(4, -5, 6);
    ExpectNear(a + b, Vector3(5, -3, 9));
    ExpectNear(a - b, Vector3(-3, 7, -3));
    ExpectNear(a * 2.0, Vector3(2, 4, 6));
    ExpectNear(2.0 * a, a * 2.0);
    ExpectNear(b / 2.0, Vector3(2, -2.5, 3));
    EXPECT_DOUBLE_EQ(DotProduct(a, b), 4 - 10 + 18);
    ExpectNear(CrossProduct(Vector3(1, 0, 0), Vector3(0, 1, 0)), Vector3(0, 0, 1));
    ExpectNear(CrossProduct(a, b), Vector3(2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4));
    Vector3 c = a;
    c += b;
    c -= a;
    ExpectNear(c, b);
    c *= 3.0;
    c /= 3.0;
    ExpectNear(c, b);
    EXPECT_DOUBLE_EQ(Vector3(3, 4, 0).Length(), 5.0);
    a[0] = 7;
    a[2] = -1;
    ExpectNear(a, Vector3(7, 2, -1));
}

TEST(Vector3, NormalizeLeavesZeroAloneAndDoesNotChangeItself) {
    Vector3 v(0, 3, 4);
    Vector3 n = v.Normalize();
    ExpectNear(n, Vector3(0, 0.6, 0.8));
    ExpectNear(v, Vector3(0, 3, 4));
    Vector3 z = Vector3().Normalize();
    EXPECT_EQ(z.x, 0.0);
    EXPECT_EQ(z.y, 0.0);
    EXPECT_EQ(z.z, 0.0);
}

TEST(Vector3DeathTest, IllegalAxisPrintsAndExitsWithZero) {
    // The message goes to standard output; send it to the checked stream.
    EXPECT_EXIT(
        {
            dup2(2, 1);
            Vector3 v;
            v[3] = 1.0;
        },
        ::testing::ExitedWithCode(0), "Vector3: illegal axis in operator\\[\\]: 3");
}

TEST(Quaternion, IdentityForms) {
    Quaternion a, b(Vector3(0, 0, 0));
    for (const Quaternion& q : {a, b}) {
        EXPECT_EQ(q.w, 1.0);
        EXPECT_EQ(q.x, 0.0);
        EXPECT_EQ(q.y, 0.0);
        EXPECT_EQ(q.z, 0.0);
        ExpectNear(q.RotateVector(Vector3(1.5, -2, 3)), Vector3(1.5, -2, 3));
    }
}

TEST(Quaternion, PositiveAngleAboutZTurnsXTowardsY) {
    Quaternion q(Vector3(0, 0, 90));
    ExpectNear(q.RotateVector(Vector3(1, 0, 0)), Vector3(0, 1, 0));
    Quaternion h(Vector3(0, 180, 0));
    ExpectNear(h.RotateVector(Vector3(0, 0, 1)), Vector3(0, 0, -1));
}

TEST(Quaternion, ScaledQuaternionRotatesTheSame) {
    Quaternion q(Vector3(10, -20, 35));
    Quaternion s = q;
    s.w *= 2;
    s.x *= 2;
    s.y *= 2;
    s.z *= 2;
    Vector3 v(0.3, -1.7, 2.2);
    ExpectNear(s.RotateVector(v), q.RotateVector(v));
    double m[16];
    s.GetRotationMatrix(m);
    EXPECT_NEAR(m[15], 4.0, 1e-12);
    EXPECT_EQ(m[3], 0.0);
    EXPECT_EQ(m[12], 0.0);
}

TEST(Quaternion, ProductComposesRotations) {
    Quaternion a(Vector3(0, 0, 90)), b(Vector3(90, 0, 0));
    Vector3 v(0, 1, 0);
    // (a*b) applies b first, then a.
    ExpectNear((a * b).RotateVector(v), a.RotateVector(b.RotateVector(v)));
    Quaternion inv = a.Inverse();
    ExpectNear((a * inv).RotateVector(v), v);
}

TEST(Quaternion, FromTwoDirections) {
    Vector3 v(1, 2, 3);
    for (const Quaternion& q : {Quaternion(v, v), Quaternion(v, v * -1.0)}) {
        EXPECT_DOUBLE_EQ(q.w, 1.0);
        EXPECT_EQ(q.x, 0.0);
        EXPECT_EQ(q.y, 0.0);
        EXPECT_EQ(q.z, 0.0);
    }
    // It carries v2's direction onto v1's: the shortest arc between them.
    Vector3 v1(0, 0, 1), v2(1, 0, 0);
    Quaternion q(v1, v2);
    ExpectNear(q.RotateVector(v2), v1);
}

TEST(Quaternion, NearlyParallelDirectionsNeverGiveNaN) {
    // Unit vectors whose computed dot product rounds just above 1.
    for (int i = 1; i < 2000; ++i) {
        double t = i * 1e-9;
        Vector3 a(1.0, t, 0.0), b(1.0, t * (1.0 + 1e-7), 0.0);
        Quaternion q(a, b);
        ASSERT_FALSE(std::isnan(q.w) || std::isnan(q.x) || std::isnan(q.y) || std::isnan(q.z)) << i;
    }
    Vector3 c(0.1, 0.7, 0.3);
    Quaternion q(c * 3.0, c * 7.0);
    EXPECT_FALSE(std::isnan(q.w));
}

TEST(Matrix, HomogeneousDivide) {
    double m[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 2, 3, 2};
    ExpectNear(MatrixVectorMultiply(m, Vector3(1, 1, 1)), Vector3(1.5, 2, 2.5));
}

TEST(Random, DrawsAre15BitAndReplayable) {
    srand(12345);
    int seen_high = 0;
    for (int i = 0; i < 100000; ++i) {
        int r = RandomDraw();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        if (r > 30000) ++seen_high;
    }
    EXPECT_GT(seen_high, 0);
    srand(99);
    int first[10];
    for (int& f : first) f = RandomDraw();
    srand(99);
    for (int f : first) EXPECT_EQ(RandomDraw(), f);
}

TEST(Random, IntDoubleAndVectorFollowTheirFormulas) {
    srand(7);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(RandomInt(3, 4), 3);
    bool seen[10] = {};
    for (int i = 0; i < 10000; ++i) {
        int r = RandomInt(0, 10);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 10);
        seen[r] = true;
    }
    for (bool s : seen) EXPECT_TRUE(s);

    srand(42);
    int r1 = RandomDraw(), r2 = RandomDraw(), r3 = RandomDraw();
    srand(42);
    EXPECT_EQ(RandomInt(5, 12), 5 + r1 % 7);
    EXPECT_DOUBLE_EQ(RandomDouble(-2.0, 6.0), -2.0 + r2 * (8.0 / 32767.0));
    EXPECT_DOUBLE_EQ(RandomDouble(1.0, 1.0), 1.0);
    (void)r3;

    // The bounds themselves are reachable: draw 0 gives min, 32767 gives max.
    EXPECT_DOUBLE_EQ(0 + 32767 * ((3.0 - 0.0) / 32767.0), 3.0);

    srand(5);
    int dx = RandomDraw(), dy = RandomDraw(), dz = RandomDraw();
    srand(5);
    Vector3 v = RandomVector(5.0);
    EXPECT_NEAR(v.Length(), 5.0, 1e-9);
    Vector3 raw(-1.0 + dx * (2.0 / 32767.0), -1.0 + dy * (2.0 / 32767.0), -1.0 + dz * (2.0 / 32767.0));
    ExpectNear(v, raw.Normalize() * 5.0);
}

TEST(Random, RandomDoubleSpansBothEnds) {
    srand(1);
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < 400000; ++i) {
        double d = RandomDouble(0.0, 1.0);
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 1.0);
}

}  // namespace
