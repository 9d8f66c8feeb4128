// SPDX-License-Identifier: MIT
// Prizes, multipliers, damaged ships and bonuses.
#include "assets/ModelServer.h"
#include "shell/Globals.h"
#include "world/Objects.h"
#include "world/Player.h"
#include "world/Rules.h"

namespace {
// The player behind a player shot, or null when the shot has no living
// player shooter any more.
Player* PlayerBehind(Object* shotObject) {
    Shooter* shooter = static_cast<Shot*>(shotObject)->shooter;
    if (shooter == nullptr || shooter->type != PLAYER) return nullptr;
    return static_cast<Player*>(shooter);
}
}  // namespace

// ---- Prize ----

Prize::Prize(Vector3 pos_, Vector3 vel_) : Object(PRIZE, ModelServer::GetInstance()->GetModel(PRIZE_MODEL)) {
    pos = pos_;
    vel = vel_;
    dir = RandomRotation();
    rot = RandomVector(180.0);
    radius = 2.0;
    ttl = 20.0;
    explosionSound = IDIOT_SOUND;
}

void Prize::HandleCollisionWith(Object* object) {
    if (object->type == PLAYER_SHOT) {
        BeenDamaged(1, object);  // wasted
        return;
    }
    if (object->type != PLAYER) return;

    Player* player = static_cast<Player*>(object);
    int p = RandomInt(0, 8);
    switch (p) {
        case 0: player->machineGuns = true; break;
        case 1: player->airBrakes = true; break;
        case 2: player->luckyIrish = true; break;
        case 3: player->tripleFire = true; break;
        case 4: player->longRange = true; break;
        case 5: player->TopUpShield(); break;
        case 6:
            PlayWorldSound(FREEZE_SOUND);
            gFreezeTime = FREEZE_TIME;
            break;
        default:
            NovaExplosion(Vector3(0.0, 0.0, 0.0));
            break;
    }
    object->AddToScore(points);
    PlayWorldSound(GOT_PRIZE_SOUND);
    alive = false;
}

// ---- Multiplier ----

Multiplier::Multiplier(Vector3 pos_, int mult_) : Object(MULTIPLIER, nullptr), mult(mult_) {
    switch (mult) {
        case 2: model = ModelServer::GetInstance()->GetModel(MULTIPLIER2_MODEL); break;
        case 3: model = ModelServer::GetInstance()->GetModel(MULTIPLIER3_MODEL); break;
        case 4: model = ModelServer::GetInstance()->GetModel(MULTIPLIER4_MODEL); break;
        case 5: model = ModelServer::GetInstance()->GetModel(MULTIPLIER5_MODEL); break;
        default: break;
    }
    pos = pos_;
    rot = RandomVector(180.0);
    radius = 2.0;
    ttl = 10.0;
    canBeShaken = false;
}

void Multiplier::BeenDamaged(int, Object*) {}

void Multiplier::BeenTimedOut() {
    PlayWorldSound(MULTIPLIER_GONE_SOUND);
    alive = false;
}

void Multiplier::HandleCollisionWith(Object* object) {
    if (object->type != PLAYER_SHOT) return;
    PlayWorldSound(MULTIPLIER_SHOT_SOUND);
    if (Player* player = PlayerBehind(object)) player->bonusMult = mult;
    alive = false;
}

// ---- Damaged ship ----

DamagedShip::DamagedShip(Vector3 pos_, Vector3 vel_)
    : Object(DAMAGED_SHIP, ModelServer::GetInstance()->GetModel(SHIP_MODEL)) {
    pos = pos_;
    vel = vel_;
    rot = RandomVector(720.0);
    radius = 2.0;
    ttl = 20.0;
    explosionSound = SHIP_DIES_SOUND;
}

void DamagedShip::TimeUpdate(double deltaTime) {
    Object::TimeUpdate(deltaTime);
    EmitEngineSparks(pos, dir, radius, deltaTime);
}

void DamagedShip::HandleCollisionWith(Object* object) {
    if (object->type == PLAYER) {
        PlayWorldSound(SAVED_SHIP_SOUND);
        static_cast<Player*>(object)->lives += 1;
        alive = false;
    } else if (object->type == PLAYER_SHOT) {
        BeenDamaged(1, object);
    }
}

// ---- Bonus ----

Bonus::Bonus(Vector3 pos_, Vector3 vel_, int bonus_)
    : Object(BONUS, ModelServer::GetInstance()->GetModel(BONUS_MODEL)), bonus(bonus_) {
    pos = pos_;
    vel = vel_;
    double spin = RandomDouble(0.0, 180.0);
    rot = RandomVector(spin);
    radius = 2.0;
    ttl = 10.0;
    explosionSound = BONUS_SHOT_SOUND;
    canBeShaken = false;
}

void Bonus::TimeUpdate(double deltaTime) {
    Object::TimeUpdate(deltaTime);

    // Carries local +z onto the direction of travel, so the tail trails behind.
    Quaternion q(vel, Vector3(0.0, 0.0, 1.0));
    for (int i = 0; i < deltaTime * 100.0; ++i) {
        double life = RandomDouble(2.0, 4.0);
        double startSize = RandomDouble(0.5, 1.0);
        double endSize = RandomDouble(0.1, 0.2);
        float red = static_cast<float>(RandomDouble(0.0, 1.0));
        float green = static_cast<float>(RandomDouble(0.0, 1.0));
        const float startColor[4] = {red, green, 1.0f, 1.0f};
        const float endColor[4] = {0.0f, 0.0f, 1.0f, 0.0f};
        Vector3 p = RandomVector(radius * 0.5);
        if (p.z > 0.0) p.z = -p.z;
        p.z += -0.5 * radius;
        Vector3 where = pos + q.RotateVector(p);
        // The sideways offset closes to the line of travel in exactly one lifetime.
        Vector3 drift = q.RotateVector(Vector3(-p.x / life, -p.y / life, 0.0));
        EmitParticle(where, drift, Vector3(0.0, 0.0, 0.0), life, startSize, endSize, startColor, endColor);
    }
}

void Bonus::BeenDamaged(int, Object*) {}

void Bonus::BeenTimedOut() {
    PlayWorldSound(MULTIPLIER_GONE_SOUND);
    alive = false;
}

void Bonus::DoExplosion() { EmitExplosionBurst(pos, vel, true); }

void Bonus::HandleCollisionWith(Object* object) {
    if (object->type != PLAYER_SHOT) return;
    if (Player* player = PlayerBehind(object)) player->AddToBonus(bonus);
    Explode();
}
