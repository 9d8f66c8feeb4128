// The sequence of screens, the wave loop and the input handler.
#ifndef KORVALEND_GAMESTATES_H
#define KORVALEND_GAMESTATES_H

#include "Timer.h"

class Screen;

extern Timer gameTimer;
extern double currentTime;
extern bool gameOver;
extern bool gamePaused;
extern double playerDeadTime;
extern Screen* screen;
extern bool invertControls;
extern double gWhenMultiplier, gWhenPrize, gWhenBonus, gWhenGrav, gWhenNova, gWhenEnemy,
    gWhenDamagedShip, gWhenHoming;

void RunGame();
void DoIntroScreen();
void DoMainMenu();
void DoGameOver();

void DoPlayGame();
void NextWave();
void DoOneWave();
void UpdateWorld(double deltaTime);
void CheckForEvents(double deltaTime);
void DrawScreen(double deltaTime);
void DrawPauseScreen();

void HandleInput();

#endif
