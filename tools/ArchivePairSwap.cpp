#include "tools/ArchivePairSwap.h"

#include <vector>

namespace tavro::tools {

namespace fs = std::filesystem;

namespace {

fs::path WithName(const fs::path& path, const std::string& name) {
    return path.parent_path() / fs::u8path(name);
}

} // namespace

ArchivePairNames::ArchivePairNames(const fs::path& binPath) : bin(binPath) {
    const std::string stem = binPath.stem().string();
    idx = WithName(binPath, stem + ".idx");
    newBin = WithName(binPath, stem + ".tavro-new.bin");
    newIdx = WithName(binPath, stem + ".tavro-new.idx");
    bakBin = WithName(binPath, binPath.filename().string() + ".bak");
    bakIdx = WithName(binPath, stem + ".idx.bak");
}

void RenameOnDisk(const fs::path& from, const fs::path& to, std::error_code& code) {
    fs::rename(from, to, code);
}

std::string CheckSwapNamesFree(const ArchivePairNames& names) {
    for (const fs::path* path : {&names.newBin, &names.newIdx, &names.bakBin, &names.bakIdx}) {
        std::error_code code;
        if (fs::exists(fs::symlink_status(*path, code))) {
            return path->string() +
                   ": already exists; move it away first (it may be a backup of an earlier run)";
        }
    }
    return "";
}

bool SwapInArchivePair(const ArchivePairNames& names, const RenameFunction& rename, std::string& error) {
    struct Step {
        const fs::path* from;
        const fs::path* to;
    };
    std::vector<Step> steps;
    std::error_code code;
    const bool hadBin = fs::exists(fs::symlink_status(names.bin, code));
    const bool hadIdx = fs::exists(fs::symlink_status(names.idx, code));
    if (hadBin) {
        steps.push_back({&names.bin, &names.bakBin});
    }
    if (hadIdx) {
        steps.push_back({&names.idx, &names.bakIdx});
    }
    steps.push_back({&names.newBin, &names.bin});
    steps.push_back({&names.newIdx, &names.idx});

    for (std::size_t done = 0; done < steps.size(); ++done) {
        rename(*steps[done].from, *steps[done].to, code);
        if (!code) {
            continue;
        }
        error = steps[done].to->string() + ": cannot be put in place (" + code.message() + ")";
        bool restored = true;
        while (done-- > 0) {
            std::error_code undo;
            rename(*steps[done].to, *steps[done].from, undo);
            restored = restored && !undo;
        }
        std::error_code ignored;
        fs::remove(names.newBin, ignored);
        fs::remove(names.newIdx, ignored);
        error += restored ? "; the old pair is in place, unchanged"
                          : "; the old pair could not all be moved back: it is kept as " +
                                names.bakBin.string() + " and " + names.bakIdx.string();
        return false;
    }
    std::error_code ignored;
    fs::remove(names.bakBin, ignored);
    fs::remove(names.bakIdx, ignored);
    return true;
}

} // namespace tavro::tools
