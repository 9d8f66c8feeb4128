// SPDX-License-Identifier: MIT
// Models, their display lists and the model server in a real OpenGL context.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <unistd.h>

#include "GlSupport.h"
#include "Ms3dBuilder.h"
#include "TestSupport.h"
#include "assets/MilkshapeModel.h"
#include "assets/ModelServer.h"
#include "assets/Texture.h"

namespace {

const int kSize = 64;

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EnsureWindow(kSize, kSize)); }

    static bool Load(MilkshapeModel& model, const std::string& path, std::string* err = nullptr) {
        testing::internal::CaptureStderr();
        bool ok = model.LoadModelData(path.c_str());
        std::string printed = testing::internal::GetCapturedStderr();
        if (err != nullptr) *err = printed;
        return ok;
    }

    // Draws the model flat-on, unlit and white, over a cleared window.
    static void DrawFlat(Model* model, float halfSize) {
        ClearScreen();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-halfSize, halfSize, -halfSize, halfSize, -10 * halfSize, 10 * halfSize);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glColor4f(1, 1, 1, 1);
        model->Draw();
    }

    static int LitPixels() { return gltest::ReadPicture(GL_NONE).LitPixels(30); }

    // Drawn without error, with texturing left off.
    static void ExpectDrawnUntextured(Model* model, float halfSize) {
        DrawFlat(model, halfSize);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_GT(LitPixels(), 100);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }
};

TEST_F(ModelTest, JeepLoadsAndDrawsUntexturedWhenItsTextureFails) {
    std::string data = TestDataDir();
    if (data.empty()) GTEST_SKIP() << "no ../shared/testdata folder";
    std::string path = data + "/jeep1.ms3d";
    MilkshapeModel jeep;
    std::string err;
    ASSERT_TRUE(Load(jeep, path, &err));
    EXPECT_EQ(jeep.NumVertices(), 1190);
    EXPECT_EQ(jeep.NumTriangles(), 2032);
    EXPECT_EQ(jeep.NumMeshes(), 7);
    ASSERT_EQ(jeep.NumMaterials(), 1);

    // The texture is a Windows path to a JPEG that is not there.
    std::string texture = data + "/.\\jeep1.jpg";
    EXPECT_STREQ(jeep.GetMaterial(0).m_pTextureFilename, texture.c_str());
    EXPECT_NE(err.find("Error loading " + texture + "\n"), std::string::npos) << err;
    ASSERT_NE(jeep.GetMaterial(0).m_pTexture, nullptr);
    EXPECT_EQ(jeep.GetMaterial(0).m_pTexture->data, nullptr);

    jeep.ReInitialize();
    ASSERT_NE(jeep.ListID(), 0u);
    EXPECT_TRUE(glIsList(jeep.ListID()));
    ExpectDrawnUntextured(&jeep, jeep.GetRadius());

    // Its groups carry the material, so drawing sets it.
    GLfloat diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    for (int k = 0; k < 4; k++) EXPECT_FLOAT_EQ(diffuse[k], jeep.GetMaterial(0).m_diffuse[k]);

    // A second build replaces the list.
    unsigned first = jeep.ListID();
    jeep.ReInitialize();
    EXPECT_TRUE(glIsList(jeep.ListID()));
    if (jeep.ListID() != first) {
        EXPECT_FALSE(glIsList(first));
    }
}

TEST_F(ModelTest, GroupsWithoutMaterialDrawUntexturedAndKeepTheCurrentMaterial) {
    std::string data = TestDataDir();
    if (data.empty()) GTEST_SKIP() << "no ../shared/testdata folder";
    MilkshapeModel spheres;
    ASSERT_TRUE(Load(spheres, data + "/twospheres.ms3d"));
    EXPECT_EQ(spheres.NumVertices(), 124);
    EXPECT_EQ(spheres.NumTriangles(), 240);
    ASSERT_EQ(spheres.NumMeshes(), 2);
    EXPECT_EQ(spheres.NumMaterials(), 0);
    EXPECT_EQ(spheres.GetMesh(0).m_materialIndex, -1);
    EXPECT_EQ(spheres.GetMesh(1).m_materialIndex, -1);
    spheres.ReInitialize();

    const GLfloat mine[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, mine);
    // Texturing left on by someone else must not leak into these groups.
    glEnable(GL_TEXTURE_2D);
    ExpectDrawnUntextured(&spheres, spheres.GetRadius());
    GLfloat after[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, after);
    for (int k = 0; k < 4; k++) EXPECT_FLOAT_EQ(after[k], mine[k]);
}

// A triangle covering the window, textured with an 8 x 8 picture whose
// first four stored rows are red and last four green.
class TexturedModelTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        std::vector<uint8_t> pixels;
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++) {
                bool red = y < 4;
                pixels.insert(pixels.end(), {0, uint8_t(red ? 0 : 255), uint8_t(red ? 255 : 0)});
            }
        ASSERT_TRUE(WriteBytes(dir.File("halves.tga"), MakeTga(8, 8, 24, pixels)));
    }

    std::string WriteModel(float storedT, const std::string& texture) {
        Ms3dBuilder b;
        b.AddVertex(-1, -1, 0);
        b.AddVertex(3, -1, 0);
        b.AddVertex(-1, 3, 0);
        b.AddTriangle(0, 1, 2, storedT);
        b.AddGroup({0}, 0);
        Ms3dBuilder::Material& m = b.AddMaterial(texture);
        for (int k = 0; k < 4; k++) m.diffuse[k] = 1;
        std::string path = dir.File("model" + std::to_string(count++) + ".ms3d");
        EXPECT_TRUE(WriteBytes(path, b.Build()));
        return path;
    }

    TempDir dir;
    int count = 0;
};

TEST_F(TexturedModelTest, StoredTRunsTheOtherWayFromTextureRows) {
    // Stored t 0.8 is texture t 0.2: the first stored rows, red.
    MilkshapeModel low, high;
    ASSERT_TRUE(Load(low, WriteModel(0.8f, "halves.tga")));
    ASSERT_TRUE(Load(high, WriteModel(0.2f, "halves.tga")));
    ASSERT_NE(low.GetMaterial(0).m_pTexture->data, nullptr);
    EXPECT_EQ(low.GetMaterial(0).m_pTexture, high.GetMaterial(0).m_pTexture);
    low.ReInitialize();
    high.ReInitialize();

    DrawFlat(&low, 1);
    ExpectColour(ReadPixel(kSize / 2, kSize / 2), 255, 0, 0, 3, "stored t 0.8");
    DrawFlat(&high, 1);
    ExpectColour(ReadPixel(kSize / 2, kSize / 2), 0, 255, 0, 3, "stored t 0.2");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(TexturedModelTest, EmptyOrMissingTextureDrawsUntextured) {
    for (const char* texture : {"", "missing.tga"}) {
        MilkshapeModel model;
        ASSERT_TRUE(Load(model, WriteModel(0.8f, texture))) << texture;
        model.ReInitialize();
        DrawFlat(&model, 1);
        ExpectColour(ReadPixel(kSize / 2, kSize / 2), 255, 255, 255, 3, texture);
    }
}

TEST_F(TexturedModelTest, ListSurvivesTheTextureBeingUploadedAgain) {
    MilkshapeModel model;
    ASSERT_TRUE(Load(model, WriteModel(0.8f, "halves.tga")));
    Texture* t = model.GetMaterial(0).m_pTexture;
    ASSERT_NE(t, nullptr);
    // As after a mode change: the texture's name is gone before the list
    // is built again.
    glDeleteTextures(1, &t->ID);
    testing::internal::CaptureStderr();
    model.ReInitialize();
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(glIsTexture(t->ID));
    DrawFlat(&model, 1);
    ExpectColour(ReadPixel(kSize / 2, kSize / 2), 255, 0, 0, 3, "after re-upload");
}

TEST_F(ModelTest, EveryGeneratedModelLoadsWithItsTextures) {
    if (!DirectoryExists("Models")) GTEST_SKIP() << "no Models/ folder in " << KORVALEND_BUILD_DIR;
    for (int id = 0; id < NUM_MODELS; id++) {
        SCOPED_TRACE(fileNames[id]);
        MilkshapeModel model;
        std::string err;
        ASSERT_TRUE(Load(model, fileNames[id], &err));
        EXPECT_EQ(err.find("Error loading"), std::string::npos) << err;
        EXPECT_GE(model.NumMeshes(), 1);
        EXPECT_GE(model.NumMaterials(), 1);
        EXPECT_GT(model.NumTriangles(), 0);
        for (int i = 0; i < model.NumMaterials(); i++) {
            const Model::Material& m = model.GetMaterial(i);
            if (m.m_pTextureFilename != nullptr) {
                EXPECT_EQ(std::string(m.m_pTextureFilename).rfind("Models/", 0), 0u);
                ASSERT_NE(m.m_pTexture, nullptr);
                EXPECT_NE(m.m_pTexture->data, nullptr) << m.m_pTextureFilename;
            }
        }
        // Normals are unit length.
        for (int i = 0; i < model.NumTriangles(); i++)
            for (int k = 0; k < 3; k++) {
                const float* n = model.GetTriangle(i).m_vertexNormals[k];
                ASSERT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 0.02)
                    << "triangle " << i;
            }
        EXPECT_GT(model.GetRadius(), 0);
        model.ReInitialize();
        DrawFlat(&model, model.GetRadius());
        EXPECT_GT(LitPixels(), 20);
    }
}

// The server is created once per process, so this is its only test. It
// runs in a copy of Models/ with one file taken away.
TEST_F(ModelTest, ServerLoadsTheTableInOrderAndSkipsAMissingFile) {
    if (!DirectoryExists("Models")) GTEST_SKIP() << "no Models/ folder in " << KORVALEND_BUILD_DIR;
    TempDir work;
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(std::system(("cp -r Models '" + work.path + "/'").c_str()), 0);
    ASSERT_EQ(std::remove((work.path + "/Models/Nova.ms3d").c_str()), 0);
    ASSERT_EQ(chdir(work.path.c_str()), 0);
    testing::internal::CaptureStderr();
    ModelServer* server = ModelServer::GetInstance();
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(chdir(cwd), 0);

    size_t at = 0;
    for (int id = 0; id < NUM_MODELS; id++) {
        std::string name = fileNames[id];
        size_t loading = err.find("Loading model " + name + "...\n", at);
        ASSERT_NE(loading, std::string::npos) << name;
        std::string outcome = id == NOVA_MODEL ? "Failed in loading model " : "Succeded in loading model ";
        size_t done = err.find(outcome + name + "\n", loading);
        ASSERT_NE(done, std::string::npos) << name;
        // Nothing of the next model before this one's outcome.
        if (id + 1 < NUM_MODELS) {
            EXPECT_GT(err.find(std::string("Loading model ") + fileNames[id + 1], loading), done);
        }
        at = done;
        if (id == NOVA_MODEL) {
            EXPECT_EQ(server->GetModel(id), nullptr);
        } else {
            ASSERT_NE(server->GetModel(id), nullptr) << name;
            EXPECT_EQ(server->GetModel(id)->ListID(), 0u) << "no list before the first rebuild";
        }
    }
    EXPECT_EQ(err.find("Failed in loading model Models/Ship"), std::string::npos);
    EXPECT_EQ(ModelServer::GetInstance(), server);
    EXPECT_EQ(server->GetModel(SHIP_MODEL), server->GetModel(SHIP_MODEL));

    server->ReInitializeModels();
    for (int id = 0; id < NUM_MODELS; id++) {
        if (id == NOVA_MODEL) continue;
        EXPECT_TRUE(glIsList(server->GetModel(id)->ListID())) << fileNames[id];
    }
    // A second rebuild, as after a mode change, still covers all of them.
    server->ReInitializeModels();
    for (int id = 0; id < NUM_MODELS; id++) {
        if (id == NOVA_MODEL) continue;
        EXPECT_TRUE(glIsList(server->GetModel(id)->ListID())) << fileNames[id];
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
