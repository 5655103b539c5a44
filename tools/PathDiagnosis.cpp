#include "tools/PathDiagnosis.h"

#include "file/WidePath.h"

#include <system_error>

namespace tavro::tools {

bool IsValidUtf8(std::string_view text) {
    // Decoding replaces every malformed sequence, so only valid text survives the round trip.
    return WideToUtf8(Utf8ToWide(text)) == text;
}

std::string DescribeNonUtf8Name(const std::string& path) {
    return path + ": the name is not valid UTF-8, and only UTF-8 file and folder names can be opened";
}

std::string DescribeNotRegular(std::filesystem::file_type type) {
    using std::filesystem::file_type;
    switch (type) {
    case file_type::directory:
        return "is a folder, not a file";
    case file_type::fifo:
        return "is a FIFO (named pipe), not a regular file";
    case file_type::character:
        return "is a character device, not a regular file";
    case file_type::block:
        return "is a block device, not a regular file";
    case file_type::socket:
        return "is a socket, not a regular file";
    default:
        return "is not a regular file";
    }
}

std::string CheckRegularFile(const std::string& path) {
    if (!IsValidUtf8(path)) {
        return DescribeNonUtf8Name(path);
    }
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(std::filesystem::u8path(path), code);
    if (status.type() == std::filesystem::file_type::not_found) {
        return path + ": no such file";
    }
    if (code) {
        return path + ": cannot be looked up (" + code.message() + ")";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return path + ": " + DescribeNotRegular(status.type());
    }
    return {};
}

} // namespace tavro::tools
