// SPDX-License-Identifier: MIT
// kelu-cksum as a user meets it: each case is a command line that sh runs in
// a fresh directory (with kSetUp's files and the case's `list`), and the exact
// stdout, stderr and exit status. Then the line format through its interface.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "checksum_line.h"
#include "support/family_tests.h"
#include "kelu_util_version.h"

namespace {

// The catalogue string in `f`, `-x` and `+x`, two names written escaped, and
// 1 MB over several read pieces in `big` (values from ISA-L's crc32_ieee and
// crc32_iscsi).
const char kSetUp[] =
    "printf 123456789 | tee f ./-x ./+x >/dev/null; printf x >'a\nb'; printf y >'c\\d'\n"
    "yes 123456789 | head -c 1000000 >big\n";
const std::string kSums = "fc891918 e3069283 9 f\nFF06BEE9 21C06275 1000000 big\n";
const std::string kTry = "Try 'kelu-cksum --help' for more information.\n";

struct Case {
    const char *name, *command;
    std::string list, out, err;
    int status;
    friend void PrintTo(const Case &c, std::ostream *os) { *os << c.command; }
};

// clang-format off
const Case kCases[] = {
    // Printing checksums.
    {"compute_past_an_unreadable_file_stdin_closed", "kelu-cksum f nothere big <&-", "",
     "fc891918 e3069283 9 f\nff06bee9 21c06275 1000000 big\n", "kelu-cksum: nothere: No such file or directory\n", 1},
    {"unnamed_standard_input", "kelu-cksum <big", "", "ff06bee9 21c06275 1000000\n", "", 0},
    {"tagged_dash_is_standard_input", "kelu-cksum --tag - <f", "", "CRC32 (-) = fc891918\nCRC32C (-) = e3069283\n", "", 0},
    {"escaped_names", "kelu-cksum \"$(printf 'a\\nb')\" 'c\\d'", "",
     "\\774bb014 a93c5f93 1 a\\nb\n\\738aada3 5b57dc90 1 c\\\\d\n", "", 0},
    {"double_dash_ends_the_options", "kelu-cksum -- -x +x", "", "fc891918 e3069283 9 -x\nfc891918 e3069283 9 +x\n", "", 0},
    {"files_are_closed", "ulimit -n 8 && kelu-cksum -c list list list list list list list list | sort | uniq -c",
     "fc891918 e3069283 9 f\nfc891918 e3069283 9 -x\n", "      8 -x: OK\n      8 f: OK\n", "", 0},
    {"write_error", "kelu-cksum big >/dev/full", "", "", "kelu-cksum: write error: No space left on device\n", 1},
    {"write_error_ends_at_once", "kelu-cksum $(yes f | head -n 200) nothere >/dev/full", "", "", "kelu-cksum: write error: No space left on device\n", 1},
    // Checking lists.
    {"each_field_is_checked", "kelu-cksum -c list", "fc891919 e3069283 9 f\nfc891918 e3069284 9 f\n"
     "fc891918 e3069283 8 f\nCRC32 (f) = fc891918\nCRC32C (f) = e3069282\n",
     "f: FAILED\nf: FAILED\nf: FAILED\nf: OK\nf: FAILED\n", "kelu-cksum: WARNING: 4 computed checksums did NOT match\n", 1},
    {"quiet_prints_failures_only", "kelu-cksum -c --quiet list", "fc891919 e3069283 9 f\n" + kSums,
     "f: FAILED\n", "kelu-cksum: WARNING: 1 computed checksum did NOT match\n", 1},
    {"status_prints_nothing", "kelu-cksum -c --status list", "ff06bee9 21c06275 999999 big\n" + kSums, "", "", 1},
    {"no_name_or_dash_is_standard_input_read_once", "kelu-cksum -c list <big",
     "ff06bee9 21c06275 1000000\nCRC32 (-) = ff06bee9\nCRC32C (-) = 21c06275\n", "-: OK\n-: OK\n-: OK\n", "", 0},
    {"a_list_on_standard_input_cannot_name_it", "kelu-cksum -c - <list",
     "fc891918 e3069283 9 -\nfc891918 e3069283 9\nCRC32 (-) = fc891918\n" + kSums, "f: OK\nbig: OK\n",
     "kelu-cksum: WARNING: 3 lines are improperly formatted\n", 0},
    {"a_missing_file", "kelu-cksum -c list", "fc891918 e3069283 9 nothere\n" + kSums,
     "nothere: FAILED open or read\nf: OK\nbig: OK\n",
     "kelu-cksum: nothere: No such file or directory\nkelu-cksum: WARNING: 1 listed file could not be read\n", 1},
    {"ignore_missing_skips_only_missing_files", "kelu-cksum -c --ignore-missing list",
     "fc891918 e3069283 9 nothere\nfc891918 e3069283 9 f\nfc891918 e3069283 9 .\n",
     "f: OK\n.: FAILED open or read\n", "kelu-cksum: .: Is a directory\nkelu-cksum: WARNING: 1 listed file could not be read\n", 1},
    {"ignore_missing_quiet_and_passing", "kelu-cksum -c --ignore-missing --quiet list",
     "fc891918 e3069283 9 nothere\nfc891918 e3069283 9 f\n", "", "", 0},
    {"ignore_missing_with_nothing_verified", "kelu-cksum -c --ignore-missing --warn list",
     "CRC32 (nothere) = fc891918\n", "", "kelu-cksum: list: no file was verified\n", 1},
    {"ignore_missing_with_nothing_matched", "kelu-cksum -c --ignore-missing list", "fc891919 e3069283 9 f\n",
     "f: FAILED\n", "kelu-cksum: WARNING: 1 computed checksum did NOT match\nkelu-cksum: list: no file was verified\n", 1},
    {"ignore_missing_under_status", "kelu-cksum -c --ignore-missing --status list",
     "fc891918 e3069283 9 nothere\n", "", "", 1},
    {"malformed_lines_are_counted", "printf 'ff06bee9 21c06275 1000000 big\\r\\n' >>list && kelu-cksum -c list",
     "# comment\n\nff06bee9 21c06275 1000000 \nff06bee9 21c06275 x big\nCRC32 (big) = ff06bee90\n"
     "\\ff06bee9 21c06275 1000000 b\\q\n", "big: OK\n", "kelu-cksum: WARNING: 4 lines are improperly formatted\n", 0},
    {"malformed_lines_under_strict_and_warn", "kelu-cksum -c --strict -w list", kSums + "junk\n",
     "f: OK\nbig: OK\n", "kelu-cksum: list: 3: improperly formatted checksum line\n"
     "kelu-cksum: WARNING: 1 line is improperly formatted\n", 1},
    {"of_warn_and_quiet_the_last_counts", "kelu-cksum -c -w --quiet list", "junk\n" + kSums,
     "", "kelu-cksum: WARNING: 1 line is improperly formatted\n", 0},
    {"lists_without_checksum_lines", "kelu-cksum -c --status - +x - <list", kSums, "",
     "kelu-cksum: +x: no properly formatted checksum lines found\n"
     "kelu-cksum: standard input: no properly formatted checksum lines found\n", 1},
    {"escaped_names_read_back", "kelu-cksum -c list",
     "\\774bb014 a93c5f93 1 a\\nb\n\\738aada3 5b57dc90 1 c\\\\d\n\\CRC32 (a\\nb) = 774bb014\n",
     "\\a\\nb: OK\nc\\d: OK\n\\a\\nb: OK\n", "", 0},
    {"every_list_is_checked", "kelu-cksum --check nothere list", kSums, "f: OK\nbig: OK\n",
     "kelu-cksum: nothere: No such file or directory\n", 1},
    {"a_list_that_cannot_be_read", "kelu-cksum -c .", "", "", "kelu-cksum: .: read error: Is a directory\n", 1},
    // Options.
    {"help_abbreviated", "kelu-cksum --he >help && head -n 1 help", "", "Usage: kelu-cksum [OPTION]... [FILE]...\n", "", 0},
    {"version", "kelu-cksum --version", "", "kelu-cksum (libkelu_util) " KELU_UTIL_VERSION_STRING "\n", "", 0},
    {"unknown_option_whatever_the_path", "\"$(command -v kelu-cksum)\" --bogus", "",
     "", "kelu-cksum: unrecognized option '--bogus'\n" + kTry, 1},
    {"tag_when_checking", "kelu-cksum -c --tag list", "",
     "", "kelu-cksum: the --tag option is meaningless when verifying checksums\n" + kTry, 1},
    {"check_options_without_check", "kelu-cksum f --strict --status", "",
     "", "kelu-cksum: the --strict option is meaningful only when verifying checksums\n" + kTry, 1},
};
// clang-format on

namespace fs = std::filesystem;

std::string contents(const fs::path &path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

class Command : public testing::TestWithParam<Case> {};

TEST_P(Command, PrintsAndExitsAsExpected) {
    const Case &c = GetParam();
    const auto dir =
        fs::temp_directory_path() / ("kelu_cksum_test." + std::to_string(getpid()) + "." + c.name);
    fs::create_directory(dir);
    std::ofstream(dir / "list", std::ios::binary) << c.list;
    std::ofstream(dir / ".command") << kSetUp << c.command;
    const std::string run = "cd '" + dir.string() +
                            "' && PATH='" KELU_CKSUM_DIR
                            "':$PATH sh .command </dev/null >.out 2>.err";
    const int status = std::system(run.c_str());
    EXPECT_EQ(contents(dir / ".out"), c.out);
    EXPECT_EQ(contents(dir / ".err"), c.err);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.status) << "status " << status;
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Tool, Command, testing::ValuesIn(kCases), kelu::test::kByName);

// Lines of a list and what they promise; each promise, awkward names included,
// reads back from the line written for it (default, or the --tag line).
using kelu::cksum::Expected;
const auto all = [](std::string name) { return Expected{name, 0xfc891918, 0xe3069283, 9}; };
const auto crc32Only = [](std::string name) { return Expected{name, 0xfc891918, {}, {}}; };
const auto crc32cOnly = [](std::string name) { return Expected{name, {}, 0xe3069283, {}}; };

struct LineCase {
    std::string line;
    std::optional<Expected> expected;
    friend void PrintTo(const LineCase &c, std::ostream *o) {
        *o << testing::PrintToString(c.line);
    }
};

const LineCase kLines[] = {
    {"fc891918 e3069283 9 f", all("f")},
    {"FC891918 E3069283 009 f", all("f")},
    {"fc891918 e3069283 9", all("-")},
    {"fc891918 e3069283 9  two  spaces ", all(" two  spaces ")},
    {"fc891918 e3069283 9 CRC32 (", all("CRC32 (")},
    {"CRC32 (f) = fc891918", crc32Only("f")},
    {"CRC32C (a) = b) = e3069283", crc32cOnly("a) = b")},
    {"\\fc891918 e3069283 9 a\\nb\\\\c\\r", all("a\nb\\c\r")},
    {"\\CRC32C (\\n) = e3069283", crc32cOnly("\n")},
    {"fc891918 e3069283 18446744073709551615 f", Expected{"f", 0xfc891918, 0xe3069283, ~0ull}},
    {"fc891918 e3069283 9 ", {}},
    {"fc891918 e3069283 9f", {}},
    {"fc891918 e3069283 18446744073709551616 f", {}},
    {"fc89191 e3069283 9 f", {}},
    {"fc891918  e3069283 9 f", {}},
    {"fc891918 e306928g 9 f", {}},
    {"CRC32 () = fc891918", {}},
    {"CRC32 (f) = fc8919180", {}},
    {"CRC32 (f) fc891918", {}},
    {"CRC32D (f) = fc891918", {}},
    {"\\fc891918 e3069283 9 b\\q", {}},
    {"\\fc891918 e3069283 9 b\\", {}},
    {"\\CRC32 (f) = fc89191", {}},
    {std::string("fc891918 e3069283 9 a\0b", 23), {}},
};

class LineFormat : public testing::TestWithParam<LineCase> {};

TEST_P(LineFormat, ParsesAsExpectedAndReadsBack) {
    const auto &[line, expected] = GetParam();
    EXPECT_EQ(kelu::cksum::parseLine(line), expected);
    if (expected) {
        const bool tag = !expected->bytes;
        std::string written =
            kelu::cksum::formatResult({expected->crc32.value_or(0), expected->crc32c.value_or(0),
                                       expected->bytes.value_or(0)},
                                      expected->name, tag);
        written.erase(0, tag && expected->crc32c ? written.find('\n') + 1 : 0);
        EXPECT_EQ(kelu::cksum::parseLine(written.substr(0, written.find('\n'))), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Tool, LineFormat, testing::ValuesIn(kLines));

// The committed fuzz corpus of the line format, through the same program.
KELU_CORPUS_REPLAY(ToolCorpus);

}  // namespace
