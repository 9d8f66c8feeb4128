// SPDX-License-Identifier: MIT
// The image server, the HUD and its text writer, drawn into a real 800 x 600
// window: one pixel is two virtual units. The images are solid colours made
// here, so every pixel read back tells which image landed there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GlSupport.h"
#include "assets/Texture.h"
#include "assets/TextureServer.h"
#include "render/Camera.h"
#include "render/HUD.h"
#include "render/ImageServer.h"
#include "render/TextWriter.h"
#include "shell/Globals.h"
#include "world/Player.h"

namespace {

const int kWidth = 800, kHeight = 600;

Rgba ImageColour(int id) {
    if (id <= NUMBER_9_IMAGE) return {20 * (id + 1), 255, 0, 255};
    if (id == CROSS_HAIRS_IMAGE) return {0, 128, 255, 255};
    if (id >= TIMES_2_IMAGE && id <= TIMES_5_IMAGE) return {255, 40 * (id - 22), 0, 255};
    return {255, 255, 255, 255};
}

class HudTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!EnsureWindow(kWidth, kHeight)) return;
        images = new TempDir();
        std::string folder = images->File("Images");
        mkdir(folder.c_str(), 0755);
        for (int id = 0; id < NUM_IMAGES; id++) {
            if (id == PAUSE_SCREEN_IMAGE) continue;  // left missing on purpose
            Rgba c = ImageColour(id);
            unsigned w = id <= NUMBER_9_IMAGE ? 20 : 40, h = id <= NUMBER_9_IMAGE ? 30 : 40;
            WriteBytes(images->File(ImageNames[id]), SolidTga(w, h, c.r, c.g, c.b));
        }
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd) == nullptr) return;
        if (chdir(images->path.c_str()) != 0) return;
        testing::internal::CaptureStderr();
        server = ImageServer::GetInstance();
        // The player's constructor asks for models; there are none here.
        gThePlayer = new Player();
        testing::internal::GetCapturedStderr();
        if (chdir(cwd) != 0) server = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(server, nullptr);
        ClearScreen();
        Player* p = gThePlayer;
        p->score = 0;
        p->lives = 0;
        p->bonus = 0;
        p->bonusMult = 1;
        p->shieldLevel = 0;
        p->invincible = false;
        p->autoShield = 0;
        p->luckyShield = 0;
        p->shielding = false;
        p->longRange = p->machineGuns = p->tripleFire = p->luckyIrish = p->airBrakes = false;
        gWave = 0;
        gCheater = false;
    }

    // The pixel at the middle of a w x h image drawn at virtual (x, y).
    static Rgba Centre(int x, int y, int w = 40, int h = 40) { return ReadPixel((x + w / 2) / 2, (y + h / 2) / 2); }

    static void ExpectImage(int id, int x, int y, float alpha, const std::string& what) {
        Rgba c = ImageColour(id);
        int w = id <= NUMBER_9_IMAGE ? 20 : 40, h = id <= NUMBER_9_IMAGE ? 30 : 40;
        ExpectColour(Centre(x, y, w, h), int(c.r * alpha + 0.5f), int(c.g * alpha + 0.5f),
                     int(c.b * alpha + 0.5f), 3, what);
    }

    static void ExpectBlack(int px, int py, const std::string& what) { ExpectColour(ReadPixel(px, py), 0, 0, 0, 3, what); }

    // Every pixel not quite black.
    static int LitPixels() { return gltest::ReadPicture(GL_NONE).LitPixels(0); }

    // A writer of the atlas in the file; *said gets what the writer itself
    // says, *loading what the texture server says.
    static TextWriter WriterOf(const std::string& file, std::string* said, std::string* loading = nullptr) {
        testing::internal::CaptureStderr();
        Texture* atlas = TextureServer::GetInstance()->LoadTexture(file.c_str());
        std::string loaded = testing::internal::GetCapturedStderr();
        if (loading != nullptr) *loading = loaded;
        testing::internal::CaptureStderr();
        TextWriter writer(atlas);
        *said = testing::internal::GetCapturedStderr();
        return writer;
    }

    static void ExpectNumber(const std::string& digits, int x, int y, float alpha) {
        for (size_t i = 0; i < digits.size(); i++)
            ExpectImage(digits[i] - '0', x + 25 * int(i), y, alpha, digits + " digit " + std::to_string(i));
        // Nothing right after the last digit.
        ExpectBlack((x + 25 * int(digits.size()) + 10) / 2, (y + 15) / 2, digits + " end");
    }

    static ImageServer* server;
    static TempDir* images;
};

ImageServer* HudTest::server = nullptr;
TempDir* HudTest::images = nullptr;

TEST_F(HudTest, ServerHoldsAllThirtyImagesAndMissingOnesAreEmpty) {
    for (int id = 0; id < NUM_IMAGES; id++) {
        Texture* t = server->GetImage(ImageID(id));
        ASSERT_NE(t, nullptr) << id;
        if (id == PAUSE_SCREEN_IMAGE) {
            EXPECT_EQ(t->data, nullptr);
        } else {
            EXPECT_NE(t->data, nullptr) << ImageNames[id];
        }
    }
    EXPECT_STREQ(ImageNames[NUMBER_7_IMAGE], "Images/number_7.tga");
    EXPECT_STREQ(ImageNames[CHEATER_TEXT_IMAGE], "Images/cheater_text.tga");
    EXPECT_STREQ(ImageNames[PAUSE_SCREEN_IMAGE], "Images/pause_screen.tga");

    // Drawing an image without pixels leaves the screen as it was.
    server->DrawImage(PAUSE_SCREEN_IMAGE, 0, 0);
    server->DrawImage(NUM_IMAGES, 0, 0);
    server->DrawImage(-1, 0, 0);
    ExpectBlack(10, 10, "missing image");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(HudTest, DrawNumberPutsDigitsTwentyFiveUnitsApart) {
    EXPECT_EQ(server->DrawNumber(1050, 100, 0), 4);
    ExpectNumber("1050", 100, 0, 1);
    // The gaps between digits stay empty.
    ExpectBlack(61, 7, "gap after the first digit");

    EXPECT_EQ(server->DrawNumber(0, 300, 300), 1);
    ExpectNumber("0", 300, 300, 1);
    EXPECT_EQ(server->DrawNumber(9, 300, 600), 1);
    ExpectNumber("9", 300, 600, 1);
    EXPECT_EQ(server->DrawNumber(10, 300, 800), 2);
    ExpectNumber("10", 300, 800, 1);
    EXPECT_EQ(server->DrawNumber(2147483647, 600, 300), 10);
    ExpectNumber("2147483647", 600, 300, 1);
}

TEST_F(HudTest, NegativeNumbersDrawNothing) {
    EXPECT_EQ(server->DrawNumber(-3, 100, 0), 0);
    EXPECT_EQ(server->DrawNumber(-2147483647 - 1, 100, 0), 0);
    EXPECT_EQ(LitPixels(), 0);
}

TEST_F(HudTest, DrawImageOutsideABatchIsOpaqueWhiteAndLeavesNoState) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3, 3, -3, 3, -3, 3);
    GLdouble before[16], after[16];
    glGetDoublev(GL_PROJECTION_MATRIX, before);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1, 0, 0, 0.2f);

    server->DrawImage(NUMBER_1_IMAGE, 100, 100);
    ExpectImage(NUMBER_1_IMAGE, 100, 100, 1, "untinted");

    glGetDoublev(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; i++) EXPECT_DOUBLE_EQ(after[i], before[i]);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1);
    EXPECT_FLOAT_EQ(colour[1], 0);
    EXPECT_FLOAT_EQ(colour[3], 0.2f);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(HudTest, InsideABatchTheCallersColourFadesTheImage) {
    server->BeginImages();
    glColor4f(1, 1, 1, 0.5f);
    server->DrawImage(SCORE_TEXT_IMAGE, 400, 400);
    server->EndImages();
    ExpectImage(SCORE_TEXT_IMAGE, 400, 400, 0.5f, "half alpha");
}

TEST_F(HudTest, UnbalancedBatchesAreReportedAndIgnored) {
    GLint depth0 = 0, depth1 = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth0);
    testing::internal::CaptureStderr();
    server->BeginImages();
    server->BeginImages();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "BeginImages called twice!\n");
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth1);
    EXPECT_EQ(depth1, depth0 + 1);

    testing::internal::CaptureStderr();
    server->EndImages();
    server->EndImages();
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "EndImages called twice!\n");
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth1);
    EXPECT_EQ(depth1, depth0);
}

TEST_F(HudTest, HudShowsScoreLivesWaveAndBonusWhereTheyBelong) {
    gThePlayer->score = 1050;
    gThePlayer->lives = 3;
    gThePlayer->bonus = 2000;
    gWave = 12;
    DrawHUD(nullptr, 0);
    ExpectImage(SCORE_TEXT_IMAGE, 10, 1150, 0.75f, "score caption");
    ExpectNumber("1050", 138, 1150, 0.75f);
    ExpectImage(LIVES_TEXT_IMAGE, 600, 1150, 0.75f, "lives caption");
    ExpectNumber("3", 728, 1150, 0.75f);
    ExpectImage(WAVE_TEXT_IMAGE, 800, 1150, 0.75f, "wave caption");
    ExpectNumber("12", 928, 1150, 0.75f);
    ExpectImage(BONUS_TEXT_IMAGE, 1225, 1150, 0.75f, "bonus caption");
    ExpectNumber("2000", 1353, 1150, 0.75f);
    ExpectImage(SHIELD_TEXT_IMAGE, 74, 26, 0.75f, "shield caption");
    // Shield off: the icon is faint.
    ExpectImage(SHIELD_IMAGE, 10, 10, 0.25f, "shield icon, off");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(HudTest, ShieldIconIsBrightWhileTheShieldIsOn) {
    gThePlayer->autoShield = 1.0;
    ASSERT_TRUE(gThePlayer->ShieldOn());
    DrawHUD(nullptr, 0);
    ExpectImage(SHIELD_IMAGE, 10, 10, 1, "shield icon, on");
}

TEST_F(HudTest, ShieldBarIsTheLevelOverEightOfTwoHundredUnits) {
    // Inside the frame, halfway up: virtual y 42, pixel row 21.
    struct Case {
        double level;
        int lastBlueX;  // last virtual x the bar covers, or -1
    } cases[] = {{4, 310}, {8, 410}, {0, -1}, {2.5, 272}};
    for (const Case& c : cases) {
        ClearScreen();
        gThePlayer->shieldLevel = c.level;
        DrawHUD(nullptr, 0);
        std::string what = "level " + std::to_string(c.level);
        if (c.lastBlueX > 0) {
            ExpectColour(ReadPixel(106, 21), 0, 0, 191, 3, what + " bar start");
            ExpectColour(ReadPixel(c.lastBlueX / 2 - 2, 21), 0, 0, 191, 3, what + " bar end");
        }
        if (c.lastBlueX < 400) {
            ExpectBlack(c.lastBlueX > 0 ? c.lastBlueX / 2 + 2 : 110, 21, what + " beyond the bar");
        }
        // The frame: a bright outline above and below the bar, at the
        // right end too, whatever the level.
        int top = 0, bottom = 0;
        for (int y = 10; y <= 16; y++) top = std::max(top, ReadPixel(180, y).r);
        for (int y = 26; y <= 32; y++) bottom = std::max(bottom, ReadPixel(180, y).r);
        int right = 0;
        for (int x = 202; x <= 208; x++) right = std::max(right, ReadPixel(x, 21).r);
        EXPECT_GT(top, 100) << what;
        EXPECT_GT(bottom, 100) << what;
        EXPECT_GT(right, 100) << what;
    }
    // The frame is drawn in outline only; filling is back for what follows.
    GLint modes[2];
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
}

TEST_F(HudTest, CrossHairsOnlyInTheFirstPersonView) {
    FirstPersonCamera first(gThePlayer);
    ThirdPersonCamera third(gThePlayer);
    StaticCamera fixed(Vector3(0, 0, 10), Vector3(0, 0, 0), Vector3(0, 1, 0));
    DrawHUD(&first, 0);
    ExpectImage(CROSS_HAIRS_IMAGE, 768, 568, 1, "first person");
    for (Camera* camera : {static_cast<Camera*>(&third), static_cast<Camera*>(&fixed), static_cast<Camera*>(nullptr)}) {
        ClearScreen();
        DrawHUD(camera, 0);
        ExpectBlack((768 + 20) / 2, (568 + 20) / 2, camera == nullptr ? "no camera" : "other camera");
    }
}

TEST_F(HudTest, MultiplierImageFromTwoUp) {
    gThePlayer->bonusMult = 1;
    DrawHUD(nullptr, 0);
    ExpectBlack((1513 + 20) / 2, (1134 + 20) / 2, "x1");
    for (int mult = 2; mult <= 5; mult++) {
        ClearScreen();
        gThePlayer->bonusMult = mult;
        DrawHUD(nullptr, 0);
        ExpectImage(mult + 22, 1513, 1134, 0.5f, "x" + std::to_string(mult));
    }
}

TEST_F(HudTest, PowerUpsAreBrightWhenHeld) {
    gThePlayer->longRange = true;
    gThePlayer->tripleFire = true;
    gThePlayer->airBrakes = true;
    DrawHUD(nullptr, 0);
    ExpectImage(LONG_RANGE_IMAGE, 1225, 10, 0.75f, "long range");
    ExpectImage(MACHINE_GUNS_IMAGE, 1300, 10, 0.25f, "machine guns");
    ExpectImage(TRIPLE_FIRE_IMAGE, 1375, 10, 0.75f, "triple fire");
    ExpectImage(LUCKY_IRISH_IMAGE, 1450, 10, 0.25f, "lucky irish");
    ExpectImage(AIR_BRAKES_IMAGE, 1525, 10, 0.75f, "air brakes");
}

TEST_F(HudTest, CheatNoticeBlinksEveryHalfSecondOfDrawnTime) {
    cheaterOn = true;
    lastBlink = 0.5;
    auto shown = [](double dt) {
        ClearScreen();
        DrawHUD(nullptr, dt);
        return ReadPixel((672 + 20) / 2, (10 + 20) / 2).r > 200;
    };
    // Not a cheater: no notice, and the clock does not run.
    EXPECT_FALSE(shown(10.0));
    EXPECT_DOUBLE_EQ(lastBlink, 0.5);

    gCheater = true;
    EXPECT_TRUE(shown(0.3));   // 0.2 left
    EXPECT_FALSE(shown(0.3));  // ran out: off, 0.5 again
    EXPECT_DOUBLE_EQ(lastBlink, 0.5);
    EXPECT_FALSE(shown(0.4));  // 0.1 left
    EXPECT_TRUE(shown(0.1));   // exactly 0 toggles
    EXPECT_TRUE(shown(0.25));
    gCheater = false;
}

// An atlas of 16 x 8 cells of 16 x 16 texels: 'A' red over columns 2 to 9 of
// its cell, 'B' green over 4 to 7, and 'H', whose foot is the baseline, from
// row 4 of its cell up.
std::vector<uint8_t> TestAtlas() {
    const int cell = 16, w = 16 * cell, h = 8 * cell;
    std::vector<uint8_t> pixels(size_t(w) * h * 4, 0);
    auto ink = [&](char c, int x0, int x1, int y0, Rgba colour) {
        const int i = c - ' ', left = (i % 16) * cell, foot = h - (i / 16 + 1) * cell;  // rows bottom first
        for (int y = y0; y < cell; ++y)
            for (int x = x0; x <= x1; ++x) {
                uint8_t* p = &pixels[(size_t(foot + y) * w + size_t(left + x)) * 4];
                p[0] = uint8_t(colour.b), p[1] = uint8_t(colour.g), p[2] = uint8_t(colour.r), p[3] = 255;
            }
    };
    ink('A', 2, 9, 0, {255, 0, 0, 255});
    ink('B', 4, 7, 0, {0, 255, 0, 255});
    ink('H', 3, 12, 4, {255, 255, 255, 255});
    return MakeTga(w, h, 32, pixels);
}

TEST_F(HudTest, TextWriterSetsGlyphsByTheirInkOnTheBaseline) {
    ASSERT_TRUE(WriteBytes(images->File("atlas.tga"), TestAtlas()));
    std::string said;
    TextWriter writer = WriterOf(images->File("atlas.tga"), &said);
    ASSERT_TRUE(writer.Ok());
    EXPECT_EQ(said, "");
    // Each glyph its ink and a gap of 2; a space a fifth of a cell.
    EXPECT_EQ(writer.Width("A"), 8);
    EXPECT_EQ(writer.Width("AB"), 8 + 2 + 4);
    EXPECT_EQ(writer.Width("A B"), 8 + 2 + 3 + 4);
    EXPECT_EQ(writer.Width("\x7f"), writer.Width("?"));

    server->BeginImages();
    EXPECT_EQ(writer.Draw("AB", 100, 204), 14);
    server->EndImages();
    // A's ink at x 100 to 107, B's at 110 to 113; the baseline 204 is four
    // texels above the cells' foot, so the ink stands from y 200.
    ExpectColour(ReadPixel(52, 104), 255, 0, 0, 40, "A");
    ExpectColour(ReadPixel(56, 104), 0, 255, 0, 40, "B");
    ExpectBlack(54, 104, "between A and B");
    ExpectBlack(52, 98, "below the line");

    // The game's own atlas: its glyphs as wide as they look.
    TextWriter game = WriterOf(std::string(KORVALEND_BUILD_DIR) + "/" + HUD_FONT_IMAGE, &said);
    ASSERT_TRUE(game.Ok()) << said;
    EXPECT_GT(game.Width("W"), 2 * game.Width("l"));
    EXPECT_GT(game.Width("a b"), game.Width("ab"));
}

TEST_F(HudTest, TextWriterWithoutAGoodAtlasDrawsNothingAfterOneMessage) {
    std::vector<uint8_t> cut = TestAtlas();
    cut.resize(cut.size() / 2);
    ASSERT_TRUE(WriteBytes(images->File("cut.tga"), cut));
    ASSERT_TRUE(WriteBytes(images->File("flat.tga"), SolidTga(100, 50, 255, 255, 255)));
    ASSERT_TRUE(WriteBytes(images->File("rgb.tga"), MakeTga(16, 8, 24, std::vector<uint8_t>(16 * 8 * 3, 255))));
    for (const char* name : {"cut.tga", "flat.tga", "rgb.tga", "missing.tga"}) {
        std::string said, loading;
        TextWriter writer = WriterOf(images->File(name), &said, &loading);
        EXPECT_FALSE(writer.Ok()) << name;
        // Either the loader refused it (and said so), or the writer names it
        // in one line.
        if (loading.find("Error loading") != std::string::npos) {
            EXPECT_EQ(said, "") << name;
        } else {
            EXPECT_NE(said.find(name), std::string::npos) << name << ": " << said;
            EXPECT_EQ(said.find('\n'), said.size() - 1) << name << ": " << said;
        }
        server->BeginImages();
        EXPECT_EQ(writer.Draw("AB", 100, 200), 0);
        server->EndImages();
        EXPECT_EQ(writer.Width("AB"), 0);
    }
    EXPECT_EQ(LitPixels(), 0);
}

}  // namespace
