#include "authoring/Lzp2Encoder.h"

#include "archive/Lzp2.h"
#include "file/LittleEndian.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace tavro::authoring {
namespace {

constexpr std::uint32_t kMagic = 0x32505A4C; // "LZP2" as a little-endian word
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kBlockAlignment = 2048;

constexpr std::size_t kMaxLiteralRun = 63;
constexpr std::size_t kMinFill = 4;
constexpr std::size_t kMaxFill = 16387;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
constexpr std::size_t kMaxDistance = 2048;

// The hash table has 2^14 heads for large inputs; a small input gets about one head per byte (at
// least 2^8), so encoding a few bytes does not clear a 128 KiB table.
constexpr int kMaxHashBits = 14;
constexpr int kMinHashBits = 8;
// Links are kept for twice the window, so a link followed from inside the window is never stale; an
// input shorter than that needs no more links than it has bytes.
constexpr std::size_t kMaxChainSize = 2 * kMaxDistance;
constexpr int kChainDepth = 24;
// Only a short match is worth deferring by one literal to try the next position: a long one rarely
// loses enough to pay for the literal, and skipping the second search keeps the encoder fast.
constexpr std::size_t kLazyBelow = 8;
constexpr std::size_t kNoPosition = SIZE_MAX;

struct Match {
    std::size_t length = 0;
    std::size_t distance = 0;
};

// Greedy LZP2 encoder with one step of lazy evaluation. Matches are found through hash chains over
// three-byte prefixes; the 2048-byte window runs across block edges, as the decoder allows.
class Encoder {
public:
    explicit Encoder(std::span<const std::uint8_t> input) : in(input) {}

    std::vector<std::uint8_t> Run() {
        const std::size_t blockCount = (in.size() + kLzp2BlockOutputSize - 1) / kLzp2BlockOutputSize;
        out.reserve(in.size() + in.size() / kMaxLiteralRun + blockCount * (kHeaderSize + kBlockAlignment));
        for (std::size_t start = 0; start < in.size(); start += kLzp2BlockOutputSize)
            EncodeBlock(start, std::min(in.size(), start + kLzp2BlockOutputSize));
        return std::move(out);
    }

private:
    void EncodeBlock(std::size_t start, std::size_t end) {
        const std::size_t headerAt = out.size();
        out.resize(headerAt + kHeaderSize);
        StoreU32(&out[headerAt], kMagic);
        StoreU32(&out[headerAt + 4], 0);
        StoreU32(&out[headerAt + 8], std::uint32_t(end - start));

        std::size_t literalStart = start;
        std::size_t pos = start;
        Match match = FindMatch(pos, end); // always searched before pos itself is recorded
        while (pos < end) {
            const std::size_t run = RunLength(pos, end);
            Insert(pos);
            if (run > kMaxMatch || (run >= kMinFill && run > match.length)) {
                FlushLiterals(literalStart, pos);
                EmitFill(run, in[pos]);
                Cover(pos, run);
                literalStart = pos;
            } else if (match.length >= kMinMatch) {
                const Match later = match.length < kLazyBelow ? FindMatch(pos + 1, end) : Match{};
                if (later.length > match.length) {
                    ++pos; // one literal now buys a longer match at the next position
                    match = later;
                    continue;
                }
                FlushLiterals(literalStart, pos);
                EmitReference(match);
                Cover(pos, match.length);
                literalStart = pos;
            } else {
                ++pos;
            }
            match = FindMatch(pos, end);
        }
        FlushLiterals(literalStart, end);
        out.push_back(0);

        const std::size_t opStreamSize = out.size() - headerAt - kHeaderSize;
        StoreU32(&out[headerAt + 12], std::uint32_t(opStreamSize));
        const std::size_t padded =
            (kHeaderSize + opStreamSize + kBlockAlignment - 1) & ~(kBlockAlignment - 1);
        out.resize(headerAt + padded, 0);
    }

    std::uint32_t Hash(std::size_t pos) const {
        const std::uint32_t prefix =
            std::uint32_t(in[pos]) | std::uint32_t(in[pos + 1]) << 8 | std::uint32_t(in[pos + 2]) << 16;
        return (prefix * 2654435761u) >> (32 - hashBits);
    }

    void Insert(std::size_t pos) {
        if (pos + kMinMatch > in.size())
            return;
        std::size_t& first = head[Hash(pos)];
        chain[pos % chain.size()] = first;
        first = pos;
    }

    // Moves pos past the count bytes an op produced, recording all but the first (already recorded).
    void Cover(std::size_t& pos, std::size_t count) {
        const std::size_t end = pos + count;
        while (++pos < end)
            Insert(pos);
    }

    std::size_t RunLength(std::size_t pos, std::size_t end) const {
        const std::size_t limit = std::min(end, pos + kMaxFill);
        std::size_t next = pos + 1;
        while (next < limit && in[next] == in[pos])
            ++next;
        return next - pos;
    }

    // How many bytes, up to maxLength, agree at earlier and at later (earlier < later, and
    // later + maxLength within the input).
    std::size_t MatchLength(std::size_t earlier, std::size_t later, std::size_t maxLength) const {
        std::size_t length = 0;
        for (; length + 8 <= maxLength; length += 8) {
            const std::uint64_t difference = LoadLe64(earlier + length) ^ LoadLe64(later + length);
            if (difference != 0)
                return length + std::countr_zero(difference) / 8;
        }
        while (length < maxLength && in[earlier + length] == in[later + length])
            ++length;
        return length;
    }

    std::uint64_t LoadLe64(std::size_t pos) const {
        std::uint64_t value = 0;
        for (int i = 7; i >= 0; --i)
            value = value << 8 | in[pos + i];
        return value;
    }

    // The longest earlier occurrence of the bytes at pos, within the window and not past end. The copy
    // may overlap the bytes it produces, as the decoder copies forwards one byte at a time.
    Match FindMatch(std::size_t pos, std::size_t end) const {
        Match best;
        const std::size_t maxLength = std::min(kMaxMatch, end - std::min(end, pos));
        if (maxLength < kMinMatch || pos + kMinMatch > in.size())
            return best;
        std::size_t candidate = head[Hash(pos)];
        for (int depth = 0; depth < kChainDepth && candidate != kNoPosition; ++depth) {
            const std::size_t distance = pos - candidate;
            if (distance > kMaxDistance)
                break;
            if (in[candidate + best.length] == in[pos + best.length]) {
                const std::size_t length = MatchLength(candidate, pos, maxLength);
                if (length > best.length) {
                    best = {length, distance};
                    if (length == maxLength)
                        break;
                }
            }
            candidate = chain[candidate % chain.size()];
        }
        return best;
    }

    void FlushLiterals(std::size_t from, std::size_t to) {
        while (from < to) {
            const std::size_t count = std::min(kMaxLiteralRun, to - from);
            out.push_back(std::uint8_t(count));
            out.insert(out.end(), in.begin() + from, in.begin() + from + count);
            from += count;
        }
    }

    void EmitFill(std::size_t count, std::uint8_t value) {
        const std::size_t field = count - kMinFill;
        out.push_back(std::uint8_t(0x40 | field >> 8));
        out.push_back(std::uint8_t(field & 0xFF));
        out.push_back(value);
    }

    void EmitReference(const Match& match) {
        const std::size_t distanceField = match.distance - 1;
        out.push_back(std::uint8_t(0x80 | (match.length - kMinMatch) << 3 | distanceField >> 8));
        out.push_back(std::uint8_t(distanceField & 0xFF));
    }

    std::span<const std::uint8_t> in;
    std::vector<std::uint8_t> out;
    int hashBits = std::clamp(int(std::bit_width(in.size())), kMinHashBits, kMaxHashBits);
    std::vector<std::size_t> head = std::vector<std::size_t>(std::size_t(1) << hashBits, kNoPosition);
    std::vector<std::size_t> chain = std::vector<std::size_t>(
        std::min(kMaxChainSize, std::bit_ceil(std::max<std::size_t>(in.size(), 1))), kNoPosition);
};

} // namespace

std::vector<std::uint8_t> Lzp2Encode(std::span<const std::uint8_t> input) {
    return Encoder(input).Run();
}

} // namespace tavro::authoring
