#include "app/ViewerTexts.h"

#include "app/ArchivePath.h"
#include "app/Resources.h"

#include <cstdio>
#include <filesystem>

namespace tavro {
namespace {

std::string Format(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string ArchiveFileName(const std::wstring& archivePath) {
    return ToUtf8(ToFileSystemPath(archivePath).filename());
}

std::string NoArchiveReason(const LoadStatus& status, const std::wstring& archivePath) {
    const std::string name = ArchiveFileName(archivePath);
    switch (status.outcome) {
    case LoadOutcome::ArchiveMissing:
        return name + " or its index " + ToUtf8(ToFileSystemPath(IndexPathOf(archivePath)).filename()) +
               " is missing";
    case LoadOutcome::ArchiveUnreadable:
        return name + " cannot be read as an archive";
    case LoadOutcome::WrongEntryCount:
        return Format("%s holds %u entries, not %u", name.c_str(), status.entryCount,
                      CModelCycler::kRequiredEntryCount);
    default:
        return {};
    }
}

std::string RowText(std::uint32_t row) {
    const ModelScheduleRow& entries = ModelSchedule()[row % kModelScheduleRowCount];
    return Format("row %u \xC2\xB7 model %u \xC2\xB7 texture %u", row, entries.modelEntry,
                  entries.textureEntry);
}

} // namespace

std::string CaptionText(const LoadStatus& status, const std::wstring& archivePath) {
    const std::string title = std::string(TAVRO_TEXT_APP_TITLE) + " \xE2\x80\x94 ";
    switch (status.outcome) {
    case LoadOutcome::None:
        return TAVRO_TEXT_APP_TITLE;
    case LoadOutcome::Shown:
        return title + RowText(status.row);
    case LoadOutcome::RowNotShown:
        return title + RowText(status.row) + " \xC2\xB7 cannot be shown: " + status.failure;
    default:
        return title + "no archive: " + NoArchiveReason(status, archivePath);
    }
}

} // namespace tavro
