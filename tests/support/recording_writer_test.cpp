#include "support/recording_writer.h"

#include <gtest/gtest.h>

TEST(RecordingWriter, SplitsAnnexBOnThreeAndFourByteStartCodes)
{
    const Bytes stream{0, 0, 0, 1, 0x67, 1, 2, 0, 0, 1, 0x68, 3, 0, 0, 0, 1, 0x65, 0x88, 0, 0, 0};
    const std::vector<Bytes> units = splitAnnexB(stream);
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0], (Bytes{0x67, 1, 2}));
    EXPECT_EQ(units[1], (Bytes{0x68, 3}));
    EXPECT_EQ(units[2], (Bytes{0x65, 0x88, 0, 0, 0}));
}

TEST(RecordingWriter, GroupsSlicesOfOnePictureTogether)
{
    // SPS, PPS, IDR slice 0, IDR slice at macroblock 1, SEI, P slice 0, P slice 0.
    const std::vector<Bytes> units{{0x67, 0x42}, {0x68, 0xCE}, {0x65, 0x88}, {0x65, 0x40},
                                   {0x06, 0x05}, {0x41, 0x9A}, {0x41, 0x9B}};
    const auto pictures = groupIntoPictures(units);
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0].size(), 4u);
    EXPECT_EQ(pictures[1].size(), 2u);
    EXPECT_EQ(pictures[2].size(), 1u);
}

TEST(RecordingWriter, InterleavesAudioByTimeAndSharesPictureTimes)
{
    const Bytes video{0, 0, 0, 1, 0x67, 0x42, 0, 0, 0, 1, 0x65, 0x88, 0, 0, 0, 1, 0x41, 0x9A};
    RecordingPlan plan;
    plan.baseTimestamp = 5000;
    plan.frameTimes = {0, 100};
    plan.samplesPerAudioRecord = 2;
    const Bytes recording = writeRecording(video, Bytes{1, 2, 3, 4, 5}, plan);
    const Bytes expected = RecordingBuilder("HXVS", 140)
                               .audio(5000, audioPayload({1, 2}))
                               .video(5000, Bytes{0, 0, 0, 1, 0x67, 0x42})
                               .video(5000, Bytes{0, 0, 0, 1, 0x65, 0x88})
                               .audio(5040, audioPayload({3, 4}))
                               .audio(5080, audioPayload({5}))
                               .video(5100, Bytes{0, 0, 0, 1, 0x41, 0x9A})
                               .end()
                               .bytes();
    EXPECT_EQ(recording, expected);
}
