// SPDX-License-Identifier: MIT
// A static triangle mesh with materials, drawn through a display list.
#ifndef KORVALEND_MODEL_H
#define KORVALEND_MODEL_H

class Texture;

class Model {
public:
    struct Mesh {
        int m_materialIndex;
        int m_numTriangles;
        int* m_pTriangleIndices;
    };

    struct Material {
        Material();
        ~Material();
        float m_ambient[4];
        float m_diffuse[4];
        float m_specular[4];
        float m_emissive[4];
        float m_shininess;
        Texture* m_pTexture;
        char* m_pTextureFilename;
    };

    struct Triangle {
        float m_vertexNormals[3][3];
        float m_s[3];
        float m_t[3];
        int m_vertexIndices[3];
    };

    struct Vertex {
        char m_boneID;
        float m_location[3];
    };

    Model();
    virtual ~Model();
    virtual bool LoadModelData(const char* filename) = 0;

    void Draw();
    float GetRadius();
    void ReInitialize();

    int NumMeshes() const { return m_numMeshes; }
    int NumMaterials() const { return m_numMaterials; }
    int NumTriangles() const { return m_numTriangles; }
    int NumVertices() const { return m_numVertices; }
    const Mesh& GetMesh(int i) const { return m_pMeshes[i]; }
    const Material& GetMaterial(int i) const { return m_pMaterials[i]; }
    const Triangle& GetTriangle(int i) const { return m_pTriangles[i]; }
    const Vertex& GetVertex(int i) const { return m_pVertices[i]; }
    unsigned int ListID() const { return m_listID; }

protected:
    void LoadTextures();
    void DrawFromData();
    // Frees every array and sets the counts and the radius back to 0.
    void FreeData();

    int m_numMeshes;
    Mesh* m_pMeshes;
    int m_numMaterials;
    Material* m_pMaterials;
    int m_numTriangles;
    Triangle* m_pTriangles;
    int m_numVertices;
    Vertex* m_pVertices;
    unsigned int m_listID;
    float m_radius;

private:
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;
};

#endif
