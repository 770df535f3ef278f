// kelu-cksum: prints the CRC-32/BZIP2 and the CRC-32C of files
// or standard input, computed by libkelu_util in fixed-size pieces. Options,
// messages and exit statuses follow the coreutils checksum tools (sha256sum).
#include <fcntl.h>
#include <getopt.h>
#include <unistd.h>

#include <cerrno>
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
    "Print CRC-32 (CRC-32/BZIP2) and CRC-32C (Castagnoli) checksums.\n"
    "\n"
    "With no FILE, or when FILE is -, read standard input.\n"
    "      --tag             create BSD-style checksums, one line for each\n"
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
    "Exit status: 0 on success; 1 when a file could not be read, or on a usage\n"
    "or write error.\n";

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

enum LongOnly { kTag = 256, kVersion };

const option kOptions[] = {
    {"tag", no_argument, nullptr, kTag},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// Reads the options as getopt_long does for coreutils: they may follow the
// file names, long ones may be abbreviated, and "--" ends them. --help and
// --version act at once. Returns whether --tag was given.
bool parseOptions(int argc, char **argv) {
    bool tag = false;
    for (int code; (code = getopt_long(argc, argv, "h", kOptions, nullptr)) != -1;) {
        switch (code) {
            case kTag:
                tag = true;
                break;
            case 'h':
                put(kUsage);
                flushOutput();
                std::exit(0);
            case kVersion:
                put("kelu-cksum (libkelu_util) " KELU_CKSUM_VERSION "\n");
                flushOutput();
                std::exit(0);
            default:
                usageError(nullptr);  // getopt_long has said what is wrong
        }
    }
    return tag;
}

}  // namespace

int main(int argc, char **argv) {
    // getopt_long names the program by argv[0] in its messages.
    static char programName[] = "kelu-cksum";
    argv[0] = programName;
    const bool tag = parseOptions(argc, argv);
    std::vector<const char *> paths(argv + optind, argv + argc);
    const bool named = !paths.empty();
    if (!named) {
        paths.push_back("-");
    }
    bool allPassed = true;
    for (const char *path : paths) {
        allPassed = printSums(path, named, tag) && allPassed;
    }
    flushOutput();
    return allPassed ? 0 : 1;
}
