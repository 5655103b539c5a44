#include "authoring/ArchiveWriter.h"

#include "archive/BinArchive.h"
#include "authoring/Lzp2Encoder.h"

#include <array>
#include <cctype>
#include <limits>

namespace tavro::authoring {

namespace {

void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

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
    binPath = path;
    records.clear();
    entryCount = 0;
    data.close();
    data.open(path, std::ios::binary | std::ios::trunc);
    if (!data) {
        return Fail(path.string() + ": cannot create the file");
    }
    return true;
}

bool CArchiveWriter::AddRecord(std::span<const std::uint8_t> stored, std::uint32_t size,
                               std::uint32_t compressedSize) {
    if (!data.is_open()) {
        return Fail("no archive is being written");
    }
    static constexpr std::array<char, kEntryAlignment> kZeros{};
    const std::size_t padding = (kEntryAlignment - stored.size() % kEntryAlignment) % kEntryAlignment;
    data.write(reinterpret_cast<const char*>(stored.data()), static_cast<std::streamsize>(stored.size()));
    data.write(kZeros.data(), static_cast<std::streamsize>(padding));
    if (!data) {
        return Fail(binPath.string() + ": write failed");
    }
    AppendLe32(records, size);
    AppendLe32(records, compressedSize);
    AppendLe32(records, 0);
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
    if (!data.is_open()) {
        return Fail("no archive is being written");
    }
    data.close();
    if (!data) {
        return Fail(binPath.string() + ": write failed");
    }
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
    std::filesystem::path indexPath = binPath;
    indexPath.replace_extension(".idx");
    std::ofstream index(indexPath, std::ios::binary | std::ios::trunc);
    static constexpr std::array<char, 4096> kZeros{};
    index.write(reinterpret_cast<const char*>(records.data()), static_cast<std::streamsize>(records.size()));
    for (std::size_t left = indexSize - records.size(); left != 0;) {
        const std::size_t piece = left < kZeros.size() ? left : kZeros.size();
        index.write(kZeros.data(), static_cast<std::streamsize>(piece));
        left -= piece;
    }
    index.close();
    if (!index) {
        return Fail(indexPath.string() + ": cannot write the index");
    }
    return true;
}

} // namespace tavro::authoring
