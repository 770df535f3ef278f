// kelu-cksum: the CRC-32/BZIP2 and the CRC-32C of files or standard input,
// computed by libkelu_util in fixed-size pieces.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "kelu_util_crc.h"

namespace {

// Each piece fits the library's 32-bit byte count, whatever the file size.
constexpr size_t kPieceBytes = 256 * 1024;

const char kUsage[] =
    "usage: kelu-cksum [FILE]...\n"
    "For each FILE (standard input when there is none, or for \"-\") prints one line:\n"
    "  CRC32 CRC32C BYTES NAME\n"
    "CRC32 is the CRC-32/BZIP2 checksum and CRC32C the CRC-32C (Castagnoli) checksum\n"
    "of the content, both as 8 hex digits; BYTES is the content's length in decimal;\n"
    "NAME is omitted for standard input read by default. \"123456789\" gives\n"
    "  fc891918 e3069283 9\n"
    "Exit status: 0, or 1 when some file could not be read (reported on stderr).\n";

struct Checksums {
    uint32_t crc32 = 0xFFFFFFFFu;  // running value, begun as CRC_Crc32Start begins
    uint32_t crc32c = 0xFFFFFFFFu;
    uint64_t bytes = 0;
};

// Reads `fd` to its end; false with errno set when a read fails.
bool checksum(int fd, std::vector<unsigned char> &piece, Checksums *sums) {
    for (;;) {
        ssize_t got = read(fd, piece.data(), piece.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        const auto count = static_cast<uint32_t>(got);
        sums->crc32 = sums->bytes == 0 ? CRC_Crc32Start(piece.data(), count)
                                       : CRC_Crc32Continue(sums->crc32, piece.data(), count);
        sums->crc32c = crc32_iscsi_00(piece.data(), static_cast<int>(count), sums->crc32c);
        sums->bytes += count;
    }
}

// Prints the line for one input; false after reporting an unreadable one.
bool report(const char *path, bool named, std::vector<unsigned char> &piece) {
    const bool isStdin = std::strcmp(path, "-") == 0;
    int fd = isStdin ? STDIN_FILENO : open(path, O_RDONLY | O_CLOEXEC);
    Checksums sums;
    if (fd < 0 || !checksum(fd, piece, &sums)) {
        std::fprintf(stderr, "kelu-cksum: %s: %s\n", path, std::strerror(errno));
        if (fd >= 0 && !isStdin) {
            close(fd);
        }
        return false;
    }
    if (!isStdin) {
        close(fd);
    }
    std::printf("%08" PRIx32 " %08" PRIx32 " %" PRIu64 "%s%s\n", CRC_Crc32End(sums.crc32),
                ~sums.crc32c, sums.bytes, named ? " " : "", named ? path : "");
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    std::vector<const char *> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "kelu-cksum: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        }
        paths.push_back(argv[i]);
    }
    std::vector<unsigned char> piece(kPieceBytes);
    bool allRead = true;
    if (paths.empty()) {
        allRead = report("-", false, piece);
    }
    for (const char *path : paths) {
        allRead = report(path, true, piece) && allRead;
    }
    // A result that could not be written is a failure too.
    return std::fflush(stdout) == 0 && allRead ? 0 : 1;
}
