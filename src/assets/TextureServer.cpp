// SPDX-License-Identifier: MIT
#include "assets/TextureServer.h"

#include <cstdlib>
#include <cstring>

#include "shell/MyError.h"
#include "assets/Texture.h"

TextureServer* TextureServer::theServer = nullptr;

TextureServer* TextureServer::GetInstance() {
    if (theServer == nullptr) theServer = new TextureServer();
    return theServer;
}

TextureServer::TextureServer() : numTextures(0), curCapacity(10), textures(new Texture*[10]()) {}

Texture* TextureServer::LoadTexture(const char* filename) {
    if (filename != nullptr) {
        for (int i = 0; i < numTextures; i++) {
            const char* stored = textures[i]->filename;
            if (stored != nullptr && std::strcmp(stored, filename) == 0) return textures[i];
        }
    }

    Texture* texture = new Texture();
    if (filename != nullptr) {
        if (texture->LoadTGA(filename) || texture->LoadBMP(filename))
            error("Successfully loaded texture %s\n", filename);
        else
            error("Error loading %s\n", filename);
    }

    if (numTextures == curCapacity) Expand();
    textures[numTextures++] = texture;
    return texture;
}

void TextureServer::ReloadTextures() {
    for (int i = 0; i < numTextures; i++) textures[i]->LoadIntoOpenGL();
}

void TextureServer::Expand() {
    int newCapacity = curCapacity * 2;
    Texture** grown = new Texture*[newCapacity]();
    for (int i = 0; i < curCapacity; i++) grown[i] = textures[i];
    delete[] textures;
    textures = grown;
    curCapacity = newCapacity;
}
