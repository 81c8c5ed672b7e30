#pragma once

// Signed decimal text for timestamp lines, at the speed that recordings of
// millions of records need: eight digits are made at once in a 64-bit word
// instead of two at a time.

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

// Room that formatDecimal may write into, more than the text it returns.
constexpr std::size_t kDecimalRoom = 11;

// The eight decimal digits of v (v < 100000000) as byte values 0 to 9, the
// most significant in the lowest byte.
inline std::uint64_t eightDigits(std::uint32_t v)
{
    // v / 10000 as a multiply-shift, exact below 2^27 (see formatDecimal).
    const std::uint64_t high = (std::uint64_t{v} * 109951163u) >> 40;
    const std::uint64_t merged = high | (v - high * 10000u) << 32;
    // Each 32-bit half splits into two 16-bit halves of hundreds, and those
    // into bytes of tens; the multiply-shift pairs divide by 100 and by 10.
    const std::uint64_t top = ((merged * 10486u) >> 20) & ((0x7Full << 32) | 0x7Full);
    const std::uint64_t hundreds = ((merged - 100u * top) << 16) + top;
    std::uint64_t tens =
        ((hundreds * 103u) >> 10) & ((0xFull << 48) | (0xFull << 32) | (0xFull << 16) | 0xFull);
    tens += (hundreds - 10u * tens) << 8;
    return tens;
}

// Writes `value` in decimal at `out` (no leading zeros, "-" for negatives)
// and returns the end of the text. May write up to kDecimalRoom bytes.
inline char* formatDecimal(char* out, std::int32_t value)
{
    if constexpr (std::endian::native != std::endian::little) {
        return std::to_chars(out, out + kDecimalRoom, value).ptr;
    } else {
        std::uint32_t u = static_cast<std::uint32_t>(value);
        if (value < 0) {
            *out++ = '-';
            u = 0u - u;
        }
        if (u < 10) {
            *out = static_cast<char>('0' + u);
            return out + 1;
        }
        constexpr std::uint64_t kAsciiZeros = 0x3030303030303030ull;
        if (u >= 100000000u) {
            // Division by constants written as multiply-shifts (exact for
            // every 32-bit u, and for high up to 99): inlined into main,
            // which g++ takes to run once, they otherwise become hardware
            // divides, and every line of a long recording passes here.
            const auto high = static_cast<std::uint32_t>((std::uint64_t{u} * 2882303762u) >> 58);
            const std::uint32_t highTens = (high * 103u) >> 10;
            if (highTens != 0) *out++ = static_cast<char>('0' + highTens);
            *out++ = static_cast<char>('0' + (high - 10u * highTens));
            const std::uint64_t digits = eightDigits(u - high * 100000000u) + kAsciiZeros;
            std::memcpy(out, &digits, 8);
            return out + 8;
        }
        const std::uint64_t digits = eightDigits(u);
        // u >= 10, so at least one of the eight bytes is non-zero.
        const int leadingZeros = std::countr_zero(digits) / 8;
        const std::uint64_t text = (digits >> (8 * leadingZeros)) + kAsciiZeros;
        std::memcpy(out, &text, 8);
        return out + (8 - leadingZeros);
    }
}
