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

void reportEndRecord()
{
    say("HXFI End if File\n");
}

void reportUnknownTag()
{
    say("Unknown Code\n");
}

void reportRecordThatDoesNotFit(const std::uint8_t* record, std::int32_t cursor, std::int32_t left)
{
    if (left < kTagBytes) {
        say("Incomplete tag at offset %d\n", cursor);
    } else if (left < kRecordHeaderBytes) {
        say("Incomplete record header at offset %d\n", cursor);
    } else if (const std::int32_t length = loadLe32(record + 4); length < 0) {
        say("Record at offset %d has negative length %d\n", cursor, length);
    } else {
        say("Record at offset %d has length %d but only %d bytes follow\n", cursor, length,
            left - kRecordHeaderBytes);
    }
}

void walkRecords(const InputImage& image, ExtractionState& state, OutputSet& outputs,
                 const RecordHandlers& handlers)
{
    walkRecordsWith(image, state, outputs, handlers);
}
