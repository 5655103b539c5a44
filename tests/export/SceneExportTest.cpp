// Exported scenes read back by an independent glTF reader (assimp): triangles and their winding, world
// positions in glTF's frame, texture coordinates, texture pixels and the skeleton's nodes.
#include "export/ModelExport.h"
#include "export/TextureImage.h"

#include "authoring/G1MWriter.h"
#include "authoring/G1TWriter.h"
#include "file/MemoryFile.h"
#include "model/G1MModel.h"
#include "tests/TempDirectory.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <string>

namespace tavro {
namespace {

using authoring::MakeG1MBone;
using authoring::MakeG1MSubmesh;

constexpr float kHalfRoot2 = 0.70710677f;

CG1MVertex Vertex(float x, float y, float z) {
    // Normals lean on every axis and texture coordinates differ per vertex, so a mix-up shows.
    return {{x, y, z}, {0.6f, 0.0f, 0.8f}, {x * 0.25f + 0.125f, y * 0.5f - 0.25f}};
}

// Three bones: a root turned a quarter about y, scaled 2 and moved; a child turned a quarter about x;
// and a grandchild scaled unevenly after a turn, which glTF cannot hold exactly. Submesh 0 hangs on
// bone 1 under a G1MM matrix that moves it along z; submesh 1 on bone 0; submesh 2 names a joint map
// the model does not have. Buffer 0's strip has a cut after an odd run, and a run starting with a
// repeated index.
authoring::G1MModelDescription ThreeBoneModel(std::uint32_t stride0, std::uint32_t stride1) {
    authoring::G1MModelDescription model;
    model.bones = {MakeG1MBone(-1, {1, 2, 3}, {0, kHalfRoot2, 0, kHalfRoot2}, {2, 2, 2}),
                   MakeG1MBone(0, {0, 1, 0}, {kHalfRoot2, 0, 0, kHalfRoot2}),
                   MakeG1MBone(1, {0, 0, 1}, {0, 0, 0.38268343f, 0.92387953f}, {1, 2, 3})};
    model.matrices = {MatrixIdentity(), MatrixTranslation(0, 0, 5)};
    const std::vector<CG1MVertex> first = {Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 1, 0),
                                           Vertex(1, 1, 0), Vertex(0, 2, 0), Vertex(2, 0, 1),
                                           Vertex(3, 0, 1), Vertex(2, 1, 1), Vertex(3, 1, 2)};
    const std::vector<CG1MVertex> second = {Vertex(0, 0, 0), Vertex(0, 1, 0), Vertex(1, 0, 0),
                                            Vertex(1, 1, 1)};
    model.vertexBuffers = {authoring::MakeG1MVertexBuffer(stride0, first),
                           authoring::MakeG1MVertexBuffer(stride1, second)};
    model.jointMaps = {{{1, 0, 1}}, {{0, 0, 0}}};
    model.indexBuffers = {{0, 1, 2, 3, 4, 0xFFFF, 5, 6, 7, 0xFFFF, 8, 8, 5, 6}, {0, 1, 2, 3}};
    model.submeshes = {MakeG1MSubmesh(0, 0, 0, 14), MakeG1MSubmesh(1, 1, 0, 4), MakeG1MSubmesh(0, 9, 0, 3)};
    return model;
}

// The triangles the viewer draws for the two index buffers (strip order, k counted from each cut), as
// glTF must hold them: each one's corners in reverse order.
const std::vector<std::array<std::uint16_t, 3>> kFirstTriangles = {
    {2, 1, 0}, {3, 1, 2}, {4, 3, 2}, {7, 6, 5}, {6, 8, 5}};
const std::vector<std::array<std::uint16_t, 3>> kSecondTriangles = {{2, 1, 0}, {3, 1, 2}};

// p * matrix (row vector, w = 1), then x mirrored.
std::array<float, 3> GltfPosition(const CG1MVertex& vertex, const Matrix4& m) {
    std::array<float, 3> world;
    for (int c = 0; c < 3; ++c) {
        world[c] = vertex.position[0] * m.At(0, c) + vertex.position[1] * m.At(1, c) +
                   vertex.position[2] * m.At(2, c) + m.At(3, c);
    }
    return {-world[0], world[1], world[2]};
}

std::vector<std::uint8_t> SolidQuarterTexture(std::uint8_t format) {
    std::vector<std::uint8_t> rgba(8 * 8 * 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        const std::size_t pixel = i / 4;
        const bool left = pixel % 8 < 4, top = pixel / 8 < 4;
        rgba[i] = left ? 255 : 0;
        rgba[i + 1] = top ? 255 : 0;
        rgba[i + 2] = left && top ? 0 : 255;
        rgba[i + 3] = 255;
    }
    authoring::G1TTexture texture;
    EXPECT_TRUE(authoring::MakeG1TTexture(format, rgba, 8, 8, texture));
    return authoring::WriteG1T(std::span(&texture, 1));
}

struct Export {
    GltfFiles files;
    std::vector<std::string> warnings;
};

Export ExportScene(const std::vector<std::uint8_t>& model, const std::vector<std::uint8_t>* texture,
                   GltfForm form = GltfForm::Binary, const std::string& stem = "scene") {
    Export result;
    const ExportInput modelInput{"model.g1m", model};
    const ExportInput textureInput{"texture.g1t", texture != nullptr ? *texture : model};
    std::string error;
    EXPECT_TRUE(ExportModelScene(modelInput, texture != nullptr ? &textureInput : nullptr, form, stem,
                                 result.files, result.warnings, error))
        << error;
    return result;
}

const aiNode* FindNode(const aiNode* node, const std::string& name) {
    if (name == node->mName.C_Str()) {
        return node;
    }
    for (unsigned i = 0; i < node->mNumChildren; ++i) {
        if (const aiNode* found = FindNode(node->mChildren[i], name)) {
            return found;
        }
    }
    return nullptr;
}

void ExpectPrimitive(const aiMesh& mesh, const CG1MModel& model, const CG1MDrawItem& item,
                     const std::vector<std::array<std::uint16_t, 3>>& triangles) {
    ASSERT_EQ(mesh.mNumFaces, triangles.size());
    ASSERT_TRUE(mesh.HasNormals());
    ASSERT_TRUE(mesh.HasTextureCoords(0));
    const auto vertices = model.ViewVertices();
    for (std::size_t f = 0; f < triangles.size(); ++f) {
        ASSERT_EQ(mesh.mFaces[f].mNumIndices, 3u);
        for (int corner = 0; corner < 3; ++corner) {
            const unsigned read = mesh.mFaces[f].mIndices[corner];
            const CG1MVertex& source = vertices[item.baseVertex + triangles[f][corner]];
            const std::array<float, 3> expected = GltfPosition(source, item.matrix);
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(mesh.mVertices[read][c], expected[c], 1e-5)
                    << "face " << f << " corner " << corner;
            }
            // The reader puts v = 0 at the image's bottom; glTF and the viewer put it at the top.
            EXPECT_FLOAT_EQ(mesh.mTextureCoords[0][read].x, source.texCoord[0]);
            EXPECT_NEAR(mesh.mTextureCoords[0][read].y, 1 - source.texCoord[1], 1e-6);
            EXPECT_NEAR(mesh.mNormals[read].Length(), 1, 1e-5);
        }
    }
}

TEST(SceneExport, TrianglesPositionsAndTexCoordsReadBackAsTheViewerPlacesThem) {
    for (const auto& [stride0, stride1] : {std::pair{48u, 108u}, {36u, 40u}, {44u, 52u}}) {
        SCOPED_TRACE(stride0);
        const std::vector<std::uint8_t> bytes = authoring::WriteG1M(ThreeBoneModel(stride0, stride1));
        CG1MModel model;
        CReadOnlyMemoryFile file(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
        ASSERT_TRUE(model.Load(file));
        const std::vector<CG1MDrawItem> items = model.BuildDrawItems();
        ASSERT_EQ(items.size(), 2u);

        const Export exported = ExportScene(bytes, nullptr);
        Assimp::Importer importer;
        const aiScene* scene =
            importer.ReadFileFromMemory(exported.files.scene.data(), exported.files.scene.size(), 0, "glb");
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        ASSERT_EQ(scene->mNumMeshes, 2u);
        ExpectPrimitive(*scene->mMeshes[0], model, items[0], kFirstTriangles);
        ExpectPrimitive(*scene->mMeshes[1], model, items[1], kSecondTriangles);
        // Only the vertices the triangles use are written.
        EXPECT_EQ(scene->mMeshes[0]->mNumVertices, 9u);
        EXPECT_EQ(scene->mMeshes[1]->mNumVertices, 4u);
    }
}

TEST(SceneExport, SkeletonNodesCarryEachBoneInGltfsFrame) {
    const authoring::G1MModelDescription description = ThreeBoneModel(48, 48);
    const Export exported = ExportScene(authoring::WriteG1M(description), nullptr);
    Assimp::Importer importer;
    const aiScene* scene =
        importer.ReadFileFromMemory(exported.files.scene.data(), exported.files.scene.size(), 0, "glb");
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    const aiNode* skeleton = FindNode(scene->mRootNode, "skeleton");
    ASSERT_NE(skeleton, nullptr);
    ASSERT_EQ(skeleton->mNumChildren, 1u);
    const aiNode* bones[3] = {skeleton->mChildren[0], nullptr, nullptr};
    for (int b = 0; b < 2; ++b) {
        ASSERT_EQ(bones[b]->mNumChildren, 1u);
        bones[b + 1] = bones[b]->mChildren[0];
    }
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(std::string(bones[b]->mName.C_Str()), "bone " + std::to_string(b));
    }
    // Bones 0 and 1 are exact: their node matrix is the bone's rotation, scale and translation with x
    // mirrored on both sides, transposed into the column-vector form the reader gives.
    for (int b = 0; b < 2; ++b) {
        const CG1MBone& bone = description.bones[b];
        const Matrix4 local =
            MatrixMultiply(MatrixMultiply(MatrixRotationQuaternion(bone.rotation[0], bone.rotation[1],
                                                                   bone.rotation[2], bone.rotation[3]),
                                          MatrixScaling(bone.scale[0], bone.scale[1], bone.scale[2])),
                           MatrixTranslation(bone.position[0], bone.position[1], bone.position[2]));
        const float mirror[4] = {-1, 1, 1, 1};
        const aiMatrix4x4& read = bones[b]->mTransformation;
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                EXPECT_NEAR(read[c][r], local.At(r, c) * mirror[r] * mirror[c], 1e-5)
                    << "bone " << b << " (" << r << ", " << c << ")";
            }
        }
    }
    ASSERT_EQ(exported.warnings.size(), 2u);
    EXPECT_EQ(exported.warnings[0].rfind("1 of 3 submeshes left out", 0), 0u) << exported.warnings[0];
    EXPECT_EQ(exported.warnings[1].rfind("1 bones' transforms written as the nearest", 0), 0u)
        << exported.warnings[1];
}

TEST(SceneExport, EveryTextureFormatReadsBackAsTheDecodedPixels) {
    const std::vector<std::uint8_t> model = authoring::WriteG1M(ThreeBoneModel(48, 48));
    for (const std::uint8_t format :
         {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3, g1t::kFormatDXT5}) {
        SCOPED_TRACE(static_cast<int>(format));
        const std::vector<std::uint8_t> pack = SolidQuarterTexture(format);
        TextureImage decoded;
        std::string error;
        ASSERT_TRUE(DecodeTextureImage(pack, {}, decoded, error)) << error;

        const Export exported = ExportScene(model, &pack);
        Assimp::Importer importer;
        const aiScene* scene =
            importer.ReadFileFromMemory(exported.files.scene.data(), exported.files.scene.size(), 0, "glb");
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        ASSERT_EQ(scene->mNumTextures, 1u);
        const aiTexture& texture = *scene->mTextures[0];
        ASSERT_EQ(texture.mHeight, 0u); // compressed: mWidth bytes of PNG
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels =
            stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(texture.pcData),
                                  static_cast<int>(texture.mWidth), &width, &height, &channels, 4);
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(width, 8);
        EXPECT_EQ(height, 8);
        EXPECT_TRUE(std::equal(decoded.rgba.begin(), decoded.rgba.end(), pixels));
        stbi_image_free(pixels);
    }
}

TEST(SceneExport, JsonFormNamesItsBufferAndImageBesideIt) {
    const std::vector<std::uint8_t> model = authoring::WriteG1M(ThreeBoneModel(48, 48));
    const std::vector<std::uint8_t> pack = SolidQuarterTexture(g1t::kFormatDXT5);
    const Export exported = ExportScene(model, &pack, GltfForm::Json, "row");
    ASSERT_FALSE(exported.files.buffer.empty());
    ASSERT_FALSE(exported.files.image.empty());
    testing::TempDirectory folder;
    const std::pair<const char*, const std::vector<std::uint8_t>*> files[] = {
        {"row.gltf", &exported.files.scene},
        {"row.bin", &exported.files.buffer},
        {"row.png", &exported.files.image}};
    for (const auto& [name, bytes] : files) {
        std::ofstream(folder.path / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile((folder.path / "row.gltf").string(), 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_EQ(scene->mNumMeshes, 2u);
    EXPECT_EQ(scene->mMeshes[0]->mNumFaces, kFirstTriangles.size());
    aiString texturePath;
    ASSERT_EQ(scene->mMaterials[0]->GetTexture(aiTextureType_DIFFUSE, 0, &texturePath), aiReturn_SUCCESS);
    EXPECT_STREQ(texturePath.C_Str(), "row.png");

    // Names are written as URI references, so a space is percent-encoded.
    const Export spaced = ExportScene(model, &pack, GltfForm::Json, "my row");
    const auto document = nlohmann::json::parse(spaced.files.scene);
    EXPECT_EQ(document["buffers"][0]["uri"], "my%20row.bin");
    EXPECT_EQ(document["images"][0]["uri"], "my%20row.png");
}

TEST(SceneExport, BadInputsAreRefusedNamingTheInput) {
    const std::vector<std::uint8_t> model = authoring::WriteG1M(ThreeBoneModel(48, 48));
    const std::vector<std::uint8_t> cut(model.begin(), model.end() - 1);
    authoring::G1MModelDescription notFinite = ThreeBoneModel(48, 48);
    notFinite.matrices[1].At(3, 0) = std::numeric_limits<float>::infinity();
    const std::vector<std::uint8_t> infinite = authoring::WriteG1M(notFinite);
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 't', 'e', 'x'};
    struct Case {
        const std::vector<std::uint8_t>& model;
        const std::vector<std::uint8_t>* texture;
        const char* message;
    };
    const Case cases[] = {
        {cut, nullptr, "model.g1m: not a G1M model that can be read (bad header, chunk or geometry)"},
        {model, &text, "texture.g1t: neither a G1T texture pack nor a DDS image"},
        {infinite, nullptr, "model.g1m: a vertex position is not a finite number in world space"},
    };
    for (const Case& c : cases) {
        const ExportInput modelInput{"model.g1m", c.model};
        const ExportInput textureInput{"texture.g1t", c.texture != nullptr ? *c.texture : c.model};
        GltfFiles files;
        std::vector<std::string> warnings;
        std::string error;
        EXPECT_FALSE(ExportModelScene(modelInput, c.texture != nullptr ? &textureInput : nullptr,
                                      GltfForm::Binary, "scene", files, warnings, error));
        EXPECT_EQ(error, c.message);
        EXPECT_TRUE(files.scene.empty());
    }
}

} // namespace
} // namespace tavro
