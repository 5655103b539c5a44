#include "authoring/ArchiveWriter.h"

#include "archive/BinArchive.h"
#include "authoring/Lzp2Encoder.h"
#include "file/LittleEndian.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

namespace tavro::authoring {

namespace {

std::uint32_t KnownIndexSizeFor(std::uint32_t entryCount) {
    for (const auto& table : {std::span<const KnownIndexSize>(kOrochizIndexSizes),
                              std::span<const KnownIndexSize>(kSm5IndexSizes)}) {
        for (const KnownIndexSize& row : table) {
            if (row.entryCount == entryCount) {
                return row.indexSize;
            }
        }
    }
    return 0;
}

} // namespace

bool CArchiveWriter::Fail(std::string message) {
    error = std::move(message);
    return false;
}

bool CArchiveWriter::Create(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (extension != ".bin") {
        return Fail(path.string() + ": an archive data file must end in .bin");
    }
    dataFile.close();
    dataFile.open(path, std::ios::binary | std::ios::trunc);
    if (!dataFile) {
        return Fail(path.string() + ": cannot create the file");
    }
    std::filesystem::path indexPath = path;
    indexPath.replace_extension(".idx");
    Create(
        [this](std::span<const std::uint8_t> bytes) {
            dataFile.write(reinterpret_cast<const char*>(bytes.data()),
                           static_cast<std::streamsize>(bytes.size()));
            return dataFile.good();
        },
        [this, indexPath](std::span<const std::uint8_t> bytes) {
            dataFile.close();
            std::ofstream indexFile(indexPath, std::ios::binary | std::ios::trunc);
            indexFile.write(reinterpret_cast<const char*>(bytes.data()),
                            static_cast<std::streamsize>(bytes.size()));
            indexFile.close();
            return !dataFile.fail() && indexFile.good();
        });
    binPath = path;
    return true;
}

bool CArchiveWriter::Create(ArchiveSink dataSink, ArchiveSink indexSink) {
    binPath.clear();
    records.clear();
    entryCount = 0;
    data = std::move(dataSink);
    index = std::move(indexSink);
    return true;
}

bool CArchiveWriter::AddRecord(std::span<const std::uint8_t> stored, std::uint32_t size,
                               std::uint32_t compressedSize) {
    if (!data) {
        return Fail("no archive is being written");
    }
    static constexpr std::array<std::uint8_t, kEntryAlignment> kZeros{};
    const std::size_t padding = (kEntryAlignment - stored.size() % kEntryAlignment) % kEntryAlignment;
    if (!data(stored) || !data(std::span(kZeros).first(padding))) {
        return Fail(DataName() + ": write failed");
    }
    AppendU32(records, size);
    AppendU32(records, compressedSize);
    AppendU32(records, 0);
    ++entryCount;
    return true;
}

bool CArchiveWriter::AddStored(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Fail("an entry must be smaller than 4 GiB");
    }
    return AddRecord(bytes, static_cast<std::uint32_t>(bytes.size()), 0);
}

bool CArchiveWriter::AddCompressed(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return AddEmpty();
    }
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Fail("an entry must be smaller than 4 GiB");
    }
    const std::vector<std::uint8_t> encoded = Lzp2Encode(bytes);
    if (encoded.empty() || encoded.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Fail("the compressed entry does not fit in 4 GiB");
    }
    return AddRecord(encoded, static_cast<std::uint32_t>(bytes.size()),
                     static_cast<std::uint32_t>(encoded.size()));
}

bool CArchiveWriter::AddEmpty() {
    return AddRecord({}, 0, 0);
}

bool CArchiveWriter::AddPrecompressed(std::span<const std::uint8_t> stored, std::uint32_t size) {
    if (stored.empty() || stored.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Fail("a compressed entry needs between 1 byte and 4 GiB of stored bytes");
    }
    return AddRecord(stored, size, static_cast<std::uint32_t>(stored.size()));
}

bool CArchiveWriter::Finish(std::uint32_t indexSize) {
    return Finish(indexSize, {});
}

bool CArchiveWriter::Finish(std::uint32_t indexSize, std::span<const std::uint8_t> earlierIndex) {
    if (!data) {
        return Fail("no archive is being written");
    }
    data = nullptr;
    if (indexSize == 0) {
        indexSize = KnownIndexSizeFor(GetEntryCount());
        if (indexSize == 0) {
            return Fail("no known index size holds " + std::to_string(GetEntryCount()) + " entries");
        }
    }
    if (indexSize < records.size()) {
        return Fail("an index of " + std::to_string(indexSize) + " bytes cannot hold " +
                    std::to_string(GetEntryCount()) + " entries");
    }
    const std::size_t recordBytes = records.size();
    records.resize(indexSize, 0);
    for (std::size_t i = 0; i < std::min(earlierIndex.size(), records.size()); ++i) {
        if (i >= recordBytes || i % kIndexRecordSize >= 8) {
            records[i] = earlierIndex[i];
        }
    }
    if (!index(records)) {
        return Fail(DataName() + ": cannot write the data file's end or the index");
    }
    return true;
}

std::string CArchiveWriter::DataName() const {
    return binPath.empty() ? std::string("the archive") : binPath.string();
}

} // namespace tavro::authoring
