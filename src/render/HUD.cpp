// SPDX-License-Identifier: MIT
#include "render/HUD.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <deque>

#include "shell/Globals.h"
#include "world/Player.h"
#include "world/Rules.h"
#include "render/Camera.h"
#include "render/ImageServer.h"
#include "render/TextWriter.h"

bool frameCounterOn = false;
bool cheaterOn = true;
double lastBlink = 0.5;

namespace {

void DrawCaptionAndNumber(ImageServer* is, int caption, int value, int x, int numberX, int y) {
    glColor4f(1, 1, 1, 0.75f);
    is->DrawImage(caption, x, y);
    is->DrawNumber(value, numberX, y);
}

}  // namespace

void DrawCrossHairs(ImageServer* is) {
    glColor4f(1, 1, 1, 1);
    is->DrawImage(CROSS_HAIRS_IMAGE, 768, 568);
}

void DrawScore(ImageServer* is) {
    if (gThePlayer == nullptr) return;
    DrawCaptionAndNumber(is, SCORE_TEXT_IMAGE, gThePlayer->score, 10, 138, 1150);
}

void DrawShield(ImageServer* is) {
    if (gThePlayer == nullptr) return;
    glColor4f(1, 1, 1, gThePlayer->ShieldOn() ? 1.0f : 0.25f);
    is->DrawImage(SHIELD_IMAGE, 10, 10);
    glColor4f(1, 1, 1, 0.75f);
    is->DrawImage(SHIELD_TEXT_IMAGE, 74, 26);

    // The level as a bar inside a 200 x 32 frame, full at the cap.
    glDisable(GL_TEXTURE_2D);
    int width = int(gThePlayer->shieldLevel / SHIELD_CAP * 200);
    glColor4f(0, 0, 1, 0.75f);
    glBegin(GL_QUADS);
    glVertex2i(210, 26);
    glVertex2i(210 + width, 26);
    glVertex2i(210 + width, 58);
    glVertex2i(210, 58);
    glEnd();

    glColor4f(1, 1, 1, 0.75f);
    glPolygonMode(GL_FRONT, GL_LINE);
    glBegin(GL_QUADS);
    glVertex2i(210, 26);
    glVertex2i(410, 26);
    glVertex2i(410, 58);
    glVertex2i(210, 58);
    glEnd();
    glPolygonMode(GL_FRONT, GL_FILL);
    glEnable(GL_TEXTURE_2D);
}

void DrawWave(ImageServer* is) {
    DrawCaptionAndNumber(is, WAVE_TEXT_IMAGE, gWave, 800, 928, 1150);
}

void DrawLives(ImageServer* is) {
    if (gThePlayer == nullptr) return;
    DrawCaptionAndNumber(is, LIVES_TEXT_IMAGE, gThePlayer->lives, 600, 728, 1150);
}

void DrawBonus(ImageServer* is) {
    if (gThePlayer == nullptr) return;
    DrawCaptionAndNumber(is, BONUS_TEXT_IMAGE, gThePlayer->bonus, 1225, 1353, 1150);
    int mult = gThePlayer->bonusMult;
    // Only the multipliers that have a picture: x2 to x5.
    if (mult >= 2 && mult <= 5) {
        glColor4f(1, 1, 1, 0.5f);
        is->DrawImage(mult + MULTIPLIER_IMAGE_OFFSET, 1513, 1134);
    }
}

void DrawPowerups(ImageServer* is) {
    if (gThePlayer == nullptr) return;
    const struct {
        int image;
        bool has;
    } powerups[5] = {
        {LONG_RANGE_IMAGE, gThePlayer->longRange},   {MACHINE_GUNS_IMAGE, gThePlayer->machineGuns},
        {TRIPLE_FIRE_IMAGE, gThePlayer->tripleFire}, {LUCKY_IRISH_IMAGE, gThePlayer->luckyIrish},
        {AIR_BRAKES_IMAGE, gThePlayer->airBrakes},
    };
    for (int i = 0; i < 5; i++) {
        glColor4f(1, 1, 1, powerups[i].has ? 0.75f : 0.25f);
        is->DrawImage(powerups[i].image, 1225 + 75 * i, 10);
    }
}

void DrawCheater(ImageServer* is, double deltaTime) {
    lastBlink -= deltaTime;
    if (lastBlink <= 0) {
        lastBlink = 0.5;
        cheaterOn = !cheaterOn;
    }
    if (cheaterOn) {
        glColor4f(1, 1, 1, 1);
        is->DrawImage(CHEATER_TEXT_IMAGE, 672, 10);
    }
}

void DrawFrameCounter(ImageServer*) {
    // The wall clock, not the game's: a recording played back in its own
    // time would otherwise report the recorded frames.
    using Clock = std::chrono::steady_clock;
    static std::deque<Clock::time_point> frames;
    const Clock::time_point now = Clock::now();
    frames.push_back(now);
    while (now - frames.front() > std::chrono::seconds(1)) frames.pop_front();
    if (!frameCounterOn) return;
    const TextWriter* writer = TextWriter::GetInstance();
    const size_t n = frames.size();
    const double span = std::chrono::duration<double>(now - frames.front()).count();
    char text[48];
    if (n < 2 || span <= 0.0)
        std::snprintf(text, sizeof text, "- fps");
    else
        std::snprintf(text, sizeof text, "%.0f fps  %.1f ms", double(n - 1) / span, 1000.0 * span / double(n - 1));
    glColor4f(1, 1, 1, 0.75f);
    writer->Draw(text, 1590 - writer->Width(text), 1100);
}

void DrawHUD(Camera* camera, double deltaTime) {
    ImageServer* is = ImageServer::GetInstance();
    is->BeginImages();
    if (camera != nullptr && camera->type == FIRST_PERSON) DrawCrossHairs(is);
    DrawScore(is);
    DrawShield(is);
    DrawWave(is);
    DrawLives(is);
    DrawBonus(is);
    DrawPowerups(is);
    if (gCheater) DrawCheater(is, deltaTime);
    DrawFrameCounter(is);
    is->EndImages();
}
