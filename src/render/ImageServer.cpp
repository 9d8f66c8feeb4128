// SPDX-License-Identifier: MIT
#include "render/ImageServer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "assets/Texture.h"
#include "assets/TextureServer.h"
#include "render/Flat2D.h"
#include "shell/MyError.h"

const char* ImageNames[NUM_IMAGES] = {
    "Images/number_0.tga",      "Images/number_1.tga",
    "Images/number_2.tga",      "Images/number_3.tga",
    "Images/number_4.tga",      "Images/number_5.tga",
    "Images/number_6.tga",      "Images/number_7.tga",
    "Images/number_8.tga",      "Images/number_9.tga",
    "Images/cross_hairs.tga",   "Images/score_text.tga",
    "Images/lives_text.tga",    "Images/bonus_text.tga",
    "Images/wave_text.tga",     "Images/shield_text.tga",
    "Images/wave_complete_text.tga", "Images/next_wave_text.tga",
    "Images/long_range.tga",    "Images/machine_guns.tga",
    "Images/triple_fire.tga",   "Images/lucky_irish.tga",
    "Images/air_brakes.tga",    "Images/shield.tga",
    "Images/times_2.tga",       "Images/times_3.tga",
    "Images/times_4.tga",       "Images/times_5.tga",
    "Images/cheater_text.tga",  "Images/pause_screen.tga",
};

ImageServer* ImageServer::instance = nullptr;

ImageServer* ImageServer::GetInstance() {
    if (instance == nullptr) instance = new ImageServer();
    return instance;
}

ImageServer::ImageServer() : beginImagesCalled(false) {
    TextureServer* textures = TextureServer::GetInstance();
    for (int id = 0; id < NUM_IMAGES; id++) images[id] = textures->LoadTexture(ImageNames[id]);
}

void ImageServer::Begin2D() {
    Flat2DBegin(1600, 1200);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1, 1, 1, 1);
}

void ImageServer::End2D() {
    Flat2DEnd();
}

void ImageServer::BeginImages() {
    if (beginImagesCalled) {
        error("BeginImages called twice!\n");
        return;
    }
    beginImagesCalled = true;
    Begin2D();
}

void ImageServer::EndImages() {
    if (!beginImagesCalled) {
        error("EndImages called twice!\n");
        return;
    }
    beginImagesCalled = false;
    End2D();
}

void ImageServer::DrawImage(int id, int x, int y) {
    if (id < 0 || id >= NUM_IMAGES) return;
    Texture* texture = images[id];
    // An image whose file failed to load has no pixels and no size, so
    // there is nothing to draw.
    if (texture == nullptr || texture->data == nullptr) return;

    bool ownBatch = !beginImagesCalled;
    if (ownBatch) Begin2D();

    int w = int(texture->width);
    int h = int(texture->height);
    texture->Bind();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(x, y);
    glTexCoord2f(1, 0);
    glVertex2i(x + w, y);
    glTexCoord2f(1, 1);
    glVertex2i(x + w, y + h);
    glTexCoord2f(0, 1);
    glVertex2i(x, y + h);
    glEnd();

    if (ownBatch) End2D();
}

int ImageServer::DrawNumber(int n, int x, int y) {
    if (n < 0) return 0;
    int d = 0;
    if (n > 9) d = DrawNumber(n / 10, x, y);
    DrawImage(NUMBER_0_IMAGE + n % 10, x + 25 * d, y);
    return d + 1;
}
