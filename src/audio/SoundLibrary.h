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

#endif
