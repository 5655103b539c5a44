// tavro: the command-line tool for inspecting, extracting, converting and rendering archive contents.
#include "tools/CommandNames.h"
#include "tools/Commands.h"
#include "tools/HugePageRestart.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <new>

int main(int argc, char** argv) {
    tavro::tools::RestartDrawingCommandWithHugePages(argc, argv);
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
