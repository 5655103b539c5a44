#pragma once
// Running the built tavro program from a test: its exit code and what it wrote to stdout and stderr.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace tavro::testing {

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    const std::string text = ReadFileText(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// "'path'" for a shell command line; the tests' paths hold no quote.
inline std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// Runs program with arguments (a shell command line), its output captured in files under scratch.
inline ToolResult RunProgram(const std::string& program, const std::string& arguments,
                             const std::filesystem::path& scratch) {
    const std::filesystem::path out = scratch / "stdout.txt";
    const std::filesystem::path err = scratch / "stderr.txt";
    const std::string command = Quoted(program) + " " + arguments + " >" + Quoted(out) + " 2>" + Quoted(err);
    const int status = std::system(command.c_str());
    ToolResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFileText(out);
    result.err = ReadFileText(err);
    return result;
}

#ifdef TAVRO_TOOL_PATH
inline ToolResult RunTool(const std::string& arguments, const std::filesystem::path& scratch) {
    return RunProgram(TAVRO_TOOL_PATH, arguments, scratch);
}
#endif

} // namespace tavro::testing
