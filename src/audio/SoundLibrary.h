// SPDX-License-Identifier: MIT
// Our own small sound library: the handful of FSOUND operations the game
// uses, with the same numbers, mixed in SDL's audio callback and decoded
// through libsndfile.
#ifndef KORVALEND_SOUNDLIBRARY_H
#define KORVALEND_SOUNDLIBRARY_H

struct FSOUND_SAMPLE;
struct FSOUND_STREAM;

const int FSOUND_FREE = -1;
const int FSOUND_ALL = -3;
const int FSOUND_LOOP_OFF = 1;
const int FSOUND_LOOP_NORMAL = 2;
const unsigned int FSOUND_NORMAL = 0x130;

bool FSOUND_Init(int mixrate, int maxchannels, unsigned int flags);
void FSOUND_Close();
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset);
bool FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode);
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
bool FSOUND_SetVolume(int channel, int volume);
bool FSOUND_StopSound(int channel);
bool FSOUND_IsPlaying(int channel);
bool FSOUND_SetReserved(int channel, bool reserved);
FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* name, unsigned int mode, int length);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
bool FSOUND_Stream_Stop(FSOUND_STREAM* stream);
bool FSOUND_Stream_Close(FSOUND_STREAM* stream);
int FSOUND_Stream_GetPosition(FSOUND_STREAM* stream);
bool FSOUND_Stream_SetPosition(FSOUND_STREAM* stream, unsigned int position);

// Decodes the open streams ahead of the mixer, as far as each one's buffer
// holds (a quarter of a second at most a call). The mixer never reads a
// file: whatever plays must have been decoded here first. The game thread
// calls this every frame (Music::TimeUpdate does); playing a stream or
// moving its position fills the start of its buffer at once.
void SoundLibrary_DecodeAhead();

// Before FSOUND_Init: no device is opened and everything stays silent, as
// without a device, after one line on standard error.
void SoundLibrary_StaySilent();

// Beyond the FSOUND operations: a look inside, for tests and tools.
// Mixes the next `frames` stereo frames of every playing channel into
// stereoOut (2 * frames shorts), exactly as the device callback does.
void SoundLibrary_Mix(short* stereoOut, int frames);
// The rate the mixer runs at (the device's, or the one asked for when
// there is no device).
int SoundLibrary_OutputRate();
// Whether FSOUND_Init opened an audio device.
bool SoundLibrary_HasDevice();
// Holds the device callback back, so that a caller of SoundLibrary_Mix is
// the only one advancing the channels.
void SoundLibrary_PauseOutput(bool paused);
// A loaded sample's decoded 16-bit frames (interleaved, `channels` a frame).
int SoundLibrary_SampleFrames(const FSOUND_SAMPLE* sample);
int SoundLibrary_SampleRate(const FSOUND_SAMPLE* sample);
int SoundLibrary_SampleChannels(const FSOUND_SAMPLE* sample);
const short* SoundLibrary_SampleData(const FSOUND_SAMPLE* sample);
// A stream's length in frames, as its file tells (0 when unknown).
int SoundLibrary_StreamLength(const FSOUND_STREAM* stream);
int SoundLibrary_StreamRate(const FSOUND_STREAM* stream);
// Output frames a playing stream left silent because nothing was decoded
// ahead of it yet, since the start.
long long SoundLibrary_UnderrunFrames();
// Frames a stream's buffer holds: how far it can be decoded ahead.
int SoundLibrary_StreamBufferFrames(const FSOUND_STREAM* stream);

#endif
