// SPDX-License-Identifier: MIT
// Every sound effect of the game, loaded once and played by number.
#ifndef KORVALEND_SOUND_H
#define KORVALEND_SOUND_H

#include <cassert>

#include "audio/SoundID.h"

struct FSOUND_SAMPLE;

extern const char* soundFileNames[NUM_SOUNDS];

class Sound {
public:
    static Sound* GetInstance();
    ~Sound();

    void PlaySound(int id);
    void StartLoopingSound(int id);
    void StopLoopingSound(int id);
    void StopAllSounds();
    void TurnVolumeUp();
    void TurnVolumeDown();
    // 0 ... 255 (clamped), for the effects to come and the loops playing.
    void SetVolume(int newVolume);

    int GetVolume() const { return volume; }
    // The channel an effect loops on, or -1.
    int GetLoopChannel(int id) const {
        assert(id >= 0 && id < NUM_SOUNDS);
        return loopChannels[id];
    }
    bool IsLoaded(int id) const {
        assert(id >= 0 && id < NUM_SOUNDS);
        return sounds[id] != nullptr;
    }

private:
    Sound();
    static Sound* instance;
    FSOUND_SAMPLE* sounds[NUM_SOUNDS];
    int loopChannels[NUM_SOUNDS];
    int volume;
};

#endif
