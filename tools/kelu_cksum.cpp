// SPDX-License-Identifier: MIT
// kelu-cksum: prints, or checks, the CRC-32/BZIP2 and the CRC-32C of files
// or standard input, computed by libkelu_util in fixed-size pieces. Options,
// messages and exit statuses follow the coreutils checksum tools (sha256sum);
// kelu-cksum.1 describes them for users.
#include <fcntl.h>
#include <getopt.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelu_util_crc.h"

namespace {

// Each piece fits the library's 32-bit byte count, whatever the file size.
constexpr size_t kPieceBytes = 256 * 1024;

const char kUsage[] =
    "Usage: kelu-cksum [OPTION]... [FILE]...\n"
    "Print or check CRC-32 (CRC-32/BZIP2) and CRC-32C (Castagnoli) checksums.\n"
    "\n"
    "With no FILE, or when FILE is -, read standard input.\n"
    "  -c, --check           read checksums from the FILEs and check them\n"
    "      --tag             print a BSD-style line for each of the two checksums\n"
    "\n"
    "The following five options are useful only when verifying checksums:\n"
    "      --ignore-missing  don't fail or report status for missing files\n"
    "      --quiet           don't print OK for each successfully verified file\n"
    "      --status          don't output anything, status code shows success\n"
    "      --strict          exit non-zero for improperly formatted checksum lines\n"
    "  -w, --warn            warn about improperly formatted checksum lines\n"
    "\n"
    "  -h, --help        display this help and exit\n"
    "      --version     output version information and exit\n"
    "\n"
    "By default each FILE gets the line\n"
    "  CRC32 CRC32C BYTES NAME\n"
    "with both checksums as 8 hex digits and the length in decimal; NAME is\n"
    "omitted for standard input read when no FILE is given. With --tag:\n"
    "  CRC32 (NAME) = CRC32\n"
    "  CRC32C (NAME) = CRC32C\n"
    "A NAME holding a newline, carriage return or backslash is written with\n"
    "those escaped as \\n, \\r and \\\\, and its line starts with a backslash.\n"
    "\"123456789\" gives: fc891918 e3069283 9\n"
    "\n"
    "Exit status: 0 on success; 1 when a file could not be read, a checksum did\n"
    "not match, no checksum line was found, or on a usage or write error.\n";

const char kTryHelp[] = "Try 'kelu-cksum --help' for more information.\n";

// ---- Standard output: every write is checked.

// Reports the failed write once and ends the program: nothing written after
// a lost line could be trusted, and the buffered rest is not flushed again.
[[noreturn]] void writeFailed() {
    const int error = errno;
    std::fprintf(stderr, "kelu-cksum: write error: %s\n", std::strerror(error));
    std::_Exit(1);
}

void put(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        writeFailed();
    }
}

// Writes out what stdio still holds; to be called before a successful exit.
void flushOutput() {
    if (std::fflush(stdout) != 0) {
        writeFailed();
    }
}

[[noreturn]] void usageError(const char *message) {
    if (message != nullptr) {
        std::fprintf(stderr, "kelu-cksum: %s\n", message);
    }
    std::fputs(kTryHelp, stderr);
    std::exit(1);
}

// ---- Checksums.

struct Checksums {
    uint32_t crc32 = 0;
    uint32_t crc32c = 0;
    uint64_t bytes = 0;
};

// The checksums of what `fd` yields up to its end; nullopt with errno set
// when a read fails.
std::optional<Checksums> checksumOf(int fd) {
    static std::vector<unsigned char> piece(kPieceBytes);
    uint32_t crc32 = 0xFFFFFFFFu;  // the running value CRC_Crc32Start begins from
    uint32_t crc32c = 0xFFFFFFFFu;
    uint64_t bytes = 0;
    for (;;) {
        const ssize_t got = read(fd, piece.data(), piece.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return Checksums{CRC_Crc32End(crc32), ~crc32c, bytes};
        }
        const auto count = static_cast<uint32_t>(got);
        crc32 = bytes == 0 ? CRC_Crc32Start(piece.data(), count)
                           : CRC_Crc32Continue(crc32, piece.data(), count);
        crc32c = crc32_iscsi_00(piece.data(), static_cast<int>(count), crc32c);
        bytes += count;
    }
}

// The checksums of the file `name`, "-" being standard input; nullopt with
// errno set when it cannot be opened or read.
std::optional<Checksums> checksumFile(const std::string &name) {
    if (name == "-") {
        return checksumOf(STDIN_FILENO);
    }
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<Checksums> sums = checksumOf(fd);
    const int error = errno;
    close(fd);
    errno = error;
    return sums;
}

// ---- Names on a line.

// A name that cannot stand verbatim on a line: a newline would end the line,
// a trailing carriage return is dropped by readers, a backslash is the escape.
bool needsEscape(std::string_view name) {
    return name.find_first_of("\\\n\r") != std::string_view::npos;
}

std::string escaped(std::string_view name) {
    std::string out;
    for (char c : name) {
        out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\\' ? "\\\\" : std::string(1, c);
    }
    return out;
}

// The name an escaped field stands for; nullopt when a backslash is not
// followed by `\`, `n` or `r`.
std::optional<std::string> unescaped(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
        } else if (++i < field.size() && std::strchr("\\nr", field[i]) != nullptr) {
            out += field[i] == 'n' ? '\n' : field[i] == 'r' ? '\r' : '\\';
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08" PRIx32, value);
    return text;
}

// The result lines for one file; `name` is null for unnamed standard input.
std::string resultLines(const Checksums &sums, const char *name, bool tag) {
    const std::string field = name == nullptr ? "" : escaped(name);
    const std::string lead = name != nullptr && needsEscape(name) ? "\\" : "";
    if (tag) {
        return lead + "CRC32 (" + field + ") = " + hex8(sums.crc32) + "\n" + lead + "CRC32C (" +
               field + ") = " + hex8(sums.crc32c) + "\n";
    }
    return lead + hex8(sums.crc32) + " " + hex8(sums.crc32c) + " " + std::to_string(sums.bytes) +
           (name == nullptr ? "" : " " + field) + "\n";
}

// ---- Reading checksum lines back.

// What one line promises about a file; a field the line does not carry is
// empty and matches anything.
struct Expected {
    std::string name;  // "-" is standard input
    std::optional<uint32_t> crc32, crc32c;
    std::optional<uint64_t> bytes;

    bool matches(const Checksums &sums) const {
        return crc32.value_or(sums.crc32) == sums.crc32 &&
               crc32c.value_or(sums.crc32c) == sums.crc32c &&
               bytes.value_or(sums.bytes) == sums.bytes;
    }
};

// Takes exactly eight hex digits (either case) off the front of `text`.
std::optional<uint32_t> takeHex8(std::string_view &text) {
    uint32_t value = 0;
    if (text.size() < 8 ||
        text.substr(0, 8).find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
        return std::nullopt;
    }
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
std::optional<Expected> parsePlain(std::string_view text) {
    Expected line;
    if (!(line.crc32 = takeHex8(text)) || !takeSpace(text) || !(line.crc32c = takeHex8(text)) ||
        !takeSpace(text) || !(line.bytes = takeCount(text))) {
        return std::nullopt;
    }
    if (text.empty()) {
        line.name = "-";
    } else if (!takeSpace(text) || text.empty()) {
        return std::nullopt;
    }
    line.name += text;
    return line;
}

// "CRC32 (NAME) = CRC32" or "CRC32C (NAME) = CRC32C"; the name ends at the
// last ") = ", since the digits after it hold no parenthesis.
std::optional<Expected> parseTagged(std::string_view text) {
    Expected line;
    const bool castagnoli = text.starts_with("CRC32C (");
    if (!castagnoli && !text.starts_with("CRC32 (")) {
        return std::nullopt;
    }
    text.remove_prefix(castagnoli ? 8 : 7);
    const size_t close = text.rfind(") = ");
    if (close == 0 || close == std::string_view::npos) {
        return std::nullopt;
    }
    line.name = text.substr(0, close);
    text.remove_prefix(close + 4);
    std::optional<uint32_t> value = takeHex8(text);
    if (!value || !text.empty()) {
        return std::nullopt;
    }
    (castagnoli ? line.crc32c : line.crc32) = value;
    return line;
}

// One line of a checksum list, without its line end; nullopt when it is not
// in a format this tool writes.
std::optional<Expected> parseLine(std::string_view text) {
    const bool isEscaped = text.starts_with('\\');
    text.remove_prefix(isEscaped ? 1 : 0);
    std::optional<Expected> line = text.starts_with("CRC") ? parseTagged(text) : parsePlain(text);
    if (!line) {
        return std::nullopt;
    }
    if (isEscaped) {
        std::optional<std::string> name = unescaped(line->name);
        if (!name) {
            return std::nullopt;
        }
        line->name = *name;
    }
    // No file name holds a NUL byte.
    if (line->name.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return line;
}

// ---- Checking.

enum class Verbosity { kStatus, kQuiet, kNormal, kWarn };

struct Options {
    bool check = false;
    bool tag = false;
    bool strict = false;
    bool ignoreMissing = false;
    Verbosity verbosity = Verbosity::kNormal;
    const char *checkOnlyOption = nullptr;  // the first one given, for its usage error
};

struct Tally {
    unsigned long formatted = 0, malformed = 0, unreadable = 0, mismatched = 0, verified = 0;
};

// "WARNING: 1 line is improperly formatted", "WARNING: 2 lines are ...".
void warnCount(unsigned long count, const char *one, const char *many) {
    if (count != 0) {
        std::fprintf(stderr, "kelu-cksum: WARNING: %lu %s\n", count, count == 1 ? one : many);
    }
}

// Prints "NAME: VERDICT", escaped as a result line would be when the name
// holds a line break.
void putVerdict(const std::string &name, const char *verdict) {
    const bool escape = name.find_first_of("\n\r") != std::string::npos;
    put((escape ? "\\" + escaped(name) : name) + ": " + verdict + "\n");
}

// Verifies one listed file, counting the outcome in `tally`. Consecutive
// lines naming one file share one read of it (the statics keep the last
// one): a tagged pair of lines thus reads a file, or standard input, once.
void verify(const Expected &line, const Options &options, Tally &tally) {
    static std::string lastName;  // never a file's name before the first read
    static std::optional<Checksums> last;
    static int lastError = 0;
    if (line.name != lastName) {
        lastName = line.name;
        last = checksumFile(line.name);
        lastError = errno;
    }
    if (!last && options.ignoreMissing && lastError == ENOENT) {
        return;
    }
    if (!last) {
        std::fprintf(stderr, "kelu-cksum: %s: %s\n", line.name.c_str(), std::strerror(lastError));
        ++tally.unreadable;
        if (options.verbosity != Verbosity::kStatus) {
            putVerdict(line.name, "FAILED open or read");
        }
        return;
    }
    ++tally.verified;
    const bool ok = line.matches(*last);
    tally.mismatched += ok ? 0 : 1;
    if (ok ? options.verbosity >= Verbosity::kNormal : options.verbosity != Verbosity::kStatus) {
        putVerdict(line.name, ok ? "OK" : "FAILED");
    }
}

// Reports what the lines of one list came to; true when it passed.
bool summarise(const char *list, const Tally &tally, const Options &options) {
    if (tally.formatted == 0) {
        std::fprintf(stderr, "kelu-cksum: %s: no properly formatted checksum lines found\n", list);
        return false;
    }
    const bool silent = options.verbosity == Verbosity::kStatus;
    if (!silent) {
        warnCount(tally.malformed, "line is improperly formatted",
                  "lines are improperly formatted");
        warnCount(tally.unreadable, "listed file could not be read",
                  "listed files could not be read");
        warnCount(tally.mismatched, "computed checksum did NOT match",
                  "computed checksums did NOT match");
    }
    if (options.ignoreMissing && tally.verified == 0) {
        if (!silent) {
            std::fprintf(stderr, "kelu-cksum: %s: no file was verified\n", list);
        }
        return false;
    }
    return tally.unreadable == 0 && tally.mismatched == 0 &&
           !(options.strict && tally.malformed != 0);
}

// Checks every line of the list `path` ("-" is standard input); true when
// all of them passed.
bool checkList(const char *path, const Options &options) {
    const bool isStdin = std::strcmp(path, "-") == 0;
    const char *list = isStdin ? "standard input" : path;
    FILE *in = isStdin ? stdin : std::fopen(path, "re");
    if (in == nullptr) {
        std::fprintf(stderr, "kelu-cksum: %s: %s\n", list, std::strerror(errno));
        return false;
    }
    Tally tally;
    char *buffer = nullptr;
    size_t capacity = 0;
    ssize_t length;
    for (unsigned long number = 1; (length = getline(&buffer, &capacity, in)) >= 0; ++number) {
        std::string_view text(buffer, static_cast<size_t>(length));
        for (char end : {'\n', '\r'}) {
            text.remove_suffix(text.ends_with(end) ? 1 : 0);
        }
        if (text.empty() || text.starts_with('#')) {
            continue;
        }
        const std::optional<Expected> line = parseLine(text);
        if (line) {
            ++tally.formatted;
            verify(*line, options, tally);
            continue;
        }
        ++tally.malformed;
        if (options.verbosity == Verbosity::kWarn) {
            std::fprintf(stderr, "kelu-cksum: %s: %lu: improperly formatted checksum line\n", list,
                         number);
        }
    }
    std::free(buffer);
    const bool readFailed = std::ferror(in) != 0;
    if (readFailed) {
        std::fprintf(stderr, "kelu-cksum: %s: read error: %s\n", list, std::strerror(errno));
    }
    if (!isStdin) {
        std::fclose(in);
    }
    // A list read only in part has no summary: its counts are not the list's.
    return !readFailed && summarise(list, tally, options);
}

// Prints the result lines for one file; false after reporting an unreadable one.
bool printSums(const char *path, bool named, bool tag) {
    const std::optional<Checksums> sums = checksumFile(path);
    if (!sums) {
        std::fprintf(stderr, "kelu-cksum: %s: %s\n", path, std::strerror(errno));
        return false;
    }
    put(resultLines(*sums, named || tag ? path : nullptr, tag));
    return true;
}

// ---- Options.

enum LongOnly { kTag = 256, kIgnoreMissing, kQuiet, kStatus, kStrict, kVersion };

const option kOptions[] = {
    {"check", no_argument, nullptr, 'c'},
    {"tag", no_argument, nullptr, kTag},
    {"ignore-missing", no_argument, nullptr, kIgnoreMissing},
    {"quiet", no_argument, nullptr, kQuiet},
    {"status", no_argument, nullptr, kStatus},
    {"strict", no_argument, nullptr, kStrict},
    {"warn", no_argument, nullptr, 'w'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// The long name of the option that getopt_long reports as `code`.
const char *longName(int code) {
    const option *entry = kOptions;
    while (entry->val != code) {
        ++entry;
    }
    return entry->name;
}

// Reads the options as getopt_long does for coreutils: they may follow the
// file names, long ones may be abbreviated, and "--" ends them. --help and
// --version act at once; of --status, --quiet and --warn the last one counts.
Options parseOptions(int argc, char **argv) {
    Options options;
    for (int code; (code = getopt_long(argc, argv, "cwh", kOptions, nullptr)) != -1;) {
        const bool checkOnly = code == kIgnoreMissing || code == kQuiet || code == kStatus ||
                               code == kStrict || code == 'w';
        if (checkOnly && options.checkOnlyOption == nullptr) {
            options.checkOnlyOption = longName(code);
        }
        switch (code) {
            case 'c':
                options.check = true;
                break;
            case kTag:
                options.tag = true;
                break;
            case kIgnoreMissing:
                options.ignoreMissing = true;
                break;
            case kQuiet:
                options.verbosity = Verbosity::kQuiet;
                break;
            case kStatus:
                options.verbosity = Verbosity::kStatus;
                break;
            case kStrict:
                options.strict = true;
                break;
            case 'w':
                options.verbosity = Verbosity::kWarn;
                break;
            case 'h':
                put(kUsage);
                flushOutput();
                std::exit(0);
            case kVersion:
                put("kelu-cksum (libkelu_util) " KELU_UTIL_VERSION_STRING "\n");
                flushOutput();
                std::exit(0);
            default:
                usageError(nullptr);  // getopt_long has said what is wrong
        }
    }
    return options;
}

}  // namespace

int main(int argc, char **argv) {
    // getopt_long names the program by argv[0] in its messages.
    static char programName[] = "kelu-cksum";
    argv[0] = programName;
    const Options options = parseOptions(argc, argv);
    if (options.check && options.tag) {
        usageError("the --tag option is meaningless when verifying checksums");
    }
    if (!options.check && options.checkOnlyOption != nullptr) {
        const std::string message = std::string("the --") + options.checkOnlyOption +
                                    " option is meaningful only when verifying checksums";
        usageError(message.c_str());
    }
    std::vector<const char *> paths(argv + optind, argv + argc);
    const bool named = !paths.empty();
    if (!named) {
        paths.push_back("-");
    }
    bool allPassed = true;
    for (const char *path : paths) {
        allPassed =
            (options.check ? checkList(path, options) : printSums(path, named, options.tag)) &&
            allPassed;
    }
    flushOutput();
    return allPassed ? 0 : 1;
}
