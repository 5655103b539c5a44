// Input: a 32-bit little-endian output size, then the LZP2 source. The size is reduced to at most three
// blocks and to what the source can decode to at all (larger sizes are refused before decoding, and
// would only measure the allocator).
// The decoder must never touch memory outside the exact-size source and output; separately, whatever
// the input bytes are, encoding them and decoding the result must give them back.
#include "archive/Lzp2.h"
#include "authoring/Lzp2Encoder.h"
#include "fuzz/FuzzTarget.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

namespace {

constexpr std::uint32_t kMaxOutputSize = 3 * tavro::kLzp2BlockOutputSize;

// The decoder's output, taken from one block kept for the whole run: a fresh block of up to 1.5 MiB for
// every input costs a mapping and its page faults under the sanitizer, most of a run's time. The output
// starts at the block's start, behind the allocation's own redzone, and the rest of the block is
// poisoned while the decoder runs, so an access outside the exact output is still reported.
class OutputArena {
public:
    std::uint8_t* Take(std::uint32_t size) {
        taken = size;
        ASAN_POISON_MEMORY_REGION(block.get() + size, kMaxOutputSize - size);
        return block.get();
    }
    void Give() { ASAN_UNPOISON_MEMORY_REGION(block.get() + taken, kMaxOutputSize - taken); }

private:
    std::unique_ptr<std::uint8_t[]> block{new std::uint8_t[kMaxOutputSize]};
    std::uint32_t taken = 0;
};

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
    const std::size_t sourceSize = size - 4;
    outputSize %=
        std::min<std::uint64_t>(kMaxOutputSize, tavro::Lzp2MaxOutputSize(std::uint32_t(sourceSize))) + 1;

    const std::unique_ptr<std::uint8_t[]> source(new std::uint8_t[sourceSize]);
    std::memcpy(source.get(), data + 4, sourceSize);
    static OutputArena arena;
    tavro::Lzp2Decode(source.get(), std::uint32_t(sourceSize), arena.Take(outputSize), outputSize);
    arena.Give();

    CheckRoundTrip(data + 4, sourceSize);
    return 0;
}
