// SPDX-License-Identifier: MIT
// Spawners: everything that enters the arena from outside.
#ifndef KORVALEND_MAKE_H
#define KORVALEND_MAKE_H

void MakeBigAsteroid();
void MakeSteelRoid();
void MakeEnemy();
void MakePrize();
void MakeMultiplier();
void MakeNova();
void MakeBonus();
void MakeDamagedShip();
void MakeGrav();
void MakeHoming();

#endif
