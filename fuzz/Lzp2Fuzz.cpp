// Input: a 32-bit little-endian output size (reduced to at most three blocks), then the LZP2 source.
// The decoder must never touch memory outside the exact-size source and output; separately, whatever
// the input bytes are, encoding them and decoding the result must give them back.
#include "archive/Lzp2.h"
#include "authoring/Lzp2Encoder.h"
#include "fuzz/FuzzTarget.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr std::uint32_t kMaxOutputSize = 3 * tavro::kLzp2BlockOutputSize;

void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> stream = tavro::authoring::Lzp2Encode({data, size});
    const std::unique_ptr<std::uint8_t[]> decoded(new std::uint8_t[size]);
    if (!tavro::Lzp2Decode(stream.data(), std::uint32_t(stream.size()), decoded.get(), std::uint32_t(size)) ||
        !std::equal(data, data + size, decoded.get()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    std::uint32_t outputSize = 0;
    for (int i = 3; i >= 0; --i)
        outputSize = outputSize << 8 | data[i];
    outputSize %= kMaxOutputSize + 1;

    const std::size_t sourceSize = size - 4;
    const std::unique_ptr<std::uint8_t[]> source(new std::uint8_t[sourceSize]);
    std::memcpy(source.get(), data + 4, sourceSize);
    const std::unique_ptr<std::uint8_t[]> output(new std::uint8_t[outputSize]);
    tavro::Lzp2Decode(source.get(), std::uint32_t(sourceSize), output.get(), outputSize);

    CheckRoundTrip(data + 4, sourceSize);
    return 0;
}
