#include "file/FileInfo.h"

namespace tavro {

CFileInfo_Default::CFileInfo_Default(const wchar_t* pathText) : path(pathText != nullptr ? pathText : L"") {}

std::unique_ptr<CFileInfo> CFileInfo_Default::Clone() const {
    return std::make_unique<CFileInfo_Default>(path.c_str());
}

} // namespace tavro
