// SPDX-License-Identifier: MIT
// The counted lists: named cases (programs of the exported operations, read
// as list_interpreter.h says) leave exact rings, "counter [a b], spin [c]",
// and exact platform calls; then every short program, and the fuzz corpus.
// (list_stress_test.cpp shares one list among four threads.)
#include <string>
#include <vector>

#include "list/list_interpreter.h"
#include "support/family_tests.h"

namespace {

using kelu::test::ListInterpreter;
using kelu::test::NamedCase;

#define LOCKED(operation) "lock " operation "\nunlock " operation "\n"

// clang-format off
const NamedCase kCases[] = {
    {"SetUpLeavesBothListsEmpty", "", "counterListInit, spinLockListInit", "counter [], spin []", ""},
    {"LinkingIntoAnEmptyListAtEitherEnd", "", "counterListAdd a, spinLockListAddTailNoLock b",
     "counter [a], spin [b]", ""},
    {"LinkingAtTheFrontReversesTheOrder", "", "counterListAdd a, counterListAdd b",
     "counter [b a], spin []", ""},
    {"LinkingAtTheBackKeepsTheOrder", "", "counterListAddTail a, counterListAddTail b",
     "counter [a b], spin []", ""},
    {"FrontLinksCutAtTheFrontComeOutLastInFirstOut", "",
     "spinLockListAddNoLock a, spinLockListAddNoLock b, spinLockListCutFirstNodeNoLock",
     "counter [], spin [a]", ""},
    {"FrontLinksCutAtTheBackComeOutFirstInFirstOut", "",
     "spinLockListAddNoLock a, spinLockListAddNoLock b, spinLockListCutLastNodeNoLock",
     "counter [], spin [b]", ""},
    {"CuttingAnEmptyListReturnsNothing", "",
     "counterListCutFirstNode, spinLockListCutFirstNodeNoLock, spinLockListCutLastNodeNoLock",
     "counter [], spin []", ""},
    {"CuttingTheOnlyNodePoisonsIt", "", "counterListAdd a, counterListCutFirstNode",
     "counter [], spin []", ""},
    {"UnlinkingAMiddleNodeJoinsItsNeighbours", "",
     "counterListAddTail a, counterListAddTail b, counterListAddTail c, counterListDel b",
     "counter [a c], spin []", ""},
    {"UnlinkingTheOnlyNodeEmptiesTheList", "", "spinLockListAddNoLock a, spinLockListDelNoLock a",
     "counter [], spin []", ""},
    {"ARemovedNodeIsLinkedAgain", "", "counterListAdd a, counterListDel a, counterListAddTail a",
     "counter [a], spin []", ""},
    {"EachLockedOperationLocksOnce", "",
     "spinLockListAdd a, spinLockListAddTail b, spinLockListAdd c, spinLockListDel a, "
     "spinLockListCutFirstNode, spinLockListCutLastNode",
     "counter [], spin []",
     LOCKED("spinLockListAdd") LOCKED("spinLockListAddTail") LOCKED("spinLockListAdd")
     LOCKED("spinLockListDel") LOCKED("spinLockListCutFirstNode") LOCKED("spinLockListCutLastNode")},
    {"CuttingAnEmptyLockedListStillLocks", "", "spinLockListCutFirstNode, spinLockListCutLastNode",
     "counter [], spin []", LOCKED("spinLockListCutFirstNode") LOCKED("spinLockListCutLastNode")},
    {"DestroyingAListWithNodesIsRefused", "",
     "spinLockListAddNoLock a, spinLockListDestroy, spinLockListDelNoLock a, spinLockListDestroy",
     "counter [], spin []", "log 3 spinLockListDestroy 0 list sum is not 0, when destroy\n"},
    {"SettingUpAgainForgetsTheNodes", "", "counterListAdd a, counterListInit, counterListAdd a",
     "counter [a], spin []", ""},
    {"OneNodeAtATimeInEitherKindOfList", "",
     "counterListAdd a, counterListDel a, spinLockListAddTail a, spinLockListCutLastNode",
     "counter [], spin []", LOCKED("spinLockListAddTail") LOCKED("spinLockListCutLastNode")},
};
// clang-format on

KELU_NAMED_CASES(ListCases, LeaveTheirRingsAndCalls, ListInterpreter, kelu::test::kListOperations,
                 kCases);

// Every program of three operations, each of the seventeen with its hint
// 0 or 1: with up to three nodes, every operation meets every state that
// two others can leave.
TEST(ListExhaustive, EveryProgramOfThreeSteps) {
    const size_t rows = kelu::test::kListOperations.size();
    std::vector<uint8_t> program(3 * ListInterpreter::kInstructionBytes);
    for (size_t n = 0; n < 8 * rows * rows * rows; ++n) {
        size_t rest = n;
        for (size_t step = 0; step < 3; ++step, rest /= 2 * rows) {
            program[2 * step] = static_cast<uint8_t>(rest % rows);
            program[2 * step + 1] = static_cast<uint8_t>(rest / rows % 2);
        }
        ASSERT_EQ(kelu::test::runInput(program), "") << kelu::test::describeInput(program);
    }
}

KELU_CORPUS_REPLAY(ListCorpus);

}  // namespace
