// The spin-lock list shared by four threads, through the shipped shared
// object and the platform stand-in's real spin lock: no node is lost or
// duplicated, every cut node reaches exactly one caller, `count` stays true
// to the ring, and NoLock operations under a held lock mix with locked ones.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "kelu_util_list.h"
#include "support/list_ring.h"
#include "vemo_spinlock.h"

namespace {

constexpr int kThreads = 4;
constexpr long kOperations = 1'000'000;  // per test, over all threads
constexpr int kInList = -1;

// A pool element: its link, and who has it (a thread's index or kInList),
// kept by the test beside the list to catch a node handed out twice.
struct Element {
    ListNode link;
    std::atomic<int> holder{kInList};
};

Element *elementOf(ListNode *link) {
    return reinterpret_cast<Element *>(reinterpret_cast<char *>(link) - offsetof(Element, link));
}

class SharedList : public ::testing::Test {
  protected:
    static constexpr size_t kPool = 256;

    void SetUp() override { spinLockListInit(&list); }

    // Hands each thread an equal share of the pool.
    void dealPool() {
        for (size_t i = 0; i < kPool; ++i) {
            int thread = static_cast<int>(i % kThreads);
            pool[i].holder = thread;
            hands[static_cast<size_t>(thread)].push_back(&pool[i]);
        }
    }

    // `operations` random locked links (front or back) and cuts (first or
    // last) by thread `self`, linking from and cutting into its hand.
    void linkAndCut(int self, long operations) {
        std::vector<Element *> &hand = hands[static_cast<size_t>(self)];
        std::minstd_rand random(static_cast<uint32_t>(self) + 1);
        for (long i = 0; i < operations; ++i) {
            uint32_t choice = random() % 4;
            if (choice < 2 && !hand.empty()) {
                Element *element = hand.back();
                hand.pop_back();
                element->holder.store(kInList, std::memory_order_relaxed);
                (choice == 0 ? spinLockListAdd : spinLockListAddTail)(&element->link, &list);
                continue;
            }
            ListNode *link =
                choice % 2 == 0 ? spinLockListCutFirstNode(&list) : spinLockListCutLastNode(&list);
            if (link == nullptr) {
                continue;
            }
            Element *element = elementOf(link);
            if (element->holder.exchange(self, std::memory_order_relaxed) != kInList ||
                !kelu::test::isPoisoned(*link)) {
                failures++;
            }
            hand.push_back(element);
        }
    }

    // Every element is either in the ring exactly once or in exactly one
    // hand, as its holder says, and `count` is the ring's length.
    void expectEveryElementAccountedFor() {
        std::vector<ListNode *> ring;
        ASSERT_TRUE(kelu::test::readRing(list, ring, kPool));
        EXPECT_EQ(list.count, ring.size());
        std::array<int, kPool> seen{};
        for (ListNode *link : ring) {
            Element *element = elementOf(link);
            seen[static_cast<size_t>(element - pool.data())]++;
            EXPECT_EQ(element->holder.load(), kInList);
        }
        for (int thread = 0; thread < kThreads; ++thread) {
            for (Element *element : hands[static_cast<size_t>(thread)]) {
                seen[static_cast<size_t>(element - pool.data())]++;
                EXPECT_EQ(element->holder.load(), thread);
            }
        }
        for (size_t i = 0; i < kPool; ++i) {
            EXPECT_EQ(seen[i], 1) << "element " << i;
        }
        EXPECT_EQ(failures.load(), 0);
    }

    SpinLockList list;
    std::array<Element, kPool> pool;
    std::array<std::vector<Element *>, kThreads> hands;
    std::atomic<long> failures{0};
};

TEST_F(SharedList, FourThreadsLinkAndCutConcurrently) {
    dealPool();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] { linkAndCut(t, kOperations / kThreads); });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    expectEveryElementAccountedFor();
}

// Each thread links and unlinks only its own elements, which lie between
// the other threads' in the ring, so every unlink rewrites links that
// other threads' operations also rewrite.
TEST_F(SharedList, FourThreadsUnlinkTheirOwnNodesAmongTheOthers) {
    dealPool();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            std::vector<Element *> &hand = hands[static_cast<size_t>(t)];
            std::vector<Element *> linked;
            std::minstd_rand random(static_cast<uint32_t>(t) + 11);
            for (long i = 0; i < kOperations / kThreads / 2; ++i) {
                if (!hand.empty() && (linked.empty() || random() % 2 == 0)) {
                    Element *element = hand.back();
                    hand.pop_back();
                    (random() % 2 == 0 ? spinLockListAdd : spinLockListAddTail)(&element->link,
                                                                                &list);
                    linked.push_back(element);
                } else {
                    size_t pick = random() % linked.size();
                    Element *element = linked[pick];
                    linked[pick] = linked.back();
                    linked.pop_back();
                    spinLockListDel(&element->link, &list);
                    if (!kelu::test::isPoisoned(element->link)) {
                        failures++;
                    }
                    hand.push_back(element);
                }
            }
            for (Element *element : linked) {
                element->holder = kInList;
            }
        });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    expectEveryElementAccountedFor();
}

// Three threads use the locked operations while a fourth takes the list's
// lock itself and, holding it, checks the ring whole and rearranges it with
// NoLock operations: rotating the ends and moving a middle node to the back.
TEST_F(SharedList, NoLockOperationsUnderTheHeldLockInterleaveWithLockedOnes) {
    dealPool();
    for (Element *element : hands[kThreads - 1]) {
        element->holder = kInList;
        spinLockListAddTailNoLock(&element->link, &list);
    }
    hands[kThreads - 1].clear();

    std::atomic<int> workersLeft{kThreads - 1};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads - 1; ++t) {
        threads.emplace_back([this, t, &workersLeft] {
            linkAndCut(t, kOperations / kThreads);
            workersLeft--;
        });
    }
    long rearrangements = 0;
    std::vector<ListNode *> ring;
    while (workersLeft.load() > 0 || rearrangements == 0) {
        do_vemo_spinlock_lock(&list.lock, "rearrange", __LINE__);
        if (!kelu::test::readRing(list, ring, kPool) || ring.size() != list.count) {
            failures++;
        } else if (ring.size() >= 3) {
            ListNode *first = spinLockListCutFirstNodeNoLock(&list);
            ListNode *last = spinLockListCutLastNodeNoLock(&list);
            spinLockListAddNoLock(last, &list);
            spinLockListAddTailNoLock(first, &list);
            ListNode *middle = ring[ring.size() / 2];
            spinLockListDelNoLock(middle, &list);
            spinLockListAddTailNoLock(middle, &list);
            if (list.count != ring.size() || list.next != last || list.prev != middle) {
                failures++;
            }
            rearrangements++;
        }
        do_vemo_spinlock_unlock(&list.lock, "rearrange", __LINE__);
        // The stand-in lock is unfair: without a pause this thread would
        // retake it at once, again and again, and starve the others.
        std::this_thread::yield();
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_GT(rearrangements, 0);
    expectEveryElementAccountedFor();
}

}  // namespace
