#pragma once

#include <cstdint>
#include <cstring>

// The whole input file in one heap block. The walk reads records in place
// from it and never looks past `bytesRead`.
struct InputImage {
    std::uint8_t* data;
    std::int32_t size;       // measured size of the file
    std::int32_t bytesRead;  // bytes that actually arrived
};

// A run of bytes inside the input image (a payload), handed on without copying.
struct ByteView {
    const std::uint8_t* data;
    std::int32_t length;
};

// Little-endian 32-bit field. Callers check that four bytes remain first.
inline std::int32_t loadLe32(const std::uint8_t* p)
{
    const std::uint32_t v =
        static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return static_cast<std::int32_t>(v);
}

inline void storeLe32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline void storeLe16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline bool tagIs(const std::uint8_t* p, const char (&tag)[5])
{
    return std::memcmp(p, tag, 4) == 0;
}
