// SPDX-License-Identifier: MIT
// The counted lists through the list interpreter (exact rings against a
// deque, poison, counts, lock pairs and records after each operation): every
// operation, at every ring position, on both lists holding 0 to 3 nodes.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/list_harness.h"

namespace {

using kelu::test::ListHarness;

class ListOperations : public ::testing::TestWithParam<std::tuple<size_t, size_t, size_t>> {};

TEST_P(ListOperations, LeaveExactRings) {
    const auto [op, nodes, hint] = GetParam();
    ListHarness harness;
    for (size_t i = 0; i < nodes; ++i) {
        harness.apply(1, i);  // counterListAddTail
        harness.apply(6, i);  // spinLockListAddTailNoLock
    }
    EXPECT_TRUE(harness.apply(op, hint)) << harness.failure();
}

std::string caseName(const ::testing::TestParamInfo<ListOperations::ParamType> &test) {
    const auto [op, nodes, hint] = test.param;
    return std::string(ListHarness::name(op)) + "_" + std::to_string(nodes) + "Nodes_At" +
           std::to_string(hint);
}

INSTANTIATE_TEST_SUITE_P(AllPositions, ListOperations,
                         ::testing::Combine(::testing::Range<size_t>(0, ListHarness::kOperations),
                                            ::testing::Range<size_t>(0, 4),
                                            ::testing::Range<size_t>(0, 3)),
                         caseName);

}  // namespace
