// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes, as a file, to the sound library stand-in: once as
// an effect sample (decoded whole) and once as a music stream (decoded as
// it plays), each then played through the mixer. An accepted sample holds
// the frames it claims in a format the mixer plays; an accepted stream
// plays, seeks and closes; the library is shut down after every input so
// that nothing outlives it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "audio/SoundLibrary.h"

// Inputs accepted as a sample or a stream, for the standalone report.
static int gAccepted = 0;

static void MixSome(int frames) {
    std::vector<short> out(2 * size_t(frames));
    SoundLibrary_Mix(out.data(), frames);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RemoveFuzzTempDirAtExit();
    // No device: the driver alone advances the mixer.
    setenv("SDL_AUDIODRIVER", "korvalend-fuzz-none", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteFuzzInput("sound.wav", data, size);
    FSOUND_Init(65535, 32, 0);
    bool accepted = false;

    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(-1, path.c_str(), FSOUND_NORMAL, 0);
    if (sample != nullptr) {
        accepted = true;
        int frames = SoundLibrary_SampleFrames(sample);
        int channels = SoundLibrary_SampleChannels(sample);
        int rate = SoundLibrary_SampleRate(sample);
        if (frames <= 0 || (channels != 1 && channels != 2) || rate < 1000 || rate > 384000) std::abort();
        TouchAll(reinterpret_cast<const unsigned char*>(SoundLibrary_SampleData(sample)),
                 size_t(frames) * channels * sizeof(short));
        int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
        if (channel < 0) std::abort();
        FSOUND_Sample_SetMode(sample, FSOUND_LOOP_NORMAL);
        FSOUND_PlaySound(FSOUND_FREE, sample);
        MixSome(256);
    }

    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(path.c_str(), FSOUND_NORMAL, 0);
    if (stream != nullptr) {
        accepted = true;
        int rate = SoundLibrary_StreamRate(stream);
        if (rate < 1000 || rate > 384000 || SoundLibrary_StreamLength(stream) < 0) std::abort();
        int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
        if (channel < 0) std::abort();
        MixSome(512);
        if (FSOUND_Stream_GetPosition(stream) < 0) std::abort();
        // A position from the input, likely beyond the end of the song.
        unsigned int position = size >= 4 ? data[size - 1] | (data[size - 2] << 8) | (data[size - 3] << 16) : 17;
        FSOUND_Stream_Stop(stream);
        FSOUND_Stream_SetPosition(stream, position);
        FSOUND_Stream_Play(FSOUND_FREE, stream);
        MixSome(512);
        if (!FSOUND_Stream_Close(stream)) std::abort();
    }

    FSOUND_Close();
    if (accepted) gAccepted++;
    return 0;
}

#ifdef KORVALEND_FUZZ_STANDALONE
#include "StandaloneMain.h"
int main(int argc, char** argv) { return RunStandalone("fuzz_sound", argc, argv, gAccepted); }
#endif
