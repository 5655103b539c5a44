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
#endif

} // namespace

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ToolRun RunTool(const std::filesystem::path& tool, const std::vector<std::string>& arguments,
                const std::filesystem::path& scratch) {
    const std::filesystem::path out = scratch / "tool-stdout.txt";
    const std::filesystem::path err = scratch / "tool-stderr.txt";
    std::string line = Quote(tool.string());
    for (const std::string& argument : arguments) {
        line += " " + Quote(argument);
    }
    line += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    ToolRun run;
    run.exitCode = ExitCodeOf(std::system(WholeLine(line).c_str()));
    run.out = ReadFileText(out);
    run.err = ReadFileText(err);
    return run;
}

} // namespace tavro::testing
