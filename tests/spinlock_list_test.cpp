// The spin-lock list: set-up writes the unlocked lock, tear-down refuses a
// non-empty list with its one record, and each locked operation is its
// unlocked twin inside exactly one lock and one unlock call naming it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "kelu_util_list.h"
#include "qxlog.h"
#include "support/list_ring.h"
#include "support/recording_platform.h"

namespace {

using kelu::test::bytesOf;
using kelu::test::LockCall;
using kelu::test::LockOp;
using kelu::test::ringIs;

// A locked operation and its unlocked twin, as one signature: `node` is the
// node linked or unlinked (ignored by cuts); returns the node cut, or `node`.
using ListOp = ListNode *(*)(ListNode *node, SpinLockList *list);

struct LockedOperation {
    const char *name;
    size_t minimumNodes;  // a Del needs a node to unlink
    ListOp locked;
    ListOp twin;
};

const LockedOperation kLockedOperations[] = {
    {"spinLockListAdd", 0, [](ListNode *n, SpinLockList *l) { return spinLockListAdd(n, l), n; },
     [](ListNode *n, SpinLockList *l) { return spinLockListAddNoLock(n, l), n; }},
    {"spinLockListAddTail", 0,
     [](ListNode *n, SpinLockList *l) { return spinLockListAddTail(n, l), n; },
     [](ListNode *n, SpinLockList *l) { return spinLockListAddTailNoLock(n, l), n; }},
    {"spinLockListDel", 1, [](ListNode *n, SpinLockList *l) { return spinLockListDel(n, l), n; },
     [](ListNode *n, SpinLockList *l) { return spinLockListDelNoLock(n, l), n; }},
    {"spinLockListCutFirstNode", 0,
     [](ListNode *, SpinLockList *l) { return spinLockListCutFirstNode(l); },
     [](ListNode *, SpinLockList *l) { return spinLockListCutFirstNodeNoLock(l); }},
    {"spinLockListCutLastNode", 0,
     [](ListNode *, SpinLockList *l) { return spinLockListCutLastNode(l); },
     [](ListNode *, SpinLockList *l) { return spinLockListCutLastNodeNoLock(l); }},
};

// A set-up list of `n` nodes linked at the back, and one node left free.
struct Fixture {
    explicit Fixture(size_t n) {
        spinLockListInit(&list);
        for (size_t i = 0; i < n; ++i) {
            spinLockListAddTailNoLock(&nodes[i], &list);
        }
        size = n;
    }
    // The node an operation works on: the middle one for Del, else the free one.
    ListNode *operand(const LockedOperation &op) {
        return op.minimumNodes > 0 ? &nodes[size / 2] : &nodes[3];
    }
    // The ring and a result as positions in `nodes` (-1 for null), so that
    // two fixtures compare.
    std::vector<long> shape(ListNode *result) {
        std::vector<ListNode *> ring;
        EXPECT_TRUE(kelu::test::readRing(list, ring, 5));
        std::vector<long> positions{result == nullptr ? -1 : result - nodes, long{list.count}};
        for (ListNode *node : ring) {
            positions.push_back(node - nodes);
        }
        return positions;
    }

    SpinLockList list;
    ListNode nodes[4];
    size_t size;
};

bool lineHolds(uint32_t line, const std::string &call, const std::string &name) {
    std::string text = kelu::test::librarySourceLine("spinlock_list.cpp", line);
    return text.find(call + "(") != std::string::npos &&
           text.find('"' + name + '"') != std::string::npos;
}

class SpinLockListTest : public ::testing::Test {
  protected:
    void SetUp() override { kelu::test::clearRecords(); }
};

TEST_F(SpinLockListTest, InitWritesEveryFieldAndTheUnlockedLock) {
    SpinLockList list;
    std::memset(&list, 0x5A, sizeof list);
    spinLockListInit(&list);
    EXPECT_TRUE(ringIs(list, {}));
    EXPECT_EQ(list.lock.lockWord, 0u);
    EXPECT_EQ(list.lock.magic, 0xDEAD4EADu);
    EXPECT_EQ(static_cast<uint32_t>(list.lock.ownerCpu), 0xFFFFFFFFu);
    EXPECT_EQ(static_cast<uint64_t>(list.lock.owner), 0xFFFFFFFFFFFFFFFFu);
    EXPECT_TRUE(kelu::test::lockCalls().empty());
}

// On lists of 0 to 3 nodes (a cut of an empty list included), each locked
// operation leaves the ring its twin leaves, and makes one lock call then one
// unlock call on the head's lock, each naming it, from its own call lines.
TEST_F(SpinLockListTest, EachLockedOperationIsItsTwinInsideOneLockPair) {
    for (const LockedOperation &op : kLockedOperations) {
        for (size_t n = op.minimumNodes; n <= 3; ++n) {
            SCOPED_TRACE(::testing::Message() << op.name << " on " << n << " nodes");
            Fixture locked(n), unlocked(n);
            const SpinLock lockBefore = locked.list.lock;
            kelu::test::clearRecords();
            ListNode *result = op.locked(locked.operand(op), &locked.list);
            std::vector<LockCall> calls = kelu::test::lockCalls();
            EXPECT_TRUE(kelu::test::logRecords().empty());

            EXPECT_EQ(locked.shape(result),
                      unlocked.shape(op.twin(unlocked.operand(op), &unlocked.list)));
            ASSERT_EQ(calls.size(), 2u);
            EXPECT_EQ(calls[0].op, LockOp::Lock);
            EXPECT_EQ(calls[1].op, LockOp::Unlock);
            for (const LockCall &call : calls) {
                EXPECT_EQ(call.lock, &locked.list.lock);
                EXPECT_EQ(call.function, op.name);
            }
            EXPECT_TRUE(lineHolds(calls[0].line, "KELU_LOCK", op.name)) << calls[0];
            EXPECT_TRUE(lineHolds(calls[1].line, "KELU_UNLOCK", op.name)) << calls[1];
            EXPECT_EQ(bytesOf(locked.list.lock), bytesOf(lockBefore));
        }
    }
}

// Every change happens while the lock is held: when the lock is acquired the
// ring is still as it was, and when it is about to be released the ring is
// already what the twin leaves.
TEST_F(SpinLockListTest, LockedOperationsChangeTheRingOnlyWhileHoldingTheLock) {
    for (const LockedOperation &op : kLockedOperations) {
        for (size_t n = op.minimumNodes; n <= 3; ++n) {
            SCOPED_TRACE(::testing::Message() << op.name << " on " << n << " nodes");
            Fixture locked(n), before(n), after(n);
            op.twin(after.operand(op), &after.list);
            std::vector<std::vector<long>> seen;
            kelu::test::setLockHook([&](LockOp, const SpinLock *lock) {
                if (lock == &locked.list.lock) {
                    seen.push_back(locked.shape(nullptr));
                }
            });
            op.locked(locked.operand(op), &locked.list);
            kelu::test::setLockHook({});
            ASSERT_EQ(seen.size(), 2u);
            EXPECT_EQ(seen[0], before.shape(nullptr)) << "changed before the lock was held";
            EXPECT_EQ(seen[1], after.shape(nullptr)) << "changed after the lock was released";
        }
    }
}

// While another thread holds the lock, a locked operation has changed nothing
// by the time it asks for the lock; it completes once the lock is released.
TEST_F(SpinLockListTest, LockedOperationsTouchNothingBeforeTheyHoldTheLock) {
    for (const LockedOperation &op : kLockedOperations) {
        SCOPED_TRACE(op.name);
        Fixture fixture(2), expected(2);
        ListNode *expectedResult = op.twin(expected.operand(op), &expected.list);
        do_vemo_spinlock_lock(&fixture.list.lock, "holder", __LINE__);
        kelu::test::clearRecords();
        // The lock word itself is the waiting thread's to write; not compared.
        const auto headBefore =
            std::tuple(fixture.list.next, fixture.list.prev, fixture.list.count);
        const auto nodesBefore = bytesOf(fixture.nodes);
        ListNode *result = nullptr;
        std::thread worker([&] { result = op.locked(fixture.operand(op), &fixture.list); });
        while (kelu::test::lockCalls().empty()) {
            std::this_thread::yield();
        }
        EXPECT_EQ(std::tuple(fixture.list.next, fixture.list.prev, fixture.list.count), headBefore);
        EXPECT_EQ(bytesOf(fixture.nodes), nodesBefore);
        do_vemo_spinlock_unlock(&fixture.list.lock, "holder", __LINE__);
        worker.join();
        EXPECT_EQ(fixture.shape(result), expected.shape(expectedResult));
    }
}

TEST_F(SpinLockListTest, DestroyOfAnEmptyListOnlyPointsTheLinksAtTheHead) {
    SpinLockList list;
    spinLockListInit(&list);
    ListNode stale;
    list.next = list.prev = &stale;
    list.lock = {0, 0x12345678, 5, 77};
    kelu::test::clearRecords();
    spinLockListDestroy(&list);
    EXPECT_TRUE(ringIs(list, {}));
    EXPECT_EQ(list.lock.magic, 0x12345678u);
    EXPECT_EQ(list.lock.ownerCpu, 5);
    EXPECT_EQ(list.lock.owner, 77);
    EXPECT_TRUE(kelu::test::logRecords().empty());
    EXPECT_TRUE(kelu::test::lockCalls().empty());
}

TEST_F(SpinLockListTest, DestroyRefusesANonEmptyListWithOneRecordThenSucceeds) {
    Fixture fixture(2);
    const auto headBefore = bytesOf(fixture.list);
    const auto nodesBefore = bytesOf(fixture.nodes);
    kelu::test::clearRecords();
    spinLockListDestroy(&fixture.list);

    std::vector<kelu::test::LogRecord> records = kelu::test::logRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(kelu::test::matchesIgnoringLine(
        records[0],
        kelu::test::expectedRecord(LOG_LVL_ERR, "spinlock_list.cpp", "spinLockListDestroy", 0,
                                   "list sum is not 0, when destroy")))
        << records[0];
    EXPECT_NE(kelu::test::librarySourceLine("spinlock_list.cpp", records[0].line).find("KELU_LOG("),
              std::string::npos);
    EXPECT_TRUE(kelu::test::lockCalls().empty());
    EXPECT_EQ(bytesOf(fixture.list), headBefore);
    EXPECT_EQ(bytesOf(fixture.nodes), nodesBefore);

    spinLockListDelNoLock(&fixture.nodes[1], &fixture.list);
    spinLockListDelNoLock(&fixture.nodes[0], &fixture.list);
    kelu::test::clearRecords();
    spinLockListDestroy(&fixture.list);
    EXPECT_TRUE(ringIs(fixture.list, {}));
    EXPECT_TRUE(kelu::test::logRecords().empty());
}

}  // namespace
