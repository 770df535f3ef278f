// SPDX-License-Identifier: MIT
#include "checksum_line.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

namespace kelu::cksum {
namespace {

// The characters a name cannot hold verbatim on a line (a newline would end
// the line, a trailing carriage return is dropped by readers, a backslash is
// the escape), and the letter each is escaped with, at the same index.
constexpr std::string_view kEscaped = "\\\n\r";
constexpr std::string_view kEscapeLetters = "\\nr";

bool needsEscape(std::string_view name) {
    return name.find_first_of(kEscaped) != std::string_view::npos;
}

// Appends `name` with its escaped characters as \\, \n and \r.
void appendEscaped(std::string &out, std::string_view name) {
    for (char c : name) {
        const size_t index = kEscaped.find(c);
        if (index == std::string_view::npos) {
            out += c;
        } else {
            out += '\\';
            out += kEscapeLetters[index];
        }
    }
}

// The name an escaped field stands for; nullopt when a backslash is not
// followed by one of the escape letters.
std::optional<std::string> unescaped(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        const size_t index = ++i < field.size() ? kEscapeLetters.find(field[i]) : field.npos;
        if (index == std::string_view::npos) {
            return std::nullopt;
        }
        out += kEscaped[index];
    }
    return out;
}

void appendHex8(std::string &out, uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08" PRIx32, value);
    out += text;
}

// Takes exactly eight hex digits (either case) off the front of `text`.
std::optional<uint32_t> takeHex8(std::string_view &text) {
    if (text.size() < 8 ||
        text.substr(0, 8).find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
        return std::nullopt;
    }
    uint32_t value = 0;
    std::from_chars(text.data(), text.data() + 8, value, 16);
    text.remove_prefix(8);
    return value;
}

// Takes a decimal count that fits 64 bits off the front of `text`.
std::optional<uint64_t> takeCount(std::string_view &text) {
    uint64_t value = 0;
    // from_chars takes no sign and no space, and refuses a count past 64 bits.
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return value;
}

bool takeSpace(std::string_view &text) {
    const bool space = text.starts_with(' ');
    text.remove_prefix(space ? 1 : 0);
    return space;
}

// "CRC32 CRC32C BYTES[ NAME]"; no NAME stands for standard input.
std::optional<Expected> parseDefault(std::string_view text) {
    Expected line;
    if (!(line.crc32 = takeHex8(text)) || !takeSpace(text) || !(line.crc32c = takeHex8(text)) ||
        !takeSpace(text) || !(line.bytes = takeCount(text))) {
        return std::nullopt;
    }
    if (text.empty()) {
        line.name = "-";
        return line;
    }
    if (!takeSpace(text) || text.empty()) {
        return std::nullopt;
    }
    line.name = text;
    return line;
}

// "CRC32 (NAME) = CRC32" or "CRC32C (NAME) = CRC32C"; the name ends at the
// last ") = ", since the digits after it hold no parenthesis.
std::optional<Expected> parseTagged(std::string_view text) {
    const bool castagnoli = text.starts_with("CRC32C (");
    if (!castagnoli && !text.starts_with("CRC32 (")) {
        return std::nullopt;
    }
    text.remove_prefix(castagnoli ? 8 : 7);
    const size_t close = text.rfind(") = ");
    if (close == 0 || close == std::string_view::npos) {
        return std::nullopt;
    }
    Expected line;
    line.name = text.substr(0, close);
    text.remove_prefix(close + 4);
    const std::optional<uint32_t> value = takeHex8(text);
    if (!value || !text.empty()) {
        return std::nullopt;
    }
    (castagnoli ? line.crc32c : line.crc32) = value;
    return line;
}

}  // namespace

bool Expected::matches(const Checksums &sums) const {
    return crc32.value_or(sums.crc32) == sums.crc32 &&
           crc32c.value_or(sums.crc32c) == sums.crc32c && bytes.value_or(sums.bytes) == sums.bytes;
}

std::string formatResult(const Checksums &sums, std::optional<std::string_view> name, bool tag) {
    const bool escape = name && needsEscape(*name);
    std::string out;
    auto begin = [&](std::string_view label) {
        out += escape ? "\\" : "";
        out += label;
    };
    auto appendName = [&] { appendEscaped(out, name.value_or("-")); };
    if (tag) {
        for (auto [label, value] : {std::pair{"CRC32 (", sums.crc32}, {"CRC32C (", sums.crc32c}}) {
            begin(label);
            appendName();
            out += ") = ";
            appendHex8(out, value);
            out += '\n';
        }
        return out;
    }
    begin("");
    appendHex8(out, sums.crc32);
    out += ' ';
    appendHex8(out, sums.crc32c);
    out += ' ';
    out += std::to_string(sums.bytes);
    if (name) {
        out += ' ';
        appendName();
    }
    out += '\n';
    return out;
}

std::string formatVerdict(std::string_view name, std::string_view verdict) {
    std::string out;
    if (name.find_first_of("\n\r") != std::string_view::npos) {
        out += '\\';
        appendEscaped(out, name);
    } else {
        out += name;
    }
    out += ": ";
    out += verdict;
    out += '\n';
    return out;
}

std::optional<Expected> parseLine(std::string_view text) {
    const bool escaped = text.starts_with('\\');
    text.remove_prefix(escaped ? 1 : 0);
    std::optional<Expected> line = text.starts_with("CRC") ? parseTagged(text) : parseDefault(text);
    if (line && escaped) {
        std::optional<std::string> name = unescaped(line->name);
        if (!name) {
            return std::nullopt;
        }
        line->name = std::move(*name);
    }
    // No file name holds a NUL byte.
    if (line && line->name.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return line;
}

}  // namespace kelu::cksum
