// SPDX-License-Identifier: MIT
// The sequence of screens, the wave loop and the input handler.
#ifndef KORVALEND_GAMESTATES_H
#define KORVALEND_GAMESTATES_H

#include <SDL/SDL.h>

#include "render/Camera.h"
#include "shell/Timer.h"

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
// Another window took the keyboard: the game waits for the player, paused,
// until Escape. Every event any screen reads passes here (FeedPollEvent),
// so a loss during the title or the tally pauses the next wave too.
void PauseOnFocusLoss(const SDL_Event& event);
// The keys that change only how the game is seen and heard (camera, video
// mode, volumes, music); a recording's watcher may press them too. False
// for every other key.
bool HandleViewerKey(const SDL_keysym& keysym);
// The camera the game is seen through, a fresh one of this kind.
void UseCamera(CameraType type);
CameraType CurrentCameraType();

void DoBonusScreen();
void DrawBonusScreen(int bonus, int bonusMult, int score, bool nextWave);

// The pieces DoOneWave is made of, without any drawing, fading or buffer
// swapping, so that whole games can be played where there is no screen.
// DoOneWave is exactly: NextWave, first picture and fade-in, BeginWavePlay,
// then while WaveGoesOn(): WaveFrame(gameTimer.GetTime()), drawing,
// EndWaveFrame; then EndWave and, unless the game is over, the bonus screen.
void BeginGame();                     // DoPlayGame's set-up of a new game
void BeginWavePlay();                 // clocks, count-down and music of a wave
double WaveFrame(double newTime);     // input, world and music; returns the step
void EndWaveFrame(double deltaTime);  // the end-of-wave count-down
bool WaveGoesOn();
double WaveCountDown();
void EndWave();                       // takes the ship out and deletes the rest

#endif
