// SPDX-License-Identifier: MIT
// The asset generator: every model, texture, picture, sound and song of the
// game, made from code with fixed seeds.
#ifndef KORVALEND_ASSETGEN_H
#define KORVALEND_ASSETGEN_H

#include <cstdint>
#include <string>
#include <vector>

// Each writes its files under dir (the folder of the game's executable) and
// returns false, after a message on stderr, if a file could not be written.
bool GenerateModels(const std::string& dir);  // Models/*.ms3d and their textures
bool GenerateImages(const std::string& dir);  // Images/*.tga, Images/*.bmp
bool GenerateSounds(const std::string& dir);  // Sounds/*.wav and the sounds link
bool GenerateMusic(const std::string& dir);   // Music/list.txt and the songs
bool GenerateIcons(const std::string& dir);   // icons/<side>/korvalend3d.png, the desktop icon
bool GenerateWindowIcon(const std::string& dir);  // Images/window_icon.tga, the same for the window
// BaselineModels/*.ms3d: the models that come in numbers at the detail they
// had before their triangle budgets, for the render benchmark's baseline.
bool GenerateBaselineModels(const std::string& dir);

// `assetgen --only NAME...`: only the named files are written. A name is a
// file's path under the output folder ("Images/flare.tga"), a folder
// ("Music"), or a bare file name. A folder none of the names can be in is
// not made at all; within one, everything is still computed in the same
// order (so the random draws stay the same) but only what is named is written.
void SetWantedAssets(const std::vector<std::string>& names);
bool AssetWanted(const std::string& path);
bool GroupWanted(const std::string& folder);
// Writes a generated file, unless --only leaves it out; false after a message.
bool WriteAssetFile(const std::string& path, const std::vector<uint8_t>& bytes);

#endif
