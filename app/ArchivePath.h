#pragma once
// The archive pair a user names: a data file ending in ".bin" and its index, the same name ending in
// ".idx". Either may be named; paths are UTF-8 for the user and wide for the file interface.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavro {

// The data file's wide path for a user's path to either file of a pair; nullopt for a path that ends
// in neither ".bin" nor ".idx" (any case).
std::optional<std::wstring> ArchivePathFromUserPath(std::string_view utf8Path);

// The index path beside a data file path (its ".bin" replaced by ".idx").
std::wstring IndexPathOf(const std::wstring& archivePath);

// Both files of the pair exist.
bool ArchiveFilesExist(const std::wstring& archivePath);

std::filesystem::path ToFileSystemPath(const std::wstring& path);
std::string ToUtf8(const std::filesystem::path& path);

} // namespace tavro
