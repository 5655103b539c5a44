// Putting entries back: extract --all then pack, replace into a new folder and in place, the swap of a
// pair failing at each of its renames, and the refusals made before anything is written.
#include "app/ModelSchedule.h"
#include "archive/BinArchive.h"
#include "authoring/ArchiveWriter.h"
#include "tests/tools/ScheduleArchiveSuite.h"
#include "tools/ArchivePairSwap.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::ToolRun;

struct Entry {
    std::vector<std::uint8_t> bytes; // decoded
    std::vector<std::uint8_t> stored;
    bool compressed = false;
};

// Every entry of the pair at binPath, decoded and as stored.
std::vector<Entry> ReadEntries(const fs::path& binPath) {
    CKOEIFile_BIN_OROCHIZ archive;
    EXPECT_TRUE(archive.Open(binPath.wstring().c_str(), 0)) << binPath;
    const std::vector<std::uint8_t> data = ReadFileBytes(binPath);
    std::vector<Entry> entries(archive.GetEntryCount());
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
        Entry& entry = entries[i];
        entry.compressed = archive.IsEntryCompressed(i);
        const auto start = data.begin() + static_cast<std::ptrdiff_t>(archive.GetEntryOffset(i));
        entry.stored.assign(start, start + archive.GetEntryStoredSize(i));
        std::uint8_t* block = nullptr;
        const std::uint32_t size = archive.ExtractEntry(i, block);
        entry.bytes.assign(block, block + size);
        delete[] block;
    }
    return entries;
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class Repack : public testing::ScheduleArchiveSuite {
protected:
    Repack() {
        options.rowLimit = 3;
        options.compressed = true;
    }
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ScheduleArchiveSuite::SetUp());
        WriteBytes(replacement, std::vector<std::uint8_t>(70000, 'x'));
    }

    fs::path replacement = directory.path / "new.g1m";
    std::uint32_t replaced = ModelSchedule()[1].modelEntry;
};

TEST_F(Repack, ExtractAllThenPackGivesTheSameEntries) {
    const fs::path files = directory.path / "files";
    ASSERT_EQ(Run({"extract", bin, "--all", "-o", files.string()}).exitCode, 0);
    const fs::path packed = directory.path / "packed" / "LINKDATA1.bin";
    const ToolRun pack = Run({"pack", files.string(), "-o", packed.string(), "--entries", "4251"});
    ASSERT_EQ(pack.exitCode, 0) << pack.err;
    EXPECT_NE(pack.err.find("(4251 entries, 6 from files)"), std::string::npos) << pack.err;
    const std::vector<Entry> before = ReadEntries(archive);
    const std::vector<Entry> after = ReadEntries(packed);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].bytes, before[i].bytes) << "entry " << i;
    }
    const ToolRun rows = Run({"rows", packed.string(), "--json"});
    EXPECT_NE(rows.out.find("\"viewerOpens\": true"), std::string::npos);
}

TEST_F(Repack, ReplaceChangesThatEntryAloneAndKeepsEveryOtherStoredByteForByte) {
    // Third words that readers ignore but other tools may use must survive the rewrite.
    const fs::path indexPath = directory.path / "LINKDATA1.idx";
    std::vector<std::uint8_t> oldIndex = ReadFileBytes(indexPath);
    for (std::size_t i = 8; i < oldIndex.size(); i += 12) {
        oldIndex[i] = static_cast<std::uint8_t>(i / 12 + 1);
    }
    WriteBytes(indexPath, oldIndex);
    const std::vector<Entry> before = ReadEntries(archive);
    for (const std::string& mode : {std::string("--compress"), std::string("--store")}) {
        SCOPED_TRACE(mode);
        const fs::path folder = directory.path / mode.substr(2);
        const ToolRun result = Run(
            {"replace", bin, std::to_string(replaced), replacement.string(), mode, "-o", folder.string()});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.err.find("warning: entry " + std::to_string(replaced) + " was a G1M model; " +
                                  replacement.string() + " is not a G1M, G1T or DDS file"),
                  std::string::npos)
            << result.err;
        const std::vector<Entry> after = ReadEntries(folder / "LINKDATA1.bin");
        ASSERT_EQ(after.size(), before.size());
        const std::vector<std::uint8_t> newIndex = ReadFileBytes(folder / "LINKDATA1.idx");
        ASSERT_EQ(newIndex.size(), oldIndex.size());
        for (std::size_t i = 8; i < newIndex.size(); i += 12) {
            ASSERT_EQ(newIndex[i], oldIndex[i]) << "third word of entry " << i / 12;
        }
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (i == replaced) {
                EXPECT_EQ(after[i].bytes, ReadFileBytes(replacement));
                EXPECT_EQ(after[i].compressed, mode == "--compress");
            } else {
                EXPECT_EQ(after[i].stored, before[i].stored) << "entry " << i;
                EXPECT_EQ(after[i].compressed, before[i].compressed) << "entry " << i;
            }
        }
    }
    EXPECT_EQ(ReadEntries(archive)[replaced].bytes, before[replaced].bytes) << "the source is left alone";

    const ToolRun inPlace =
        Run({"replace", bin, std::to_string(replaced), replacement.string(), "--in-place"});
    ASSERT_EQ(inPlace.exitCode, 0) << inPlace.err;
    EXPECT_EQ(ReadEntries(archive)[replaced].bytes, ReadFileBytes(replacement));
    for (const char* leftover : {"LINKDATA1.bin.bak", "LINKDATA1.idx.bak", "LINKDATA1.tavro-new.bin"}) {
        EXPECT_FALSE(fs::exists(directory.path / leftover)) << leftover;
    }
}

TEST_F(Repack, ASwapThatFailsAtAnyRenameLeavesTheOldPairAsItWas) {
    const std::vector<std::uint8_t> oldBin = ReadFileBytes(archive);
    const std::vector<std::uint8_t> oldIdx = ReadFileBytes(directory.path / "LINKDATA1.idx");
    const tools::ArchivePairNames names(archive);
    for (int failing = 1; failing <= 4; ++failing) {
        SCOPED_TRACE(failing);
        authoring::CArchiveWriter writer;
        ASSERT_TRUE(writer.Create(names.newBin));
        for (int i = 0; i < 652; ++i) {
            ASSERT_TRUE(writer.AddEmpty());
        }
        ASSERT_TRUE(writer.Finish());
        int calls = 0;
        const tools::RenameFunction rename = [&](const fs::path& from, const fs::path& to,
                                                 std::error_code& code) {
            code = ++calls == failing ? std::make_error_code(std::errc::io_error) : std::error_code();
            if (!code) {
                fs::rename(from, to, code);
            }
        };
        std::string error;
        EXPECT_FALSE(tools::SwapInArchivePair(names, rename, error));
        EXPECT_NE(error.find("the old pair is in place, unchanged"), std::string::npos) << error;
        EXPECT_EQ(ReadFileBytes(archive), oldBin);
        EXPECT_EQ(ReadFileBytes(directory.path / "LINKDATA1.idx"), oldIdx);
        EXPECT_EQ(ReadEntries(archive).size(), 4251u) << "the old pair opens as before";
        for (const fs::path& leftover : {names.newBin, names.newIdx, names.bakBin, names.bakIdx}) {
            EXPECT_FALSE(fs::exists(leftover)) << leftover;
        }
    }
}

TEST_F(Repack, RefusalsComeBeforeAnythingIsWritten) {
    const std::vector<std::uint8_t> oldBin = ReadFileBytes(archive);
    const fs::path out = directory.path / "out";
    const fs::path huge = directory.path / "huge.bin";
    std::ofstream(huge).close();
    fs::resize_file(huge, 0x100000000ull); // sparse: nothing of it is read
    const fs::path files = directory.path / "files";
    fs::create_directory(files);
    WriteBytes(files / "98.g1m", {1, 2, 3});
    WriteBytes(files / "notes.txt", {1});
    const std::string entry = std::to_string(replaced);
    const struct {
        std::vector<std::string> arguments;
        std::string expected;
    } cases[] = {
        {{"replace", bin, entry, huge.string(), "-o", out.string()}, "larger than 4 GiB - 1 byte"},
        {{"replace", bin, "4251", replacement.string(), "-o", out.string()},
         "'4251' is not an entry of this archive"},
        {{"replace", bin, entry, replacement.string()}, "give either -o OUTDIR or --in-place"},
        {{"replace", bin, entry, replacement.string(), "-o", directory.path.string()}, "use --in-place"},
        {{"pack", files.string(), "-o", (out / "a.bin").string()}, "notes.txt: not an entry file"},
        {{"pack", files.string(), "-o", (out / "a.pak").string()}, "give the output a .bin name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        testing::ExpectOneLineRefusal(Run(c.arguments), c.expected);
        EXPECT_FALSE(fs::exists(out));
    }
    WriteBytes(directory.path / "LINKDATA1.bin.bak", {7});
    const ToolRun backup = Run({"replace", bin, entry, replacement.string(), "--in-place"});
    EXPECT_NE(backup.err.find("LINKDATA1.bin.bak: already exists"), std::string::npos) << backup.err;
    EXPECT_EQ(ReadFileBytes(directory.path / "LINKDATA1.bin.bak"), std::vector<std::uint8_t>{7});
    EXPECT_EQ(ReadFileBytes(archive), oldBin);
}

} // namespace
} // namespace tavro
