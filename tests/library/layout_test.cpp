// SPDX-License-Identifier: MIT
// The layout of every public record is the same to C and to C++.
#include <gtest/gtest.h>

#include <vector>

#include "library/layout.h"

namespace {

#define KELU_LAYOUT_RECORD(T) sizeof(T), alignof(T),

TEST(Layout, SameInCAndCxx) {
    const std::vector<size_t> cxx = {KELU_LAYOUT(KELU_LAYOUT_RECORD, KELU_LAYOUT_FIELD)};
    const std::vector<size_t> c(keluLayoutSeenByC, keluLayoutSeenByC + cxx.size());
    EXPECT_EQ(c, cxx);
}

}  // namespace
