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

// Gives path a second name, link, and takes the first away: path moves to
// link, never over a file already there. False with errno set (EEXIST:
// link is taken), and nothing moved.
bool MoveIfFree(const std::string& path, const std::string& link);
// Makes an empty file named stem + six characters + extension that no other
// file had, and returns its path; "" with errno set.
std::string ClaimNewFile(const std::string& stem, const std::string& extension);
// False with errno set; a file that is not there is not an error to the
// caller only when it looks at errno (ENOENT).
bool RemoveFile(const std::string& path);
// Whether this process may make files in folder (errno set when not).
bool CanWriteIn(const std::string& folder);

// An exclusive lock on a file (made when missing), held until the object
// goes; waits up to waitMils for another process that holds it, looking
// every lookMils. An empty path holds nothing (and leaves errno alone).
class FileLock {
public:
    FileLock(const std::string& path, int waitMils, int lookMils);
    ~FileLock();
    bool Held() const { return fd >= 0; }
    // Another process kept it past the wait.
    bool Busy() const { return busy; }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd = -1;
    bool busy = false;
};

// The user's login name as the system knows it; "" when it knows none.
std::string LoginName();
// The local date, YYYY-MM-DD.
std::string TodaysDate();

// path made absolute against the working folder (before the game changes
// into its data folder).
std::string AbsolutePath(const std::string& path);

#endif
