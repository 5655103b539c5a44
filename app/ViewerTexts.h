#pragma once
// The words the viewer shows a user.
#include "app/ModelCycler.h"

#include <cstdint>
#include <string>

namespace tavro {

// "Tavro Model Viewer — row 17 · model 165 · texture 166", with why a row cannot be shown or why no
// archive could be used.
std::string CaptionText(const LoadStatus& status, const std::wstring& archivePath);

} // namespace tavro
