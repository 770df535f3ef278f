// SPDX-License-Identifier: MIT
#include "tool/checksum_line_program.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "checksum_line.h"

namespace kelu::test {

std::string runProgram(const uint8_t *data, size_t size) {
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
