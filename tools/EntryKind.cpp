#include "tools/EntryKind.h"

#include "model/G1MRecords.h"
#include "texture/DDSFormat.h"
#include "texture/G1TFormat.h"
#include "tools/InputFile.h"

#include <algorithm>
#include <cctype>

namespace tavro::tools {

namespace {

struct KindText {
    EntryKind kind;
    const char* name;
    const char* extension;
    const char* description;
    const char* reader; // the command that reads this kind, for pointing the user to it
};

constexpr KindText kKinds[] = {
    {EntryKind::G1M, "G1M", "g1m", "a G1M model", "tavro model-info reads it"},
    {EntryKind::G1T, "G1T", "g1t", "a G1T texture pack", "tavro g1t-to-dds converts it"},
    {EntryKind::DDS, "DDS", "dds", "a DDS image", "tavro dds-info reads it"},
    {EntryKind::Empty, "empty", "bin", "empty", nullptr},
    {EntryKind::Other, "other", "bin", "not a G1M, G1T or DDS file", nullptr},
    {EntryKind::Unreadable, "unreadable", "bin", "unreadable", nullptr},
};

const KindText& TextOf(EntryKind kind) {
    for (const KindText& text : kKinds) {
        if (text.kind == kind) {
            return text;
        }
    }
    return kKinds[4];
}

} // namespace

EntryKind KindOfBytes(std::span<const std::uint8_t> head) {
    if (head.empty()) {
        return EntryKind::Empty;
    }
    if (head.size() < kKindHeadSize) {
        return EntryKind::Other;
    }
    std::uint32_t magic = 0;
    for (std::size_t i = 0; i < kKindHeadSize; ++i) {
        magic |= static_cast<std::uint32_t>(head[i]) << (8 * i);
    }
    if (magic == kG1MMagic) {
        return EntryKind::G1M;
    }
    if (magic == g1t::kMagic) {
        return EntryKind::G1T;
    }
    return magic == dds::kMagic ? EntryKind::DDS : EntryKind::Other;
}

const char* KindName(EntryKind kind) {
    return TextOf(kind).name;
}

bool ParseKindName(const std::string& text, EntryKind& kind) {
    for (const KindText& known : kKinds) {
        const std::string_view name = known.name;
        if (std::equal(text.begin(), text.end(), name.begin(), name.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            kind = known.kind;
            return true;
        }
    }
    return false;
}

const char* KindExtension(EntryKind kind) {
    return TextOf(kind).extension;
}

const char* KindDescription(EntryKind kind) {
    return TextOf(kind).description;
}

std::string WrongKindMessage(const std::string& input, std::span<const std::uint8_t> bytes,
                             EntryKind expected) {
    const EntryKind actual = KindOfBytes(bytes);
    if (actual == expected || actual == EntryKind::Other) {
        return "";
    }
    const KindText& text = TextOf(actual);
    std::string message = input + ": this " + (NamesArchiveEntry(input) ? "entry" : "file") + " is " +
                          text.description + ", not " + TextOf(expected).description;
    if (text.reader != nullptr) {
        message += std::string(" (") + text.reader + ")";
    }
    return message;
}

} // namespace tavro::tools
