// The base of everything in the arena, the list that owns it all, and the
// collision test.
#ifndef KORVALEND_OBJECT_H
#define KORVALEND_OBJECT_H

#include "../audio/Sound.h"
#include "../math/MyMath.h"

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
    Object* operator[](int index) { return objects[index]; }
    int NumObjects() const { return numObjects; }
    int Count(ObjectType type) const { return typeCounts[type]; }
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
