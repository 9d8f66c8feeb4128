// SPDX-License-Identifier: MIT
#include "Synth.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace synth {

namespace {

// Smooths the jump of a saw or square over the sample where it happens.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// The Ogg page checksum: CRC-32, polynomial 0x04c11db7, not reflected.
uint32_t OggCrc(const unsigned char* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= static_cast<uint32_t>(p[i]) << 24;
        for (int b = 0; b < 8; ++b) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

// libsndfile gives each Ogg stream a random serial number; a fixed one makes
// the songs the same file on every build.
bool FixOggSerial(const std::string& path, uint32_t serial) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<unsigned char> d;
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) d.insert(d.end(), chunk, chunk + got);
    std::fclose(f);
    size_t pos = 0;
    while (pos + 27 <= d.size()) {
        if (std::memcmp(&d[pos], "OggS", 4) != 0) return false;
        size_t segs = d[pos + 26];
        if (pos + 27 + segs > d.size()) return false;
        size_t body = 0;
        for (size_t i = 0; i < segs; ++i) body += d[pos + 27 + i];
        size_t len = 27 + segs + body;
        if (pos + len > d.size()) return false;
        for (int i = 0; i < 4; ++i) d[pos + 14 + i] = static_cast<unsigned char>(serial >> (8 * i));
        std::memset(&d[pos + 22], 0, 4);
        uint32_t crc = OggCrc(&d[pos], len);
        for (int i = 0; i < 4; ++i) d[pos + 22 + i] = static_cast<unsigned char>(crc >> (8 * i));
        pos += len;
    }
    if (pos != d.size()) return false;
    f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(d.data(), 1, d.size(), f) == d.size();
    if (std::fclose(f) != 0) ok = false;
    return ok;
}

}  // namespace

double WaveAt(Wave w, double p) {
    switch (w) {
    case Wave::Sine: return std::sin(kTwoPi * p);
    case Wave::Triangle: return p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p;
    case Wave::Saw: return 2.0 * p - 1.0;
    case Wave::Square: return p < 0.5 ? 1.0 : -1.0;
    case Wave::Pulse25: return p < 0.25 ? 1.0 : -1.0;
    }
    return 0.0;
}

double Osc::Next(Wave w, double hz) {
    double dt = hz / kRate;
    if (dt < 0) dt = -dt;
    if (dt > 0.5) dt = 0.5;
    double v;
    switch (w) {
    case Wave::Saw:
        v = 2.0 * phase - 1.0 - PolyBlep(phase, dt);
        break;
    case Wave::Square:
    case Wave::Pulse25: {
        double width = w == Wave::Square ? 0.5 : 0.25;
        v = phase < width ? 1.0 : -1.0;
        v += PolyBlep(phase, dt);
        double q = phase + (1.0 - width);
        if (q >= 1.0) q -= 1.0;
        v -= PolyBlep(q, dt);
        break;
    }
    default:
        v = WaveAt(w, phase);
        break;
    }
    phase += hz < 0 ? -dt : dt;
    if (phase >= 1.0) phase -= 1.0;
    if (phase < 0.0) phase += 1.0;
    return v;
}

double Adsr::At(double t, double held) const {
    if (t < 0) return 0.0;
    auto level = [this](double u) {
        if (u < attack) return attack > 0 ? u / attack : 1.0;
        u -= attack;
        if (u < decay) return 1.0 - (1.0 - sustain) * (u / decay);
        return sustain;
    };
    if (t < held) return level(t);
    double fromLevel = level(held);
    double r = t - held;
    if (release <= 0 || r >= release) return 0.0;
    return fromLevel * (1.0 - r / release);
}

double Glide(double a, double b, double t, double dur) {
    if (t <= 0) return a;
    if (t >= dur) return b;
    return a * std::pow(b / a, t / dur);
}

void Svf::Set(double cutoffHz, double q) {
    double fc = std::clamp(cutoffHz, 10.0, kRate * 0.49);
    double g = std::tan(kPi * fc / kRate);
    k = 1.0 / std::max(q, 0.05);
    a1 = 1.0 / (1.0 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

void Svf::Process(double v0) {
    double v3 = v0 - ic2;
    double v1 = a1 * ic1 + a2 * v3;
    double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0 * v1 - ic1;
    ic2 = 2.0 * v2 - ic2;
    low = v2;
    band = v1;
    high = v0 - k * v1 - v2;
}

void OnePole::Set(double cutoffHz) {
    a = 1.0 - std::exp(-kTwoPi * std::clamp(cutoffHz, 1.0, kRate * 0.49) / kRate);
}

void MixInto(Buffer& dst, const Buffer& src, int offset, double gain) {
    if (offset < 0) return;
    size_t end = static_cast<size_t>(offset) + src.size();
    if (dst.size() < end) dst.resize(end, 0.0f);
    for (size_t i = 0; i < src.size(); ++i) dst[offset + i] += static_cast<float>(src[i] * gain);
}

double Peak(const Buffer& b) {
    double p = 0.0;
    for (float v : b) p = std::max(p, static_cast<double>(std::fabs(v)));
    return p;
}

void Normalise(Buffer& b, double peakDb) {
    double p = Peak(b);
    if (p <= 0.0) return;
    double g = std::pow(10.0, peakDb / 20.0) / p;
    for (float& v : b) v = static_cast<float>(v * g);
}

void FadeIn(Buffer& b, double seconds) {
    size_t n = std::min(b.size(), static_cast<size_t>(Samples(seconds)));
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<float>(b[i] * (double(i) / n));
}

void FadeOut(Buffer& b, double seconds) {
    size_t n = std::min(b.size(), static_cast<size_t>(Samples(seconds)));
    for (size_t i = 0; i < n; ++i) {
        size_t j = b.size() - 1 - i;
        b[j] = static_cast<float>(b[j] * (double(i) / n));
    }
}

Buffer CrossfadeLoop(const Buffer& b, int loopLen, int overlap) {
    Buffer out(b.begin(), b.begin() + std::min<size_t>(b.size(), loopLen));
    out.resize(loopLen, 0.0f);
    overlap = std::min<int>(overlap, static_cast<int>(b.size()) - loopLen);
    for (int i = 0; i < overlap; ++i) {
        double x = (i + 0.5) / overlap;  // 0 -> tail wins, 1 -> start wins
        double in = std::sin(0.5 * kPi * x), tail = std::cos(0.5 * kPi * x);
        out[i] = static_cast<float>(b[i] * in + b[loopLen + i] * tail);
    }
    return out;
}

bool WriteWavMono16(const std::string& path, const Buffer& b) {
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write \"%s\": %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    // Round ourselves rather than rely on libsndfile's float scaling, so
    // that what we measured before writing is what lands in the file.
    std::vector<short> pcm(b.size());
    for (size_t i = 0; i < b.size(); ++i) {
        double v = std::clamp(static_cast<double>(b[i]), -1.0, 1.0) * 32767.0;
        pcm[i] = static_cast<short>(std::lround(v));
    }
    sf_count_t n = sf_write_short(f, pcm.data(), static_cast<sf_count_t>(pcm.size()));
    bool ok = n == static_cast<sf_count_t>(pcm.size());
    if (sf_close(f) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "assetgen: short write to \"%s\"\n", path.c_str());
    return ok;
}

bool WriteOggStereo(const std::string& path, const Buffer& left, const Buffer& right, double quality) {
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write \"%s\": %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    sf_command(f, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    size_t frames = std::min(left.size(), right.size());
    const size_t chunk = 8192;
    std::vector<float> inter(chunk * 2);
    bool ok = true;
    for (size_t pos = 0; pos < frames && ok; pos += chunk) {
        size_t n = std::min(chunk, frames - pos);
        for (size_t i = 0; i < n; ++i) {
            inter[2 * i] = left[pos + i];
            inter[2 * i + 1] = right[pos + i];
        }
        ok = sf_writef_float(f, inter.data(), static_cast<sf_count_t>(n)) == static_cast<sf_count_t>(n);
    }
    if (sf_close(f) != 0) ok = false;
    if (!ok) {
        std::fprintf(stderr, "assetgen: short write to \"%s\"\n", path.c_str());
        return false;
    }
    if (!FixOggSerial(path, 0x4B6F7256u)) {
        std::fprintf(stderr, "assetgen: cannot rewrite the pages of \"%s\"\n", path.c_str());
        return false;
    }
    return true;
}

bool MakeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) {
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    }
    std::fprintf(stderr, "assetgen: cannot create folder \"%s\": %s\n", path.c_str(), std::strerror(errno));
    return false;
}

}  // namespace synth
