// SPDX-License-Identifier: MIT
#include "interpreter.h"

#include <charconv>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelu::test {

std::string formatArgument(Arg written, int64_t value) {
    switch (written) {
        case Arg::Node:
            return std::string(1, static_cast<char>('a' + value));
        case Arg::Word: {
            char text[9];
            std::snprintf(text, sizeof text, "%08llx", static_cast<unsigned long long>(value));
            return text;
        }
        default:
            return std::to_string(value);
    }
}

std::optional<int64_t> parseArgument(Arg written, std::string_view text) {
    if (written == Arg::Node) {
        return text.size() == 1 && text[0] >= 'a' && text[0] <= 'z'
                   ? std::optional<int64_t>(text[0] - 'a')
                   : std::nullopt;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                              written == Arg::Word ? 16 : 10);
    return error == std::errc() && end == text.data() + text.size() && !text.empty()
               ? std::optional<int64_t>(value)
               : std::nullopt;
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
