#include "export/GltfWriter.h"

#include <nlohmann/json.hpp>
#include <tiny_gltf.h>

#include <cstring>
#include <new>
#include <sstream>

namespace tavro {
namespace {

constexpr int kTargetArrayBuffer = TINYGLTF_TARGET_ARRAY_BUFFER;
constexpr int kTargetElementArrayBuffer = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;

// Appends bytes to the model's only buffer as a buffer view of its own, starting on a 4-byte boundary
// so that every accessor is aligned to its components; returns the view's index.
int AddBufferView(tinygltf::Model& model, const void* bytes, std::size_t size, int target) {
    std::vector<unsigned char>& data = model.buffers[0].data;
    data.resize((data.size() + 3) / 4 * 4, 0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = size;
    view.target = target;
    const auto* begin = static_cast<const unsigned char*>(bytes);
    data.insert(data.end(), begin, begin + size);
    model.bufferViews.push_back(std::move(view));
    return static_cast<int>(model.bufferViews.size() - 1);
}

template <typename T>
int AddAccessor(tinygltf::Model& model, const std::vector<T>& values, int componentType, int type,
                int componentCount, int target) {
    tinygltf::Accessor accessor;
    accessor.bufferView = AddBufferView(model, values.data(), values.size() * sizeof(T), target);
    accessor.componentType = componentType;
    accessor.type = type;
    accessor.count = values.size() / componentCount;
    model.accessors.push_back(std::move(accessor));
    return static_cast<int>(model.accessors.size() - 1);
}

void AddPrimitive(tinygltf::Model& model, const ScenePrimitive& primitive, tinygltf::Mesh& mesh) {
    tinygltf::Primitive out;
    out.mode = TINYGLTF_MODE_TRIANGLES;
    out.material = 0;
    const int position = AddAccessor(model, primitive.positions, TINYGLTF_COMPONENT_TYPE_FLOAT,
                                     TINYGLTF_TYPE_VEC3, 3, kTargetArrayBuffer);
    // Positions must carry their bounds; they are the exact float values, so readers find them equal.
    model.accessors[position].minValues.assign(primitive.positionMin.begin(), primitive.positionMin.end());
    model.accessors[position].maxValues.assign(primitive.positionMax.begin(), primitive.positionMax.end());
    out.attributes["POSITION"] = position;
    if (!primitive.normals.empty()) {
        out.attributes["NORMAL"] = AddAccessor(model, primitive.normals, TINYGLTF_COMPONENT_TYPE_FLOAT,
                                               TINYGLTF_TYPE_VEC3, 3, kTargetArrayBuffer);
    }
    out.attributes["TEXCOORD_0"] = AddAccessor(model, primitive.texCoords, TINYGLTF_COMPONENT_TYPE_FLOAT,
                                               TINYGLTF_TYPE_VEC2, 2, kTargetArrayBuffer);
    out.indices = AddAccessor(model, primitive.triangles, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT,
                              TINYGLTF_TYPE_SCALAR, 1, kTargetElementArrayBuffer);
    mesh.primitives.push_back(std::move(out));
}

void AddMaterial(tinygltf::Model& model, std::span<const std::uint8_t> png, GltfForm form,
                 const std::string& imageUri) {
    tinygltf::Material material;
    material.name = "model";
    material.pbrMetallicRoughness.metallicFactor = 0;
    material.alphaMode = "OPAQUE";
    material.doubleSided = false;
    if (!png.empty()) {
        tinygltf::Image image;
        if (form == GltfForm::Binary) {
            image.bufferView = AddBufferView(model, png.data(), png.size(), 0);
            image.mimeType = "image/png";
        } else {
            image.uri = imageUri;
        }
        model.images.push_back(std::move(image));
        tinygltf::Sampler sampler;
        sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.wrapS = TINYGLTF_TEXTURE_WRAP_REPEAT;
        sampler.wrapT = TINYGLTF_TEXTURE_WRAP_REPEAT;
        model.samplers.push_back(std::move(sampler));
        tinygltf::Texture texture;
        texture.sampler = 0;
        texture.source = 0;
        model.textures.push_back(std::move(texture));
        material.pbrMetallicRoughness.baseColorTexture.index = 0;
    }
    model.materials.push_back(std::move(material));
}

// Adds the skeleton node and one node per bone; returns the skeleton node's index.
int AddSkeleton(tinygltf::Model& model, std::span<const SceneBone> bones) {
    const int skeleton = static_cast<int>(model.nodes.size());
    const int firstBone = skeleton + 1;
    model.nodes.emplace_back().name = "skeleton";
    for (std::size_t i = 0; i < bones.size(); ++i) {
        tinygltf::Node node;
        node.name = "bone " + std::to_string(i);
        node.translation.assign(bones[i].translation.begin(), bones[i].translation.end());
        node.rotation.assign(bones[i].rotation.begin(), bones[i].rotation.end());
        node.scale.assign(bones[i].scale.begin(), bones[i].scale.end());
        model.nodes.push_back(std::move(node));
    }
    for (std::size_t i = 0; i < bones.size(); ++i) {
        const int parent = bones[i].parent == -1 ? skeleton : firstBone + bones[i].parent;
        model.nodes[parent].children.push_back(firstBone + static_cast<int>(i));
    }
    return skeleton;
}

tinygltf::Model BuildModel(const GltfSceneContent& content, GltfForm form, const std::string& imageUri) {
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "tavro";
    model.buffers.emplace_back();
    tinygltf::Scene scene;
    if (!content.primitives.empty()) {
        tinygltf::Mesh mesh;
        mesh.name = "model";
        for (const ScenePrimitive& primitive : content.primitives) {
            AddPrimitive(model, primitive, mesh);
        }
        AddMaterial(model, content.texturePng, form, imageUri);
        model.meshes.push_back(std::move(mesh));
        tinygltf::Node node;
        node.name = "model";
        node.mesh = 0;
        model.nodes.push_back(std::move(node));
        scene.nodes.push_back(0);
    }
    if (!content.bones.empty()) {
        scene.nodes.push_back(AddSkeleton(model, content.bones));
    }
    model.scenes.push_back(std::move(scene));
    model.defaultScene = 0;
    // A buffer padded to whole words, as the binary container stores it.
    model.buffers[0].data.resize((model.buffers[0].data.size() + 3) / 4 * 4, 0);
    if (model.buffers[0].data.empty()) {
        model.buffers.clear();
    }
    return model;
}

std::vector<std::uint8_t> ToBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace

bool WriteGltfScene(const GltfSceneContent& content, GltfForm form, const std::string& bufferUri,
                    const std::string& imageUri, GltfFiles& files, std::string& error) {
    files = GltfFiles{};
    try {
        tinygltf::Model model = BuildModel(content, form, imageUri);
        tinygltf::TinyGLTF writer;
        // Images are never re-encoded by the library: they are PNG bytes already, or files named by URI.
        writer.SetImageWriter(nullptr, nullptr);
        std::ostringstream stream;
        if (!writer.WriteGltfSceneToStream(&model, stream, false, form == GltfForm::Binary)) {
            error = "the glTF library could not write the scene";
            return false;
        }
        if (form == GltfForm::Binary) {
            files.scene = ToBytes(stream.str());
            return true;
        }
        // The library embeds a stream's buffers as data URIs; the .gltf form names its .bin instead.
        nlohmann::json document = nlohmann::json::parse(stream.str());
        if (!model.buffers.empty()) {
            document["buffers"][0]["uri"] = bufferUri;
            files.buffer = std::move(model.buffers[0].data);
        }
        files.scene = ToBytes(document.dump(2) + "\n");
        if (!model.images.empty()) {
            files.image.assign(content.texturePng.begin(), content.texturePng.end());
        }
        return true;
    } catch (const std::bad_alloc&) {
        files = GltfFiles{};
        error = "not enough memory to write the glTF scene";
        return false;
    } catch (const nlohmann::json::exception& exception) {
        files = GltfFiles{};
        error =
            std::string("the glTF library wrote a document that cannot be read back: ") + exception.what();
        return false;
    }
}

} // namespace tavro
