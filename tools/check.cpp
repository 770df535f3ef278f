// SPDX-License-Identifier: MIT
#include "check.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console.h"
#include "file_checksums.h"

namespace kelu::cksum {
namespace {

struct Tally {
    bool anyFormatted = false;
    unsigned long malformed = 0, unreadable = 0, mismatched = 0, matched = 0;
};

// "WARNING: 1 line is improperly formatted", "WARNING: 2 lines are ...".
void warnCount(unsigned long count, std::string_view one, std::string_view many) {
    if (count != 0) {
        report({"WARNING: ", std::to_string(count), " ", count == 1 ? one : many});
    }
}

// Verifies one listed file, counting the outcome in `tally`.
void verify(const Expected &line, const Options &options, LastRead &last, Tally &tally) {
    if (line.name != last.name) {
        last.name = line.name;
        last.sums = checksumFile(line.name);
        last.error = errno;
    }
    if (!last.sums && options.ignoreMissing && last.error == ENOENT) {
        return;
    }
    const bool status = options.verbosity == Verbosity::kStatus;
    if (!last.sums) {
        errno = last.error;
        reportErrno(line.name);
        ++tally.unreadable;
        if (!status) {
            put(formatVerdict(line.name, "FAILED open or read"));
        }
        return;
    }
    const bool ok = line.matches(*last.sums);
    ++(ok ? tally.matched : tally.mismatched);
    if (ok ? options.verbosity >= Verbosity::kNormal : !status) {
        put(formatVerdict(line.name, ok ? "OK" : "FAILED"));
    }
}

// Reports what the lines of one list came to; true when it passed.
bool summarise(std::string_view list, const Tally &tally, const Options &options) {
    if (!tally.anyFormatted) {
        report({list, ": no properly formatted checksum lines found"});
        return false;
    }
    if (options.verbosity != Verbosity::kStatus) {
        warnCount(tally.malformed, "line is improperly formatted",
                  "lines are improperly formatted");
        warnCount(tally.unreadable, "listed file could not be read",
                  "listed files could not be read");
        warnCount(tally.mismatched, "computed checksum did NOT match",
                  "computed checksums did NOT match");
        if (options.ignoreMissing && tally.matched == 0) {
            report({list, ": no file was verified"});
        }
    }
    // Every line either matched, failed, or named a missing file that
    // --ignore-missing skips: a list with none matched fails.
    return tally.matched != 0 && tally.unreadable == 0 && tally.mismatched == 0 &&
           !(options.strict && tally.malformed != 0);
}

}  // namespace

bool checkList(const std::string &path, const Options &options, LastRead &last) {
    const bool isStdin = path == "-";
    const std::string_view list = isStdin ? std::string_view("standard input") : path;
    FILE *in = isStdin ? stdin : std::fopen(path.c_str(), "re");
    if (in == nullptr) {
        reportErrno(list);
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
        // Standard input holds the list itself: a line naming it is no file's.
        if (line && !(isStdin && line->name == "-")) {
            tally.anyFormatted = true;
            verify(*line, options, last, tally);
            continue;
        }
        ++tally.malformed;
        if (options.verbosity == Verbosity::kWarn) {
            report({list, ": ", std::to_string(number), ": improperly formatted checksum line"});
        }
    }
    std::free(buffer);
    const bool readFailed = std::ferror(in) != 0;
    if (readFailed) {
        report({list, ": read error: ", std::strerror(errno)});
    }
    if (!isStdin) {
        std::fclose(in);
    }
    // A list read only in part has no summary: its counts are not the list's.
    return !readFailed && summarise(list, tally, options);
}

}  // namespace kelu::cksum
