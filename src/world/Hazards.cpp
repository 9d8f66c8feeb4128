// SPDX-License-Identifier: MIT
// Novas and their world-wide blast, homing mines, gravity wells.
#include <cstring>

#include "assets/ModelServer.h"
#include "shell/Globals.h"
#include "world/Objects.h"
#include "world/Player.h"

void NovaExplosion(Vector3 center) {
    // Counted once: what the blast itself adds (fragments, replacements) lies
    // beyond the start and is spared. Objects are only marked dead here, so
    // the dead of an earlier blast may still be listed (a second nova in the
    // frame, or the cheat key again in the pause): they do not die twice.
    for (int i = gObjects.NumObjects() - 1; i >= 0; --i)
        if (gObjects[i]->alive) gObjects[i]->BeenDamaged(1, nullptr);

    PlayWorldSound(NOVA_BOOM_SOUND);

    for (int i = 0; i < 2000; ++i) {
        int kind = RandomInt(0, 2);
        float startColor[4], endColor[4];
        Vector3 v;
        if (kind == 0) {
            float t = static_cast<float>(RandomDouble(0.0, 1.0));
            const float s[4] = {t, t, 1.0f, 1.0f};
            const float e[4] = {t, t, 1.0f, 0.25f};
            std::memcpy(startColor, s, sizeof s);
            std::memcpy(endColor, e, sizeof e);
            v = RandomVector(10.0);
        } else {
            float g = static_cast<float>(RandomDouble(0.0, 1.0));
            const float s[4] = {1.0f, g, 1.0f, 0.75f};
            const float e[4] = {1.0f, 0.0f, 0.0f, 0.25f};
            std::memcpy(startColor, s, sizeof s);
            std::memcpy(endColor, e, sizeof e);
            v = RandomVector(5.0);
        }
        // Accelerating along their own direction: they rush outward ever faster.
        EmitParticle(center, v, v, 16.0, 1.0, 2.5, startColor, endColor);
    }

    gShakeTime = 5.0;
}

// ---- Nova ----

Nova::Nova(Vector3 pos_) : Object(NOVA, ModelServer::GetInstance()->GetModel(NOVA_MODEL)) {
    pos = pos_;
    points = 1000;
    ttl = 5.0;
    radius = 2.0;
    canBeShaken = false;
}

void Nova::BeenDamaged(int amount, Object* object) {
    // A blast has no source; one blast must never set off another nova.
    if (object != nullptr) Object::BeenDamaged(amount, object);
}

void Nova::BeenTimedOut() {
    alive = false;
    NovaExplosion(pos);
}

void Nova::HandleCollisionWith(Object* object) {
    if (object->type == PLAYER || object->type == PLAYER_SHOT) BeenDamaged(1, object);
}

// ---- Homing mine ----

Homing::Homing(Vector3 pos_, Vector3 vel_) : Object(HOMING, ModelServer::GetInstance()->GetModel(HOMING_MODEL)) {
    pos = pos_;
    vel = vel_;
    dir = RandomRotation();
    rot = RandomVector(380.0);
    radius = 2.0;
    points = 700;
    hitPoints = 9;
}

void Homing::TimeUpdate(double deltaTime) {
    if (gThePlayer != nullptr && gThePlayer->alive) {
        vel += (gThePlayer->pos - pos).Normalize() * 20.0 * deltaTime;
        vel -= vel * 0.2 * deltaTime;
    }
    Object::TimeUpdate(deltaTime);
}

void Homing::HandleCollisionWith(Object* object) {
    if (object->type == PLAYER) {
        // A mine that touches the ship always goes off.
        BeenDamaged(hitPoints, object);
    } else if (object->type == PLAYER_SHOT) {
        vel += object->vel / 2.0;
        PlayWorldSound(BONK_SOUND);
        BeenDamaged(1, object);
    }
}

// ---- Gravity well ----

Gravity::Gravity(Vector3 pos_) : Object(GRAVITY, ModelServer::GetInstance()->GetModel(GRAVITY_MODEL)) {
    pos = pos_;
    radius = 2.0;
    points = 500;
}

void Gravity::TimeUpdate(double deltaTime) {
    if (gThePlayer != nullptr && gThePlayer->alive) {
        gThePlayer->vel += (pos - gThePlayer->pos).Normalize() * 20.0 * deltaTime;
        gThePlayer->vel -= gThePlayer->vel * 0.2 * deltaTime;
    }
    Object::TimeUpdate(deltaTime);
}

void Gravity::HandleCollisionWith(Object* object) {
    if (object->type == PLAYER || object->type == PLAYER_SHOT) BeenDamaged(1, object);
}
