// SPDX-License-Identifier: MIT
// Vectors, quaternions, column-major 4x4 matrices and the one random source.
#ifndef KORVALEND_MYMATH_H
#define KORVALEND_MYMATH_H

enum AxisT { X = 0, Y = 1, Z = 2 };

const double DEG_TO_RAD = 0.017453292519943295;
const double RAD_TO_DEG = 57.29577951308232;

class Vector3 {
public:
    double x, y, z;

    Vector3() : x(0.0), y(0.0), z(0.0) {}
    Vector3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    Vector3& operator+=(const Vector3& v);
    Vector3& operator-=(const Vector3& v);
    Vector3& operator*=(double s);
    Vector3& operator/=(double s);

    double Length() const;
    // Axis 0, 1 or 2; anything else ends the process (a programming error).
    double& operator[](int axis);
    const double& operator[](int axis) const;
    // A unit copy; the zero vector comes back unchanged.
    Vector3 Normalize() const;
};

Vector3 operator+(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a, const Vector3& b);
Vector3 operator*(const Vector3& a, double b);
Vector3 operator*(double a, const Vector3& b);
Vector3 operator/(const Vector3& a, double b);
double DotProduct(const Vector3& a, const Vector3& b);
Vector3 CrossProduct(const Vector3& a, const Vector3& b);
// Homogeneous transform of the point v (fourth coordinate 1) by m.
Vector3 MatrixVectorMultiply(const double* m, const Vector3& v);

class Quaternion {
public:
    double w, x, y, z;

    Quaternion();
    // From a rotation vector: axis = direction, angle in degrees = length.
    explicit Quaternion(const Vector3& rotation);
    // The rotation by acos(v1.v2) about v2 x v1.
    Quaternion(const Vector3& v1, const Vector3& v2);

    void Initialize(const Vector3& rotation);
    Quaternion operator*(const Quaternion& q2) const;
    Quaternion Inverse() const;
    Vector3 RotateVector(const Vector3& v) const;
    void GetRotationMatrix(double* m) const;
};

// The shared generator: every draw is one value 0..32767 from rand().
int RandomDraw();
// min .. max-1; the caller passes max > min.
int RandomInt(int min, int max);
// min .. max inclusive, in 32768 steps.
double RandomDouble(double min, double max);
// A vector of the given length in a random direction (zero if all draws are 0).
Vector3 RandomVector(double length);

// Seeds the generator as srand does (the same sequence), in a state of our
// own that can be saved and put back, so a recorded game can start where it
// started. The state is RANDOM_STATE_BYTES long.
const int RANDOM_STATE_BYTES = 128;
void SeedRandom(unsigned int seed);
void SaveRandomState(unsigned char* state);
void RestoreRandomState(const unsigned char* state);

#endif
