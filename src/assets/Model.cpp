// SPDX-License-Identifier: MIT
#include "assets/Model.h"

#include <cmath>
#include <cstdlib>

#include <GL/gl.h>

#include "shell/MyError.h"
#include "assets/Texture.h"
#include "assets/TextureServer.h"

Model::Material::Material() : m_shininess(0), m_pTexture(nullptr), m_pTextureFilename(nullptr) {
    for (int i = 0; i < 4; i++) {
        m_ambient[i] = 0;
        m_diffuse[i] = 0;
        m_specular[i] = 0;
        m_emissive[i] = 0;
    }
}

Model::Material::~Material() {
    delete[] m_pTextureFilename;
}

Model::Model()
    : m_numMeshes(0), m_pMeshes(nullptr), m_numMaterials(0), m_pMaterials(nullptr),
      m_numTriangles(0), m_pTriangles(nullptr), m_numVertices(0), m_pVertices(nullptr),
      m_listID(0), m_radius(0) {}

Model::~Model() {
    if (m_listID != 0) glDeleteLists(m_listID, 1);
    FreeData();
}

void Model::FreeData() {
    for (int i = 0; i < m_numMeshes; i++) delete[] m_pMeshes[i].m_pTriangleIndices;
    delete[] m_pMeshes;
    delete[] m_pMaterials;
    delete[] m_pTriangles;
    delete[] m_pVertices;
    m_numMeshes = 0;
    m_pMeshes = nullptr;
    m_numMaterials = 0;
    m_pMaterials = nullptr;
    m_numTriangles = 0;
    m_pTriangles = nullptr;
    m_numVertices = 0;
    m_pVertices = nullptr;
    m_radius = 0;
}

void Model::Draw() {
    glCallList(m_listID);
}

float Model::GetRadius() {
    if (m_radius == 0) {
        for (int i = 0; i < m_numVertices; i++) {
            const float* p = m_pVertices[i].m_location;
            float squared = p[0] * p[0] + p[1] * p[1] + p[2] * p[2];
            if (squared > m_radius) m_radius = squared;
        }
        m_radius = std::sqrt(m_radius);
    }
    return m_radius;
}

void Model::ReInitialize() {
    if (m_listID != 0) glDeleteLists(m_listID, 1);

    // A texture whose OpenGL name has gone must be uploaded now: an upload
    // issued while the list compiles would be recorded into the list
    // instead of reaching the texture.
    for (int i = 0; i < m_numMaterials; i++) {
        Texture* texture = m_pMaterials[i].m_pTexture;
        if (texture != nullptr && texture->data != nullptr) texture->Bind();
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    m_listID = glGenLists(1);
    if (m_listID == 0) fatal("Could not allocate display list!\n");
    glNewList(m_listID, GL_COMPILE);
    DrawFromData();
    glEndList();
}

void Model::LoadTextures() {
    TextureServer* server = TextureServer::GetInstance();
    for (int i = 0; i < m_numMaterials; i++)
        m_pMaterials[i].m_pTexture = server->LoadTexture(m_pMaterials[i].m_pTextureFilename);
}

void Model::DrawFromData() {
    for (int i = 0; i < m_numMeshes; i++) {
        const Mesh& mesh = m_pMeshes[i];
        const Material* material = nullptr;
        if (mesh.m_materialIndex >= 0 && mesh.m_materialIndex < m_numMaterials)
            material = &m_pMaterials[mesh.m_materialIndex];

        if (material != nullptr) {
            glMaterialfv(GL_FRONT, GL_AMBIENT, material->m_ambient);
            glMaterialfv(GL_FRONT, GL_DIFFUSE, material->m_diffuse);
            glMaterialfv(GL_FRONT, GL_SPECULAR, material->m_specular);
            glMaterialfv(GL_FRONT, GL_EMISSION, material->m_emissive);
            glMaterialf(GL_FRONT, GL_SHININESS, material->m_shininess);
        }

        // An empty texture (its file failed to load) counts as none.
        if (material != nullptr && material->m_pTexture != nullptr &&
            material->m_pTexture->data != nullptr) {
            glEnable(GL_TEXTURE_2D);
            material->m_pTexture->Bind();
        } else {
            glDisable(GL_TEXTURE_2D);
        }

        glBegin(GL_TRIANGLES);
        for (int j = 0; j < mesh.m_numTriangles; j++) {
            const Triangle& triangle = m_pTriangles[mesh.m_pTriangleIndices[j]];
            for (int k = 0; k < 3; k++) {
                glNormal3fv(triangle.m_vertexNormals[k]);
                glTexCoord2f(triangle.m_s[k], triangle.m_t[k]);
                glVertex3fv(m_pVertices[triangle.m_vertexIndices[k]].m_location);
            }
        }
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
}
