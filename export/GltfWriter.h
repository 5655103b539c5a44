#pragma once
// Writing an exported scene as glTF 2.0: one mesh with a primitive per draw item sharing one material,
// the bones as nodes under a node named "skeleton", and the texture as the material's base colour.
#include "export/SceneGeometry.h"
#include "export/SceneSkeleton.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavro {

enum class GltfForm {
    Binary, // one .glb file holding everything
    Json,   // a .gltf file naming a .bin buffer and a .png image beside it
};

// The bytes of the files of one export. buffer and image are filled in the JSON form only (image only
// with a texture); in the binary form scene holds everything.
struct GltfFiles {
    std::vector<std::uint8_t> scene;
    std::vector<std::uint8_t> buffer;
    std::vector<std::uint8_t> image;
};

struct GltfSceneContent {
    std::span<const ScenePrimitive> primitives;
    std::span<const SceneBone> bones;
    std::span<const std::uint8_t> texturePng; // empty for a material without texture
};

// Serialises the scene. In the JSON form the .gltf file refers to its buffer and image by the names
// bufferUri and imageUri, which the caller writes beside it. The material is opaque, single-sided and
// not metallic; the texture is sampled with linear filtering and repeat, as the viewer samples it.
// False with error set to one line when the library refuses or memory runs out.
bool WriteGltfScene(const GltfSceneContent& content, GltfForm form, const std::string& bufferUri,
                    const std::string& imageUri, GltfFiles& files, std::string& error);

} // namespace tavro
