// SPDX-License-Identifier: MIT
// The screens around the games: the intro, the endless run of games and the
// game-over picture.
#include <SDL/SDL.h>

#include <GL/gl.h>

#include "shell/GameOverScores.h"
#include "shell/Korvalend3d.h"
#include "shell/GameSettings.h"
#include "shell/OptionsScreen.h"
#include "shell/TestStates.h"

namespace {
// Seconds the intro stands at most and the game-over picture stands always.
const double TITLE_TIME = 5.0;
// The title pictures are laid out for a frame of this size.
const int PICTURE_FRAME_WIDTH = 640;
const int PICTURE_FRAME_HEIGHT = 480;

// Centred in the picture frame. Signed, so that a picture larger than the
// frame is still centred (it overhangs on both sides) instead of being
// pushed far off the screen.
void DrawCentred(Bitmap& picture) {
    int x = (PICTURE_FRAME_WIDTH - static_cast<int>(picture.width)) / 2;
    int y = (PICTURE_FRAME_HEIGHT - static_cast<int>(picture.height)) / 2;
    picture.Draw(x, y, PICTURE_FRAME_WIDTH, PICTURE_FRAME_HEIGHT);
}
}  // namespace

void RunGame() {
    screen = Screen::GetInstance();
    gameOver = false;
    // Before the title, so that a focus lost during it keeps the first wave
    // paused.
    gamePaused = false;
    // A recording is of one game: its playback starts there.
    if (!FeedPlaying()) DoIntroScreen();
    gThePlayer = new Player();
    gCurrentCamera = StartCamera(gThePlayer);
    DoMainMenu();
}

void DoMainMenu() {
    error("Main menu!\n");
    for (;;) {
        DoPlayGame();
        DoGameOver();
    }
}

void DoIntroScreen() {
    error("Intro screen!\n");
    Timer timer;
    timer.Start();
    bool done = false;

    // The picture left by start-up goes.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FeedSwap();
    Sound::GetInstance()->PlaySound(PRIZE_APPEARS_SOUND);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Bitmap* picture = new Bitmap("Images/Korvalend_Titles#130.bmp");
    DrawCentred(*picture);
    FeedDelay(1000);
    screen->FadeIn();
    ReportShown("intro");
    Sound::GetInstance()->PlaySound(NOVA_BOOM_SOUND);
    ModelServer::GetInstance()->ReInitializeModels();

    // The five seconds count from the start, delay and fade included, and
    // again from the options' end.
    while (!done && timer.GetTime() < TITLE_TIME) {
        SDL_Event event;
        const bool got = FeedPollEvent(&event);
        if (got && OpensOptions(event)) {
            const auto drawTitle = [picture] {
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                DrawCentred(*picture);
            };
            DoOptionsScreen(drawTitle, false);
            drawTitle();
            FeedSwap();
            ReportShown("intro");
            timer.Reset();
            timer.Start();
        } else if (got && (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN)) {
            done = true;
        }
        FeedIdle();
    }

    DrawCentred(*picture);
    screen->FadeOut();
    delete picture;
}

void DoGameOver() {
    // The game's recording ends as the game does, so its score can keep it.
    FeedEndGame();
    error("Game over!\n");
    Sound::GetInstance()->PlaySound(GAME_OVER_SOUND);
    RecordGameOverScore();

    Bitmap* picture = new Bitmap("Images/Korvalend_Titles#128.bmp");
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawCentred(*picture);
    DrawGameOverScores();
    screen->FadeIn();
    ReportShown("game over");

    // The picture cannot be skipped: events wait in the queue for the next
    // game. Sleeping does not read them. A song playing on is still decoded
    // ahead of the audio thread, which only mixes what is ready.
    Timer timer;
    timer.Start();
    while (timer.GetTime() < TITLE_TIME) {
        SoundLibrary_DecodeAhead();
        FeedDelay(10);
    }

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawCentred(*picture);
    DrawGameOverScores();
    screen->FadeOut();
    delete picture;
}
