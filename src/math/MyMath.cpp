// SPDX-License-Identifier: MIT
#include "math/MyMath.h"

#include "shell/MyError.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

Vector3& Vector3::operator+=(const Vector3& v) { x += v.x; y += v.y; z += v.z; return *this; }
Vector3& Vector3::operator-=(const Vector3& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
Vector3& Vector3::operator*=(double s) { x *= s; y *= s; z *= s; return *this; }
Vector3& Vector3::operator/=(double s) { x /= s; y /= s; z /= s; return *this; }

double Vector3::Length() const { return std::sqrt(x * x + y * y + z * z); }

static void IllegalAxis(int axis) {
    std::printf("Vector3: illegal axis in operator[]: %d\n", axis);
    std::fflush(stdout);
    // Ends as a quit does, as the game always has.
    QuitGame();
}

double& Vector3::operator[](int axis) {
    switch (axis) {
    case 0: return x;
    case 1: return y;
    case 2: return z;
    }
    IllegalAxis(axis);
    return x;  // not reached
}

const double& Vector3::operator[](int axis) const {
    return const_cast<Vector3&>(*this)[axis];
}

Vector3 Vector3::Normalize() const {
    double len = Length();
    if (len == 0.0) return *this;
    return Vector3(x / len, y / len, z / len);
}

Vector3 operator+(const Vector3& a, const Vector3& b) { return Vector3(a.x + b.x, a.y + b.y, a.z + b.z); }
Vector3 operator-(const Vector3& a, const Vector3& b) { return Vector3(a.x - b.x, a.y - b.y, a.z - b.z); }
Vector3 operator*(const Vector3& a, double b) { return Vector3(a.x * b, a.y * b, a.z * b); }
Vector3 operator*(double a, const Vector3& b) { return b * a; }
Vector3 operator/(const Vector3& a, double b) { return Vector3(a.x / b, a.y / b, a.z / b); }

double DotProduct(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 CrossProduct(const Vector3& a, const Vector3& b) {
    return Vector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

Vector3 MatrixVectorMultiply(const double* m, const Vector3& v) {
    double xp = m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12];
    double yp = m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13];
    double zp = m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14];
    double wp = m[3] * v.x + m[7] * v.y + m[11] * v.z + m[15];
    return Vector3(xp / wp, yp / wp, zp / wp);
}

Quaternion::Quaternion() { Initialize(Vector3(0.0, 0.0, 0.0)); }

Quaternion::Quaternion(const Vector3& rotation) { Initialize(rotation); }

Quaternion::Quaternion(const Vector3& v1in, const Vector3& v2in) {
    Vector3 v1 = v1in.Normalize();
    Vector3 v2 = v2in.Normalize();
    Vector3 axis = CrossProduct(v1, v2).Normalize();
    // Rounding can push the dot product of unit vectors just past +-1,
    // where acos would give NaN.
    double d = DotProduct(v1, v2);
    if (d > 1.0) d = 1.0;
    if (d < -1.0) d = -1.0;
    double angle = -std::acos(d) * RAD_TO_DEG;
    Initialize(axis * angle);
}

void Quaternion::Initialize(const Vector3& rotation) {
    double d = rotation.Length();
    double angle = d * DEG_TO_RAD;
    if (d == 0.0) d = 1.0;
    w = std::cos(angle / 2.0);
    double s = std::sin(angle / 2.0);
    x = rotation.x / d * s;
    y = rotation.y / d * s;
    z = rotation.z / d * s;
}

Quaternion Quaternion::operator*(const Quaternion& q2) const {
    Quaternion r;
    r.w = w * q2.w - x * q2.x - y * q2.y - z * q2.z;
    r.x = w * q2.x + x * q2.w + y * q2.z - z * q2.y;
    r.y = w * q2.y - x * q2.z + y * q2.w + z * q2.x;
    r.z = w * q2.z + x * q2.y - y * q2.x + z * q2.w;
    return r;
}

Quaternion Quaternion::Inverse() const {
    Quaternion r;
    r.w = w; r.x = -x; r.y = -y; r.z = -z;
    return r;
}

Vector3 Quaternion::RotateVector(const Vector3& v) const {
    double m[16];
    GetRotationMatrix(m);
    return MatrixVectorMultiply(m, v);
}

void Quaternion::GetRotationMatrix(double* m) const {
    double ww = w * w, xx = x * x, yy = y * y, zz = z * z;
    m[0] = ww + xx - yy - zz;
    m[1] = 2 * x * y + 2 * w * z;
    m[2] = 2 * x * z - 2 * w * y;
    m[3] = 0.0;
    m[4] = 2 * x * y - 2 * w * z;
    m[5] = ww - xx + yy - zz;
    m[6] = 2 * y * z + 2 * w * x;
    m[7] = 0.0;
    m[8] = 2 * x * z + 2 * w * y;
    m[9] = 2 * y * z - 2 * w * x;
    m[10] = ww - xx - yy + zz;
    m[11] = 0.0;
    m[12] = m[13] = m[14] = 0.0;
    m[15] = ww + xx + yy + zz;
}

namespace {
// rand() draws from random()'s state; two buffers, because setstate writes
// where the old state stands into the old buffer before it reads the new.
char randomStates[2][RANDOM_STATE_BYTES];
int randomStateInUse = -1;
}  // namespace

void SeedRandom(unsigned int seed) {
    randomStateInUse = 0;
    initstate(seed, randomStates[0], RANDOM_STATE_BYTES);
}

void SaveRandomState(unsigned char* state) {
    if (randomStateInUse < 0) {
        // Still in the library's own state (srand alone was used): take
        // it over as it stands.
        const char* own = setstate(randomStates[1]);
        std::memcpy(randomStates[0], own, RANDOM_STATE_BYTES);
        setstate(randomStates[0]);
        randomStateInUse = 0;
    }
    // setstate on the buffer in use stores its position into it.
    setstate(randomStates[randomStateInUse]);
    std::memcpy(state, randomStates[randomStateInUse], RANDOM_STATE_BYTES);
}

void RestoreRandomState(const unsigned char* state) {
    const int next = randomStateInUse == 0 ? 1 : 0;
    std::memcpy(randomStates[next], state, RANDOM_STATE_BYTES);
    setstate(randomStates[next]);
    randomStateInUse = next;
}

// glibc's rand() reaches 2^31-1; the game's draws are 15-bit.
int RandomDraw() { return std::rand() % 32768; }

int RandomInt(int min, int max) { return min + (RandomDraw() % (max - min)); }

double RandomDouble(double min, double max) {
    return min + RandomDraw() * ((max - min) / 32767.0);
}

Vector3 RandomVector(double length) {
    Vector3 v;
    v.x = RandomDouble(-1.0, 1.0);
    v.y = RandomDouble(-1.0, 1.0);
    v.z = RandomDouble(-1.0, 1.0);
    return v.Normalize() * length;
}
