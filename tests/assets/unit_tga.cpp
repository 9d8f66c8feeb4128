// SPDX-License-Identifier: MIT
// The TGA decoder on bytes built in memory; the upload is tested under gl_.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "TestSupport.h"
#include "assets/Texture.h"

namespace {

struct Decoded {
    bool ok = false;
    std::unique_ptr<unsigned char[]> pixels;
    unsigned width = 0, height = 0, bpp = 0;
};

// Decodes from a heap copy of exactly the given size, so that the address
// sanitizer sees any read past the end.
Decoded Decode(const std::vector<uint8_t>& bytes) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes.size() + 1]);
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    Decoded d;
    unsigned char* pixels = nullptr;
    d.ok = Texture::DecodeTGA(copy.get(), bytes.size(), &pixels, &d.width, &d.height, &d.bpp);
    d.pixels.reset(pixels);
    if (!d.ok) {
        EXPECT_EQ(pixels, nullptr);
    }
    return d;
}

TEST(TgaDecoder, TwentyFourBitBgrBecomesRgbInFileRowOrder) {
    // Two rows of two pixels, stored blue, green, red.
    std::vector<uint8_t> stored = {
        1, 2, 3, 4, 5, 6,      // first stored row
        7, 8, 9, 10, 11, 12,   // second stored row
    };
    Decoded d = Decode(MakeTga(2, 2, 24, stored));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 2u);
    EXPECT_EQ(d.height, 2u);
    EXPECT_EQ(d.bpp, 24u);
    const uint8_t expected[] = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
    EXPECT_EQ(0, std::memcmp(d.pixels.get(), expected, sizeof expected));
}

TEST(TgaDecoder, ThirtyTwoBitKeepsAlphaInPlace) {
    std::vector<uint8_t> stored = {10, 20, 30, 40, 50, 60, 70, 255, 0, 0, 0, 0};
    Decoded d = Decode(MakeTga(3, 1, 32, stored));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.bpp, 32u);
    const uint8_t expected[] = {30, 20, 10, 40, 70, 60, 50, 255, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(d.pixels.get(), expected, sizeof expected));
}

TEST(TgaDecoder, OnlyUncompressedTrueColourIsRead) {
    std::vector<uint8_t> pixels(4 * 3, 7);
    for (uint8_t type : {0, 1, 3, 9, 10, 11}) EXPECT_FALSE(Decode(MakeTga(2, 2, 24, pixels, type)).ok) << int(type);

    // Any other difference in the first 12 bytes: an image identifier, a
    // colour map, an origin.
    for (size_t i : {0, 1, 5, 8, 10}) {
        std::vector<uint8_t> file = MakeTga(2, 2, 24, pixels);
        file[i] = 1;
        EXPECT_FALSE(Decode(file).ok) << "byte " << i;
    }
}

TEST(TgaDecoder, SizeAndDepthAreChecked) {
    std::vector<uint8_t> pixels(64, 1);
    EXPECT_FALSE(Decode(MakeTga(0, 2, 24, pixels)).ok);
    EXPECT_FALSE(Decode(MakeTga(2, 0, 24, pixels)).ok);
    for (unsigned depth : {0u, 8u, 15u, 16u, 25u, 31u, 33u}) EXPECT_FALSE(Decode(MakeTga(2, 2, depth, pixels)).ok) << depth;
    // The image descriptor byte is not looked at.
    std::vector<uint8_t> file = MakeTga(2, 2, 24, pixels);
    file[17] = 0x20;
    EXPECT_TRUE(Decode(file).ok);
}

TEST(TgaDecoder, ShortFilesAreRefusedAtEveryLength) {
    std::vector<uint8_t> full = MakeTga(3, 2, 32, std::vector<uint8_t>(3 * 2 * 4, 9));
    for (size_t length = 0; length < full.size(); length++) {
        std::vector<uint8_t> prefix(full.begin(), full.begin() + length);
        EXPECT_FALSE(Decode(prefix).ok) << "length " << length;
    }
    EXPECT_TRUE(Decode(full).ok);
    // Bytes after the pixels (a footer) are ignored.
    full.insert(full.end(), 26, 0);
    EXPECT_TRUE(Decode(full).ok);

    // A header promising far more than the file holds is refused before
    // anything that large is allocated.
    EXPECT_FALSE(Decode(MakeTga(65535, 65535, 32, std::vector<uint8_t>(16, 0))).ok);
    EXPECT_FALSE(Texture::DecodeTGA(nullptr, 100, nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
