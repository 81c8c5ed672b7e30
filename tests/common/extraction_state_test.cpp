#include "common/extraction_state.h"

#include <gtest/gtest.h>

#include <climits>

TEST(WrappingOffset, WrapsInTwosComplement)
{
    struct Case {
        std::int32_t timestamp, base, offset;
    };
    const Case cases[] = {
        {1040, 1000, 40},          {980, 1000, -20},          {INT32_MAX, -2, -INT32_MAX},
        {INT32_MIN, 1, INT32_MAX}, {INT32_MIN, INT32_MAX, 1}, {-1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.timestamp << " - " << c.base);
        EXPECT_EQ(wrappingOffset(c.timestamp, c.base), c.offset);
    }
}
