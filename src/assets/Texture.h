// One image held in memory and uploaded to OpenGL as a mipmapped texture.
#ifndef KORVALEND_TEXTURE_H
#define KORVALEND_TEXTURE_H

class Texture {
public:
    // Binds name 0 when there is no pixel data.
    void Bind();

    unsigned char* data;
    unsigned int bpp;
    unsigned int width;
    unsigned int height;
    char* filename;
    unsigned int ID;

private:
    friend class TextureServer;
    Texture();
    ~Texture();
    bool LoadTGA(const char* filename);
    bool LoadBMP(const char* filename);
    void LoadIntoOpenGL();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
};

#endif
