#pragma once
// Writing a whole archive pair as one output: entries go through the archive writer into two staged
// files beside the target; Commit checks that the staged pair opens as an archive before it swaps it in
// (see ArchivePairSwap.h). A pair that is not committed leaves nothing behind.
#include "authoring/ArchiveWriter.h"
#include "tools/ArchiveOpening.h"
#include "tools/ArchivePairSwap.h"
#include "tools/OutputFile.h"

#include <functional>
#include <string>

namespace tavro::tools {

class ArchivePairOutput {
public:
    ArchivePairOutput(const ArchivePairOutput&) = delete;
    ArchivePairOutput& operator=(const ArchivePairOutput&) = delete;
    // Prepares to write binPath (UTF-8, ending in .bin) and the .idx beside it.
    explicit ArchivePairOutput(const std::string& binPath);
    ~ArchivePairOutput();

    // Opens the two staged files; false with one line when a staging or backup name is taken or the
    // folder does not take new files.
    bool Open(std::string& error);
    // The writer whose entries and index go to the staged files; valid after Open.
    authoring::CArchiveWriter& Writer() { return writer; }
    // After the writer's Finish: completes the staged files, opens them with reader, hands the archive to
    // check (for the caller's own comparison), and swaps the pair in. False with one line otherwise.
    bool Commit(ArchiveReader reader, const std::function<bool(CFileBase&, std::string&)>& check,
                std::string& error);
    // The message the writer's last failure deserves: the staged file's own, when a write failed there.
    std::string WriteError() const;

private:
    std::string binPath;
    ArchivePairNames names;
    OutputFile data;
    OutputFile index;
    std::string writeError;
    authoring::CArchiveWriter writer;
    bool staged = false; // the staged files exist under their staging names
};

} // namespace tavro::tools
