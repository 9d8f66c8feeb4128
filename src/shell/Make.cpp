// SPDX-License-Identifier: MIT
// Spawners: each announces its arrival, picks a place and a velocity and hands
// the new object to the world list.
#include "shell/Make.h"

#include "world/Objects.h"
#include "world/Player.h"
#include "shell/Globals.h"

namespace {
// One time in fifty a whole shower arrives instead of a single object.
int ShowerCount() {
    if (RandomInt(0, 50) == 0) return RandomInt(4, 12);
    return 1;
}

Vector3 ArrivalVelocity(double extraSpeed) {
    double speed = RandomDouble(0.0, WaveSpeedRange()) + extraSpeed;
    return RandomVector(speed);
}
}  // namespace

void MakeBigAsteroid() {
    Vector3 pos = RandomEdgePosition();
    Vector3 vel = ArrivalVelocity(0.0);
    gObjects.AddObject(new BigAsteroid(pos, vel));
}

void MakeSteelRoid() {
    Vector3 pos = RandomEdgePosition();
    Vector3 vel = ArrivalVelocity(4.0);
    gObjects.AddObject(new SteelRoid(pos, vel));
}

void MakePrize() {
    PlayWorldSound(PRIZE_APPEARS_SOUND);
    int count = ShowerCount();
    for (int i = 0; i < count; ++i) {
        Vector3 vel = ArrivalVelocity(2.0);
        Vector3 pos = RandomEdgePosition();
        gObjects.AddObject(new Prize(pos, vel));
    }
}

void MakeBonus() {
    int which = RandomInt(0, 6);
    int bonus = (which == 0) ? 500 : 1000 * which;
    PlayWorldSound(BONUS_APPEARS_SOUND);
    int count = ShowerCount();
    for (int i = 0; i < count; ++i) {
        Vector3 vel = ArrivalVelocity(6.0);
        Vector3 pos = RandomEdgePosition();
        gObjects.AddObject(new Bonus(pos, vel, bonus));
    }
}

void MakeDamagedShip() {
    PlayWorldSound(DAMAGED_SHIP_APPEARS_SOUND);
    Vector3 vel = ArrivalVelocity(2.0);
    Vector3 pos = RandomEdgePosition();
    gObjects.AddObject(new DamagedShip(pos, vel));
}

void MakeHoming() {
    PlayWorldSound(HOMING_APPEARS_SOUND);
    int count = ShowerCount();
    for (int i = 0; i < count; ++i) {
        Vector3 vel = ArrivalVelocity(0.0);
        Vector3 pos = RandomEdgePosition();
        gObjects.AddObject(new Homing(pos, vel));
    }
}

void MakeGrav() {
    PlayWorldSound(GRAVITY_APPEARS_SOUND);
    int count = ShowerCount();
    for (int i = 0; i < count; ++i) {
        Vector3 pos = RandomSafePosition();
        gObjects.AddObject(new Gravity(pos));
    }
}

void MakeNova() {
    PlayWorldSound(NOVA_APPEARS_SOUND);
    Vector3 pos = RandomSafePosition();
    gObjects.AddObject(new Nova(pos));
}

void MakeMultiplier() {
    PlayWorldSound(MULTIPLIER_APPEARS_SOUND);
    Vector3 pos = RandomPosition();
    int mult = RandomInt(2, 6);
    gObjects.AddObject(new Multiplier(pos, mult));
}

void MakeEnemy() {
    PlayWorldSound(ENEMY_APPEARS_SOUND);
    int axis = RandomInt(0, 3);
    Vector3 pos;
    for (int i = 0; i < 3; ++i) {
        if (i == axis)
            pos[i] = gRealArenaMin[i];
        else
            pos[i] = RandomDouble(gRealArenaMin[i], gRealArenaMax[i]);
    }
    // Small, quick-firing ships first appear in wave 7.
    if (RandomInt(0, gWave + 5) > 10)
        gObjects.AddObject(new SmallShinobi(pos, axis));
    else
        gObjects.AddObject(new BigShinobi(pos, axis));
}
