// SPDX-License-Identifier: MIT
// Programs for the families' interpreters. An interpreter runs operations on
// the library beside a model and checks everything after every step; its
// operations are one table, a row per operation holding its name and its
// call. A program runs through the table from text, as the named cases write
// it ("add 5, add 3, remove 5"), or from bytes, as the fuzz targets and their
// corpora give it: an instruction of Interpreter::kInstructionBytes, the
// first byte choosing the row, the others its arguments. describeInput()
// prints bytes as the text they stand for, so a fuzz finding becomes a case.
#ifndef KELU_TESTS_INTERPRETER_H
#define KELU_TESTS_INTERPRETER_H

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelu::test {

using Args = std::array<int64_t, 2>;

// How a row's arguments are written: "25", a node letter "c", "cbf43926".
enum class Arg : uint8_t { Number, Node, Word };
std::string formatArgument(Arg written, int64_t value);
std::optional<int64_t> parseArgument(Arg written, const std::string &text);

template <typename Interpreter>
struct Operation {
    std::string_view name;
    size_t arity;  // arguments in text, at most two
    Arg written;
    // The arguments an instruction's argument bytes (little-endian) stand for
    // in the interpreter's state, or nullopt to skip the step; null: the
    // bytes are the first argument.
    std::optional<Args> (*choose)(const Interpreter &, uint64_t bytes);
    bool (*run)(Interpreter &, std::string_view name, const Args &);  // false once a check failed
};

// What every interpreter keeps: the platform calls its steps made, one line
// each, and the first failure.
class Interpreting {
  public:
    const std::string &transcript() const { return transcript_; }
    const std::string &failure() const { return failure_; }

  protected:
    bool fail(const std::string &what) {
        failure_ = failure_.empty() ? what : failure_;
        return false;
    }
    std::string transcript_;

  private:
    std::string failure_;
};

// From the state `before`, `program` leaves the state `after` and makes
// exactly the platform calls of `transcript` (one line each, as
// recording_platform.h writes them).
struct NamedCase {
    const char *name, *before, *program, *after, *transcript;
};
inline void PrintTo(const NamedCase &c, std::ostream *out) {
    *out << c.name;
}

// Runs a program in text: "" or the first failure.
template <typename Interpreter>
std::string runText(Interpreter &interpreter, std::span<const Operation<Interpreter>> table,
                    const std::string &program) {
    std::istringstream steps(program);
    for (std::string step; std::getline(steps, step, ',');) {
        std::istringstream words(step);
        std::string name, word;
        words >> name;
        const Operation<Interpreter> *row = nullptr;
        for (const Operation<Interpreter> &candidate : table) {
            row = candidate.name == name ? &candidate : row;
        }
        Args args{};
        for (size_t i = 0; row != nullptr && i < row->arity; ++i) {
            const std::optional<int64_t> value =
                parseArgument(row->written, words >> word ? word : "");
            row = value ? row : nullptr;
            args[i] = value.value_or(0);
        }
        if (row == nullptr || words >> word) {
            return "cannot read '" + step + "'";
        }
        if (!row->run(interpreter, row->name, args)) {
            break;
        }
    }
    return interpreter.failure();
}

// Runs a program in bytes, appending the text of each step it runs to
// `text` when given: "" or the first failure.
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
        const std::optional<Args> args =
            row.choose ? row.choose(interpreter, bytes) : Args{static_cast<int64_t>(bytes), 0};
        if (args && text != nullptr) {
            *text += (text->empty() ? "" : ", ") + std::string(row.name);
            for (size_t i = 0; i < row.arity; ++i) {
                *text += ' ' + formatArgument(row.written, (*args)[i]);
            }
        }
        if (args && !row.run(interpreter, row.name, *args)) {
            break;
        }
    }
    return interpreter.failure();
}

// A named case in C++, for bytes that `failure`, `program`, `state` and
// `transcript` came from.
std::string caseRow(const std::string &failure, const std::string &program,
                    const std::string &state, const std::string &transcript);

template <typename Interpreter>
std::string describeBytes(std::span<const Operation<Interpreter>> table,
                          std::span<const uint8_t> program) {
    Interpreter interpreter;
    std::string text;
    const std::string failure = runBytes(interpreter, table, program, &text);
    return caseRow(failure, text, interpreter.state(), interpreter.transcript());
}

// Each family's interpreter defines these two: the fuzz target's program,
// and the named case it amounts to. KELU_DEFINE_INPUTS defines them, and
// `operations`, the span of a table, for an interpreter whose failures
// begin with `family`.
std::string runInput(std::span<const uint8_t> program);
std::string describeInput(std::span<const uint8_t> program);
#define KELU_DEFINE_INPUTS(Interpreter, operations, table, family)              \
    const std::span<const Operation<Interpreter>> operations = table;           \
    std::string runInput(std::span<const uint8_t> program) {                    \
        Interpreter interpreter;                                                \
        const std::string failure = runBytes(interpreter, operations, program); \
        return failure.empty() ? "" : family + failure;                         \
    }                                                                           \
    std::string describeInput(std::span<const uint8_t> program) {               \
        return describeBytes(operations, program);                              \
    }

// The files of a committed corpus in name order, each with its bytes.
std::vector<std::pair<std::string, std::vector<uint8_t>>> corpus(const char *directory);

}  // namespace kelu::test

#endif  // KELU_TESTS_INTERPRETER_H
