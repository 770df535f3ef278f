// SPDX-License-Identifier: MIT
#include "file_checksums.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "kelu/crc.hpp"

namespace kelu::cksum {
namespace {

// The checksums of what `fd` yields up to its end; nullopt with errno set
// when a read fails.
std::optional<Checksums> checksumOf(int fd) {
    std::array<std::byte, 64 * 1024> piece;
    crc32_stream crc32;
    crc32c_stream crc32c;
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
            return Checksums{crc32.value(), crc32c.value(), bytes};
        }
        const std::span<const std::byte> data(piece.data(), static_cast<size_t>(got));
        crc32.update(data);
        crc32c.update(data);
        bytes += data.size();
    }
}

}  // namespace

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

}  // namespace kelu::cksum
