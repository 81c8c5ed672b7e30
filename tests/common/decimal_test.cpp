#include "common/decimal.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

namespace {

std::string viaFormatter(std::int32_t v)
{
    char buffer[kDecimalRoom + 4];
    return std::string(buffer, formatDecimal(buffer, v));
}

std::string viaLibrary(std::int32_t v)
{
    char buffer[16];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

}  // namespace

TEST(FormatDecimal, AgreesWithTheLibraryAtEveryDigitCountAndEdge)
{
    std::vector<std::int32_t> values{0, INT32_MIN, INT32_MAX, INT32_MIN + 1, -1, 1};
    for (std::int64_t p = 1; p <= 1000000000; p *= 10) {
        for (std::int64_t d : {-1, 0, 1}) {
            values.push_back(static_cast<std::int32_t>(p + d));
            values.push_back(static_cast<std::int32_t>(-(p + d)));
        }
    }
    // Where the digits above the lowest eight change.
    for (std::int64_t high = 1; high <= 21; ++high) {
        for (std::int64_t d : {-1, 0}) {
            values.push_back(static_cast<std::int32_t>(high * 100000000 + d));
            values.push_back(static_cast<std::int32_t>(-(high * 100000000 + d)));
        }
    }
    for (std::int32_t v = -100000; v <= 100000; ++v) values.push_back(v);
    // Every group of four digits, as the upper and as the lower half of eight.
    for (std::int32_t n = 0; n < 10000; ++n) values.push_back(n * 10000 + (9999 - n));
    std::mt19937 random(42);
    for (int i = 0; i < 1000000; ++i) values.push_back(static_cast<std::int32_t>(random()));
    for (const std::int32_t v : values) {
        ASSERT_EQ(viaFormatter(v), viaLibrary(v)) << v;
    }
}

TEST(FormatDecimal, StaysWithinItsRoom)
{
    for (const std::int32_t v :
         {INT32_MIN, -1000000000, 0, 9, 10, 99999999, 100000000, INT32_MAX}) {
        char buffer[kDecimalRoom + 1];
        std::memset(buffer, '#', sizeof buffer);
        formatDecimal(buffer, v);
        EXPECT_EQ(buffer[kDecimalRoom], '#') << v;
    }
}
