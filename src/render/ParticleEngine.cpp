// SPDX-License-Identifier: MIT
#include "render/ParticleEngine.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "assets/Texture.h"
#include "render/Camera.h"

bool ParticleEngine::particleEffectsOn = true;

namespace {
const int INITIAL_CAPACITY = 1000;
// Floats per vertex: texture s, t; colour r, g, b, a; position x, y, z.
const int VERTEX_FLOATS = 9;
}  // namespace

ParticleEngine::ParticleEngine(Texture* particleTexture)
    : numParticles(0), curCapacity(INITIAL_CAPACITY), texture(particleTexture),
      particles(new Particle[INITIAL_CAPACITY]()) {}

ParticleEngine::~ParticleEngine() { delete[] particles; }

void ParticleEngine::Expand() {
    int newCapacity = curCapacity * 2;
    Particle* grown = new Particle[newCapacity]();
    for (int i = 0; i < numParticles; ++i) grown[i] = particles[i];
    delete[] particles;
    particles = grown;
    curCapacity = newCapacity;
}

void ParticleEngine::CreateParticle(Vector3 pos, Vector3 vel, Vector3 acl, double ttl,
                                    double start_size, double end_size, const float* start_color,
                                    const float* end_color) {
    if (!particleEffectsOn) return;
    if (numParticles == curCapacity) Expand();
    Particle& p = particles[numParticles];
    p.pos = pos;
    p.vel = vel;
    p.acl = acl;
    p.age = 0.0;
    p.ttl = ttl;
    p.start_size = start_size;
    p.end_size = end_size;
    for (int k = 0; k < 4; ++k) {
        p.start_color[k] = start_color[k];
        p.end_color[k] = end_color[k];
    }
    ++numParticles;
}

void ParticleEngine::TimeUpdate(double deltaTime) {
    if (!particleEffectsOn) {
        Clear();
        return;
    }
    for (int i = numParticles - 1; i >= 0; --i) {
        Particle& p = particles[i];
        p.age += deltaTime;
        if (p.age > p.ttl) {
            // The last live particle has already been moved in this pass
            // (the walk goes downwards), so it just fills the hole.
            --numParticles;
            particles[i] = particles[numParticles];
        } else {
            p.vel += p.acl * deltaTime;
            p.pos += p.vel * deltaTime;
        }
    }
}

void ParticleEngine::Clear() { numParticles = 0; }

Quaternion ParticleEngine::BillboardRotation(const Vector3& eye, const Vector3& center) {
    Vector3 toEye = eye - center;
    Vector3 n = toEye.Normalize();
    // Seen exactly along +z the shortest arc has no defined axis and would
    // leave the square's back to the viewer, where culling removes it; a half
    // turn about y gives the same facing as the neighbouring directions.
    if (n.x == 0.0 && n.y == 0.0 && n.z > 0.0) return Quaternion(Vector3(0.0, 180.0, 0.0));
    return Quaternion(toEye, Vector3(0.0, 0.0, -1.0));
}

void ParticleEngine::RenderParticles(Camera* camera) {
    if (!particleEffectsOn) return;
    if (numParticles == 0 || camera == nullptr) return;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    if (texture != nullptr)
        texture->Bind();
    else
        glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_LIGHTING);

    double m[16];
    BillboardRotation(camera->eye, camera->center).GetRotationMatrix(m);
    // The square's local x and y axes in world space: each corner is the
    // particle's position plus +-h along them, exactly what translating to
    // the position and multiplying by the rotation would give, without a
    // matrix push per particle.
    const double ax = m[0], ay = m[1], az = m[2];
    const double bx = m[4], by = m[5], bz = m[6];

    const size_t needVertices = static_cast<size_t>(numParticles) * 4 * VERTEX_FLOATS;
    if (vertexData.size() < needVertices) vertexData.resize(needVertices);
    const size_t needIndices = static_cast<size_t>(numParticles) * 6;
    if (indexData.size() < needIndices) {
        size_t first = indexData.size() / 6;
        indexData.resize(needIndices);
        // Each strip of four corners (0, 1, 2, 3) is the triangles 0-1-2 and
        // 2-1-3, the winding a strip gives them.
        for (size_t q = first; q < static_cast<size_t>(numParticles); ++q) {
            unsigned int b = static_cast<unsigned int>(q * 4);
            unsigned int* ix = &indexData[q * 6];
            ix[0] = b;
            ix[1] = b + 1;
            ix[2] = b + 2;
            ix[3] = b + 2;
            ix[4] = b + 1;
            ix[5] = b + 3;
        }
    }

    static const float cornerS[4] = {1.0f, 0.0f, 1.0f, 0.0f};
    static const float cornerT[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    static const double cornerX[4] = {-1.0, 1.0, -1.0, 1.0};
    static const double cornerY[4] = {1.0, 1.0, -1.0, -1.0};

    float* v = vertexData.data();
    for (int i = 0; i < numParticles; ++i) {
        const Particle& p = particles[i];
        const double f = p.age / p.ttl;
        const double h = (p.start_size + (p.end_size - p.start_size) * f) / 2.0;
        float c[4];
        for (int k = 0; k < 4; ++k)
            c[k] = static_cast<float>(p.start_color[k] + (p.end_color[k] - p.start_color[k]) * f);
        for (int corner = 0; corner < 4; ++corner) {
            const double u = cornerX[corner] * h, w = cornerY[corner] * h;
            v[0] = cornerS[corner];
            v[1] = cornerT[corner];
            v[2] = c[0];
            v[3] = c[1];
            v[4] = c[2];
            v[5] = c[3];
            v[6] = static_cast<float>(p.pos.x + ax * u + bx * w);
            v[7] = static_cast<float>(p.pos.y + ay * u + by * w);
            v[8] = static_cast<float>(p.pos.z + az * u + bz * w);
            v += VERTEX_FLOATS;
        }
    }

    const GLsizei stride = VERTEX_FLOATS * sizeof(float);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, vertexData.data());
    glColorPointer(4, GL_FLOAT, stride, vertexData.data() + 2);
    glVertexPointer(3, GL_FLOAT, stride, vertexData.data() + 6);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(needIndices), GL_UNSIGNED_INT, indexData.data());

    glPopClientAttrib();
    glPopAttrib();
}
