// SPDX-License-Identifier: MIT
// The typed C++ interface: named cases (programs read as cxx_interpreter.h
// says) leave exact containers, "set [a c], list [b]"; then every short
// program, the fuzz corpus, each mistake checked mode stops with its message,
// two threads on a locked list, and the checksums. (misuse.cpp: the misuses
// that do not compile.)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "cxx/cxx_interpreter.h"
#include "kelu_util.hpp"
#include "support/common.h"
#include "support/family_tests.h"

namespace {

using kelu::test::CxxInterpreter;
using kelu::test::NamedCase;

// clang-format off
const NamedCase kCases[] = {
    {"SetRefusesAnEqualKeyAndKeepsTheFirst", "", "set.insert b, set.insert a, set.insert c", "set [b c]", ""},
    {"MultisetKeepsEqualKeysInInsertionOrder", "", "multi.insert b, multi.insert e, multi.insert a",
     "multi [b a e]", ""},
    {"HintRightForTheKeyIsTakenAmongEqualKeys", "multi.insert a, multi.insert e", "multi.hint e b, multi.hint a f",
     "multi [a b e f]", ""},
    {"HintAtTheEndAndAWrongHint", "set.insert c", "set.hint z e, set.hint c k", "set [c e k]", ""},
    {"PlacedBesideAnElementWithoutComparing", "set.insert a, set.insert k", "set.before k e, set.after e g",
     "set [a e g k]", ""},
    {"EraseByKeyTakesEveryEqualElement", "multi.insert a, multi.insert c, multi.insert b",
     "multi.erase_key 0, multi.dispose_key 1", "", ""},
    {"EraseARangeOfKeys", "set.insert a, set.insert c, set.insert e, set.insert g", "set.erase_range 1 3", "set [a g]", ""},
    {"ClearedSetsTakeTheirElementsAgain", "set.insert a, multi.insert a",
     "set.clear, multi.clear_dispose, set.insert a, multi.insert a", "set [a], multi [a]", ""},
    {"MovedSetsAndListsKeepTheirElements", "set.insert a, set.insert c, list.push_back b",
     "set.move e, list.move", "set [a c], spare [b]", ""},
    {"ListsInsertAtEitherEnd", "", "list.insert_back a, list.insert_front b, list.push_back c",
     "list [b a c]", ""},
    {"SpliceOneElementToTheFrontAndAWholeListToTheBack",
     "spare.push a, spare.push b, spare.push c, list.push_back d", "list.splice b, list.splice_all",
     "list [b d a c]", ""},
    {"GuardedAndLockedOperationsShareTheList", "spin.locked_push_back a, spin2.push b",
     "spin.push_front c, spin2.splice_all, spin.locked_push_front d", "spin [d], spin2 [c a b]", ""},
    {"PopFromBothEndsOfEachList", "list.push_back a, list.push_back b, list.push_back c",
     "list.pop_back, list.pop_front, spin.pop_back, spin.locked_pop_front", "list [b]", ""},
};
// clang-format on

KELU_NAMED_CASES(CxxCases, LeaveTheirContainers, CxxInterpreter, kelu::test::kCxxOperations,
                 kCases);

// Every program of two operations, each with two choices of arguments (one
// under the sanitizers), from a state where every container holds elements.
TEST(CxxExhaustive, EveryProgramOfTwoStepsFromFilledContainers) {
#ifdef KELU_SANITIZED_BUILD
    const size_t choices = 1;
#else
    const size_t choices = 2;
#endif
    const size_t rows = kelu::test::kCxxOperations.size();
    std::vector<uint8_t> program(6);
    for (size_t n = 0; n < choices * choices * rows * rows; ++n) {
        for (size_t step = 0, rest = n; step < 2; ++step, rest /= choices * rows) {
            program[3 * step] = static_cast<uint8_t>(rest % rows);
            program[3 * step + 1] = program[3 * step + 2] =
                static_cast<uint8_t>(rest / rows % choices * 7);
        }
        CxxInterpreter x(
            "set.insert a, set.insert c, set.insert e, multi.insert a, multi.insert b, "
            "multi.insert c, list.push_back a, list.push_back d, spare.push b, spin.push_back c, "
            "spin.push_back e, spin2.push d");
        ASSERT_EQ(runBytes(x, kelu::test::kCxxOperations, program), "")
            << kelu::test::describeInput(program);
    }
}

KELU_CORPUS_REPLAY(CxxCorpus);

// Checked mode: each mistake stops the program before anything is written,
// with one line naming the container type, the operation and what is wrong.
struct Job {
    uint32_t id = 0;
    AvlNode byId{};
    kelu::avl_hook<true> inMulti;
    ListNode inQueue{};
};
using Set =
    kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>, true>;
using Multi = kelu::avl_multiset<Job, &Job::inMulti, std::less<>, kelu::member_key<&Job::id>, true>;
using Queue = kelu::counter_list<Job, &Job::inQueue, true>;
using Locked = kelu::spin_lock_list<Job, &Job::inQueue, true>;
struct Queued {
    kelu::list_hook<true> hook;
};

struct Mistake {
    const char *name, *message;
    void (*make)();
};
#define LINKED "::(insert|push_back|insert_after): the element's hook is linked"
#define NOT_HERE "::(erase|insert_after): the element is not linked in this container"
#define NOT_IN_A_LIST "::erase: the element is not linked in a list"
// clang-format off
const Mistake kMistakes[] = {
    {"LinkingAnElementOfOneSetIntoAnother", "^kelu: kelu::avl_set<.*Job::byId.*, true>" LINKED,
     [] { Job job; Set one, two; one.insert(job); two.insert(job); }},
    {"LinkingARecordNeverZeroed", LINKED ".*AvlNode that was never zeroed",
     [] { Job job; std::memset(&job.byId, 0xA5, sizeof job.byId); Set set; set.insert(job); }},
    {"ErasingACopyOfALinkedElement", "avl_set<.*>" NOT_HERE,
     [] { Job root, job; job.id = 1; Set set; set.insert(root); set.insert(job); Job copy = job; set.erase(copy); }},
    {"ErasingAnElementNeverLinked", "avl_multiset<.*>" NOT_HERE,
     [] { Job job, never; Multi set; set.insert(job); set.erase(never); }},
    {"ErasingEnd", NOT_HERE, [] { Set set; set.erase(set.end()); }},
    {"PlacingBesideAnElementOfAnotherSet", NOT_HERE,
     [] { Job job, next; Set one, two; one.insert(job); two.insert_after(job, next); }},
    {"DestroyingAnElementWhileLinked", "kelu::avl_hook<true>::~avl_hook: the hook is destroyed while linked",
     [] { Multi set; Job job; set.insert(job); }},
    {"DestroyingAListElementWhileLinked", "kelu::list_hook<true>::~list_hook: the hook is destroyed",
     [] { kelu::counter_list<Queued, &Queued::hook, true> queue; Queued job; queue.push_back(job); }},
    {"LinkingAnElementOfOneListIntoAnother", "counter_list<.*>" LINKED,
     [] { Job job; Queue one, two; one.push_back(job); two.push_back(job); }},
    {"ErasingAListElementTwice", "counter_list<.*>" NOT_IN_A_LIST,
     [] { Job job; Queue queue; queue.push_back(job); queue.erase(job); queue.erase(job); }},
    {"ErasingACopyOfAListElement", NOT_IN_A_LIST,
     [] { Job job; Queue queue; queue.push_back(job); Job copy = job; queue.erase(copy); }},
    {"InsertingInTheMiddleOfAList", "::insert: the position is neither begin\\(\\) nor end\\(\\)",
     [] { Job a, b, c; Queue queue; queue.push_back(a); queue.push_back(b); queue.insert(++queue.begin(), c); }},
    {"SplicingAListIntoItself", "::splice: a list cannot be spliced into itself",
     [] { Queue queue; queue.splice(queue.end(), queue); }},
    {"ErasingFromALockedListAnElementNotLinked", "spin_lock_list<.*>::guard" NOT_IN_A_LIST,
     [] { Job job; Locked list; list.erase(job); }},
};
// clang-format on

class CheckedMode : public ::testing::TestWithParam<Mistake> {};

TEST_P(CheckedMode, StopsAMistakeWithItsMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(GetParam().make(), ::testing::KilledBySignal(SIGABRT), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Mistakes, CheckedMode, ::testing::ValuesIn(kMistakes),
                         kelu::test::kByName);

// While a guard lives, another thread's locked operation waits: its push
// lands only after the guard is gone.
TEST(SpinLockList, GuardHoldsTheLockAgainstASecondThread) {
    std::vector<Job> jobs(3);
    kelu::spin_lock_list<Job, &Job::inQueue> list;
    std::atomic<bool> pushed{false};
    std::thread other;
    {
        auto guard = list.lock();
        guard.push_back(jobs[0]);
        other = std::thread([&] {
            list.push_front(jobs[1]);
            pushed = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(pushed);
        guard.push_back(jobs[2]);
        EXPECT_EQ(guard.size(), 2u);
    }
    other.join();
    EXPECT_EQ(list.pop_front(), &jobs[1]);
    list.lock().clear();
}

// size() reads the count without the lock while other threads change it
// under the lock: a snapshot, never more than the list can hold, and no data
// race (the tsan preset runs this).
TEST(SpinLockList, SizeReadBesideLockedWriters) {
    std::vector<Job> jobs(64);
    kelu::spin_lock_list<Job, &Job::inQueue> list;
    std::atomic<bool> done{false};
    size_t largest = 0;
    std::thread reader([&] {
        while (!done) {
            largest = std::max(largest, list.size());
        }
    });
    kelu::test::runThreads(2, [&](int t) {
        for (int round = 0; round < 2000; ++round) {
            for (size_t i = static_cast<size_t>(t); i < jobs.size(); i += 2) {
                list.push_back(jobs[i]);
            }
            for (size_t i = static_cast<size_t>(t); i < jobs.size(); i += 2) {
                list.erase(jobs[i]);
            }
        }
    });
    done = true;
    reader.join();
    EXPECT_LE(largest, jobs.size());
    EXPECT_TRUE(list.empty());
}

TEST(Checksums, CheckValuesWholeAndStreamed) {
    constexpr std::string_view digits = "123456789";
    const std::array<uint8_t, 9> bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(kelu::crc32(digits), 0xFC891918u);
    EXPECT_EQ(kelu::crc32c(bytes), 0xE3069283u);
    EXPECT_EQ(kelu::crc32_stream().update(digits.substr(0, 4)).update(digits.substr(4)).value(),
              0xFC891918u);
    EXPECT_EQ(
        kelu::crc32c_stream().update(std::span(bytes).first(2)).update(digits.substr(2)).value(),
        0xE3069283u);
}

}  // namespace
