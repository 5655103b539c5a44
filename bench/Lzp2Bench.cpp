// LZP2 decode throughput (bytes of output per second) beside a memcpy of the same bytes and LZ4's
// decoder on the same data, and the encoder's throughput (bytes of input per second).
#include "archive/Lzp2.h"
#include "authoring/Lzp2Encoder.h"

#include <benchmark/benchmark.h>
#include <lz4.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kDataSize = 4 << 20;

// Words drawn from a small vocabulary with a bias towards the first ones: mostly back references,
// compressing about 2.5 to 1.
Bytes MatchHeavy() {
    std::mt19937 random(1);
    std::vector<std::string> words(128);
    for (std::string& word : words) {
        const std::size_t length = 2 + random() % 9;
        for (std::size_t i = 0; i < length; ++i)
            word.push_back(char(32 + random() % 95));
    }
    Bytes bytes;
    while (bytes.size() < kDataSize) {
        const std::string& word = words[std::min(random() % words.size(), random() % words.size())];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(kDataSize);
    return bytes;
}

// 32-byte vertices of a noisy surface: almost no repeats, so nearly all literal runs.
Bytes LiteralHeavy() {
    std::mt19937 random(2);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    Bytes bytes(kDataSize);
    for (std::size_t offset = 0; offset + 32 <= kDataSize; offset += 32) {
        const float vertex[8] = {100 * unit(random), 100 * unit(random), 100 * unit(random),
                                 unit(random),       unit(random),       1.0f,
                                 unit(random),       unit(random)};
        std::memcpy(bytes.data() + offset, vertex, sizeof vertex);
    }
    return bytes;
}

struct Corpus {
    Bytes plain;
    Bytes lzp2;
    std::vector<char> lz4;
};

const Corpus& GetCorpus(bool matchHeavy) {
    static const auto make = [](Bytes plain) {
        Corpus corpus{std::move(plain), {}, {}};
        corpus.lzp2 = tavro::authoring::Lzp2Encode(corpus.plain);
        corpus.lz4.resize(std::size_t(LZ4_compressBound(int(corpus.plain.size()))));
        const int lz4Size =
            LZ4_compress_default(reinterpret_cast<const char*>(corpus.plain.data()), corpus.lz4.data(),
                                 int(corpus.plain.size()), int(corpus.lz4.size()));
        corpus.lz4.resize(std::size_t(lz4Size));
        return corpus;
    };
    static const Corpus matchCorpus = make(MatchHeavy());
    static const Corpus literalCorpus = make(LiteralHeavy());
    return matchHeavy ? matchCorpus : literalCorpus;
}

void Report(benchmark::State& state, std::size_t bytes, std::size_t compressedBytes) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    state.counters["ratio"] = double(bytes) / double(compressedBytes);
}

void BM_Lzp2Decode(benchmark::State& state) {
    const Corpus& corpus = GetCorpus(state.range(0) != 0);
    Bytes output(corpus.plain.size());
    for (auto _ : state) {
        const bool ok = tavro::Lzp2Decode(corpus.lzp2.data(), std::uint32_t(corpus.lzp2.size()),
                                          output.data(), std::uint32_t(output.size()));
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    if (output != corpus.plain)
        state.SkipWithError("decoded bytes differ from the input");
    Report(state, corpus.plain.size(), corpus.lzp2.size());
}

void BM_Lz4Decode(benchmark::State& state) {
    const Corpus& corpus = GetCorpus(state.range(0) != 0);
    Bytes output(corpus.plain.size());
    for (auto _ : state) {
        const int size = LZ4_decompress_safe(corpus.lz4.data(), reinterpret_cast<char*>(output.data()),
                                             int(corpus.lz4.size()), int(output.size()));
        benchmark::DoNotOptimize(size);
        benchmark::ClobberMemory();
    }
    Report(state, corpus.plain.size(), corpus.lz4.size());
}

void BM_Memcpy(benchmark::State& state) {
    const Corpus& corpus = GetCorpus(state.range(0) != 0);
    Bytes output(corpus.plain.size());
    for (auto _ : state) {
        std::memcpy(output.data(), corpus.plain.data(), output.size());
        benchmark::ClobberMemory();
    }
    Report(state, corpus.plain.size(), corpus.plain.size());
}

void BM_Lzp2Encode(benchmark::State& state) {
    const Corpus& corpus = GetCorpus(state.range(0) != 0);
    for (auto _ : state) {
        Bytes stream = tavro::authoring::Lzp2Encode(corpus.plain);
        benchmark::DoNotOptimize(stream.data());
    }
    Report(state, corpus.plain.size(), corpus.lzp2.size());
}

// Argument 1: match-heavy data; 0: literal-heavy data. With --benchmark_repetitions the "best" row
// holds the fastest run: the highest bytes_per_second (its time column is the longest and is not used).
void Configure(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgName("matchHeavy")
        ->Arg(1)
        ->Arg(0)
        ->ComputeStatistics(
            "best", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

BENCHMARK(BM_Lzp2Decode)->Apply(Configure);
BENCHMARK(BM_Lz4Decode)->Apply(Configure);
BENCHMARK(BM_Memcpy)->Apply(Configure);
BENCHMARK(BM_Lzp2Encode)->Apply(Configure)->Unit(benchmark::kMillisecond);

} // namespace
