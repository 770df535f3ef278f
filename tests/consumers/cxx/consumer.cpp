// SPDX-License-Identifier: MIT
// A C++20 program built against libkelu_util through the CMake target
// kelu_util::kelu_util alone, whether it came from find_package or from
// add_subdirectory, and written in the typed interface (kelu_util.hpp):
// sorts a few records in a set, queues them in a spin-lock list in key order,
// checksums a text. Exits non-zero on the first wrong answer.
#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "kelu_util.hpp"

namespace {

struct Record {
    int key;
    AvlNode byKey{};
    ListNode queued{};
};

int failures = 0;

void expect(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "c++ consumer: failed: %s\n", what);
        ++failures;
    }
}

}  // namespace

int main() {
    expect(std::strcmp(KELU_UTIL_VERSION_STRING, KELU_EXPECTED_VERSION) == 0,
           "header version is the package's");
    expect(UTIL_ModuleInit() == 0, "module up");

    std::array<Record, 5> records{
        {{.key = 30}, {.key = 10}, {.key = 50}, {.key = 20}, {.key = 40}}};
    kelu::avl_set<Record, &Record::byKey, std::compare_three_way, kelu::member_key<&Record::key>>
        set;
    kelu::spin_lock_list<Record, &Record::queued> queue;
    for (Record &record : records) {
        set.insert(record);
    }
    expect(set.size() == records.size(), "every record in the set");
    for (Record &record : set) {
        queue.push_back(record);
    }
    // The queue hands the records back in ascending key order.
    int previous = 0;
    while (Record *record = queue.pop_front()) {
        expect(record->key == previous + 10, "ascending keys");
        previous = record->key;
    }
    expect(previous == 50, "the walk reached the largest key");
    set.clear();
    UTIL_ModuleFInit();

    constexpr std::string_view text = "123456789";
    expect(kelu::crc32(text) == 0xFC891918u, "CRC-32/BZIP2 check value");
    expect(kelu::crc32c(text) == 0xE3069283u, "CRC-32C check value");
    if (failures == 0) {
        std::puts("c++ consumer: ok");
    }
    return failures == 0 ? 0 : 1;
}
