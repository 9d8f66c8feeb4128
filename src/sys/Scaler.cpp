// SPDX-License-Identifier: MIT
#include "sys/Scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <immintrin.h>
#define KORVALEND_SCALER 1
#else
#define KORVALEND_SCALER 0
#endif

namespace {
#if KORVALEND_SCALER
// Output pixels [x0, w) of a row from two rows scaled across: four 16-bit
// channels a pixel, two pixels at a time.
void DownNarrow(const uint16_t* a, const uint16_t* b, uint32_t weight, int x0, int w, char* out) {
    const __m128i weights = _mm_set1_epi32(int((weight << 16) | (256 - weight)));
    const __m128i half = _mm_set1_epi32(128);
    for (int x = x0; x < w; x += 2) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 4 * x));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 4 * x));
        const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi16(va, vb), weights);
        const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi16(va, vb), weights);
        const __m128i sums = _mm_packs_epi32(_mm_srli_epi32(_mm_add_epi32(lo, half), 8),
                                             _mm_srli_epi32(_mm_add_epi32(hi, half), 8));
        const __m128i pixels = _mm_packus_epi16(sums, sums);
        if (x + 1 < w)
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * x), pixels);
        else {
            const int last = _mm_cvtsi128_si32(pixels);
            std::memcpy(out + 4 * x, &last, 4);
        }
    }
}

// The same, four pixels at a time; the last few go the narrow way.
__attribute__((target("avx2"))) void DownWide(const uint16_t* a, const uint16_t* b, uint32_t weight, int w,
                                              char* out) {
    const __m256i weights = _mm256_set1_epi32(int((weight << 16) | (256 - weight)));
    const __m256i half = _mm256_set1_epi32(128);
    int x = 0;
    for (; x + 4 <= w; x += 4) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + 4 * x));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + 4 * x));
        // In each half of the register: pixels 0 and 1 (2 and 3) channel by channel.
        const __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi16(va, vb), weights);
        const __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi16(va, vb), weights);
        const __m256i sums = _mm256_packs_epi32(_mm256_srli_epi32(_mm256_add_epi32(lo, half), 8),
                                                _mm256_srli_epi32(_mm256_add_epi32(hi, half), 8));
        const __m256i pixels = _mm256_permute4x64_epi64(_mm256_packus_epi16(sums, sums), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm256_castsi256_si128(pixels));
    }
    DownNarrow(a, b, weight, x, w, out);
}

// A source row scaled across, two pixels at a time: both samples of a pixel
// side by side, channel by channel, against their weights, so that one
// multiply-add gives its four channels.
void AcrossNarrow(const uint32_t* in, const std::vector<Scaler::Tap>& columns, uint16_t* out) {
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi32(128);
    const size_t n = columns.size();
    for (size_t x = 0; x < n; x += 2) {
        const Scaler::Tap& t0 = columns[x];
        const Scaler::Tap& t1 = columns[x + 1 < n ? x + 1 : x];
        const __m128i p0 = _mm_unpacklo_epi8(
            _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(in[t0.first])), _mm_cvtsi32_si128(int(in[t0.second]))), zero);
        const __m128i p1 = _mm_unpacklo_epi8(
            _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(in[t1.first])), _mm_cvtsi32_si128(int(in[t1.second]))), zero);
        const __m128i w0 = _mm_set1_epi32(int((t0.weight << 16) | (256 - t0.weight)));
        const __m128i w1 = _mm_set1_epi32(int((t1.weight << 16) | (256 - t1.weight)));
        const __m128i c0 = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(p0, w0), half), 8);
        const __m128i c1 = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(p1, w1), half), 8);
        // Red and blue change places.
        const __m128i rgba = _mm_packs_epi32(c0, c1);
        const __m128i bgra =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(rgba, _MM_SHUFFLE(3, 0, 1, 2)), _MM_SHUFFLE(3, 0, 1, 2));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), bgra);
    }
}

// One pair of output pixels, four channels each as 32 bits: its four
// source pixels read at once, spread by a byte shuffle and weighted.
__attribute__((target("avx2"))) inline __m256i AcrossPair(const uint32_t* in, int start, const uint8_t* shuffle,
                                                          const int16_t* weights) {
    const __m256i four = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + start)));
    const __m256i spread = _mm256_shuffle_epi8(four, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(shuffle)));
    const __m256i sums = _mm256_madd_epi16(spread, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights)));
    return _mm256_srli_epi32(_mm256_add_epi32(sums, _mm256_set1_epi32(128)), 8);
}

// The same, two pairs at a time.
__attribute__((target("avx2"))) void AcrossWide(const uint32_t* in, const int* start, const uint8_t* shuffle,
                                                const int16_t* weights, size_t pairs, uint16_t* out) {
    for (size_t p = 0; p < pairs; p += 2) {
        const __m256i c0 = AcrossPair(in, start[p], shuffle + 32 * p, weights + 16 * p);
        const __m256i c1 = AcrossPair(in, start[p + 1], shuffle + 32 * (p + 1), weights + 16 * (p + 1));
        // Packed as pixels 0, 2, 1, 3; put in order.
        const __m256i four = _mm256_permute4x64_epi64(_mm256_packs_epi32(c0, c1), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * p), four);
    }
}

bool ProcessorHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif
}  // namespace

bool Scaler::Available() { return KORVALEND_SCALER; }

// Sample i of an axis of n source pixels drawn over m: centres mapped to
// centres, the edges clamped.
std::vector<Scaler::Tap> Scaler::Taps(int n, int m) {
    std::vector<Tap> taps(static_cast<size_t>(m));
    for (int i = 0; i < m; ++i) {
        const long fixed = long(std::floor(((i + 0.5) * n / m - 0.5) * 256.0));
        long first = fixed >> 8;
        uint32_t weight = uint32_t(fixed & 0xFF);
        if (first < 0) first = 0, weight = 0;
        if (first >= n - 1) first = n - 1, weight = 0;
        taps[size_t(i)] = {int(first), int(first + 1 < n ? first + 1 : first), weight};
    }
    return taps;
}

void Scaler::Prepare(int width_, int height_, int outW_, int outH_) {
    width = width_, height = height_, outW = outW_, outH = outH_;
    columns = Taps(width, outW);
    rows = Taps(height, outH);
    // Pairs of output pixels, an even number of them: the wide path takes two
    // pairs at a time, and an odd last pixel is paired with itself.
    const size_t pairs = ((size_t(outW) + 1) / 2 + 1) & ~size_t(1);
    cached.a.assign(8 * pairs, 0);
    cached.b.assign(8 * pairs, 0);
    cached.aIs = cached.bIs = -1;
    pairStart.assign(pairs, 0);
    pairShuffle.assign(32 * pairs, 0);
    pairWeights.assign(16 * pairs, 0);
    bool reachable = outW > 0;
    for (size_t p = 0; p < pairs && reachable; ++p) {
        const int last = outW - 1;
        const Tap* pair[2] = {&columns[size_t(std::min(int(2 * p), last))],
                              &columns[size_t(std::min(int(2 * p + 1), last))]};
        const int start = pair[0]->first;
        pairStart[p] = start;
        for (int half = 0; half < 2; ++half) {
            const int a = pair[half]->first - start, b = pair[half]->second - start;
            // A scale of less than a half would reach further than one read.
            if (a < 0 || b > 3) reachable = false;
            for (int c = 0; c < 4; ++c) {
                // Channel c of the output is channel 2 - c of the source for
                // blue and red, and the same channel for green and alpha.
                const int from = c == 1 || c == 3 ? c : 2 - c;
                uint8_t* s = &pairShuffle[32 * p + 16 * size_t(half) + 4 * size_t(c)];
                s[0] = uint8_t(4 * a + from), s[1] = 0x80, s[2] = uint8_t(4 * b + from), s[3] = 0x80;
                int16_t* w = &pairWeights[16 * p + 8 * size_t(half) + 2 * size_t(c)];
                w[0] = int16_t(256 - pair[half]->weight), w[1] = int16_t(pair[half]->weight);
            }
        }
    }
#if KORVALEND_SCALER
    wideUsable = reachable && ProcessorHasAvx2();
#else
    wideUsable = false;
#endif
    wide = wideUsable;
}

void Scaler::ScaleAcross(const uint32_t* frame, int source, std::vector<uint16_t>& out) const {
#if KORVALEND_SCALER
    const uint32_t* in = frame + size_t(source) * size_t(width);
    if (wide)
        AcrossWide(in, pairStart.data(), pairShuffle.data(), pairWeights.data(), pairStart.size(), out.data());
    else
        AcrossNarrow(in, columns, out.data());
#else
    (void)frame, (void)source, (void)out;
#endif
}

void Scaler::Scale(const uint32_t* frame, char* out, size_t stride, int y0, int y1) {
#if KORVALEND_SCALER
    Rows& r = cached;
    for (int y = y0; y < y1; ++y) {
        const Tap& t = rows[size_t(y)];
        if (t.first != r.aIs) {
            if (t.first == r.bIs) {
                std::swap(r.a, r.b);
                std::swap(r.aIs, r.bIs);
            } else {
                ScaleAcross(frame, t.first, r.a);
                r.aIs = t.first;
            }
        }
        if (t.second != r.bIs) {
            ScaleAcross(frame, t.second, r.b);
            r.bIs = t.second;
        }
        char* line = out + size_t(outH - 1 - y) * stride;
        if (wide)
            DownWide(r.a.data(), r.b.data(), t.weight, outW, line);
        else
            DownNarrow(r.a.data(), r.b.data(), t.weight, 0, outW, line);
    }
    // The next frame's rows are new.
    r.aIs = r.bIs = -1;
#else
    (void)frame, (void)out, (void)stride, (void)y0, (void)y1;
#endif
}
