#include "tools/ArchivePairOutput.h"

namespace tavro::tools {

ArchivePairOutput::ArchivePairOutput(const std::string& path)
    : binPath(path), names(std::filesystem::u8path(path)) {}

ArchivePairOutput::~ArchivePairOutput() {
    if (staged) {
        std::error_code ignored;
        std::filesystem::remove(names.newBin, ignored);
        std::filesystem::remove(names.newIdx, ignored);
    }
}

bool ArchivePairOutput::Open(std::string& error) {
    error = CheckSwapNamesFree(names);
    if (!error.empty()) {
        return false;
    }
    writer.Create([this](std::span<const std::uint8_t> bytes) { return data.Write(bytes, writeError); },
                  [this](std::span<const std::uint8_t> bytes) { return index.Write(bytes, writeError); });
    return data.Open(names.newBin.string(), error) && index.Open(names.newIdx.string(), error);
}

std::string ArchivePairOutput::WriteError() const {
    return writeError.empty() ? writer.GetError() : writeError;
}

bool ArchivePairOutput::Commit(ArchiveReader reader,
                               const std::function<bool(CFileBase&, std::string&)>& check,
                               std::string& error) {
    if (!data.Finish(error) || !index.Finish(error)) {
        return false;
    }
    staged = true;
    if (!index.Commit(error) || !data.Commit(error)) {
        return false;
    }
    {
        std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(names.newBin.string(), reader, error);
        if (archive == nullptr) {
            error = "the new archive does not open as one (" + error + "); nothing was changed";
            return false;
        }
        if (!check(*archive, error)) {
            return false;
        }
    }
    if (!SwapInArchivePair(names, RenameOnDisk, error)) {
        staged = false; // the swap removed them
        return false;
    }
    staged = false;
    return true;
}

} // namespace tavro::tools
