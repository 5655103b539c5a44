// TavroModelViewer.exe [ARCHIVE.bin] [--row R] [--paused] [--frame-log FILE]: the viewer on the Win32 window
// and the Direct3D 11 device. --help and --version print their text and exit. A wrong argument is a message
// box with one line and exit code 2; otherwise the exit code is the quit message's, or 0 when the window or
// the device cannot be made.
#include "app/FrameLog.h"
#include "app/ModelCycler.h"
#include "app/RenderingViewer.h"
#include "app/Viewer.h"
#include "app/ViewerArguments.h"
#include "app/ViewerInfoArguments.h"
#include "app/ViewerSession.h"
#include "file/WidePath.h"
#include "gpu/d3d11/D3D11Factory.h"
#include "platform/win32/Win32Platform.h"
#include "render/RendererState.h"

#include <filesystem>
#include <optional>
#include <windows.h>

#include <shellapi.h>

namespace tavro {
namespace {

// Direct3D presents to the window itself, which exists only once start-up has created it: the
// renderer is bound to the window's HWND when the device is set up.
class CWin32Viewer final : public IViewerRenderer {
public:
    CWin32Viewer(RendererState& renderer, gpu::IDeviceFactory& factory, CModelCycler& cycler)
        : renderer_(renderer), factory_(factory), cycler_(cycler) {}

    bool InitDevice(platform::IPlatform& platform, platform::WindowHandle window) override {
        viewer_.emplace(renderer_, factory_, static_cast<gpu::WindowHandle>(window), cycler_);
        viewer_->LogFrames(frameLog_);
        return viewer_->InitDevice(platform, window);
    }
    bool LoadNextModel() override { return cycler_.LoadNextModel(); }
    void RenderCurrentModel() override {
        if (viewer_) {
            viewer_->RenderCurrentModel();
        }
    }
    // See CRenderingViewer::LogFrames.
    void LogFrames(CFrameLog* frameLog) { frameLog_ = frameLog; }

private:
    RendererState& renderer_;
    gpu::IDeviceFactory& factory_;
    CModelCycler& cycler_;
    std::optional<CRenderingViewer> viewer_;
    CFrameLog* frameLog_ = nullptr;
};

// The program's arguments after its name, as UTF-8.
std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(WideToUtf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

// A windowed program has no console of its own: the text goes to the standard output it was given (a
// pipe or a file), else to the console it was started from, else into a message box.
void ShowInfoText(const std::string& text) {
    HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if ((output == nullptr || output == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        output =
            ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    DWORD written = 0;
    if (output != nullptr && output != INVALID_HANDLE_VALUE &&
        ::WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        return;
    }
    ::MessageBoxW(nullptr, Utf8ToWide(text).c_str(), L"Tavro Model Viewer", MB_OK | MB_ICONINFORMATION);
}

} // namespace
} // namespace tavro

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const std::vector<std::string> commandLine = tavro::CommandLineArguments();
    if (const std::optional<std::string> info = tavro::ViewerInfoText("TavroModelViewer", commandLine)) {
        tavro::ShowInfoText(*info);
        return 0;
    }
    std::string error;
    std::optional<tavro::ViewerArguments> arguments = tavro::ParseViewerArguments(commandLine, error);
    if (!arguments) {
        const std::wstring line =
            tavro::Utf8ToWide("TavroModelViewer: " + error + " (" + tavro::kViewerUsage + ")");
        ::MessageBoxW(nullptr, line.c_str(), L"Tavro Model Viewer", MB_OK | MB_ICONERROR);
        return 2;
    }
    tavro::CFrameLog frameLog; // outlives the renderer, whose frames it logs
    if (arguments->frameLog && !frameLog.Open(std::filesystem::u8path(*arguments->frameLog), error)) {
        const std::wstring line = tavro::Utf8ToWide("TavroModelViewer: " + error);
        ::MessageBoxW(nullptr, line.c_str(), L"Tavro Model Viewer", MB_OK | MB_ICONERROR);
        return 2;
    }
    // Destroyed in reverse order: the device's objects go before the platform that owns the window.
    tavro::platform::CWin32Platform platform(instance, showCommand);
    tavro::gpu::d3d11::D3D11Factory factory;
    tavro::RendererState renderer;
    tavro::CModelCycler cycler(renderer);
    tavro::CWin32Viewer viewer(renderer, factory, cycler);
    tavro::StartUserRun(cycler, *arguments);
    if (arguments->frameLog) {
        viewer.LogFrames(&frameLog);
    }
    tavro::CViewerSession session(platform, viewer, cycler, renderer, std::move(*arguments));
    return tavro::RunViewer(platform, session, &session);
}
