#pragma once
// Putting a newly written archive pair in the place of another, so that a failure at any step leaves
// (or restores) the old pair. The new pair waits beside the target under staging names; the old pair, if
// any, is kept as .bak files until both new files are in place, and only then removed.
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

namespace tavro::tools {

// The names one swap uses, all in the target's folder: NAME.bin / NAME.idx, the staged NAME.tavro-new.bin
// / .idx, and the backups NAME.bin.bak / NAME.idx.bak.
struct ArchivePairNames {
    explicit ArchivePairNames(const std::filesystem::path& binPath);

    std::filesystem::path bin, idx;
    std::filesystem::path newBin, newIdx;
    std::filesystem::path bakBin, bakIdx;
};

using RenameFunction = std::function<void(const std::filesystem::path& from, const std::filesystem::path& to,
                                          std::error_code& code)>;

// The renames of a real swap.
void RenameOnDisk(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& code);

// An empty string when no staging or backup name is taken (a swap must never overwrite one); otherwise
// one line naming it.
std::string CheckSwapNamesFree(const ArchivePairNames& names);

// Moves the old pair (where it exists) to the backups, the staged pair to the target names, then removes
// the backups. When a rename fails, the renames made so far are undone in reverse order and the staged
// files removed; false and error says what failed and where the old pair now is.
bool SwapInArchivePair(const ArchivePairNames& names, const RenameFunction& rename, std::string& error);

} // namespace tavro::tools
