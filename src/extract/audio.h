#pragma once

#include "common/extraction_state.h"
#include "common/input_image.h"

struct OutputSet;

// Writes the record's offset to the audio timestamp file and the samples
// behind its four-byte prefix to the audio file.
void handleAudioRecord(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                       OutputSet& outputs);
