// SPDX-License-Identifier: MIT
// A small synthesiser for the generated effects and songs: oscillators,
// noise, envelopes, filters and file writing. Everything is deterministic:
// noise comes from our own generator with a fixed seed per sound.
#ifndef KORVALEND_SYNTH_H
#define KORVALEND_SYNTH_H

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

using Buffer = std::vector<float>;

// xorshift64*: small, fast, the same on every platform.
class Rng {
public:
    explicit Rng(uint64_t seed) : state(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint32_t Next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<uint32_t>((state * 0x2545F4914F6CDD1Dull) >> 32);
    }
    double Uniform() { return Next() * (1.0 / 4294967296.0); }  // [0, 1)
    double Bipolar() { return 2.0 * Uniform() - 1.0; }          // [-1, 1)
    int Below(int n) { return static_cast<int>(Uniform() * n); }

private:
    uint64_t state;
};

inline int Samples(double seconds) { return static_cast<int>(seconds * kRate + 0.5); }
inline double NoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

enum class Wave { Sine, Triangle, Saw, Square, Pulse25 };

// Phase-accumulating oscillator; saw and square use PolyBLEP so high notes
// do not alias into a whistle.
class Osc {
public:
    explicit Osc(double startPhase = 0.0) : phase(startPhase) {}
    double Next(Wave w, double hz);
    double Phase() const { return phase; }

private:
    double phase;
};

// One value of a wave at a phase in [0, 1): exact and periodic, for loops
// whose length holds a whole number of cycles.
double WaveAt(Wave w, double phase);

// Attack, decay to sustain, hold while the note is held, release.
struct Adsr {
    double attack, decay, sustain, release;
    double At(double t, double held) const;
};

// A simple exponential decay from 1 with the given time constant.
inline double Decay(double t, double tau) { return std::exp(-t / tau); }
// Exponential glide from a to b over dur seconds (held at b afterwards).
double Glide(double a, double b, double t, double dur);

// Trapezoidal state-variable filter: low, band and high pass at once, stable
// at any cutoff, so sweeps may run up to the top of the band.
class Svf {
public:
    void Set(double cutoffHz, double q);
    void Process(double in);
    double low = 0, band = 0, high = 0;

private:
    double a1 = 0, a2 = 0, a3 = 0, k = 1, ic1 = 0, ic2 = 0;
};

class OnePole {
public:
    void Set(double cutoffHz);
    double Low(double in) { y += a * (in - y); return y; }
    double High(double in) { return in - Low(in); }

private:
    double a = 1.0, y = 0.0;
};

// Buffer helpers.
void MixInto(Buffer& dst, const Buffer& src, int offset, double gain);
double Peak(const Buffer& b);
void Normalise(Buffer& b, double peakDb);
void FadeIn(Buffer& b, double seconds);
void FadeOut(Buffer& b, double seconds);
// Makes a buffer of loopLen + overlap samples loop seamlessly: the tail past
// loopLen is crossfaded (equal power) into the start; the result has loopLen
// samples and sample loopLen-1 runs straight on into sample 0.
Buffer CrossfadeLoop(const Buffer& b, int loopLen, int overlap);
// Gentle saturation for the master bus.
inline double SoftClip(double x) { return std::tanh(x); }

bool WriteWavMono16(const std::string& path, const Buffer& b);
bool WriteOggStereo(const std::string& path, const Buffer& left, const Buffer& right, double quality);
bool MakeDirectory(const std::string& path);

}  // namespace synth

#endif
