// SPDX-License-Identifier: MIT
// The game's sound effects, synthesised: each one is drawn for the moment it
// is heard, short and punchy, and written as 16-bit mono WAV.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "AssetGen.h"
#include "Synth.h"

using namespace synth;

namespace {

// Fills a buffer sample by sample; f gets the time in seconds and is called
// in order, so it may keep oscillator and filter state.
template <typename F>
Buffer Render(double seconds, F f) {
    Buffer b(Samples(seconds));
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<float>(f(double(i) / kRate));
    return b;
}

// Adds a note rendered by f at a start time, growing the buffer if needed.
template <typename F>
void AddAt(Buffer& b, double start, double seconds, double gain, F f) {
    MixInto(b, Render(seconds, f), Samples(start), gain);
}

// A short ramp at both ends so no effect starts or stops on a step.
void Edges(Buffer& b, double in = 0.001, double out = 0.01) {
    FadeIn(b, in);
    FadeOut(b, out);
}

// FM bell: a carrier with a modulator at a non-integer ratio whose depth dies
// faster than the tone, the usual recipe for chimes and glass.
auto Bell(double hz, double ratio, double index, double tau) {
    return [=, c = Osc(), m = Osc()](double t) mutable {
        double mod = m.Next(Wave::Sine, hz * ratio) * index * Decay(t, tau * 0.4);
        double car = std::sin(kTwoPi * c.Phase() + mod);
        c.Next(Wave::Sine, hz);
        return car * Decay(t, tau) * std::min(1.0, t / 0.002);
    };
}

// Glockenspiel bar: the fundamental and the bar's strong inharmonic partial.
auto Glock(double hz, double tau) {
    return [=, a = Osc(), b = Osc()](double t) mutable {
        double v = a.Next(Wave::Sine, hz) + 0.35 * b.Next(Wave::Sine, hz * 2.756) * Decay(t, tau * 0.3);
        return v * Decay(t, tau) * std::min(1.0, t / 0.001);
    };
}

// ---------------------------------------------------------------- effects

Buffer Shot() {
    Osc sq, sub;
    Rng rng(101);
    Svf hp;
    hp.Set(3000, 0.7);
    Buffer b = Render(0.2, [&](double t) {
        double f = Glide(2400, 300, t, 0.13);
        double tone = 0.55 * sq.Next(Wave::Square, f) + 0.45 * sub.Next(Wave::Sine, f * 0.5);
        hp.Process(rng.Bipolar());
        double click = hp.high * Decay(t, 0.004);
        return (tone * Decay(t, 0.05) + 0.5 * click) * std::min(1.0, t / 0.0008);
    });
    Edges(b, 0.0005, 0.02);
    return b;
}

Buffer Explosion(uint64_t seed, double len, double cutFrom, double cutTo, double tau, double subFrom,
                 double subTo) {
    Rng rng(seed);
    Svf lp, rumble;
    Osc sub;
    double brown = 0, crackle = 0, wobble = 1.0;
    Buffer b = Render(len, [&](double t) {
        lp.Set(Glide(cutFrom, cutTo, t, len * 0.85), 0.8);
        double n = rng.Bipolar();
        lp.Process(n);
        brown = 0.995 * brown + 0.05 * n;
        rumble.Set(120, 1.2);
        rumble.Process(brown);
        // Sparse crackles early on, the debris of the blast.
        if (rng.Uniform() < 0.004 * Decay(t, 0.3)) crackle = rng.Bipolar();
        crackle *= 0.97;
        // A slow random swell makes the rumble roll instead of hiss.
        if ((static_cast<int>(t * kRate) & 511) == 0) wobble = 0.7 + 0.6 * rng.Uniform();
        double body = lp.low * 1.4 + rumble.low * 3.0 * wobble;
        double s = sub.Next(Wave::Sine, Glide(subFrom, subTo, t, 0.5)) * Decay(t, tau * 0.6);
        double env = Decay(t, tau) * std::min(1.0, t / 0.003);
        return SoftClip(1.6 * (body * env + 0.9 * s + 0.5 * crackle));
    });
    Edges(b, 0.0005, len * 0.2);
    return b;
}

Buffer ShipDies() {
    Buffer b = Explosion(303, 2.8, 2600, 60, 0.9, 75, 22);
    // A second blast a moment later, and the engine's falling whine.
    MixInto(b, Explosion(304, 2.0, 1800, 50, 0.6, 60, 20), Samples(0.35), 0.7);
    Osc saw;
    Svf lp;
    AddAt(b, 0.0, 1.9, 0.35, [&](double t) {
        double f = Glide(900, 60, t, 1.8);
        lp.Set(f * 3, 1.5);
        lp.Process(saw.Next(Wave::Saw, f));
        return lp.low * std::min(1.0, t / 0.02) * (1.0 - t / 1.9);
    });
    Edges(b, 0.0005, 0.5);
    return b;
}

// A deep kick: a sine whose pitch falls fast to its floor, with a click.
Buffer Boom(uint64_t seed, double from, double to, double len) {
    Rng rng(seed);
    Osc body;
    Svf hp;
    hp.Set(2500, 0.7);
    Buffer b = Render(len, [&](double t) {
        double f = to + (from - to) * Decay(t, 0.035);
        double v = body.Next(Wave::Sine, f) * Decay(t, len * 0.32);
        hp.Process(rng.Bipolar());
        double click = hp.high * Decay(t, 0.003) * 0.6;
        return SoftClip(1.5 * v + click);
    });
    Edges(b, 0.0003, len * 0.25);
    return b;
}

Buffer MultiplierAppears() {
    Buffer b;
    const double notes[] = {81, 88, 93, 100};  // A5 E6 A6 E7: open fifths
    for (int echo = 0; echo < 3; ++echo)
        for (int i = 0; i < 4; ++i)
            AddAt(b, echo * 0.16 + i * 0.06, 0.45, 0.5 * std::pow(0.45, echo), Bell(NoteHz(notes[i]), 3.5, 2.0, 0.18));
    Edges(b);
    return b;
}

Buffer MultiplierGone() {
    Osc tri, sq;
    Svf lp;
    Buffer b = Render(0.6, [&](double t) {
        double f = Glide(1000, 170, t, 0.5) * (1.0 + 0.03 * std::sin(kTwoPi * 11 * t));
        lp.Set(f * 4, 2.0);
        lp.Process(0.6 * tri.Next(Wave::Triangle, f) + 0.4 * sq.Next(Wave::Square, f));
        return lp.low * std::min(1.0, t / 0.01) * (1.0 - t / 0.6);
    });
    Edges(b);
    return b;
}

Buffer MultiplierShot() {
    Buffer b;
    AddAt(b, 0.0, 0.4, 0.6, Bell(NoteHz(88), 2.0, 3.0, 0.15));
    AddAt(b, 0.07, 0.5, 0.7, Bell(NoteHz(95), 2.0, 3.0, 0.2));
    Rng rng(707);
    Svf bp;
    bp.Set(7000, 1.5);
    AddAt(b, 0.0, 0.25, 0.5, [&](double t) {
        bp.Process(rng.Bipolar());
        return bp.band * Decay(t, 0.06);
    });
    Edges(b);
    return b;
}

Buffer SteelHit() {
    // A struck steel plate: many inharmonic partials, the high ones dying
    // first, a few in close pairs so the ring beats; a hard tick on impact.
    const double f0 = 420;
    const double ratio[] = {1.0, 1.007, 1.59, 2.14, 2.71, 2.725, 3.56, 4.48, 5.93, 7.36};
    const double amp[] = {1.0, 0.7, 0.8, 0.6, 0.55, 0.45, 0.4, 0.3, 0.25, 0.2};
    const double tau[] = {0.42, 0.38, 0.3, 0.26, 0.22, 0.2, 0.16, 0.12, 0.09, 0.07};
    const int n = 10;
    Rng rng(808);
    // Scattered phases: aligned ones would pile up into one spike at the hit.
    std::vector<Osc> osc;
    for (int k = 0; k < n; ++k) osc.emplace_back(rng.Uniform());
    Svf bp;
    bp.Set(4000, 1.5);
    Buffer b = Render(1.3, [&](double t) {
        double v = 0;
        for (int k = 0; k < n; ++k) v += amp[k] * osc[k].Next(Wave::Sine, f0 * ratio[k]) * Decay(t, tau[k]);
        bp.Process(rng.Bipolar());
        return 0.25 * v + 0.8 * bp.band * Decay(t, 0.004);
    });
    Edges(b, 0.0003, 0.4);
    return b;
}

Buffer Bonk() {
    Osc a, h;
    Buffer b = Render(0.35, [&](double t) {
        double f = Glide(560, 150, t, 0.1) * (1.0 + 0.12 * std::sin(kTwoPi * 17 * t) * Decay(t, 0.12));
        double v = a.Next(Wave::Sine, f) + 0.3 * h.Next(Wave::Triangle, f * 2) * Decay(t, 0.03);
        return v * Decay(t, 0.09) * std::min(1.0, t / 0.0015);
    });
    Edges(b, 0.0005, 0.03);
    return b;
}

// Karplus-Strong pluck: a burst of noise circulating in a damped delay line.
auto Pluck(uint64_t seed, double hz, double damping) {
    int n = std::max(2, static_cast<int>(kRate / hz + 0.5));
    std::vector<double> line(n);
    Rng rng(seed);
    // A pick rather than a slap: the excitation is low-passed.
    double y = 0;
    for (double& v : line) v = y += 0.5 * (rng.Bipolar() - y);
    return [=, pos = 0, last = 0.0](double) mutable {
        double out = line[pos];
        double next = line[(pos + 1) % n];
        double v = damping * 0.5 * (out + next);
        line[pos] = v;
        pos = (pos + 1) % n;
        last = out;
        return last;
    };
}

Buffer Riff() {
    // E minor pentatonic, a bar of sixteenths at 140 beats a minute.
    const double step = 60.0 / 140 / 4;
    struct N { int at; double midi; int len; };
    const N notes[] = {{0, 40, 2}, {2, 43, 1}, {3, 45, 2}, {5, 47, 1}, {6, 50, 1}, {7, 52, 5}};
    Buffer b;
    for (const N& n : notes) {
        double len = n.len * step + 0.05;
        AddAt(b, n.at * step, len + 0.2, 0.8, [p = Pluck(1000 + n.at, NoteHz(n.midi), 0.996), len, lp = Svf()](double t) mutable {
            double g = t < len ? 1.0 : Decay(t - len, 0.03);
            lp.Set(4500, 0.7);
            lp.Process(SoftClip(2.0 * p(t)));
            return lp.low * g;
        });
    }
    Edges(b, 0.0005, 0.15);
    return b;
}

Buffer Funk() {
    const double step = 60.0 / 115 / 4;
    struct N { int at; double midi; bool pop; };
    const N bass[] = {{0, 28, false}, {2, 40, true}, {3, 28, false}, {5, 31, false}, {6, 33, false}, {8, 40, true}};
    Buffer b;
    for (const N& n : bass) {
        Osc saw, sub;
        Svf lp;
        double hz = NoteHz(n.midi);
        AddAt(b, n.at * step, step * 1.6, 0.9, [=](double t) mutable {
            lp.Set(300 + (n.pop ? 4000 : 2500) * Decay(t, 0.04), 2.5);
            lp.Process(saw.Next(Wave::Saw, hz));
            double v = lp.low + 0.6 * sub.Next(Wave::Sine, hz);
            return v * (t < step * 1.3 ? 1.0 : Decay(t - step * 1.3, 0.01)) * std::min(1.0, t / 0.002);
        });
    }
    // The wah'd chord stab on the offbeat: E minor ninth.
    const double chord[] = {52, 55, 59, 62, 66};
    Osc o[5];
    Svf bp;
    AddAt(b, 4 * step, 0.9, 0.5, [&](double t) {
        double v = 0;
        for (int k = 0; k < 5; ++k) v += o[k].Next(Wave::Saw, NoteHz(chord[k]) * (1.0 + 0.002 * k));
        bp.Set(Glide(400, 2200, t, 0.2), 4.0);
        bp.Process(v * 0.3);
        return bp.band * 2.0 * (t < 0.5 ? 1.0 : Decay(t - 0.5, 0.08));
    });
    Edges(b, 0.0005, 0.1);
    return b;
}

Buffer PrizeAppears() {
    Buffer b;
    const double notes[] = {84, 88, 91, 96};  // C major, up an octave
    for (int i = 0; i < 4; ++i) AddAt(b, i * 0.08, 0.5, 0.6, Glock(NoteHz(notes[i]), 0.18 + 0.05 * i));
    Edges(b);
    return b;
}

Buffer GotPrize() {
    Buffer b;
    Osc a, c;
    AddAt(b, 0.0, 0.07, 0.5, [&](double t) { return a.Next(Wave::Square, NoteHz(83)) * std::min(1.0, t / 0.002); });
    AddAt(b, 0.07, 0.4, 0.5, [&](double t) { return c.Next(Wave::Square, NoteHz(88)) * Decay(t, 0.12); });
    AddAt(b, 0.07, 0.4, 0.4, Bell(NoteHz(100), 2.0, 1.5, 0.12));
    Edges(b);
    return b;
}

// A lead voice: a square and a triangle through a soft low pass, with a
// vibrato that creeps in on long notes.
auto Lead(double hz, double held, double release, double bright) {
    return [=, a = Osc(), b = Osc(), lp = Svf()](double t) mutable {
        double vib = 1.0 + 0.012 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.4);
        lp.Set(hz * bright, 0.9);
        lp.Process(0.5 * a.Next(Wave::Square, hz * vib) + 0.7 * b.Next(Wave::Triangle, hz * vib));
        Adsr env{0.01, 0.1, 0.75, release};
        return lp.low * env.At(t, held);
    };
}

Buffer GameOver() {
    Buffer b;
    const double notes[] = {67, 65, 63, 62};  // G F Eb D, falling to C minor
    for (int i = 0; i < 4; ++i) AddAt(b, i * 0.3, 0.4, 0.6, Lead(NoteHz(notes[i]), 0.26, 0.08, 4));
    AddAt(b, 1.2, 1.3, 0.7, Lead(NoteHz(60), 0.8, 0.45, 3));
    Osc bass;
    AddAt(b, 1.2, 1.3, 0.5, [&](double t) { return bass.Next(Wave::Triangle, NoteHz(36)) * Adsr{0.02, 0.3, 0.6, 0.4}.At(t, 0.85); });
    Edges(b, 0.001, 0.05);
    return b;
}

Buffer NewLife() {
    Buffer b;
    const double run[] = {79, 84, 88, 91};  // G C E G
    for (int i = 0; i < 4; ++i) {
        Osc o;
        double hz = NoteHz(run[i]);
        AddAt(b, i * 0.075, 0.09, 0.45, [=](double t) mutable { return o.Next(Wave::Pulse25, hz) * Adsr{0.002, 0.03, 0.7, 0.015}.At(t, 0.07); });
    }
    const double chord[] = {84, 88, 91, 96};
    for (double m : chord) {
        Osc o;
        double hz = NoteHz(m);
        AddAt(b, 0.3, 0.65, 0.22, [=](double t) mutable {
            return o.Next(Wave::Pulse25, hz * (1.0 + 0.004 * std::sin(kTwoPi * 6 * t))) * Adsr{0.005, 0.1, 0.6, 0.25}.At(t, 0.4);
        });
    }
    Edges(b);
    return b;
}

Buffer BonusAppears() {
    // A harp run up a pentatonic scale.
    Buffer b;
    const double scale[] = {72, 74, 76, 79, 81, 84, 86, 88, 91};
    for (int i = 0; i < 9; ++i) AddAt(b, i * 0.045, 0.5, 0.4, Bell(NoteHz(scale[i]), 1.0, 1.2, 0.2 + 0.02 * i));
    Edges(b);
    return b;
}

Buffer BonusShot() {
    Buffer b;
    Rng rng(1616);
    Svf bp;
    bp.Set(1500, 0.8);
    AddAt(b, 0.0, 0.12, 1.0, [&](double t) {
        bp.Process(rng.Bipolar());
        return bp.band * Decay(t, 0.025) * 2.0;
    });
    const double up[] = {84, 88, 91, 96, 100};
    for (int i = 0; i < 5; ++i) AddAt(b, 0.03 + i * 0.05, 0.4, 0.35, Glock(NoteHz(up[i]), 0.12));
    Edges(b, 0.0005, 0.05);
    return b;
}

Buffer NoBonus() {
    // The sad trombone: four falling notes, the last one sagging.
    Buffer b;
    const double notes[] = {55, 54, 53, 52};
    for (int i = 0; i < 4; ++i) {
        double len = i < 3 ? 0.28 : 0.75;
        Osc o;
        Svf lp;
        double hz = NoteHz(notes[i]);
        bool last = i == 3;
        AddAt(b, i * 0.3, len + 0.1, 0.7, [=](double t) mutable {
            double f = hz * (last ? 1.0 + 0.02 * std::sin(kTwoPi * 6 * t) * std::min(1.0, t / 0.2) : 1.0);
            // Each note opens and closes like a plunger mute.
            lp.Set(200 + 1600 * std::sin(kPi * std::min(1.0, t / len)), 3.0);
            lp.Process(o.Next(Wave::Saw, f));
            return lp.low * Adsr{0.02, 0.05, 0.85, 0.08}.At(t, len);
        });
    }
    Edges(b, 0.001, 0.05);
    return b;
}

Buffer GravityAppears() {
    Osc s1, s2, s3, sub;
    Svf lp, lpn;
    Rng rng(1818);
    const double len = 1.9;
    Buffer b = Render(len, [&](double t) {
        double bend = Glide(1.12, 1.0, t, 0.8);
        double f = 41.2 * bend;
        double v = s1.Next(Wave::Saw, f) + s2.Next(Wave::Saw, f * 1.012) + 0.6 * s3.Next(Wave::Saw, f * 1.414);
        lp.Set(150 + 450 * std::sin(kPi * t / len), 1.8);
        lp.Process(v);
        lpn.Set(220, 0.7);
        lpn.Process(rng.Bipolar());
        double env = std::min(1.0, 0.3 + t / 0.35) * (t > len - 0.6 ? (len - t) / 0.6 : 1.0);
        return (lp.low * 0.6 + sub.Next(Wave::Sine, f) * 0.8 + lpn.low * 1.5) * env;
    });
    // A dull thud first, so the well is heard the moment it opens.
    Osc thud;
    AddAt(b, 0.0, 0.5, 0.8, [&](double t) { return thud.Next(Wave::Sine, Glide(90, 35, t, 0.3)) * Decay(t, 0.15) * std::min(1.0, t / 0.002); });
    Edges(b);
    return b;
}

Buffer HomingAppears() {
    Buffer b;
    for (int i = 0; i < 5; ++i) {
        Osc o;
        double hz = 1400 + 150 * i;
        AddAt(b, i * 0.12, 0.07, 0.6, [=](double t) mutable {
            // Triangle: a clear beep that cuts through without buzzing.
            return o.Next(Wave::Triangle, hz) * Adsr{0.003, 0.0, 1.0, 0.004}.At(t, 0.062);
        });
    }
    Edges(b);
    return b;
}

Buffer ShieldOn() {
    Osc a, c, trem;
    Svf lp;
    Buffer b = Render(0.65, [&](double t) {
        double f = Glide(90, 240, t, 0.4);
        lp.Set(Glide(300, 3000, t, 0.4), 1.4);
        lp.Process(a.Next(Wave::Saw, f) + 0.5 * c.Next(Wave::Sine, f * 2));
        double am = 0.8 + 0.2 * trem.Next(Wave::Sine, 30);
        return lp.low * am * Adsr{0.04, 0.2, 0.7, 0.2}.At(t, 0.45);
    });
    Edges(b);
    return b;
}

// The loop lengths hold a whole number of periods of every tone in them, so
// the last sample runs on into the first one.
Buffer NoShield() {
    const int len = 17640;  // 0.4 s: all frequencies are multiples of 2.5 Hz
    Buffer b(len);
    for (int i = 0; i < len; ++i) {
        // Start a little way in, away from the moment both buzzes flip at once.
        double t = double(i + 1000) / kRate;
        double buzz = 0;
        for (int k = 1; k * 220 < 8000; k += 2) {
            buzz += std::sin(kTwoPi * std::fmod(220.0 * k * t, 1.0)) / k;
            buzz += 0.7 * std::sin(kTwoPi * std::fmod(232.5 * k * t, 1.0)) / k;
        }
        double pulse = 0.5 + 0.5 * std::cos(kTwoPi * std::fmod(5.0 * t, 1.0));
        b[i] = static_cast<float>(buzz * (0.25 + 0.75 * pulse * pulse));
    }
    return b;
}

Buffer Thruster() {
    const int len = 35280;     // 0.8 s: 44 cycles of the 55 Hz hum
    const int overlap = 4410;  // the noise is crossfaded over 0.1 s
    Rng rng(3030);
    Svf lp, bp;
    lp.Set(500, 0.7);
    bp.Set(160, 2.0);
    Buffer noise(len + overlap);
    for (int i = 0; i < len + overlap; ++i) {
        double n = rng.Bipolar();
        lp.Process(n);
        bp.Process(n);
        noise[i] = static_cast<float>(lp.low * 1.2 + bp.band * 0.8);
    }
    Buffer b = CrossfadeLoop(noise, len, overlap);
    for (int i = 0; i < len; ++i) {
        double t = double(i) / kRate;
        double hum = 0;
        for (int k = 1; k * 55 < 2000; ++k) hum += std::sin(kTwoPi * std::fmod(55.0 * k * t, 1.0)) / (k * k);
        double flutter = 0.85 + 0.15 * std::sin(kTwoPi * std::fmod(12.5 * t, 1.0));
        b[i] = static_cast<float>((b[i] + 0.35 * hum) * flutter);
    }
    return b;
}

Buffer NovaAppears() {
    Osc o[3], trem;
    Svf lp;
    const double len = 1.6;
    Buffer b = Render(len, [&](double t) {
        double f = Glide(110, 440, t, 1.5);
        double v = o[0].Next(Wave::Saw, f) + o[1].Next(Wave::Saw, f * 1.007) + o[2].Next(Wave::Saw, f * 0.993);
        lp.Set(Glide(400, 5000, t, 1.5), 2.0);
        lp.Process(v);
        double rate = 4 + 16 * t / len;
        double am = 0.6 + 0.4 * trem.Next(Wave::Sine, rate);
        double env = std::min(1.0, 0.15 + t / len) * (t > len - 0.04 ? (len - t) / 0.04 : 1.0);
        return lp.low * am * env;
    });
    return b;
}

Buffer NovaBoom() {
    Buffer b = Explosion(2323, 3.6, 7000, 70, 1.2, 60, 18);
    Rng rng(2324);
    Svf hp;
    hp.Set(1500, 0.7);
    AddAt(b, 0.0, 0.05, 0.8, [&](double t) {
        hp.Process(rng.Bipolar());
        return hp.high * Decay(t, 0.012);
    });
    Osc sub;
    AddAt(b, 0.0, 2.5, 0.6, [&](double t) { return sub.Next(Wave::Sine, Glide(45, 20, t, 2.0)) * Decay(t, 0.9) * std::min(1.0, t / 0.01); });
    Edges(b, 0.0005, 0.7);
    return b;
}

Buffer Lucky() {
    Buffer b;
    Osc w;
    AddAt(b, 0.0, 0.3, 0.6, [&](double t) {
        double f = Glide(500, 1900, t, 0.25) * (1.0 + 0.02 * std::sin(kTwoPi * 14 * t));
        return w.Next(Wave::Sine, f) * std::sin(kPi * t / 0.3);
    });
    AddAt(b, 0.27, 0.5, 0.5, Bell(NoteHz(88), 1.0, 1.0, 0.15));
    AddAt(b, 0.37, 0.5, 0.5, Bell(NoteHz(92), 1.0, 1.0, 0.18));
    Edges(b);
    return b;
}

Buffer DamagedShipAppears() {
    // A weak radio call for help: S O S in Morse code, with static.
    const double dot = 0.055;
    const char* code = "... --- ...";
    Buffer b(Samples(1.6));
    double at = 0.02;
    for (const char* c = code; *c; ++c) {
        if (*c == ' ') {
            at += 2 * dot;
            continue;
        }
        double len = *c == '.' ? dot : 3 * dot;
        Osc o;
        AddAt(b, at, len, 0.6, [=](double t) mutable {
            double f = 900 * (1.0 + 0.006 * std::sin(kTwoPi * 7 * t));
            return o.Next(Wave::Sine, f) * Adsr{0.004, 0.0, 1.0, 0.006}.At(t, len - 0.006);
        });
        at += len + dot;
    }
    Rng rng(2525);
    Svf bp;
    bp.Set(2500, 1.0);
    double crack = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        bp.Process(rng.Bipolar());
        if (rng.Uniform() < 0.002) crack = rng.Bipolar();
        crack *= 0.9;
        b[i] += static_cast<float>(0.06 * bp.band + 0.15 * crack);
    }
    Edges(b, 0.005, 0.05);
    return b;
}

// A warm detuned-saw pad voice.
auto Pad(double hz, double held, double release, double cutoff) {
    return [=, a = Osc(0.0), c = Osc(0.33), d = Osc(0.71), lp = Svf()](double t) mutable {
        lp.Set(cutoff, 0.8);
        lp.Process(a.Next(Wave::Saw, hz) + c.Next(Wave::Saw, hz * 1.005) + d.Next(Wave::Saw, hz * 0.995));
        return lp.low * 0.4 * Adsr{0.03, 0.2, 0.7, release}.At(t, held);
    };
}

Buffer SavedShip() {
    Buffer b;
    AddAt(b, 0.0, 0.2, 0.6, Lead(NoteHz(74), 0.14, 0.05, 6));
    AddAt(b, 0.15, 0.2, 0.6, Lead(NoteHz(81), 0.14, 0.05, 6));
    const double chord[] = {74, 78, 81, 86};  // D major
    for (double m : chord) AddAt(b, 0.3, 0.8, 0.4, Pad(NoteHz(m), 0.4, 0.35, 3000));
    AddAt(b, 0.3, 0.6, 0.3, Glock(NoteHz(98), 0.2));
    Edges(b);
    return b;
}

Buffer EnemyAppears() {
    // Red alert: two rising klaxon whoops.
    Buffer b;
    for (int i = 0; i < 2; ++i) {
        Osc a, c;
        Svf lp;
        AddAt(b, i * 0.55, 0.48, 0.6, [=](double t) mutable {
            double f = Glide(330, 820, t, 0.42);
            lp.Set(2500, 1.0);
            lp.Process(SoftClip(2.0 * (a.Next(Wave::Saw, f) + c.Next(Wave::Square, f * 1.5))));
            return lp.low * Adsr{0.01, 0.0, 1.0, 0.05}.At(t, 0.42);
        });
    }
    Edges(b);
    return b;
}

// Brass: saws whose filter swells open at each note's start.
auto Brass(double hz, double held) {
    return [=, a = Osc(), c = Osc(0.5), lp = Svf()](double t) mutable {
        double vib = 1.0 + 0.008 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.3);
        lp.Set(hz * (1.5 + 5.0 * std::min(1.0, t / 0.04) * (0.6 + 0.4 * Decay(t, 0.15))), 1.0);
        lp.Process(a.Next(Wave::Saw, hz * vib) + c.Next(Wave::Saw, hz * vib * 1.003));
        return lp.low * Adsr{0.015, 0.1, 0.8, 0.08}.At(t, held);
    };
}

Buffer PrettyGood() {
    Buffer b;
    struct N { double at, midi, held; };
    const N notes[] = {{0.0, 67, 0.09}, {0.11, 67, 0.09}, {0.22, 67, 0.09}, {0.33, 72, 0.16}, {0.52, 76, 0.16}};
    for (const N& n : notes) AddAt(b, n.at, n.held + 0.1, 0.5, Brass(NoteHz(n.midi), n.held));
    const double chord[] = {67, 72, 76, 79};
    for (double m : chord) AddAt(b, 0.72, 1.0, 0.3, Brass(NoteHz(m), 0.75));
    Edges(b, 0.001, 0.05);
    return b;
}

Buffer EnemyFire() {
    Osc c, m;
    Buffer b = Render(0.3, [&](double t) {
        double f = Glide(950, 120, t, 0.2);
        double mod = m.Next(Wave::Sine, f * 1.5) * 3.0 * Decay(t, 0.1);
        double v = std::sin(kTwoPi * c.Phase() + mod);
        c.Next(Wave::Sine, f);
        return SoftClip(2.0 * v) * Decay(t, 0.08) * std::min(1.0, t / 0.001);
    });
    Edges(b, 0.0005, 0.03);
    return b;
}

Buffer Freeze() {
    Buffer b;
    // A cluster of glassy bells falling into place.
    const double notes[] = {100, 95, 98, 91, 96, 89, 93};
    for (int i = 0; i < 7; ++i) AddAt(b, i * 0.05, 0.8, 0.35, Bell(NoteHz(notes[i]), 1.41, 2.5, 0.3));
    Rng rng(3232);
    Svf hp;
    AddAt(b, 0.0, 1.2, 0.25, [&](double t) {
        hp.Set(Glide(2000, 10000, t, 1.0), 0.8);
        hp.Process(rng.Bipolar());
        return hp.high * Decay(t, 0.35) * std::min(1.0, t / 0.05);
    });
    Edges(b, 0.001, 0.1);
    return b;
}

Buffer Idiot() {
    // The playground taunt, sung through the nose.
    struct N { double at, midi, held; };
    const N notes[] = {{0.0, 67, 0.22}, {0.25, 64, 0.17}, {0.45, 69, 0.13}, {0.6, 67, 0.17}, {0.8, 64, 0.4}};
    Buffer b;
    for (const N& n : notes) {
        Osc o;
        Svf bp;
        double hz = NoteHz(n.midi), held = n.held;
        AddAt(b, n.at, held + 0.08, 0.7, [=](double t) mutable {
            double f = hz * (1.0 + 0.025 * std::sin(kTwoPi * 7 * t));
            double pulse = o.Next(Wave::Pulse25, f);
            bp.Set(1200, 3.0);
            bp.Process(pulse);
            return (0.6 * bp.band + 0.25 * pulse) * Adsr{0.01, 0.05, 0.8, 0.06}.At(t, held);
        });
    }
    Edges(b);
    return b;
}

Buffer Pause() {
    Buffer b;
    AddAt(b, 0.0, 0.15, 0.5, [o = Osc()](double t) mutable { return o.Next(Wave::Triangle, NoteHz(88)) * Decay(t, 0.04); });
    AddAt(b, 0.1, 0.25, 0.5, [o = Osc()](double t) mutable { return o.Next(Wave::Triangle, NoteHz(83)) * Decay(t, 0.06); });
    Edges(b);
    return b;
}

struct Effect {
    const char* name;
    std::function<Buffer()> make;
    bool loop;
};

}  // namespace

bool GenerateSounds(const std::string& dir) {
    const std::string folder = dir + "/Sounds";
    if (!MakeDirectory(folder)) return false;
    // In the order of the game's effect table.
    const Effect effects[] = {
        {"shot", Shot, false},
        {"multiplier_appears", MultiplierAppears, false},
        {"explosion", [] { return Explosion(202, 1.4, 4000, 150, 0.35, 90, 35); }, false},
        {"ship_dies", ShipDies, false},
        {"boom1", [] { return Boom(404, 130, 38, 0.75); }, false},
        {"boom2", [] { return Boom(505, 160, 54, 0.6); }, false},
        {"multiplier_gone", MultiplierGone, false},
        {"multiplier_shot", MultiplierShot, false},
        {"steel_hit", SteelHit, false},
        {"bonk", Bonk, false},
        {"riff", Riff, false},
        {"prize_appears", PrizeAppears, false},
        {"got_prize", GotPrize, false},
        {"game_over", GameOver, false},
        {"new_life", NewLife, false},
        {"bonus_appears", BonusAppears, false},
        {"bonus_shot", BonusShot, false},
        {"no_bonus", NoBonus, false},
        {"gravity_appears", GravityAppears, false},
        {"homing_appears", HomingAppears, false},
        {"shield_on", ShieldOn, false},
        {"no_shield", NoShield, true},
        {"nova_appears", NovaAppears, false},
        {"nova_boom", NovaBoom, false},
        {"lucky", Lucky, false},
        {"damaged_ship_appears", DamagedShipAppears, false},
        {"saved_ship", SavedShip, false},
        {"funk", Funk, false},
        {"enemy_appears", EnemyAppears, false},
        {"pretty_good", PrettyGood, false},
        {"thruster", Thruster, true},
        {"enemy_fire", EnemyFire, false},
        {"freeze", Freeze, false},
        {"idiot", Idiot, false},
        {"pause", Pause, false},
    };
    bool ok = true;
    for (const Effect& e : effects) {
        if (!AssetWanted(folder + "/" + e.name + ".wav")) continue;  // each effect has its own seed
        Buffer b = e.make();
        // Loops run for as long as a key is held, so they sit a little lower.
        Normalise(b, e.loop ? -3.0 : -1.5);
        ok = WriteWavMono16(folder + "/" + e.name + ".wav", b) && ok;
    }
    // The beat looks for its samples under "sounds/": the same folder.
    const std::string link = dir + "/sounds";
    if (unlink(link.c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "assetgen: cannot replace \"%s\": %s\n", link.c_str(), std::strerror(errno));
        ok = false;
    } else if (symlink("Sounds", link.c_str()) != 0) {
        std::fprintf(stderr, "assetgen: cannot link \"%s\": %s\n", link.c_str(), std::strerror(errno));
        ok = false;
    }
    return ok;
}
