// Threads reading one shared tree at once (searches, nearest lookups, walks)
// while each also changes a tree of its own: readers of one unchanged tree
// and writers of different trees need no lock. Run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

#include "kelu_util_avl.h"
#include "support/avl_shape.h"
#include "support/recording_platform.h"

namespace {

using kelu::test::Keyed;

constexpr int kThreads = 4;
constexpr int64_t kShared = 512;  // even keys 0 .. 2 * (kShared - 1)
constexpr int64_t kOwn = 256;

TEST(AvlConcurrency, SharedReadersAndPrivateWriters) {
    kelu::test::setRecording(false);
    AvlTree shared{};
    ASSERT_EQ(createAvl(&shared, kelu::test::compareKeys, 0, offsetof(Keyed, node)), 0u);
    std::vector<Keyed> sharedElements(kShared);
    for (int64_t i = 0; i < kShared; ++i) {
        sharedElements[static_cast<size_t>(i)].key = 2 * i;
        addAvlNode(&shared, &sharedElements[static_cast<size_t>(i)]);
    }

    std::atomic<int> failures{0};
    auto work = [&](int thread) {
        AvlTree own{};
        createAvl(&own, kelu::test::compareKeys, 0, offsetof(Keyed, node));
        std::vector<Keyed> ownElements(kOwn);
        for (int round = 0; round < 20; ++round) {
            for (int64_t key = -1; key <= 2 * kShared; ++key) {
                AvlIndex position = 0;
                void *found = findAvlNode(&shared, &key, &position);
                if (key % 2 == 0 && key >= 0 && key < 2 * kShared) {
                    failures += found != &sharedElements[static_cast<size_t>(key / 2)];
                } else {
                    void *after = findAvlNearestNode(&shared, position, AVL_RIGHT);
                    failures += found != nullptr ||
                                (key + 1 < 2 * kShared
                                     ? after != &sharedElements[static_cast<size_t>((key + 1) / 2)]
                                     : after != nullptr);
                }
            }
            int64_t walked = 0;
            for (void *e = getAvlFirstNode(&shared); e != nullptr;
                 e = walkAvlNode(&shared, e, AVL_RIGHT)) {
                failures += kelu::test::keyOf(e) != 2 * walked++;
            }
            failures += walked != kShared;

            for (int64_t i = 0; i < kOwn; ++i) {
                ownElements[static_cast<size_t>(i)].key = (i * 37 + thread) % kOwn;
                addAvlNode(&own, &ownElements[static_cast<size_t>(i)]);
            }
            failures += !kelu::test::checkTree(own).empty() || getAvlNodeNum(&own) != kOwn;
            for (int64_t i = 0; i < kOwn; i += 2) {
                removeAvlNode(&own, &ownElements[static_cast<size_t>(i)]);
            }
            failures += !kelu::test::checkTree(own).empty() || getAvlNodeNum(&own) != kOwn / 2;
            destroyAvl(&own);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back(work, t);
    }
    for (std::thread &t : threads) {
        t.join();
    }
    kelu::test::setRecording(true);
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(kelu::test::checkTree(shared), "");
}

}  // namespace
