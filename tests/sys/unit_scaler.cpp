// SPDX-License-Identifier: MIT
// The full-screen picture's scaling: every path and every split into parts
// gives what the filter's plain arithmetic gives, and nothing is written
// past a row.
#include <cstdint>
#include <random>
#include <vector>

#include "sys/Scaler.h"

#include <gtest/gtest.h>

namespace {

struct Size {
    int w, h, outW, outH;
};

std::vector<uint32_t> RandomFrame(int w, int h) {
    std::mt19937 random(uint32_t(w * 7919 + h));
    std::vector<uint32_t> frame(size_t(w) * size_t(h) + Scaler::SLACK);
    for (uint32_t& p : frame) p = random();
    // What lies past the picture must not show.
    for (size_t i = frame.size() - Scaler::SLACK; i < frame.size(); ++i) frame[i] = 0xFFFFFFFFu;
    return frame;
}

// The filter done one channel at a time: across with the columns' weights,
// then down with the rows', each rounded to the nearest; top row first, red
// and blue changing places.
std::vector<uint8_t> Reference(const std::vector<uint32_t>& frame, const Size& z) {
    const auto columns = Scaler::Taps(z.w, z.outW), rows = Scaler::Taps(z.h, z.outH);
    auto across = [&](int row, int x, int c) {
        const Scaler::Tap& t = columns[size_t(x)];
        const uint32_t a = (frame[size_t(row) * size_t(z.w) + size_t(t.first)] >> (8 * c)) & 0xFF;
        const uint32_t b = (frame[size_t(row) * size_t(z.w) + size_t(t.second)] >> (8 * c)) & 0xFF;
        return (a * (256 - t.weight) + b * t.weight + 128) >> 8;
    };
    std::vector<uint8_t> out(size_t(z.outW) * size_t(z.outH) * 4);
    for (int y = 0; y < z.outH; ++y) {
        const Scaler::Tap& t = rows[size_t(y)];
        for (int x = 0; x < z.outW; ++x)
            for (int c = 0; c < 4; ++c)
                out[(size_t(z.outH - 1 - y) * size_t(z.outW) + size_t(x)) * 4 + size_t(c == 3 ? c : 2 - c)] =
                    uint8_t((across(t.first, x, c) * (256 - t.weight) + across(t.second, x, c) * t.weight + 128) >> 8);
    }
    return out;
}

// Scaled with a row stride of a few pixels more than the picture, in the
// parts given (their output rows, in the order scaled); the margin is
// checked to be untouched and then dropped.
std::vector<uint8_t> Scaled(Scaler& scaler, const std::vector<uint32_t>& frame, const Size& z,
                            const std::vector<std::pair<int, int>>& parts) {
    const size_t stride = size_t(z.outW + 3) * 4;
    std::vector<uint8_t> image(stride * size_t(z.outH), 0xAB);
    for (const auto& part : parts)
        scaler.Scale(frame.data(), reinterpret_cast<char*>(image.data()), stride, part.first, part.second);
    std::vector<uint8_t> out;
    for (int y = 0; y < z.outH; ++y) {
        const uint8_t* row = image.data() + size_t(y) * stride;
        out.insert(out.end(), row, row + 4 * z.outW);
        for (size_t i = size_t(4 * z.outW); i < stride; ++i)
            if (row[i] != 0xAB) ADD_FAILURE() << "written past row " << y;
    }
    return out;
}

TEST(Scaler, EveryPathAndSplitMatchesTheFilter) {
    if (!Scaler::Available()) GTEST_SKIP() << "no scaling on this processor";
    const Size sizes[] = {{640, 480, 1440, 1080}, {1600, 1200, 1440, 1080}, {1280, 1024, 1350, 1080},
                          {7, 5, 13, 9},          {9, 3, 5, 2},             {1, 1, 3, 2},
                          {100, 40, 30, 17},      {6, 4, 6, 4}};
    for (const Size& z : sizes) {
        SCOPED_TRACE(testing::Message() << z.w << "x" << z.h << " to " << z.outW << "x" << z.outH);
        const auto frame = RandomFrame(z.w, z.h);
        const auto expected = Reference(frame, z);
        Scaler scaler;
        scaler.Prepare(z.w, z.h, z.outW, z.outH);
        const bool wideAtAll = scaler.Wide();
        // A scale of less than a half is beyond the wide path's single read.
        if (z.outW * 2 < z.w) {
            EXPECT_FALSE(wideAtAll);
        } else if (__builtin_cpu_supports("avx2")) {
            EXPECT_TRUE(wideAtAll);
        }
        for (bool wide : {false, true}) {
            if (wide && !wideAtAll) continue;
            scaler.UseWide(wide);
            SCOPED_TRACE(wide ? "wide" : "narrow");
            const int middle = z.outH / 2;
            EXPECT_EQ(Scaled(scaler, frame, z, {{0, z.outH}}), expected);
            // Two parts, the top one first, then three in scrambled order:
            // no row depends on the one scaled before it.
            EXPECT_EQ(Scaled(scaler, frame, z, {{0, middle}, {middle, z.outH}}), expected);
            EXPECT_EQ(Scaled(scaler, frame, z, {{middle, z.outH}, {0, 1}, {1, middle}}), expected);
        }
    }
}

TEST(Scaler, SameSizeIsTheFrameUpsideDownRedAndBlueSwapped) {
    if (!Scaler::Available()) GTEST_SKIP() << "no scaling on this processor";
    const Size z{33, 7, 33, 7};
    const auto frame = RandomFrame(z.w, z.h);
    Scaler scaler;
    scaler.Prepare(z.w, z.h, z.outW, z.outH);
    const auto out = Scaled(scaler, frame, z, {{0, z.outH}});
    for (int y = 0; y < z.h; ++y)
        for (int x = 0; x < z.w; ++x)
            for (int c = 0; c < 4; ++c)
                ASSERT_EQ(out[(size_t(z.h - 1 - y) * size_t(z.w) + size_t(x)) * 4 + size_t(c == 3 ? c : 2 - c)],
                          (frame[size_t(y) * size_t(z.w) + size_t(x)] >> (8 * c)) & 0xFF)
                    << x << "," << y;
}

}  // namespace
