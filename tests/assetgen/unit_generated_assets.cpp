// SPDX-License-Identifier: MIT
// The files the asset generator writes into the build folder, read back
// byte by byte: the exact TGA header the game accepts, image sizes that fit
// the HUD's 1600 x 1200 layout, the title bitmaps, and models laid out as
// the MS3D reader expects, wound outwards, with their textures beside them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

const std::string kBuild = KORVALEND_BUILD_DIR;

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

unsigned U16(const std::vector<uint8_t>& b, size_t at) { return unsigned(b[at]) | (unsigned(b[at + 1]) << 8); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | (uint32_t(U16(b, at + 2)) << 16); }

struct Tga {
    bool ok = false;
    std::string why;
    int w = 0, h = 0, bpp = 0;
    std::vector<uint8_t> px;  // as stored: B, G, R(, A), bottom row first
    // Pixel (x, y) with y counted from the bottom row; channel 0..3 = R, G, B, A.
    int At(int x, int y, int ch) const {
        size_t i = (size_t(y) * size_t(w) + size_t(x)) * size_t(bpp / 8);
        static const int map[4] = {2, 1, 0, 3};
        return px[i + size_t(map[ch])];
    }
};

Tga ReadTga(const std::string& path) {
    Tga t;
    std::vector<uint8_t> b = ReadFile(path);
    const uint8_t head[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (b.size() < 18) {
        t.why = "shorter than a header";
        return t;
    }
    if (std::memcmp(b.data(), head, 12) != 0) {
        t.why = "header differs from the fixed twelve bytes";
        return t;
    }
    t.w = int(U16(b, 12));
    t.h = int(U16(b, 14));
    t.bpp = b[16];
    if (t.w == 0 || t.h == 0 || (t.bpp != 24 && t.bpp != 32)) {
        t.why = "zero size or unsupported depth";
        return t;
    }
    size_t size = size_t(t.w) * size_t(t.h) * size_t(t.bpp / 8);
    if (b.size() != 18 + size) {
        t.why = "pixel data is not exactly width x height x depth";
        return t;
    }
    t.px.assign(b.begin() + 18, b.end());
    t.ok = true;
    return t;
}

const char* kImages[] = {"number_0", "number_1", "number_2", "number_3", "number_4", "number_5", "number_6",
                         "number_7", "number_8", "number_9", "cross_hairs", "score_text", "lives_text",
                         "bonus_text", "wave_text", "shield_text", "wave_complete_text", "next_wave_text",
                         "long_range", "machine_guns", "triple_fire", "lucky_irish", "air_brakes", "shield",
                         "times_2", "times_3", "times_4", "times_5", "cheater_text", "pause_screen", "flare", "hudfont"};

const char* kModels[] = {"Ship", "Asteroid", "Steelroid", "PlayerShot", "ShinobiShot", "Shield",
                         "Prize", "Nova", "Multiplier2", "Multiplier3", "Multiplier4", "Multiplier5",
                         "Bonus", "Homing", "Gravity", "BigShinobi", "SmallShinobi"};

#define REQUIRE_GENERATED(folder)                                                                 \
    if (!Exists(kBuild + "/" folder)) {                                                           \
        GTEST_SKIP() << "no " folder " folder in " << kBuild << " (the asset generator has not run)"; \
    }

TEST(GeneratedImages, EveryTgaHasTheFixedHeaderAndExactlyItsPixels) {
    REQUIRE_GENERATED("Images");
    for (const char* name : kImages) {
        Tga t = ReadTga(kBuild + "/Images/" + name + ".tga");
        EXPECT_TRUE(t.ok) << name << ": " << t.why;
        EXPECT_EQ(t.bpp, 32) << name << " needs alpha to lie over the world";
    }
}

TEST(GeneratedImages, SizesFitTheirPlacesOnTheVirtualScreen) {
    REQUIRE_GENERATED("Images");
    std::map<std::string, Tga> img;
    for (const char* name : kImages) img[name] = ReadTga(kBuild + "/Images/" + name + ".tga");
    for (int d = 0; d <= 9; ++d) {
        const Tga& t = img["number_" + std::to_string(d)];
        EXPECT_LE(t.w, 25) << "digits are drawn 25 units apart";
        EXPECT_LE(1150 + t.h, 1200) << "the score line sits at y 1150";
    }
    for (const char* c : {"score_text", "lives_text", "bonus_text", "wave_text"}) {
        EXPECT_LE(img[c].w, 128) << c << ": its number follows 128 units on";
        EXPECT_LE(1150 + img[c].h, 1200) << c;
    }
    EXPECT_LE(74 + img["shield_text"].w, 210) << "the shield bar starts at x 210";
    for (const char* c : {"long_range", "machine_guns", "triple_fire", "lucky_irish", "air_brakes"})
        EXPECT_LE(img[c].w, 75) << c << ": icons are 75 units apart";
    EXPECT_LE(1525 + img["air_brakes"].w, 1600);
    EXPECT_LE(10 + img["shield"].w, 74) << "the shield caption starts at x 74";
    // Centred pictures: cross hairs and pause panel at the screen's middle,
    // the bonus-screen captions and the cheat notice on x 800.
    EXPECT_EQ(768 + img["cross_hairs"].w / 2, 800);
    EXPECT_EQ(568 + img["cross_hairs"].h / 2, 600);
    EXPECT_EQ(288 + img["pause_screen"].w / 2, 800);
    EXPECT_EQ(88 + img["pause_screen"].h / 2, 600);
    EXPECT_EQ(672 + img["wave_complete_text"].w / 2, 800);
    EXPECT_EQ(544 + img["next_wave_text"].w / 2, 800);
    EXPECT_EQ(672 + img["cheater_text"].w / 2, 800);
    for (int n = 2; n <= 5; ++n) {
        const Tga& t = img["times_" + std::to_string(n)];
        EXPECT_LE(1513 + t.w, 1600);
        EXPECT_LE(1134 + t.h, 1200);
        EXPECT_LE(938 + t.w, 1018) << "the bonus screen's total follows at x 1018";
    }
}

TEST(GeneratedImages, CaptionsAreWhiteInkOnAClearGround) {
    REQUIRE_GENERATED("Images");
    std::vector<std::vector<uint8_t>> digits;
    for (const char* name : kImages) {
        std::string n = name;
        if (n.find("_text") == std::string::npos && n.rfind("number_", 0) != 0 && n != "hudfont") continue;
        Tga t = ReadTga(kBuild + "/Images/" + n + ".tga");
        ASSERT_TRUE(t.ok) << n;
        EXPECT_EQ(t.At(0, 0, 3), 0) << n << ": corner should be transparent";
        EXPECT_EQ(t.At(t.w - 1, t.h - 1, 3), 0) << n;
        int solid = 0, white = 0;
        for (int y = 0; y < t.h; ++y)
            for (int x = 0; x < t.w; ++x)
                if (t.At(x, y, 3) == 255) {
                    ++solid;
                    if (t.At(x, y, 0) >= 240 && t.At(x, y, 1) >= 240 && t.At(x, y, 2) >= 240) ++white;
                }
        EXPECT_GT(solid, 20) << n << " has no opaque ink";
        if (n != "cheater_text") {
            EXPECT_GT(white, solid / 2) << n << ": the HUD tints by multiplying, so ink is white";
        }
        if (n.rfind("number_", 0) == 0) digits.push_back(t.px);
    }
    ASSERT_EQ(digits.size(), 10u);
    for (size_t i = 0; i < digits.size(); ++i)
        for (size_t j = i + 1; j < digits.size(); ++j) EXPECT_NE(digits[i], digits[j]) << "digits " << i << ", " << j;
}

TEST(GeneratedImages, FlareIsWhiteWithAlphaFallingToNothingAtTheRim) {
    REQUIRE_GENERATED("Images");
    Tga t = ReadTga(kBuild + "/Images/flare.tga");
    ASSERT_TRUE(t.ok) << t.why;
    ASSERT_EQ(t.w, t.h);
    int c = t.w / 2;
    EXPECT_GT(t.At(c, c, 3), 200);
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(t.At(c, c, ch), 255);
    EXPECT_EQ(t.At(0, c, 3), 0);
    EXPECT_EQ(t.At(c, 0, 3), 0);
    EXPECT_EQ(t.At(t.w - 1, c, 3), 0);
    EXPECT_EQ(t.At(0, 0, 3), 0);
    for (int x = c + 1; x < t.w; ++x) EXPECT_LE(t.At(x, c, 3), t.At(x - 1, c, 3)) << "alpha rises again at x " << x;
}

struct Bmp {
    bool ok = false;
    int w = 0, h = 0, bpp = 0;
    double mean = 0;
    std::vector<uint8_t> bytes;
};

Bmp ReadBmp(const std::string& path) {
    Bmp r;
    r.bytes = ReadFile(path);
    const std::vector<uint8_t>& b = r.bytes;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return r;
    uint32_t offset = U32(b, 10);
    r.w = int(U32(b, 18));
    r.h = int(int32_t(U32(b, 22)));
    r.bpp = int(U16(b, 28));
    uint32_t compression = U32(b, 30);
    size_t row = (size_t(r.w) * 3 + 3) & ~size_t(3);
    if (compression != 0 || r.bpp != 24 || r.w <= 0 || r.h <= 0 || b.size() < offset + row * size_t(r.h) ||
        U32(b, 2) != b.size())
        return r;
    double sum = 0;
    for (int y = 0; y < r.h; ++y)
        for (size_t x = 0; x < size_t(r.w) * 3; ++x) sum += b[offset + size_t(y) * row + x];
    r.mean = sum / (double(r.w) * r.h * 3);
    r.ok = true;
    return r;
}

TEST(GeneratedImages, TitlePicturesAreFullSizeTwentyFourBitBitmaps) {
    REQUIRE_GENERATED("Images");
    Bmp intro = ReadBmp(kBuild + "/Images/Korvalend_Titles#130.bmp");
    Bmp over = ReadBmp(kBuild + "/Images/Korvalend_Titles#128.bmp");
    for (const Bmp* b : {&intro, &over}) {
        ASSERT_TRUE(b->ok);
        EXPECT_EQ(b->w, 640);
        EXPECT_EQ(b->h, 480);
        EXPECT_GT(b->mean, 10.0) << "a title picture should not be black";
    }
    EXPECT_NE(intro.bytes, over.bytes);
}

// ---------------------------------------------------------------- models

struct V3 {
    double x, y, z;
};
V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 CrossP(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double DotP(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Ms3d {
    bool ok = false;
    std::string why;
    int version = 0;
    std::vector<V3> verts;
    struct Tri {
        unsigned v[3];
        V3 n[3];
    };
    std::vector<Tri> tris;
    struct Group {
        std::vector<unsigned> tris;
        int material;
    };
    std::vector<Group> groups;
    struct Mat {
        float ambient[4], diffuse[4], specular[4], emissive[4], shininess;
        std::string texture;
    };
    std::vector<Mat> mats;
};

// Reads the layout field by field, refusing anything that would read past
// the end or point outside a table.
Ms3d ReadMs3d(const std::string& path) {
    Ms3d m;
    std::vector<uint8_t> b = ReadFile(path);
    size_t p = 0;
    auto need = [&](size_t n) { return p + n <= b.size(); };
    auto f32 = [&]() {
        float f;
        std::memcpy(&f, &b[p], 4);
        p += 4;
        return f;
    };
    if (!need(16) || std::memcmp(b.data(), "MS3D000000", 10) != 0) {
        m.why = "identifier";
        return m;
    }
    m.version = int(int32_t(U32(b, 10)));
    p = 14;
    unsigned nv = U16(b, p);
    p += 2;
    if (!need(size_t(nv) * 15 + 2)) {
        m.why = "vertices";
        return m;
    }
    for (unsigned i = 0; i < nv; ++i) {
        p += 1;
        V3 v;
        v.x = f32();
        v.y = f32();
        v.z = f32();
        p += 2;
        m.verts.push_back(v);
    }
    unsigned nt = U16(b, p);
    p += 2;
    if (!need(size_t(nt) * 70 + 2)) {
        m.why = "triangles";
        return m;
    }
    for (unsigned i = 0; i < nt; ++i) {
        Ms3d::Tri t;
        p += 2;
        for (unsigned& v : t.v) {
            v = U16(b, p);
            p += 2;
            if (v >= nv) {
                m.why = "vertex index";
                return m;
            }
        }
        for (V3& n : t.n) {
            n.x = f32();
            n.y = f32();
            n.z = f32();
        }
        p += 24 + 2;
        m.tris.push_back(t);
    }
    unsigned ng = U16(b, p);
    p += 2;
    for (unsigned g = 0; g < ng; ++g) {
        if (!need(35)) {
            m.why = "group";
            return m;
        }
        p += 33;
        unsigned n = U16(b, p);
        p += 2;
        if (!need(size_t(n) * 2 + 1)) {
            m.why = "group indices";
            return m;
        }
        Ms3d::Group grp;
        for (unsigned k = 0; k < n; ++k) {
            grp.tris.push_back(U16(b, p));
            p += 2;
            if (grp.tris.back() >= nt) {
                m.why = "triangle index";
                return m;
            }
        }
        grp.material = int(int8_t(b[p]));
        p += 1;
        m.groups.push_back(grp);
    }
    if (!need(2)) {
        m.why = "material count";
        return m;
    }
    unsigned nm = U16(b, p);
    p += 2;
    if (!need(size_t(nm) * 361)) {
        m.why = "materials";
        return m;
    }
    for (unsigned i = 0; i < nm; ++i) {
        Ms3d::Mat mat;
        p += 32;
        for (float* arr : {mat.ambient, mat.diffuse, mat.specular, mat.emissive})
            for (int k = 0; k < 4; ++k) arr[k] = f32();
        mat.shininess = f32();
        p += 5;
        const char* name = reinterpret_cast<const char*>(&b[p]);
        mat.texture.assign(name, strnlen(name, 128));
        p += 256;
        m.mats.push_back(mat);
    }
    for (const Ms3d::Group& g : m.groups)
        if (g.material >= int(nm)) {
            m.why = "material index";
            return m;
        }
    m.ok = true;
    return m;
}

TEST(GeneratedModels, EveryModelHasTheLayoutTheGameReads) {
    REQUIRE_GENERATED("Models");
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        Ms3d m = ReadMs3d(kBuild + "/Models/" + name + ".ms3d");
        ASSERT_TRUE(m.ok) << m.why;
        EXPECT_EQ(m.version, 4);
        EXPECT_GE(m.groups.size(), 1u);
        EXPECT_GE(m.mats.size(), 1u);
        // Modest meshes for a software renderer, but more than a token.
        EXPECT_GE(m.tris.size(), 40u);
        EXPECT_LE(m.tris.size(), 1500u);
        // Every triangle drawn exactly once, every group with a material.
        std::vector<int> seen(m.tris.size(), 0);
        for (const Ms3d::Group& g : m.groups) {
            EXPECT_GE(g.material, 0);
            EXPECT_FALSE(g.tris.empty());
            for (unsigned t : g.tris) seen[t]++;
        }
        for (size_t t = 0; t < seen.size(); ++t) ASSERT_EQ(seen[t], 1) << "triangle " << t;
        for (const Ms3d::Tri& t : m.tris)
            for (const V3& n : t.n) ASSERT_NEAR(std::sqrt(DotP(n, n)), 1.0, 1e-3) << "corner normals are unit length";
    }
}

TEST(GeneratedModels, TexturesLieBesideTheModelAndLoad) {
    REQUIRE_GENERATED("Models");
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        Ms3d m = ReadMs3d(kBuild + "/Models/" + name + ".ms3d");
        ASSERT_TRUE(m.ok) << m.why;
        int textured = 0;
        for (const Ms3d::Mat& mat : m.mats) {
            if (mat.texture.empty()) continue;
            ++textured;
            EXPECT_EQ(mat.texture.find('/'), std::string::npos) << "named relative to the model's folder";
            Tga t = ReadTga(kBuild + "/Models/" + mat.texture);
            EXPECT_TRUE(t.ok) << mat.texture << ": " << t.why;
        }
        EXPECT_GE(textured, 1);
    }
}

// The signed volume of a closed mesh wound counter-clockwise from outside is
// positive, and each stored corner normal leans the same way as its face: a
// model turned inside out would vanish under back-face culling.
TEST(GeneratedModels, FacesPointOutwards) {
    REQUIRE_GENERATED("Models");
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        Ms3d m = ReadMs3d(kBuild + "/Models/" + name + ".ms3d");
        ASSERT_TRUE(m.ok) << m.why;
        double volume = 0;
        size_t agree = 0;
        for (const Ms3d::Tri& t : m.tris) {
            V3 a = m.verts[t.v[0]], b = m.verts[t.v[1]], c = m.verts[t.v[2]];
            V3 fn = CrossP(Sub(b, a), Sub(c, a));
            volume += DotP(a, CrossP(b, c)) / 6.0;
            bool ok = true;
            for (const V3& n : t.n) ok = ok && DotP(n, fn) > 0;
            agree += ok ? 1 : 0;
        }
        EXPECT_GT(volume, 0.0);
        EXPECT_GE(double(agree), 0.97 * double(m.tris.size()));
    }
}

double MaxRadius(const Ms3d& m) {
    double r = 0;
    for (const V3& v : m.verts) r = std::max(r, std::sqrt(DotP(v, v)));
    return r;
}

TEST(GeneratedModels, ShipPointsForwardWithItsEnginesBehind) {
    REQUIRE_GENERATED("Models");
    Ms3d m = ReadMs3d(kBuild + "/Models/Ship.ms3d");
    ASSERT_TRUE(m.ok) << m.why;
    // The nose is the frontmost point and lies on the centre line.
    V3 nose{0, 0, -1e9};
    for (const V3& v : m.verts)
        if (v.z > nose.z) nose = v;
    EXPECT_NEAR(nose.x, 0.0, 1e-4);
    // The glowing exhaust (the most emissive material) sits at the back.
    int hottest = 0;
    for (size_t i = 0; i < m.mats.size(); ++i)
        if (m.mats[i].emissive[0] + m.mats[i].emissive[1] > m.mats[size_t(hottest)].emissive[0] + m.mats[size_t(hottest)].emissive[1])
            hottest = int(i);
    double zsum = 0;
    int n = 0;
    for (const Ms3d::Group& g : m.groups) {
        if (g.material != hottest) continue;
        for (unsigned t : g.tris)
            for (unsigned v : m.tris[t].v) {
                zsum += m.verts[v].z;
                ++n;
            }
    }
    ASSERT_GT(n, 0);
    EXPECT_LT(zsum / n, -0.5 * MaxRadius(m));
}

TEST(GeneratedModels, ShieldIsATranslucentBubbleAroundTheOrigin) {
    REQUIRE_GENERATED("Models");
    Ms3d m = ReadMs3d(kBuild + "/Models/Shield.ms3d");
    ASSERT_TRUE(m.ok) << m.why;
    for (const Ms3d::Mat& mat : m.mats) EXPECT_NEAR(mat.diffuse[3], 0.3, 0.05);
    double r = MaxRadius(m);
    for (const V3& v : m.verts) EXPECT_NEAR(std::sqrt(DotP(v, v)), r, 0.02 * r);
}

TEST(GeneratedModels, EveryKindLooksDifferent) {
    REQUIRE_GENERATED("Models");
    std::map<std::vector<uint8_t>, std::string> seen;
    std::map<std::string, std::string> textures;
    for (const char* name : kModels) {
        std::vector<uint8_t> b = ReadFile(kBuild + "/Models/" + name + ".ms3d");
        auto it = seen.find(b);
        EXPECT_TRUE(it == seen.end()) << name << " is the same file as " << (it == seen.end() ? "" : it->second);
        seen[b] = name;
    }
    // The four multipliers share a shape; each must carry its own face.
    std::vector<std::string> faces;
    for (int n = 2; n <= 5; ++n) {
        Ms3d m = ReadMs3d(kBuild + "/Models/Multiplier" + std::to_string(n) + ".ms3d");
        ASSERT_TRUE(m.ok);
        std::string tex;
        for (const Ms3d::Mat& mat : m.mats)
            if (!mat.texture.empty()) tex = mat.texture;
        EXPECT_NE(tex.find(std::to_string(n)), std::string::npos) << tex;
        faces.push_back(tex);
    }
    for (size_t i = 0; i < faces.size(); ++i)
        for (size_t j = i + 1; j < faces.size(); ++j)
            EXPECT_NE(ReadFile(kBuild + "/Models/" + faces[i]), ReadFile(kBuild + "/Models/" + faces[j]));
}

TEST(Generator, OnlyWritesTheNamedFilesExactlyAsTheFullRun) {
    REQUIRE_GENERATED("Models");
    TempDir dir("korvalend_only");
    ASSERT_FALSE(dir.path.empty());
    std::string command = kBuild + "/assetgen '" + dir.path + "' --only Images/flare.tga Prize.ms3d >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(dir.File("Images/flare.tga")), ReadFile(kBuild + "/Images/flare.tga"));
    EXPECT_EQ(ReadFile(dir.File("Models/Prize.ms3d")), ReadFile(kBuild + "/Models/Prize.ms3d"));
    EXPECT_FALSE(Exists(dir.File("Images/shield.tga")));
    EXPECT_FALSE(Exists(dir.File("Models/Ship.ms3d")));
    EXPECT_FALSE(Exists(dir.File("Music/list.txt")));
}

}  // namespace
