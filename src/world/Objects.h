// Shooters and shots, asteroids, and the placement helpers spawners share.
#ifndef KORVALEND_OBJECTS_H
#define KORVALEND_OBJECTS_H

#include <vector>

#include "Object.h"

Vector3 RandomPosition();
Vector3 RandomEdgePosition();
Vector3 RandomSafePosition();
Quaternion RandomRotation();

class Shot;

// Something that fires shots and counts those still in the world. When a
// shooter goes first, its shots are cut loose so they never reach back.
class Shooter : public Object {
public:
    Shooter(ObjectType type, Model* model);
    ~Shooter() override;

    int numShots;

private:
    friend class Shot;
    std::vector<Shot*> liveShots;
};

class Shot : public Object {
public:
    Shot(Shooter* shooter, Vector3 pos, Vector3 vel, double ttl, ObjectType type, Model* model);
    ~Shot() override;

    void AddToScore(int amount) override;
    void BeenDamaged(int amount, Object* object) override;
    void Explode() override;

    // Null once the shooter has been destroyed.
    Shooter* shooter;

private:
    friend class Shooter;
};

class PlayerShot : public Shot {
public:
    PlayerShot(Shooter* shooter, Vector3 pos, Vector3 vel, double ttl);
    void HandleCollisionWith(Object* object) override;
};

class ShinobiShot : public Shot {
public:
    ShinobiShot(Shooter* shooter, Vector3 pos, Vector3 vel, double ttl);
    void HandleCollisionWith(Object* object) override;
};

class Asteroid : public Object {
public:
    Asteroid(ObjectType type, Vector3 pos, Vector3 vel, Vector3 rot, double radius, int points);
    void Explode() override;
    void HandleCollisionWith(Object* object) override;
};

class BigAsteroid : public Asteroid {
public:
    BigAsteroid(Vector3 pos, Vector3 vel);
    void Explode() override;
};

class MediumAsteroid : public Asteroid {
public:
    MediumAsteroid(Vector3 pos, Vector3 vel);
    void Explode() override;
};

class SmallAsteroid : public Asteroid {
public:
    SmallAsteroid(Vector3 pos, Vector3 vel);
};

class SteelRoid : public Object {
public:
    SteelRoid(Vector3 pos, Vector3 vel);
    void Explode() override;
    void HandleCollisionWith(Object* object) override;
};

#endif
