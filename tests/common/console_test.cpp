#include "common/console.h"

#include <gtest/gtest.h>

TEST(FailureStatus, IsTheByteCountUnlessEightBitsWouldReadAsSuccess)
{
    struct Case {
        int printed;
        bool eightBits;
        int status;
    };
    const Case cases[] = {
        {9, true, 9},     {17, true, 17},    {255, true, 255},  {256, true, 255}, {257, true, 257},
        {512, true, 255}, {256, false, 256}, {512, false, 512}, {0, true, 1},     {-1, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.printed << " bytes, 8 bits: " << c.eightBits);
        EXPECT_EQ(failureStatus(c.printed, c.eightBits), c.status);
    }
}
