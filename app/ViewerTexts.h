#pragma once
// The words the viewer shows a user: the caption, the information and key help overlays, and what the
// window says when there is nothing to show.
#include "app/ModelCycler.h"
#include "render/ViewOptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

class CRenderModel;

// What the information overlay reports beside the load status.
struct ViewerFacts {
    const LoadStatus* status = nullptr;
    const std::vector<std::string>* modelLines = nullptr; // ModelLines of the current model, or null
    ViewOptions view;
    bool paused = false;
    std::uint32_t loadMs = 0;
    float frameMs = 0.0f; // 0 before any frame was timed
};

// "Tavro Model Viewer — row 17 · model 165 · texture 166", with why a row cannot be shown or why no
// archive could be used.
std::string CaptionText(const LoadStatus& status, const std::wstring& archivePath);

// The current model's counts and texture, which do not change while it is shown.
std::vector<std::string> ModelLines(const CRenderModel& model);

// The information overlay, one line each.
std::vector<std::string> InfoLines(const ViewerFacts& facts);

// The key and mouse help overlay.
std::vector<std::string> HelpLines();

// Why no archive could be used and how to start with one; empty while the archive is usable.
std::vector<std::string> NoArchiveLines(const LoadStatus& status, const std::wstring& archivePath);

} // namespace tavro
