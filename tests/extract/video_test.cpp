#include "extract/video.h"

#include "support/recording_builder.h"
#include "support/walk_harness.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr std::uint8_t kSps = 0x67, kPps = 0x68, kSei = 0x06, kIdr = 0x65, kSlice = 0x41;

struct VideoRecord {
    std::int32_t timestamp;
    Bytes payload;
};

struct VideoCase {
    const char* name;
    std::vector<VideoRecord> records;
    std::initializer_list<std::int32_t> lines;
};

void expectVideo(const VideoCase& c)
{
    SCOPED_TRACE(c.name);
    RecordingBuilder recording;
    Bytes stream;
    for (const VideoRecord& r : c.records) {
        recording.video(r.timestamp, r.payload);
        stream = concat({stream, r.payload});
    }
    const WalkResult result = walkRecording(recording.bytes());
    EXPECT_EQ(result.files.videoTs, timestampFile(c.lines));
    // Every payload is copied, timed or not.
    EXPECT_EQ(result.files.h264, asString(stream));
}

}  // namespace

TEST(VideoExtraction, WritesALineForEachRiseOfTheOffset)
{
    const VideoCase cases[] = {
        {"parameter sets share the first picture's time",
         {{1000, nalUnit(kSps)},
          {1000, nalUnit(kPps)},
          {1000, nalUnit(kSei)},
          {1000, nalUnit(kIdr)},
          {1040, nalUnit(kSlice)},
          {1040, nalUnit(kSlice)},
          {1020, nalUnit(kSlice)},
          {1030, nalUnit(kSlice)},
          {1080, nalUnit(kSlice)}},
         {0, 40, 30, 80}},
        {"a fall is not written but becomes the reference",
         {{100, nalUnit(kSlice)}, {50, nalUnit(kSlice)}, {60, nalUnit(kSlice)}},
         {0, -40}},
        {"the reference is the previous record, not the largest",
         {{0, nalUnit(kSlice)},
          {100, nalUnit(kSlice)},
          {50, nalUnit(kSlice)},
          {60, nalUnit(kSlice)}},
         {0, 100, 60}},
        {"a first timed record before the base writes nothing",
         {{100, nalUnit(kSps)}, {50, nalUnit(kSlice)}, {150, nalUnit(kSlice)}},
         {50}},
        {"a base of -1 is taken again from the next record",
         {{-1, nalUnit(kSlice)}, {100, nalUnit(kSlice)}, {200, nalUnit(kSlice)}},
         {0, 100}},
        {"the offset wraps in 32 bits",
         {{-2, nalUnit(kSlice)}, {INT32_MAX, nalUnit(kSlice)}, {-1, nalUnit(kSlice)}},
         {0, 1}},
        {"parameter sets alone write nothing",
         {{10, nalUnit(kSps)}, {10, nalUnit(kPps)}, {20, nalUnit(kSei)}},
         {}},
    };
    for (const VideoCase& c : cases) expectVideo(c);
}

TEST(VideoExtraction, OnlyTheLowFiveBitsOfByteFourChooseTheType)
{
    struct Case {
        std::uint8_t header;
        bool timed;
    };
    const Case cases[] = {
        {0x21, true},  {0x67, false}, {0x00, true},  {0x09, true},  {0x05, true},
        {0x06, false}, {0x07, false}, {0x08, false}, {0xE8, false}, {0x1F, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "byte 4 = " << int{c.header});
        // Bytes 0 to 3 are not looked at: no start code here.
        const Bytes payload{0xAB, 0xCD, 0xEF, 0x99, c.header, 0x80};
        const WalkResult r = walkRecording(RecordingBuilder().video(500, payload).bytes());
        EXPECT_EQ(r.files.videoTs, c.timed ? timestampFile({0}) : timestampFile({}));
        EXPECT_EQ(r.files.h264, asString(payload));
    }
}

// A payload of fewer than five bytes has no NAL unit header: it is copied,
// it can set the base, but it is not timed and is not the reference.
TEST(VideoExtraction, PayloadWithoutNalHeaderIsCopiedButNotTimed)
{
    const VideoCase cases[] = {
        {"short first record sets the base",
         {{500, Bytes{0, 0, 0, 1}}, {500, nalUnit(kIdr)}, {540, nalUnit(kSlice)}},
         {0, 40}},
        {"short record leaves the reference alone",
         {{0, nalUnit(kIdr)}, {100, Bytes{0, 0, 1}}, {50, nalUnit(kSlice)}},
         {0, 50}},
        {"empty payload", {{0, Bytes{}}, {0, nalUnit(kIdr)}}, {0}},
    };
    for (const VideoCase& c : cases) expectVideo(c);
}

TEST(VideoExtraction, HandlerTracksTheState)
{
    const WalkResult r = walkRecording(RecordingBuilder()
                                           .video(1000, nalUnit(kSps))
                                           .video(1000, nalUnit(kIdr))
                                           .video(1040, nalUnit(kSlice))
                                           .video(1020, nalUnit(kSlice))
                                           .video(1020, nalUnit(kSei))
                                           .bytes());
    EXPECT_EQ(r.state.videoBase, 1000);
    EXPECT_EQ(r.state.lastVideoOffset, 20);
    EXPECT_EQ(r.state.audioBase, -1);
}
