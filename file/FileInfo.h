#pragma once
// The description a disk file carries of itself: the path it was opened with.
#include <memory>
#include <string>

namespace tavro {

class CFileInfo {
public:
    virtual ~CFileInfo() = default;
    // The path as given when the file was opened; never null.
    virtual const wchar_t* GetPath() const = 0;
    // A new, independent copy of this description, owned by the caller.
    virtual std::unique_ptr<CFileInfo> Clone() const = 0;
};

// A description that holds its own copy of the path.
class CFileInfo_Default : public CFileInfo {
public:
    // A null path is kept as the empty string.
    explicit CFileInfo_Default(const wchar_t* path);

    const wchar_t* GetPath() const override { return path.c_str(); }
    std::unique_ptr<CFileInfo> Clone() const override;

private:
    std::wstring path;
};

} // namespace tavro
