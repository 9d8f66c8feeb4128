// SPDX-License-Identifier: MIT
// Every generated data file, damaged one way at a time, through the game's
// own loaders: cut short at several offsets, bytes flipped, all zeros, a
// folder in its place. A loader either refuses the file, leaving nothing
// behind, or returns an asset that stays inside its own tables; nothing reads
// past a buffer (the sanitizer build runs this test too).
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "assets/MilkshapeModel.h"
#include "assets/Texture.h"
#include "audio/SoundLibrary.h"
#include "render/Bitmap.h"

namespace {

const std::string kBuild = KORVALEND_BUILD_DIR;

using Bytes = std::vector<unsigned char>;

// The bytes of a file; none for a folder.
Bytes ReadBytes(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    std::ifstream f(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// The generated files, as paths relative to the data folder.
std::vector<std::string> GeneratedFiles() {
    std::vector<std::string> files;
    for (const char* folder : {"Models", "Images", "Sounds", "Music"}) {
        DIR* dir = opendir((kBuild + "/" + folder).c_str());
        if (dir == nullptr) continue;
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name[0] == '.' || name == "list.txt") continue;
            files.push_back(std::string(folder) + "/" + name);
        }
        closedir(dir);
    }
    return files;
}

struct Damage {
    std::string what;
    bool folder = false;  // a folder in the file's place
    Bytes bytes;
};

// The ways one file is damaged. Flips are drawn from a fixed seed, some in
// the header, where sizes and counts live, and some anywhere.
std::vector<Damage> DamagesOf(const Bytes& good, unsigned seed) {
    std::vector<Damage> out;
    const size_t size = good.size();
    for (size_t at : {size_t(0), size_t(1), size_t(12), size_t(18), size_t(44), size_t(60), size / 2, size - 1})
        if (at < size) out.push_back({"cut at " + std::to_string(at), false, Bytes(good.begin(), good.begin() + at)});
    std::mt19937 rng(seed);
    for (int round = 0; round < 6; ++round) {
        Bytes bytes = good;
        size_t span = round < 3 ? std::min<size_t>(size, 64) : size;
        for (int k = 0; k < 8 && span > 0; ++k) bytes[rng() % span] ^= static_cast<unsigned char>(1 + rng() % 255);
        out.push_back({"flipped, round " + std::to_string(round), false, bytes});
    }
    out.push_back({"all zeros", false, Bytes(size, 0)});
    out.push_back({"a folder", true, {}});
    return out;
}

bool EndsWith(const std::string& s, const char* tail) {
    std::string t = tail;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// Loads the file at `path` the way the game does and checks what came back.
void LoadAsTheGameDoes(const std::string& path) {
    if (EndsWith(path, ".ms3d")) {
        // Textures are looked for beside the model, where there are none
        // here, so nothing reaches OpenGL.
        MilkshapeModel model;
        if (!model.LoadModelData(path.c_str())) {
            EXPECT_EQ(model.NumVertices() + model.NumTriangles() + model.NumMeshes() + model.NumMaterials(), 0);
            return;
        }
        for (int i = 0; i < model.NumTriangles(); ++i)
            for (int v : model.GetTriangle(i).m_vertexIndices) ASSERT_TRUE(v >= 0 && v < model.NumVertices());
        for (int i = 0; i < model.NumMeshes(); ++i) {
            const Model::Mesh& mesh = model.GetMesh(i);
            ASSERT_TRUE(mesh.m_materialIndex >= -1 && mesh.m_materialIndex < model.NumMaterials());
            for (int j = 0; j < mesh.m_numTriangles; ++j)
                ASSERT_TRUE(mesh.m_pTriangleIndices[j] >= 0 && mesh.m_pTriangleIndices[j] < model.NumTriangles());
        }
        model.GetRadius();
    } else if (EndsWith(path, ".tga") || EndsWith(path, ".bmp")) {
        // The texture loader: the TGA reader first, SDL's BMP reader after.
        // (The upload that follows needs a window; it reads only what the
        // readers hand it.)
        Bytes bytes = ReadBytes(path);
        unsigned char* pixels = nullptr;
        unsigned int w = 0, h = 0, bpp = 0;
        if (EndsWith(path, ".tga") && Texture::DecodeTGA(bytes.data(), bytes.size(), &pixels, &w, &h, &bpp)) {
            EXPECT_LE(size_t(w) * h * (bpp / 8), bytes.size() - 18);
            delete[] pixels;
            return;
        }
        pixels = LoadBitmap(path.c_str(), &w, &h);
        if (pixels == nullptr) return;
        unsigned long sum = 0;
        for (size_t i = 0; i < size_t(w) * h * 4; ++i) sum += pixels[i];
        (void)sum;
        delete[] pixels;
    } else if (EndsWith(path, ".wav")) {
        FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_NORMAL, 0);
        if (sample == nullptr) return;
        const short* data = SoundLibrary_SampleData(sample);
        long sum = 0;
        for (int i = 0; i < SoundLibrary_SampleFrames(sample) * SoundLibrary_SampleChannels(sample); ++i)
            sum += data[i];
        (void)sum;
        FSOUND_PlaySound(FSOUND_FREE, sample);
        std::vector<short> out(2 * 4096);
        for (int i = 0; i < 8; ++i) SoundLibrary_Mix(out.data(), 4096);
        FSOUND_StopSound(-3);
    } else {
        // A song is decoded as it plays: a few seconds of mixing pull it
        // through the stream.
        FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(path.c_str(), FSOUND_NORMAL, 0);
        if (stream == nullptr) return;
        FSOUND_Stream_Play(FSOUND_FREE, stream);
        std::vector<short> out(2 * 4096);
        for (int i = 0; i < 40; ++i) {
            SoundLibrary_DecodeAhead();
            SoundLibrary_Mix(out.data(), 4096);
        }
        FSOUND_Stream_Stop(stream);
        FSOUND_Stream_Close(stream);
    }
}

class DamagedData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // No device: mixing is done here, and no device thread holds the
        // lock between the many small calls.
        setenv("SDL_AUDIODRIVER", "none", 1);
        FSOUND_Init(65535, 32, 0);
    }
    static void TearDownTestSuite() { FSOUND_Close(); }
};

TEST_F(DamagedData, EveryGeneratedFileDamagedEveryWayLoadsOrIsRefused) {
    std::vector<std::string> files = GeneratedFiles();
    if (files.empty()) GTEST_SKIP() << "no generated data in " << kBuild;
    char tmpl[] = "/tmp/korvalend-damage-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string root = tmpl;
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(root.c_str()), 0);
    for (const char* folder : {"Models", "Images", "Sounds", "Music"}) mkdir(folder, 0755);

    int cases = 0;
    unsigned seed = 1;
    for (const std::string& file : files) {
        Bytes good = ReadBytes(kBuild + "/" + file);
        for (const Damage& damage : DamagesOf(good, seed++)) {
            SCOPED_TRACE(file + ", " + damage.what);
            if (damage.folder) {
                ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
            } else {
                std::ofstream(file, std::ios::binary)
                    .write(reinterpret_cast<const char*>(damage.bytes.data()), std::streamsize(damage.bytes.size()));
            }
            LoadAsTheGameDoes(file);
            ++cases;
            if (damage.folder)
                rmdir(file.c_str());
            else
                std::remove(file.c_str());
            if (HasFatalFailure()) break;
        }
        if (HasFatalFailure()) break;
    }
    // A damaged size field must not make a loader reserve what the file
    // cannot hold (a title picture once asked for 13 GB).
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%zu files, %d damaged copies loaded, peak %ld MB\n", files.size(), cases, usage.ru_maxrss / 1024);
    EXPECT_LT(usage.ru_maxrss, 1024L * 1024) << "kB";
    for (const char* folder : {"Models", "Images", "Sounds", "Music"}) rmdir(folder);
    EXPECT_EQ(chdir(here), 0);
    rmdir(root.c_str());
}

}  // namespace
