#include "tests/ToolProcess.h"

#include <fstream>
#include <sstream>
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <sys/wait.h>
#endif

namespace tavro::testing {
namespace {

#ifdef _WIN32
// One argument as CommandLineToArgvW reads it back: in double quotes, with the backslashes before a
// quote or the closing quote doubled.
std::wstring QuoteArgument(const std::wstring& text) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'"') {
            quoted.append(backslashes + 1, L'\\');
        }
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        quoted += c;
    }
    quoted.append(backslashes, L'\\');
    return quoted + L"\"";
}

HANDLE CreateOutput(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The program is started directly, not through cmd.exe, and waited for: under Wine, a run through
// cmd.exe now and then came back with exit code 0 before the program had written anything.
int RunAndWait(const std::filesystem::path& tool, const std::vector<std::string>& arguments,
               const std::filesystem::path& out, const std::filesystem::path& err) {
    std::wstring line = QuoteArgument(tool.wstring());
    for (const std::string& argument : arguments) {
        line += L" " + QuoteArgument(std::filesystem::u8path(argument).wstring());
    }
    const HANDLE outHandle = CreateOutput(out);
    const HANDLE errHandle = CreateOutput(err);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outHandle;
    startup.hStdError = errHandle;
    PROCESS_INFORMATION process{};
    int exitCode = -1;
    if (outHandle != INVALID_HANDLE_VALUE && errHandle != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) {
            exitCode = static_cast<int>(code);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {outHandle, errHandle}) {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    return exitCode;
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

int RunAndWait(const std::filesystem::path& tool, const std::vector<std::string>& arguments,
               const std::filesystem::path& out, const std::filesystem::path& err) {
    std::string line = Quote(tool.string());
    for (const std::string& argument : arguments) {
        line += " " + Quote(argument);
    }
    line += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    const int status = std::system(line.c_str());
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

std::pair<std::uint32_t, std::uint32_t> PngSize(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> png = ReadFileBytes(path);
    if (png.size() < 24 || std::string(png.begin() + 1, png.begin() + 4) != "PNG") {
        return {0, 0};
    }
    const auto bigEndian = [&png](std::size_t at) {
        return std::uint32_t{png[at]} << 24 | std::uint32_t{png[at + 1]} << 16 |
               std::uint32_t{png[at + 2]} << 8 | png[at + 3];
    };
    return {bigEndian(16), bigEndian(20)};
}

ToolRun RunTool(const std::filesystem::path& tool, const std::vector<std::string>& arguments,
                const std::filesystem::path& scratch, const std::filesystem::path& standardOutput) {
    const std::filesystem::path out = standardOutput.empty() ? scratch / "tool-stdout.txt" : standardOutput;
    const std::filesystem::path err = scratch / "tool-stderr.txt";
    ToolRun run;
    run.exitCode = RunAndWait(tool, arguments, out, err);
    if (standardOutput.empty()) {
        run.out = UnixLineEnds(ReadFileText(out));
    }
    run.err = UnixLineEnds(ReadFileText(err));
    return run;
}

} // namespace tavro::testing
