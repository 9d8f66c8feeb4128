// SPDX-License-Identifier: MIT
// The game's own small sound library. Samples are decoded whole when loaded;
// streams are decoded ahead on the game thread into a ring buffer each.
// Everything is mixed in SDL's audio callback into 16-bit stereo at the
// device's rate; the callback only reads memory: it never touches a file,
// allocates, or waits for more than the game thread's brief changes of
// shared state, which it makes while holding SDL's audio lock.
#include "audio/SoundLibrary.h"

#include <SDL/SDL.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shell/MyError.h"

struct FSOUND_SAMPLE {
    std::vector<short> data;  // interleaved, `channels` shorts a frame
    int frames = 0;
    int channels = 1;         // 1 or 2
    int rate = 44100;
    bool loop = false;        // read when the sample starts playing
};

struct FSOUND_STREAM {
    SNDFILE* file = nullptr;
    int fileChannels = 1;
    int rate = 44100;
    sf_count_t length = 0;
    // Decoded stereo frames ahead of the mixer: file frame f sits in slot
    // f % ringFrames (a power of two). The game thread decodes frames up to
    // `decoded`; the mixer plays them and hands back those below `released`.
    // Each side only writes its own counter, so neither waits for the other.
    std::vector<float> ring;
    sf_count_t ringFrames = 0;
    std::vector<float> readTmp;  // the game thread's
    std::atomic<sf_count_t> decoded{0};
    std::atomic<sf_count_t> released{0};
    std::atomic<bool> eof{false};  // set once `decoded` is the end of the file
    // The file frame playing now: the mixer's; the game thread moves it only
    // under the audio lock.
    double readPos = 0.0;
    int channel = -1;  // the channel it is attached to, or -1
};

namespace {

const int MIX_CHUNK = 512;
// A stream is decoded at least two seconds ahead, a quarter of a second at
// most per call, so that a frame of the game never decodes for long and a
// slow frame of up to two seconds does not starve the music.
const int STREAM_AHEAD_SECONDS = 2;
const int STREAM_CALL_DIVISOR = 4;
const int DECODE_CHUNK = 4096;
const int MAX_SAMPLE_FRAMES = 1 << 24;
const int MAX_FILE_CHANNELS = 16;
const int MIN_FILE_RATE = 1000;
const int MAX_FILE_RATE = 384000;

struct Channel {
    FSOUND_SAMPLE* sample = nullptr;
    FSOUND_STREAM* stream = nullptr;
    double pos = 0.0;
    double step = 1.0;
    bool loop = false;
    bool playing = false;
    bool reserved = false;
    // A reservation made while a stream held the channel ends with that
    // stream's hold, so that pausing and resuming music does not use up
    // a channel each time.
    bool reservedForStream = false;
    int volume = 255;
    unsigned long long serial = 0;
};

struct Library {
    bool initialized = false;
    bool device = false;
    int rate = 44100;
    std::vector<Channel> channels;
    unsigned long long serial = 0;
    std::vector<std::unique_ptr<FSOUND_SAMPLE>> samples;
    std::vector<std::unique_ptr<FSOUND_STREAM>> streams;
    // Files that failed to open, with what lay at their paths then.
    std::map<std::string, std::string> refused;
    std::atomic<long long> underrunFrames{0};
};

// Never destroyed: the device thread may still be mixing while the process
// exits.
Library& Lib() {
    static Library* library = new Library;
    return *library;
}

class AudioLock {
public:
    AudioLock() : locked(Lib().device) {
        if (locked) SDL_LockAudio();
    }
    ~AudioLock() {
        if (locked) SDL_UnlockAudio();
    }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

private:
    bool locked;
};

int NearestRate(int wanted) {
    static const int rates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
    if (wanted <= 0) return 44100;
    int best = rates[0];
    for (int r : rates) {
        if (std::abs(r - wanted) < std::abs(best - wanted)) best = r;
    }
    return best;
}

// The effects live in "Sounds/" while one caller spells it "sounds/"; on a
// file system that tells case apart, the other spelling is tried too.
std::string OtherSpelling(const char* name) {
    std::string path = name;
    if (path.compare(0, 7, "sounds/") == 0) return "Sounds/" + path.substr(7);
    if (path.compare(0, 7, "Sounds/") == 0) return "sounds/" + path.substr(7);
    return "";
}

// What lies at a name and at its other spelling: file, size and time.
std::string Fingerprint(const char* name) {
    std::string print;
    for (const std::string& path : {std::string(name), OtherSpelling(name)}) {
        struct stat st;
        if (path.empty() || stat(path.c_str(), &st) != 0) {
            print += "-;";
            continue;
        }
        print += std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" + std::to_string(st.st_size) +
                 ":" + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + ";";
    }
    return print;
}

SNDFILE* TryOpen(const char* name, SF_INFO* info) {
    std::memset(info, 0, sizeof *info);
    SNDFILE* file = sf_open(name, SFM_READ, info);
    if (file != nullptr) return file;
    std::string other = OtherSpelling(name);
    if (other.empty()) return nullptr;
    std::memset(info, 0, sizeof *info);
    return sf_open(other.c_str(), SFM_READ, info);
}

// A file that failed to open is not tried again while it stays the same:
// libsndfile leaks a little each time it refuses some broken files (a cut
// Ogg Vorbis file), and the music tries a bad play list every frame.
SNDFILE* OpenSoundFile(const char* name, SF_INFO* info) {
    std::string print = Fingerprint(name);
    auto& refused = Lib().refused;
    auto known = refused.find(name);
    if (known != refused.end() && known->second == print) return nullptr;
    SNDFILE* file = TryOpen(name, info);
    if (file == nullptr) {
        refused[name] = print;
    } else if (known != refused.end()) {
        refused.erase(known);
    }
    return file;
}

bool UsableFormat(const SF_INFO& info) {
    return info.channels >= 1 && info.channels <= MAX_FILE_CHANNELS &&
           info.samplerate >= MIN_FILE_RATE && info.samplerate <= MAX_FILE_RATE;
}

short ToShort(float v) {
    float s = v * 32768.0f;
    if (s >= 32767.0f) return 32767;
    if (s <= -32768.0f) return -32768;
    return static_cast<short>(std::lrint(s));
}

bool ValidChannel(int channel) {
    return channel >= 0 && channel < static_cast<int>(Lib().channels.size());
}

// Lets go of whatever the channel plays. Caller holds the lock.
void StopChannel(Channel& ch) {
    ch.playing = false;
    ch.sample = nullptr;
    if (ch.stream != nullptr) {
        ch.stream->channel = -1;
        ch.stream = nullptr;
    }
    if (ch.reservedForStream) {
        ch.reserved = false;
        ch.reservedForStream = false;
    }
}

// A free channel that is not reserved; failing that, the oldest one-shot
// effect gives up its channel. Loops and streams are never cut. Caller
// holds the lock.
int FindChannel() {
    Library& lib = Lib();
    int n = static_cast<int>(lib.channels.size());
    for (int i = 0; i < n; ++i) {
        const Channel& ch = lib.channels[i];
        if (!ch.reserved && !ch.playing) return i;
    }
    int oldest = -1;
    for (int i = 0; i < n; ++i) {
        const Channel& ch = lib.channels[i];
        if (ch.reserved || ch.stream != nullptr || ch.loop) continue;
        if (oldest < 0 || ch.serial < lib.channels[oldest].serial) oldest = i;
    }
    return oldest;
}

// Game thread: decodes at most `most` frames into the free part of the ring.
void DecodeStream(FSOUND_STREAM& s, sf_count_t most) {
    if (s.eof.load(std::memory_order_relaxed)) return;
    sf_count_t at = s.decoded.load(std::memory_order_relaxed);
    sf_count_t want = std::min(s.released.load(std::memory_order_acquire) + s.ringFrames - at, most);
    const int nc = s.fileChannels;
    while (want > 0) {
        sf_count_t n = std::min<sf_count_t>(want, DECODE_CHUNK);
        sf_count_t got = std::max<sf_count_t>(sf_readf_float(s.file, s.readTmp.data(), n), 0);
        for (sf_count_t i = 0; i < got; ++i) {
            const float* src = s.readTmp.data() + i * nc;
            float* dst = s.ring.data() + 2 * ((at + i) & (s.ringFrames - 1));
            dst[0] = src[0];
            dst[1] = nc > 1 ? src[1] : src[0];
        }
        at += got;
        want -= got;
        s.decoded.store(at, std::memory_order_release);
        if (got < n) {
            s.eof.store(true, std::memory_order_release);
            return;
        }
    }
}

sf_count_t FramesPerCall(const FSOUND_STREAM& s) {
    return std::max<sf_count_t>(s.rate / STREAM_CALL_DIVISOR, DECODE_CHUNK);
}

void MixSample(Channel& ch, float* acc, int frames) {
    const FSOUND_SAMPLE& s = *ch.sample;
    const int n = s.frames;
    const int nc = s.channels;
    const short* d = s.data.data();
    const float gain = ch.volume / 255.0f;
    for (int i = 0; i < frames; ++i) {
        long idx = static_cast<long>(ch.pos);
        float frac = static_cast<float>(ch.pos - idx);
        long next = idx + 1;
        if (next >= n) next = ch.loop ? 0 : idx;
        float l0 = d[idx * nc], l1 = d[next * nc];
        float r0 = d[idx * nc + nc - 1], r1 = d[next * nc + nc - 1];
        acc[2 * i] += (l0 + (l1 - l0) * frac) * gain;
        acc[2 * i + 1] += (r0 + (r1 - r0) * frac) * gain;
        ch.pos += ch.step;
        if (ch.pos >= n) {
            if (ch.loop) {
                ch.pos = std::fmod(ch.pos, static_cast<double>(n));
            } else {
                StopChannel(ch);
                return;
            }
        }
    }
}

void MixStream(Channel& ch, float* acc, int frames) {
    FSOUND_STREAM& s = *ch.stream;
    const float gain = ch.volume / 255.0f * 32768.0f;
    // The end of the file first: once it is known, `decoded` is final.
    const bool eof = s.eof.load(std::memory_order_acquire);
    const sf_count_t end = s.decoded.load(std::memory_order_acquire);
    const sf_count_t mask = s.ringFrames - 1;
    const float* ring = s.ring.data();
    for (int i = 0; i < frames; ++i) {
        sf_count_t idx = static_cast<sf_count_t>(s.readPos);
        if (idx >= end || (idx + 1 == end && !eof)) {
            if (eof) {
                // The song is over: the channel stops, the stream stays
                // attached (and its channel reserved) until it is stopped or
                // closed.
                s.readPos = static_cast<double>(end);
                ch.playing = false;
            } else {
                // Nothing decoded this far yet: silence, counted, and the
                // song waits where it is.
                Lib().underrunFrames.fetch_add(frames - i, std::memory_order_relaxed);
            }
            break;
        }
        float frac = static_cast<float>(s.readPos - idx);
        sf_count_t next = idx + 1 < end ? idx + 1 : idx;
        const float* a = ring + 2 * (idx & mask);
        const float* b = ring + 2 * (next & mask);
        acc[2 * i] += (a[0] + (b[0] - a[0]) * frac) * gain;
        acc[2 * i + 1] += (a[1] + (b[1] - a[1]) * frac) * gain;
        s.readPos += ch.step;
    }
    s.released.store(std::min(static_cast<sf_count_t>(s.readPos), end), std::memory_order_release);
}

// Caller holds the lock (the device callback always does).
void MixInto(short* out, int frames) {
    Library& lib = Lib();
    float acc[2 * MIX_CHUNK];
    while (frames > 0) {
        int n = std::min(frames, MIX_CHUNK);
        std::fill(acc, acc + 2 * n, 0.0f);
        for (Channel& ch : lib.channels) {
            if (!ch.playing) continue;
            if (ch.sample != nullptr) {
                MixSample(ch, acc, n);
            } else if (ch.stream != nullptr) {
                MixStream(ch, acc, n);
            }
        }
        for (int i = 0; i < 2 * n; ++i) {
            float v = acc[i];
            out[i] = v >= 32767.0f ? 32767 : v <= -32768.0f ? -32768 : static_cast<short>(std::lrint(v));
        }
        out += 2 * n;
        frames -= n;
    }
}

void AudioCallback(void*, Uint8* stream, int len) {
    MixInto(reinterpret_cast<short*>(stream), len / 4);
}

bool OpenDevice(int rate) {
    Library& lib = Lib();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        error("Sound: no audio device (%s); playing silently\n", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want;
    std::memset(&want, 0, sizeof want);
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = AudioCallback;
    SDL_AudioSpec have;
    std::memset(&have, 0, sizeof have);
    if (SDL_OpenAudio(&want, &have) < 0) {
        error("Sound: no audio device (%s); playing silently\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    if (have.format != AUDIO_S16SYS || have.channels != 2 || have.freq <= 0) {
        // Let SDL convert from exactly what we mix.
        SDL_CloseAudio();
        if (SDL_OpenAudio(&want, nullptr) < 0) {
            error("Sound: no audio device (%s); playing silently\n", SDL_GetError());
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        have.freq = want.freq;
    }
    lib.rate = have.freq;
    lib.device = true;
    error("Sound: output %d Hz\n", lib.rate);
    SDL_PauseAudio(0);
    return true;
}

pid_t deviceOwner = 0;
bool staySilent = false;

// The device thread is stopped before the libraries are unloaded at exit:
// left running, it would go on mixing in code that is no longer there. A
// forked child has no such thread (and may hold a copy of its lock), so it
// leaves the device alone.
void CloseDeviceAtExit() {
    Library& lib = Lib();
    if (!lib.device || getpid() != deviceOwner) return;
    SDL_CloseAudio();
    lib.device = false;
}

}  // namespace

bool FSOUND_Init(int mixrate, int maxchannels, unsigned int /*flags*/) {
    Library& lib = Lib();
    if (lib.initialized) return true;
    lib.channels.assign(static_cast<size_t>(std::clamp(maxchannels, 1, 256)), Channel());
    lib.rate = NearestRate(mixrate);
    lib.initialized = true;
    if (staySilent) {
        error("Sound: off by request (--nosound); playing silently\n");
        return false;
    }
    if (!OpenDevice(lib.rate)) return false;
    deviceOwner = getpid();
    static bool closeAtExit = false;
    if (!closeAtExit) closeAtExit = std::atexit(CloseDeviceAtExit) == 0;
    return true;
}

void FSOUND_Close() {
    Library& lib = Lib();
    if (!lib.initialized) return;
    if (lib.device) {
        SDL_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        lib.device = false;
    }
    for (auto& s : lib.streams) sf_close(s->file);
    lib.streams.clear();
    lib.samples.clear();
    lib.channels.clear();
    lib.refused.clear();
    lib.initialized = false;
}

// Opens a file for playing; one the mixer cannot play is refused with a message.
static SNDFILE* OpenUsableSoundFile(const char* name, SF_INFO* info) {
    SNDFILE* file = OpenSoundFile(name, info);
    if (file == nullptr) return nullptr;
    if (!UsableFormat(*info)) {
        error("Sound: \"%s\" has %d channels at %d Hz; not played\n", name, info->channels, info->samplerate);
        sf_close(file);
        return nullptr;
    }
    return file;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int /*index*/, const char* name, unsigned int mode, int /*offset*/) {
    if (name == nullptr) return nullptr;
    SF_INFO info;
    SNDFILE* file = OpenUsableSoundFile(name, &info);
    if (file == nullptr) return nullptr;
    auto sample = std::make_unique<FSOUND_SAMPLE>();
    sample->channels = info.channels > 1 ? 2 : 1;
    sample->rate = info.samplerate;
    sample->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    const int chunk = 4096;
    std::vector<float> tmp(static_cast<size_t>(chunk) * info.channels);
    bool cut = false;
    for (;;) {
        sf_count_t got = sf_readf_float(file, tmp.data(), chunk);
        if (got <= 0) break;
        if (sample->frames + got > MAX_SAMPLE_FRAMES) {
            got = MAX_SAMPLE_FRAMES - sample->frames;
            cut = true;
        }
        for (sf_count_t i = 0; i < got; ++i) {
            const float* src = tmp.data() + i * info.channels;
            sample->data.push_back(ToShort(src[0]));
            if (sample->channels == 2) sample->data.push_back(ToShort(src[1]));
        }
        sample->frames += static_cast<int>(got);
        if (cut) break;
    }
    sf_close(file);
    if (cut) error("Sound: \"%s\" is too long; only its first %d frames play\n", name, MAX_SAMPLE_FRAMES);
    if (sample->frames == 0) return nullptr;
    FSOUND_SAMPLE* handle = sample.get();
    Lib().samples.push_back(std::move(sample));
    return handle;
}

bool FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode) {
    if (sample == nullptr) return false;
    AudioLock lock;
    if (mode & FSOUND_LOOP_NORMAL) {
        sample->loop = true;
    } else if (mode & FSOUND_LOOP_OFF) {
        sample->loop = false;
    }
    return true;
}

// The channel a play asks for (a free one for FSOUND_FREE), stopped and set
// to play at rate frames a second at full volume; -1 when there is none.
// Called under the lock.
static int ClaimChannel(int channel, double rate, bool loop) {
    Library& lib = Lib();
    if (channel == FSOUND_FREE) {
        channel = FindChannel();
    } else if (!ValidChannel(channel)) {
        return -1;
    }
    if (channel < 0) return -1;
    Channel& ch = lib.channels[channel];
    StopChannel(ch);
    ch.step = rate / lib.rate;
    ch.loop = loop;
    ch.volume = 255;
    ch.serial = ++lib.serial;
    return channel;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
    if (sample == nullptr) return -1;
    Library& lib = Lib();
    AudioLock lock;
    channel = ClaimChannel(channel, sample->rate, sample->loop);
    if (channel < 0) return -1;
    Channel& ch = lib.channels[channel];
    ch.sample = sample;
    ch.pos = 0.0;
    ch.playing = true;
    return channel;
}

bool FSOUND_SetVolume(int channel, int volume) {
    Library& lib = Lib();
    volume = std::clamp(volume, 0, 255);
    AudioLock lock;
    if (channel == FSOUND_ALL) {
        for (Channel& ch : lib.channels) ch.volume = volume;
        return true;
    }
    if (!ValidChannel(channel)) return false;
    lib.channels[channel].volume = volume;
    return true;
}

bool FSOUND_StopSound(int channel) {
    Library& lib = Lib();
    AudioLock lock;
    if (channel == FSOUND_ALL) {
        for (Channel& ch : lib.channels) StopChannel(ch);
        return true;
    }
    if (!ValidChannel(channel)) return false;
    StopChannel(lib.channels[channel]);
    return true;
}

bool FSOUND_IsPlaying(int channel) {
    AudioLock lock;
    return ValidChannel(channel) && Lib().channels[channel].playing;
}

bool FSOUND_SetReserved(int channel, bool reserved) {
    AudioLock lock;
    if (!ValidChannel(channel)) return false;
    Channel& ch = Lib().channels[channel];
    ch.reserved = reserved;
    ch.reservedForStream = reserved && ch.stream != nullptr;
    return true;
}

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* name, unsigned int /*mode*/, int /*length*/) {
    if (name == nullptr) return nullptr;
    SF_INFO info;
    SNDFILE* file = OpenUsableSoundFile(name, &info);
    if (file == nullptr) return nullptr;
    auto stream = std::make_unique<FSOUND_STREAM>();
    stream->file = file;
    stream->fileChannels = info.channels;
    stream->rate = info.samplerate;
    stream->length = info.frames > 0 ? info.frames : 0;
    stream->ringFrames = DECODE_CHUNK;
    while (stream->ringFrames < static_cast<sf_count_t>(info.samplerate) * STREAM_AHEAD_SECONDS) stream->ringFrames *= 2;
    stream->ring.assign(2 * static_cast<size_t>(stream->ringFrames), 0.0f);
    stream->readTmp.assign(static_cast<size_t>(DECODE_CHUNK) * info.channels, 0.0f);
    FSOUND_STREAM* handle = stream.get();
    Lib().streams.push_back(std::move(stream));
    return handle;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    if (stream == nullptr) return -1;
    Library& lib = Lib();
    // The start is there before the mixer asks for it.
    DecodeStream(*stream, FramesPerCall(*stream));
    AudioLock lock;
    if (stream->channel >= 0 && lib.channels[stream->channel].playing) return stream->channel;
    if (stream->channel >= 0) StopChannel(lib.channels[stream->channel]);
    channel = ClaimChannel(channel, stream->rate, false);
    if (channel < 0) return -1;
    Channel& ch = lib.channels[channel];
    ch.stream = stream;
    ch.playing = true;
    stream->channel = channel;
    return channel;
}

bool FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
    if (stream == nullptr) return false;
    AudioLock lock;
    if (stream->channel >= 0) StopChannel(Lib().channels[stream->channel]);
    return true;
}

bool FSOUND_Stream_Close(FSOUND_STREAM* stream) {
    if (stream == nullptr) return false;
    Library& lib = Lib();
    std::unique_ptr<FSOUND_STREAM> owned;
    {
        AudioLock lock;
        if (stream->channel >= 0) StopChannel(lib.channels[stream->channel]);
        auto it = std::find_if(lib.streams.begin(), lib.streams.end(),
                               [stream](const std::unique_ptr<FSOUND_STREAM>& s) { return s.get() == stream; });
        if (it == lib.streams.end()) return false;
        owned = std::move(*it);
        lib.streams.erase(it);
    }
    sf_close(owned->file);
    return true;
}

int FSOUND_Stream_GetPosition(FSOUND_STREAM* stream) {
    if (stream == nullptr) return 0;
    AudioLock lock;
    return static_cast<int>(std::min<double>(stream->readPos, 2147483647.0));
}

bool FSOUND_Stream_SetPosition(FSOUND_STREAM* stream, unsigned int position) {
    if (stream == nullptr) return false;
    // The file is the game thread's alone; the mixer only sees the hand-over
    // start again, empty, at the new place.
    if (sf_seek(stream->file, static_cast<sf_count_t>(position), SEEK_SET) < 0) return false;
    {
        AudioLock lock;
        stream->readPos = static_cast<double>(position);
        stream->decoded.store(position, std::memory_order_relaxed);
        stream->released.store(position, std::memory_order_relaxed);
        stream->eof.store(false, std::memory_order_relaxed);
    }
    DecodeStream(*stream, FramesPerCall(*stream));
    return true;
}

void SoundLibrary_StaySilent() { staySilent = true; }

void SoundLibrary_Mix(short* stereoOut, int frames) {
    if (stereoOut == nullptr || frames <= 0) return;
    AudioLock lock;
    MixInto(stereoOut, frames);
}

int SoundLibrary_OutputRate() { return Lib().rate; }

bool SoundLibrary_HasDevice() { return Lib().device; }

void SoundLibrary_PauseOutput(bool paused) {
    if (Lib().device) SDL_PauseAudio(paused ? 1 : 0);
}

int SoundLibrary_SampleFrames(const FSOUND_SAMPLE* sample) { return sample ? sample->frames : 0; }
int SoundLibrary_SampleRate(const FSOUND_SAMPLE* sample) { return sample ? sample->rate : 0; }
int SoundLibrary_SampleChannels(const FSOUND_SAMPLE* sample) { return sample ? sample->channels : 0; }
const short* SoundLibrary_SampleData(const FSOUND_SAMPLE* sample) { return sample ? sample->data.data() : nullptr; }
int SoundLibrary_StreamLength(const FSOUND_STREAM* stream) {
    return stream ? static_cast<int>(std::min<sf_count_t>(stream->length, 2147483647)) : 0;
}
int SoundLibrary_StreamRate(const FSOUND_STREAM* stream) { return stream ? stream->rate : 0; }

void SoundLibrary_DecodeAhead() {
    for (auto& s : Lib().streams) DecodeStream(*s, FramesPerCall(*s));
}

long long SoundLibrary_UnderrunFrames() { return Lib().underrunFrames.load(std::memory_order_relaxed); }

int SoundLibrary_StreamBufferFrames(const FSOUND_STREAM* stream) {
    return stream ? static_cast<int>(stream->ringFrames) : 0;
}
