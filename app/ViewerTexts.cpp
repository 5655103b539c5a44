#include "app/ViewerTexts.h"

#include "app/ArchivePath.h"
#include "app/Resources.h"
#include "model/G1MModel.h"
#include "render/RenderModel.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tavro {
namespace {

std::string Format(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

const char* FormatName(gpu::Format format) {
    switch (static_cast<std::uint32_t>(format)) {
    case 28:
        return "R8G8B8A8";
    case 71:
    case 72:
        return "BC1";
    case 74:
    case 75:
        return "BC2";
    case 77:
    case 78:
        return "BC3";
    case 87:
        return "B8G8R8A8";
    default:
        return nullptr;
    }
}

// Triangles of the drawn strips: each run of n indices between cuts (0xFFFF) gives n − 2.
std::uint64_t StripTriangleCount(const CG1MModel& model) {
    std::uint64_t triangles = 0;
    for (const CG1MDrawItem& item : model.BuildDrawItems()) {
        const auto indices = model.ViewIndices();
        const std::uint64_t end =
            std::min<std::uint64_t>(std::uint64_t{item.startIndex} + item.indexCount, indices.size());
        std::uint64_t run = 0;
        for (std::uint64_t i = item.startIndex; i < end; ++i) {
            if (indices[i] == 0xFFFF) {
                run = 0;
            } else if (++run >= 3) {
                ++triangles;
            }
        }
    }
    return triangles;
}

std::string TextureLine(const CRenderModel& model) {
    gpu::IShaderResourceView* view = model.GetTextureView();
    if (view == nullptr) {
        return "texture: none";
    }
    gpu::ShaderResourceViewDesc viewDesc{};
    view->GetDesc(&viewDesc);
    gpu::IResource* resource = nullptr;
    view->GetResource(&resource);
    std::string size = "";
    if (resource != nullptr) {
        if (resource->GetType() == gpu::ResourceDimension::Texture2D) {
            gpu::Texture2DDesc desc{};
            static_cast<gpu::ITexture2D*>(resource)->GetDesc(&desc);
            size = Format(" %u x %u, %u mip level%s", desc.width, desc.height, desc.mipLevels,
                          desc.mipLevels == 1 ? "" : "s");
        }
        resource->Release();
    }
    const char* name = FormatName(viewDesc.format);
    const std::string format =
        name != nullptr ? name : Format("format %u", static_cast<unsigned>(viewDesc.format));
    return "texture " + format + size;
}

std::string ArchiveFileName(const std::wstring& archivePath) {
    return ToUtf8(ToFileSystemPath(archivePath).filename());
}

std::string ArchiveFolder(const std::wstring& archivePath) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(ToFileSystemPath(archivePath), error);
    return ToUtf8(error ? ToFileSystemPath(archivePath).parent_path() : absolute.parent_path());
}

std::string NoArchiveReason(const LoadStatus& status, const std::wstring& archivePath) {
    const std::string name = ArchiveFileName(archivePath);
    switch (status.outcome) {
    case LoadOutcome::ArchiveMissing:
        return name + " or its index " + ToUtf8(ToFileSystemPath(IndexPathOf(archivePath)).filename()) +
               " is missing";
    case LoadOutcome::ArchiveUnreadable:
        return name + " cannot be read as an archive";
    case LoadOutcome::WrongEntryCount:
        return Format("%s holds %u entries, not %u", name.c_str(), status.entryCount,
                      CModelCycler::kRequiredEntryCount);
    default:
        return {};
    }
}

std::string RowText(std::uint32_t row) {
    const ModelScheduleRow& entries = ModelSchedule()[row % kModelScheduleRowCount];
    return Format("row %u \xC2\xB7 model %u \xC2\xB7 texture %u", row, entries.modelEntry,
                  entries.textureEntry);
}

} // namespace

std::string CaptionText(const LoadStatus& status, const std::wstring& archivePath) {
    const std::string title = std::string(TAVRO_TEXT_APP_TITLE) + " \xE2\x80\x94 ";
    switch (status.outcome) {
    case LoadOutcome::None:
        return TAVRO_TEXT_APP_TITLE;
    case LoadOutcome::Shown:
        return title + RowText(status.row);
    case LoadOutcome::RowNotShown:
        return title + RowText(status.row) + " \xC2\xB7 cannot be shown: " + status.failure;
    default:
        return title + "no archive: " + NoArchiveReason(status, archivePath);
    }
}

std::vector<std::string> ModelLines(const CRenderModel& renderModel) {
    std::vector<std::string> lines;
    if (const CG1MModel* model = renderModel.GetModel()) {
        lines.push_back(Format(
            "%zu vertices \xC2\xB7 %llu triangles \xC2\xB7 %zu submeshes", model->ViewVertices().size(),
            static_cast<unsigned long long>(StripTriangleCount(*model)), model->BuildDrawItems().size()));
    }
    lines.push_back(TextureLine(renderModel));
    return lines;
}

std::vector<std::string> InfoLines(const ViewerFacts& facts) {
    std::vector<std::string> lines;
    const LoadStatus& status = *facts.status;
    if (status.outcome == LoadOutcome::Shown || status.outcome == LoadOutcome::RowNotShown) {
        lines.push_back(RowText(status.row));
    }
    if (status.outcome == LoadOutcome::RowNotShown) {
        lines.push_back("cannot be shown: " + status.failure);
    }
    if (facts.modelLines != nullptr) {
        lines.insert(lines.end(), facts.modelLines->begin(), facts.modelLines->end());
    }
    if (status.outcome != LoadOutcome::None) {
        std::string timing = Format("loaded in %u ms", facts.loadMs);
        if (facts.frameMs > 0.0f) {
            timing += Format(" \xC2\xB7 frame %.1f ms", static_cast<double>(facts.frameMs));
        }
        lines.push_back(timing);
    }
    const ViewOptions& view = facts.view;
    std::string state = facts.paused ? "paused" : "turning";
    constexpr float kDegrees = 57.29578f;
    state += Format(" \xC2\xB7 yaw %.0f\xC2\xB0 pitch %.0f\xC2\xB0 zoom %.2fx",
                    static_cast<double>(view.yawRadians * kDegrees),
                    static_cast<double>(view.pitchRadians * kDegrees), static_cast<double>(view.zoom));
    if (view.lit) {
        state += " \xC2\xB7 lit";
    }
    if (view.wireframe) {
        state += " \xC2\xB7 wireframe";
    }
    lines.push_back(state);
    return lines;
}

std::vector<std::string> HelpLines() {
    return {
        "Space          pause / resume",
        "Right, PgDn    next row",
        "Left, PgUp     previous row",
        "Home, End      row 0, row 331",
        "digits, Enter  go to that row",
        "R              reset the view",
        "W              wireframe",
        "L              headlight shading",
        "I              information",
        "F12            save row-NNN.png beside the archive",
        "F1             this help",
        "drag           orbit (pauses the turn)",
        "wheel          zoom",
        "double-click   reset the view",
        "drop a .bin or .idx file to open it",
    };
}

std::vector<std::string> NoArchiveLines(const LoadStatus& status, const std::wstring& archivePath) {
    const std::string reason = NoArchiveReason(status, archivePath);
    if (reason.empty()) {
        return {};
    }
    return {
        "No archive to show.",
        reason + ",",
        "in " + ArchiveFolder(archivePath) + ".",
        "",
        "Start the viewer with a path: tavro-viewer PATH/TO/ARCHIVE.bin",
        "or drop an archive (.bin or .idx) on this window.",
    };
}

} // namespace tavro
