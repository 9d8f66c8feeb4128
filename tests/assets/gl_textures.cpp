// SPDX-License-Identifier: MIT
// Textures and the texture server in a real OpenGL context.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "GlSupport.h"
#include "TestSupport.h"
#include "assets/Texture.h"
#include "assets/TextureServer.h"

namespace {

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnsureWindow(64, 64));
        ASSERT_FALSE(dir.path.empty());
    }

    // Loads through the server and returns what it printed.
    Texture* Load(const std::string& path, std::string* err = nullptr) {
        testing::internal::CaptureStderr();
        Texture* t = TextureServer::GetInstance()->LoadTexture(path.c_str());
        std::string printed = testing::internal::GetCapturedStderr();
        if (err != nullptr) *err = printed;
        return t;
    }

    // Level 0 of the uploaded texture, as RGBA.
    std::vector<uint8_t> UploadedPixels(Texture* t) {
        std::vector<uint8_t> out(t->width * t->height * 4);
        glBindTexture(GL_TEXTURE_2D, t->ID);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return out;
    }

    TempDir dir;
};

// First in this file, so the server starts empty here.
TEST_F(TextureTest, TheEleventhTextureGrowsTheTableAndKeepsEarlierPointers) {
    TextureServer* server = TextureServer::GetInstance();
    ASSERT_EQ(server->NumTextures(), 0) << "must run before the other tests of this file";
    EXPECT_EQ(server->Capacity(), 10);

    std::vector<Texture*> loaded;
    for (int i = 0; i < 11; i++) {
        std::string path = dir.File("grow" + std::to_string(i) + ".tga");
        ASSERT_TRUE(WriteBytes(path, SolidTga(1, 1, uint8_t(i * 20), 0, 0)));
        loaded.push_back(Load(path));
        EXPECT_EQ(server->Capacity(), i < 10 ? 10 : 20) << "after " << i + 1 << " textures";
    }
    EXPECT_EQ(server->NumTextures(), 11);
    for (int i = 0; i < 11; i++) {
        std::string path = dir.File("grow" + std::to_string(i) + ".tga");
        ASSERT_NE(loaded[i]->data, nullptr);
        EXPECT_STREQ(loaded[i]->filename, path.c_str());
        EXPECT_EQ(loaded[i]->data[0], i * 20);
        EXPECT_EQ(Load(path), loaded[i]);
    }
    EXPECT_EQ(server->NumTextures(), 11);
}

TEST_F(TextureTest, TwentyFourBitTgaUploadsAsRgbWithItsMessages) {
    // 2 x 2, stored blue, green, red; first stored row is the bottom.
    std::vector<uint8_t> stored = {
        0, 0, 255, 0, 255, 0,    // bottom: red, green
        255, 0, 0, 10, 20, 30,   // top: blue, (30, 20, 10)
    };
    std::string path = dir.File("rgb.tga");
    ASSERT_TRUE(WriteBytes(path, MakeTga(2, 2, 24, stored)));
    std::string err;
    Texture* t = Load(path, &err);

    ASSERT_NE(t->data, nullptr);
    EXPECT_EQ(t->bpp, 24u);
    EXPECT_EQ(t->width, 2u);
    EXPECT_EQ(t->height, 2u);
    ASSERT_NE(t->ID, 0u);
    EXPECT_TRUE(glIsTexture(t->ID));
    EXPECT_EQ(err, "Loading texture " + path + " into memory...texture id = " + std::to_string(t->ID) +
                       "\nSuccessfully loaded texture " + path + "\n");

    const uint8_t expected[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 30, 20, 10};
    EXPECT_EQ(0, std::memcmp(t->data, expected, sizeof expected));
    std::vector<uint8_t> up = UploadedPixels(t);
    for (int p = 0; p < 4; p++) {
        for (int c = 0; c < 3; c++) EXPECT_EQ(up[p * 4 + c], expected[p * 3 + c]) << "pixel " << p;
        EXPECT_EQ(up[p * 4 + 3], 255);
    }
}

TEST_F(TextureTest, ThirtyTwoBitTgaKeepsItsAlpha) {
    std::vector<uint8_t> stored = {
        10, 20, 30, 0, 40, 50, 60, 128,
        70, 80, 90, 255, 1, 2, 3, 64,
    };
    std::string path = dir.File("rgba.tga");
    ASSERT_TRUE(WriteBytes(path, MakeTga(2, 2, 32, stored)));
    Texture* t = Load(path);
    ASSERT_NE(t->data, nullptr);
    EXPECT_EQ(t->bpp, 32u);
    const uint8_t expected[] = {30, 20, 10, 0, 60, 50, 40, 128, 90, 80, 70, 255, 3, 2, 1, 64};
    EXPECT_EQ(0, std::memcmp(t->data, expected, sizeof expected));
    std::vector<uint8_t> up = UploadedPixels(t);
    EXPECT_EQ(0, std::memcmp(up.data(), expected, sizeof expected));
}

TEST_F(TextureTest, TwentyFourBitRowsAreNotPadded) {
    // 1 x 4 at 3 bytes a pixel: rows that OpenGL would otherwise expect
    // padded to 4 bytes, reading past the pixels.
    std::vector<uint8_t> stored;
    for (int i = 0; i < 4; i++) {
        stored.push_back(uint8_t(i));
        stored.push_back(uint8_t(10 + i));
        stored.push_back(uint8_t(40 * (i + 1)));
    }
    std::string path = dir.File("narrow.tga");
    ASSERT_TRUE(WriteBytes(path, MakeTga(1, 4, 24, stored)));
    Texture* t = Load(path);
    ASSERT_NE(t->data, nullptr);
    std::vector<uint8_t> up = UploadedPixels(t);
    for (int row = 0; row < 4; row++) {
        EXPECT_EQ(up[row * 4], 40 * (row + 1)) << "row " << row;
        EXPECT_EQ(up[row * 4 + 1], 10 + row) << "row " << row;
        EXPECT_EQ(up[row * 4 + 2], row) << "row " << row;
    }
}

TEST_F(TextureTest, FirstStoredRowIsDrawnAtTheBottom) {
    // 1 x 2: bottom red, top green. Drawn over the whole window.
    std::string path = dir.File("rows.tga");
    ASSERT_TRUE(WriteBytes(path, MakeTga(1, 2, 24, {0, 0, 255, 0, 255, 0})));
    Texture* t = Load(path);
    ClearScreen();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    t->Bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    ExpectColour(ReadPixel(32, 5), 255, 0, 0, 2, "bottom");
    ExpectColour(ReadPixel(32, 58), 0, 255, 0, 2, "top");
}

TEST_F(TextureTest, RunLengthEncodedTgaEndsAsAnEmptyTextureWithBothMessages) {
    std::string path = dir.File("rle.tga");
    // Type 10 with one run packet of four red pixels.
    ASSERT_TRUE(WriteBytes(path, MakeTga(2, 2, 24, {0x83, 0, 0, 255}, 10)));
    TextureServer* server = TextureServer::GetInstance();
    int before = server->NumTextures();
    std::string err;
    Texture* t = Load(path, &err);

    EXPECT_EQ(t->data, nullptr);
    EXPECT_EQ(t->filename, nullptr);
    EXPECT_EQ(t->ID, 0u);
    EXPECT_EQ(err.find("Error loading " + path + ": "), 0u) << err;
    std::string last = "Error loading " + path + "\n";
    ASSERT_GE(err.size(), last.size());
    EXPECT_EQ(err.substr(err.size() - last.size()), last);
    EXPECT_EQ(server->NumTextures(), before + 1);

    glBindTexture(GL_TEXTURE_2D, 0);
    t->Bind();
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);

    // A failed file is tried afresh and takes another entry.
    Texture* again = Load(path, &err);
    EXPECT_NE(again, t);
    EXPECT_EQ(server->NumTextures(), before + 2);
    EXPECT_NE(err.find("Error loading " + path + "\n"), std::string::npos);
}

TEST_F(TextureTest, MissingFileAndNoNameGiveEmptyTextures) {
    std::string path = dir.File("absent.tga");
    std::string err;
    Texture* t = Load(path, &err);
    EXPECT_EQ(t->data, nullptr);
    EXPECT_NE(err.find("Error loading " + path + ": "), std::string::npos) << err;
    EXPECT_NE(err.find("Error loading " + path + "\n"), std::string::npos) << err;

    int before = TextureServer::GetInstance()->NumTextures();
    Load("", &err);
    testing::internal::CaptureStderr();
    Texture* nameless = TextureServer::GetInstance()->LoadTexture(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(nameless, nullptr);
    EXPECT_EQ(nameless->data, nullptr);
    EXPECT_EQ(TextureServer::GetInstance()->NumTextures(), before + 2);
}

TEST_F(TextureTest, SameFileTwiceIsReadOnce) {
    std::string path = dir.File("once.tga");
    ASSERT_TRUE(WriteBytes(path, SolidTga(2, 2, 1, 2, 3)));
    Texture* first = Load(path);
    ASSERT_NE(first->data, nullptr);
    // Gone from the disk: a second read would fail.
    ASSERT_EQ(std::remove(path.c_str()), 0);
    int before = TextureServer::GetInstance()->NumTextures();
    std::string err;
    Texture* second = Load(path, &err);
    EXPECT_EQ(second, first);
    EXPECT_EQ(err, "");
    EXPECT_EQ(TextureServer::GetInstance()->NumTextures(), before);
    // The comparison is exact and case-sensitive.
    Texture* other = Load(dir.File("ONCE.tga"));
    EXPECT_NE(other, first);
}

TEST_F(TextureTest, ReloadGivesNewNamesAndBindUploadsALostTexture) {
    std::string path = dir.File("reload.tga");
    ASSERT_TRUE(WriteBytes(path, SolidTga(2, 2, 200, 100, 50, 25)));
    Texture* t = Load(path);
    ASSERT_NE(t->ID, 0u);
    unsigned oldID = t->ID;

    testing::internal::CaptureStderr();
    TextureServer::GetInstance()->ReloadTextures();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Loading texture " + path + " into memory...texture id = "), std::string::npos);
    EXPECT_NE(t->ID, 0u);
    EXPECT_TRUE(glIsTexture(t->ID));
    // Every texture got a fresh name, the old ones were given back.
    EXPECT_FALSE(glIsTexture(oldID) && oldID != t->ID);
    std::vector<uint8_t> up = UploadedPixels(t);
    EXPECT_EQ(up[0], 200);
    EXPECT_EQ(up[3], 25);

    // OpenGL forgets the name (as after a lost context): Bind uploads again.
    glDeleteTextures(1, &t->ID);
    testing::internal::CaptureStderr();
    t->Bind();
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(glIsTexture(t->ID));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), t->ID);
    up = UploadedPixels(t);
    EXPECT_EQ(up[1], 100);
}

TEST_F(TextureTest, PaletteBmpBecomesOpaqueRgbaBottomRowFirst) {
    std::string data = TestDataDir();
    if (data.empty()) GTEST_SKIP() << "no ../shared/testdata folder";
    std::string path = data + "/faerie2.bmp";
    std::string err;
    Texture* t = Load(path, &err);
    ASSERT_NE(t->data, nullptr) << err;
    EXPECT_EQ(t->bpp, 32u);
    EXPECT_EQ(t->width, 220u);
    EXPECT_EQ(t->height, 193u);
    EXPECT_NE(err.find("Successfully loaded texture " + path + "\n"), std::string::npos);
    EXPECT_TRUE(glIsTexture(t->ID));

    // Compare with SDL's own reading of the file: row y of the texture is
    // row height-1-y of the picture.
    SDL_Surface* s = SDL_LoadBMP(path.c_str());
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->format->BitsPerPixel, 8);
    ASSERT_NE(s->format->palette, nullptr);
    int mismatches = 0;
    for (unsigned y = 0; y < t->height; y++)
        for (unsigned x = 0; x < t->width; x++) {
            const uint8_t* in = static_cast<uint8_t*>(s->pixels) + (t->height - 1 - y) * s->pitch + x;
            const SDL_Color& c = s->format->palette->colors[*in];
            const uint8_t* out = t->data + (y * t->width + x) * 4;
            if (out[0] != c.r || out[1] != c.g || out[2] != c.b || out[3] != 255) mismatches++;
        }
    SDL_FreeSurface(s);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(TextureTest, ThirdPartyTgaLoads) {
    std::string data = TestDataDir();
    if (data.empty()) GTEST_SKIP() << "no ../shared/testdata folder";
    std::string path = data + "/top.tga";
    Texture* t = Load(path);
    ASSERT_NE(t->data, nullptr);
    EXPECT_EQ(t->width, 256u);
    EXPECT_EQ(t->height, 256u);
    EXPECT_EQ(t->bpp, 24u);

    std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_GE(file.size(), 18u + 256 * 256 * 3);
    int mismatches = 0;
    for (size_t p = 0; p < 256 * 256; p++) {
        const uint8_t* in = &file[18 + p * 3];
        const uint8_t* out = t->data + p * 3;
        if (out[0] != in[2] || out[1] != in[1] || out[2] != in[0]) mismatches++;
    }
    EXPECT_EQ(mismatches, 0);
    std::vector<uint8_t> up = UploadedPixels(t);
    mismatches = 0;
    for (size_t p = 0; p < 256 * 256; p++)
        if (up[p * 4] != t->data[p * 3] || up[p * 4 + 1] != t->data[p * 3 + 1] ||
            up[p * 4 + 2] != t->data[p * 3 + 2] || up[p * 4 + 3] != 255)
            mismatches++;
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
