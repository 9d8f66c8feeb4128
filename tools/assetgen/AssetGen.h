// The asset generator: every model, texture, picture, sound and song of the
// game, made from code with fixed seeds.
#ifndef KORVALEND_ASSETGEN_H
#define KORVALEND_ASSETGEN_H

#include <string>

// Each writes its files under dir (the folder of the game's executable) and
// returns false, after a message on stderr, if a file could not be written.
bool GenerateModels(const std::string& dir);  // Models/*.ms3d and their textures
bool GenerateImages(const std::string& dir);  // Images/*.tga, Images/*.bmp
bool GenerateSounds(const std::string& dir);  // Sounds/*.wav and the sounds link
bool GenerateMusic(const std::string& dir);   // Music/list.txt and the songs

#endif
