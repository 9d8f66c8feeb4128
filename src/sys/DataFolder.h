// SPDX-License-Identifier: MIT
// Where the game's data folders (Models/, Images/, Sounds/, Music/) are. The
// game reads them by relative path, so at start-up it changes into the
// folder that has them.
#ifndef KORVALEND_DATAFOLDER_H
#define KORVALEND_DATAFOLDER_H

#include <string>

#include "sys/Environment.h"  // DATA_FOLDER_VARIABLE

// Whether folder holds the game's data (it has a Models folder).
bool HasGameData(const std::string& folder);

// The first folder with data among: fromOption (the --data folder, when
// not empty), fromEnvironment (when not null), the working folder ("."),
// exeFolder, exeFolder/installedRelative and compiledIn (when not empty). A
// named folder without data is reported and passed over; when none has
// data, one message lists every place tried and the result is "".
std::string ChooseDataFolder(const char* fromEnvironment, const std::string& exeFolder,
                             const std::string& installedRelative, const std::string& compiledIn,
                             const std::string& fromOption = "");

// Changes into the folder ChooseDataFolder picks for the running executable.
void FindDataFolder(const std::string& installedRelative, const std::string& compiledIn,
                    const std::string& fromOption = "");

#endif
