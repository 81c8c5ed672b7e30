#include "driver/run.h"

#include "common/console.h"
#include "common/extraction_state.h"
#include "common/input_image.h"
#include "common/platform.h"
#include "driver/output_set.h"
#include "extract/audio.h"
#include "extract/video.h"
#include "recording/recording.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::int64_t kLargestInput = INT32_MAX;
// Room beside the base name for the longest suffix, with plenty to spare.
constexpr std::size_t kNameRoom = 256;

// The extraction's handlers, called directly so that the walk's loop can
// take them in.
struct Extraction {
    static void video(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                      OutputSet& outputs)
    {
        handleVideoRecord(timestamp, payload, state, outputs);
    }
    static void audio(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                      OutputSet& outputs)
    {
        handleAudioRecord(timestamp, payload, state, outputs);
    }
};

// Over half a MiB of staging: too large for the stack, and a run owns exactly one.
OutputSet g_outputs;

}  // namespace

int runHxdemux(int argc, char** argv)
{
    if (argc != 2) {
        // Some systems hand an empty name to a program started without one.
        const bool named = argc > 0 && argv[0] != nullptr && argv[0][0] != '\0';
        endRun("use %s <file> \n", named ? argv[0] : "hxdemux");
    }
    const char* path = argv[1];

    const platform::FileHandle input = platform::openForReading(path);
    if (input == platform::kNoFile) endRun("cannot open %s for reading.\n", path);

    const std::int64_t measured = platform::measureSize(input);
    if (measured < 0) endRun("cannot measure the size of %s.\n", path);
    if (measured > kLargestInput) {
        endRun("%s is too large: %lld bytes, the limit is 2147483647 bytes.\n", path,
               static_cast<long long>(measured));
    }
    const auto size = static_cast<std::int32_t>(measured);

    std::uint8_t* image = platform::allocateImage(static_cast<std::size_t>(size));
    if (image == nullptr) endRun("unable to allocate %d bytes\n", size);

    // Kept until the process ends: the output set formats its names in it.
    auto* nameBuffer = static_cast<char*>(std::malloc(std::strlen(path) + kNameRoom));
    if (nameBuffer == nullptr) endRun("no mem for strings\n");

    platform::FileIdentity identity{};
    const bool identified = platform::identifyOpenFile(input, &identity);
    createOutputSet(g_outputs, path, nameBuffer, identified ? &identity : nullptr);

    const std::int64_t got = platform::readFully(input, image, size);
    if (got < size) endRun("could only read %d of %d bytes\n", static_cast<int>(got), size);
    const InputImage loaded{image, size, static_cast<std::int32_t>(got)};

    checkFileHeader(loaded);
    ExtractionState state{};
    walkRecordsWith(loaded, state, g_outputs, Extraction{});
    finishOutputSet(g_outputs, state.audioBytes);

    platform::releaseImage(image);
    platform::closeInput(input);
    closeOutputSet(g_outputs);
    return 0;
}
