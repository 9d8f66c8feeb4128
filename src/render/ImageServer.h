// SPDX-License-Identifier: MIT
// The flat 2D images of the HUD, drawn in a virtual 1600 x 1200 screen.
#ifndef KORVALEND_IMAGESERVER_H
#define KORVALEND_IMAGESERVER_H

class Texture;

enum ImageID {
    NUMBER_0_IMAGE = 0,
    NUMBER_1_IMAGE,
    NUMBER_2_IMAGE,
    NUMBER_3_IMAGE,
    NUMBER_4_IMAGE,
    NUMBER_5_IMAGE,
    NUMBER_6_IMAGE,
    NUMBER_7_IMAGE,
    NUMBER_8_IMAGE,
    NUMBER_9_IMAGE,
    CROSS_HAIRS_IMAGE,
    SCORE_TEXT_IMAGE,
    LIVES_TEXT_IMAGE,
    BONUS_TEXT_IMAGE,
    WAVE_TEXT_IMAGE,
    SHIELD_TEXT_IMAGE,
    WAVE_COMPLETE_TEXT_IMAGE,
    NEXT_WAVE_TEXT_IMAGE,
    LONG_RANGE_IMAGE,
    MACHINE_GUNS_IMAGE,
    TRIPLE_FIRE_IMAGE,
    LUCKY_IRISH_IMAGE,
    AIR_BRAKES_IMAGE,
    SHIELD_IMAGE,
    TIMES_2_IMAGE,
    TIMES_3_IMAGE,
    TIMES_4_IMAGE,
    TIMES_5_IMAGE,
    CHEATER_TEXT_IMAGE,
    PAUSE_SCREEN_IMAGE,
    NUM_IMAGES
};

// The multiplier images follow one another from TIMES_2_IMAGE: x N is
// image N + MULTIPLIER_IMAGE_OFFSET.
const int MULTIPLIER_IMAGE_OFFSET = TIMES_2_IMAGE - 2;

extern const char* ImageNames[NUM_IMAGES];

class ImageServer {
public:
    static ImageServer* GetInstance();
    Texture* GetImage(ImageID id) { return images[id]; }
    void BeginImages();
    void EndImages();
    void DrawImage(int id, int x, int y);
    int DrawNumber(int n, int x, int y);

private:
    ImageServer();
    void Begin2D();
    void End2D();

    static ImageServer* instance;
    bool beginImagesCalled;
    Texture* images[NUM_IMAGES];
};

#endif
