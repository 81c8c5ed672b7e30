#include "recording/recording.h"

#include "support/recording_builder.h"
#include "support/walk_harness.h"

#include <gtest/gtest.h>

namespace {

InputImage imageOf(Bytes& bytes)
{
    const auto n = static_cast<std::int32_t>(bytes.size());
    return InputImage{bytes.data(), n, n};
}

}  // namespace

TEST(FileHeader, AcceptsOnlyTheTwoFileTags)
{
    struct Case {
        const char* name;
        Bytes bytes;
        bool accepted;
    };
    const Case cases[] = {
        {"HXVS", RecordingBuilder("HXVS").bytes(), true},
        {"HXVT", RecordingBuilder("HXVT").bytes(), true},
        {"HXVX", RecordingBuilder("HXVX").bytes(), false},
        {"lower case", RecordingBuilder("hxvs").bytes(), false},
        {"tag alone", bytesOf("HXVS"), true},
        {"three bytes", bytesOf("HXV"), false},
        {"empty", Bytes{}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = c.bytes;
        EXPECT_EQ(fileTagAccepted(imageOf(bytes)), c.accepted);
    }
}

TEST(FileHeader, DurationIsSignedAndMissingBytesReadAsZero)
{
    struct Case {
        const char* name;
        Bytes bytes;
        std::int32_t duration;
    };
    const Case cases[] = {
        {"full header", RecordingBuilder("HXVS", 123456).bytes(), 123456},
        {"all ones", RecordingBuilder("HXVS", -1).bytes(), -1},
        {"twelve bytes", concat({bytesOf("HXVS"), Bytes(4, 0), Bytes{1, 2, 3, 4}}), 0x04030201},
        {"ten bytes", concat({bytesOf("HXVS"), Bytes(4, 0), Bytes{0x34, 0x12}}), 0x1234},
        {"tag alone", bytesOf("HXVT"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = c.bytes;
        EXPECT_EQ(durationField(imageOf(bytes)), c.duration);
    }
}

TEST(FileHeaderDeathTest, RejectedTagEndsTheRunWithStatusNine)
{
    Bytes bytes = RecordingBuilder("HXVX").bytes();
    EXPECT_EXIT(checkFileHeader(imageOf(bytes)), testing::ExitedWithCode(9), "");
}

TEST(Walk, StartsFromInitialStateWhateverItWasHandedIn)
{
    const WalkResult r = walkRecording(RecordingBuilder().bytes());
    EXPECT_EQ(r.state.videoBase, -1);
    EXPECT_EQ(r.state.lastVideoOffset, -1);
    EXPECT_EQ(r.state.audioBase, -1);
    EXPECT_EQ(r.state.audioBytes, 0);
    EXPECT_EQ(r.console, "");
}

// How the walk steps over the data: what it prints, and which records it
// hands on (seen in the elementary stream and timestamp files).
TEST(Walk, StepsOverRecordsAsTheirTagsSay)
{
    const Bytes pic1 = nalUnit(0x65), pic2 = nalUnit(0x41), pic3 = nalUnit(0x41);
    struct Case {
        const char* name;
        Bytes recording;
        std::string console;
        std::string h264;
    };
    const Case cases[] = {
        {"no end record: walked to the end of the data",
         RecordingBuilder().video(0, pic1).video(40, pic2).bytes(), "",
         asString(concat({pic1, pic2}))},
        {"records after the end record are ignored",
         RecordingBuilder().video(0, pic1).end().video(40, pic2).raw(Bytes(3, 0xEE)).bytes(),
         "HXFI End if File\n", asString(pic1)},
        {"end tag alone at the end of the data",
         RecordingBuilder().video(0, pic1).raw(bytesOf("HXFI")).bytes(), "HXFI End if File\n",
         asString(pic1)},
        {"unknown 16-byte record: two lines, then the next record",
         RecordingBuilder().record("ABCD", 0, 0, {}).video(0, pic1).bytes(),
         "Unknown Code\nUnknown Code\n", asString(pic1)},
        {"unknown 16-byte record at the end of the data",
         RecordingBuilder().video(0, pic1).record("ABCD", 0, 0, {}).bytes(),
         "Unknown Code\nUnknown Code\n", asString(pic1)},
        {"the file tags are unknown as records",
         RecordingBuilder().record("HXVS", 0, 0, {}).record("HXVT", 0, 0, {}).bytes(),
         "Unknown Code\nUnknown Code\nUnknown Code\nUnknown Code\n", ""},
        {"four unknown bytes at the end",
         RecordingBuilder().video(0, pic1).raw(bytesOf("ABCD")).bytes(), "Unknown Code\n",
         asString(pic1)},
        {"eight unknown bytes at the end",
         RecordingBuilder().video(0, pic1).raw(bytesOf("ABCDEFGH")).bytes(), "Unknown Code\n",
         asString(pic1)},
        {"an unknown record whose timestamp word spells the end tag",
         RecordingBuilder().record("ABCD", 0, 0x49465848 /* "HXFI" */, {}).video(0, pic1).bytes(),
         "Unknown Code\nHXFI End if File\n", ""},
        {"a step that lands on a known tag inside a payload handles it as a record",
         RecordingBuilder()
             .raw(bytesOf("JUNKJUNK"))
             .record("HXVF", static_cast<std::int32_t>(pic3.size()), 7, pic3)
             .bytes(),
         "Unknown Code\n", asString(pic3)},
        {"zero-length video record", RecordingBuilder().video(0, {}).video(0, pic1).bytes(), "",
         asString(pic1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WalkResult r = walkRecording(c.recording);
        EXPECT_EQ(r.console, c.console);
        EXPECT_EQ(r.files.h264, c.h264);
    }
}

// A record that does not fit in the data ends the walk with one line naming
// its offset; the complete records before it are all in the outputs.
TEST(Walk, ReportsARecordThatDoesNotFitAndStops)
{
    const Bytes pic = nalUnit(0x65, 11);                              // 16-byte payload
    const Bytes complete = RecordingBuilder().video(0, pic).bytes();  // 48 bytes
    auto header = [](const char* tag, std::int32_t length) {
        Bytes h = bytesOf(tag);
        appendLe32(h, static_cast<std::uint32_t>(length));
        appendLe32(h, 40);
        appendLe32(h, 0);
        return h;
    };
    struct Case {
        const char* name;
        Bytes tail;
        std::string console;
    };
    const Case cases[] = {
        {"one byte", Bytes{'H'}, "Incomplete tag at offset 48\n"},
        {"three bytes", bytesOf("HXV"), "Incomplete tag at offset 48\n"},
        {"video tag and length only", concat({bytesOf("HXVF"), Bytes{4, 0, 0, 0}}),
         "Incomplete record header at offset 48\n"},
        {"audio header one byte short", bytesOf("HXAF\4\0\0\0\0\0\0\0\0\0\0"),
         "Incomplete record header at offset 48\n"},
        {"negative length", header("HXVF", -16), "Record at offset 48 has negative length -16\n"},
        {"most negative length", header("HXAF", INT32_MIN),
         "Record at offset 48 has negative length -2147483648\n"},
        {"payload one byte short", concat({header("HXVF", 5), Bytes{0, 0, 0, 1}}),
         "Record at offset 48 has length 5 but only 4 bytes follow\n"},
        {"largest length", concat({header("HXAF", INT32_MAX), Bytes(8, 0)}),
         "Record at offset 48 has length 2147483647 but only 8 bytes follow\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WalkResult r = walkRecording(concat({complete, c.tail}));
        EXPECT_EQ(r.console, c.console);
        EXPECT_EQ(r.files.h264, asString(pic));
        EXPECT_EQ(r.files.videoTs, timestampFile({0}));
        EXPECT_EQ(r.files.audioTs, timestampFile({}));
    }
}

TEST(Walk, RecordThatEndsExactlyAtTheEndOfTheDataIsHandled)
{
    const Bytes pic = nalUnit(0x65, 100);
    const WalkResult r =
        walkRecording(RecordingBuilder().video(5, pic).audio(7, audioPayload({1, 2})).bytes());
    EXPECT_EQ(r.console, "");
    EXPECT_EQ(r.files.h264, asString(pic));
    EXPECT_EQ(r.files.audioTs, timestampFile({0}));
    EXPECT_EQ(r.state.audioBytes, 2);
}
