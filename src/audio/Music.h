// SPDX-License-Identifier: MIT
// The background of a wave: the arcade beat, songs from the play list, or silence.
#ifndef KORVALEND_MUSIC_H
#define KORVALEND_MUSIC_H

#include <cstdio>

struct FSOUND_SAMPLE;
struct FSOUND_STREAM;

enum MusicModeT {
    MUSIC_ARCADE_MODE = 0,
    MUSIC_FILE_MODE = 1,
    MUSIC_OFF_MODE = 2,
    NUM_MUSIC_MODES = 3
};

// Appends the entries of an open play list ("Music/" followed by each piece
// of a line) to the malloc'ed array *entries of *count entries and room for
// *capacity, which grows as needed. Each entry is malloc'ed.
void ReadPlayList(FILE* file, char*** entries, int* count, int* capacity);

class Music {
public:
    static Music* GetInstance();
    ~Music();

    void StopMusic();
    void StartMusic();
    void ToggleMode();
    void NextSong();
    void TurnVolumeUp();
    void TurnVolumeDown();
    // 0 ... 255 (clamped), for what plays now and what follows.
    void SetVolume(int newVolume);
    // Another mode straight away; the play list's next song starts at the
    // next update, the beat at once.
    void SetMode(int newMode);
    void ResetBoomSpeed();
    void IncreaseBoomSpeed();
    void TimeUpdate(double deltaTime);

    int GetMode() const { return mode; }
    int GetVolume() const { return volume; }
    double GetBoomDelay() const { return boomDelay; }
    int NumMusicFiles() const { return numMusicFiles; }
    const char* MusicFile(int i) const { return musicFiles[i]; }
    int CurrentMusicFile() const { return curMusicFile; }

private:
    Music();
    void LoadMusicFiles();
    void PlayCurrentStream();

    static Music* instance;
    char** musicFiles;
    int numMusicFiles;
    int capacity;
    int curMusicFile;
    int mode;
    int volume;
    double boomDelay;
    double nextBoom;
    bool lowBoom;
    int musicChannel;
    int streamPosition;
    bool havePosition;
    FSOUND_SAMPLE* boom1;
    FSOUND_SAMPLE* boom2;
    FSOUND_STREAM* musicStream;
};

#endif
