// Fuzz target for the AVL tree: the input is a program for the AVL
// interpreter, which checks the library's tree against a reference tree
// after every operation. Any disagreement aborts with what differed.
#include <cstdio>
#include <cstdlib>

#include "support/avl_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    kelu::test::AvlHarness harness;
    if (!harness.run(data, size)) {
        std::fprintf(stderr, "AVL: %s\n", harness.failure().c_str());
        std::abort();
    }
    return 0;
}
