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

void reportEndRecord();
void reportUnknownTag();

// Sets `state` to its initial values and hands every record, in file order,
// to its handler, until an end record or the end of the data. A record
// that does not fit in the data is reported and ends the walk.
void walkRecords(const InputImage& image, ExtractionState& state, OutputSet& outputs,
                 const RecordHandlers& handlers);

// Prints the line for a record at `cursor` whose tag, header or payload
// does not fit in the `left` bytes that remain there.
void reportRecordThatDoesNotFit(const std::uint8_t* record, std::int32_t cursor, std::int32_t left);

// The walk itself, for any `handlers` with `video` and `audio` callables
// (function pointers, or functions the compiler can inline: recordings of
// millions of tiny records spend much of their time in these calls).
template <class Handlers>
void walkRecordsWith(const InputImage& image, ExtractionState& state, OutputSet& outputs,
                     const Handlers& handlers)
{
    state = ExtractionState{-1, -1, -1, 0};
    const std::int32_t end = image.bytesRead;
    std::int32_t cursor = kFileHeaderBytes;
    while (cursor < end) {
        const std::int32_t left = end - cursor;
        const std::uint8_t* record = image.data + cursor;
        // Video and audio records with their whole header there come first:
        // they are nearly every record, and one check of `left` covers them.
        if (left >= kRecordHeaderBytes) {
            const bool video = tagIs(record, "HXVF");
            if (video || tagIs(record, "HXAF")) {
                const std::int32_t length = loadLe32(record + 4);
                // Compared with what is left, so that no sum can overflow; as
                // unsigned numbers, a negative length is larger than anything left.
                if (static_cast<std::uint32_t>(length) >
                    static_cast<std::uint32_t>(left - kRecordHeaderBytes)) {
                    reportRecordThatDoesNotFit(record, cursor, left);
                    return;
                }
                const std::int32_t timestamp = loadLe32(record + 8);
                const ByteView payload{record + kRecordHeaderBytes, length};
                if (video) {
                    handlers.video(timestamp, payload, state, outputs);
                } else {
                    handlers.audio(timestamp, payload, state, outputs);
                }
                cursor += kRecordHeaderBytes + length;  // at most `end`: checked above
                continue;
            }
        }
        if (left < kTagBytes || tagIs(record, "HXVF") || tagIs(record, "HXAF")) {
            // No room for a tag, or a video or audio header cut short.
            reportRecordThatDoesNotFit(record, cursor, left);
            return;
        }
        if (tagIs(record, "HXFI")) {
            reportEndRecord();
            return;
        }
        reportUnknownTag();
        if (left <= kUnknownTagStep) return;
        cursor += kUnknownTagStep;
    }
}
