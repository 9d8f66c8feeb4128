// SPDX-License-Identifier: MIT
// The tally between two waves: the wave bonus, its multiplier and the count
// into the score. Any key or click skips to the end and credits the rest.
#include <SDL/SDL.h>

#include <GL/gl.h>

#include <algorithm>

#include "shell/Korvalend3d.h"
#include "shell/TestStates.h"

namespace {
// Bonus points counted into the score per bonk.
const int COUNT_STEP = 500;
// A multiplied bonus above this earns a compliment.
const int PRETTY_GOOD_BONUS = 10000;

void Show(int bonus, int total, int score, bool nextWave) {
    DrawBonusScreen(bonus, total, score, nextWave);
    FeedSwap();
}
}  // namespace

void DrawBonusScreen(int bonus, int bonusMult, int score, bool nextWave) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ImageServer* is = ImageServer::GetInstance();
    is->BeginImages();
    is->DrawImage(WAVE_COMPLETE_TEXT_IMAGE, 672, 800);
    is->DrawImage(BONUS_TEXT_IMAGE, 650, 640);
    is->DrawImage(SCORE_TEXT_IMAGE, 650, 560);
    if (bonus != -1) is->DrawNumber(gThePlayer->bonus, 778, 640);
    if (bonusMult != -1) {
        is->DrawImage(gThePlayer->bonusMult + MULTIPLIER_IMAGE_OFFSET, 938, 624);
        is->DrawNumber(bonusMult, 1018, 640);
    }
    if (score != -1) is->DrawNumber(gThePlayer->score, 778, 560);
    if (nextWave) is->DrawImage(NEXT_WAVE_TEXT_IMAGE, 544, 300);
    is->EndImages();
    DrawHUD(nullptr, 0.0);
}

namespace {
bool Wait(int mils) { return screen->DelayInteractively(mils); }

// The tally from the first wait to the next-wave caption. Returns true as
// soon as the player cuts a wait short; total is what is left of the
// multiplied bonus then (-1 if none was shown).
bool Tally(int& total) {
    Sound* sound = Sound::GetInstance();
    Player* p = gThePlayer;
    if (Wait(3000)) return true;

    if (p->bonusMult > 1) {
        total = p->bonus * p->bonusMult;
        sound->PlaySound(MULTIPLIER_APPEARS_SOUND);
        Show(p->bonus, total, -1, false);
        if (Wait(1000)) return true;
    }

    sound->PlaySound(FUNK_SOUND);
    Show(p->bonus, total, p->score, false);
    if (Wait(1000)) return true;

    if (p->bonus == 0) {
        sound->PlaySound(NO_BONUS_SOUND);
        if (Wait(500)) return true;
    }
    if (p->bonus * p->bonusMult > PRETTY_GOOD_BONUS) {
        sound->PlaySound(PRETTY_GOOD_SOUND);
        if (Wait(500)) return true;
    }

    // Without a multiplier the ship's own bonus counts down in place. Every
    // step credits a full 500, the last one too.
    int& counted = (total != -1) ? total : p->bonus;
    while (counted > 0) {
        sound->PlaySound(BONK_SOUND);
        counted = std::max(0, counted - COUNT_STEP);
        p->AddToScore(COUNT_STEP);
        Show(p->bonus, total, p->score, false);
        if (Wait(100)) return true;
    }

    Show(p->bonus, total, p->score, true);
    return Wait(2000);
}
}  // namespace

void DoBonusScreen() {
    error("Bonus screen!\n");
    Sound* sound = Sound::GetInstance();
    Music::GetInstance()->StopMusic();
    sound->StopAllSounds();
    sound->PlaySound(RIFF_SOUND);

    screen->FadeOut();
    DrawBonusScreen(-1, -1, -1, false);
    screen->FadeIn();
    ReportShown("bonus");

    int total = -1;
    if (Tally(total)) {
        // Skipped: what is left is credited at once.
        Player* p = gThePlayer;
        Show(p->bonus, total, p->score, true);
        if (total != -1)
            p->AddToScore(total);
        else
            p->AddToScore(p->bonus * p->bonusMult);
    }
    screen->FadeOut();
}
