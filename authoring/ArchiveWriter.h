#pragma once
// Builds an archive pair NAME.bin / NAME.idx entry by entry. Entry data goes straight to disk, so
// archives of any size are written with the memory of one entry; the index is kept until Finish.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tavro::authoring {

// Takes the next piece of a file being written, in order; false when it could not be stored.
using ArchiveSink = std::function<bool(std::span<const std::uint8_t>)>;

class CArchiveWriter {
public:
    CArchiveWriter() = default;
    CArchiveWriter(const CArchiveWriter&) = delete;
    CArchiveWriter& operator=(const CArchiveWriter&) = delete;

    // Creates (or empties) binPath, which must end in ".bin" (any case); the index is written beside it at
    // Finish.
    bool Create(const std::filesystem::path& binPath);
    // Writes the data file's bytes to data and, at Finish, the index's bytes to index; for callers that
    // decide themselves where and how the two files are written.
    bool Create(ArchiveSink data, ArchiveSink index);
    // Adds an entry kept as its own bytes.
    bool AddStored(std::span<const std::uint8_t> bytes);
    // Adds an entry kept LZP2-compressed; an empty input is added as an empty entry.
    bool AddCompressed(std::span<const std::uint8_t> bytes);
    // Adds an entry of size 0 that occupies nothing in the data file.
    bool AddEmpty();
    // Adds stored exactly as given, recorded as a compressed entry that extracts to size bytes; for
    // hand-made or deliberately damaged streams.
    bool AddPrecompressed(std::span<const std::uint8_t> stored, std::uint32_t size);
    // Writes the index: one record per entry, padded with zeros to indexSize bytes, or when indexSize
    // is 0 to the first known index size whose entry count equals the number of entries added.
    bool Finish(std::uint32_t indexSize = 0);
    // As Finish(indexSize), keeping the bytes of an earlier index that the new records do not set: each
    // record's third word (which readers ignore but other tools may use) and whatever lies past the
    // records, so that rewriting an archive loses none of its index.
    bool Finish(std::uint32_t indexSize, std::span<const std::uint8_t> earlierIndex);

    std::uint32_t GetEntryCount() const { return entryCount; }
    // One line saying why the last operation failed.
    const std::string& GetError() const { return error; }

private:
    bool AddRecord(std::span<const std::uint8_t> stored, std::uint32_t size, std::uint32_t compressedSize);
    bool Fail(std::string message);
    std::string DataName() const;

    std::filesystem::path binPath; // empty when writing to sinks
    std::ofstream dataFile;
    ArchiveSink data;
    ArchiveSink index;
    std::vector<std::uint8_t> records;
    std::uint32_t entryCount = 0;
    std::string error;
};

} // namespace tavro::authoring
