// SPDX-License-Identifier: MIT
// Quick pictures of the whole X screen ($DISPLAY) as binary PPM files, for
// end-to-end tests that must catch a picture lasting half a second (a
// fade): ImageMagick's import takes about that long for one picture of
// 1920x1080, this a few milliseconds through shared memory.
//   grab_screen --until STOP PREFIX
// takes pictures back to back into PREFIX_000.ppm, PREFIX_001.ppm, ...
// until the file STOP exists; a picture the same as the last one is not
// written again (at most 200).
// Exit status 1, with a message, when a picture could not be taken or
// written.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
int Fail(const std::string& what) {
    std::fprintf(stderr, "grab_screen: %s\n", what.c_str());
    return 1;
}

// One channel of a pixel: where its bits lie.
struct Channel {
    int shift = 0;
    unsigned long mask;
    explicit Channel(unsigned long m) : mask(m) {
        while (mask != 0 && (mask & 1) == 0) {
            mask >>= 1;
            ++shift;
        }
    }
    unsigned char Of(unsigned long pixel) const {
        return static_cast<unsigned char>(((pixel >> shift) & mask) * 255 / (mask != 0 ? mask : 1));
    }
};

class Grabber {
public:
    bool Open() {
        display = XOpenDisplay(nullptr);
        if (display == nullptr) return false;
        root = DefaultRootWindow(display);
        XWindowAttributes a;
        XGetWindowAttributes(display, root, &a);
        width = a.width;
        height = a.height;
        if (!XShmQueryExtension(display)) return true;  // each picture through the socket
        image = XShmCreateImage(display, a.visual, unsigned(a.depth), ZPixmap, nullptr, &shm, unsigned(width),
                                unsigned(height));
        if (image == nullptr) return true;
        shm.shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * size_t(height), IPC_CREAT | 0600);
        shm.shmaddr = image->data = shm.shmid < 0 ? nullptr : static_cast<char*>(shmat(shm.shmid, nullptr, 0));
        shm.readOnly = False;
        if (shm.shmaddr == nullptr || !XShmAttach(display, &shm)) {
            XDestroyImage(image);
            image = nullptr;
        }
        XSync(display, False);
        if (shm.shmid >= 0) shmctl(shm.shmid, IPC_RMID, nullptr);  // gone with the last user
        return true;
    }

    // The screen as RGB bytes.
    bool Take(std::vector<unsigned char>& rgb) {
        XImage* picture = image;
        if (image != nullptr) {
            if (!XShmGetImage(display, root, image, 0, 0, AllPlanes)) return false;
        } else {
            picture = XGetImage(display, root, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
            if (picture == nullptr) return false;
        }
        const Channel red(picture->red_mask), green(picture->green_mask), blue(picture->blue_mask);
        rgb.resize(size_t(width) * size_t(height) * 3);
        size_t at = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned long p = XGetPixel(picture, x, y);
                rgb[at++] = red.Of(p);
                rgb[at++] = green.Of(p);
                rgb[at++] = blue.Of(p);
            }
        if (picture != image) XDestroyImage(picture);
        return true;
    }

    bool Write(const std::string& file, const std::vector<unsigned char>& rgb) const {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr) return false;
        std::fprintf(out, "P6\n%d %d\n255\n", width, height);
        const bool written = std::fwrite(rgb.data(), 1, rgb.size(), out) == rgb.size();
        return std::fclose(out) == 0 && written;
    }

private:
    Display* display = nullptr;
    Window root = 0;
    int width = 0, height = 0;
    XImage* image = nullptr;  // the shared one, where the server has shared memory
    XShmSegmentInfo shm{};
};

bool Exists(const char* file) {
    struct stat st;
    return stat(file, &st) == 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], "--until") != 0) return Fail("usage: grab_screen --until STOP PREFIX");
    Grabber grabber;
    if (!grabber.Open()) return Fail("no display");
    std::vector<unsigned char> rgb, last;
    const int MOST = 200;
    for (int n = 0; n < MOST && !Exists(argv[2]);) {
        if (!grabber.Take(rgb)) return Fail("the screen could not be read");
        if (rgb == last) continue;
        char name[16];
        std::snprintf(name, sizeof name, "_%03d.ppm", n++);
        if (!grabber.Write(argv[3] + std::string(name), rgb)) return Fail(std::string("could not write ") + argv[3] + name);
        last.swap(rgb);
    }
    return 0;
}
