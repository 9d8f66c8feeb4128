// Where a player's own files go: recordings and scores under the user's data
// folder, settings under the user's configuration folder.
#ifndef KORVALEND_USERFILES_H
#define KORVALEND_USERFILES_H

#include <string>

// $XDG_DATA_HOME/korvalend3d (default ~/.local/share/korvalend3d) and
// $XDG_CONFIG_HOME/korvalend3d (default ~/.config/korvalend3d); "" when
// there is no home to put them in.
std::string UserDataFolder();
std::string UserConfigFolder();

// Makes the folder and those above it; false, with errno set, when it
// cannot be made.
bool MakeFolders(const std::string& path);

// path made absolute against the working folder (before the game changes
// into its data folder).
std::string AbsolutePath(const std::string& path);

#endif
