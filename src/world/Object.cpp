// SPDX-License-Identifier: MIT
#include "world/Object.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "assets/Model.h"
#include "audio/Sound.h"
#include "render/ParticleEngine.h"
#include "shell/Globals.h"
#include "shell/MyError.h"
#include "world/Rules.h"

namespace {
WorldSoundListener gSoundListener = nullptr;
}  // namespace

// ---- Sound and particle outlets ----

void SetWorldSoundListener(WorldSoundListener listener) { gSoundListener = listener; }

void PlayWorldSound(int id) {
    if (gSoundListener != nullptr) gSoundListener(WORLD_SOUND_PLAY, id);
    Sound::GetInstance()->PlaySound(id);
}

void StartWorldLoop(int id) {
    if (gSoundListener != nullptr) gSoundListener(WORLD_SOUND_START_LOOP, id);
    Sound::GetInstance()->StartLoopingSound(id);
}

void StopWorldLoop(int id) {
    if (gSoundListener != nullptr) gSoundListener(WORLD_SOUND_STOP_LOOP, id);
    Sound::GetInstance()->StopLoopingSound(id);
}

void EmitParticle(const Vector3& pos, const Vector3& vel, const Vector3& acl, double ttl,
                  double startSize, double endSize, const float* startColor, const float* endColor) {
    // The values are always drawn by the caller, so the random sequence is the
    // same with or without an engine.
    if (gParticleEngine == nullptr) return;
    gParticleEngine->CreateParticle(pos, vel, acl, ttl, startSize, endSize, startColor, endColor);
}

void EmitExplosionBurst(const Vector3& pos, const Vector3& vel, bool blueEmbers) {
    for (int i = 0; i < 500; ++i) {
        int kind = RandomInt(0, 2);
        double life, startSize, endSize, sprayLength;
        float startColor[4], endColor[4];
        if (kind == 0) {
            life = RandomDouble(0.3, 0.7);
            startSize = RandomDouble(0.6, 0.8);
            endSize = RandomDouble(0.2, 0.4);
            float t = static_cast<float>(RandomDouble(0.0, 1.0));
            const float s[4] = {t, t, 1.0f, 0.5f};
            const float e[4] = {t, t, 1.0f, 0.0f};
            std::memcpy(startColor, s, sizeof s);
            std::memcpy(endColor, e, sizeof e);
            sprayLength = RandomDouble(2.0, 4.0);
        } else {
            life = RandomDouble(2.0, 4.0);
            startSize = RandomDouble(0.2, 0.4);
            endSize = RandomDouble(0.1, 0.2);
            if (blueEmbers) {
                float r = static_cast<float>(RandomDouble(0.0, 1.0));
                float g = static_cast<float>(RandomDouble(0.0, 1.0));
                const float s[4] = {r, g, 1.0f, 0.75f};
                const float e[4] = {0.0f, 0.0f, 1.0f, 0.25f};
                std::memcpy(startColor, s, sizeof s);
                std::memcpy(endColor, e, sizeof e);
            } else {
                float g = static_cast<float>(RandomDouble(0.0, 1.0));
                const float s[4] = {1.0f, g, 0.0f, 0.75f};
                const float e[4] = {1.0f, 0.0f, 0.0f, 0.25f};
                std::memcpy(startColor, s, sizeof s);
                std::memcpy(endColor, e, sizeof e);
            }
            sprayLength = RandomDouble(2.0, 8.0);
        }
        Vector3 spray = RandomVector(sprayLength);
        // The spray slows to a stop exactly when the particle dies.
        EmitParticle(pos, spray + vel, spray / (-life), life, startSize, endSize, startColor, endColor);
    }
}

void EmitEngineSparks(const Vector3& pos, const Quaternion& dir, double radius, double deltaTime) {
    const double TWO_PI = 6.283185307179586;
    for (int i = 0; i < deltaTime * 500.0; ++i) {
        double life = RandomDouble(2.0, 4.0);
        double startSize = RandomDouble(0.2, 0.4);
        double endSize = RandomDouble(0.2, 0.4);
        float red = static_cast<float>(RandomDouble(0.0, 1.0));
        float green = static_cast<float>(RandomDouble(0.0, 1.0));
        float blue = static_cast<float>(RandomDouble(0.0, 1.0));
        const float startColor[4] = {red, green, blue, 1.0f};
        const float endColor[4] = {1.0f, 0.0f, 0.0f, 0.0f};
        double r = RandomDouble(0.0, 0.25);
        double a = RandomDouble(0.0, TWO_PI);
        double x = std::cos(a) * r;
        double y = std::sin(a) * r;
        double z = RandomDouble(-radius, -radius / 2.0);
        Vector3 where = dir.RotateVector(Vector3(x, y, z)) + pos;
        // Blown straight back; the object's own motion is not passed on.
        Vector3 drift = dir.RotateVector(Vector3(5.0 * x, 5.0 * y, -2.0));
        EmitParticle(where, drift, Vector3(0.0, 0.0, 0.0), life, startSize, endSize, startColor, endColor);
    }
}

// ---- Object ----

Object::Object(ObjectType type_, Model* model_)
    : pos(),
      dir(),
      vel(),
      rot(),
      alive(true),
      type(type_),
      model(model_),
      radius(1.0),
      maxSpeed(16.0),
      ttl(FOREVER),
      points(0),
      hitPoints(1),
      canBeFrozen(true),
      canBeShaken(true),
      explosionSound(EXPLOSION_SOUND) {}

void Object::TimeUpdate(double deltaTime) {
    if (gShakeTime > 0.0 && canBeShaken) {
        double strength = RandomDouble(0.0, 10.0);
        vel += RandomVector(strength);
    }

    // The move uses this frame's velocity before the limit; the limit shows
    // from the next frame on.
    pos += vel * deltaTime;
    RotateBy(rot * deltaTime);

    double speed = vel.Length();
    if (speed > maxSpeed) vel *= maxSpeed / speed;

    for (int axis = 0; axis < 3; ++axis) {
        double span = gRealArenaMax[axis] - gRealArenaMin[axis];
        if (pos[axis] > gRealArenaMax[axis])
            pos[axis] -= span;
        else if (pos[axis] < gRealArenaMin[axis])
            pos[axis] += span;
    }

    if (ttl != FOREVER) ttl -= deltaTime;
    if (ttl <= 0.0) BeenTimedOut();
}

void Object::EstablishLocalCoords() {
    glTranslated(pos.x, pos.y, pos.z);
    double m[16];
    dir.GetRotationMatrix(m);
    glMultMatrixd(m);
}

void Object::Draw() {
    glPushMatrix();
    EstablishLocalCoords();
    if (model != nullptr) {
        float modelRadius = model->GetRadius();
        // An empty model has no size to scale to; it has nothing to draw either.
        if (modelRadius > 0.0f) {
            float scale = static_cast<float>(radius / modelRadius);
            glScalef(scale, scale, scale);
            model->Draw();
        }
    }
    glPopMatrix();
}

void Object::AddToScore(int) {}

void Object::BeenDamaged(int amount, Object* object) {
    hitPoints -= amount;
    if (hitPoints > 0) return;
    Explode();
    if (object != nullptr) object->AddToScore(points);
}

void Object::BeenTimedOut() { Explode(); }

void Object::Explode() {
    DoExplosion();
    PlayWorldSound(explosionSound);
    alive = false;
}

void Object::DoExplosion() { EmitExplosionBurst(pos, vel, false); }

void Object::HandleCollisionWith(Object*) {}

void Object::RotateBy(Vector3 vec) { dir = dir * Quaternion(vec); }

bool CollisionBetween(Object* a, Object* b) {
    if (!a->alive || !b->alive) return false;
    return (a->pos - b->pos).Length() < a->radius + b->radius;
}

// ---- ObjectList ----

ObjectList::ObjectList() : numObjects(0), currentCapacity(10), objects(nullptr) {
    objects = static_cast<Object**>(std::calloc(currentCapacity, sizeof(Object*)));
    if (objects == nullptr) fatal("Object List: Can't realloc objects!\n");
    for (int i = 0; i < NUM_OBJECT_TYPES; ++i) typeCounts[i] = 0;
}

ObjectList::~ObjectList() {
    for (int i = 0; i < numObjects; ++i) {
        if (objects[i] != nullptr) delete objects[i];
    }
    std::free(objects);
}

void ObjectList::AddObject(Object* object) {
    if (numObjects == currentCapacity) Expand();
    typeCounts[object->type] += 1;
    objects[numObjects] = object;
    numObjects += 1;
}

void ObjectList::RemoveObject(int index) {
    typeCounts[objects[index]->type] -= 1;
    numObjects -= 1;
    objects[index] = objects[numObjects];
}

void ObjectList::RemoveObject(Object* object) {
    for (int i = 0; i < numObjects; ++i) {
        if (objects[i] == object) {
            RemoveObject(i);
            return;
        }
    }
}

void ObjectList::DeleteObject(int index) {
    Object* object = objects[index];
    RemoveObject(index);
    delete object;
}

void ObjectList::Expand() {
    int newCapacity = currentCapacity * 2;
    Object** grown = static_cast<Object**>(std::realloc(objects, sizeof(Object*) * newCapacity));
    if (grown == nullptr) fatal("Object List: Can't realloc objects!\n");
    for (int i = currentCapacity; i < newCapacity; ++i) grown[i] = nullptr;
    objects = grown;
    currentCapacity = newCapacity;
}
