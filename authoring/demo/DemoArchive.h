#pragma once
// The demo archive: a LINKDATA1.bin / LINKDATA1.idx pair of 4251 entries holding a G1T pack and a G1M
// model at every entry the viewer's schedule names, made from our own procedural objects and textures.
// The same scale gives the same bytes on every run.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tavro::authoring {

constexpr const char* kDemoArchiveName = "LINKDATA1.bin";
constexpr std::uint32_t kDemoEntryCount = 4251;

struct DemoOptions {
    // 1 for the full demo; smaller values shrink vertex counts and texture sizes for quick tests.
    float scale = 1;
    // Worker threads that build rows; the archive is written in entry order whatever the count.
    unsigned threads = 2;
    // Called after each batch of rows is written, with the rows done so far and the row count.
    std::function<void(std::uint32_t done, std::uint32_t total)> progress;
};

// The texture pack of a schedule row, and the model of a row (rows sharing a model entry get the model
// of the first row that names it).
std::vector<std::uint8_t> MakeDemoTextureEntry(std::uint32_t row, float scale);
std::vector<std::uint8_t> MakeDemoModelEntry(std::uint32_t row, float scale);

class CArchiveWriter;

// Adds the demo's 4251 entries to a writer that was just created, and finishes it. On failure returns
// false and sets error to one line.
bool WriteDemoEntries(CArchiveWriter& writer, const DemoOptions& options, std::string& error);

// Writes directory/LINKDATA1.bin and directory/LINKDATA1.idx, creating the directory if needed. The
// pair is written under temporary names and renamed at the end, so a failure leaves no half-written
// archive (for tests and benchmarks; the tool writes through its own output files). On failure returns
// false and sets error to one line.
bool WriteDemoArchive(const std::filesystem::path& directory, const DemoOptions& options, std::string& error);

} // namespace tavro::authoring
