// make-broken-archive DIR KIND: writes DIR/LINKDATA1.bin and .idx, the generated archive of
// tests/app/ScheduleArchive.h damaged in one way, for the window test's and the tool's runs on broken
// archives. Row 0 is always left whole; the damage starts at row 1. KIND is one of:
//   cut-bin             the data file ends in the middle of row 1's model entry
//   idx-size            the index is one byte longer than any known size
//   idx-past-end        row 1's texture entry claims 2 GiB, so it and every later entry lie past the end
//   compressed-corrupt  compressed entries; bytes of row 1's texture and row 2's model streams flipped
//   g1m-count           row 1's model counts 0xFFFFFFFF submeshes
//   g1t-pixels          row 1's texture pack claims 1024 x 1024 pixels it does not hold
#include "app/ModelSchedule.h"
#include "archive/BinArchive.h"
#include "file/LittleEndian.h"
#include "file/WidePath.h"
#include "tests/app/ScheduleArchive.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace tavro;

struct EntryPlace {
    std::uint64_t offset = 0;
    std::uint32_t storedSize = 0;
};

bool FindEntry(const fs::path& binPath, std::uint32_t entry, EntryPlace& place) {
    CKOEIFile_BIN_OROCHIZ archive;
    if (!archive.Open(Utf8ToWide(binPath.string()).c_str(), kOpenRead) || entry >= archive.GetEntryCount()) {
        return false;
    }
    place = {archive.GetEntryOffset(entry), archive.GetEntryStoredSize(entry)};
    return true;
}

std::vector<std::uint8_t> ReadAt(const fs::path& path, std::uint64_t offset, std::uint32_t count) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(count);
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), count);
    return in ? bytes : std::vector<std::uint8_t>{};
}

bool WriteAt(const fs::path& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes) {
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Applies edit to the stored bytes of entry and writes them back; false when the entry cannot be read or
// edit refuses.
template <typename Edit>
bool EditEntry(const fs::path& binPath, std::uint32_t entry, Edit edit) {
    EntryPlace place;
    if (!FindEntry(binPath, entry, place)) {
        return false;
    }
    std::vector<std::uint8_t> bytes = ReadAt(binPath, place.offset, place.storedSize);
    return !bytes.empty() && edit(bytes) && WriteAt(binPath, place.offset, bytes);
}

bool FlipStream(std::vector<std::uint8_t>& stream) {
    constexpr std::size_t kBlockHeader = 16;
    for (std::size_t i = kBlockHeader; i < stream.size(); i += 7) {
        stream[i] ^= 0xA5;
    }
    return stream.size() > kBlockHeader;
}

bool Damage(const fs::path& binPath, const std::string& kind) {
    const ModelScheduleRow& row1 = ModelSchedule()[1];
    const fs::path indexPath = fs::path(binPath).replace_extension(".idx");
    if (kind == "cut-bin") {
        EntryPlace place;
        if (!FindEntry(binPath, row1.modelEntry, place)) {
            return false;
        }
        fs::resize_file(binPath, place.offset + place.storedSize / 2);
        return true;
    }
    if (kind == "idx-size") {
        fs::resize_file(indexPath, fs::file_size(indexPath) + 1);
        return true;
    }
    if (kind == "idx-past-end") {
        std::vector<std::uint8_t> record(4);
        StoreU32(record.data(), 0x80000000u);
        return WriteAt(indexPath, std::uint64_t{row1.textureEntry} * kIndexRecordSize, record);
    }
    if (kind == "compressed-corrupt") {
        return EditEntry(binPath, row1.textureEntry, FlipStream) &&
               EditEntry(binPath, ModelSchedule()[2].modelEntry, FlipStream);
    }
    if (kind == "g1m-count") {
        return EditEntry(binPath, row1.modelEntry, [](std::vector<std::uint8_t>& model) {
            const std::uint8_t submeshesId[] = {0x08, 0x00, 0x01, 0x00};
            for (std::size_t i = 0; i + 12 <= model.size(); ++i) {
                if (std::memcmp(&model[i], submeshesId, 4) == 0) {
                    StoreU32(&model[i + 8], 0xFFFFFFFFu);
                    return true;
                }
            }
            return false;
        });
    }
    if (kind == "g1t-pixels") {
        return EditEntry(binPath, row1.textureEntry, [](std::vector<std::uint8_t>& pack) {
            constexpr std::size_t kTableOffsetField = 12;
            if (pack.size() < 20) {
                return false;
            }
            const std::size_t table = LoadU32(&pack[kTableOffsetField]);
            if (table + 4 > pack.size() || table + LoadU32(&pack[table]) + 3 > pack.size()) {
                return false;
            }
            pack[table + LoadU32(&pack[table]) + 2] = 0xAA; // 2^10 x 2^10
            return true;
        });
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "make-broken-archive: usage: make-broken-archive DIR KIND\n");
        return 2;
    }
    const std::string kind = argv[2];
    apptest::ScheduleArchiveOptions options;
    options.compressed = kind == "compressed-corrupt";
    std::error_code error;
    fs::create_directories(argv[1], error);
    const fs::path binPath = fs::path(argv[1]) / "LINKDATA1.bin";
    const std::string failure = apptest::WriteScheduleArchive(binPath, options);
    if (!failure.empty()) {
        std::fprintf(stderr, "make-broken-archive: %s\n", failure.c_str());
        return 1;
    }
    if (!Damage(binPath, kind)) {
        std::fprintf(stderr, "make-broken-archive: cannot make a '%s' archive in %s\n", kind.c_str(),
                     argv[1]);
        return 1;
    }
    return 0;
}
