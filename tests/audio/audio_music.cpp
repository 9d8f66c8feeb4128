// SPDX-License-Identifier: MIT
// The music: beat, play list and songs, heard through the mixer. Each case
// runs in a child process of its own, in a fresh folder, because the music
// reads its play list once per process.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "AudioTestFiles.h"
#include "audio/Music.h"
#include "audio/Sound.h"
#include "audio/SoundLibrary.h"

using namespace audiotest;

namespace {

const int BOOM1 = 1000, BOOM2 = 2000, BOOM_FRAMES = 200;

void Booms(const std::string& dir, bool link = true) {
    mkdir((dir + "/Sounds").c_str(), 0755);
    if (link) symlink("Sounds", (dir + "/sounds").c_str());
    WriteSound(dir + "/Sounds/boom1.wav", Constant(BOOM1, BOOM_FRAMES));
    WriteSound(dir + "/Sounds/boom2.wav", Constant(BOOM2, BOOM_FRAMES));
}

void List(const std::string& dir, const std::string& text) {
    mkdir((dir + "/Music").c_str(), 0755);
    std::ofstream(dir + "/Music/list.txt") << text;
}

void Song(const std::string& dir, const std::string& name, const std::vector<short>& data) {
    mkdir((dir + "/Music").c_str(), 0755);
    WriteSound(dir + "/Music/" + name, data);
}

// The library, with this process as the only one mixing.
Music* StartUp() {
    FSOUND_Init(65535, 32, 0);
    SoundLibrary_PauseOutput(true);
    return Music::GetInstance();
}

// Standard error without the library's line about the device.
std::string Messages(const ChildResult& r) {
    std::string text = r.stderrText;
    size_t at = text.find("Sound: output ");
    if (at != std::string::npos) text.erase(at, text.find('\n', at) + 1 - at);
    return text;
}

void ExpectClean(const ChildResult& r) {
    EXPECT_EQ(r.status, 0) << r.stderrText;
    EXPECT_EQ(r.failures, "");
}

TEST(PlayList, LinesAreCutInPiecesOf99AndOnlyTheLineFeedIsRemoved) {
    const std::string a(99, 'a'), b(51, 'b'), c(99, 'c');
    ChildResult r = RunChild(
        [&](const std::string& dir) {
            Booms(dir);
            List(dir, a + b + "\n  spaced name.ogg \n\n" + c + "\nlast-without-feed.ogg");
        },
        [&] {
            Music* m = StartUp();
            const std::vector<std::string> want = {"Music/" + a, "Music/" + b, "Music/  spaced name.ogg ",
                                                   "Music/", "Music/" + c, "Music/last-without-feed.ogg"};
            CHILD_CHECK_EQ(m->NumMusicFiles(), int(want.size()));
            for (int i = 0; i < m->NumMusicFiles() && i < int(want.size()); ++i) {
                CHILD_CHECK_EQ(std::string(m->MusicFile(i)), want[i]);
            }
            CHILD_CHECK_EQ(m->CurrentMusicFile(), 0);
        });
    ExpectClean(r);
    EXPECT_EQ(Messages(r), "");
}

TEST(PlayList, GrowsPastItsFirstTenEntriesInFileOrder) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            Booms(dir);
            std::string text;
            for (int i = 0; i < 45; ++i) text += "song" + std::to_string(i) + ".ogg\n";
            List(dir, text);
        },
        [] {
            Music* m = StartUp();
            CHILD_CHECK_EQ(m->NumMusicFiles(), 45);
            for (int i = 0; i < m->NumMusicFiles(); ++i) {
                CHILD_CHECK_EQ(std::string(m->MusicFile(i)), "Music/song" + std::to_string(i) + ".ogg");
            }
        });
    ExpectClean(r);
}

TEST(PlayList, AMissingListIsReportedAndFileModeThenDoesNothing) {
    ChildResult r = RunChild([](const std::string& dir) { Booms(dir); },
                             [] {
                                 Music* m = StartUp();
                                 CHILD_CHECK_EQ(m->NumMusicFiles(), 0);
                                 m->ToggleMode();
                                 CHILD_CHECK_EQ(m->GetMode(), int(MUSIC_FILE_MODE));
                                 for (int i = 0; i < 5; ++i) m->TimeUpdate(0.1);
                                 m->NextSong();
                                 m->StopMusic();
                                 m->StartMusic();
                                 CHILD_CHECK(Silent(Mix(1000)));
                             });
    ExpectClean(r);
    EXPECT_EQ(Messages(r), "Unable to find \"Music/list.txt\"; will be unable to play any music!\n");
}

// A list that never ends (a device) or has no lines (a folder) would be read
// for ever or silently: it is refused with one message. Entries that name the
// list itself, a folder or /dev/zero fail to open like any bad entry, and the
// song behind them is still found.
TEST(PlayList, HostileListsAndEntriesAreRefusedAndNothingHangs) {
    for (const char* what : {"device", "folder"}) {
        ChildResult r = RunChild(
            [&](const std::string& dir) {
                Booms(dir);
                mkdir((dir + "/Music").c_str(), 0755);
                if (std::string(what) == "device")
                    symlink("/dev/zero", (dir + "/Music/list.txt").c_str());
                else
                    mkdir((dir + "/Music/list.txt").c_str(), 0755);
            },
            [] { CHILD_CHECK_EQ(StartUp()->NumMusicFiles(), 0); });
        ExpectClean(r);
        EXPECT_EQ(Messages(r), "\"Music/list.txt\" is not a file; will be unable to play any music!\n") << what;
    }
    ChildResult r = RunChild(
        [](const std::string& dir) {
            Booms(dir);
            Song(dir, "good.wav", Constant(1000, 600));
            symlink("/dev/zero", (dir + "/Music/zero.wav").c_str());
            std::string climb;
            for (int i = 0; i < 30; ++i) climb += "../";
            List(dir, "unused\nlist.txt\n.\nzero.wav\n" + climb + "dev/zero\ngood.wav\n");
        },
        [] {
            Music* m = StartUp();
            m->ToggleMode();  // arcade -> file: tries entries 1, 2, ... until one opens
            CHILD_CHECK_EQ(std::string(m->MusicFile(m->CurrentMusicFile())), "Music/good.wav");
        });
    ExpectClean(r);
    EXPECT_EQ(Count(Messages(r), "Error while trying to play"), 4);
}

TEST(Songs, ThreeEntriesPlaySecondThirdFirstAndAroundAgain) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            Booms(dir);
            Song(dir, "a.wav", Constant(1000, 600));
            Song(dir, "b.wav", Constant(2000, 600));
            Song(dir, "c.wav", Constant(3000, 600));
            List(dir, "a.wav\nb.wav\nc.wav\n");
        },
        [] {
            Music* m = StartUp();
            m->ToggleMode();  // arcade -> file
            const int order[] = {1, 2, 0, 1, 2};
            const int level[] = {1000, 2000, 3000};
            for (int song : order) {
                CHILD_CHECK_EQ(m->CurrentMusicFile(), song);
                std::vector<short> mix = Mix(400);
                CHILD_CHECK(Holds(mix, 0, 400, Scaled(level[song], 128)));
                // Still playing: an update changes nothing.
                m->TimeUpdate(0.01);
                CHILD_CHECK_EQ(m->CurrentMusicFile(), song);
                mix = Mix(OutputFrames(600));
                CHILD_CHECK(Holds(mix, OutputFrames(600) - 400 + 1, OutputFrames(600), 0, 0));
                m->TimeUpdate(0.01);
            }
        });
    ExpectClean(r);
    EXPECT_EQ(Messages(r), "");
}

TEST(Songs, AnUnreadableOnlyEntryIsReportedOnEveryUpdate) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            Booms(dir);
            List(dir, "nosuch.ogg\n");
        },
        [] {
            Music* m = StartUp();
            m->ToggleMode();
            for (int i = 0; i < 3; ++i) m->TimeUpdate(0.02);
            CHILD_CHECK(Silent(Mix(500)));
        });
    ExpectClean(r);
    std::string once = "Error while trying to play \"Music/nosuch.ogg\"\nUnable to play any files in music directory!\n";
    EXPECT_EQ(Messages(r), once + once + once + once);
}

TEST(Songs, BadEntriesAreSkippedEachTimeRound) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            Booms(dir);
            Song(dir, "good.wav", Constant(4000, 300));
            List(dir, "bad1.ogg\ngood.wav\nbad2.ogg");
        },
        [] {
            Music* m = StartUp();
            m->ToggleMode();
            CHILD_CHECK_EQ(m->CurrentMusicFile(), 1);
            CHILD_CHECK(Holds(Mix(100), 0, 100, Scaled(4000, 128)));
            std::fprintf(stderr, "-- song over --\n");
            Mix(1000);
            m->TimeUpdate(0.01);
            CHILD_CHECK_EQ(m->CurrentMusicFile(), 1);
            CHILD_CHECK(Holds(Mix(100), 0, 100, Scaled(4000, 128)));
        });
    ExpectClean(r);
    EXPECT_EQ(Messages(r),
              "-- song over --\n"
              "Error while trying to play \"Music/bad2.ogg\"\n"
              "Error while trying to play \"Music/bad1.ogg\"\n");
}

TEST(Songs, TheBonusScreenPausesTheSongAndTheNextWaveResumesIt) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            Booms(dir);
            Song(dir, "other.wav", Constant(100, 100));
            Song(dir, "ramp.wav", Ramp(30000));
            List(dir, "other.wav\nramp.wav\n");
        },
        [] {
            Music* m = StartUp();
            m->ToggleMode();
            CHILD_CHECK_EQ(m->CurrentMusicFile(), 1);
            std::vector<short> mix = Mix(3000);
            CHILD_CHECK_EQ(int(Left(mix, 2999)), Scaled(2999, 128));
            m->StopMusic();
            CHILD_CHECK(Silent(Mix(2000)));
            m->StartMusic();
            mix = Mix(10);
            for (int f = 0; f < 10; ++f) CHILD_CHECK_EQ(int(Left(mix, f)), Scaled(3000 + f, 128));
            // Without a pause since, starting again carries on where it is.
            m->StartMusic();
            mix = Mix(10);
            CHILD_CHECK_EQ(int(Left(mix, 0)), Scaled(3010, 128));
            // Many waves later the effects still find their channels.
            for (int i = 0; i < 40; ++i) {
                m->StopMusic();
                m->StartMusic();
            }
            FSOUND_SAMPLE* fx = FSOUND_Sample_Load(-1, "Sounds/boom1.wav", FSOUND_NORMAL, 0);
            std::vector<bool> used(32, false);
            for (int i = 0; i < 31; ++i) {
                int ch = FSOUND_PlaySound(FSOUND_FREE, fx);
                CHILD_CHECK(ch >= 0 && ch < 32 && !used[ch]);
                if (ch >= 0 && ch < 32) used[ch] = true;
            }
            mix = Mix(10);
            CHILD_CHECK_EQ(int(Left(mix, 0)), Scaled(3020, 128) + 31 * BOOM1);
        });
    ExpectClean(r);
    EXPECT_EQ(Messages(r), "");
}

TEST(Songs, StopAllSoundsSilencesTheSongToo) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            Booms(dir);
            Song(dir, "a.wav", Constant(1000, 20000));
            Song(dir, "b.wav", Constant(2000, 20000));
            List(dir, "a.wav\nb.wav\n");
        },
        [] {
            Sound* s = Sound::GetInstance();
            Music* m = StartUp();
            m->ToggleMode();
            CHILD_CHECK(!Silent(Mix(100)));
            s->StopAllSounds();
            CHILD_CHECK(Silent(Mix(1000)));
            // The next update finds the song stopped and moves on.
            m->TimeUpdate(0.01);
            CHILD_CHECK_EQ(m->CurrentMusicFile(), 0);
            CHILD_CHECK(Holds(Mix(100), 0, 100, Scaled(1000, 128)));
        });
    ExpectClean(r);
}

TEST(Beat, BoomsAlternateAndQuicken) {
    ChildResult r = RunChild([](const std::string& dir) { Booms(dir); },
                             [] {
                                 Music* m = StartUp();
                                 CHILD_CHECK_EQ(m->GetMode(), int(MUSIC_ARCADE_MODE));
                                 CHILD_CHECK_EQ(m->GetBoomDelay(), 1.0);
                                 auto heard = [](int value) {
                                     std::vector<short> mix = Mix(OutputFrames(BOOM_FRAMES) + 10);
                                     return value == 0 ? Silent(mix) : Holds(mix, 0, BOOM_FRAMES - 10, Scaled(value, 128));
                                 };
                                 m->TimeUpdate(0.0);  // a wave begins with a boom at once
                                 CHILD_CHECK(heard(BOOM1));
                                 m->TimeUpdate(0.5);
                                 CHILD_CHECK(heard(0));
                                 // The pending countdown keeps its 0.5 s ...
                                 m->IncreaseBoomSpeed();
                                 CHILD_CHECK(std::abs(m->GetBoomDelay() - 0.98) < 1e-12);
                                 m->TimeUpdate(0.49);
                                 CHILD_CHECK(heard(0));
                                 m->TimeUpdate(0.02);
                                 CHILD_CHECK(heard(BOOM2));
                                 // ... and the boom after it comes 0.98 s later.
                                 m->TimeUpdate(0.5);
                                 m->TimeUpdate(0.47);
                                 CHILD_CHECK(heard(0));
                                 m->TimeUpdate(0.02);
                                 CHILD_CHECK(heard(BOOM1));

                                 m->ResetBoomSpeed();
                                 CHILD_CHECK_EQ(m->GetBoomDelay(), 1.0);
                                 for (int i = 0; i < 34; ++i) m->IncreaseBoomSpeed();
                                 CHILD_CHECK(m->GetBoomDelay() > 0.31);
                                 m->IncreaseBoomSpeed();
                                 CHILD_CHECK(std::abs(m->GetBoomDelay() - 0.3) < 1e-9);
                                 for (int i = 0; i < 10; ++i) m->IncreaseBoomSpeed();
                                 CHILD_CHECK_EQ(m->GetBoomDelay(), 0.3);
                                 // Reset: the next update booms at once, still alternating.
                                 m->ResetBoomSpeed();
                                 m->TimeUpdate(0.001);
                                 CHILD_CHECK(heard(BOOM2));
                             });
    ExpectClean(r);
    EXPECT_EQ(Messages(r), "Unable to find \"Music/list.txt\"; will be unable to play any music!\n");
}

TEST(Beat, VolumeStepsChangeTheSoundingBoom) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            mkdir((dir + "/Sounds").c_str(), 0755);
            WriteSound(dir + "/Sounds/boom1.wav", Constant(BOOM1, 20000));
            WriteSound(dir + "/Sounds/boom2.wav", Constant(BOOM2, 20000));
        },
        [] {
            // No "sounds" link here: the other spelling finds the booms.
            Music* m = StartUp();
            m->TimeUpdate(0.0);
            CHILD_CHECK(Holds(Mix(10), 0, 10, Scaled(BOOM1, 128)));
            for (int i = 1; i <= 12; ++i) m->TurnVolumeUp();
            CHILD_CHECK_EQ(m->GetVolume(), 248);
            m->TurnVolumeUp();
            CHILD_CHECK_EQ(m->GetVolume(), 255);
            m->TurnVolumeUp();
            CHILD_CHECK_EQ(m->GetVolume(), 255);
            CHILD_CHECK(Holds(Mix(10), 0, 10, BOOM1));
            for (int i = 0; i < 25; ++i) m->TurnVolumeDown();
            CHILD_CHECK_EQ(m->GetVolume(), 5);
            m->TurnVolumeDown();
            CHILD_CHECK_EQ(m->GetVolume(), 0);
            CHILD_CHECK(Silent(Mix(10)));
            m->TurnVolumeUp();
            CHILD_CHECK_EQ(m->GetVolume(), 10);
            CHILD_CHECK(Holds(Mix(10), 0, 10, Scaled(BOOM1, 10)));
        });
    ExpectClean(r);
    EXPECT_EQ(Count(r.stderrText, "booms"), 0);
}

TEST(Beat, MissingBoomsAreReportedAndTheBeatKeepsTime) {
    ChildResult r = RunChild([](const std::string&) {},
                             [] {
                                 Music* m = StartUp();
                                 for (int i = 0; i < 50; ++i) m->TimeUpdate(0.1);
                                 m->IncreaseBoomSpeed();
                                 CHILD_CHECK(std::abs(m->GetBoomDelay() - 0.98) < 1e-12);
                                 CHILD_CHECK(Silent(Mix(1000)));
                             });
    ExpectClean(r);
    EXPECT_EQ(Count(r.stderrText, "Error loading background music (booms)\n"), 1);
}

TEST(Modes, ArcadeFileOffAndRoundAgain) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            Booms(dir);
            Song(dir, "a.wav", Constant(500, 48000));
            Song(dir, "b.wav", Constant(700, 48000));
            List(dir, "a.wav\nb.wav\n");
        },
        [] {
            Music* m = StartUp();
            m->TimeUpdate(0.0);
            m->TimeUpdate(0.1);  // the next boom is 0.9 s away
            Mix(OutputFrames(BOOM_FRAMES) + 10);
            m->ToggleMode();
            CHILD_CHECK_EQ(m->GetMode(), int(MUSIC_FILE_MODE));
            CHILD_CHECK(Holds(Mix(100), 0, 100, Scaled(700, 128)));
            // In file mode there is no beat.
            m->TimeUpdate(5.0);
            CHILD_CHECK(Holds(Mix(100), 0, 100, Scaled(700, 128)));
            m->ToggleMode();
            CHILD_CHECK_EQ(m->GetMode(), int(MUSIC_OFF_MODE));
            CHILD_CHECK(Silent(Mix(100)));
            m->TimeUpdate(5.0);
            CHILD_CHECK(Silent(Mix(100)));
            m->ToggleMode();
            CHILD_CHECK_EQ(m->GetMode(), int(MUSIC_ARCADE_MODE));
            m->TimeUpdate(0.001);
            CHILD_CHECK(Holds(Mix(10), 0, 10, Scaled(BOOM2, 128)));
            // Back to file mode: the next entry.
            Mix(OutputFrames(BOOM_FRAMES) + 10);
            m->ToggleMode();
            CHILD_CHECK_EQ(m->CurrentMusicFile(), 0);
            CHILD_CHECK(Holds(Mix(100), 0, 100, Scaled(500, 128)));
            // Skipping a song.
            m->NextSong();
            CHILD_CHECK_EQ(m->CurrentMusicFile(), 1);
            CHILD_CHECK(Holds(Mix(100), 0, 100, Scaled(700, 128)));
            // The bonus screen outside file mode lets a boom play out.
            m->ToggleMode();
            m->ToggleMode();
            m->TimeUpdate(0.001);
            m->StopMusic();
            CHILD_CHECK(Holds(Mix(10), 0, 10, Scaled(BOOM1, 128)));
        });
    ExpectClean(r);
    EXPECT_EQ(Messages(r), "");
}

TEST(NoDevice, OneMessageThenEverythingRunsSilently) {
    ChildResult r = RunChild(
        [](const std::string& dir) {
            mkdir((dir + "/Sounds").c_str(), 0755);
            symlink("Sounds", (dir + "/sounds").c_str());
            for (int id = 0; id < NUM_SOUNDS; ++id) WriteSound(dir + "/" + soundFileNames[id], Constant(900, 300));
            Song(dir, "a.wav", Constant(500, 300));
            List(dir, "a.wav\nmissing.ogg\n");
        },
        [] {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            Sound* s = Sound::GetInstance();
            CHILD_CHECK(!SoundLibrary_HasDevice());
            for (int id = 0; id < NUM_SOUNDS; ++id) {
                CHILD_CHECK(s->IsLoaded(id));
                s->PlaySound(id);
            }
            s->StartLoopingSound(THRUSTER_SOUND);
            s->TurnVolumeUp();
            s->StopLoopingSound(THRUSTER_SOUND);
            s->StopAllSounds();
            Music* m = Music::GetInstance();
            for (int mode = 0; mode < 6; ++mode) {
                for (int i = 0; i < 20; ++i) m->TimeUpdate(0.05);
                m->StopMusic();
                m->StartMusic();
                m->NextSong();
                m->TurnVolumeDown();
                m->ToggleMode();
            }
        });
    ExpectClean(r);
    EXPECT_EQ(Count(r.stderrText, "Sound: no audio device ("), 1) << r.stderrText;
    EXPECT_EQ(Count(r.stderrText, "playing silently\n"), 1);
    EXPECT_EQ(Count(r.stderrText, "Sound: output"), 0);
    EXPECT_EQ(Count(r.stderrText, "Unable to load"), 0);
    EXPECT_EQ(Count(r.stderrText, "Loading sound \""), NUM_SOUNDS);
}

}  // namespace
