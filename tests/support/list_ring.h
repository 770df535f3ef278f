// Reading a counted list's ring back for tests: the nodes from front to back,
// each link checked against its mirror, and the count against the ring.
#ifndef KELU_TESTS_LIST_RING_H
#define KELU_TESTS_LIST_RING_H

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "kelu_util_list.h"

namespace kelu::test {

template <typename Head>
ListNode *sentinelOf(Head &head) {
    return reinterpret_cast<ListNode *>(&head);
}

// Walks `next` from the head; every node's `prev` must name the node before
// it (the head for the first), the walk must return to the head within
// `limit` nodes, and the head's `prev` must name the last node. Only the
// links are read; `count` is not compared.
template <typename Head>
::testing::AssertionResult readRing(Head &head, std::vector<ListNode *> &nodes, size_t limit) {
    nodes.clear();
    ListNode *sentinel = sentinelOf(head);
    ListNode *before = sentinel;
    for (ListNode *node = head.next; node != sentinel; node = node->next) {
        if (nodes.size() == limit) {
            return ::testing::AssertionFailure() << "no way back to the head within " << limit;
        }
        if (node->prev != before) {
            return ::testing::AssertionFailure()
                   << "node " << nodes.size() << " prev " << node->prev << ", expected " << before;
        }
        nodes.push_back(node);
        before = node;
    }
    if (head.prev != before) {
        return ::testing::AssertionFailure()
               << "head prev " << head.prev << ", expected " << before;
    }
    return ::testing::AssertionSuccess();
}

// The ring holds exactly `expected`, front to back, and `count` agrees.
template <typename Head>
::testing::AssertionResult ringIs(Head &head, const std::vector<ListNode *> &expected) {
    std::vector<ListNode *> nodes;
    ::testing::AssertionResult read = readRing(head, nodes, expected.size() + 1);
    if (!read) {
        return read;
    }
    if (nodes != expected) {
        ::testing::AssertionResult failure = ::testing::AssertionFailure();
        failure << "ring of " << nodes.size() << " nodes:";
        for (ListNode *node : nodes) {
            failure << " " << node;
        }
        return failure;
    }
    if (head.count != expected.size()) {
        return ::testing::AssertionFailure()
               << "count " << head.count << ", ring of " << expected.size();
    }
    return ::testing::AssertionSuccess();
}

// The bytes of a record, padding included, for checking that nothing wrote it.
template <typename T>
std::vector<unsigned char> bytesOf(const T &record) {
    std::vector<unsigned char> bytes(sizeof record);
    std::memcpy(bytes.data(), &record, sizeof record);
    return bytes;
}

inline bool isPoisoned(const ListNode &node) {
    return node.next == LIST_POISON_NEXT && node.prev == LIST_POISON_PREV;
}

}  // namespace kelu::test

#endif  // KELU_TESTS_LIST_RING_H
