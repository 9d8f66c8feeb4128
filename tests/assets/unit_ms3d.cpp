// SPDX-License-Identifier: MIT
// The MS3D reader on files built in memory; nothing here needs OpenGL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include "Ms3dBuilder.h"
#include "TestSupport.h"
#include "assets/MilkshapeModel.h"

namespace {

// A small valid model: a square of two triangles in one textured group, a
// third triangle in a group without material.
Ms3dBuilder SquareModel() {
    Ms3dBuilder b;
    b.AddVertex(0, 0, 0, 1);
    b.AddVertex(1, 0, 0, 2);
    b.AddVertex(1, 1, 0, -1);
    b.AddVertex(0, 1, 0, 3);
    b.AddTriangle(0, 1, 2);
    b.AddTriangle(0, 2, 3, 0.5f);
    b.AddTriangle(1, 2, 3, 1.0f);
    b.AddGroup({0, 1}, 0);
    b.AddGroup({2}, -1);
    b.AddMaterial("skin.tga");
    return b;
}

// Parses from a heap copy of exactly the file's size, so that a read past
// the end is caught by the address sanitizer.
bool Parse(MilkshapeModel& model, const std::vector<uint8_t>& bytes, const char* dir = "") {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes.size() > 0 ? bytes.size() : 1]);
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    return model.LoadFromBuffer(copy.get(), long(bytes.size()), dir);
}

void ExpectEmpty(const MilkshapeModel& model) {
    EXPECT_EQ(model.NumVertices(), 0);
    EXPECT_EQ(model.NumTriangles(), 0);
    EXPECT_EQ(model.NumMeshes(), 0);
    EXPECT_EQ(model.NumMaterials(), 0);
}

TEST(Ms3dReader, ReadsEveryStoredField) {
    MilkshapeModel model;
    ASSERT_TRUE(Parse(model, SquareModel().Build()));

    ASSERT_EQ(model.NumVertices(), 4);
    EXPECT_FLOAT_EQ(model.GetVertex(2).m_location[0], 1);
    EXPECT_FLOAT_EQ(model.GetVertex(2).m_location[1], 1);
    EXPECT_FLOAT_EQ(model.GetVertex(3).m_location[1], 1);
    EXPECT_EQ(model.GetVertex(1).m_boneID, 2);
    EXPECT_EQ(model.GetVertex(2).m_boneID, char(-1));

    ASSERT_EQ(model.NumTriangles(), 3);
    const Model::Triangle& t = model.GetTriangle(1);
    EXPECT_EQ(t.m_vertexIndices[0], 0);
    EXPECT_EQ(t.m_vertexIndices[1], 2);
    EXPECT_EQ(t.m_vertexIndices[2], 3);
    EXPECT_FLOAT_EQ(t.m_vertexNormals[2][2], 1);
    EXPECT_FLOAT_EQ(t.m_s[0], 0.1f);
    EXPECT_FLOAT_EQ(t.m_s[2], 0.3f);

    ASSERT_EQ(model.NumMeshes(), 2);
    EXPECT_EQ(model.GetMesh(0).m_materialIndex, 0);
    ASSERT_EQ(model.GetMesh(0).m_numTriangles, 2);
    EXPECT_EQ(model.GetMesh(0).m_pTriangleIndices[1], 1);
    EXPECT_EQ(model.GetMesh(1).m_materialIndex, -1);
    ASSERT_EQ(model.GetMesh(1).m_numTriangles, 1);
    EXPECT_EQ(model.GetMesh(1).m_pTriangleIndices[0], 2);

    ASSERT_EQ(model.NumMaterials(), 1);
    const Model::Material& m = model.GetMaterial(0);
    EXPECT_FLOAT_EQ(m.m_ambient[0], 0.1f);
    EXPECT_FLOAT_EQ(m.m_diffuse[3], 3.2f);
    EXPECT_FLOAT_EQ(m.m_specular[1], 1.3f);
    EXPECT_FLOAT_EQ(m.m_emissive[2], 2.4f);
    EXPECT_FLOAT_EQ(m.m_shininess, 12.5f);
    EXPECT_STREQ(m.m_pTextureFilename, "skin.tga");
    // Only LoadModelData asks the texture server.
    EXPECT_EQ(m.m_pTexture, nullptr);
}

TEST(Ms3dReader, TextureCoordinateTIsFlipped) {
    MilkshapeModel model;
    ASSERT_TRUE(Parse(model, SquareModel().Build()));
    EXPECT_FLOAT_EQ(model.GetTriangle(0).m_t[0], 0.75f);
    EXPECT_FLOAT_EQ(model.GetTriangle(1).m_t[1], 0.5f);
    EXPECT_FLOAT_EQ(model.GetTriangle(2).m_t[2], 0.0f);
}

TEST(Ms3dReader, OnlyVersionsThreeAndFourAreRead) {
    for (int version : {2, 5, 0, -1, 1000}) {
        Ms3dBuilder b = SquareModel();
        b.version = version;
        MilkshapeModel model;
        EXPECT_FALSE(Parse(model, b.Build())) << "version " << version;
        ExpectEmpty(model);
    }

    Ms3dBuilder three = SquareModel();
    three.version = 3;
    std::vector<uint8_t> file3 = three.Build();
    std::vector<uint8_t> file4 = SquareModel().Build();
    MilkshapeModel a, b;
    ASSERT_TRUE(Parse(a, file3));
    ASSERT_TRUE(Parse(b, file4));
    ASSERT_EQ(a.NumTriangles(), b.NumTriangles());
    for (int i = 0; i < a.NumTriangles(); i++)
        EXPECT_EQ(0, std::memcmp(&a.GetTriangle(i), &b.GetTriangle(i), sizeof(Model::Triangle)));
    EXPECT_EQ(a.NumMeshes(), b.NumMeshes());
    EXPECT_STREQ(a.GetMaterial(0).m_pTextureFilename, b.GetMaterial(0).m_pTextureFilename);
}

TEST(Ms3dReader, WrongIdentifierIsRefused) {
    for (const char* id : {"MS3D000001", "ms3d000000", "XXXXXXXXXX"}) {
        Ms3dBuilder b = SquareModel();
        b.identifier = id;
        MilkshapeModel model;
        EXPECT_FALSE(Parse(model, b.Build())) << id;
        ExpectEmpty(model);
    }
}

TEST(Ms3dReader, TextureNamesGetTheModelsDirectory) {
    MilkshapeModel withDir, bare;
    ASSERT_TRUE(Parse(withDir, SquareModel().Build(), "Models/"));
    EXPECT_STREQ(withDir.GetMaterial(0).m_pTextureFilename, "Models/skin.tga");
    ASSERT_TRUE(Parse(bare, SquareModel().Build(), ""));
    EXPECT_STREQ(bare.GetMaterial(0).m_pTextureFilename, "skin.tga");

    // An empty name field means no texture at all, whatever the directory.
    Ms3dBuilder b = SquareModel();
    b.materials[0].texture = "";
    MilkshapeModel none;
    ASSERT_TRUE(Parse(none, b.Build(), "Models/"));
    EXPECT_EQ(none.GetMaterial(0).m_pTextureFilename, nullptr);
}

TEST(Ms3dReader, UnterminatedTextureNameStopsAtItsField) {
    Ms3dBuilder b = SquareModel();
    b.materials[0].texture = std::string(128, 'a');
    b.materials[0].alphaMap = "ALPHA";
    MilkshapeModel model;
    ASSERT_TRUE(Parse(model, b.Build(), "d/"));
    EXPECT_EQ(std::string(model.GetMaterial(0).m_pTextureFilename), "d/" + std::string(128, 'a'));
}

TEST(Ms3dReader, BadMaterialIndexesMeanNoMaterial) {
    Ms3dBuilder b = SquareModel();
    b.groups[0].material = 1;  // only material 0 exists
    b.groups[1].material = -7;
    b.AddGroup({0}, 0);
    MilkshapeModel model;
    ASSERT_TRUE(Parse(model, b.Build()));
    ASSERT_EQ(model.NumMeshes(), 3);
    EXPECT_EQ(model.GetMesh(0).m_materialIndex, -1);
    EXPECT_EQ(model.GetMesh(1).m_materialIndex, -1);
    EXPECT_EQ(model.GetMesh(2).m_materialIndex, 0);

    // With no materials at all every group is without one.
    Ms3dBuilder bare = SquareModel();
    bare.materials.clear();
    MilkshapeModel noMaterials;
    ASSERT_TRUE(Parse(noMaterials, bare.Build()));
    EXPECT_EQ(noMaterials.NumMaterials(), 0);
    EXPECT_EQ(noMaterials.GetMesh(0).m_materialIndex, -1);
}

TEST(Ms3dReader, OutOfRangeIndexesAreDropped) {
    Ms3dBuilder b = SquareModel();
    b.AddTriangle(0, 1, 4);  // 3: vertex 4 does not exist
    b.AddTriangle(3, 2, 1);  // 4: fine, becomes triangle 3 once 3 is gone
    b.groups[0].triangles = {0, 3, 9, 4, 1, 65535};
    MilkshapeModel model;
    ASSERT_TRUE(Parse(model, b.Build()));

    ASSERT_EQ(model.NumTriangles(), 4);
    for (int i = 0; i < model.NumTriangles(); i++)
        for (int k = 0; k < 3; k++) {
            EXPECT_GE(model.GetTriangle(i).m_vertexIndices[k], 0);
            EXPECT_LT(model.GetTriangle(i).m_vertexIndices[k], model.NumVertices());
        }
    EXPECT_EQ(model.GetTriangle(3).m_vertexIndices[0], 3);
    EXPECT_EQ(model.GetTriangle(3).m_vertexIndices[2], 1);

    const Model::Mesh& mesh = model.GetMesh(0);
    ASSERT_EQ(mesh.m_numTriangles, 3);
    EXPECT_EQ(mesh.m_pTriangleIndices[0], 0);
    EXPECT_EQ(mesh.m_pTriangleIndices[1], 3);
    EXPECT_EQ(mesh.m_pTriangleIndices[2], 1);
}

TEST(Ms3dReader, TruncatedFilesAreRefusedAtEveryLength) {
    Ms3dBuilder b = SquareModel();
    b.AddMaterial("");
    std::vector<uint8_t> full = b.Build();
    for (size_t length = 0; length < full.size(); length++) {
        std::vector<uint8_t> prefix(full.begin(), full.begin() + length);
        MilkshapeModel model;
        EXPECT_FALSE(Parse(model, prefix)) << "length " << length << " of " << full.size();
        ExpectEmpty(model);
    }
    MilkshapeModel model;
    EXPECT_TRUE(Parse(model, full));

    // What follows the materials (animation, joints) is not read.
    b.trailer = {1, 2, 3, 4, 5, 6, 7};
    MilkshapeModel withTrailer;
    EXPECT_TRUE(Parse(withTrailer, b.Build()));
    EXPECT_EQ(withTrailer.NumMaterials(), 2);
}

TEST(Ms3dReader, CountsTheFileCannotHoldAreRefused) {
    struct Case {
        const char* what;
        int Ms3dBuilder::*field;
    } cases[] = {
        {"vertices", &Ms3dBuilder::claimedVertices},
        {"triangles", &Ms3dBuilder::claimedTriangles},
        {"groups", &Ms3dBuilder::claimedGroups},
        {"materials", &Ms3dBuilder::claimedMaterials},
    };
    for (const Case& c : cases) {
        Ms3dBuilder b = SquareModel();
        b.*(c.field) = 65535;
        MilkshapeModel model;
        EXPECT_FALSE(Parse(model, b.Build())) << c.what;
        ExpectEmpty(model);
    }

    // A group claiming more triangle indices than the file holds.
    Ms3dBuilder b = SquareModel();
    b.materials.clear();
    std::vector<uint8_t> file = b.Build();
    // The last group's count sits 2 (material count) + 1 (material) +
    // 2 (one index) + 2 (the count) bytes from the end.
    file[file.size() - 7] = 0xFF;
    file[file.size() - 6] = 0xFF;
    MilkshapeModel model;
    EXPECT_FALSE(Parse(model, file));
    ExpectEmpty(model);
}

TEST(Ms3dReader, EmptyTablesAreValid) {
    Ms3dBuilder b;
    MilkshapeModel model;
    ASSERT_TRUE(Parse(model, b.Build()));
    ExpectEmpty(model);
    EXPECT_FLOAT_EQ(model.GetRadius(), 0);
}

TEST(Ms3dReader, ReloadingReplacesAndAFailureKeepsNothing) {
    MilkshapeModel model;
    ASSERT_TRUE(Parse(model, SquareModel().Build()));
    EXPECT_FLOAT_EQ(model.GetRadius(), std::sqrt(2.0f));

    Ms3dBuilder other;
    other.AddVertex(0, 0, 7);
    ASSERT_TRUE(Parse(model, other.Build()));
    EXPECT_EQ(model.NumVertices(), 1);
    EXPECT_EQ(model.NumMaterials(), 0);
    EXPECT_FLOAT_EQ(model.GetRadius(), 7);

    Ms3dBuilder bad = SquareModel();
    bad.version = 5;
    EXPECT_FALSE(Parse(model, bad.Build()));
    ExpectEmpty(model);
}

TEST(ModelRadius, IsTheFarthestVertexDistance) {
    Ms3dBuilder b;
    b.AddVertex(1, 1, 1);
    b.AddVertex(3, 4, 0);
    b.AddVertex(-2, 0, 2);
    MilkshapeModel model;
    ASSERT_TRUE(Parse(model, b.Build()));
    EXPECT_FLOAT_EQ(model.GetRadius(), 5.0f);
    EXPECT_FLOAT_EQ(model.GetRadius(), 5.0f);

    Ms3dBuilder origin;
    origin.AddVertex(0, 0, 0);
    origin.AddVertex(0, 0, 0);
    MilkshapeModel atOrigin;
    ASSERT_TRUE(Parse(atOrigin, origin.Build()));
    EXPECT_FLOAT_EQ(atOrigin.GetRadius(), 0.0f);
}

// LoadModelData itself: the directory comes from the file name. The
// textures do not exist, so nothing is uploaded and no OpenGL is needed.
class Ms3dFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempFolder("korvalend_ms3d");
        ASSERT_FALSE(dir.empty());
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        oldCwd = cwd;
    }
    void TearDown() override {
        if (!oldCwd.empty()) {
            EXPECT_EQ(chdir(oldCwd.c_str()), 0);
        }
        RemoveTree(dir);
        EXPECT_NE(access(dir.c_str(), F_OK), 0);
    }
    void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
    }
    std::string dir, oldCwd;
};

TEST_F(Ms3dFile, LoadModelDataTakesTheDirectoryFromTheFileName) {
    Write(dir + "/Ship.ms3d", SquareModel().Build());
    MilkshapeModel model;
    testing::internal::CaptureStderr();
    bool loaded = model.LoadModelData((dir + "/Ship.ms3d").c_str());
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(std::string(model.GetMaterial(0).m_pTextureFilename), dir + "/skin.tga");
    // The texture was asked for under that path; it is missing, so the
    // material holds an empty texture.
    EXPECT_NE(err.find("Error loading " + dir + "/skin.tga\n"), std::string::npos) << err;
    ASSERT_NE(model.GetMaterial(0).m_pTexture, nullptr);

    ASSERT_EQ(chdir(dir.c_str()), 0);
    MilkshapeModel bare;
    testing::internal::CaptureStderr();
    loaded = bare.LoadModelData("Ship.ms3d");
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(loaded);
    EXPECT_STREQ(bare.GetMaterial(0).m_pTextureFilename, "skin.tga");
}

TEST_F(Ms3dFile, MissingOrBadFilesFailWithoutAMessage) {
    Ms3dBuilder v2 = SquareModel();
    v2.version = 2;
    Write(dir + "/old.ms3d", v2.Build());
    MilkshapeModel model;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(model.LoadModelData((dir + "/absent.ms3d").c_str()));
    EXPECT_FALSE(model.LoadModelData((dir + "/old.ms3d").c_str()));
    EXPECT_FALSE(model.LoadModelData(dir.c_str()));  // a directory
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ExpectEmpty(model);
}

}  // namespace
