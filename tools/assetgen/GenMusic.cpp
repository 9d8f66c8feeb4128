// SPDX-License-Identifier: MIT
// The songs of the play list, composed here: a drum kit, a bass, pads, an
// arpeggio and a lead that follow a minor-key chord progression through
// several sections, mixed in stereo with echo and reverb and written as
// Ogg Vorbis.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "AssetGen.h"
#include "Synth.h"

using namespace synth;

namespace {

struct Stereo {
    Buffer l, r;
    explicit Stereo(size_t n = 0) : l(n, 0.0f), r(n, 0.0f) {}
    size_t Size() const { return l.size(); }
};

// Mixes a mono voice into a stereo bus at a pan from -1 (left) to 1 (right),
// and the same voice into a mono send (the reverb's input) if one is given.
template <typename F>
void Play(Stereo& bus, size_t start, double seconds, double gain, double pan, F voice, Buffer* send = nullptr,
          double sendGain = 0.0) {
    double a = (pan + 1.0) * 0.25 * kPi;
    double gl = gain * std::cos(a), gr = gain * std::sin(a);
    size_t n = Samples(seconds);
    if (start >= bus.Size()) return;
    n = std::min(n, bus.Size() - start);
    for (size_t i = 0; i < n; ++i) {
        double v = voice(double(i) / kRate);
        bus.l[start + i] += static_cast<float>(v * gl);
        bus.r[start + i] += static_cast<float>(v * gr);
        if (send) (*send)[start + i] += static_cast<float>(v * gain * sendGain);
    }
}

void PlaySample(Stereo& bus, const Buffer& s, size_t start, double gain, double pan, Buffer* send = nullptr,
                double sendGain = 0.0) {
    size_t i = 0;
    Play(bus, start, double(s.size()) / kRate, gain, pan, [&](double) { return i < s.size() ? s[i++] : 0.0f; },
         send, sendGain);
}

// ------------------------------------------------------------------ drums

Buffer Kick() {
    Buffer b(Samples(0.4));
    Osc o;
    Rng rng(11);
    Svf hp;
    hp.Set(3000, 0.7);
    for (size_t i = 0; i < b.size(); ++i) {
        double t = double(i) / kRate;
        double f = 48 + 110 * Decay(t, 0.03);
        hp.Process(rng.Bipolar());
        double v = o.Next(Wave::Sine, f) * Decay(t, 0.16) + hp.high * Decay(t, 0.002) * 0.5;
        b[i] = static_cast<float>(SoftClip(1.4 * v) * std::min(1.0, t / 0.0005));
    }
    FadeOut(b, 0.05);
    return b;
}

Buffer Snare() {
    Buffer b(Samples(0.3));
    Osc o;
    Rng rng(12);
    Svf bp;
    bp.Set(3500, 0.6);
    for (size_t i = 0; i < b.size(); ++i) {
        double t = double(i) / kRate;
        bp.Process(rng.Bipolar());
        double v = 0.6 * o.Next(Wave::Sine, 180 + 40 * Decay(t, 0.01)) * Decay(t, 0.05) + 1.2 * bp.band * Decay(t, 0.09);
        b[i] = static_cast<float>(v * std::min(1.0, t / 0.0005));
    }
    FadeOut(b, 0.05);
    return b;
}

Buffer Hat(double tau, uint64_t seed) {
    Buffer b(Samples(tau * 5));
    Rng rng(seed);
    Svf hp;
    hp.Set(7500, 0.9);
    for (size_t i = 0; i < b.size(); ++i) {
        double t = double(i) / kRate;
        hp.Process(rng.Bipolar());
        b[i] = static_cast<float>(hp.high * Decay(t, tau) * std::min(1.0, t / 0.0003));
    }
    FadeOut(b, tau);
    return b;
}

Buffer Crash() {
    Buffer b(Samples(2.0));
    Rng rng(14);
    Svf hp;
    hp.Set(4500, 0.7);
    for (size_t i = 0; i < b.size(); ++i) {
        double t = double(i) / kRate;
        hp.Process(rng.Bipolar());
        b[i] = static_cast<float>(hp.high * Decay(t, 0.5) * std::min(1.0, t / 0.001));
    }
    FadeOut(b, 0.4);
    return b;
}

// --------------------------------------------------------------- harmony

// A chord as semitones above the key's tonic, and whether it is major.
struct Chord {
    int root;
    bool major;
    int Third() const { return root + (major ? 4 : 3); }
    int Fifth() const { return root + 7; }
};

// The chord tones over three octaves, counting up from the chord's root.
int ChordTone(const Chord& c, int index) {
    const int steps[3] = {0, c.major ? 4 : 3, 7};
    int oct = index >= 0 ? index / 3 : -((2 - index) / 3);
    int k = index - oct * 3;
    return c.root + steps[k] + 12 * oct;
}

// Natural minor, with the raised seventh over the major dominant.
int ScaleNote(int degree, const Chord& c) {
    static const int minor[7] = {0, 2, 3, 5, 7, 8, 10};
    int oct = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
    int k = degree - oct * 7;
    int s = minor[k];
    if (k == 6 && c.major && c.root == 7) s = 11;
    return s + 12 * oct;
}

bool IsChordTone(int semis, const Chord& c) {
    int s = ((semis - c.root) % 12 + 12) % 12;
    return s == 0 || s == (c.major ? 4 : 3) || s == 7;
}

// -------------------------------------------------------------- the score

enum Part : unsigned { KICK = 1, SNARE = 2, HATS = 4, BASS = 8, PAD = 16, ARP = 32, LEAD = 64, CRASH = 128 };

struct Section {
    int bars;
    std::vector<Chord> chords;  // one per bar, repeated through the section
    unsigned parts;
    const char* bass;           // sixteen steps: R root, O octave, F fifth, - tie, . rest
    const char* kick;           // sixteen steps: x hit
    const char* arp;            // sixteen steps: digits index the chord tones, . rest
    double arpCutoff;           // the arpeggio's filter, from dark to bright
    int leadOctave;             // 0 or 1: the lead sits higher in later sections
};

struct Song {
    const char* file;
    double bpm;
    int tonic;       // MIDI note of the key's tonic in the pad's octave
    uint64_t seed;
    std::vector<Section> sections;
};

// One step of a melody: a new note (by scale degree), a held note or a rest.
struct MelodyStep {
    enum Kind { REST, NOTE, HOLD } kind;
    int degree;
};

// A two-bar motif in eighth notes: strong beats land on chord tones, the
// line moves mostly by step and breathes at the end.
std::vector<MelodyStep> MakeMotif(Rng& rng) {
    std::vector<MelodyStep> m(16);
    int degree = 2 + rng.Below(5);
    for (int s = 0; s < 16; ++s) {
        double r = rng.Uniform();
        bool strong = s % 4 == 0;
        if (s >= 14) {
            m[s] = {s == 14 ? MelodyStep::HOLD : MelodyStep::REST, degree};
            continue;
        }
        if (s == 0 || (strong && r < 0.85) || (!strong && r < 0.5)) {
            int move = rng.Below(5) - 2;
            if (move == 0 && rng.Uniform() < 0.5) move = rng.Uniform() < 0.5 ? 3 : -3;
            degree = std::clamp(degree + move, 0, 9);
            m[s] = {MelodyStep::NOTE, degree};
        } else if (r < 0.8) {
            m[s] = {MelodyStep::HOLD, degree};
        } else {
            m[s] = {MelodyStep::REST, degree};
        }
    }
    return m;
}

// A copy of a motif with a few notes moved, and an ending on the tonic.
std::vector<MelodyStep> Vary(std::vector<MelodyStep> m, Rng& rng, bool resolve) {
    for (auto& s : m)
        if (s.kind == MelodyStep::NOTE && rng.Uniform() < 0.25) s.degree = std::clamp(s.degree + rng.Below(3) - 1, 0, 9);
    if (resolve) {
        m[12] = {MelodyStep::NOTE, 7};
        m[13] = m[14] = {MelodyStep::HOLD, 7};
        m[15] = {MelodyStep::REST, 7};
    }
    return m;
}

// ---------------------------------------------------------------- voices

auto BassVoice(double hz, double held, double bright) {
    return [=, saw = Osc(), sub = Osc(), lp = Svf(), n = 0](double t) mutable {
        if ((n++ & 15) == 0) lp.Set(120 + bright * Decay(t, 0.09), 2.2);
        lp.Process(saw.Next(Wave::Saw, hz));
        double v = 0.8 * lp.low + 0.7 * sub.Next(Wave::Sine, hz);
        return v * Adsr{0.003, 0.08, 0.8, 0.03}.At(t, held);
    };
}

auto PadVoice(double hz, double held, double cutoff, double phase) {
    return [=, a = Osc(phase), b = Osc(phase + 0.37), lp = Svf(), n = 0](double t) mutable {
        if ((n++ & 31) == 0) lp.Set(cutoff * (0.8 + 0.2 * std::sin(kTwoPi * 0.25 * t)), 0.7);
        lp.Process(a.Next(Wave::Saw, hz * 1.004) + b.Next(Wave::Saw, hz * 0.996));
        return lp.low * Adsr{0.35, 0.5, 0.8, 0.6}.At(t, held);
    };
}

const double kArpNote = 0.4;  // seconds each arpeggio note rings

auto ArpVoice(double hz, double cutoff) {
    const double fall = std::exp(-1.0 / (0.12 * kRate));
    return [=, o = Osc(), lp = Svf(), n = 0, env = 1.0](double t) mutable {
        if ((n++ & 15) == 0) lp.Set(cutoff * (0.4 + 0.6 * Decay(t, 0.06)) + 200, 1.8);
        lp.Process(o.Next(Wave::Pulse25, hz));
        env *= fall;
        double edge = std::min(1.0, std::min(t / 0.002, (kArpNote - t) / 0.03));
        return lp.low * env * edge;
    };
}

auto LeadVoice(double hz, double held) {
    return [=, a = Osc(), b = Osc(0.5), lp = Svf(), n = 0](double t) mutable {
        double vib = 1.0 + 0.007 * std::sin(kTwoPi * 5.2 * t) * std::min(1.0, std::max(0.0, t - 0.15) / 0.3);
        if ((n++ & 15) == 0) lp.Set(hz * (3.0 + 3.0 * Decay(t, 0.2)), 1.1);
        lp.Process(0.6 * a.Next(Wave::Saw, hz * vib) + 0.6 * b.Next(Wave::Square, hz * vib * 1.002));
        return lp.low * Adsr{0.012, 0.15, 0.75, 0.12}.At(t, held);
    };
}

// ---------------------------------------------------------------- effects

// A ping-pong echo: the left echo feeds the right and back.
void PingPong(Stereo& s, int delay, double feedback, double mix) {
    std::vector<float> dl(delay, 0.0f), dr(delay, 0.0f);
    int p = 0;
    for (size_t i = 0; i < s.Size(); ++i) {
        double inL = s.l[i], inR = s.r[i];
        double outL = dl[p], outR = dr[p];
        dl[p] = static_cast<float>(0.5 * (inL + inR) + outR * feedback);
        dr[p] = static_cast<float>(outL * feedback);
        s.l[i] = static_cast<float>(inL + mix * outL);
        s.r[i] = static_cast<float>(inR + mix * outR);
        p = (p + 1) % delay;
    }
}

// A small plate: four damped combs and two all-passes per side, the right
// side's lines slightly longer so the two decorrelate.
class Reverb {
public:
    Reverb() {
        const int combs[4] = {1116, 1188, 1277, 1356};
        const int passes[2] = {556, 441};
        for (int side = 0; side < 2; ++side) {
            for (int k = 0; k < 4; ++k) comb[side][k].assign(combs[k] + side * 23, 0.0f);
            for (int k = 0; k < 2; ++k) pass[side][k].assign(passes[k] + side * 23, 0.0f);
        }
    }
    void Process(const Buffer& in, Stereo& out, double wet) {
        for (size_t i = 0; i < in.size(); ++i) {
            double x = in[i] * 0.2;
            for (int side = 0; side < 2; ++side) {
                double acc = 0;
                for (int k = 0; k < 4; ++k) {
                    auto& line = comb[side][k];
                    size_t& p = combPos[side][k];
                    double y = line[p];
                    store[side][k] = y * 0.7 + store[side][k] * 0.3;  // damping
                    line[p] = static_cast<float>(x + store[side][k] * 0.84);
                    p = (p + 1) % line.size();
                    acc += y;
                }
                for (int k = 0; k < 2; ++k) {
                    auto& line = pass[side][k];
                    size_t& p = passPos[side][k];
                    double b = line[p];
                    line[p] = static_cast<float>(acc + b * 0.5);
                    acc = b - acc;
                    p = (p + 1) % line.size();
                }
                (side ? out.r : out.l)[i] += static_cast<float>(acc * wet);
            }
        }
    }

private:
    std::vector<float> comb[2][4], pass[2][2];
    size_t combPos[2][4] = {}, passPos[2][2] = {};
    double store[2][4] = {};
};

// ---------------------------------------------------------------- render

// The stems of one song, written bar by bar, then mixed down.
class SongRenderer {
public:
    explicit SongRenderer(const Song& s)
        : song(s), beat(60.0 / s.bpm), step(beat / 4), drums(Samples(Length(s))), bass(drums.Size()),
          pads(drums.Size()), arp(drums.Size()), lead(drums.Size()), send(drums.Size(), 0.0f),
          kick(Kick()), snare(Snare()), closed(Hat(0.02, 15)), open(Hat(0.09, 16)), crash(Crash()),
          rng(s.seed) {}

    Stereo Render() {
        int bar0 = 0;
        for (size_t si = 0; si < song.sections.size(); ++si) {
            const Section& sec = song.sections[si];
            const std::vector<MelodyStep> a = MakeMotif(rng), b = MakeMotif(rng), bEnd = Vary(b, rng, true);
            for (int bar = 0; bar < sec.bars; ++bar) {
                const Chord& c = sec.chords[bar % sec.chords.size()];
                const double barPos = bar0 + bar;
                Drums(sec, barPos, bar, si + 1 < song.sections.size());
                if (sec.parts & BASS) Bass(sec, c, barPos);
                if (sec.parts & PAD) Pads(c, barPos);
                if (sec.parts & ARP) Arpeggio(sec, c, barPos);
                // Lead: motif A, B, A, then B varied to end on the tonic.
                if (sec.parts & LEAD) {
                    const std::vector<MelodyStep>& m = (bar / 2) % 2 == 0 ? a : (bar >= sec.bars - 2 ? bEnd : b);
                    Lead(sec, c, barPos, m, bar % 2 == 1);
                }
            }
            bar0 += sec.bars;
        }
        return Mix();
    }

private:
    static double Length(const Song& s) {
        int totalBars = 0;
        for (const Section& sec : s.sections) totalBars += sec.bars;
        return totalBars * 4 * (60.0 / s.bpm) + 3.0;  // room for the last tails
    }
    size_t At(double bars) const { return static_cast<size_t>(std::lround(bars * 4 * beat * kRate)); }

    void Drums(const Section& sec, double barPos, int bar, bool moreToCome) {
        const bool lastBar = bar == sec.bars - 1;
        for (int s = 0; s < 16; ++s) {
            size_t t = At(barPos + s / 16.0);
            bool fill = lastBar && s >= 12 && (sec.parts & SNARE) && moreToCome;
            if ((sec.parts & KICK) && sec.kick[s] == 'x') {
                PlaySample(drums, kick, t, 0.75, 0.0);
                kicks.push_back(t);
            }
            if ((sec.parts & SNARE) && (s == 4 || s == 12 || fill))
                PlaySample(drums, snare, t, fill && s != 12 ? 0.35 + 0.1 * (s - 12) : 0.55, 0.05, &send, 0.25);
            if (sec.parts & HATS) {
                if (s % 4 == 2) PlaySample(drums, open, t, 0.16, 0.3, &send, 0.1);
                else if (s % 2 == 0) PlaySample(drums, closed, t, 0.2, 0.3);
                else PlaySample(drums, closed, t, 0.08 + 0.04 * rng.Uniform(), 0.35);
            }
        }
        if ((sec.parts & CRASH) && bar == 0) PlaySample(drums, crash, At(barPos), 0.25, -0.3, &send, 0.3);
    }

    void Bass(const Section& sec, const Chord& c, double barPos) {
        for (int s = 0; s < 16; ++s) {
            char k = sec.bass[s];
            if (k != 'R' && k != 'O' && k != 'F') continue;
            int len = 1;
            while (s + len < 16 && sec.bass[s + len] == '-') ++len;
            // Roots above the fifth go down, so the bass stays in its octave.
            int semis = (c.root > 7 ? c.root - 12 : c.root) + (k == 'O' ? 12 : k == 'F' ? 7 : 0);
            double hz = NoteHz(song.tonic - 24 + semis);
            double held = len * step * 0.9;
            Play(bass, At(barPos + s / 16.0), held + 0.05, 0.7, 0.0, BassVoice(hz, held, k == 'O' ? 1800 : 1100));
        }
    }

    // The chord in close voicing around the tonic, the root again on top,
    // the voices spread across the field.
    void Pads(const Chord& c, double barPos) {
        auto wrap = [](int n) { return ((n + 5) % 12 + 12) % 12 - 5; };
        int notes[4] = {wrap(c.root), wrap(c.Third()), wrap(c.Fifth()), wrap(c.root) + 12};
        for (int k = 0; k < 4; ++k) {
            int n = notes[k];
            Play(pads, At(barPos), 4 * beat + 0.6, 0.12, -0.6 + 0.4 * k,
                 PadVoice(NoteHz(song.tonic + n), 4 * beat - 0.05, 1400, 0.23 * k), &send, 0.5);
        }
    }

    void Arpeggio(const Section& sec, const Chord& c, double barPos) {
        for (int s = 0; s < 16; ++s) {
            char k = sec.arp[s];
            if (k < '0' || k > '9') continue;
            double hz = NoteHz(song.tonic + 12 + ChordTone(c, k - '0') - (c.root > 6 ? 12 : 0));
            Play(arp, At(barPos + s / 16.0), kArpNote, 0.13, 0.0, ArpVoice(hz, sec.arpCutoff), &send, 0.2);
        }
    }

    // One bar: the first or second half of a two-bar motif.
    void Lead(const Section& sec, const Chord& c, double barPos, const std::vector<MelodyStep>& m, bool second) {
        const int from = second ? 8 : 0;
        for (int s = 0; s < 8; ++s) {
            const MelodyStep& ms = m[from + s];
            if (ms.kind != MelodyStep::NOTE) continue;
            int len = 1;
            while (s + len < 8 && m[from + s + len].kind == MelodyStep::HOLD) ++len;
            int semis = ScaleNote(ms.degree, c);
            // On the beat, bend a clash onto the nearest chord tone.
            if (s % 2 == 0 && !IsChordTone(semis, c)) {
                int down = ScaleNote(ms.degree - 1, c);
                semis = IsChordTone(down, c) ? down : ScaleNote(ms.degree + 1, c);
            }
            double hz = NoteHz(song.tonic + 12 * sec.leadOctave + semis);
            double held = len * 2 * step - 0.02;
            Play(lead, At(barPos + s / 8.0), held + 0.15, 0.32, 0.1, LeadVoice(hz, held), &send, 0.35);
        }
    }

    Stereo Mix() {
        // The pads and bass duck under each kick, so the beat stays clear.
        Buffer duck(drums.Size(), 1.0f);
        for (size_t k : kicks)
            for (size_t i = 0; i < static_cast<size_t>(Samples(0.25)) && k + i < duck.size(); ++i)
                duck[k + i] = std::min(duck[k + i], static_cast<float>(1.0 - 0.45 * Decay(double(i) / kRate, 0.07)));
        PingPong(arp, static_cast<int>(std::lround(3 * step * kRate)), 0.45, 0.6);
        PingPong(lead, static_cast<int>(std::lround(2 * step * kRate)), 0.3, 0.3);
        Stereo mix(drums.Size());
        for (size_t i = 0; i < mix.Size(); ++i) {
            double d = duck[i];
            mix.l[i] = static_cast<float>(drums.l[i] + d * (bass.l[i] + pads.l[i]) + arp.l[i] + lead.l[i]);
            mix.r[i] = static_cast<float>(drums.r[i] + d * (bass.r[i] + pads.r[i]) + arp.r[i] + lead.r[i]);
        }
        Reverb reverb;
        reverb.Process(send, mix, 0.9);
        for (size_t i = 0; i < mix.Size(); ++i) {
            mix.l[i] = static_cast<float>(SoftClip(mix.l[i] * 1.1));
            mix.r[i] = static_cast<float>(SoftClip(mix.r[i] * 1.1));
        }
        // Vorbis rings a little past the peaks it is given, so leave room.
        double peak = std::max(Peak(mix.l), Peak(mix.r));
        double g = peak > 0 ? std::pow(10.0, -2.0 / 20.0) / peak : 1.0;
        for (size_t i = 0; i < mix.Size(); ++i) {
            mix.l[i] = static_cast<float>(mix.l[i] * g);
            mix.r[i] = static_cast<float>(mix.r[i] * g);
        }
        FadeOut(mix.l, 4.0);
        FadeOut(mix.r, 4.0);
        FadeIn(mix.l, 0.01);
        FadeIn(mix.r, 0.01);
        return mix;
    }

    const Song& song;
    const double beat, step;
    Stereo drums, bass, pads, arp, lead;
    Buffer send;
    const Buffer kick, snare, closed, open, crash;
    Rng rng;
    std::vector<size_t> kicks;
};

Stereo Render(const Song& song) { return SongRenderer(song).Render(); }

// ----------------------------------------------------------------- songs

// Semitones above the tonic of each chord of a minor key.
const Chord i{0, false}, iv{5, false}, v{7, false}, V{7, true}, III{3, true}, VI{8, true}, VII{10, true};

Song Orbit() {
    // A minor, 128 beats a minute: drifting, then driving.
    const char* bassEights = "R-R-O-R-R-R-O-R-";
    const char* bassDrive = "R.RR.RO.R.RR.ROF";
    const char* fourFloor = "x...x...x...x...";
    const char* upDown = "0123432101234321";
    const char* broken = "0.2.1.3.2.4.3.5.";
    return {"orbit.ogg", 128, 57, 0x0A0B17ull, {
        {4, {i, VI, III, VII}, PAD | ARP, "R---------------", "................", broken, 600, 0},
        {8, {i, VI, III, VII}, KICK | HATS | BASS | PAD | ARP | CRASH, bassEights, fourFloor, upDown, 1500, 0},
        {8, {iv, i, VI, V}, KICK | SNARE | HATS | BASS | PAD | ARP | LEAD | CRASH, bassDrive, fourFloor, broken, 2200, 0},
        {8, {i, VI, III, VII}, KICK | SNARE | HATS | BASS | PAD | ARP | LEAD | CRASH, bassDrive, fourFloor, upDown, 3000, 1},
        {4, {VI, VII, i, i}, HATS | BASS | PAD | ARP, "R-------R-------", "................", broken, 900, 0},
        {8, {VI, VII, i, v, iv, VI, V, V}, KICK | SNARE | HATS | BASS | PAD | ARP | LEAD | CRASH, bassDrive, fourFloor, upDown, 3500, 1},
        {4, {i, i, VI, i}, PAD | ARP | KICK, "R---------------", "x.......x.......", broken, 800, 0},
    }};
}

Song DebrisField() {
    // D minor, 136 beats a minute: a broken beat and a busier bass.
    const char* bassSync = "R..R..R.O..R.FR.";
    const char* bassRun = "R.R.F.O.R.R.O.F.";
    const char* broken = "x.....x...x.....";
    const char* drive = "x.....x.x...x...";
    const char* thirds = "0.1.2.1.0.1.2.3.";
    const char* climb = "0124012401240124";
    return {"debris_field.ogg", 136, 62, 0xDEB815ull, {
        {4, {i, VII, VI, VII}, KICK | HATS | BASS, bassSync, broken, thirds, 800, 0},
        {8, {i, VII, VI, VII}, KICK | SNARE | HATS | BASS | PAD | ARP | CRASH, bassSync, broken, thirds, 1600, 0},
        {8, {i, iv, VII, III}, KICK | SNARE | HATS | BASS | PAD | ARP | LEAD | CRASH, bassRun, drive, climb, 2500, 0},
        {8, {i, VII, VI, VII}, KICK | SNARE | HATS | BASS | PAD | ARP | LEAD | CRASH, bassSync, broken, climb, 3200, 1},
        {4, {VI, iv, i, V}, PAD | ARP | HATS, "R-------R-------", "................", thirds, 1000, 0},
        {8, {VI, iv, i, V, VI, VII, i, i}, KICK | SNARE | HATS | BASS | PAD | ARP | LEAD | CRASH, bassRun, drive, climb, 3600, 1},
        {4, {i, VII, VI, i}, KICK | HATS | PAD, bassSync, broken, thirds, 900, 0},
    }};
}

}  // namespace

bool GenerateMusic(const std::string& dir) {
    const std::string folder = dir + "/Music";
    if (!MakeDirectory(folder)) return false;
    const Song songs[] = {Orbit(), DebrisField()};
    bool ok = true;
    std::string list;
    for (const Song& s : songs) {
        if (!AssetWanted(folder + "/" + s.file)) continue;  // each song has its own seed
        Stereo mix = Render(s);
        ok = WriteOggStereo(folder + "/" + s.file, mix.l, mix.r, 0.5) && ok;
        list += s.file;
        list += "\n";
    }
    const std::string listPath = folder + "/list.txt";
    if (!AssetWanted(listPath)) return ok;
    FILE* f = std::fopen(listPath.c_str(), "w");
    bool listOk = f && std::fputs(list.c_str(), f) >= 0;
    if (f && std::fclose(f) != 0) listOk = false;
    if (!listOk) std::fprintf(stderr, "assetgen: cannot write \"%s\"\n", listPath.c_str());
    return ok && listOk;
}
