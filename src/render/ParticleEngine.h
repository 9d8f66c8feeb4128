// SPDX-License-Identifier: MIT
// Textured, camera-facing point particles with constant acceleration.
#ifndef KORVALEND_PARTICLEENGINE_H
#define KORVALEND_PARTICLEENGINE_H

#include <vector>

#include "math/MyMath.h"

class Camera;
class Texture;

struct Particle {
    Vector3 pos;
    Vector3 vel;
    Vector3 acl;
    double age;
    double ttl;
    double start_size;
    double end_size;
    float start_color[4];
    float end_color[4];
};

class ParticleEngine {
public:
    explicit ParticleEngine(Texture* texture);
    ~ParticleEngine();

    void CreateParticle(Vector3 pos, Vector3 vel, Vector3 acl, double ttl, double start_size,
                        double end_size, const float* start_color, const float* end_color);
    void TimeUpdate(double deltaTime);
    void RenderParticles(Camera* camera);
    void Clear();

    int NumParticles() const { return numParticles; }
    int Capacity() const { return curCapacity; }
    const Particle& GetParticle(int i) const { return particles[i]; }
    Texture* GetTexture() const { return texture; }

    static bool particleEffectsOn;

    // The one rotation every square of a draw call gets: local -z onto the
    // direction from center to eye, so the front face looks at the viewer.
    static Quaternion BillboardRotation(const Vector3& eye, const Vector3& center);

private:
    void Expand();
    ParticleEngine(const ParticleEngine&) = delete;
    ParticleEngine& operator=(const ParticleEngine&) = delete;

    int numParticles;
    int curCapacity;
    Texture* texture;
    Particle* particles;

    // Per-call vertex scratch, kept between frames so drawing allocates
    // nothing once the engine has reached its working size.
    std::vector<float> vertexData;
    std::vector<unsigned int> indexData;
};

#endif
