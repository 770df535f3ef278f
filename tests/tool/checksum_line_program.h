// SPDX-License-Identifier: MIT
// The checksum-line format's properties, shared by its fuzz target and the
// replay of that target's corpus.
#ifndef KELU_TESTS_TOOL_CHECKSUM_LINE_PROGRAM_H
#define KELU_TESTS_TOOL_CHECKSUM_LINE_PROGRAM_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelu::test {

// "" when every line of the `size` bytes at `data` parses or not without
// misbehaving, and the result lines for the checksums, length and format
// that the first 17 bytes give and the name the rest gives are one line per
// checksum line, each reading back as exactly what it carries (as nothing
// for a name no line can carry), and the name's verdict is one line.
// Otherwise what differed.
std::string runProgram(const uint8_t *data, size_t size);

}  // namespace kelu::test

#endif  // KELU_TESTS_TOOL_CHECKSUM_LINE_PROGRAM_H
