// The unlocked list operations, on both kinds of head: exact rings after
// every operation on small lists, a randomized comparison with a deque that
// re-links removed nodes, orders, poison, emptiness by count alone, and that
// they never touch a SpinLockList's lock nor call the platform.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <deque>
#include <iterator>
#include <random>
#include <vector>

#include "kelu_util_list.h"
#include "support/list_ring.h"
#include "support/recording_platform.h"

namespace {

using kelu::test::bytesOf;
using kelu::test::isPoisoned;
using kelu::test::ringIs;

// Each head kind with its unlocked operations.
struct OnCounterList {
    using Head = CounterList;
    static constexpr bool kHasCutLast = false;
    static void init(Head *head) { counterListInit(head); }
    static void add(ListNode *node, Head *head) { counterListAdd(node, head); }
    static void addTail(ListNode *node, Head *head) { counterListAddTail(node, head); }
    static void del(ListNode *node, Head *head) { counterListDel(node, head); }
    static ListNode *cutFirst(Head *head) { return counterListCutFirstNode(head); }
    static ListNode *cutLast(Head *) { return nullptr; }
};

struct OnSpinLockList {
    using Head = SpinLockList;
    static constexpr bool kHasCutLast = true;
    static void init(Head *head) { spinLockListInit(head); }
    static void add(ListNode *node, Head *head) { spinLockListAddNoLock(node, head); }
    static void addTail(ListNode *node, Head *head) { spinLockListAddTailNoLock(node, head); }
    static void del(ListNode *node, Head *head) { spinLockListDelNoLock(node, head); }
    static ListNode *cutFirst(Head *head) { return spinLockListCutFirstNodeNoLock(head); }
    static ListNode *cutLast(Head *head) { return spinLockListCutLastNodeNoLock(head); }
};

enum class Op { AddFront, AddBack, Del, CutFirst, CutLast };

template <typename Ops>
class UnlockedList : public ::testing::Test {
  protected:
    using Head = typename Ops::Head;

    void SetUp() override {
        kelu::test::clearRecords();
        std::memset(&head, 0xA5, sizeof head);
        Ops::init(&head);
    }
    // None of these operations (nor spinLockListInit) calls the platform.
    void TearDown() override {
        EXPECT_TRUE(kelu::test::lockCalls().empty());
        EXPECT_TRUE(kelu::test::logRecords().empty());
    }

    // Links the first `n` nodes at the back; returns them in ring order.
    std::deque<ListNode *> fill(size_t n) {
        std::deque<ListNode *> linked;
        for (size_t i = 0; i < n; ++i) {
            Ops::addTail(&nodes[i], &head);
            linked.push_back(&nodes[i]);
        }
        return linked;
    }

    // Applies `op` to the list and to `model`; `node` is linked, or, for
    // Del, unlinked. Returns what the operation returned, or the node.
    ListNode *apply(Op op, ListNode *node, std::deque<ListNode *> &model) {
        switch (op) {
            case Op::AddFront:
                Ops::add(node, &head);
                model.push_front(node);
                return node;
            case Op::AddBack:
                Ops::addTail(node, &head);
                model.push_back(node);
                return node;
            case Op::Del:
                Ops::del(node, &head);
                std::erase(model, node);
                return node;
            case Op::CutFirst:
            case Op::CutLast: {
                ListNode *cut = op == Op::CutFirst ? Ops::cutFirst(&head) : Ops::cutLast(&head);
                ListNode *expected = nullptr;
                if (!model.empty()) {
                    expected = op == Op::CutFirst ? model.front() : model.back();
                    op == Op::CutFirst ? model.pop_front() : model.pop_back();
                }
                EXPECT_EQ(cut, expected);
                return cut;
            }
        }
        return nullptr;
    }

    Head head;
    ListNode nodes[8];
};

using HeadKinds = ::testing::Types<OnCounterList, OnSpinLockList>;
TYPED_TEST_SUITE(UnlockedList, HeadKinds);

std::vector<ListNode *> asVector(const std::deque<ListNode *> &model) {
    return {model.begin(), model.end()};
}

TYPED_TEST(UnlockedList, InitLeavesAnEmptyRingWhoseCutsReturnNull) {
    EXPECT_EQ(this->head.next, kelu::test::sentinelOf(this->head));
    EXPECT_TRUE(ringIs(this->head, {}));
    const auto before = bytesOf(this->head);
    EXPECT_EQ(TypeParam::cutFirst(&this->head), nullptr);
    if constexpr (TypeParam::kHasCutLast) {
        EXPECT_EQ(TypeParam::cutLast(&this->head), nullptr);
    }
    EXPECT_EQ(bytesOf(this->head), before);
}

// Every operation, at every position, on rings of 0 to 3 nodes: the whole
// ring afterwards in both directions, the count, the node returned, and the
// poison left in the node taken out.
TYPED_TEST(UnlockedList, EveryOperationOnRingsOfUpToThreeNodes) {
    for (size_t n = 0; n <= 3; ++n) {
        for (Op op : {Op::AddFront, Op::AddBack, Op::CutFirst, Op::CutLast}) {
            if (op == Op::CutLast && !TypeParam::kHasCutLast) {
                continue;
            }
            SCOPED_TRACE(::testing::Message() << n << " nodes, op " << static_cast<int>(op));
            this->SetUp();
            std::deque<ListNode *> model = this->fill(n);
            ASSERT_TRUE(ringIs(this->head, asVector(model)));
            ListNode *result = this->apply(op, &this->nodes[7], model);  // [7]: never linked
            EXPECT_TRUE(ringIs(this->head, asVector(model)));
            if ((op == Op::CutFirst || op == Op::CutLast) && result != nullptr) {
                EXPECT_TRUE(isPoisoned(*result));
            }
        }
        for (size_t index = 0; index < n; ++index) {
            SCOPED_TRACE(::testing::Message() << n << " nodes, del " << index);
            this->SetUp();
            std::deque<ListNode *> model = this->fill(n);
            this->apply(Op::Del, &this->nodes[index], model);
            EXPECT_TRUE(ringIs(this->head, asVector(model)));
            EXPECT_TRUE(isPoisoned(this->nodes[index]));
        }
    }
}

TYPED_TEST(UnlockedList, PoisonIsTheWholePointer) {
    ListNode node;
    TypeParam::add(&node, &this->head);
    ASSERT_EQ(TypeParam::cutFirst(&this->head), &node);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(node.next), uintptr_t{0x00100100});
    EXPECT_EQ(reinterpret_cast<uintptr_t>(node.prev), uintptr_t{0x00200200});
}

TYPED_TEST(UnlockedList, FrontAddsCutLastInFirstOutAndBackAddsFirstInFirstOut) {
    ListNode *a = &this->nodes[0], *b = &this->nodes[1], *c = &this->nodes[2];
    for (ListNode *node : {a, b, c}) {
        TypeParam::add(node, &this->head);
    }
    EXPECT_TRUE(ringIs(this->head, {c, b, a}));
    for (ListNode *expected : {c, b, a}) {
        EXPECT_EQ(TypeParam::cutFirst(&this->head), expected);
    }
    for (ListNode *node : {a, b, c}) {
        TypeParam::addTail(node, &this->head);
    }
    EXPECT_TRUE(ringIs(this->head, {a, b, c}));
    for (ListNode *expected : {a, b, c}) {
        EXPECT_EQ(TypeParam::cutFirst(&this->head), expected);
    }
    if constexpr (TypeParam::kHasCutLast) {
        for (ListNode *node : {a, b, c}) {
            TypeParam::add(node, &this->head);
        }
        for (ListNode *expected : {a, b, c}) {
            EXPECT_EQ(TypeParam::cutLast(&this->head), expected);
        }
    }
    EXPECT_TRUE(ringIs(this->head, {}));
}

// Emptiness is `count` alone: links that disagree are neither read nor written.
TYPED_TEST(UnlockedList, CutsJudgeEmptinessByCountAlone) {
    this->fill(2);
    this->head.count = 0;
    const auto before = bytesOf(this->head);
    const auto nodesBefore = bytesOf(this->nodes);
    EXPECT_EQ(TypeParam::cutFirst(&this->head), nullptr);
    if constexpr (TypeParam::kHasCutLast) {
        EXPECT_EQ(TypeParam::cutLast(&this->head), nullptr);
    }
    EXPECT_EQ(bytesOf(this->head), before);
    EXPECT_EQ(bytesOf(this->nodes), nodesBefore);
}

// Random operations on a pool of nodes, mirrored into a deque, the whole
// ring compared after each one. Removed nodes, still poisoned, are linked
// again throughout.
TYPED_TEST(UnlockedList, RandomOperationsMatchADeque) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        this->SetUp();
        std::mt19937 random(seed);
        std::deque<ListNode *> model;
        std::vector<bool> linked(std::size(this->nodes), false);
        for (int step = 0; step < 3000; ++step) {
            size_t pick = random() % std::size(this->nodes);
            ListNode *node = &this->nodes[pick];
            Op op = static_cast<Op>(random() % (TypeParam::kHasCutLast ? 5 : 4));
            if (op == Op::AddFront || op == Op::AddBack || op == Op::Del) {
                if (linked[pick] != (op == Op::Del)) {
                    continue;
                }
            }
            ListNode *result = this->apply(op, node, model);
            if (result != nullptr) {
                linked[static_cast<size_t>(result - this->nodes)] =
                    op == Op::AddFront || op == Op::AddBack;
            }
            ASSERT_TRUE(ringIs(this->head, asVector(model))) << "step " << step;
        }
    }
}

TEST(CounterListEmpty, LooksAtCountAlone) {
    CounterList list;
    counterListInit(&list);
    EXPECT_TRUE(counterListEmpty(&list));
    ListNode node;
    counterListAdd(&node, &list);
    EXPECT_FALSE(counterListEmpty(&list));
    list.count = 0;
    EXPECT_TRUE(counterListEmpty(&list));
    list.count = 1;
    list.next = list.prev = kelu::test::sentinelOf(list);
    EXPECT_FALSE(counterListEmpty(&list));
}

// The head is placed so that its lock lies alone on an inaccessible page:
// any read or write of `lock` by an unlocked operation faults.
TEST(SpinLockListNoLock, NeverReadsOrWritesTheLock) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void *pages =
        mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    char *lockPage = static_cast<char *>(pages) + page;
    auto *list = reinterpret_cast<SpinLockList *>(lockPage - offsetof(SpinLockList, lock));
    spinLockListInit(list);
    ASSERT_EQ(mprotect(lockPage, page, PROT_NONE), 0);

    kelu::test::clearRecords();
    ListNode a, b, c;
    spinLockListAddNoLock(&a, list);
    spinLockListAddTailNoLock(&b, list);
    spinLockListAddNoLock(&c, list);
    spinLockListDelNoLock(&a, list);
    EXPECT_EQ(spinLockListCutFirstNodeNoLock(list), &c);
    EXPECT_EQ(spinLockListCutLastNodeNoLock(list), &b);
    EXPECT_EQ(spinLockListCutFirstNodeNoLock(list), nullptr);
    EXPECT_EQ(spinLockListCutLastNodeNoLock(list), nullptr);
    EXPECT_TRUE(ringIs(*list, {}));
    EXPECT_TRUE(kelu::test::lockCalls().empty());

    ASSERT_EQ(mprotect(lockPage, page, PROT_READ | PROT_WRITE), 0);
    EXPECT_EQ(list->lock.magic, SPINLOCK_MAGIC);
    munmap(pages, 2 * page);
}

}  // namespace
