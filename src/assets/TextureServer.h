// SPDX-License-Identifier: MIT
// Owner of every texture: one per file name, uploaded again after mode changes.
#ifndef KORVALEND_TEXTURESERVER_H
#define KORVALEND_TEXTURESERVER_H

class Texture;

class TextureServer {
public:
    static TextureServer* GetInstance();
    // Never null; a file that fails to load gives an empty texture.
    Texture* LoadTexture(const char* filename);
    void ReloadTextures();

    int NumTextures() const { return numTextures; }
    int Capacity() const { return curCapacity; }

private:
    TextureServer();
    void Expand();

    static TextureServer* theServer;
    int numTextures;
    int curCapacity;
    Texture** textures;
};

#endif
