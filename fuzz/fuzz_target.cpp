// SPDX-License-Identifier: MIT
// The libFuzzer target of one family: the input is a program for the
// family's interpreter (tests/<family>/), which kelu_add_interpreter() links
// in, and any disagreement it finds aborts with what differed. The family's
// tests replay the committed corpus through the same runInput().
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/interpreter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string failure = kelu::test::runInput({data, size});
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
