// SPDX-License-Identifier: MIT
// The checksum-line format's properties, shared by its fuzz target and the
// replay of that target's corpus.
#ifndef KELU_TESTS_TOOL_CHECKSUM_LINE_PROGRAM_H
#define KELU_TESTS_TOOL_CHECKSUM_LINE_PROGRAM_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelu::test {

// "" when every line of `data` parses or not without misbehaving, and the
// result lines for the checksums, length and format the first 17 bytes give
// and the name the rest gives each read back as exactly what they carry (as
// nothing for a name no line can carry), the verdict for the name being one
// line too; otherwise what differed.
std::string runProgram(const uint8_t *data, size_t size);

}  // namespace kelu::test

#endif  // KELU_TESTS_TOOL_CHECKSUM_LINE_PROGRAM_H
