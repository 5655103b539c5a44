#include "app/ArchivePath.h"

#include "file/WidePath.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace tavro {
namespace {

constexpr std::size_t kExtensionLength = 4;

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

bool Exists(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(ToFileSystemPath(path), error);
}

} // namespace

std::optional<std::wstring> ArchivePathFromUserPath(std::string_view utf8Path) {
    if (utf8Path.size() <= kExtensionLength) {
        return std::nullopt;
    }
    if (EndsWithIgnoringCase(utf8Path, ".bin")) {
        return Utf8ToWide(utf8Path);
    }
    if (EndsWithIgnoringCase(utf8Path, ".idx")) {
        std::string data(utf8Path.substr(0, utf8Path.size() - kExtensionLength));
        data += ".bin";
        return Utf8ToWide(data);
    }
    return std::nullopt;
}

std::wstring IndexPathOf(const std::wstring& archivePath) {
    const std::size_t stem =
        archivePath.size() >= kExtensionLength ? archivePath.size() - kExtensionLength : 0;
    return archivePath.substr(0, stem) + L".idx";
}

bool ArchiveFilesExist(const std::wstring& archivePath) {
    return Exists(archivePath) && Exists(IndexPathOf(archivePath));
}

std::filesystem::path ToFileSystemPath(const std::wstring& path) {
    const std::string utf8 = WideToUtf8(path);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

} // namespace tavro
