// SPDX-License-Identifier: MIT
// The player's own files (high scores, settings, kept replays): where they
// live and how they are written, so that a crash or a second game running at
// the same time never leaves half a file behind.
#ifndef KORVALEND_USERFILES_H
#define KORVALEND_USERFILES_H

#include <string>

// $XDG_DATA_HOME/korvalend3d and $XDG_CONFIG_HOME/korvalend3d; an unset,
// empty or relative variable means ~/.local/share and ~/.config. "" when
// there is no home folder either (said once): then nothing is kept.
std::string UserDataFolder();
std::string UserConfigFolder();

// Makes the folder and any parents it lacks. False with errno set.
bool MakeFolders(const std::string& folder);

// The whole file into *bytes. False with errno set (ENOENT: there is none).
bool ReadFileBytes(const std::string& path, std::string* bytes);

// Replaces path by bytes whole or not at all: a temporary file in the same
// folder, synced, renamed over path, and the folder synced. False with errno
// set, and path as it was.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// path made absolute against the working folder (before the game changes
// into its data folder).
std::string AbsolutePath(const std::string& path);

#endif
