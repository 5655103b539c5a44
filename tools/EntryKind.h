#pragma once
// What kind of file an archive entry or an input holds, told from its first bytes, and how the tool
// names each kind: in tables, in file extensions and in messages.
#include <cstdint>
#include <span>
#include <string>

namespace tavro::tools {

// Unreadable: an entry whose first bytes cannot be read or decoded from the archive.
enum class EntryKind { G1M, G1T, DDS, Empty, Other, Unreadable };

// Bytes of an entry's start that KindOfBytes needs.
constexpr std::uint32_t kKindHeadSize = 4;

// The kind of a file that starts with head (Empty when head is empty).
EntryKind KindOfBytes(std::span<const std::uint8_t> head);

// "G1M", "G1T", "DDS", "empty", "other", "unreadable".
const char* KindName(EntryKind kind);
// Parses a kind name, ignoring case.
bool ParseKindName(const std::string& text, EntryKind& kind);
// The extension an extracted file of this kind gets: "g1m", "g1t", "dds", or "bin" for anything else.
const char* KindExtension(EntryKind kind);
// "a G1M model", "a G1T texture pack", "a DDS image", "empty", "not a G1M, G1T or DDS file", ...
const char* KindDescription(EntryKind kind);

// When bytes are of another known kind than expected (or empty), the one-line refusal that says which,
// "A.bin:97: this entry is a G1T texture pack, not a G1M model (tavro g1t-to-dds converts it)";
// otherwise "", and the caller says what is wrong with the file itself.
std::string WrongKindMessage(const std::string& input, std::span<const std::uint8_t> bytes,
                             EntryKind expected);

} // namespace tavro::tools
