// SPDX-License-Identifier: MIT
// The fuzz target of one interpreter of tests/support, named by KELU_FUZZ_RUN
// (kelu::test::runAvl, runLists, runChecksums, or runProgram for the
// checksum-line format of tests/tool): the input is its program,
// and any disagreement it finds aborts with what differed. The unit test
// build compiles the same file once per interpreter to replay the corpora.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/avl_harness.h"
#include "support/checksum_check.h"
#include "support/list_harness.h"
#include "tool/checksum_line_program.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string failure = KELU_FUZZ_RUN(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
