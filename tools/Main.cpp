// tavro: the command-line tool for inspecting, extracting, converting and rendering archive contents.
#include "tools/Commands.h"

#include <CLI/CLI.hpp>

namespace tavro::tools {
// Defined in the Command*.cpp files of this folder.
} // namespace tavro::tools

int main(int argc, char** argv) {
    CLI::App app{"tavro: inspect, extract, convert and render the contents of LINKDATA archives"};
    app.require_subcommand(1);
    int exitCode = 0;
    using namespace tavro::tools;
    const AddCommandFunction commands[] = {
        AddListCommand,
        AddExtractCommand,
        AddG1tToDdsCommand,
        AddDdsInfoCommand,
        AddRenderCommand,
        AddFrameInfoCommand,
        AddModelInfoCommand,
        AddMakeDemoCommand,
        AddContactSheetCommand,
    };
    for (AddCommandFunction add : commands) {
        if (add != nullptr) {
            add(app, exitCode);
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }
    return exitCode;
}
