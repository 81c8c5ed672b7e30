#pragma once

#include "common/extraction_state.h"
#include "common/input_image.h"

struct OutputSet;

// Copies the payload (an H.264 NAL unit behind a four-byte start code) to
// the elementary stream, and writes a timestamp line when the video offset
// rises above that of the previous timed record.
void handleVideoRecord(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                       OutputSet& outputs);
