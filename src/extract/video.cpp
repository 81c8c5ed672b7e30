#include "extract/video.h"

#include "driver/output_set.h"

namespace {

// The NAL unit header follows the four-byte start code.
constexpr std::int32_t kNalHeaderOffset = 4;

// Supplemental enhancement information and parameter sets share their
// picture's timestamp and are never timed themselves.
bool isTimed(std::uint8_t nalHeader)
{
    const unsigned type = nalHeader & 0x1Fu;
    return type != 6 && type != 7 && type != 8;
}

}  // namespace

void handleVideoRecord(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                       OutputSet& outputs)
{
    if (state.videoBase == -1) state.videoBase = timestamp;
    // A payload too short to hold a NAL unit header is copied but not timed.
    if (payload.length > kNalHeaderOffset && isTimed(payload.data[kNalHeaderOffset])) {
        const std::int32_t offset = wrappingOffset(timestamp, state.videoBase);
        if (offset > state.lastVideoOffset) {
            appendTimestampLine(outputs, Output::VideoTimestamps, offset);
        }
        state.lastVideoOffset = offset;
    }
    appendBytes(outputs, Output::ElementaryStream, payload.data,
                static_cast<std::size_t>(payload.length));
}
