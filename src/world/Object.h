// SPDX-License-Identifier: MIT
// The base of everything in the arena, the list that owns it all, and the
// collision test.
#ifndef KORVALEND_OBJECT_H
#define KORVALEND_OBJECT_H

#include <cassert>

#include "audio/SoundID.h"
#include "math/MyMath.h"

class Model;

enum ObjectType {
    PLAYER = 0,
    BIG_ASTEROID,
    MEDIUM_ASTEROID,
    SMALL_ASTEROID,
    STEEL_ROID,
    PLAYER_SHOT,
    SHINOBI_SHOT,
    PRIZE,
    BONUS,
    MULTIPLIER,
    DAMAGED_SHIP,
    BIG_SHINOBI,
    SMALL_SHINOBI,
    HOMING,
    GRAVITY,
    NOVA,
    NUM_OBJECT_TYPES
};

class Object {
public:
    Object(ObjectType type, Model* model);
    virtual ~Object() {}

    virtual void TimeUpdate(double deltaTime);
    virtual void EstablishLocalCoords();
    virtual void Draw();
    virtual void AddToScore(int amount);
    virtual void BeenDamaged(int amount, Object* object);
    virtual void BeenTimedOut();
    virtual void Explode();
    virtual void DoExplosion();
    virtual void HandleCollisionWith(Object* object);
    virtual void RotateBy(Vector3 vec);

    Vector3 pos;
    Quaternion dir;
    Vector3 vel;
    Vector3 rot;
    bool alive;
    ObjectType type;
    Model* model;
    double radius;
    double maxSpeed;
    double ttl;
    int points;
    int hitPoints;
    bool canBeFrozen;
    bool canBeShaken;
    SoundID explosionSound;
};

// Every effect the world objects and spawners trigger goes through these, so
// that a listener (the tests) can follow them even where no device plays them.
enum WorldSoundAction { WORLD_SOUND_PLAY, WORLD_SOUND_START_LOOP, WORLD_SOUND_STOP_LOOP };
typedef void (*WorldSoundListener)(WorldSoundAction action, int id);
void SetWorldSoundListener(WorldSoundListener listener);
void PlayWorldSound(int id);
void StartWorldLoop(int id);
void StopWorldLoop(int id);

// One particle through gParticleEngine; nothing when there is no engine.
void EmitParticle(const Vector3& pos, const Vector3& vel, const Vector3& acl, double ttl,
                  double startSize, double endSize, const float* startColor, const float* endColor);

// The 500-particle burst of an explosion at pos, carried along by vel; the
// embers are red, or blue for a bonus.
void EmitExplosionBurst(const Vector3& pos, const Vector3& vel, bool blueEmbers);

// Engine sparks for one frame: ceil(deltaTime x 500) particles from a small
// disc behind the centre of an object of that radius, blown backwards.
void EmitEngineSparks(const Vector3& pos, const Quaternion& dir, double radius, double deltaTime);

// True when both are alive and their centres are strictly closer than the
// sum of their radii.
bool CollisionBetween(Object* a, Object* b);

class ObjectList {
public:
    ObjectList();
    ~ObjectList();

    void AddObject(Object* object);
    void RemoveObject(int index);
    void RemoveObject(Object* object);
    void DeleteObject(int index);
    Object* operator[](int index) {
        assert(index >= 0 && index < numObjects);
        return objects[index];
    }
    int NumObjects() const { return numObjects; }
    int Count(ObjectType type) const {
        assert(type >= 0 && type < NUM_OBJECT_TYPES);
        return typeCounts[type];
    }
    int Capacity() const { return currentCapacity; }

private:
    void Expand();
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    int numObjects;
    int currentCapacity;
    Object** objects;
    int typeCounts[NUM_OBJECT_TYPES];
};

#endif
