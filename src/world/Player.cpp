// SPDX-License-Identifier: MIT
#include "world/Player.h"

#include <GL/gl.h>

#include <algorithm>

#include "assets/Model.h"
#include "assets/ModelServer.h"
#include "shell/Globals.h"
#include "world/Rules.h"

namespace {
const double TURN_RATE = 90.0;
const double THRUST = 16.0;
const double MUZZLE = 1.5;
const double SHOT_SPEED = 25.0;
const int MAX_LIVE_SHOTS = 99999;
const double SHIELD_PER_SHIP = 4.0;
const int POINTS_PER_LIFE = 50000;
}  // namespace

Player::Player() : Shooter(PLAYER, ModelServer::GetInstance()->GetModel(SHIP_MODEL)) {
    radius = 1.0;
    shieldModel = ModelServer::GetInstance()->GetModel(SHIELD_MODEL);
    canBeFrozen = false;
    explosionSound = SHIP_DIES_SOUND;
    invincible = false;
}

void Player::NewGame() {
    lives = 3;
    score = 0;
    luckyIrish = false;
    NewShip();
}

void Player::NewShip() {
    PlayWorldSound(NEW_LIFE_SOUND);
    ResetState();
    alive = true;
    lives -= 1;
    if (!GotLucky()) {
        machineGuns = false;
        airBrakes = false;
        tripleFire = false;
        longRange = false;
        luckyIrish = false;
    }
    shieldLevel = SHIELD_PER_SHIP;
}

void Player::NewWave() {
    if (!alive) NewShip();
    ResetState();
    bonus = 2000;
    bonusMult = 1;
}

void Player::ResetState() {
    turningLeft = turningRight = false;
    nosingUp = nosingDown = false;
    rollingLeft = rollingRight = false;
    thrusting = wasThrusting = false;
    shooting = wasShooting = false;
    shielding = wasShielding = false;
    padPitch = padYaw = padRoll = 0.0;
    padShooting = padThrusting = padShielding = 0;
    padRollingLeft = padRollingRight = 0;
    pos = Vector3(0.0, 0.0, 0.0);
    vel = Vector3(0.0, 0.0, 0.0);
    dir = Quaternion();
    rot = Vector3(0.0, 0.0, 0.0);
    nextShot = 0.0;
    // The count follows the shots that exist. Between waves there are none,
    // so this is a fresh start; after a death mid-wave the old ship's shots
    // may still be flying, and they will count themselves out when they go.
    numShots = LiveShotCount();
    nextBonusDrop = 1.0;
    autoShield = 2.0;
    luckyShield = 0.0;
    StopWorldLoop(THRUSTER_SOUND);
    StopWorldLoop(NO_SHIELD_SOUND);
}

bool Player::ShieldOn() const {
    return invincible || autoShield > 0.0 || luckyShield > 0.0 || (Shielding() && shieldLevel > 0.0);
}

bool Player::GotLucky() {
    if (!luckyIrish) return false;
    if (RandomInt(0, 3) != 0) return false;
    PlayWorldSound(LUCKY_SOUND);
    return true;
}

void Player::AddToScore(int amount) {
    int oldLives = score / POINTS_PER_LIFE;
    int newLives = (score + amount) / POINTS_PER_LIFE;
    if (oldLives != newLives) {
        PlayWorldSound(NEW_LIFE_SOUND);
        lives += newLives - oldLives;
    }
    score += amount;
}

void Player::AddToShieldLevel(double amount) { shieldLevel = std::min(shieldLevel + amount, SHIELD_CAP); }

void Player::TopUpShield() { AddToShieldLevel(RandomDouble(0.0, 4.0) + 1.6); }

void Player::AddToBonus(int amount) { bonus += amount; }

void Player::BeenDamaged(int amount, Object* object) {
    // Only a hit from something counts; a world-wide blast has no source.
    if (object != nullptr) Object::BeenDamaged(amount, object);
}

void Player::Explode() {
    StopWorldLoop(THRUSTER_SOUND);
    StopWorldLoop(NO_SHIELD_SOUND);
    Object::Explode();
}

void Player::HandleCollisionWith(Object* object) {
    switch (object->type) {
        case BIG_ASTEROID:
        case MEDIUM_ASTEROID:
        case SMALL_ASTEROID:
        case STEEL_ROID:
        case SHINOBI_SHOT:
        case BIG_SHINOBI:
        case SMALL_SHINOBI:
        case HOMING:
        case GRAVITY:
        case NOVA:
            if (!ShieldOn() && GotLucky()) luckyShield = 1.0;
            if (!ShieldOn()) {
                Explode();
            } else if (object->type == STEEL_ROID) {
                vel += (pos - object->pos).Normalize() * object->vel.Length() / 2.0;
            }
            break;
        default:
            break;
    }
}

void Player::Draw() {
    Object::Draw();
    if (!ShieldOn() || shieldModel == nullptr) return;
    float modelRadius = shieldModel->GetRadius();
    if (modelRadius <= 0.0f) return;
    glPushMatrix();
    EstablishLocalCoords();
    float scale = static_cast<float>(radius / modelRadius);
    glScalef(scale, scale, scale);
    shieldModel->Draw();
    glPopMatrix();
}

void Player::TimeUpdate(double dt) {
    Object::TimeUpdate(dt);
    DropBonus(dt);
    Fire(dt);
    Steer(dt);
    RunShield(dt);
}

// The wave's bonus runs down by 10 a second.
void Player::DropBonus(double dt) {
    nextBonusDrop -= dt;
    if (nextBonusDrop <= 0.0) {
        bonus = std::max(bonus - 10, 0);
        nextBonusDrop = 1.0;
    }
}

void Player::Fire(double dt) {
    nextShot -= dt;
    if (Shooting() && (!wasShooting || machineGuns) && nextShot <= 0.0 && numShots <= MAX_LIVE_SHOTS) {
        double shotTtl = longRange ? 2.0 : 1.0;
        Vector3 muzzle = dir.RotateVector(Vector3(0.0, 0.0, MUZZLE)) + pos;
        Vector3 shotVel = dir.RotateVector(Vector3(0.0, 0.0, 1.0)) * SHOT_SPEED + vel;
        gObjects.AddObject(new PlayerShot(this, muzzle, shotVel, shotTtl));
        if (tripleFire) {
            Vector3 right = dir.RotateVector(Vector3(0.1, 0.0, 1.5).Normalize()) * SHOT_SPEED + vel;
            gObjects.AddObject(new PlayerShot(this, muzzle, right, shotTtl));
            Vector3 left = dir.RotateVector(Vector3(-0.1, 0.0, 1.5).Normalize()) * SHOT_SPEED + vel;
            gObjects.AddObject(new PlayerShot(this, muzzle, left, shotTtl));
        }
        nextShot = machineGuns ? 0.05 : 0.1;
        PlayWorldSound(SHOT_SOUND);
    }
    wasShooting = Shooting();
}

// Thrust (with its sound and sparks), air brakes and the turn controls.
void Player::Steer(double dt) {
    bool thrust = Thrusting();
    if (thrust && !wasThrusting)
        StartWorldLoop(THRUSTER_SOUND);
    else if (!thrust && wasThrusting)
        StopWorldLoop(THRUSTER_SOUND);
    wasThrusting = thrust;

    if (thrust) {
        vel += dir.RotateVector(Vector3(0.0, 0.0, THRUST) * dt);
        EmitEngineSparks(pos, dir, radius, dt);
    } else if (airBrakes) {
        vel -= vel * 1.0 * dt;
    }

    double pitch = (nosingDown ? 1.0 : 0.0) - (nosingUp ? 1.0 : 0.0);
    double yaw = (turningLeft ? 1.0 : 0.0) - (turningRight ? 1.0 : 0.0);
    double roll = (RollingRight() ? 1.0 : 0.0) - (RollingLeft() ? 1.0 : 0.0);
    Vector3 turn = Vector3(pitch, yaw, roll).Normalize();
    // The sticks turn in proportion to their deflection, on top of the
    // keys, and together never faster than the keys alone.
    Vector3 stick(padPitch, padYaw, padRoll);
    if (stick.x != 0.0 || stick.y != 0.0 || stick.z != 0.0) {
        turn = turn + stick;
        if (turn.Length() > 1.0) turn = turn.Normalize();
    }
    rot = turn * TURN_RATE;
}

// The free shields run out first; only then does the held shield spend energy.
void Player::RunShield(double dt) {
    autoShield = std::max(0.0, autoShield - dt);
    luckyShield = std::max(0.0, luckyShield - dt);
    if (autoShield != 0.0 || luckyShield != 0.0) return;

    bool shield = Shielding();
    if (shield && !wasShielding) {
        if (shieldLevel > 0.0)
            PlayWorldSound(SHIELD_ON_SOUND);
        else
            StartWorldLoop(NO_SHIELD_SOUND);
    } else if (!shield && wasShielding) {
        // Released: the empty-shield buzz ends whatever the energy is now;
        // a prize picked up while it buzzed must not leave it running.
        StopWorldLoop(NO_SHIELD_SOUND);
    }
    if (shield && shieldLevel > 0.0) {
        shieldLevel = std::max(0.0, shieldLevel - dt);
        if (shieldLevel == 0.0) StartWorldLoop(NO_SHIELD_SOUND);
    }
    wasShielding = shield;
}
