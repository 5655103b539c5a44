#pragma once
// Runs the built tavro program as a user's shell would, on Linux and (under Wine) on Windows, and
// collects what it did: its exit code and everything it wrote to standard output and error.
#include <filesystem>
#include <string>
#include <vector>

namespace tavro::testing {

struct ToolRun {
    int exitCode = -1; // -1 when the program did not end normally
    std::string out;
    std::string err;
};

// Runs tool with each of arguments as one argument, whatever spaces or quotes it holds (except double
// quotes on Windows, which no path has). scratch is a folder for the captured output.
ToolRun RunTool(const std::filesystem::path& tool, const std::vector<std::string>& arguments,
                const std::filesystem::path& scratch);

// The whole content of a file, empty when it cannot be read.
std::string ReadFileText(const std::filesystem::path& path);

} // namespace tavro::testing
