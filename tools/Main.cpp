// tavro: the command-line tool for inspecting, extracting, converting and rendering archive contents.
#include "tools/Commands.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
    CLI::App app{"tavro: inspect, extract, convert and render the contents of LINKDATA archives"};
    app.require_subcommand(1);
    int exitCode = 0;
    using namespace tavro::tools;
    const AddCommandFunction commands[] = {
        AddListCommand,         AddExtractCommand,   AddG1tToDdsCommand,  AddDdsInfoCommand,
        AddRenderCommand,       AddFrameInfoCommand, AddModelInfoCommand, AddMakeDemoCommand,
        AddContactSheetCommand, AddTextureCommand,
    };
    for (AddCommandFunction add : commands) {
        add(app, exitCode);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        // A wrong command line is reported like every other failure: one line, non-zero exit.
        return Fail(std::string(error.what()) + " (see tavro --help)");
    }
    return exitCode;
}
