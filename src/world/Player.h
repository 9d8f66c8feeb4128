// The ship the player flies: one object for the whole run.
#ifndef KORVALEND_PLAYER_H
#define KORVALEND_PLAYER_H

#include "Objects.h"

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
    void AddToBonus(int amount);

    int lives;
    int bonusMult;
    int bonus;
    int score;
    double shieldLevel;
    double autoShield;
    double luckyShield;
    double nextShot;
    double nextBonusDrop;
    bool invincible;
    bool turningLeft, turningRight;
    bool nosingUp, nosingDown;
    bool rollingLeft, rollingRight;
    bool thrusting;
    bool wasThrusting;
    bool shooting;
    bool wasShooting;
    bool shielding;
    bool wasShielding;
    bool machineGuns;
    bool airBrakes;
    bool tripleFire;
    bool longRange;
    bool luckyIrish;

private:
    void ResetState();
    Model* shieldModel;
};

#endif
