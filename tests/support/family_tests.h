// SPDX-License-Identifier: MIT
// What every family's GoogleTest program shares: its named cases, each
// leaving exactly its state and platform calls (interpreter.h), the replay
// of its committed fuzz corpus (KELU_CORPUS) through runInput(), and tables
// of tests named by their rows' names.
#ifndef KELU_TESTS_FAMILY_TESTS_H
#define KELU_TESTS_FAMILY_TESTS_H

#include <gtest/gtest.h>

#include <string>

#include "support/interpreter.h"

namespace kelu::test {

// Names each test of a table after its row's `name`.
inline constexpr auto kByName = [](const auto &test) { return std::string(test.param.name); };

}  // namespace kelu::test

// Suite.Test/Named/<name> for each NamedCase of `cases`.
#define KELU_NAMED_CASES(Suite, Test, Interpreter, operations, cases)                    \
    class Suite : public ::testing::TestWithParam<kelu::test::NamedCase> {};             \
    TEST_P(Suite, Test) {                                                                \
        Interpreter interpreter(GetParam().before);                                      \
        EXPECT_EQ(kelu::test::runText(interpreter, operations, GetParam().program), ""); \
        EXPECT_EQ(interpreter.state(), GetParam().after);                                \
        EXPECT_EQ(interpreter.transcript(), GetParam().transcript);                      \
    }                                                                                    \
    INSTANTIATE_TEST_SUITE_P(Named, Suite, ::testing::ValuesIn(cases), kelu::test::kByName)

// Suite.EveryInputRunsClean: every input of the committed corpus.
#define KELU_CORPUS_REPLAY(Suite)                               \
    TEST(Suite, EveryInputRunsClean) {                          \
        const auto inputs = kelu::test::corpus(KELU_CORPUS);    \
        EXPECT_FALSE(inputs.empty());                           \
        for (const auto &[name, bytes] : inputs) {              \
            EXPECT_EQ(kelu::test::runInput(bytes), "") << name; \
        }                                                       \
    }

#endif  // KELU_TESTS_FAMILY_TESTS_H
