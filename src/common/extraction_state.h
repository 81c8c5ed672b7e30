#pragma once

#include <cstdint>

// What the extraction carries from one record to the next during a run.
// -1 marks a base that has not been taken yet.
struct ExtractionState {
    std::int32_t videoBase;
    std::int32_t lastVideoOffset;
    std::int32_t audioBase;
    std::int32_t audioBytes;
};

// Offsets wrap in 32-bit two's complement (2147483647 - (-2) is -2147483647),
// so the subtraction is done unsigned and converted back.
inline std::int32_t wrappingOffset(std::int32_t timestamp, std::int32_t base)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(timestamp) -
                                     static_cast<std::uint32_t>(base));
}
