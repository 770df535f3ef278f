// SPDX-License-Identifier: MIT
///
/// @file kelu/crc.hpp
///
/// The library's checksums over spans and byte ranges: kelu::crc32 (CRC-32
/// with the CRC-32/BZIP2 parameters, "123456789" -> 0xFC891918) and
/// kelu::crc32c (the standard CRC-32C, "123456789" -> 0xE3069283), whole or
/// streamed. Any length works: the C functions take 32-bit (CRC_Crc32*) or
/// int (crc32_iscsi_00) counts, so longer buffers are fed to them in pieces,
/// which gives the same value. Pure functions: no lock, no allocation.
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

}  // namespace detail

/// crc32_stream
/// CRC-32/BZIP2 of data fed in pieces: update() with each piece in order,
/// then value(), which equals crc32() of the concatenation. value() does not
/// end the stream; more update() calls may follow. O(n) per update.
class crc32_stream {
  public:
    /// Feeds the next piece. @{
    crc32_stream &update(std::span<const std::byte> bytes) noexcept {
        while (bytes.size() > detail::kCrcPiece) {
            running_ = CRC_Crc32Continue(running_, bytes.data(), detail::kCrcPiece);
            bytes = bytes.subspan(detail::kCrcPiece);
        }
        running_ = CRC_Crc32Continue(running_, bytes.data(), static_cast<uint32_t>(bytes.size()));
        return *this;
    }
    template <byte_range R>
    crc32_stream &update(R &&range) noexcept {
        return update(detail::bytes_of(range));
    }
    /// @}
    /// The CRC-32 of the pieces fed so far.
    uint32_t value() const noexcept { return CRC_Crc32End(running_); }

  private:
    uint32_t running_ = 0xFFFFFFFFu;
};

/// crc32c_stream
/// CRC-32C of data fed in pieces, as crc32_stream; over crc32_iscsi_00.
class crc32c_stream {
  public:
    /// Feeds the next piece. @{
    crc32c_stream &update(std::span<const std::byte> bytes) noexcept {
        // crc32_iscsi_00 reads the buffer only; its C prototype is ISA-L's.
        auto *data =
            const_cast<unsigned char *>(reinterpret_cast<const unsigned char *>(bytes.data()));
        std::size_t size = bytes.size();
        while (size > detail::kCrcPiece) {
            running_ = crc32_iscsi_00(data, static_cast<int>(detail::kCrcPiece), running_);
            data += detail::kCrcPiece;
            size -= detail::kCrcPiece;
        }
        running_ = crc32_iscsi_00(data, static_cast<int>(size), running_);
        return *this;
    }
    template <byte_range R>
    crc32c_stream &update(R &&range) noexcept {
        return update(detail::bytes_of(range));
    }
    /// @}
    /// The CRC-32C of the pieces fed so far.
    uint32_t value() const noexcept { return ~running_; }

  private:
    unsigned int running_ = 0xFFFFFFFFu;
};

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
