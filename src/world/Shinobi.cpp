// SPDX-License-Identifier: MIT
// Enemy ships: they cross the arena once along one axis, swerving now and
// then, and fire at the player's ship when it comes within range.
#include "assets/ModelServer.h"
#include "shell/Globals.h"
#include "world/Objects.h"
#include "world/Player.h"
#include "world/Rules.h"

namespace {
const double CRUISE_SPEED = 5.0;
const double FIRING_RANGE = 25.0;
const double SHOT_SPEED = 25.0;
const double SHOT_LIFE = 1.0;
const double MIN_SHOT_INTERVAL = 0.1;
}  // namespace

Shinobi::Shinobi(Vector3 pos_, int axis_, int shotOdds_, ObjectType type_, Model* model_)
    : Shooter(type_, model_), axis(axis_), shotOdds(shotOdds_), lastShot(0.0), nextDecision(0.0) {
    pos = pos_;
    vel[axis] = CRUISE_SPEED;
    ttl = (gRealArenaMax[axis] - gRealArenaMin[axis]) / CRUISE_SPEED;
    dir = (axis == Y) ? Quaternion(Vector3(0.0, 0.0, 90.0)) : Quaternion(Vector3(0.0, 0.0, 0.0));
    rot = Vector3(0.0, 180.0, 0.0);
    canBeShaken = false;
    hitPoints = 3;
    maxSpeed = NO_SPEED_LIMIT;
    lastShot = 0.0;
    points = 1000;
    shotOdds = shotOdds_;
    // nextDecision starts at 0: the first course decision comes with the
    // first update.
}

void Shinobi::TimeUpdate(double deltaTime) {
    lastShot += deltaTime;

    if (gThePlayer != nullptr) {
        Vector3 dp = gThePlayer->pos - pos;
        if (gThePlayer->alive && dp.Length() < FIRING_RANGE && lastShot >= MIN_SHOT_INTERVAL &&
            RandomInt(0, shotOdds) == 0) {
            lastShot = 0.0;
            Vector3 spread = RandomVector(0.25);
            Vector3 aim = (dp.Normalize() + spread).Normalize() * SHOT_SPEED;
            gObjects.AddObject(new ShinobiShot(this, pos, aim, SHOT_LIFE));
        }
    }

    nextDecision -= deltaTime;
    if (nextDecision <= 0.0) {
        nextDecision = RandomDouble(0.5, 2.5);
        bool offAxis = false;
        for (int i = 0; i < 3; ++i) {
            if (i != axis && vel[i] != 0.0) offAxis = true;
        }
        if (offAxis) {
            vel = Vector3(0.0, 0.0, 0.0);
            vel[axis] = CRUISE_SPEED;
        } else {
            Vector3 swerve;
            swerve.z = RandomDouble(-1.0, 1.0);
            swerve.y = RandomDouble(-1.0, 1.0);
            swerve.x = RandomDouble(-1.0, 1.0);
            swerve[axis] = 0.0;
            vel = swerve.Normalize() * CRUISE_SPEED;
            vel[axis] = CRUISE_SPEED;
        }
    }

    Object::TimeUpdate(deltaTime);
}

void Shinobi::BeenTimedOut() {
    // It has left the arena: gone without a sound.
    alive = false;
}

void Shinobi::HandleCollisionWith(Object* object) {
    if (object->type != PLAYER && object->type != PLAYER_SHOT) return;
    PlayWorldSound(BONK_SOUND);
    vel += object->vel / 4.0;
    vel[axis] = CRUISE_SPEED;  // a knock changes only the sideways motion
    BeenDamaged(1, object);
}

BigShinobi::BigShinobi(Vector3 pos_, int axis_)
    : Shinobi(pos_, axis_, 30, BIG_SHINOBI, ModelServer::GetInstance()->GetModel(BIG_SHINOBI_MODEL)) {
    radius = 2.0;
}

SmallShinobi::SmallShinobi(Vector3 pos_, int axis_)
    : Shinobi(pos_, axis_, 15, SMALL_SHINOBI, ModelServer::GetInstance()->GetModel(SMALL_SHINOBI_MODEL)) {
    radius = 1.5;
}
