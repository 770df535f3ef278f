// SPDX-License-Identifier: MIT
// Programs for the families' interpreters. An interpreter runs operations on
// the library beside a model and checks everything after every step; its
// operations are one table, each row holding the operation's name and its
// call. A program runs through that table in one of two forms:
//   text   what the named cases write: "add 5, add 3, remove 5"
//   bytes  what the fuzz targets and their corpora give: one instruction of
//          Interpreter::kInstructionBytes bytes per step, the first choosing
//          the row, the others its arguments
// and the bytes can be printed as the text they stand for, so that a fuzz
// finding becomes a named case (describeInput()).
#ifndef KELU_TESTS_INTERPRETER_H
#define KELU_TESTS_INTERPRETER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelu::test {

// The arguments of one step.
using Args = std::array<int64_t, 2>;

// How a row's arguments are written in text.
enum class Arg : uint8_t {
    Number,  // decimal: "25"
    Node,    // a letter, 'a' for 0: "c"
    Word,    // eight hex digits: "cbf43926"
};

template <typename Interpreter>
struct Operation {
    std::string_view name;
    size_t arity;  // arguments in text, at most two
    Arg written;
    // The arguments that an instruction's argument bytes (little-endian)
    // stand for in the interpreter's present state, or nullopt when the step
    // makes no sense there and is skipped. Null: the bytes are the first
    // argument as they are.
    std::optional<Args> (*choose)(const Interpreter &, uint64_t bytes);
    // Runs the step, named `name`, and checks it; false once any check has
    // failed.
    bool (*run)(Interpreter &, std::string_view name, const Args &);
};

// A named case of a family: from the state `before`, `program` leaves the
// state `after` and makes exactly the calls of `transcript` (one line each,
// as recording_platform.h writes them; "" for none).
struct NamedCase {
    const char *name;
    const char *before;
    const char *program;
    const char *after;
    const char *transcript;
};

inline void PrintTo(const NamedCase &c, std::ostream *out) {
    *out << c.name;
}

std::string formatArgument(Arg written, int64_t value);
std::optional<int64_t> parseArgument(Arg written, std::string_view text);

// The text of one step.
template <typename Interpreter>
std::string stepText(const Operation<Interpreter> &row, const Args &args) {
    std::string text(row.name);
    for (size_t i = 0; i < row.arity; ++i) {
        text += ' ' + formatArgument(row.written, args[i]);
    }
    return text;
}

// Runs a program in text; "" or the first failure (a step the table does
// not know, or one whose checks failed).
template <typename Interpreter>
std::string runText(Interpreter &interpreter, std::span<const Operation<Interpreter>> table,
                    std::string_view program) {
    while (!program.empty()) {
        const size_t comma = program.find(',');
        std::string_view step = program.substr(0, comma);
        program.remove_prefix(comma == std::string_view::npos ? program.size() : comma + 1);
        auto word = [&step]() {
            step.remove_prefix(std::min(step.find_first_not_of(' '), step.size()));
            const std::string_view taken = step.substr(0, step.find(' '));
            step.remove_prefix(taken.size());
            return taken;
        };
        const std::string_view name = word();
        const Operation<Interpreter> *row = nullptr;
        for (const Operation<Interpreter> &candidate : table) {
            row = candidate.name == name ? &candidate : row;
        }
        Args args{};
        for (size_t i = 0; row != nullptr && i < row->arity; ++i) {
            const std::optional<int64_t> value = parseArgument(row->written, word());
            row = value ? row : nullptr;
            args[i] = value.value_or(0);
        }
        if (row == nullptr || !word().empty()) {
            return "cannot read the step '" + std::string(name) + "'";
        }
        if (!row->run(interpreter, row->name, args)) {
            return interpreter.failure();
        }
    }
    return interpreter.failure();
}

// Runs a program in bytes, a whole instruction at a time, and appends the
// text of every step it runs to `text` when given; "" or the first failure.
template <typename Interpreter>
std::string runBytes(Interpreter &interpreter, std::span<const Operation<Interpreter>> table,
                     std::span<const uint8_t> program, std::string *text = nullptr) {
    constexpr size_t width = Interpreter::kInstructionBytes;
    for (size_t at = 0; at + width <= program.size(); at += width) {
        const Operation<Interpreter> &row = table[program[at] % table.size()];
        uint64_t bytes = 0;
        for (size_t i = width - 1; i > 0; --i) {
            bytes = bytes << 8 | program[at + i];
        }
        const std::optional<Args> args = row.choose != nullptr
                                             ? row.choose(interpreter, bytes)
                                             : Args{static_cast<int64_t>(bytes), 0};
        if (!args) {
            continue;
        }
        if (text != nullptr) {
            *text += (text->empty() ? "" : ", ") + stepText(row, *args);
        }
        if (!row.run(interpreter, row.name, *args)) {
            break;
        }
    }
    return interpreter.failure();
}

// The named case that a program in bytes amounts to, as a row of the
// family's table: its text, and the state and transcript it leaves.
template <typename Interpreter>
std::string describeBytes(std::span<const Operation<Interpreter>> table,
                          std::span<const uint8_t> program) {
    Interpreter interpreter;
    std::string text;
    const std::string failure = runBytes(interpreter, table, program, &text);
    std::string row = "{\"Name\", \"\",\n \"" + text + "\",\n \"" + interpreter.state() + "\",\n ";
    std::string_view lines = interpreter.transcript();
    row += lines.empty() ? "\"\"" : "";
    while (!lines.empty()) {
        const size_t end = lines.find('\n') + 1;
        row += "\"" + std::string(lines.substr(0, end - 1)) + "\\n\"" +
               (end < lines.size() ? "\n " : "");
        lines.remove_prefix(end);
    }
    row += "},\n";
    return failure.empty() ? row : "// fails: " + failure + "\n" + row;
}

// Each family's interpreter defines these two for its table: the fuzz
// target's program and its named-case description.
std::string runInput(std::span<const uint8_t> program);
std::string describeInput(std::span<const uint8_t> program);

// The files of a committed corpus, in name order, each with its bytes; none
// when the directory cannot be read.
std::vector<std::pair<std::string, std::vector<uint8_t>>> corpus(const char *directory);

}  // namespace kelu::test

#endif  // KELU_TESTS_INTERPRETER_H
