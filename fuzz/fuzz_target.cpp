// SPDX-License-Identifier: MIT
// The fuzz target of one interpreter named by KELU_FUZZ_RUN (kelu::test::runAvl,
// runLists or runChecksums of tests/support, runProgram of tests/tool): the input
// is its program, and any disagreement aborts with what differed. The unit test
// build compiles it once per interpreter to replay the corpora.
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
