// SPDX-License-Identifier: MIT
#include "audio/Music.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/SoundLibrary.h"
#include "shell/MyError.h"

namespace {
const char* const LIST_FILE = "Music/list.txt";
const char* const MUSIC_DIR = "Music/";
// A line is read in pieces of at most this many characters.
const int PIECE_CHARS = 99;
const int FIRST_CAPACITY = 10;
}  // namespace

Music* Music::instance = nullptr;

Music* Music::GetInstance() {
    if (instance == nullptr) instance = new Music;
    return instance;
}

Music::Music()
    : musicFiles(nullptr),
      numMusicFiles(0),
      capacity(0),
      curMusicFile(0),
      mode(MUSIC_ARCADE_MODE),
      volume(128),
      boomDelay(1.0),
      nextBoom(0.0),
      // The lower kick falls on the first beat of a wave.
      lowBoom(true),
      musicChannel(0),
      streamPosition(0),
      havePosition(false),
      boom1(nullptr),
      boom2(nullptr),
      musicStream(nullptr) {
    ResetBoomSpeed();
    boom1 = FSOUND_Sample_Load(-1, "sounds/boom1.wav", FSOUND_NORMAL, 0);
    boom2 = FSOUND_Sample_Load(-1, "sounds/boom2.wav", FSOUND_NORMAL, 0);
    if (boom1 == nullptr || boom2 == nullptr) error("Error loading background music (booms)\n");
    musicStream = nullptr;
    LoadMusicFiles();
}

Music::~Music() {
    for (int i = 0; i < numMusicFiles; ++i) std::free(musicFiles[i]);
    std::free(musicFiles);
}

void Music::LoadMusicFiles() {
    numMusicFiles = 0;
    curMusicFile = 0;
    FILE* file = std::fopen(LIST_FILE, "r");
    if (file == nullptr) {
        error("Unable to find \"%s\"; will be unable to play any music!\n", LIST_FILE);
        return;
    }
    // Only a plain file ends: a device such as /dev/zero would be read for
    // ever, entry after entry, and a folder reads as nothing at all.
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        error("\"%s\" is not a file; will be unable to play any music!\n", LIST_FILE);
        std::fclose(file);
        return;
    }
    ReadPlayList(file, &musicFiles, &numMusicFiles, &capacity);
    std::fclose(file);
}

void ReadPlayList(FILE* file, char*** entries, int* count, int* capacity) {
    const size_t dirLength = std::strlen(MUSIC_DIR);
    for (;;) {
        // One piece: up to the line feed (removed), the end of the file, or
        // PIECE_CHARS characters, whichever comes first. A line of exactly
        // PIECE_CHARS characters takes its line feed with it.
        char piece[PIECE_CHARS + 1];
        int length = 0;
        int c = std::fgetc(file);
        if (c == EOF) break;
        while (c != EOF && c != '\n') {
            piece[length++] = static_cast<char>(c);
            if (length == PIECE_CHARS) {
                c = std::fgetc(file);
                if (c != '\n' && c != EOF) std::ungetc(c, file);
                break;
            }
            c = std::fgetc(file);
        }
        piece[length] = '\0';

        if (*count == *capacity) {
            int newCapacity = *capacity == 0 ? FIRST_CAPACITY : *capacity * 2;
            char** grown = static_cast<char**>(std::realloc(*entries, sizeof(char*) * newCapacity));
            if (grown == nullptr) {
                error("Out of memory reading \"%s\"; the play list stops here\n", LIST_FILE);
                break;
            }
            *entries = grown;
            *capacity = newCapacity;
        }
        char* entry = static_cast<char*>(std::malloc(dirLength + PIECE_CHARS + 1));
        if (entry == nullptr) {
            error("Out of memory reading \"%s\"; the play list stops here\n", LIST_FILE);
            break;
        }
        std::memcpy(entry, MUSIC_DIR, dirLength);
        std::memcpy(entry + dirLength, piece, static_cast<size_t>(length) + 1);
        (*entries)[(*count)++] = entry;
    }
}

void Music::StopMusic() {
    if (mode != MUSIC_FILE_MODE || musicStream == nullptr) return;
    streamPosition = FSOUND_Stream_GetPosition(musicStream);
    havePosition = true;
    FSOUND_Stream_Stop(musicStream);
}

void Music::StartMusic() {
    if (mode != MUSIC_FILE_MODE || musicStream == nullptr) return;
    // Without a position saved by StopMusic since this song began, the song
    // carries on from where it is. A saved position is used once.
    if (havePosition) {
        FSOUND_Stream_SetPosition(musicStream, static_cast<unsigned int>(streamPosition));
        havePosition = false;
    }
    PlayCurrentStream();
}

void Music::PlayCurrentStream() {
    if (musicStream == nullptr) return;
    musicChannel = FSOUND_Stream_Play(FSOUND_FREE, musicStream);
    FSOUND_SetReserved(musicChannel, true);
    FSOUND_SetVolume(musicChannel, volume);
}

void Music::ToggleMode() {
    if (mode == MUSIC_FILE_MODE && musicStream != nullptr) FSOUND_Stream_Stop(musicStream);
    mode = (mode + 1) % NUM_MUSIC_MODES;
    if (mode == MUSIC_ARCADE_MODE) {
        nextBoom = 0.0;
    } else if (mode == MUSIC_FILE_MODE) {
        NextSong();
    }
}

void Music::NextSong() {
    if (mode != MUSIC_FILE_MODE || numMusicFiles == 0) return;
    if (musicStream != nullptr) {
        FSOUND_Stream_Stop(musicStream);
        FSOUND_Stream_Close(musicStream);
        musicStream = nullptr;
    }
    havePosition = false;
    int lastMusicFile = curMusicFile;
    for (;;) {
        curMusicFile = (curMusicFile + 1) % numMusicFiles;
        musicStream = FSOUND_Stream_OpenFile(musicFiles[curMusicFile], FSOUND_NORMAL, 0);
        if (musicStream != nullptr) {
            PlayCurrentStream();
            return;
        }
        error("Error while trying to play \"%s\"\n", musicFiles[curMusicFile]);
        if (curMusicFile == lastMusicFile) {
            error("Unable to play any files in music directory!\n");
            return;
        }
    }
}

void Music::TurnVolumeUp() { SetVolume(volume + 10); }

void Music::TurnVolumeDown() { SetVolume(volume - 10); }

void Music::SetVolume(int newVolume) {
    volume = newVolume < 0 ? 0 : newVolume > 255 ? 255 : newVolume;
    FSOUND_SetVolume(musicChannel, volume);
}

void Music::SetMode(int newMode) {
    if (newMode < 0 || newMode >= NUM_MUSIC_MODES || newMode == mode) return;
    if (mode == MUSIC_FILE_MODE && musicStream != nullptr) FSOUND_Stream_Stop(musicStream);
    mode = newMode;
    if (mode == MUSIC_ARCADE_MODE) nextBoom = 0.0;
    // No channel of ours plays, so the next update starts a song.
    if (mode == MUSIC_FILE_MODE) musicChannel = -1;
}

void Music::ResetBoomSpeed() {
    boomDelay = 1.0;
    nextBoom = 0.0;
}

void Music::IncreaseBoomSpeed() {
    boomDelay -= 0.02;
    if (boomDelay < 0.3) boomDelay = 0.3;
}

void Music::TimeUpdate(double deltaTime) {
    // The song is decoded here, ahead of the audio callback, which only mixes.
    SoundLibrary_DecodeAhead();
    switch (mode) {
    case MUSIC_ARCADE_MODE:
        nextBoom -= deltaTime;
        if (nextBoom <= 0.0) {
            musicChannel = FSOUND_PlaySound(FSOUND_FREE, lowBoom ? boom1 : boom2);
            FSOUND_SetVolume(musicChannel, volume);
            nextBoom = boomDelay;
            lowBoom = !lowBoom;
        }
        break;
    case MUSIC_FILE_MODE:
        if (!FSOUND_IsPlaying(musicChannel)) NextSong();
        break;
    default:
        break;
    }
}
