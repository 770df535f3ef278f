// SPDX-License-Identifier: MIT
#include "interpreter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelu::test {

std::string formatArgument(Arg written, int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, written == Arg::Word ? "%08llx" : "%lld",
                  static_cast<long long>(value));
    return written == Arg::Node ? std::string(1, static_cast<char>('a' + value)) : text;
}

std::optional<int64_t> parseArgument(Arg written, const std::string &text) {
    if (written == Arg::Node) {
        return text.size() == 1 && text[0] >= 'a' && text[0] <= 'z'
                   ? std::optional<int64_t>(text[0] - 'a')
                   : std::nullopt;
    }
    int64_t value = 0;
    const char *end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value, written == Arg::Word ? 16 : 10);
    return !text.empty() && parsed.ec == std::errc() && parsed.ptr == end ? std::optional(value)
                                                                          : std::nullopt;
}

std::string caseRow(const std::string &failure, const std::string &program,
                    const std::string &state, const std::string &transcript) {
    std::string row = failure.empty() ? "" : "// fails: " + failure + "\n";
    row += "{\"Name\", \"\",\n \"" + program + "\",\n \"" + state + "\",\n ";
    std::string lines = transcript.empty() ? "\"\"" : "";
    for (size_t at = 0; at < transcript.size(); at = transcript.find('\n', at) + 1) {
        lines += (at == 0 ? "\"" : "\n \"") +
                 transcript.substr(at, transcript.find('\n', at) - at) + "\\n\"";
    }
    return row + lines + "},\n";
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> corpus(const char *directory) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> inputs;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(directory, error)) {
        std::ifstream in(entry.path(), std::ios::binary);
        inputs.emplace_back(entry.path().filename().string(),
                            std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}));
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

}  // namespace kelu::test
