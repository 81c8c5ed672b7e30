#include "extract/audio.h"

#include "driver/output_set.h"

namespace {

// Each audio payload starts with a prefix that is not part of the samples.
constexpr std::int32_t kAudioPrefixBytes = 4;

}  // namespace

void handleAudioRecord(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                       OutputSet& outputs)
{
    if (state.audioBase == -1) state.audioBase = timestamp;
    appendTimestampLine(outputs, Output::AudioTimestamps,
                        wrappingOffset(timestamp, state.audioBase));
    // A payload shorter than its prefix still counts as a record, with no samples.
    if (payload.length <= kAudioPrefixBytes) return;
    const std::int32_t samples = payload.length - kAudioPrefixBytes;
    appendBytes(outputs, Output::Audio, payload.data + kAudioPrefixBytes,
                static_cast<std::size_t>(samples));
    state.audioBytes += samples;
}
