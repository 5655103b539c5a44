#include "app/FrameLog.h"

#include "app/ModelCycler.h"
#include "app/ModelSchedule.h"
#include "app/PresentObserver.h"

#include <cerrno>
#include <cstring>

namespace tavro {
namespace {

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

CFrameLog::~CFrameLog() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool CFrameLog::Open(const std::filesystem::path& path, std::string& error) {
#ifdef _WIN32
    file_ = _wfopen(path.c_str(), L"ab");
#else
    file_ = std::fopen(path.c_str(), "ab");
#endif
    if (file_ == nullptr) {
        error = "--frame-log: cannot open " + path.string() + " (" + std::strerror(errno) + ")";
        return false;
    }
    std::error_code sizeError;
    if (std::filesystem::file_size(path, sizeError) == 0) {
        std::fputs("frame,row,switched,main_ms,frame_ms\n", file_);
        std::fflush(file_);
    }
    return true;
}

void CFrameLog::Attach(RendererState& state, const CModelCycler& cycler) {
    cycler_ = &cycler;
    loadsSeen_ = cycler.GetLoadCount();
    previousEnd_ = Clock::now();
    ObservePresents(state, {[this] { BeforePresent(); }, [this] { AfterPresent(); }});
}

void CFrameLog::BeforePresent() {
    thisStart_ = Clock::now();
}

void CFrameLog::AfterPresent() {
    const Clock::time_point end = Clock::now();
    const std::uint32_t loads = cycler_->GetLoadCount();
    const std::uint32_t row = (cycler_->GetCounter() + kModelScheduleRowCount - 1) % kModelScheduleRowCount;
    // The first frame has no previous present: its frame time is left empty.
    std::fprintf(file_, "%llu,%u,%d,%.3f,", static_cast<unsigned long long>(frame_), row,
                 loads != loadsSeen_ ? 1 : 0, Milliseconds(thisStart_ - previousEnd_));
    if (!first_) {
        std::fprintf(file_, "%.3f", Milliseconds(thisStart_ - previousStart_));
    }
    std::fputc('\n', file_);
    std::fflush(file_);
    ++frame_;
    loadsSeen_ = loads;
    previousStart_ = thisStart_;
    previousEnd_ = end;
    first_ = false;
}

} // namespace tavro
