// SPDX-License-Identifier: MIT
// kelu_case_<family> FILE...: prints each fuzz input as the named case it
// amounts to, a row for the family's table of named cases: the program in
// text, the state it leaves and the platform calls it makes. Give the row a
// name that says what it shows, and the fuzz finding becomes a case a reader
// can find.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/interpreter.h"

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        std::printf("// %s\n%s", argv[i], kelu::test::describeInput(bytes).c_str());
    }
    return argc > 1 ? 0 : 2;
}
