// SPDX-License-Identifier: MIT
// A picture scaled bilinearly to another size with the weights in 1/256ths,
// as the renderer's own filter takes them: across first, each channel kept
// to 16 bits, then down. Every output row is computed on its own, so a
// picture scaled in parts, on either path, is the same to the last bit.
// It takes the bytes in the order the renderer stores them (red, green,
// blue, alpha) and gives them in the order X shows them (blue, green, red,
// alpha): reading back in the renderer's order is a plain copy.
#ifndef KORVALEND_SYS_SCALER_H
#define KORVALEND_SYS_SCALER_H

#include <cstddef>
#include <cstdint>
#include <vector>

class Scaler {
public:
    // Pixels a source picture must have to spare past its last: a row is
    // read four pixels at a time.
    static constexpr size_t SLACK = 4;
    // False where the processor cannot do it (no SSE2): then nothing scales.
    static bool Available();

    // A width x height picture to be shown at outW x outH. The wide path
    // (AVX2) is taken where the processor has it and the scale allows.
    void Prepare(int width, int height, int outW, int outH);
    // Output rows [y0, y1), counted from the bottom as the frame's are, from
    // frame (bottom row first, width * height + SLACK pixels) into out (top
    // row first, stride bytes apart).
    void Scale(const uint32_t* frame, char* out, size_t stride, int y0, int y1);

    // The path in use, and a way for tests to set it (false: SSE2 alone).
    bool Wide() const { return wide; }
    void UseWide(bool on) { wide = on && wideUsable; }

    // One source column or row pair: the two samples and the second one's
    // weight out of 256.
    struct Tap {
        int first, second;
        uint32_t weight;
    };
    static std::vector<Tap> Taps(int n, int m);

private:
    // Two source rows scaled across, and which rows they are.
    struct Rows {
        std::vector<uint16_t> a, b;
        int aIs = -1, bIs = -1;
    };
    void ScaleAcross(const uint32_t* frame, int source, std::vector<uint16_t>& out) const;

    int width = 0, height = 0, outW = 0, outH = 0;
    bool wide = false, wideUsable = false;
    std::vector<Tap> columns, rows;
    // For the wide path, per pair of output pixels: the first source pixel
    // read, the byte shuffle that spreads both pixels' samples, and their
    // weights (32 bytes each, as the registers take them).
    std::vector<int> pairStart;
    std::vector<uint8_t> pairShuffle;
    std::vector<int16_t> pairWeights;
    Rows cached;
};

#endif
