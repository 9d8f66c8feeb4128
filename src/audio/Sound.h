// Every sound effect of the game, loaded once and played by number.
#ifndef KORVALEND_SOUND_H
#define KORVALEND_SOUND_H

#include "SoundLibrary.h"

enum SoundID {
    SHOT_SOUND = 0,
    MULTIPLIER_APPEARS_SOUND,
    EXPLOSION_SOUND,
    SHIP_DIES_SOUND,
    BOOM1_SOUND,
    BOOM2_SOUND,
    MULTIPLIER_GONE_SOUND,
    MULTIPLIER_SHOT_SOUND,
    STEEL_HIT_SOUND,
    BONK_SOUND,
    RIFF_SOUND,
    PRIZE_APPEARS_SOUND,
    GOT_PRIZE_SOUND,
    GAME_OVER_SOUND,
    NEW_LIFE_SOUND,
    BONUS_APPEARS_SOUND,
    BONUS_SHOT_SOUND,
    NO_BONUS_SOUND,
    GRAVITY_APPEARS_SOUND,
    HOMING_APPEARS_SOUND,
    SHIELD_ON_SOUND,
    NO_SHIELD_SOUND,
    NOVA_APPEARS_SOUND,
    NOVA_BOOM_SOUND,
    LUCKY_SOUND,
    DAMAGED_SHIP_APPEARS_SOUND,
    SAVED_SHIP_SOUND,
    FUNK_SOUND,
    ENEMY_APPEARS_SOUND,
    PRETTY_GOOD_SOUND,
    THRUSTER_SOUND,
    ENEMY_FIRE_SOUND,
    FREEZE_SOUND,
    IDIOT_SOUND,
    PAUSE_SOUND,
    NUM_SOUNDS
};

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

    int GetVolume() const { return volume; }
    // The channel an effect loops on, or -1.
    int GetLoopChannel(int id) const { return loopChannels[id]; }
    bool IsLoaded(int id) const { return sounds[id] != nullptr; }

private:
    Sound();
    static Sound* instance;
    FSOUND_SAMPLE* sounds[NUM_SOUNDS];
    int loopChannels[NUM_SOUNDS];
    int volume;
};

#endif
