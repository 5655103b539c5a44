// Opening a 4251-entry archive and extracting its entries (bytes of entry per second): a stored entry
// into memory and streamed in chunks to another file, a compressed one decoded, and memcpy of the same
// bytes for reference. The archive is written once to a temporary folder by the archive writer.
#include "archive/BinArchive.h"
#include "authoring/ArchiveWriter.h"
#include "file/MemoryFile.h"
#include "file/WidePath.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kEntrySize = 16 << 20;
constexpr std::uint32_t kStored = 0;
constexpr std::uint32_t kCompressed = 1;

// Words from a small vocabulary: compresses well, as model and texture data largely do.
std::vector<std::uint8_t> EntryBytes() {
    std::mt19937 random(7);
    std::vector<std::string> words(256);
    for (std::string& word : words) {
        for (std::size_t i = 0, length = 3 + random() % 8; i < length; ++i) {
            word.push_back(static_cast<char>(32 + random() % 95));
        }
    }
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < kEntrySize) {
        const std::string& word = words[random() % words.size()];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(kEntrySize);
    return bytes;
}

// Builds the archive on first use and removes it when the program ends.
class BenchArchive {
public:
    static BenchArchive& Get() {
        static BenchArchive instance;
        return instance;
    }
    ~BenchArchive() { std::filesystem::remove_all(directory); }

    std::wstring binPath;
    std::vector<std::uint8_t> bytes = EntryBytes();

private:
    BenchArchive() {
        directory =
            std::filesystem::temp_directory_path() / ("tavro-bench-archive-" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory);
        tavro::authoring::CArchiveWriter writer;
        const std::filesystem::path bin = directory / "LINKDATA1.bin";
        bool written = writer.Create(bin) && writer.AddStored(bytes) && writer.AddCompressed(bytes);
        for (std::uint32_t i = 2; written && i < 4251; ++i) {
            written = writer.AddEmpty();
        }
        if (!written || !writer.Finish()) {
            std::fprintf(stderr, "bench_archive: %s\n", writer.GetError().c_str());
            std::exit(1);
        }
        binPath = tavro::Utf8ToWide(bin.string());
    }

    std::filesystem::path directory;
};

// A destination that is not a memory file and only counts what it receives.
class CountingSink : public tavro::CAbstractFile32 {
public:
    std::uint32_t Read(void*, std::uint32_t) override { return 0; }
    std::uint32_t Write(const void*, std::uint32_t count) override {
        received += count;
        return count;
    }
    bool Seek(std::int32_t) override { return false; }
    bool Skip(std::int32_t) override { return false; }
    bool SeekFromEnd(std::int32_t) override { return false; }
    std::uint32_t Tell() override { return received; }
    std::uint32_t GetSize() override { return received; }
    bool SetSize(std::uint32_t) override { return false; }

    std::uint32_t received = 0;
};

void OpenArchive(benchmark::State& state) {
    BenchArchive& archive = BenchArchive::Get();
    for (auto _ : state) {
        tavro::CKOEIFile_BIN_OROCHIZ reader;
        benchmark::DoNotOptimize(reader.Open(archive.binPath.c_str(), tavro::kOpenRead));
    }
}
BENCHMARK(OpenArchive)->Unit(benchmark::kMicrosecond);

void ExtractEntry(benchmark::State& state, std::uint32_t entry) {
    BenchArchive& archive = BenchArchive::Get();
    tavro::CKOEIFile_BIN_OROCHIZ reader;
    if (!reader.Open(archive.binPath.c_str(), tavro::kOpenRead)) {
        state.SkipWithError("cannot open the archive");
        return;
    }
    for (auto _ : state) {
        std::uint8_t* bytes = nullptr;
        if (reader.ExtractEntry(entry, bytes) != kEntrySize) {
            state.SkipWithError("extraction failed");
            return;
        }
        delete[] bytes;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kEntrySize));
}
BENCHMARK_CAPTURE(ExtractEntry, stored_to_memory, kStored)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ExtractEntry, compressed_to_memory, kCompressed)->Unit(benchmark::kMillisecond);

void ExtractStoredInChunks(benchmark::State& state) {
    BenchArchive& archive = BenchArchive::Get();
    tavro::CKOEIFile_BIN_OROCHIZ reader;
    if (!reader.Open(archive.binPath.c_str(), tavro::kOpenRead)) {
        state.SkipWithError("cannot open the archive");
        return;
    }
    for (auto _ : state) {
        CountingSink sink;
        if (reader.ExtractEntryTo(kStored, sink) != kEntrySize) {
            state.SkipWithError("extraction failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kEntrySize));
}
BENCHMARK(ExtractStoredInChunks)->Unit(benchmark::kMillisecond);

void MemcpyReference(benchmark::State& state) {
    const std::vector<std::uint8_t>& source = BenchArchive::Get().bytes;
    for (auto _ : state) {
        auto* copy = new std::uint8_t[kEntrySize];
        std::memcpy(copy, source.data(), kEntrySize);
        benchmark::DoNotOptimize(copy);
        delete[] copy;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kEntrySize));
}
BENCHMARK(MemcpyReference)->Unit(benchmark::kMillisecond);

} // namespace
