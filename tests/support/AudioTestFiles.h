// SPDX-License-Identifier: MIT
// Sound files made on the spot (for any test), and for the audio tests the
// mixer's output and child processes for cases that need a fresh singleton.
#ifndef KORVALEND_AUDIOTESTFILES_H
#define KORVALEND_AUDIOTESTFILES_H

#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "audio/SoundLibrary.h"

namespace audiotest {

const int FILE_RATE = 48000;

// Writes 16-bit frames (interleaved when channels is 2) as `format`.
inline bool WriteSound(const std::string& path, const std::vector<short>& data, int channels = 1,
                       int rate = FILE_RATE, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    sf_count_t frames = static_cast<sf_count_t>(data.size()) / channels;
    bool ok = sf_writef_short(file, data.data(), frames) == frames;
    sf_close(file);
    return ok;
}

inline std::vector<short> Constant(short value, int frames) { return std::vector<short>(frames, value); }

// Frame k holds the value k: any jump or repeat shows in the mix.
inline std::vector<short> Ramp(int frames) {
    std::vector<short> v(frames);
    for (int k = 0; k < frames; ++k) v[k] = static_cast<short>(k);
    return v;
}

inline std::vector<short> Sine(int frames, double hz, double amplitude, int rate = FILE_RATE) {
    std::vector<short> v(frames);
    for (int k = 0; k < frames; ++k) v[k] = static_cast<short>(amplitude * std::sin(2 * M_PI * hz * k / rate));
    return v;
}

// The next frames of the mix, as interleaved left/right, with nothing
// decoded ahead of it beyond what is already there.
inline std::vector<short> MixUnfed(int frames) {
    std::vector<short> out(2 * static_cast<size_t>(frames), 12345);
    SoundLibrary_Mix(out.data(), frames);
    return out;
}

// The next frames of the mix, in device-sized pieces with the game thread's
// decoding ahead before each, as when the game runs.
inline std::vector<short> Mix(int frames) {
    const int piece = 1024;
    std::vector<short> out(2 * static_cast<size_t>(frames), 12345);
    for (int at = 0; at < frames; at += piece) {
        SoundLibrary_DecodeAhead();
        SoundLibrary_Mix(out.data() + 2 * at, std::min(piece, frames - at));
    }
    return out;
}

inline short Left(const std::vector<short>& mix, int frame) { return mix[2 * frame]; }
inline short Right(const std::vector<short>& mix, int frame) { return mix[2 * frame + 1]; }

// How the mixer scales a 16-bit value at a channel volume.
inline int Scaled(int value, int volume) { return static_cast<int>(std::lrint(value * (volume / 255.0))); }

// True when frames [from, to) of both sides hold `value` (within `slack`).
inline bool Holds(const std::vector<short>& mix, int from, int to, int value, int slack = 1) {
    for (int f = from; f < to; ++f) {
        if (std::abs(Left(mix, f) - value) > slack || std::abs(Right(mix, f) - value) > slack) return false;
    }
    return true;
}

inline bool Silent(const std::vector<short>& mix) {
    for (short s : mix) {
        if (s != 0) return false;
    }
    return true;
}

// Output frames a file of `frames` at `rate` lasts at the mixer's rate.
inline int OutputFrames(int frames, int rate = FILE_RATE) {
    return static_cast<int>(std::ceil(static_cast<double>(frames) * SoundLibrary_OutputRate() / rate));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

// What a child process left behind.
struct ChildResult {
    int status = -1;         // exit status, or -1 when it did not exit
    std::string stderrText;  // everything it wrote to standard error
    std::string failures;    // the checks that failed in it, one a line
};

// Checks made inside a child: a failure is written down and the child goes on.
inline FILE*& ChildFailures() {
    static FILE* file = nullptr;
    return file;
}

inline void ChildFail(const char* file, int line, const std::string& what) {
    if (ChildFailures()) {
        std::fprintf(ChildFailures(), "%s:%d: %s\n", file, line, what.c_str());
        std::fflush(ChildFailures());
    }
}

#define CHILD_CHECK(cond) \
    do { \
        if (!(cond)) ::audiotest::ChildFail(__FILE__, __LINE__, #cond); \
    } while (0)

#define CHILD_CHECK_EQ(a, b) \
    do { \
        auto va_ = (a); \
        auto vb_ = (b); \
        if (!(va_ == vb_)) { \
            std::ostringstream os_; \
            os_ << #a << " == " << #b << " but " << va_ << " != " << vb_; \
            ::audiotest::ChildFail(__FILE__, __LINE__, os_.str()); \
        } \
    } while (0)

// Runs `body` in a child process whose working directory is a fresh
// directory that `prepare` filled beforehand. The child's standard error is
// kept. Nothing the child does reaches this process's singletons.
inline ChildResult RunChild(const std::function<void(const std::string& dir)>& prepare,
                            const std::function<void()>& body) {
    ChildResult result;
    std::string dir = MakeTempFolder("korvalend-audio");
    if (dir.empty()) return result;
    prepare(dir);
    std::string errPath = dir + "/child-stderr.txt";
    std::string failPath = dir + "/child-failures.txt";
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        alarm(120);
        if (chdir(dir.c_str()) != 0) _exit(90);
        if (std::freopen(errPath.c_str(), "w", stderr) == nullptr) _exit(91);
        ChildFailures() = std::fopen(failPath.c_str(), "w");
        if (ChildFailures() == nullptr) _exit(92);
        body();
        std::fflush(nullptr);
        _exit(0);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.stderrText = ReadFile(errPath);
    result.failures = ReadFile(failPath);
    RemoveTree(dir);
    return result;
}

}  // namespace audiotest

#endif
