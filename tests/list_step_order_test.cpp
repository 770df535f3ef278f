// The order in which the list steps read and write links and counts: another
// thread that inspects a half-linked ring (or a debugger stopped inside a
// step) sees exactly these intermediate states. Each step is instantiated
// with an access policy that records every load and store.
#include <gtest/gtest.h>

#include <ostream>
#include <type_traits>
#include <vector>

#include "list_internal.h"
#include "support/list_ring.h"

namespace {

using kelu::list::End;

enum class Kind { Load, Store };

struct Access {
    Kind kind;
    const void *field;
    bool operator==(const Access &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Access &access) {
    return out << (access.kind == Kind::Load ? "load " : "store ") << access.field;
}

std::vector<Access> g_accesses;

struct RecordingAccess {
    template <typename T>
    static T load(T &field) {
        g_accesses.push_back({Kind::Load, &field});
        return field;
    }
    template <typename T>
    static void store(T &field, std::type_identity_t<T> value) {
        g_accesses.push_back({Kind::Store, &field});
        field = value;
    }
};

Access load(const void *field) {
    return {Kind::Load, field};
}
Access store(const void *field) {
    return {Kind::Store, field};
}

// A list holding a, b; n is free.
class ListStepOrder : public ::testing::Test {
  protected:
    void SetUp() override {
        counterListInit(&head);
        counterListAddTail(&a, &head);
        counterListAddTail(&b, &head);
        g_accesses.clear();
    }
    CounterList head;
    ListNode a, b, n;
};

TEST_F(ListStepOrder, LinkAtTheFront) {
    kelu::list::linkFront<RecordingAccess>(&n, &head);
    EXPECT_EQ(g_accesses,
              (std::vector<Access>{load(&head.next), store(&a.prev), store(&n.prev), store(&n.next),
                                   load(&head.count), store(&head.count), store(&head.next)}));
    EXPECT_TRUE(kelu::test::ringIs(head, {&n, &a, &b}));
}

TEST_F(ListStepOrder, LinkAtTheBack) {
    kelu::list::linkBack<RecordingAccess>(&n, &head);
    EXPECT_EQ(g_accesses, (std::vector<Access>{load(&head.prev), store(&head.prev), store(&n.next),
                                               store(&n.prev), store(&b.next), load(&head.count),
                                               store(&head.count)}));
    EXPECT_TRUE(kelu::test::ringIs(head, {&a, &b, &n}));
}

TEST_F(ListStepOrder, UnlinkAGivenNode) {
    kelu::list::unlink<RecordingAccess>(&a, &head);
    // a's predecessor is the head: its `next` is the head's own.
    EXPECT_EQ(g_accesses, (std::vector<Access>{load(&a.next), load(&a.prev), store(&b.prev),
                                               store(&head.next), store(&a.prev), store(&a.next),
                                               load(&head.count), store(&head.count)}));
    EXPECT_TRUE(kelu::test::ringIs(head, {&b}));
}

TEST_F(ListStepOrder, CutTheFrontAndTheBack) {
    kelu::list::cut<End::Front, RecordingAccess>(&head);
    EXPECT_EQ(g_accesses,
              (std::vector<Access>{load(&head.count), load(&head.next), load(&a.next),
                                   load(&a.prev), store(&b.prev), store(&head.next), store(&a.next),
                                   store(&a.prev), store(&head.count)}));
    counterListAdd(&a, &head);
    g_accesses.clear();
    kelu::list::cut<End::Back, RecordingAccess>(&head);
    EXPECT_EQ(g_accesses,
              (std::vector<Access>{load(&head.count), load(&head.prev), load(&b.next),
                                   load(&b.prev), store(&head.prev), store(&a.next), store(&b.next),
                                   store(&b.prev), store(&head.count)}));
    EXPECT_TRUE(kelu::test::ringIs(head, {&a}));
}

TEST_F(ListStepOrder, CutOfAnEmptyListOnlyReadsTheCount) {
    counterListInit(&head);
    g_accesses.clear();
    EXPECT_EQ((kelu::list::cut<End::Front, RecordingAccess>(&head)), nullptr);
    EXPECT_EQ((kelu::list::cut<End::Back, RecordingAccess>(&head)), nullptr);
    EXPECT_EQ(g_accesses, (std::vector<Access>{load(&head.count), load(&head.count)}));
}

}  // namespace
