#include "extract/audio.h"

#include "support/recording_builder.h"
#include "support/walk_harness.h"

#include <gtest/gtest.h>

#include <climits>

TEST(AudioExtraction, WritesALineForEveryRecord)
{
    struct Case {
        const char* name;
        std::initializer_list<std::int32_t> timestamps;
        std::initializer_list<std::int32_t> lines;
    };
    const Case cases[] = {
        {"falling offsets are written too", {500, 480}, {0, -20}},
        {"equal offsets are written too", {7, 7, 47}, {0, 0, 40}},
        {"a base of -1 is taken again", {-1, 100, 200}, {0, 0, 100}},
        {"the offset wraps in 32 bits", {-2, INT32_MAX}, {0, -INT32_MAX}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingBuilder recording;
        for (std::int32_t t : c.timestamps) recording.audio(t, audioPayload({0xD5}));
        const WalkResult r = walkRecording(recording.bytes());
        EXPECT_EQ(r.files.audioTs, timestampFile(c.lines));
        EXPECT_EQ(r.files.videoTs, timestampFile({}));
    }
}

TEST(AudioExtraction, CopiesTheSamplesBehindTheFourBytePrefix)
{
    const WalkResult r = walkRecording(
        RecordingBuilder()
            .audio(0, Bytes{0xA1, 0xA2, 0xA3, 0xA4, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17})
            .audio(40, Bytes{0xB1, 0xB2, 0xB3, 0xB4, 0x20, 0x21})
            .bytes());
    EXPECT_EQ(r.state.audioBytes, 10);
    EXPECT_EQ(r.files.wav, wavHeader(10) + asString(Bytes{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16,
                                                          0x17, 0x20, 0x21}));
    EXPECT_EQ(r.files.audioTs, timestampFile({0, 40}));
    EXPECT_EQ(r.files.h264, "");
}

// Records of four bytes or fewer carry no samples: they still write their
// line, and add nothing.
TEST(AudioExtraction, RecordWithoutSamplesStillWritesItsLine)
{
    for (std::size_t length = 0; length <= 4; ++length) {
        SCOPED_TRACE(testing::Message() << "payload of " << length << " bytes");
        const WalkResult r = walkRecording(RecordingBuilder()
                                               .audio(100, Bytes(length, 0xEE))
                                               .audio(140, audioPayload({1, 2, 3}))
                                               .bytes());
        EXPECT_EQ(r.files.audioTs, timestampFile({0, 40}));
        EXPECT_EQ(r.state.audioBytes, 3);
        EXPECT_EQ(r.files.wav, wavHeader(3) + asString(Bytes{1, 2, 3}));
    }
}
