#pragma once
// What the tool says about an input path that cannot be read as a file: a name that is not UTF-8 (the
// file interface takes UTF-8 names only), or a name that leads to something other than a regular file.
#include <filesystem>
#include <string>
#include <string_view>

namespace tavro::tools {

bool IsValidUtf8(std::string_view text);

// "PATH: the name is not valid UTF-8 ...", one line.
std::string DescribeNonUtf8Name(const std::string& path);

// "is a folder", "is a FIFO (named pipe), not a regular file", and so on.
std::string DescribeNotRegular(std::filesystem::file_type type);

// An empty string when path names a regular file; otherwise one line saying what it is instead (missing
// included), starting with path.
std::string CheckRegularFile(const std::string& path);

} // namespace tavro::tools
