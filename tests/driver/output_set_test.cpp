#include "driver/output_set.h"

#include "support/files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

TEST(BaseName, CutsAtTheFirstDot264ElseTheFirstDot265)
{
    struct Case {
        const char* path;
        const char* base;
    };
    const Case cases[] = {
        {"rec.264", "rec"},
        {"clip.265", "clip"},
        {"a.265.b.264", "a.265.b"},
        {"cam.264/clip.264", "cam"},
        {"clip.2640", "clip"},
        {"clip.dat", "clip.dat"},
        {".264", ""},
        {"x.26", "x.26"},
        {"REC.264", "REC"},
        {"rec.H264", "rec.H264"},
        {"dir.265/rec.264", "dir.265/rec"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(std::string(c.path, baseNameLength(c.path)), c.base);
    }
}

TEST(WavHeader, DeclaresALawMonoAt8000WithTheByteCount)
{
    std::uint8_t header[kWavHeaderBytes];
    fillWavHeader(header, 10);
    // clang-format off
    const std::uint8_t expected[kWavHeaderBytes] = {
        'R', 'I', 'F', 'F', 46, 0,    0,    0,  // RIFF chunk size: bytes + 36
        'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        16,  0,   0,   0,                       // format chunk size
        6,   0,   1,   0,                       // A-law, one channel
        0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0,     // 8000 samples and bytes per second
        2,   0,   16,  0,                       // block alignment, bits per sample
        'd', 'a', 't', 'a', 10, 0,    0,    0,  // data chunk size
    };
    // clang-format on
    EXPECT_EQ(std::string(header, header + sizeof header),
              std::string(expected, expected + sizeof expected));

    fillWavHeader(header, 0x7FFFFFDB);  // the largest count whose RIFF size still fits
    EXPECT_EQ(header[4], 0xFF);
    EXPECT_EQ(header[7], 0x7F);
}

// Small appends are staged and large ones written from where they lie; the
// file must still hold every append in order, across many flushes.
TEST(OutputSet, KeepsTheOrderOfMixedAppendsAcrossFlushes)
{
    TempDir dir;
    const std::string input = (dir / "mix.264").string();
    std::vector<char> names(input.size() + 256);
    auto outputs = std::make_unique<OutputSet>();
    createOutputSet(*outputs, input.c_str(), names.data(), nullptr);

    std::vector<Bytes> large;
    for (int i = 0; i < 2500; ++i)
        large.push_back(Bytes(kGatherThreshold + static_cast<std::size_t>(i % 7),
                              static_cast<std::uint8_t>(i)));
    std::string expectedStream;
    std::string expectedLines;
    for (int i = 0; i < 2500; ++i) {
        const Bytes small{static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i), 0xCC};
        appendBytes(*outputs, Output::ElementaryStream, small.data(), small.size());
        appendBytes(*outputs, Output::ElementaryStream, large[static_cast<std::size_t>(i)].data(),
                    large[static_cast<std::size_t>(i)].size());
        if (i % 3 == 0) appendBytes(*outputs, Output::ElementaryStream, small.data(), small.size());
        expectedStream += asString(small) + asString(large[static_cast<std::size_t>(i)]);
        if (i % 3 == 0) expectedStream += asString(small);
    }
    // Enough lines to fill the staging area several times over.
    for (std::int32_t v = -200000; v < 200000; v += 1) {
        appendTimestampLine(*outputs, Output::AudioTimestamps, v * 5000);
        expectedLines += std::to_string(v * 5000) + lineEnd();
    }
    finishOutputSet(*outputs, 0);
    closeOutputSet(*outputs);

    const OutputFiles files = readOutputs(dir / "mix");
    EXPECT_EQ(files.h264.size(), expectedStream.size());
    EXPECT_TRUE(files.h264 == expectedStream);
    EXPECT_TRUE(files.audioTs == timestampFile({}) + expectedLines);
}
