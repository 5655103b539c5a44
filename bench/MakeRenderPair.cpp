// make-render-pair DIR: the work of the render comparison, written twice. DIR/LINKDATA1.bin (.idx) holds
// at schedule row 0 a 100,000-triangle sphere (200 bands of 250 columns, one triangle strip per band)
// with a 1024 x 1024 DXT1 texture; DIR/sphere.glb holds the same triangles, as a list, with the same
// image as a PNG, for a general-purpose viewer to draw at the same size.
#include "app/ModelSchedule.h"
#include "authoring/ArchiveWriter.h"
#include "authoring/G1MWriter.h"
#include "authoring/G1TWriter.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tavro;

constexpr std::uint32_t kBands = 200;
constexpr std::uint32_t kColumns = 250;
constexpr std::uint32_t kTextureSize = 1024;

// Band b's vertices: two per column, the lower edge first, so that the strip's triangles face outward.
std::vector<CG1MVertex> BandVertices(std::uint32_t band) {
    std::vector<CG1MVertex> vertices;
    for (std::uint32_t column = 0; column <= kColumns; ++column) {
        const float u = static_cast<float>(column) / kColumns;
        for (const std::uint32_t edge : {band + 1, band}) {
            const float v = static_cast<float>(edge) / kBands;
            const float theta = 3.14159265f * v;
            const float phi = 6.2831853f * u;
            const float n[3] = {std::sin(theta) * std::cos(phi), std::cos(theta),
                                std::sin(theta) * std::sin(phi)};
            vertices.push_back({{n[0], 1 + n[1], n[2]}, {n[0], n[1], n[2]}, {u, v}});
        }
    }
    return vertices;
}

std::vector<std::uint8_t> CheckerImage() {
    std::vector<std::uint8_t> rgba(std::size_t{kTextureSize} * kTextureSize * 4);
    for (std::uint32_t y = 0; y < kTextureSize; ++y) {
        for (std::uint32_t x = 0; x < kTextureSize; ++x) {
            const bool dark = ((x / 64) + (y / 64)) % 2 == 1;
            std::uint8_t* pixel = &rgba[(std::size_t{y} * kTextureSize + x) * 4];
            pixel[0] = dark ? 40 : 230;
            pixel[1] = dark ? 90 : 180;
            pixel[2] = static_cast<std::uint8_t>(x / 4);
            pixel[3] = 255;
        }
    }
    return rgba;
}

std::vector<std::uint8_t> SphereG1M() {
    authoring::G1MModelDescription description;
    description.boundsMin = {-1, 0, -1};
    description.boundsMax = {1, 2, 1};
    description.matrices.push_back(MatrixIdentity());
    description.jointMaps.push_back({});
    for (std::uint32_t band = 0; band < kBands; ++band) {
        std::vector<std::uint16_t> strip;
        for (std::uint16_t index = 0; index < 2 * (kColumns + 1); ++index) {
            strip.push_back(index);
        }
        description.vertexBuffers.push_back(authoring::MakeG1MVertexBuffer(48, BandVertices(band)));
        description.indexBuffers.push_back(std::move(strip));
        description.submeshes.push_back(authoring::MakeG1MSubmesh(band, 0, 0, 2 * (kColumns + 1)));
    }
    return authoring::WriteG1M(description);
}

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
}

template <typename T>
void Append(std::vector<std::uint8_t>& out, const T* values, std::size_t count) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(values);
    out.insert(out.end(), bytes, bytes + count * sizeof(T));
}

// The sphere as one glTF 2.0 binary: positions, normals, texture coordinates, a triangle list and the
// PNG, in one buffer.
std::vector<std::uint8_t> SphereGlb(const std::vector<std::uint8_t>& rgba) {
    std::vector<float> positions, normals, uvs;
    std::vector<std::uint32_t> triangles;
    for (std::uint32_t band = 0; band < kBands; ++band) {
        const auto base = static_cast<std::uint32_t>(positions.size() / 3);
        for (const CG1MVertex& vertex : BandVertices(band)) {
            positions.insert(positions.end(), vertex.position, vertex.position + 3);
            normals.insert(normals.end(), vertex.normal, vertex.normal + 3);
            uvs.insert(uvs.end(), vertex.texCoord, vertex.texCoord + 2);
        }
        // The strip's triangles in the order a strip draws them (odd ones with the first two swapped).
        for (std::uint32_t i = 0; i + 2 < 2 * (kColumns + 1); ++i) {
            const std::uint32_t a = i % 2 == 0 ? i : i + 1, b = i % 2 == 0 ? i + 1 : i;
            triangles.insert(triangles.end(), {base + a, base + b, base + i + 2});
        }
    }
    std::vector<std::uint8_t> png;
    stbi_write_png_to_func(AppendBytes, &png, kTextureSize, kTextureSize, 4, rgba.data(), kTextureSize * 4);
    std::vector<std::uint8_t> bin;
    Append(bin, positions.data(), positions.size());
    Append(bin, normals.data(), normals.size());
    Append(bin, uvs.data(), uvs.size());
    Append(bin, triangles.data(), triangles.size());
    const std::size_t pngOffset = bin.size();
    bin.insert(bin.end(), png.begin(), png.end());
    while (bin.size() % 4 != 0) {
        bin.push_back(0);
    }
    const std::size_t vertexCount = positions.size() / 3;
    const std::size_t p = 0, n = p + positions.size() * 4, t = n + normals.size() * 4, i = t + uvs.size() * 4;
    const auto view = [](std::size_t offset, std::size_t length) {
        return "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
               ",\"byteLength\":" + std::to_string(length) + "}";
    };
    std::string json =
        "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"mesh\":0}],"
        "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0,\"NORMAL\":1,\"TEXCOORD_0\":2},"
        "\"indices\":3,\"material\":0}]}],"
        "\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0},\"metallicFactor\":0}}]"
        ","
        "\"textures\":[{\"source\":0}],\"images\":[{\"bufferView\":4,\"mimeType\":\"image/png\"}],"
        "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":" +
        std::to_string(vertexCount) +
        ",\"type\":\"VEC3\",\"min\":[-1,0,-1],\"max\":[1,2,1]},"
        "{\"bufferView\":1,\"componentType\":5126,\"count\":" +
        std::to_string(vertexCount) +
        ",\"type\":\"VEC3\"},{\"bufferView\":2,\"componentType\":5126,\"count\":" +
        std::to_string(vertexCount) +
        ",\"type\":\"VEC2\"},{\"bufferView\":3,\"componentType\":5125,\"count\":" +
        std::to_string(triangles.size()) + ",\"type\":\"SCALAR\"}],\"bufferViews\":[" + view(p, n - p) + "," +
        view(n, t - n) + "," + view(t, i - t) + "," + view(i, pngOffset - i) + "," +
        view(pngOffset, png.size()) + "],\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]}";
    while (json.size() % 4 != 0) {
        json.push_back(' ');
    }
    std::vector<std::uint8_t> glb;
    const auto word = [&glb](std::uint32_t value) { Append(glb, &value, 1); };
    word(0x46546C67); // "glTF"
    word(2);
    word(static_cast<std::uint32_t>(12 + 8 + json.size() + 8 + bin.size()));
    word(static_cast<std::uint32_t>(json.size()));
    word(0x4E4F534A); // "JSON"
    Append(glb, json.data(), json.size());
    word(static_cast<std::uint32_t>(bin.size()));
    word(0x004E4942); // "BIN"
    glb.insert(glb.end(), bin.begin(), bin.end());
    return glb;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-render-pair DIR\n");
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    const std::vector<std::uint8_t> rgba = CheckerImage();
    authoring::G1TTexture texture;
    authoring::MakeG1TTexture(g1t::kFormatDXT1, rgba, kTextureSize, kTextureSize, texture);
    const std::vector<std::uint8_t> g1t = authoring::WriteG1T(std::span(&texture, 1));
    const std::vector<std::uint8_t> g1m = SphereG1M();

    const ModelScheduleRow& row = ModelSchedule()[0];
    authoring::CArchiveWriter writer;
    bool written = writer.Create(directory / "LINKDATA1.bin");
    for (std::uint32_t entry = 0; written && entry < 4251; ++entry) {
        written = entry == row.modelEntry     ? writer.AddStored(g1m)
                  : entry == row.textureEntry ? writer.AddStored(g1t)
                                              : writer.AddEmpty();
    }
    if (!written || !writer.Finish() || !WriteFile(directory / "sphere.glb", SphereGlb(rgba))) {
        std::fprintf(stderr, "make-render-pair: %s\n", writer.GetError().c_str());
        return 1;
    }
    return 0;
}
