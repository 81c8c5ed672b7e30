#pragma once

// Wraps a raw H.264 Annex B stream and raw A-law samples into a recording
// laid out the way cameras write them: each NAL unit its own video record
// behind a four-byte start code, the NAL units of one picture sharing its
// timestamp, 40 ms audio records interleaved in timestamp order, and an end
// record. Timestamps are in milliseconds from a non-zero base.

#include "support/recording_builder.h"

#include <cstdint>
#include <vector>

// The NAL units of an Annex B stream, without their start codes.
std::vector<Bytes> splitAnnexB(const Bytes& stream);

// The NAL units grouped into pictures (access units): parameter sets, SEI
// and delimiters open a new picture once the current one has a slice, and
// so does a slice whose first macroblock is 0.
std::vector<std::vector<Bytes>> groupIntoPictures(const std::vector<Bytes>& nalUnits);

struct RecordingPlan {
    std::int32_t baseTimestamp = 1'000'000;
    // Time of each picture in milliseconds from the base; pictures beyond
    // the list continue at 40 ms steps.
    std::vector<std::int32_t> frameTimes;
    std::size_t samplesPerAudioRecord = 320;  // 40 ms at 8000 Hz
};

Bytes writeRecording(const Bytes& annexB, const Bytes& alaw, const RecordingPlan& plan);
