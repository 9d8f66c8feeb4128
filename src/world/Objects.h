// SPDX-License-Identifier: MIT
// Shooters and shots, asteroids, and the placement helpers spawners share.
#ifndef KORVALEND_OBJECTS_H
#define KORVALEND_OBJECTS_H

#include <vector>

#include "world/Object.h"

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

protected:
    // How many of this shooter's shots exist right now.
    int LiveShotCount() const { return static_cast<int>(liveShots.size()); }

private:
    friend class Shot;
    Shooter(const Shooter&) = delete;
    Shooter& operator=(const Shooter&) = delete;
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
    Shot(const Shot&) = delete;
    Shot& operator=(const Shot&) = delete;
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

// Arrivals and asteroid fragments draw their speed from zero up to this;
// it grows with the wave.
double WaveSpeedRange();

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


// ---- Pickups ----

class Prize : public Object {
public:
    Prize(Vector3 pos, Vector3 vel);
    void HandleCollisionWith(Object* object) override;
};

class Multiplier : public Object {
public:
    Multiplier(Vector3 pos, int mult);
    void BeenDamaged(int amount, Object* object) override;
    void BeenTimedOut() override;
    void HandleCollisionWith(Object* object) override;
    int mult;
};

class DamagedShip : public Object {
public:
    DamagedShip(Vector3 pos, Vector3 vel);
    void TimeUpdate(double deltaTime) override;
    void HandleCollisionWith(Object* object) override;
};

class Bonus : public Object {
public:
    Bonus(Vector3 pos, Vector3 vel, int bonus);
    void TimeUpdate(double deltaTime) override;
    void BeenDamaged(int amount, Object* object) override;
    void BeenTimedOut() override;
    void DoExplosion() override;
    void HandleCollisionWith(Object* object) override;
    int bonus;
};

// ---- Hazards ----

// Damages everything in the arena once and fills it with light.
void NovaExplosion(Vector3 center);

class Nova : public Object {
public:
    explicit Nova(Vector3 pos);
    void BeenDamaged(int amount, Object* object) override;
    void BeenTimedOut() override;
    void HandleCollisionWith(Object* object) override;
};

class Homing : public Object {
public:
    Homing(Vector3 pos, Vector3 vel);
    void TimeUpdate(double deltaTime) override;
    void HandleCollisionWith(Object* object) override;
};

class Gravity : public Object {
public:
    explicit Gravity(Vector3 pos);
    void TimeUpdate(double deltaTime) override;
    void HandleCollisionWith(Object* object) override;
};

// ---- Enemy ships ----

class Shinobi : public Shooter {
public:
    Shinobi(Vector3 pos, int axis, int shotOdds, ObjectType type, Model* model);
    void TimeUpdate(double deltaTime) override;
    void BeenTimedOut() override;
    void HandleCollisionWith(Object* object) override;

    int axis;
    int shotOdds;
    double lastShot;
    double nextDecision;
};

class BigShinobi : public Shinobi {
public:
    BigShinobi(Vector3 pos, int axis);
};

class SmallShinobi : public Shinobi {
public:
    SmallShinobi(Vector3 pos, int axis);
};

#endif
