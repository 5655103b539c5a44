#pragma once
// The frame-time log of `--frame-log FILE`: one CSV line per presented frame, appended, under the header
// frame,row,switched,main_ms,frame_ms. main_ms is the main thread's time from the end of the previous
// present to the start of this one (messages, timer, any model switch, drawing); frame_ms is the time
// from the previous present's start to this one's. switched is 1 when a load ran since the previous frame.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace tavro {

class CModelCycler;
class RendererState;

class CFrameLog {
public:
    CFrameLog() = default;
    CFrameLog(const CFrameLog&) = delete;
    CFrameLog& operator=(const CFrameLog&) = delete;
    ~CFrameLog();

    // Opens path for appending, writing the header when the file is new or empty. False with a one-line
    // error when it cannot be opened.
    bool Open(const std::filesystem::path& path, std::string& error);

    // Logs every frame state presents from now on; cycler tells the row shown and the loads made. Both
    // must outlive the log's use; the log must be open.
    void Attach(RendererState& state, const CModelCycler& cycler);

private:
    using Clock = std::chrono::steady_clock;

    void BeforePresent();
    void AfterPresent();

    std::FILE* file_ = nullptr;
    const CModelCycler* cycler_ = nullptr;
    std::uint64_t frame_ = 0;
    std::uint32_t loadsSeen_ = 0;
    Clock::time_point previousStart_{};
    Clock::time_point previousEnd_{};
    Clock::time_point thisStart_{};
    bool first_ = true;
};

} // namespace tavro
