// SPDX-License-Identifier: MIT
// A C++20 program built against libkelu_util through the CMake target
// kelu_util::kelu_util alone, whether it came from find_package or from
// add_subdirectory. Sorts a few records with the tree, queues them in a
// spin-lock list, checksums a text; exits non-zero on the first wrong answer.
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "kelu_util_avl.h"
#include "kelu_util_crc.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"

namespace {

struct Record {
    int key;
    AvlNode byKey;
    ListNode queued;
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

    AvlTree tree;
    auto byKey = [](void *key, void *element) -> int32_t {
        const int a = static_cast<Record *>(key)->key;
        const int b = static_cast<Record *>(element)->key;
        return (a > b) - (a < b);
    };
    expect(createAvl(&tree, byKey, 0, offsetof(Record, byKey)) == 0, "tree created");
    std::array<Record, 5> records{
        {{30, {}, {}}, {10, {}, {}}, {50, {}, {}}, {20, {}, {}}, {40, {}, {}}}};
    SpinLockList queue;
    spinLockListInit(&queue);
    for (Record &record : records) {
        addAvlNode(&tree, &record);
    }
    expect(getAvlNodeNum(&tree) == records.size(), "every record in the tree");
    for (void *at = getAvlFirstNode(&tree); at != nullptr; at = walkAvlNode(&tree, at, AVL_RIGHT)) {
        spinLockListAddTail(&static_cast<Record *>(at)->queued, &queue);
    }
    expect(queue.count == records.size(), "the walk visited every record");
    // The queue hands the records back in ascending key order.
    int previous = 0;
    while (ListNode *node = spinLockListCutFirstNode(&queue)) {
        const Record *record = reinterpret_cast<const Record *>(reinterpret_cast<char *>(node) -
                                                                offsetof(Record, queued));
        expect(record->key == previous + 10 && node->next == LIST_POISON_NEXT, "ascending keys");
        previous = record->key;
    }
    expect(previous == 50, "the walk reached the largest key");
    spinLockListDestroy(&queue);
    expect(destroyAvl(&tree) == 0, "tree destroyed");
    UTIL_ModuleFInit();

    const char text[] = "123456789";
    expect(CRC_Crc32(text, 9) == 0xFC891918u, "CRC-32/BZIP2 check value");
    unsigned char bytes[9];
    std::memcpy(bytes, text, 9);
    expect(~crc32_iscsi_00(bytes, 9, 0xFFFFFFFFu) == 0xE3069283u, "CRC-32C check value");
    if (failures == 0) {
        std::puts("c++ consumer: ok");
    }
    return failures == 0 ? 0 : 1;
}
