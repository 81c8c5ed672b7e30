#pragma once

// The recording file as it lies on disk, all integers little-endian:
//
//   file header, at offset 0
//     0  4  file tag, "HXVS" or "HXVT"
//     4  4  (not interpreted)
//     8  4  duration, signed, in the recording's own unit
//    12  4  (not interpreted)
//
//   each record, from offset 16 on, one after another with no gap
//     0  4  record tag: "HXVF" video, "HXAF" audio, "HXFI" end
//     4  4  payload length n, signed, not counting these 16 bytes
//     8  4  timestamp, signed, in the recording's own unit
//    12  4  (not interpreted)
//    16  n  payload

#include "common/extraction_state.h"
#include "common/input_image.h"

#include <cstdint>

struct OutputSet;

constexpr std::int32_t kFileHeaderBytes = 16;
constexpr std::int32_t kRecordHeaderBytes = 16;
constexpr std::int32_t kTagBytes = 4;
// An unknown tag is stepped over together with the word after it.
constexpr std::int32_t kUnknownTagStep = 8;

using RecordHandler = void (*)(std::int32_t timestamp, ByteView payload, ExtractionState& state,
                               OutputSet& outputs);

// Where the walk hands each video and audio record.
struct RecordHandlers {
    RecordHandler video;
    RecordHandler audio;
};

bool fileTagAccepted(const InputImage& image);

// The duration field; bytes of it that lie past the data read as zero.
std::int32_t durationField(const InputImage& image);

// Ends the run with "No HXVS." for a rejected tag, else prints the duration.
void checkFileHeader(const InputImage& image);

// Sets `state` to its initial values and hands every record, in file order,
// to its handler, until an end record or the end of the data. A record
// that does not fit in the data is reported and ends the walk.
void walkRecords(const InputImage& image, ExtractionState& state, OutputSet& outputs,
                 const RecordHandlers& handlers);
