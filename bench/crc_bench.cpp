// SPDX-License-Identifier: MIT
//
// Checksum throughput from 1 byte to 16 MiB: the library's CRC_Crc32 and
// crc32_iscsi_00 (through the shared object, as callers see them), the table
// loop they are checked against, kelu::crc32 and kelu::crc32c of the C++
// interface, ISA-L's crc32_ieee and crc32_iscsi, and
// zlib's crc32 (a different, reflected CRC: a reference point only). Every
// variant of one size is registered next to the others; run with
// --benchmark_repetitions and --benchmark_enable_random_interleaving, as
// bench/report.py does, and compare medians.
//
// Then combining checksums, "combine/<variant>/<length of B>": the header's
// CRC_Crc32Combine and CRC_Crc32cCombine (inlined, as callers get them),
// their portable path, and zlib's crc32_combine (its own polynomial, the
// same arithmetic, done bit by bit), for lengths of B from 1 byte to 1 TiB
// and the worst cases 2^40 - 1 and 2^63 - 1, whose hexadecimal digits are
// all nonzero. Each combination takes the previous result as its crcA, so
// the time is its latency.
#include <benchmark/benchmark.h>
#include <isa-l/crc.h>
#include <zlib.h>

#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "crc32_table.h"
#include "kelu/crc.hpp"
#include "kelu_util_crc.h"

namespace {

constexpr size_t kMaxBytes = size_t{16} << 20;

unsigned char *data() {
    static std::vector<unsigned char> bytes = [] {
        std::vector<unsigned char> fill(kMaxBytes);
        std::mt19937_64 rng(1);
        for (unsigned char &byte : fill) {
            byte = static_cast<unsigned char>(rng());
        }
        return fill;
    }();
    return bytes.data();
}

using Checksum = uint32_t (*)(unsigned char *p, size_t n);

// The table loop as an entry point of its own would run it: called out of
// line, with the same empty-input test (but no shared-object call).
__attribute__((noinline)) uint32_t tableLoopCrc32(const unsigned char *p, size_t n) {
    if (p == nullptr || n == 0) {
        return 0;
    }
    return ~kelu::crc::crc32Bytewise(0xFFFFFFFFu, p, n);
}

const struct {
    const char *name;
    Checksum run;
} kVariants[] = {
    {"CRC_Crc32",
     [](unsigned char *p, size_t n) { return CRC_Crc32(p, static_cast<uint32_t>(n)); }},
    {"kelu::crc32", [](unsigned char *p, size_t n) { return kelu::crc32(std::span(p, n)); }},
    {"table_loop", [](unsigned char *p, size_t n) { return tableLoopCrc32(p, n); }},
    {"isal_crc32_ieee", [](unsigned char *p, size_t n) { return crc32_ieee(0, p, n); }},
    {"crc32_iscsi_00",
     [](unsigned char *p, size_t n) { return crc32_iscsi_00(p, static_cast<int>(n), ~0u); }},
    {"kelu::crc32c", [](unsigned char *p, size_t n) { return kelu::crc32c(std::span(p, n)); }},
    {"isal_crc32_iscsi",
     [](unsigned char *p, size_t n) { return crc32_iscsi(p, static_cast<int>(n), ~0u); }},
    {"zlib_crc32",
     [](unsigned char *p, size_t n) { return static_cast<uint32_t>(crc32_z(0, p, n)); }},
};

void measure(benchmark::State &state, Checksum run) {
    const auto n = static_cast<size_t>(state.range(0));
    unsigned char *p = data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(run(p, n));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
}

using Combine = uint32_t (*)(uint32_t crcA, uint32_t crcB, uint64_t lengthB);

constexpr struct {
    const char *name;
    Combine run;
} kCombines[] = {
    {"CRC_Crc32Combine", CRC_Crc32Combine},
    {"CRC_Crc32cCombine", CRC_Crc32cCombine},
    {"crc32_portable",
     [](uint32_t a, uint32_t b, uint64_t n) {
         return kelu_crcCombineOn(kelu_crc32Polynomial(), a, b, n, 0);
     }},
    {"crc32c_portable",
     [](uint32_t a, uint32_t b, uint64_t n) {
         return kelu_crcCombineOn(kelu_crc32cPolynomial(), a, b, n, 0);
     }},
    {"zlib_crc32_combine",
     [](uint32_t a, uint32_t b, uint64_t n) {
         return static_cast<uint32_t>(crc32_combine(a, b, static_cast<z_off_t>(n)));
     }},
};

// One combination per iteration (the header's inlined into the loop); the
// length is reloaded each time, so that nothing derived from it is hoisted.
template <size_t variant>
void measureCombine(benchmark::State &state) {
    constexpr Combine run = kCombines[variant].run;
    auto length = static_cast<uint64_t>(state.range(0));
    uint32_t crc = 0x12345678u;
    for (auto _ : state) {
        benchmark::DoNotOptimize(length);
        crc = run(crc, 0x9E3779B9u, length);
    }
    benchmark::DoNotOptimize(crc);
}

template <size_t... variant>
void registerCombines(int64_t length, std::index_sequence<variant...>) {
    (benchmark::RegisterBenchmark((std::string("combine/") + kCombines[variant].name).c_str(),
                                  measureCombine<variant>)
         ->Arg(length),
     ...);
}

const int kRegistered = [] {
    const size_t sizes[] = {1,        2,        4,         8,       12,      16,
                            24,       32,       64,        256,     1 << 10, 4 << 10,
                            16 << 10, 64 << 10, 256 << 10, 1 << 20, 4 << 20, 16 << 20};
    for (size_t n : sizes) {
        for (const auto &variant : kVariants) {
            benchmark::RegisterBenchmark(variant.name, measure, variant.run)
                ->Arg(static_cast<int64_t>(n));
        }
    }
    std::vector<int64_t> lengths;
    for (int64_t length = 1; length <= int64_t{1} << 40; length *= 4) {
        lengths.push_back(length);
    }
    lengths.push_back((int64_t{1} << 40) - 1);
    lengths.push_back(INT64_MAX);
    for (int64_t length : lengths) {
        registerCombines(length, std::make_index_sequence<std::size(kCombines)>());
    }
    return 0;
}();

}  // namespace

BENCHMARK_MAIN();
