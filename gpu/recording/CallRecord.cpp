#include "gpu/recording/CallRecord.h"

#include <cstdio>

namespace tavro::gpu::recording {
namespace {

// Joins pieces by appending only (operator+ chains trip a false overlap warning of g++ 12 at -O3).
template <typename... Pieces>
std::string Cat(const Pieces&... pieces) {
    std::string text;
    (text.append(std::string_view(pieces)), ...);
    return text;
}

// Builds "name=value" lists; floats print with enough digits to read back to the same bits.
class ArgWriter {
public:
    ArgWriter& U(const char* name, std::uint64_t value) { return Add(name, std::to_string(value)); }
    ArgWriter& I(const char* name, std::int64_t value) { return Add(name, std::to_string(value)); }
    ArgWriter& Hex(const char* name, std::uint32_t value) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", value);
        return Add(name, hex);
    }
    ArgWriter& F(const char* name, float value) { return Add(name, Float(value)); }
    ArgWriter& Obj(const char* name, ObjectId id) { return Add(name, Id(id)); }
    ArgWriter& Objs(const char* name, const std::vector<ObjectId>& ids) {
        std::string list;
        for (const ObjectId id : ids)
            list.append(list.empty() ? "" : ",").append(Id(id));
        return Add(name, Cat("[", list, "]"));
    }
    ArgWriter& Uints(const char* name, const std::vector<std::uint32_t>& values) {
        std::string list;
        for (const std::uint32_t value : values)
            list.append(list.empty() ? "" : ",").append(std::to_string(value));
        return Add(name, Cat("[", list, "]"));
    }
    ArgWriter& Floats(const char* name, const float* values, std::size_t count) {
        std::string list;
        for (std::size_t i = 0; i < count; ++i)
            list.append(i == 0 ? "" : ",").append(Float(values[i]));
        return Add(name, Cat("[", list, "]"));
    }
    ArgWriter& Add(const char* name, const std::string& value) {
        text.append(text.empty() ? "" : " ").append(name).append("=").append(value);
        return *this;
    }
    std::string Text() const { return text; }

    static std::string Id(ObjectId id) {
        return id == 0 ? std::string("null") : Cat("#", std::to_string(id));
    }
    static std::string Float(float value) {
        char number[32];
        std::snprintf(number, sizeof number, "%.9g", static_cast<double>(value));
        return number;
    }

private:
    std::string text;
};

template <typename E>
std::uint32_t N(E value) {
    return static_cast<std::uint32_t>(value);
}

std::string Describe(const CreateDeviceAndSwapChainArgs& a) {
    std::vector<std::uint32_t> levels;
    for (const FeatureLevel level : a.featureLevels)
        levels.push_back(N(level));
    ArgWriter w;
    w.U("driverType", N(a.driverType))
        .Hex("flags", a.flags)
        .Uints("featureLevels", levels)
        .U("sdk", a.sdkVersion);
    if (a.hasDesc)
        w.U("width", a.desc.bufferDesc.width)
            .U("height", a.desc.bufferDesc.height)
            .U("format", N(a.desc.bufferDesc.format))
            .U("bufferCount", a.desc.bufferCount)
            .Hex("bufferUsage", a.desc.bufferUsage)
            .U("samples", a.desc.sampleDesc.count)
            .U("windowed", a.desc.windowed);
    return w.Obj("swapChain", a.swapChain).Obj("device", a.device).Obj("context", a.context).Text();
}
std::string Describe(const CreateBufferArgs& a) {
    return ArgWriter()
        .U("byteWidth", a.desc.byteWidth)
        .U("usage", N(a.desc.usage))
        .Hex("bind", a.desc.bindFlags)
        .Hex("cpu", a.desc.cpuAccessFlags)
        .Hex("misc", a.desc.miscFlags)
        .U("stride", a.desc.structureByteStride)
        .U("initialData", a.hasInitialData)
        .Obj("buffer", a.buffer)
        .Text();
}
std::string Describe(const CreateTexture1DArgs& a) {
    return ArgWriter()
        .U("width", a.desc.width)
        .U("mips", a.desc.mipLevels)
        .U("array", a.desc.arraySize)
        .U("format", N(a.desc.format))
        .U("usage", N(a.desc.usage))
        .Hex("bind", a.desc.bindFlags)
        .U("subresources", a.initialData.size())
        .Obj("texture", a.texture)
        .Text();
}
std::string Describe(const CreateTexture2DArgs& a) {
    return ArgWriter()
        .U("width", a.desc.width)
        .U("height", a.desc.height)
        .U("mips", a.desc.mipLevels)
        .U("array", a.desc.arraySize)
        .U("format", N(a.desc.format))
        .U("usage", N(a.desc.usage))
        .Hex("bind", a.desc.bindFlags)
        .Hex("misc", a.desc.miscFlags)
        .U("subresources", a.initialData.size())
        .Obj("texture", a.texture)
        .Text();
}
std::string Describe(const CreateTexture3DArgs& a) {
    return ArgWriter()
        .U("width", a.desc.width)
        .U("height", a.desc.height)
        .U("depth", a.desc.depth)
        .U("mips", a.desc.mipLevels)
        .U("format", N(a.desc.format))
        .U("usage", N(a.desc.usage))
        .Hex("bind", a.desc.bindFlags)
        .U("subresources", a.initialData.size())
        .Obj("texture", a.texture)
        .Text();
}
std::string Describe(const CreateShaderResourceViewArgs& a) {
    ArgWriter w;
    w.Obj("resource", a.resource);
    if (a.hasDesc)
        w.U("format", N(a.desc.format))
            .U("dimension", N(a.desc.viewDimension))
            .U("mostDetailedMip", a.desc.texture2DArray.mostDetailedMip)
            .U("mipLevels", a.desc.texture2DArray.mipLevels)
            .U("first", a.desc.texture2DArray.firstArraySlice)
            .U("count", a.desc.texture2DArray.arraySize);
    return w.Obj("view", a.view).Text();
}
std::string Describe(const CreateRenderTargetViewArgs& a) {
    ArgWriter w;
    w.Obj("resource", a.resource);
    if (a.hasDesc)
        w.U("format", N(a.desc.format)).U("dimension", N(a.desc.viewDimension));
    return w.Obj("view", a.view).Text();
}
std::string Describe(const CreateDepthStencilViewArgs& a) {
    ArgWriter w;
    w.Obj("resource", a.resource);
    if (a.hasDesc)
        w.U("format", N(a.desc.format))
            .U("dimension", N(a.desc.viewDimension))
            .Hex("flags", a.desc.flags)
            .U("mipSlice", a.desc.texture2D.mipSlice);
    return w.Obj("view", a.view).Text();
}
std::string Describe(const CreateSamplerStateArgs& a) {
    return ArgWriter()
        .Hex("filter", N(a.desc.filter))
        .U("addressU", N(a.desc.addressU))
        .U("addressV", N(a.desc.addressV))
        .U("addressW", N(a.desc.addressW))
        .F("mipLodBias", a.desc.mipLodBias)
        .U("maxAnisotropy", a.desc.maxAnisotropy)
        .U("comparison", N(a.desc.comparisonFunc))
        .Floats("border", a.desc.borderColor, 4)
        .F("minLod", a.desc.minLod)
        .F("maxLod", a.desc.maxLod)
        .Obj("sampler", a.sampler)
        .Text();
}
std::string Describe(const CreateVertexShaderArgs& a) {
    return ArgWriter().U("length", a.bytecode.size()).Obj("shader", a.shader).Text();
}
std::string Describe(const CreatePixelShaderArgs& a) {
    return ArgWriter().U("length", a.bytecode.size()).Obj("shader", a.shader).Text();
}
std::string Describe(const CreateInputLayoutArgs& a) {
    std::string list;
    for (const InputElement& e : a.elements)
        list.append(Cat(list.empty() ? "" : ",", e.semanticName, std::to_string(e.semanticIndex), ":",
                        std::to_string(N(e.format)), "@", std::to_string(e.inputSlot), "+",
                        std::to_string(e.alignedByteOffset)));
    return ArgWriter()
        .Add("elements", Cat("[", list, "]"))
        .U("length", a.bytecode.size())
        .Obj("layout", a.layout)
        .Text();
}
std::string Describe(const GetFeatureLevelArgs& a) {
    return ArgWriter().Hex("level", N(a.level)).Text();
}
std::string Describe(const GetImmediateContextArgs& a) {
    return ArgWriter().Obj("context", a.context).Text();
}
std::string Describe(const GetBufferArgs& a) {
    return ArgWriter().U("index", a.index).Obj("buffer", a.buffer).Text();
}
std::string Describe(const PresentArgs& a) {
    return ArgWriter().U("syncInterval", a.syncInterval).Hex("flags", a.flags).Text();
}
std::string Describe(const ResizeBuffersArgs& a) {
    return ArgWriter()
        .U("bufferCount", a.bufferCount)
        .U("width", a.width)
        .U("height", a.height)
        .U("newFormat", N(a.newFormat))
        .Hex("flags", a.flags)
        .Obj("buffer", a.buffer)
        .Text();
}
std::string Describe(const ReadPresentedImageArgs&) {
    return {};
}
std::string Describe(const OMSetRenderTargetsArgs& a) {
    return ArgWriter().Objs("renderTargets", a.renderTargets).Obj("depthStencil", a.depthStencil).Text();
}
std::string Describe(const RSSetViewportsArgs& a) {
    std::string list;
    for (const Viewport& v : a.viewports)
        list.append(Cat(list.empty() ? "" : ",", ArgWriter::Float(v.topLeftX), ",",
                        ArgWriter::Float(v.topLeftY), ",", ArgWriter::Float(v.width), "x",
                        ArgWriter::Float(v.height), ",", ArgWriter::Float(v.minDepth), "..",
                        ArgWriter::Float(v.maxDepth)));
    return ArgWriter().Add("viewports", Cat("[", list, "]")).Text();
}
std::string Describe(const IASetInputLayoutArgs& a) {
    return ArgWriter().Obj("layout", a.layout).Text();
}
std::string Describe(const IASetPrimitiveTopologyArgs& a) {
    return ArgWriter().U("topology", N(a.topology)).Text();
}
std::string Describe(const IASetVertexBuffersArgs& a) {
    return ArgWriter()
        .U("startSlot", a.startSlot)
        .Objs("buffers", a.buffers)
        .Uints("strides", a.strides)
        .Uints("offsets", a.offsets)
        .Text();
}
std::string Describe(const IASetIndexBufferArgs& a) {
    return ArgWriter().Obj("buffer", a.buffer).U("format", N(a.format)).U("offset", a.offset).Text();
}
std::string Describe(const VSSetShaderArgs& a) {
    return ArgWriter().Obj("shader", a.shader).Text();
}
std::string Describe(const PSSetShaderArgs& a) {
    return ArgWriter().Obj("shader", a.shader).Text();
}
std::string Describe(const VSSetConstantBuffersArgs& a) {
    return ArgWriter().U("startSlot", a.startSlot).Objs("buffers", a.buffers).Text();
}
std::string Describe(const PSSetShaderResourcesArgs& a) {
    return ArgWriter().U("startSlot", a.startSlot).Objs("views", a.views).Text();
}
std::string Describe(const CreateRasterizerStateArgs& a) {
    return ArgWriter()
        .U("fillMode", N(a.desc.fillMode))
        .U("cullMode", N(a.desc.cullMode))
        .U("frontCounterClockwise", a.desc.frontCounterClockwise ? 1 : 0)
        .Obj("state", a.state)
        .Text();
}
std::string Describe(const RSSetStateArgs& a) {
    return ArgWriter().Obj("state", a.state).Text();
}
std::string Describe(const PSSetSamplersArgs& a) {
    return ArgWriter().U("startSlot", a.startSlot).Objs("samplers", a.samplers).Text();
}
std::string Describe(const ClearRenderTargetViewArgs& a) {
    return ArgWriter().Obj("view", a.view).Floats("color", a.color.data(), 4).Text();
}
std::string Describe(const ClearDepthStencilViewArgs& a) {
    return ArgWriter()
        .Obj("view", a.view)
        .Hex("flags", a.clearFlags)
        .F("depth", a.depth)
        .U("stencil", a.stencil)
        .Text();
}
std::string Describe(const UpdateSubresourceArgs& a) {
    ArgWriter w;
    w.Obj("resource", a.resource).U("subresource", a.subresource);
    if (a.hasBox)
        w.Add("box", Cat("[", std::to_string(a.box.left), ",", std::to_string(a.box.right), ")"));
    return w.U("bytes", a.bytes.size()).U("rowPitch", a.srcRowPitch).U("depthPitch", a.srcDepthPitch).Text();
}
std::string Describe(const DrawIndexedArgs& a) {
    return ArgWriter()
        .U("indexCount", a.indexCount)
        .U("startIndex", a.startIndex)
        .I("baseVertex", a.baseVertex)
        .Text();
}
std::string Describe(const AddRefArgs& a) {
    return ArgWriter().U("count", a.count).Text();
}
std::string Describe(const ReleaseArgs& a) {
    return ArgWriter().U("count", a.count).Text();
}

} // namespace

std::string_view CallRecord::Name() const {
    return std::visit([](const auto& a) { return std::decay_t<decltype(a)>::kName; }, args);
}

std::string CallRecord::ToString() const {
    std::string line = Cat(ArgWriter::Id(target), " ", Name(), "(",
                           std::visit([](const auto& a) { return Describe(a); }, args), ")");
    if (Failed(result)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<std::uint32_t>(result));
        line.append(" -> ").append(code);
        if (reason != nullptr)
            line.append(" (").append(reason).append(")");
    } else if (result == kS_FALSE) {
        line += " -> S_FALSE";
    }
    return line;
}

} // namespace tavro::gpu::recording
