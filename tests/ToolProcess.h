#pragma once
// Runs the built tavro program, on Linux and (under Wine) on Windows, and collects what it did: its exit
// code and everything it wrote to standard output and error.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tavro::testing {

struct ToolRun {
    int exitCode = -1; // -1 when the program did not end normally
    std::string out;   // line ends as "\n" on every platform
    std::string err;
};

// Runs tool with each of arguments as one argument, whatever spaces or quotes it holds, and waits for it
// to end. scratch is a folder for the captured output. Standard output
// goes to standardOutput instead when one is given (a device, say); out is empty then.
ToolRun RunTool(const std::filesystem::path& tool, const std::vector<std::string>& arguments,
                const std::filesystem::path& scratch, const std::filesystem::path& standardOutput = {});

#ifdef TAVRO_TOOL_PATH
// The tavro program of this build.
inline ToolRun RunTool(const std::vector<std::string>& arguments, const std::filesystem::path& scratch) {
    return RunTool(TAVRO_TOOL_PATH, arguments, scratch);
}
#endif

// Expects a refused run: exit code 1 and one line on standard error that holds expected.
inline void ExpectOneLineRefusal(const ToolRun& run, const std::string& expected = "") {
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

// The whole content of a file, empty when it cannot be read.
std::string ReadFileText(const std::filesystem::path& path);
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

// The width and height in a PNG file's header; 0 x 0 when the file is no PNG.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::filesystem::path& path);

} // namespace tavro::testing
