#include "recording/recording.h"

#include "common/console.h"

namespace {

constexpr std::int32_t kDurationOffset = 8;

}  // namespace

bool fileTagAccepted(const InputImage& image)
{
    if (image.bytesRead < kTagBytes) return false;
    return tagIs(image.data, "HXVS") || tagIs(image.data, "HXVT");
}

std::int32_t durationField(const InputImage& image)
{
    std::uint8_t field[4] = {};
    for (std::int32_t i = 0; i < 4; ++i) {
        if (kDurationOffset + i < image.bytesRead) field[i] = image.data[kDurationOffset + i];
    }
    return loadLe32(field);
}

void checkFileHeader(const InputImage& image)
{
    if (!fileTagAccepted(image)) endRun("No HXVS.\n");
    say("Duration %d\n", durationField(image));
}

void walkRecords(const InputImage& image, ExtractionState& state, OutputSet& outputs,
                 const RecordHandlers& handlers)
{
    state = ExtractionState{-1, -1, -1, 0};
    const std::int32_t end = image.bytesRead;
    std::int32_t cursor = kFileHeaderBytes;
    while (cursor < end) {
        const std::int32_t left = end - cursor;
        const std::uint8_t* record = image.data + cursor;
        if (left < kTagBytes) {
            say("Incomplete tag at offset %d\n", cursor);
            return;
        }
        const bool video = tagIs(record, "HXVF");
        if (video || tagIs(record, "HXAF")) {
            if (left < kRecordHeaderBytes) {
                say("Incomplete record header at offset %d\n", cursor);
                return;
            }
            const std::int32_t length = loadLe32(record + 4);
            const std::int32_t timestamp = loadLe32(record + 8);
            if (length < 0) {
                say("Record at offset %d has negative length %d\n", cursor, length);
                return;
            }
            if (length > left - kRecordHeaderBytes) {
                say("Record at offset %d has length %d but only %d bytes follow\n", cursor, length,
                    left - kRecordHeaderBytes);
                return;
            }
            const ByteView payload{record + kRecordHeaderBytes, length};
            (video ? handlers.video : handlers.audio)(timestamp, payload, state, outputs);
            cursor += kRecordHeaderBytes + length;  // at most `end`: checked above
        } else if (tagIs(record, "HXFI")) {
            say("HXFI End if File\n");
            return;
        } else {
            say("Unknown Code\n");
            if (left <= kUnknownTagStep) return;
            cursor += kUnknownTagStep;
        }
    }
}
