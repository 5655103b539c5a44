#pragma once
// The subcommands of the tavro tool. Each Add...Command registers one subcommand on the app; its
// callback stores the process exit code in exitCode (0 on success).
namespace CLI {
class App;
}

namespace tavro::tools {

using AddCommandFunction = void (*)(CLI::App& app, int& exitCode);

void AddListCommand(CLI::App& app, int& exitCode);
void AddExtractCommand(CLI::App& app, int& exitCode);
void AddG1tToDdsCommand(CLI::App& app, int& exitCode);
void AddDdsInfoCommand(CLI::App& app, int& exitCode);
void AddRenderCommand(CLI::App& app, int& exitCode);
void AddFrameInfoCommand(CLI::App& app, int& exitCode);
void AddModelInfoCommand(CLI::App& app, int& exitCode);
void AddMakeDemoCommand(CLI::App& app, int& exitCode);
void AddContactSheetCommand(CLI::App& app, int& exitCode);
void AddTextureCommand(CLI::App& app, int& exitCode);
void AddRowsCommand(CLI::App& app, int& exitCode);
void AddReplaceCommand(CLI::App& app, int& exitCode);
void AddPackCommand(CLI::App& app, int& exitCode);
void AddExportCommand(CLI::App& app, int& exitCode);

} // namespace tavro::tools
