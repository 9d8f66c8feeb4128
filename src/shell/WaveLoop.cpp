// SPDX-License-Identifier: MIT
// A game is a run of waves; a wave is one frame after another until the
// arena has been free of asteroids for five seconds or the last ship is lost.
#include <SDL/SDL.h>

#include <algorithm>

#include "render/Brightness.h"
#include "shell/Korvalend3d.h"
#include "shell/TestStates.h"
#include "world/Collisions.h"

Timer gameTimer;
double currentTime = 0.0;
bool gameOver = false;
bool gamePaused = false;
double playerDeadTime = 0.0;
Screen* screen = nullptr;
double gWhenMultiplier = 0.0, gWhenPrize = 0.0, gWhenBonus = 0.0, gWhenGrav = 0.0,
       gWhenNova = 0.0, gWhenEnemy = 0.0, gWhenDamagedShip = 0.0, gWhenHoming = 0.0;

namespace {
// Seconds of asteroid-free time that end a wave.
const double WAVE_END_DELAY = 5.0;
// Seconds between losing a ship and launching the next.
const double RELAUNCH_DELAY = 5.0;

double countDown = WAVE_END_DELAY;

// Seconds until the arrival, or 0 when nothing of that kind comes this wave.
double DrawArrival(bool comes) { return comes ? RandomDouble(0.0, 30.0) : 0.0; }

void CountDown(double& value, double deltaTime) {
    if (value > 0.0) value = std::max(0.0, value - deltaTime);
}

// Runs one arrival timer down; the spawner fires in the frame it crosses 0.
void RunArrival(double& when, double deltaTime, void (*spawner)()) {
    if (when > 0.0) {
        when -= deltaTime;
        if (when <= 0.0) spawner();
    }
}
}  // namespace

void BeginGame() {
    gameOver = false;
    gWave = 0;
    gCheater = false;
    gThePlayer->NewGame();
}

void DoPlayGame() {
    // A recording starts from the state the game starts in.
    FeedBeginGame();
    error("Play Game\n");
    BeginGame();
    FeedCheckpoint(true);
    while (!gameOver) DoOneWave();
}

void NextWave() {
    gThePlayer->NewWave();
    gObjects.AddObject(gThePlayer);

    playerDeadTime = 0.0;
    gShakeTime = 0.0;
    gFreezeTime = 0.0;

    gWave += 1;

    // The draws come in this order; the later hazards need later waves.
    gWhenMultiplier = DrawArrival(RandomInt(0, 2) == 0);
    gWhenPrize = DrawArrival(RandomInt(0, 2) == 0);
    gWhenBonus = DrawArrival(RandomInt(0, 2) == 0);
    gWhenGrav = DrawArrival(RandomInt(0, gWave + 10) > 11);
    gWhenNova = DrawArrival(RandomInt(0, gWave + 10) > 13);
    gWhenEnemy = DrawArrival(RandomInt(0, 3) == 0);
    gWhenDamagedShip = DrawArrival(RandomInt(0, 10) == 0);
    gWhenHoming = DrawArrival(RandomInt(0, gWave + 10) > 12);

    int spread = gWave / 4;
    if (spread <= 0) spread = 1;
    int asteroids = RandomInt(0, spread) + gWave / 5 + 3;
    for (int i = 0; i < asteroids; ++i) {
        if (RandomInt(0, 10) == 0)
            MakeSteelRoid();
        else
            MakeBigAsteroid();
    }
}

void BeginWavePlay() {
    currentTime = 0.0;
    countDown = WAVE_END_DELAY;
    gameTimer.Reset();
    gameTimer.Start();
    Music* music = Music::GetInstance();
    music->StartMusic();
    music->ResetBoomSpeed();
}

double WaveFrame(double newTime) {
    // The step is passed on whole: a long frame is a long step.
    double deltaTime = newTime - currentTime;
    currentTime = newTime;
    HandleInput();
    if (!gamePaused) UpdateWorld(deltaTime);
    FeedCheckpoint(false);
    Music::GetInstance()->TimeUpdate(deltaTime);
    return deltaTime;
}

void EndWaveFrame(double deltaTime) {
    // Steel asteroids and everything else may stay; only rock holds the wave.
    if (gObjects.Count(BIG_ASTEROID) == 0 && gObjects.Count(MEDIUM_ASTEROID) == 0 &&
        gObjects.Count(SMALL_ASTEROID) == 0)
        countDown -= deltaTime;
}

bool WaveGoesOn() { return !gameOver && countDown >= 0.0; }

double WaveCountDown() { return countDown; }

void EndWave() {
    // A ship lost with no ship in reserve ends the game even when the wave
    // ran out before the relaunch delay did: the next wave would otherwise
    // launch a ship from an empty reserve.
    if (!gameOver && !gThePlayer->alive && gThePlayer->lives <= 0) gameOver = true;

    gObjects.RemoveObject(gThePlayer);
    for (int i = gObjects.NumObjects() - 1; i >= 0; --i) gObjects.DeleteObject(i);
    gameTimer.Stop();
    gParticleEngine->Clear();
}

void DoOneWave() {
    Music::GetInstance();
    NextWave();
    DrawScreen(0.0);
    screen->FadeIn();
    ReportShown("wave");
    BeginWavePlay();
    while (WaveGoesOn()) {
        double deltaTime = WaveFrame(gameTimer.GetTime());
        DrawScreen(deltaTime);
        if (gamePaused) DrawPauseScreen();
        FeedSwap();
        ReportWaveFrame();
        EndWaveFrame(deltaTime);
    }
    EndWave();
    FeedCheckpoint(true);
    FeedSaveRecording();
    if (!gameOver) DoBonusScreen();
}

void UpdateWorld(double deltaTime) {
    CheckForEvents(deltaTime);

    CountDown(gFreezeTime, deltaTime);
    CountDown(gShakeTime, deltaTime);
    CountDown(playerDeadTime, deltaTime);

    // From the top down, so that what objects add this frame waits a frame.
    for (int i = gObjects.NumObjects() - 1; i >= 0; --i) {
        Object* object = gObjects[i];
        if (gFreezeTime > 0.0 && object->canBeFrozen) continue;
        object->TimeUpdate(deltaTime);
    }

    HandleCollisions(gObjects);

    for (int k = gObjects.NumObjects() - 1; k >= 0; --k) {
        if (gObjects[k]->alive) continue;
        if (gObjects[k] == gThePlayer) {
            // The ship is kept for the next launch.
            gObjects.RemoveObject(k);
            playerDeadTime = RELAUNCH_DELAY;
        } else {
            gObjects.DeleteObject(k);
        }
    }

    if (!gThePlayer->alive && playerDeadTime <= 0.0) {
        if (gThePlayer->lives <= 0) {
            gameOver = true;
            return;
        }
        gThePlayer->NewShip();
        gObjects.AddObject(gThePlayer);
    }

    gParticleEngine->TimeUpdate(deltaTime);
}

void CheckForEvents(double deltaTime) {
    RunArrival(gWhenMultiplier, deltaTime, MakeMultiplier);
    RunArrival(gWhenPrize, deltaTime, MakePrize);
    RunArrival(gWhenBonus, deltaTime, MakeBonus);
    RunArrival(gWhenEnemy, deltaTime, MakeEnemy);
    RunArrival(gWhenGrav, deltaTime, MakeGrav);
    RunArrival(gWhenDamagedShip, deltaTime, MakeDamagedShip);
    RunArrival(gWhenHoming, deltaTime, MakeHoming);
    RunArrival(gWhenNova, deltaTime, MakeNova);
}

void DrawScreen(double deltaTime) {
    // The camera follows its target even while the game is paused.
    gCurrentCamera->TimeUpdate(deltaTime);
    gCurrentCamera->EstablishView();
    RenderWorld(gCurrentCamera);
    BrightenWorld();
    DrawHUD(gCurrentCamera, deltaTime);
}

void DrawPauseScreen() { ImageServer::GetInstance()->DrawImage(PAUSE_SCREEN_IMAGE, 288, 88); }
