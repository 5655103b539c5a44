// tavro: the command-line tool for inspecting, extracting, converting and rendering archive contents.
#include "tools/CommandNames.h"
#include "tools/Commands.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__GLIBC__)
#include <unistd.h>
#endif

namespace {

// A command that draws touches tens of megabytes of fresh memory (the software rasterizer's targets,
// the decoded model and texture, the frame read back), and faulting it in 4 KiB pages costs about a
// third of a `tavro render`. glibc backs its allocations with transparent huge pages only when its
// tunable is set as the process starts, so such a command starts itself again once with it set. A
// GLIBC_TUNABLES already set, by the user or by that restart, is left as it is; when the restart
// cannot be made, the command goes on as it is.
void RestartDrawingCommandWithHugePages(int argc, char** argv) {
#if defined(__GLIBC__)
    if (argc < 2 || (std::strcmp(argv[1], "render") != 0 && std::strcmp(argv[1], "contact-sheet") != 0) ||
        std::getenv("GLIBC_TUNABLES") != nullptr) {
        return;
    }
    // The program's own path, not /proc/self/exe, so that the process keeps its name.
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path - 1) {
        return;
    }
    path[length] = '\0';
    if (setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 0) == 0) {
        execv(path, argv);
        unsetenv("GLIBC_TUNABLES");
    }
#else
    (void)argc;
    (void)argv;
#endif
}

} // namespace

int main(int argc, char** argv) {
    RestartDrawingCommandWithHugePages(argc, argv);
    CLI::App app{"tavro: inspect, extract, convert and render the contents of LINKDATA archives"};
    app.set_version_flag("--version", "tavro " TAVRO_VERSION);
    app.require_subcommand(1);
    int exitCode = 0;
    using namespace tavro::tools;
    const AddCommandFunction commands[] = {
        AddListCommand,         AddExtractCommand,   AddG1tToDdsCommand,  AddDdsInfoCommand,
        AddRenderCommand,       AddFrameInfoCommand, AddModelInfoCommand, AddMakeDemoCommand,
        AddContactSheetCommand, AddTextureCommand,   AddRowsCommand,      AddReplaceCommand,
        AddPackCommand,         AddExportCommand,
    };
    for (AddCommandFunction add : commands) {
        add(app, exitCode);
    }
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands({})) {
        names.push_back(command->get_name());
    }
    const std::string first = argc > 1 ? argv[1] : "";
    if (!first.empty() && first[0] != '-' && !IsCommandName(first, names)) {
        return Fail(UnknownCommandMessage(first, names));
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        // A wrong command line is reported like every other failure: one line, non-zero exit, and where
        // to read how the command is used.
        const std::string help = IsCommandName(first, names) ? "tavro " + first + " --help" : "tavro --help";
        return Fail(std::string(error.what()) + " (see " + help + ")");
    } catch (const std::bad_alloc&) {
        // The commands that name their input catch this themselves; the rest still end in one line.
        return Fail(first + ": not enough memory");
    }
    return exitCode;
}
