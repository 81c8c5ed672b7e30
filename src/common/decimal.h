#pragma once

// Signed decimal text for timestamp lines, at the speed that recordings of
// millions of records need: eight digits are made at once in a 64-bit word
// from two table loads, instead of two at a time by division.

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

// Room that formatDecimal may write into, more than the text it returns.
constexpr std::size_t kDecimalRoom = 11;

// The four decimal digits of every n below 10000 as byte values 0 to 9, the
// most significant in the lowest byte: 40 KB that turn most of the work of
// a line into two loads.
inline constexpr std::array<std::uint32_t, 10000> kFourDigits = [] {
    std::array<std::uint32_t, 10000> table{};
    for (std::uint32_t n = 0; n < 10000; ++n) {
        table[n] = (n / 1000) | (n / 100 % 10) << 8 | (n / 10 % 10) << 16 | (n % 10) << 24;
    }
    return table;
}();

// The eight decimal digits of v (v < 100000000) as byte values 0 to 9, the
// most significant in the lowest byte.
inline std::uint64_t eightDigits(std::uint32_t v)
{
    // v / 10000 as a multiply-shift, exact below 2^27 (see writeNineOrTenDigits).
    const auto high = static_cast<std::uint32_t>((std::uint64_t{v} * 109951163u) >> 40);
    return kFourDigits[high] | std::uint64_t{kFourDigits[v - high * 10000u]} << 32;
}

constexpr std::uint64_t kAsciiZeros = 0x3030303030303030ull;

// Writes u (10 <= u < 100000000) in decimal.
inline char* writeTwoToEightDigits(char* out, std::uint32_t u)
{
    const std::uint64_t digits = eightDigits(u);
    // u >= 10, so at least one of the eight bytes is non-zero.
    const int leadingZeros = __builtin_ctzll(digits) / 8;
    const std::uint64_t text = (digits >> (8 * leadingZeros)) + kAsciiZeros;
    std::memcpy(out, &text, 8);
    return out + (8 - leadingZeros);
}

// Writes u (u >= 100000000) in decimal.
inline char* writeNineOrTenDigits(char* out, std::uint32_t u)
{
    // Division by constants written as multiply-shifts (exact for every
    // 32-bit u, and for high up to 99): inlined into main, which g++ takes
    // to run once, they otherwise become hardware divides, and every line of
    // a recording longer than 28 hours in milliseconds passes here.
    const auto high = static_cast<std::uint32_t>((std::uint64_t{u} * 2882303762u) >> 58);
    const std::uint32_t highTens = (high * 103u) >> 10;
    if (highTens != 0) *out++ = static_cast<char>('0' + highTens);
    *out++ = static_cast<char>('0' + (high - 10u * highTens));
    const std::uint64_t digits = eightDigits(u - high * 100000000u) + kAsciiZeros;
    std::memcpy(out, &digits, 8);
    return out + 8;
}

// Writes `value` in decimal at `out` (no leading zeros, "-" for negatives)
// and returns the end of the text. May write up to kDecimalRoom bytes.
inline char* formatDecimal(char* out, std::int32_t value)
{
    if constexpr (std::endian::native != std::endian::little) {
        return std::to_chars(out, out + kDecimalRoom, value).ptr;
    } else {
        std::uint32_t u = static_cast<std::uint32_t>(value);
        // Two to eight digits, by far the most common, cost one comparison.
        if (u - 10u < 100000000u - 10u) return writeTwoToEightDigits(out, u);
        if (value >= 100000000) return writeNineOrTenDigits(out, u);
        if (value < 0) {
            *out++ = '-';
            u = 0u - u;
        }
        if (u < 10) {
            *out = static_cast<char>('0' + u);
            return out + 1;
        }
        if (u < 100000000u) return writeTwoToEightDigits(out, u);
        return writeNineOrTenDigits(out, u);
    }
}
