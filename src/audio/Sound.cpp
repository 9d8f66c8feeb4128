// SPDX-License-Identifier: MIT
#include "audio/Sound.h"

#include <cstddef>

#include "audio/SoundLibrary.h"
#include "shell/MyError.h"

const char* soundFileNames[NUM_SOUNDS] = {
    "Sounds/shot.wav",
    "Sounds/multiplier_appears.wav",
    "Sounds/explosion.wav",
    "Sounds/ship_dies.wav",
    "Sounds/boom1.wav",
    "Sounds/boom2.wav",
    "Sounds/multiplier_gone.wav",
    "Sounds/multiplier_shot.wav",
    "Sounds/steel_hit.wav",
    "Sounds/bonk.wav",
    "Sounds/riff.wav",
    "Sounds/prize_appears.wav",
    "Sounds/got_prize.wav",
    "Sounds/game_over.wav",
    "Sounds/new_life.wav",
    "Sounds/bonus_appears.wav",
    "Sounds/bonus_shot.wav",
    "Sounds/no_bonus.wav",
    "Sounds/gravity_appears.wav",
    "Sounds/homing_appears.wav",
    "Sounds/shield_on.wav",
    "Sounds/no_shield.wav",
    "Sounds/nova_appears.wav",
    "Sounds/nova_boom.wav",
    "Sounds/lucky.wav",
    "Sounds/damaged_ship_appears.wav",
    "Sounds/saved_ship.wav",
    "Sounds/funk.wav",
    "Sounds/enemy_appears.wav",
    "Sounds/pretty_good.wav",
    "Sounds/thruster.wav",
    "Sounds/enemy_fire.wav",
    "Sounds/freeze.wav",
    "Sounds/idiot.wav",
    "Sounds/pause.wav",
};

Sound* Sound::instance = nullptr;

Sound* Sound::GetInstance() {
    if (instance == nullptr) instance = new Sound;
    return instance;
}

Sound::Sound() {
    error("Initializing sound...\n");
    FSOUND_Init(65535, 32, 0);
    for (int i = 0; i < NUM_SOUNDS; ++i) {
        error("Loading sound \"%s\"...\n", soundFileNames[i]);
        sounds[i] = FSOUND_Sample_Load(-1, soundFileNames[i], FSOUND_NORMAL, 0);
        if (sounds[i] == nullptr) error("Unable to load \"%s\".\n", soundFileNames[i]);
        loopChannels[i] = -1;
    }
    volume = 64;
}

Sound::~Sound() { FSOUND_Close(); }

namespace {
bool ValidID(int id) { return id >= 0 && id < NUM_SOUNDS; }
}  // namespace

void Sound::PlaySound(int id) {
    if (!ValidID(id) || sounds[id] == nullptr) return;
    if (loopChannels[id] != -1) StopLoopingSound(id);
    int channel = FSOUND_PlaySound(FSOUND_FREE, sounds[id]);
    FSOUND_SetVolume(channel, volume);
}

void Sound::StartLoopingSound(int id) {
    if (!ValidID(id) || sounds[id] == nullptr) return;
    // Starting again restarts the loop from its beginning.
    if (loopChannels[id] != -1) StopLoopingSound(id);
    FSOUND_Sample_SetMode(sounds[id], FSOUND_LOOP_NORMAL);
    loopChannels[id] = FSOUND_PlaySound(FSOUND_FREE, sounds[id]);
    FSOUND_SetVolume(loopChannels[id], volume);
}

void Sound::StopLoopingSound(int id) {
    if (!ValidID(id) || sounds[id] == nullptr) return;
    // Loop off first, so later one-shots of the same sample play once.
    FSOUND_Sample_SetMode(sounds[id], FSOUND_LOOP_OFF);
    FSOUND_StopSound(loopChannels[id]);
    loopChannels[id] = -1;
}

void Sound::StopAllSounds() { FSOUND_StopSound(FSOUND_ALL); }

void Sound::TurnVolumeUp() { SetVolume(volume + 10); }

void Sound::TurnVolumeDown() { SetVolume(volume - 10); }

void Sound::SetVolume(int newVolume) {
    volume = newVolume < 0 ? 0 : newVolume > 255 ? 255 : newVolume;
    for (int i = 0; i < NUM_SOUNDS; ++i) {
        if (loopChannels[i] != -1) FSOUND_SetVolume(loopChannels[i], volume);
    }
}
