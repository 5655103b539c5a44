#pragma once
// Exporting schedule rows: a row's model with its texture pack, exactly the pair the viewer shows for
// that row, one at a time or a range of rows on several threads.
#include "archive/FileBase.h"
#include "export/GltfWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavro::tools {

// Extracts the row's model and texture entries from the archive (named archiveName in messages) and
// exports them in the given form. False with error set to one line naming the row and what is wrong.
bool ExportScheduleRow(CFileBase& archive, const std::string& archiveName, std::uint32_t row, GltfForm form,
                       const std::string& fileStem, GltfFiles& files, std::vector<std::string>& warnings,
                       std::string& error);

struct RowBatchOptions {
    std::string archive;
    std::string folder;
    std::uint32_t firstRow = 0;
    std::uint32_t lastRow = 0;
    unsigned threads = 1;
};

// Writes folder/row-NNN.glb for every row from firstRow to lastRow on the given number of threads, each
// with its own opening of the archive. Shows progress on stderr, names each failed row there, and ends
// with a summary line on stdout: rows written and failed, bytes, seconds and the median time of a row.
// Returns the exit code: 0 when every row was written, 1 otherwise. A failed row leaves no file.
int ExportRowBatch(const RowBatchOptions& options);

} // namespace tavro::tools
