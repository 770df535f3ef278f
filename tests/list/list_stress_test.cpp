// SPDX-License-Identifier: MIT
// Four threads share a spin-lock list through the shared object and the
// stand-in's real lock: they link and cut at both ends, and now and then hold
// the lock to check the ring and unlink its middle node without locking. No
// node is lost or duplicated, each taken out reaches one thread, poisoned.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <vector>

#include "kelu_util_list.h"
#include "support/common.h"

namespace {

constexpr int kThreads = 4, kInList = -1;
#ifdef KELU_SANITIZED_BUILD
constexpr long kSteps = 50'000;  // per thread
#else
constexpr long kSteps = 250'000;
#endif

struct Node {
    ListNode link;  // first: a link's address is its node's
    std::atomic<int> holder;
};

// The nodes front to back; none when a prev link or the count disagrees.
std::vector<Node *> ringOf(SpinLockList &list) {
    std::vector<Node *> ring;
    ListNode *head = reinterpret_cast<ListNode *>(&list), *before = head;
    for (ListNode *at = list.next; at != head && ring.size() <= list.count; at = at->next) {
        if (at->prev != before) {
            return {};
        }
        ring.push_back(reinterpret_cast<Node *>(before = at));
    }
    return list.prev == before && ring.size() == list.count ? ring : std::vector<Node *>{};
}

TEST(SpinLockListStress, FourThreadsLinkCutAndUnlink) {
    SpinLockList list;
    spinLockListInit(&list);
    std::vector<Node> nodes(256);
    std::vector<std::vector<Node *>> hands(kThreads);
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodes[i].holder = static_cast<int>(i % kThreads);
        hands[i % kThreads].push_back(&nodes[i]);
    }
    std::atomic<long> failures{0};
    kelu::test::runThreads(kThreads, [&](int t) {
        std::vector<Node *> &hand = hands[static_cast<size_t>(t)];
        std::mt19937 random(static_cast<uint32_t>(kelu::test::testSeed()) +
                            static_cast<uint32_t>(t));
        for (long step = 0; step < kSteps; ++step) {
            const uint32_t choice = random() % 16;
            Node *taken = nullptr;
            if (choice < 7 && !hand.empty()) {
                hand.back()->holder = kInList;
                (choice % 2 == 0 ? spinLockListAdd : spinLockListAddTail)(&hand.back()->link,
                                                                          &list);
                hand.pop_back();
            } else if (choice < 15) {
                taken = reinterpret_cast<Node *>(choice % 2 == 0 ? spinLockListCutFirstNode(&list)
                                                                 : spinLockListCutLastNode(&list));
            } else {
                do_vemo_spinlock_lock(&list.lock, "test", __LINE__);
                const std::vector<Node *> ring = ringOf(list);
                failures += ring.empty() && list.count != 0;
                if (!ring.empty()) {
                    taken = ring[ring.size() / 2];
                    spinLockListDelNoLock(&taken->link, &list);
                }
                do_vemo_spinlock_unlock(&list.lock, "test", __LINE__);
            }
            if (taken != nullptr) {
                failures += taken->holder.exchange(t) != kInList ||
                            taken->link.next != LIST_POISON_NEXT ||
                            taken->link.prev != LIST_POISON_PREV;
                hand.push_back(taken);
            }
        }
    });
    EXPECT_EQ(failures.load(), 0) << kelu::test::seedTrace();
    std::vector<int> seen(nodes.size());
    for (Node *node : ringOf(list)) {
        EXPECT_EQ(node->holder, kInList);
        ++seen[static_cast<size_t>(node - nodes.data())];
    }
    for (int t = 0; t < kThreads; ++t) {
        for (Node *node : hands[static_cast<size_t>(t)]) {
            EXPECT_EQ(node->holder, t);
            ++seen[static_cast<size_t>(node - nodes.data())];
        }
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(nodes.size()));
}

}  // namespace
