// Runs the built program in a temporary directory and compares, byte for
// byte, what it prints, its exit status and all four files it leaves.

#include "support/files.h"
#include "support/process.h"
#include "support/recording_builder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

// Some cases need what only one system has; the other reports them skipped.

namespace {

RunResult runIn(const TempDir& dir, const std::vector<std::string>& args, RunOptions options = {})
{
    options.workDir = dir.path();
    std::vector<std::string> argv{"hxdemux"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(hxdemuxPath(), argv, options);
}

// What a run leaves behind when it ends right after creating the outputs.
void expectCreationContent(const OutputFiles& f)
{
    EXPECT_TRUE(f.h264Exists && f.videoTsExists && f.wavExists && f.audioTsExists);
    EXPECT_EQ(f.h264, "");
    EXPECT_EQ(f.videoTs, timestampFile({}));
    EXPECT_EQ(f.wav, std::string(44, '\0'));
    EXPECT_EQ(f.audioTs, timestampFile({}));
}

void expectNoOutputs(const fs::path& base)
{
    const OutputFiles f = readOutputs(base);
    EXPECT_FALSE(f.h264Exists || f.videoTsExists || f.wavExists || f.audioTsExists);
}

}  // namespace

TEST(EndToEnd, DemuxesARecording)
{
    TempDir dir;
    const Bytes sps = nalUnit(0x67, 8), pps = nalUnit(0x68, 4), idr = nalUnit(0x65, 5000);
    const Bytes p1 = nalUnit(0x41, 300), p2 = nalUnit(0x41, 280);
    const Bytes a1 = audioPayload(Bytes(320, 0xD5)), a2 = audioPayload(Bytes(320, 0x55));
    const Bytes recording = RecordingBuilder("HXVS", 80)
                                .video(90000, sps)
                                .video(90000, pps)
                                .video(90000, idr)
                                .audio(89990, a1)
                                .video(90040, p1)
                                .record("WXYZ", 0, 0, {})
                                .audio(90030, a2)
                                .video(90080, p2)
                                .end()
                                .bytes();
    writeFile(dir / "rec.264", recording);

    const RunResult run = runIn(dir, {"rec.264"});

    EXPECT_EQ(run.output, "Duration 80\nUnknown Code\nUnknown Code\nHXFI End if File\n");
    EXPECT_EQ(run.status, 0);
    const OutputFiles f = readOutputs(dir / "rec");
    EXPECT_TRUE(f.h264 == asString(concat({sps, pps, idr, p1, p2})));
    EXPECT_EQ(f.videoTs, timestampFile({0, 40, 80}));
    EXPECT_TRUE(f.wav == wavHeader(640) + std::string(320, '\xD5') + std::string(320, '\x55'));
    EXPECT_EQ(f.audioTs, timestampFile({0, 40}));
    EXPECT_EQ(readFile(dir / "rec.264"), asString(recording));  // the input is untouched
}

TEST(EndToEnd, HxvtAndHeaderOnlyFiles)
{
    struct Case {
        const char* name;
        Bytes input;
        std::string output;
    };
    const Case cases[] = {
        {"header only", RecordingBuilder("HXVS", 3600).bytes(), "Duration 3600\n"},
        {"HXVT", RecordingBuilder("HXVT", 1).bytes(), "Duration 1\n"},
        {"duration of all ones", RecordingBuilder("HXVS", -1).bytes(), "Duration -1\n"},
        {"twelve bytes", concat({bytesOf("HXVS"), Bytes(4, 0), Bytes{9, 0, 0, 0}}), "Duration 9\n"},
        {"tag alone", bytesOf("HXVT"), "Duration 0\n"},
        {"ten bytes", concat({bytesOf("HXVS"), Bytes(4, 0), Bytes{1, 1}}), "Duration 257\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir / "rec.264", c.input);
        const RunResult run = runIn(dir, {"rec.264"});
        EXPECT_EQ(run.output, c.output);
        EXPECT_EQ(run.status, 0);
        const OutputFiles f = readOutputs(dir / "rec");
        EXPECT_EQ(f.h264, "");
        EXPECT_EQ(f.videoTs, timestampFile({}));
        EXPECT_EQ(f.wav, wavHeader(0));
        EXPECT_EQ(f.audioTs, timestampFile({}));
    }
}

TEST(EndToEnd, RejectedTagLeavesTheOutputsAsCreated)
{
    struct Case {
        const char* name;
        Bytes input;
    };
    const Case cases[] = {
        {"HXVX", RecordingBuilder("HXVX").video(0, nalUnit(0x65)).bytes()},
        {"empty file", Bytes{}},
        {"three bytes", bytesOf("HXV")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir / "rec.264", c.input);
        const RunResult run = runIn(dir, {"rec.264"});
        EXPECT_EQ(run.output, "No HXVS.\n");
        EXPECT_EQ(run.status, 9);
        expectCreationContent(readOutputs(dir / "rec"));
    }
}

TEST(EndToEnd, UsageLineForAWrongArgumentCount)
{
    TempDir dir;
    RunOptions options;
    options.workDir = dir.path();
    struct Case {
        std::vector<std::string> argv;
        std::string output;
        int status;
    };
    const Case cases[] = {
        {{"prog"}, "use prog <file> \n", 17},
        {{"prog", "a.264", "b.264"}, "use prog <file> \n", 17},
        {{"/usr/local/bin/hxdemux"}, "use /usr/local/bin/hxdemux <file> \n", 35},
#if defined(_WIN32)
        // An empty command line still names the program: Windows supplies its path.
        {{}, "use " + hxdemuxPath() + " <file> \n", 13 + static_cast<int>(hxdemuxPath().size())},
#else
        {{}, "use hxdemux <file> \n", 20},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const RunResult run = runProgram(hxdemuxPath(), c.argv, options);
        EXPECT_EQ(run.output, c.output);
        EXPECT_EQ(run.status, c.status);
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(EndToEnd, MissingInputCreatesNothing)
{
    TempDir dir;
    const RunResult run = runIn(dir, {"missing.264"});
    EXPECT_EQ(run.output, "cannot open missing.264 for reading.\n");
    EXPECT_EQ(run.status, 37);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// A message of 256 bytes would read as success where only 8 bits of the
// status survive.
TEST(EndToEnd, MessageOf256BytesEndsWithStatus255)
{
    TempDir dir;
    const std::string path(230, 'x');  // 26 + 230 = 256 bytes
    const RunResult run = runIn(dir, {path});
    EXPECT_EQ(run.output, "cannot open " + path + " for reading.\n");
    EXPECT_EQ(run.output.size(), 256u);
#if defined(_WIN32)
    EXPECT_EQ(run.status, 256);
#else
    EXPECT_EQ(run.status, 255);
    // Other counts above 255 keep their low 8 bits.
    const RunResult longer = runIn(dir, {path + "yz"});
    EXPECT_EQ(longer.status, 258 % 256);
#endif
}

TEST(EndToEnd, InputWithoutAMeasurableSizeIsRefused)
{
    TempDir dir;
    fs::create_directory(dir / "folder.264");
    const RunResult run = runIn(dir, {"folder.264"});
#if defined(_WIN32)
    // Windows does not open a folder as a file at all.
    EXPECT_EQ(run.output, "cannot open folder.264 for reading.\n");
    EXPECT_EQ(run.status, 36);
#else
    EXPECT_EQ(run.output, "cannot measure the size of folder.264.\n");
    EXPECT_EQ(run.status, 39);
#endif
    expectNoOutputs(dir / "folder");
}

TEST(EndToEnd, InputOf2GiBOrMoreIsRefused)
{
    TempDir dir;
    for (const std::uintmax_t size : {std::uintmax_t{2147483648u}, std::uintmax_t{5000000000u}}) {
        SCOPED_TRACE(size);
        {
            std::ofstream create(dir / "big.264", std::ios::binary | std::ios::trunc);
        }
        fs::resize_file(dir / "big.264", size);  // sparse: takes no disk space
        const RunResult run = runIn(dir, {"big.264"});
        const std::string expected = "big.264 is too large: " + std::to_string(size) +
                                     " bytes, the limit is 2147483647 bytes.\n";
        EXPECT_EQ(run.output, expected);
        EXPECT_EQ(run.status, static_cast<int>(expected.size()) % 256);
        expectNoOutputs(dir / "big");
    }
}

TEST(EndToEnd, OutputThatCannotBeCreatedEndsTheRun)
{
    const Bytes recording = RecordingBuilder().video(0, nalUnit(0x65)).bytes();
    struct Case {
        const char* blocked;
        int status;
    };
    // Each output in turn is blocked by a directory of its name.
    const Case cases[] = {
        {"rec.h264", 34}, {"rec.video.ts.txt", 42}, {"rec.wav", 33}, {"rec.audio.ts.txt", 42}};
    for (int step = 0; step < 4; ++step) {
        const Case& c = cases[step];
        SCOPED_TRACE(c.blocked);
        TempDir dir;
        writeFile(dir / "rec.264", recording);
        fs::create_directory(dir / c.blocked);
        const RunResult run = runIn(dir, {"rec.264"});
        EXPECT_EQ(run.output, std::string("cannot open ") + c.blocked + " for writing.\n");
        EXPECT_EQ(run.status, c.status);
        const OutputFiles f = readOutputs(dir / "rec");
        // Files created before the blocked one stay with their creation content;
        // the 44 reserved bytes come only once all four are open.
        EXPECT_EQ(f.h264Exists && f.h264.empty(), step > 0);
        EXPECT_EQ(f.videoTsExists && f.videoTs == timestampFile({}), step > 1);
        EXPECT_EQ(f.wavExists && f.wav.empty(), step > 2);
        EXPECT_FALSE(f.audioTsExists && step < 3);
    }
}

TEST(EndToEnd, OutputNamesFollowTheBaseName)
{
    const Bytes idr = nalUnit(0x65);
    const Bytes recording = RecordingBuilder().video(0, idr).bytes();
    struct Case {
        const char* input;
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        TempDir dir;
        fs::create_directories((dir / c.input).parent_path());
        writeFile(dir / c.input, recording);
        const RunResult run = runIn(dir, {c.input});
        EXPECT_EQ(run.status, 0);
        const OutputFiles f = readOutputs(dir / c.base);
        EXPECT_EQ(f.h264, asString(idr));
        EXPECT_EQ(f.videoTs, timestampFile({0}));
        EXPECT_EQ(f.wav, wavHeader(0));
        EXPECT_EQ(f.audioTs, timestampFile({}));
    }
}

TEST(EndToEnd, ExistingOutputsAreOverwritten)
{
    TempDir dir;
    writeFile(dir / "rec.264", RecordingBuilder().audio(3, audioPayload({7})).bytes());
    for (const char* name : {"rec.h264", "rec.video.ts.txt", "rec.wav", "rec.audio.ts.txt"}) {
        writeFile(dir / name, std::string(5000, 'z'));
    }
    ASSERT_EQ(runIn(dir, {"rec.264"}).status, 0);
    const OutputFiles f = readOutputs(dir / "rec");
    EXPECT_EQ(f.h264, "");
    EXPECT_EQ(f.videoTs, timestampFile({}));
    EXPECT_EQ(f.wav, wavHeader(1) + "\x07");
    EXPECT_EQ(f.audioTs, timestampFile({0}));
}

TEST(EndToEnd, AllocationThatFailsIsReported)
{
#if defined(_WIN32)
    GTEST_SKIP() << "needs an address-space limit for the child, which Windows does not offer";
#else
    TempDir dir;
    {
        std::ofstream create(dir / "huge.264", std::ios::binary);
    }
    fs::resize_file(dir / "huge.264", std::uintmax_t{1} << 30);  // sparse
    RunOptions options;
    if (builtWithSanitizers()) {
        // The sanitizer's shadow memory needs more address space than any
        // limit that would make this allocation fail; cap its allocator instead.
        options.environment = {
            "ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=256"};
    } else {
        options.addressSpaceLimit = std::uint64_t{256} << 20;
    }
    const RunResult run = runIn(dir, {"huge.264"}, options);
    EXPECT_EQ(run.output, "unable to allocate 1073741824 bytes\n");
    EXPECT_EQ(run.status, 36);
    expectNoOutputs(dir / "huge");
#endif
}

TEST(EndToEnd, ShortReadIsAFailureAndLeavesTheOutputsAsCreated)
{
#if defined(_WIN32)
    GTEST_SKIP() << "provoked by a preloaded library, which only the Linux build has";
#else
    TempDir dir;
    writeFile(dir / "rec.264",
              RecordingBuilder().video(0, nalUnit(0x65, 83)).bytes());  // 120 bytes
    RunOptions options;
    options.environment = {"LD_PRELOAD=" + shortReadShimPath(),
                           "ASAN_OPTIONS=verify_asan_link_order=0"};
    const RunResult run = runIn(dir, {"rec.264"}, options);
    EXPECT_EQ(run.output, "could only read 60 of 120 bytes\n");
    EXPECT_EQ(run.status, 32);
    expectCreationContent(readOutputs(dir / "rec"));
#endif
}

TEST(EndToEnd, FailingWritesAreReported)
{
#if defined(_WIN32)
    GTEST_SKIP() << "needs /dev/full, a device that only Linux has";
#else
    const Bytes recording =
        RecordingBuilder().video(0, nalUnit(0x65)).audio(0, audioPayload({1})).bytes();
    struct Case {
        const char* full;
        std::string output;
    };
    // The timestamp files fail on their header line, as they are created;
    // the others when their content goes out after the walk.
    const Case cases[] = {
        {"rec.h264", "Duration 0\ncannot write rec.h264.\n"},
        {"rec.video.ts.txt", "cannot write rec.video.ts.txt.\n"},
        {"rec.wav", "cannot write rec.wav.\n"},
        {"rec.audio.ts.txt", "cannot write rec.audio.ts.txt.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.full);
        TempDir dir;
        writeFile(dir / "rec.264", recording);
        fs::create_symlink("/dev/full", dir / c.full);
        const RunResult run = runIn(dir, {"rec.264"});
        EXPECT_EQ(run.output, c.output);
        EXPECT_EQ(run.status, static_cast<int>(run.output.size() - run.output.find("cannot")));
    }
#endif
}

TEST(EndToEnd, OutputThatIsTheInputItselfIsRefused)
{
    const Bytes recording = RecordingBuilder().video(0, nalUnit(0x65)).bytes();
    struct Case {
        const char* name;
        bool hardLink;
    };
#if defined(_WIN32)
    // Symbolic links need a privilege that Windows users rarely have.
    const Case cases[] = {{"rec.h264", true}, {"rec.wav", true}, {"rec.audio.ts.txt", true}};
#else
    const Case cases[] = {{"rec.h264", false}, {"rec.wav", true}, {"rec.audio.ts.txt", false}};
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir / "rec.264", recording);
        if (c.hardLink) {
            fs::create_hard_link(dir / "rec.264", dir / c.name);
        } else {
            fs::create_symlink("rec.264", dir / c.name);
        }
        const RunResult run = runIn(dir, {"rec.264"});
        const std::string expected =
            std::string("refusing to overwrite the input file ") + c.name + ".\n";
        EXPECT_EQ(run.output, expected);
        EXPECT_EQ(run.status, static_cast<int>(expected.size()));
        EXPECT_EQ(readFile(dir / "rec.264"), asString(recording));
        // Nothing was created or truncated.
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
        EXPECT_EQ(entries, 2u);
    }
}

TEST(EndToEnd, PipeInputIsRefused)
{
#if defined(_WIN32)
    GTEST_SKIP() << "uses a FIFO, which Windows does not have";
#else
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.264").c_str(), 0600), 0);
    // Opening a FIFO for reading waits for a writer; give it one that writes nothing.
    RunOptions options;
    options.workDir = dir.path();
    const RunResult run = runProgram(
        "/bin/sh", {"sh", "-c", "exec 3<>pipe.264; exec " + hxdemuxPath() + " pipe.264"}, options);
    EXPECT_EQ(run.output, "cannot measure the size of pipe.264.\n");
    EXPECT_EQ(run.status, 37);
    expectNoOutputs(dir / "pipe");
#endif
}

// Names outside any one code page, in folders and files alike.
TEST(EndToEnd, UnicodePathsOpenAndNameTheOutputs)
{
    const Bytes idr = nalUnit(0x65);
    const Bytes recording = RecordingBuilder().video(0, idr).audio(0, audioPayload({9})).bytes();
    for (const char* path :
         {"\u043a\u0430\u043c\u0435\u0440\u0430/\u0437\u0430\u043f\u0438\u0441\u044c.264",
          "\u5f55\u50cf/\u76d1\u63a7 1.264"}) {
        SCOPED_TRACE(path);
        TempDir dir;
        const fs::path input = dir / utf8Path(path);
        fs::create_directories(input.parent_path());
        writeFile(input, recording);
        const RunResult run = runIn(dir, {path});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output, "Duration 0\n");
        std::string base(path);
        base.resize(base.size() - 4);
        const OutputFiles f = readOutputs(dir / utf8Path(base));
        EXPECT_EQ(f.h264, asString(idr));
        EXPECT_EQ(f.videoTs, timestampFile({0}));
        EXPECT_EQ(f.wav, wavHeader(1) + "\x09");
        EXPECT_EQ(f.audioTs, timestampFile({0}));
    }
}
