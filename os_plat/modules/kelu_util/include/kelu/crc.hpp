// SPDX-License-Identifier: MIT
///
/// @file kelu/crc.hpp
///
/// The library's checksums over spans and byte ranges: kelu::crc32 (CRC-32
/// with the CRC-32/BZIP2 parameters, "123456789" -> 0xFC891918) and
/// kelu::crc32c (the standard CRC-32C, "123456789" -> 0xE3069283), whole,
/// streamed, or combined from the checksums of the parts. Any length works:
/// the C functions take 32-bit (CRC_Crc32*) or int (crc32_iscsi_00) counts,
/// so longer buffers are fed to them in pieces, which gives the same value.
/// Pure functions: no lock, no allocation.
///
/// A string literal is an array that ends in its NUL byte; pass a
/// std::string_view to checksum the text alone.
#ifndef KELU_CRC_HPP
#define KELU_CRC_HPP

#include <cstddef>
#include <cstdint>
#include <ranges>
#include <span>
#include <type_traits>

#include "kelu_util_crc.h"

namespace kelu {

/// byte_range<R>
/// A contiguous, sized range of one-byte, trivially copyable values: a
/// std::span<const std::byte>, a std::string_view, a std::vector<uint8_t>,
/// an unsigned char array, ...
template <typename R>
concept byte_range = std::ranges::contiguous_range<R> && std::ranges::sized_range<R> &&
                         sizeof(std::ranges::range_value_t<R>) == 1 &&
                     std::is_trivially_copyable_v<std::ranges::range_value_t<R>>;

namespace detail {

// The largest piece handed to one C call: within both a uint32_t and an int.
inline constexpr std::size_t kCrcPiece = std::size_t{1} << 30;

template <byte_range R>
std::span<const std::byte> bytes_of(R &&range) noexcept {
    return {reinterpret_cast<const std::byte *>(std::ranges::data(range)),
            static_cast<std::size_t>(std::ranges::size(range))};
}

// The C calls behind each checksum's stream: feed() takes at most kCrcPiece
// bytes; combine() is the header's combination of finished checksums.
struct crc32_calls {
    static uint32_t feed(uint32_t running, const std::byte *data, std::size_t size) noexcept {
        return CRC_Crc32Continue(running, data, static_cast<uint32_t>(size));
    }
    static uint32_t combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB) noexcept {
        return CRC_Crc32Combine(crcA, crcB, lengthB);
    }
};

struct crc32c_calls {
    static uint32_t feed(uint32_t running, const std::byte *data, std::size_t size) noexcept {
        // crc32_iscsi_00 reads the buffer only; its C prototype is ISA-L's.
        auto *bytes = const_cast<unsigned char *>(reinterpret_cast<const unsigned char *>(data));
        return crc32_iscsi_00(bytes, static_cast<int>(size), running);
    }
    static uint32_t combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB) noexcept {
        return CRC_Crc32cCombine(crcA, crcB, lengthB);
    }
};

}  // namespace detail

/// A checksum of data fed in pieces: update() with each piece in order, then
/// value(), which equals the checksum of the concatenation. value() does not
/// end the stream; more update() or append() calls may follow. `Calls` are
/// the C functions behind it: use crc32_stream or crc32c_stream.
template <typename Calls>
class crc_stream {
  public:
    /// Takes the bytes. O(n). @{
    crc_stream &update(std::span<const std::byte> bytes) noexcept {
        size_ += bytes.size();
        while (bytes.size() > detail::kCrcPiece) {
            running_ = Calls::feed(running_, bytes.data(), detail::kCrcPiece);
            bytes = bytes.subspan(detail::kCrcPiece);
        }
        running_ = Calls::feed(running_, bytes.data(), bytes.size());
        return *this;
    }
    template <byte_range R>
    crc_stream &update(R &&range) noexcept {
        return update(detail::bytes_of(range));
    }
    /// @}
    /// Takes, after its own, the bytes another stream took (fed elsewhere,
    /// on another thread, for instance) without reading them again: value()
    /// becomes the checksum of this stream's bytes followed by next's.
    /// O(log next.size()): the combination of the two checksums.
    crc_stream &append(const crc_stream &next) noexcept {
        running_ = ~Calls::combine(value(), next.value(), next.size_);
        size_ += next.size_;
        return *this;
    }
    /// The checksum of the bytes taken so far.
    uint32_t value() const noexcept { return ~running_; }
    /// The number of bytes taken (modulo 2^64).
    uint64_t size() const noexcept { return size_; }

  private:
    uint32_t running_ = 0xFFFFFFFFu;
    uint64_t size_ = 0;
};

/// CRC-32/BZIP2 of data fed in pieces, over CRC_Crc32Continue.
using crc32_stream = crc_stream<detail::crc32_calls>;
/// CRC-32C of data fed in pieces, over crc32_iscsi_00.
using crc32c_stream = crc_stream<detail::crc32c_calls>;

/// crc32_combine(), crc32c_combine()
/// The checksum of A followed by B from crc32(A), crc32(B) and B's length in
/// bytes (crc32c likewise), without the data: CRC_Crc32Combine and
/// CRC_Crc32cCombine. Any length, 0 and beyond 4 GiB included;
/// O(log lengthB), at most 16 multiplications modulo the polynomial. @{
inline uint32_t crc32_combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB) noexcept {
    return CRC_Crc32Combine(crcA, crcB, lengthB);
}
inline uint32_t crc32c_combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB) noexcept {
    return CRC_Crc32cCombine(crcA, crcB, lengthB);
}
/// @}

/// crc32(), crc32c()
/// The checksum of the bytes, in one call of the C function when the length
/// fits its count. O(n). @{
inline uint32_t crc32(std::span<const std::byte> bytes) noexcept {
    if (bytes.size() <= detail::kCrcPiece) {
        return CRC_Crc32(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    return crc32_stream().update(bytes).value();
}
template <byte_range R>
uint32_t crc32(R &&range) noexcept {
    return crc32(detail::bytes_of(range));
}

inline uint32_t crc32c(std::span<const std::byte> bytes) noexcept {
    return crc32c_stream().update(bytes).value();
}
template <byte_range R>
uint32_t crc32c(R &&range) noexcept {
    return crc32c(detail::bytes_of(range));
}
/// @}

}  // namespace kelu

#endif  // KELU_CRC_HPP
