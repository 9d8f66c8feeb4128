// SPDX-License-Identifier: MIT
// Time of the sound library's mixing callback over the first 60 s of a song
// from the game's play list, one device buffer at a time, with the game
// thread's once-a-frame work (60 frames a second) in between, both timed.
// Run it in the build directory (beside Music/):  ./bench_audio
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/SoundLibrary.h"

namespace {

const int BUFFER_FRAMES = 1024;  // what the device asks for each callback
const double SONG_SECONDS = 60.0;
const double GAME_FRAME = 1.0 / 60.0;

double At(std::vector<double> v, double q) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * v.size()))];
}

// Wall time, and the thread's own processor time, which leaves out the
// moments a busy machine gives the processor to someone else.
struct Stopwatch {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    double cpu = CpuUs();
    static double CpuUs() {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
    }
    void Stop(std::vector<double>& wallUs, std::vector<double>& cpuUs) const {
        cpuUs.push_back(CpuUs() - cpu);
        wallUs.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - wall).count());
    }
};

void Report(const char* what, const std::vector<double>& wall, const std::vector<double>& cpu) {
    std::printf("%-10s wall median %8.1f us  p99 %8.1f us  worst %8.1f us | cpu median %8.1f us  worst %8.1f us\n",
                what, At(wall, 0.5), At(wall, 0.99), At(wall, 1.0), At(cpu, 0.5), At(cpu, 1.0));
}

}  // namespace

int main(int argc, char** argv) {
    const char* song = argc > 1 ? argv[1] : "Music/orbit.ogg";
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    FSOUND_Init(65535, 32, 0);
    SoundLibrary_PauseOutput(true);  // this program is the device
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(song, FSOUND_NORMAL, 0);
    if (stream == nullptr) {
        std::fprintf(stderr, "cannot open %s\n", song);
        return 1;
    }
    const int rate = SoundLibrary_OutputRate();
    int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
    FSOUND_SetVolume(channel, 128);

    std::vector<short> out(2 * BUFFER_FRAMES);
    std::vector<double> callback, callbackCpu, game, gameCpu;
    double audioClock = 0.0, gameClock = 0.0;
    while (audioClock < SONG_SECONDS && FSOUND_IsPlaying(channel)) {
        for (; gameClock <= audioClock; gameClock += GAME_FRAME) {
            Stopwatch watch;
            SoundLibrary_DecodeAhead();
            watch.Stop(game, gameCpu);
        }
        Stopwatch watch;
        SoundLibrary_Mix(out.data(), BUFFER_FRAMES);
        watch.Stop(callback, callbackCpu);
        audioClock += static_cast<double>(BUFFER_FRAMES) / rate;
    }
    std::printf("%s at %d Hz: %.1f s mixed in %zu callbacks of %d frames (%.1f ms each)\n", song, rate, audioClock,
                callback.size(), BUFFER_FRAMES, 1000.0 * BUFFER_FRAMES / rate);
    Report("callback", callback, callbackCpu);
    Report("game frame", game, gameCpu);
    std::printf("callback_median_us=%.1f callback_worst_us=%.1f callback_worst_cpu_us=%.1f underrun_frames=%lld\n",
                At(callback, 0.5), At(callback, 1.0), At(callbackCpu, 1.0), SoundLibrary_UnderrunFrames());
    std::fflush(stdout);
    FSOUND_Stream_Close(stream);
    return 0;
}
