// SPDX-License-Identifier: MIT
// Small vector maths, a seeded random source and tileable noise for the
// generated models and pictures. Everything lives in namespace vis so that
// nothing clashes with the sound generator linked into the same program.
#ifndef KORVALEND_ASSETGEN_VISMATH_H
#define KORVALEND_ASSETGEN_VISMATH_H

#include <cmath>
#include <cstdint>

namespace vis {

constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
    float x = 0, y = 0, z = 0;
    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3 operator/(float s) const { return {x / s, y / s, z / s}; }
    Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vec3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};

inline float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalize(const Vec3& a) {
    float l = Length(a);
    return l > 1e-12f ? a / l : Vec3(0, 0, 1);
}
inline Vec3 Mul(const Vec3& a, const Vec3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

// Rotation (and scale) as a 3x3 matrix applied to column vectors, plus a
// translation: p' = m * p + t.
struct Xform {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 t;
    Vec3 Apply(const Vec3& p) const {
        return Vec3(m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
                    m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
                    m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z) + t;
    }
    Vec3 ApplyLinear(const Vec3& p) const {
        return Vec3(m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
                    m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
                    m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z);
    }
    // this after other: (this * other)(p) = this(other(p)).
    Xform operator*(const Xform& o) const {
        Xform r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
        r.t = ApplyLinear(o.t) + t;
        return r;
    }
    static Xform Translate(const Vec3& v) { Xform x; x.t = v; return x; }
    static Xform Scale(float sx, float sy, float sz) {
        Xform x; x.m[0][0] = sx; x.m[1][1] = sy; x.m[2][2] = sz; return x;
    }
    static Xform Scale(float s) { return Scale(s, s, s); }
    // Right-handed rotation by deg degrees about a unit axis.
    static Xform Rotate(const Vec3& axisIn, float deg) {
        Vec3 a = Normalize(axisIn);
        float r = float(deg * kPi / 180.0), c = std::cos(r), s = std::sin(r), k = 1 - c;
        Xform x;
        x.m[0][0] = c + a.x * a.x * k;       x.m[0][1] = a.x * a.y * k - a.z * s; x.m[0][2] = a.x * a.z * k + a.y * s;
        x.m[1][0] = a.y * a.x * k + a.z * s; x.m[1][1] = c + a.y * a.y * k;       x.m[1][2] = a.y * a.z * k - a.x * s;
        x.m[2][0] = a.z * a.x * k - a.y * s; x.m[2][1] = a.z * a.y * k + a.x * s; x.m[2][2] = c + a.z * a.z * k;
        return x;
    }
    // Rotation carrying +z onto dir (shortest arc).
    static Xform AimZ(const Vec3& dirIn) {
        Vec3 d = Normalize(dirIn), z(0, 0, 1);
        float c = Dot(z, d);
        if (c > 0.99999f) return Xform();
        if (c < -0.99999f) return Rotate(Vec3(1, 0, 0), 180);
        Vec3 axis = Cross(z, d);
        return Rotate(axis, float(std::acos(c) * 180.0 / kPi));
    }
};

// A small, fast and fully deterministic generator (splitmix64), so that the
// assets come out the same on every machine and never touch rand().
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double a, double b) { return a + (b - a) * Uniform(); }
    int Int(int n) { return n <= 0 ? 0 : int(Next() % uint64_t(n)); }
    // A direction spread evenly over the sphere.
    Vec3 UnitVector() {
        double z = Range(-1, 1), a = Range(0, 2 * kPi), r = std::sqrt(1 - z * z);
        return Vec3(float(r * std::cos(a)), float(r * std::sin(a)), float(z));
    }

private:
    uint64_t state_;
};

inline uint32_t Hash3(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x27d4eb2du;
    h ^= uint32_t(x) * 0x85ebca6bu; h = (h << 13) | (h >> 19);
    h ^= uint32_t(y) * 0xc2b2ae35u; h = (h << 13) | (h >> 19);
    h ^= uint32_t(z) * 0x165667b1u;
    h ^= h >> 16; h *= 0x85ebca6bu; h ^= h >> 13; h *= 0xc2b2ae35u; h ^= h >> 16;
    return h;
}

inline float HashFloat(int x, int y, int z, uint32_t seed) {
    return float(Hash3(x, y, z, seed) & 0xFFFFFF) / float(0xFFFFFF);
}

inline int Wrap(int i, int period) {
    if (period <= 0) return i;
    int r = i % period;
    return r < 0 ? r + period : r;
}

inline float Smooth(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Value noise in [0,1] on an integer lattice; a lattice period of p on an
// axis makes the noise repeat every p units there (0 = no repeat), which
// gives textures that tile without a seam.
inline float ValueNoise3(float x, float y, float z, uint32_t seed, int px = 0, int py = 0, int pz = 0) {
    int xi = int(std::floor(x)), yi = int(std::floor(y)), zi = int(std::floor(z));
    float fx = Smooth(x - xi), fy = Smooth(y - yi), fz = Smooth(z - zi);
    auto h = [&](int dx, int dy, int dz) {
        return HashFloat(Wrap(xi + dx, px), Wrap(yi + dy, py), Wrap(zi + dz, pz), seed);
    };
    auto lerp = [](float a, float b, float t) { return a + (b - a) * t; };
    float x00 = lerp(h(0, 0, 0), h(1, 0, 0), fx), x10 = lerp(h(0, 1, 0), h(1, 1, 0), fx);
    float x01 = lerp(h(0, 0, 1), h(1, 0, 1), fx), x11 = lerp(h(0, 1, 1), h(1, 1, 1), fx);
    return lerp(lerp(x00, x10, fy), lerp(x01, x11, fy), fz);
}

// Fractal sum of value noise, tileable in x and y with the given base period
// (each octave doubles it); result roughly in [0,1].
inline float Fbm2Tile(float x, float y, int period, int octaves, uint32_t seed, float gain = 0.5f) {
    float sum = 0, amp = 1, norm = 0, f = 1;
    for (int o = 0; o < octaves; ++o) {
        int p = period * int(f);
        sum += amp * ValueNoise3(x * f, y * f, float(o) * 7.31f, seed + uint32_t(o) * 101u, p, p, 0);
        norm += amp;
        amp *= gain;
        f *= 2;
    }
    return sum / norm;
}

inline float Fbm3(const Vec3& p, int octaves, uint32_t seed, float gain = 0.5f) {
    float sum = 0, amp = 1, norm = 0, f = 1;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * ValueNoise3(p.x * f, p.y * f, p.z * f, seed + uint32_t(o) * 131u);
        norm += amp;
        amp *= gain;
        f *= 2;
    }
    return sum / norm;
}

inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float SmoothStep(float a, float b, float v) {
    float t = Clamp01((v - a) / (b - a));
    return t * t * (3 - 2 * t);
}
inline float Mix(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace vis

#endif
