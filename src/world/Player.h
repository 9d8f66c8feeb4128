// SPDX-License-Identifier: MIT
// The ship the player flies: one object for the whole run.
#ifndef KORVALEND_PLAYER_H
#define KORVALEND_PLAYER_H

#include "world/Objects.h"

class Player : public Shooter {
public:
    Player();
    ~Player() override {}

    void TimeUpdate(double deltaTime) override;
    void Draw() override;
    void AddToScore(int amount) override;
    void BeenDamaged(int amount, Object* object) override;
    void Explode() override;
    void HandleCollisionWith(Object* object) override;

    void NewGame();
    void NewShip();
    void NewWave();
    bool ShieldOn() const;
    bool GotLucky();
    void AddToShieldLevel(double amount);
    // What a prize (or the shield key) adds: a random amount, up to the cap.
    void TopUpShield();
    void AddToBonus(int amount);

    // Everything starts cleared; NewGame gives the real starting values.
    int lives = 0;
    int bonusMult = 0;
    int bonus = 0;
    int score = 0;
    double shieldLevel = 0.0;
    double autoShield = 0.0;
    double luckyShield = 0.0;
    double nextShot = 0.0;
    double nextBonusDrop = 0.0;
    bool invincible = false;
    bool turningLeft = false, turningRight = false;
    bool nosingUp = false, nosingDown = false;
    bool rollingLeft = false, rollingRight = false;
    bool thrusting = false;
    bool wasThrusting = false;
    bool shooting = false;
    bool wasShooting = false;
    bool shielding = false;
    bool wasShielding = false;
    bool machineGuns = false;
    bool airBrakes = false;
    bool tripleFire = false;
    bool longRange = false;
    bool luckyIrish = false;

    // The gamepad's share of the controls, set by its events and kept apart
    // from the keys' and the mouse's flags, so that neither's release ends
    // what the other holds: the sticks' deflections on the ship's own axes
    // (-1..1, like the keys' pitch, yaw and roll), and for each held control
    // one bit per pad button or trigger holding it.
    double padPitch = 0.0, padYaw = 0.0, padRoll = 0.0;
    unsigned padShooting = 0, padThrusting = 0, padShielding = 0;
    unsigned padRollingLeft = 0, padRollingRight = 0;

    // What the ship acts on: a held control counts while the keys or the
    // mouse hold it, or the pad does.
    bool Shooting() const { return shooting || padShooting != 0; }
    bool Thrusting() const { return thrusting || padThrusting != 0; }
    bool Shielding() const { return shielding || padShielding != 0; }
    bool RollingLeft() const { return rollingLeft || padRollingLeft != 0; }
    bool RollingRight() const { return rollingRight || padRollingRight != 0; }

private:
    void ResetState();
    // The steps of TimeUpdate, in its order.
    void DropBonus(double dt);
    void Fire(double dt);
    void Steer(double dt);
    void RunShield(double dt);
    Model* shieldModel = nullptr;
};

#endif
