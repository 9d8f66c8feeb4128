// SPDX-License-Identifier: MIT
// Placement helpers, shooters and shots, asteroids.
#include "world/Objects.h"

#include <algorithm>

#include "assets/ModelServer.h"
#include "audio/Music.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/Rules.h"

// ---- Placement ----

Vector3 RandomPosition() {
    Vector3 pos;
    for (int i = 0; i < 3; ++i) pos[i] = RandomDouble(gRealArenaMin[i], gRealArenaMax[i]);
    return pos;
}

Vector3 RandomEdgePosition() {
    Vector3 pos = RandomPosition();
    int side = RandomInt(0, 3);
    pos[side] = gRealArenaMin[side];
    return pos;
}

Vector3 RandomSafePosition() {
    Vector3 ship = (gThePlayer != nullptr) ? gThePlayer->pos : Vector3();
    // In the real arena a miss is a few percent likely, so the bound is never
    // reached there; it only keeps an arena too small for a safe point from
    // hanging the game.
    const int MAX_TRIES = 100000;
    Vector3 pos = RandomPosition();
    for (int tries = 1; (pos - ship).Length() < 10.0 && tries < MAX_TRIES; ++tries) pos = RandomPosition();
    return pos;
}

Quaternion RandomRotation() { return Quaternion(RandomVector(180.0)); }

// ---- Shooter and Shot ----

Shooter::Shooter(ObjectType type_, Model* model_) : Object(type_, model_), numShots(0) {}

Shooter::~Shooter() {
    // Shots outlive their shooter in the world list; cut them loose so they
    // neither count down nor score into a deleted object.
    for (Shot* shot : liveShots) shot->shooter = nullptr;
}

Shot::Shot(Shooter* shooter_, Vector3 pos_, Vector3 vel_, double ttl_, ObjectType type_, Model* model_)
    : Object(type_, model_), shooter(shooter_) {
    pos = pos_;
    vel = vel_;
    ttl = ttl_;
    if (shooter != nullptr) {
        shooter->liveShots.push_back(this);
        shooter->numShots += 1;
    }
    radius = 0.05;
    maxSpeed = NO_SPEED_LIMIT;
    canBeShaken = false;
}

Shot::~Shot() {
    if (shooter == nullptr) return;
    std::vector<Shot*>& shots = shooter->liveShots;
    auto it = std::find(shots.begin(), shots.end(), this);
    if (it != shots.end()) {
        *it = shots.back();
        shots.pop_back();
        shooter->numShots -= 1;
    }
}

void Shot::AddToScore(int amount) {
    if (shooter != nullptr) shooter->AddToScore(amount);
}

void Shot::BeenDamaged(int, Object*) {}

void Shot::Explode() { alive = false; }

PlayerShot::PlayerShot(Shooter* shooter_, Vector3 pos_, Vector3 vel_, double ttl_)
    : Shot(shooter_, pos_, vel_, ttl_, PLAYER_SHOT, ModelServer::GetInstance()->GetModel(PLAYER_SHOT_MODEL)) {
    canBeFrozen = false;
}

void PlayerShot::HandleCollisionWith(Object* object) {
    switch (object->type) {
        case PLAYER:
        case PLAYER_SHOT:
        case SHINOBI_SHOT:
            break;
        case BIG_ASTEROID:
        case MEDIUM_ASTEROID:
        case SMALL_ASTEROID:
        case STEEL_ROID:
        case PRIZE:
        case BONUS:
        case MULTIPLIER:
        case DAMAGED_SHIP:
        case BIG_SHINOBI:
        case SMALL_SHINOBI:
        case HOMING:
        case GRAVITY:
        case NOVA:
            alive = false;
            break;
        default:
            break;
    }
}

ShinobiShot::ShinobiShot(Shooter* shooter_, Vector3 pos_, Vector3 vel_, double ttl_)
    : Shot(shooter_, pos_, vel_, ttl_, SHINOBI_SHOT, ModelServer::GetInstance()->GetModel(SHINOBI_SHOT_MODEL)) {}

void ShinobiShot::HandleCollisionWith(Object* object) {
    switch (object->type) {
        case PLAYER:
        case BIG_ASTEROID:
        case MEDIUM_ASTEROID:
        case SMALL_ASTEROID:
        case STEEL_ROID:
            alive = false;
            break;
        default:
            break;
    }
}

// ---- Asteroids ----

double WaveSpeedRange() { return 2.0 * (static_cast<double>(gWave) / 6.0 + 4.0); }

Asteroid::Asteroid(ObjectType type_, Vector3 pos_, Vector3 vel_, Vector3 rot_, double radius_, int points_)
    : Object(type_, ModelServer::GetInstance()->GetModel(ASTEROID_MODEL)) {
    pos = pos_;
    vel = vel_;
    radius = radius_;
    points = points_;
    dir = RandomRotation();
    rot = rot_;
}

void Asteroid::Explode() {
    Music::GetInstance()->IncreaseBoomSpeed();
    Object::Explode();
}

void Asteroid::HandleCollisionWith(Object* object) {
    switch (object->type) {
        case PLAYER:
        case PLAYER_SHOT:
        case SHINOBI_SHOT:
        case BIG_SHINOBI:
        case SMALL_SHINOBI:
            BeenDamaged(1, object);
            break;
        default:
            break;
    }
}

BigAsteroid::BigAsteroid(Vector3 pos_, Vector3 vel_)
    : Asteroid(BIG_ASTEROID, pos_, vel_, RandomVector(RandomDouble(90.0, 180.0)), 4.0, 50) {}

void BigAsteroid::Explode() {
    int n = RandomInt(1, 4);
    for (int i = 0; i < n; ++i) {
        double s = RandomDouble(0.0, WaveSpeedRange()) + 2.0;
        Vector3 v = RandomVector(s);
        gObjects.AddObject(new MediumAsteroid(pos, v));
    }
    Asteroid::Explode();
}

MediumAsteroid::MediumAsteroid(Vector3 pos_, Vector3 vel_)
    : Asteroid(MEDIUM_ASTEROID, pos_, vel_, RandomVector(RandomDouble(90.0, 360.0)), 2.0, 100) {}

void MediumAsteroid::Explode() {
    int n = RandomInt(1, 4);
    for (int i = 0; i < n; ++i) {
        double s = RandomDouble(0.0, WaveSpeedRange()) + 4.0;
        Vector3 v = RandomVector(s);
        gObjects.AddObject(new SmallAsteroid(pos, v));
    }
    Asteroid::Explode();
}

SmallAsteroid::SmallAsteroid(Vector3 pos_, Vector3 vel_)
    : Asteroid(SMALL_ASTEROID, pos_, vel_, RandomVector(RandomDouble(90.0, 720.0)), 1.0, 300) {}

SteelRoid::SteelRoid(Vector3 pos_, Vector3 vel_)
    : Object(STEEL_ROID, ModelServer::GetInstance()->GetModel(STEEL_ROID_MODEL)) {
    pos = pos_;
    vel = vel_;
    dir = RandomRotation();
    rot = RandomVector(180.0);
    radius = 3.0;
    points = 100;
    hitPoints = 10;
}

void SteelRoid::Explode() {
    int r = RandomInt(0, 10);
    switch (r) {
        case 0:
            PlayWorldSound(FUNK_SOUND);
            gObjects.AddObject(new BigAsteroid(pos, vel));
            alive = false;
            break;
        case 1:
            Object::Explode();
            break;
        case 2:
            PlayWorldSound(HOMING_APPEARS_SOUND);
            gObjects.AddObject(new Homing(pos, vel));
            alive = false;
            break;
        default:
            hitPoints = 10;  // the armour renews itself
            break;
    }
}

void SteelRoid::HandleCollisionWith(Object* object) {
    switch (object->type) {
        case PLAYER_SHOT:
        case SHINOBI_SHOT:
            vel += object->vel / 2.0;
            PlayWorldSound(STEEL_HIT_SOUND);
            BeenDamaged(1, object);
            break;
        case PLAYER:
        case BIG_SHINOBI:
        case SMALL_SHINOBI:
            PlayWorldSound(STEEL_HIT_SOUND);
            BeenDamaged(1, object);
            break;
        default:
            break;
    }
}
