#include "tests/ToolProcess.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace tavro::testing {
namespace {

#ifdef _WIN32
// cmd.exe: double quotes around each argument, and one more pair around the whole line, which cmd.exe
// strips when it sees a quote first.
std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}
std::string WholeLine(const std::string& line) {
    return "\"" + line + "\"";
}
int ExitCodeOf(int status) {
    return status;
}
// The C runtime writes text streams with "\r\n"; the tests compare the lines, not their ends.
std::string UnixLineEnds(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            lines += text[i];
        }
    }
    return lines;
}
#else
// sh: single quotes, with each single quote inside written as '\''.
std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}
std::string WholeLine(const std::string& line) {
    return line;
}
int ExitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
std::string UnixLineEnds(const std::string& text) {
    return text;
}
#endif

} // namespace

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    const std::string text = ReadFileText(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

ToolRun RunTool(const std::filesystem::path& tool, const std::vector<std::string>& arguments,
                const std::filesystem::path& scratch, const std::filesystem::path& standardOutput) {
    const std::filesystem::path out = standardOutput.empty() ? scratch / "tool-stdout.txt" : standardOutput;
    const std::filesystem::path err = scratch / "tool-stderr.txt";
    std::string line = Quote(tool.string());
    for (const std::string& argument : arguments) {
        line += " " + Quote(argument);
    }
    line += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    ToolRun run;
    run.exitCode = ExitCodeOf(std::system(WholeLine(line).c_str()));
    if (standardOutput.empty()) {
        run.out = UnixLineEnds(ReadFileText(out));
    }
    run.err = UnixLineEnds(ReadFileText(err));
    return run;
}

} // namespace tavro::testing
