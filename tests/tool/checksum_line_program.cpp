// SPDX-License-Identifier: MIT
// The checksum-line format's fuzz program: runInput() is "" when every line
// of the input parses or not without misbehaving, and the result lines for
// the checksums, length and format the first 17 bytes give and the name the
// rest gives each read back as exactly what they carry (as nothing for a
// name no line can carry), the verdict for the name being one line too;
// otherwise what differed. describeInput() prints the input's first line as
// a row of kelu_cksum_test.cpp's table of lines.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "checksum_line.h"
#include "support/interpreter.h"

namespace kelu::test {
namespace {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, c == '"' || c == '\\' ? "\\%c" : "%c", c);
        out += std::isprint(static_cast<unsigned char>(c)) ? std::string(escaped)
               : c == '\n'                                 ? std::string("\\n")
                           : "\\x" + formatArgument(Arg::Word, c & 0xFF).substr(6) + "\"\"";
    }
    return out + "\"";
}

template <typename T>
std::string optional(const std::optional<T> &value, Arg written) {
    return value ? (written == Arg::Word ? "0x" : "") +
                       formatArgument(written, static_cast<int64_t>(*value))
                 : "{}";
}

}  // namespace

std::string describeInput(std::span<const uint8_t> program) {
    const std::string input(program.begin(), program.end());
    const std::string line = input.substr(0, input.find('\n'));
    const std::optional<cksum::Expected> parsed = cksum::parseLine(line);
    std::string row = "{" + quoted(line) + ", ";
    row += parsed ? "Expected{" + quoted(parsed->name) + ", " + optional(parsed->crc32, Arg::Word) +
                        ", " + optional(parsed->crc32c, Arg::Word) + ", " +
                        optional(parsed->bytes, Arg::Number) + "}"
                  : "{}";
    return row + "},\n";
}

std::string runInput(std::span<const uint8_t> program) {
    const uint8_t *data = program.data();
    const size_t size = program.size();
    const std::string input(reinterpret_cast<const char *>(data), size);
    for (size_t start = 0, end = 0; start <= size; start = end + 1) {
        end = std::min(input.find('\n', start), size);
        (void)cksum::parseLine(std::string_view(input).substr(start, end - start));
    }
    uint8_t head[17] = {};
    std::memcpy(head, data, std::min(size, sizeof head));
    cksum::Checksums sums;  // CRC-32, CRC-32C and length: 16 bytes, no padding
    std::memcpy(&sums, head, sizeof sums);
    const bool tag = head[16] & 1, named = tag || (head[16] & 2) != 0;
    const std::string name = named ? input.substr(std::min(size, sizeof head)) : "-";
    const bool readable = !name.empty() && name.find('\0') == std::string::npos;
    std::string text = cksum::formatResult(sums, named ? std::optional(name) : std::nullopt, tag);
    using Lines = std::vector<cksum::Expected>;
    for (const cksum::Expected &line :
         tag ? Lines{{name, sums.crc32, {}, {}}, {name, {}, sums.crc32c, {}}}
             : Lines{{name, sums.crc32, sums.crc32c, sums.bytes}}) {
        const size_t end = text.find('\n');
        if (end == text.npos || text.find('\r') < end ||
            cksum::parseLine(text.substr(0, end)) !=
                (readable ? std::optional(line) : std::nullopt)) {
            return "a result line does not read back: " + text;
        }
        text.erase(0, end + 1);
    }
    const std::string verdict = cksum::formatVerdict(name, "OK");
    if (!text.empty() || verdict.find_first_of("\n\r") != verdict.size() - 1) {
        return "more than one line: " + text + verdict;
    }
    return "";
}

}  // namespace kelu::test
