// A real recording cut at many offsets, and with bits flipped in its record
// headers, run through the whole program. Each run is compared with a small
// independent model of how records are read, so that what the program
// printed and what it wrote must agree exactly.

#include "support/files.h"
#include "support/process.h"
#include "support/recording_builder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

#if defined(_WIN32)
constexpr bool kForkedRuns = false;
#else
constexpr bool kForkedRuns = true;
#endif

struct Expected {
    std::string console;
    int status = 0;
    std::string h264, wavData;
    std::vector<std::int32_t> videoLines, audioLines;
};

std::int32_t le32(const Bytes& b, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(v);
}

std::int32_t minus(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// The model: written from the format's description, not from the program.
Expected model(const Bytes& file)
{
    Expected e;
    auto has = [&](std::size_t at, const char* tag) {
        return at + 4 <= file.size() && std::memcmp(file.data() + at, tag, 4) == 0;
    };
    if (!has(0, "HXVS") && !has(0, "HXVT")) {
        e.console = "No HXVS.\n";
        e.status = 9;
        return e;
    }
    std::uint8_t d[4] = {};
    for (std::size_t i = 0; i < 4; ++i) d[i] = 8 + i < file.size() ? file[8 + i] : 0;
    e.console = "Duration " + std::to_string(le32(Bytes(d, d + 4), 0)) + "\n";
    std::int32_t videoBase = -1, last = -1, audioBase = -1;
    std::size_t at = 16;
    while (at < file.size()) {
        const std::size_t left = file.size() - at;
        const std::string where = std::to_string(at);
        if (left < 4) {
            e.console += "Incomplete tag at offset " + where + "\n";
            break;
        }
        if (has(at, "HXFI")) {
            e.console += "HXFI End if File\n";
            break;
        }
        if (!has(at, "HXVF") && !has(at, "HXAF")) {
            e.console += "Unknown Code\n";
            at += 8;
            continue;
        }
        if (left < 16) {
            e.console += "Incomplete record header at offset " + where + "\n";
            break;
        }
        const std::int32_t n = le32(file, at + 4), ts = le32(file, at + 8);
        if (n < 0) {
            e.console +=
                "Record at offset " + where + " has negative length " + std::to_string(n) + "\n";
            break;
        }
        if (static_cast<std::size_t>(n) > left - 16) {
            e.console += "Record at offset " + where + " has length " + std::to_string(n) +
                         " but only " + std::to_string(left - 16) + " bytes follow\n";
            break;
        }
        const auto p = file.begin() + static_cast<std::ptrdiff_t>(at + 16);
        if (has(at, "HXVF")) {
            if (videoBase == -1) videoBase = ts;
            const unsigned type = n >= 5 ? (p[4] & 0x1Fu) : 6u;
            if (type != 6 && type != 7 && type != 8) {
                if (minus(ts, videoBase) > last) e.videoLines.push_back(minus(ts, videoBase));
                last = minus(ts, videoBase);
            }
            e.h264.append(p, p + n);
        } else {
            if (audioBase == -1) audioBase = ts;
            e.audioLines.push_back(minus(ts, audioBase));
            if (n > 4) e.wavData.append(p + 4, p + n);
        }
        at += 16 + static_cast<std::size_t>(n);
    }
    return e;
}

std::string linesFile(const std::vector<std::int32_t>& lines)
{
    std::string out = std::string("# timestamp format v2") + lineEnd();
    for (std::int32_t v : lines) out += std::to_string(v) + lineEnd();
    return out;
}

// Runs the program on `file` and compares everything with the model.
void expectRunMatchesModel(const TempDir& dir, const Bytes& file)
{
    writeFile(dir / "rec.264", file);
    const RunResult run = runHxdemuxForked({"hxdemux", "rec.264"}, dir.path());
    const Expected e = model(file);
    ASSERT_EQ(run.output, e.console);
    ASSERT_EQ(run.status, e.status);
    const OutputFiles f = readOutputs(dir / "rec");
    ASSERT_TRUE(f.h264 == e.h264);
    ASSERT_EQ(f.videoTs, linesFile(e.videoLines));
    ASSERT_EQ(f.audioTs, linesFile(e.audioLines));
    if (e.status == 0) {
        ASSERT_TRUE(f.wav == wavHeader(static_cast<std::uint32_t>(e.wavData.size())) + e.wavData);
    } else {
        ASSERT_EQ(f.wav, std::string(44, '\0'));
    }
}

struct RecordSpan {
    std::size_t start, end;
};

// Where each record of a well-formed recording starts and ends.
std::vector<RecordSpan> recordSpans(const Bytes& file)
{
    std::vector<RecordSpan> spans;
    for (std::size_t at = 16; at + 16 <= file.size();) {
        const auto n = static_cast<std::size_t>(le32(file, at + 4));
        spans.push_back({at, at + 16 + n});
        at += 16 + n;
    }
    return spans;
}

Bytes sampleRecording()
{
    const std::string bytes =
        readFile(fs::path(nativePath(HXDEMUX_SOURCE_DIR)) / "examples" / "sample.264");
    return Bytes(bytes.begin(), bytes.end());
}

bool isPrefix(const std::string& prefix, const std::string& whole)
{
    return whole.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

TEST(DamagedInput, ModelAgreesOnTheSampleAndItsFixtures)
{
    TempDir dir;
    expectRunMatchesModel(dir, sampleRecording());
    expectRunMatchesModel(
        dir, RecordingBuilder().record("ABCD", 0, 0, {}).video(0, nalUnit(0x65)).bytes());
}

// Cut at every byte inside the first and last four records and at a stride
// elsewhere: every cut of 16 bytes or more ends with status 0, and the
// outputs are what the complete records before the cut give.
TEST(DamagedInput, TruncationSweep)
{
    const Bytes full = sampleRecording();
    const std::vector<RecordSpan> spans = recordSpans(full);
    ASSERT_GT(spans.size(), 20u);
    // Where each run is a new process (under Wine, a slow one), fewer cuts.
    const std::size_t edgeRecords = kForkedRuns ? 4 : 2;
    const std::size_t stride = kForkedRuns ? 89 : 1999;
    ASSERT_EQ(spans.back().end, full.size());
    const std::size_t headEnd = spans[edgeRecords - 1].end;
    const std::size_t tailStart = spans[spans.size() - edgeRecords].start;

    TempDir dir;
    writeFile(dir / "rec.264", full);
    ASSERT_EQ(runHxdemuxForked({"hxdemux", "rec.264"}, dir.path()).status, 0);
    const OutputFiles whole = readOutputs(dir / "rec");

    std::size_t runs = 0;
    for (std::size_t cut = 0; cut <= full.size();
         cut += (cut < headEnd || cut >= tailStart) ? 1 : stride) {
        SCOPED_TRACE(testing::Message() << "cut at " << cut);
        const Bytes file(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        expectRunMatchesModel(dir, file);
        ++runs;
        if (cut < 16) continue;
        const OutputFiles f = readOutputs(dir / "rec");
        ASSERT_TRUE(isPrefix(f.h264, whole.h264));
        ASSERT_TRUE(isPrefix(f.videoTs, whole.videoTs));
        ASSERT_TRUE(isPrefix(f.audioTs, whole.audioTs));
        ASSERT_TRUE(isPrefix(f.wav.substr(44), whole.wav.substr(44)));
        // Only complete records count.
        std::size_t videoBytes = 0;
        for (const RecordSpan& s : spans) {
            if (s.end <= cut && std::memcmp(full.data() + s.start, "HXVF", 4) == 0) {
                videoBytes += s.end - s.start - 16;
            }
        }
        ASSERT_EQ(f.h264.size(), videoBytes);
    }
    RecordProperty("runs", static_cast<int>(runs));
}

// Every bit of the first and last record headers flipped in turn.
TEST(DamagedInput, BitFlipSweepOverRecordHeaders)
{
    const Bytes full = sampleRecording();
    const std::vector<RecordSpan> spans = recordSpans(full);
    std::vector<std::size_t> headers;
    const std::size_t head = kForkedRuns ? 6 : 1, tail = kForkedRuns ? 3 : 1;
    for (std::size_t i = 0; i < head; ++i) headers.push_back(spans[i].start);
    for (std::size_t i = spans.size() - tail; i < spans.size(); ++i)
        headers.push_back(spans[i].start);
    headers.push_back(0);  // the file header too

    TempDir dir;
    for (const std::size_t start : headers) {
        for (std::size_t bit = 0; bit < 16 * 8; ++bit) {
            SCOPED_TRACE(testing::Message() << "header at " << start << ", bit " << bit);
            Bytes file = full;
            file[start + bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
            expectRunMatchesModel(dir, file);
        }
    }
}

// Length fields at the edges, for video and audio records: each followed by
// exactly 8 bytes, after one complete picture.
TEST(DamagedInput, LengthFieldsAtTheEdges)
{
    const Bytes idr = nalUnit(0x65, 3);  // 8 bytes
    const Bytes tail{0, 0, 0, 1, 0x41, 0x9A, 0x10, 0x20};
    struct Case {
        std::int32_t length;
        std::string console;       // after "Duration 0\n"
        std::size_t handledBytes;  // of `tail`, handed on as the payload
    };
    const Case cases[] = {
        {0, "Unknown Code\n", 0},
        {1, "Unknown Code\n", 1},
        {3, "Unknown Code\n", 3},
        {4, "Unknown Code\n", 4},
        {5, "Unknown Code\n", 5},
        {8, "", 8},
        {9, "Record at offset 40 has length 9 but only 8 bytes follow\n", SIZE_MAX},
        {INT32_MAX, "Record at offset 40 has length 2147483647 but only 8 bytes follow\n",
         SIZE_MAX},
        {INT32_MIN, "Record at offset 40 has negative length -2147483648\n", SIZE_MAX},
        {-1, "Record at offset 40 has negative length -1\n", SIZE_MAX},
        {-16, "Record at offset 40 has negative length -16\n", SIZE_MAX},
    };
    TempDir dir;
    for (const char* tag : {"HXVF", "HXAF"}) {
        const bool video = tag[2] == 'V';
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << tag << " of length " << c.length);
            const Bytes file =
                RecordingBuilder().video(0, idr).record(tag, c.length, 40, tail).bytes();
            writeFile(dir / "rec.264", file);
            const RunResult run = runHxdemuxForked({"hxdemux", "rec.264"}, dir.path());
            const OutputFiles f = readOutputs(dir / "rec");
            // A short record leaves the rest of `tail` to be read as a tag.
            std::string console = "Duration 0\n" + c.console;
            if (c.handledBytes != SIZE_MAX && c.handledBytes < 8) {
                console = "Duration 0\n";
                const std::size_t restAt = 56 + c.handledBytes;
                const std::size_t rest = 8 - c.handledBytes;
                console += rest < 4 ? "Incomplete tag at offset " + std::to_string(restAt) + "\n"
                                    : std::string("Unknown Code\n");
            }
            EXPECT_EQ(run.output, console);
            EXPECT_EQ(run.status, 0);
            std::string h264 = asString(idr), videoTs = timestampFile({0}),
                        audioTs = timestampFile({});
            std::string wav = wavHeader(0);
            if (c.handledBytes != SIZE_MAX) {
                const std::string payload = asString(tail).substr(0, c.handledBytes);
                if (video) {
                    h264 += payload;
                    if (c.handledBytes >= 5) videoTs = timestampFile({0, 40});
                } else {
                    audioTs = timestampFile({0});
                    const std::string samples = c.handledBytes > 4 ? payload.substr(4) : "";
                    wav = wavHeader(static_cast<std::uint32_t>(samples.size())) + samples;
                }
            }
            EXPECT_TRUE(f.h264 == h264);
            EXPECT_EQ(f.videoTs, videoTs);
            EXPECT_EQ(f.audioTs, audioTs);
            EXPECT_TRUE(f.wav == wav);
            expectRunMatchesModel(dir, file);
        }
    }
}
