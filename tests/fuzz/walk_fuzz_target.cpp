// Fuzz target: the real header check, record walk and handlers over the
// input, writing real output files. Beyond "no crash", it checks what the
// handlers were given against what reached the files.

#include "common/input_image.h"
#include "driver/output_set.h"
#include "extract/audio.h"
#include "extract/video.h"
#include "recording/recording.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Seen {
    std::uint64_t videoRecords, audioRecords, videoBytes, audioBytes, payloadBytes;
};
Seen g_seen;

void countingVideo(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                   OutputSet& outputs)
{
    ++g_seen.videoRecords;
    g_seen.videoBytes += static_cast<std::uint64_t>(payload.length);
    g_seen.payloadBytes += static_cast<std::uint64_t>(payload.length);
    handleVideoRecord(timestamp, payload, state, outputs);
}

void countingAudio(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                   OutputSet& outputs)
{
    ++g_seen.audioRecords;
    if (payload.length > 4) g_seen.audioBytes += static_cast<std::uint64_t>(payload.length - 4);
    g_seen.payloadBytes += static_cast<std::uint64_t>(payload.length);
    handleAudioRecord(timestamp, payload, state, outputs);
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "walk fuzz target: %s\n", what);
        std::abort();
    }
}

std::int64_t fileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::string g_base;
std::unique_ptr<OutputSet> g_outputs;

void setUp()
{
    char dir[] = "/tmp/hxdemux-fuzz-XXXXXX";
    check(::mkdtemp(dir) != nullptr, "cannot create a temporary directory");
    g_base = std::string(dir) + "/f";
    g_outputs = std::make_unique<OutputSet>();
    // The walk reports on standard output; thousands of runs need not show it.
    check(std::freopen("/dev/null", "w", stdout) != nullptr, "cannot silence standard output");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1u << 24) return 0;
    if (g_outputs == nullptr) setUp();

    // An exactly sized copy, so that any read past the data is caught.
    const auto n = static_cast<std::int32_t>(size);
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size == 0 ? 1 : size]);
    if (size != 0) std::memcpy(bytes.get(), data, size);
    const InputImage image{bytes.get(), n, n};

    // A rejected tag ends a real run; here it only ends this input.
    if (!fileTagAccepted(image)) return 0;
    (void)durationField(image);

    const std::string input = g_base + ".264";
    std::string names(input.size() + 256, '\0');
    createOutputSet(*g_outputs, input.c_str(), names.data(), nullptr);
    g_seen = Seen{};
    ExtractionState state{};
    walkRecords(image, state, *g_outputs, RecordHandlers{countingVideo, countingAudio});
    finishOutputSet(*g_outputs, state.audioBytes);
    closeOutputSet(*g_outputs);

    // Each byte lies in at most one payload: the walk only moves forward.
    check(g_seen.payloadBytes + 16 * (g_seen.videoRecords + g_seen.audioRecords) <= size,
          "payloads overlap or exceed the data");
    check(static_cast<std::uint64_t>(state.audioBytes) == g_seen.audioBytes,
          "audioBytes miscounted");
    check(fileSize(g_base + ".h264") == static_cast<std::int64_t>(g_seen.videoBytes),
          "elementary stream size differs from the video payloads");
    check(fileSize(g_base + ".wav") == 44 + static_cast<std::int64_t>(g_seen.audioBytes),
          "audio file size differs from the audio samples");
    // Lines are at most 12 bytes; one per audio record, at most one per video record.
    const std::int64_t header = 22;
    const std::int64_t audioLines = fileSize(g_base + ".audio.ts.txt") - header;
    check(audioLines >= 2 * static_cast<std::int64_t>(g_seen.audioRecords) &&
              audioLines <= 12 * static_cast<std::int64_t>(g_seen.audioRecords),
          "audio timestamp file does not hold one line per record");
    check(fileSize(g_base + ".video.ts.txt") - header <=
              12 * static_cast<std::int64_t>(g_seen.videoRecords),
          "more video timestamp lines than video records");
    return 0;
}
