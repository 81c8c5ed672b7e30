#pragma once

// The four files a run writes, and the only operations that write them.
//
// Appends are gathered, not written one by one: small runs of bytes and
// timestamp lines are copied into a staging area, and larger payloads are
// kept as views into the input image, so that the whole set goes out in a
// few large gathered writes. Pending views point into the input image, so
// the outputs are settled (finishOutputSet) before the image is released.

#include "common/decimal.h"
#include "common/platform.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

enum class Output : std::uint8_t { ElementaryStream, VideoTimestamps, Audio, AudioTimestamps };
constexpr int kOutputCount = 4;

constexpr std::size_t kWavHeaderBytes = 44;
constexpr char kTimestampHeader[] = "# timestamp format v2\n";

// Appends of at least this many bytes are written from where they lie.
constexpr std::size_t kGatherThreshold = 4096;
constexpr std::size_t kStageBytes = std::size_t{128} << 10;
constexpr int kMaxSlices = 1024;
// Room for a line: "-2147483648\n", and what the formatter may write past it.
constexpr std::size_t kLongestLine = kDecimalRoom + 1;

struct OutputFile {
    platform::FileHandle handle;
    std::uint8_t* staged;    // the end of the bytes used in `stage`
    std::uint8_t* runStart;  // staged bytes before this are already in a slice
    int sliceCount;
    platform::WriteSlice slices[kMaxSlices];
    std::uint8_t stage[kStageBytes];
};

// Over half a MiB: a run keeps one for its whole length, not on the stack.
struct OutputSet {
    OutputFile files[kOutputCount];
    char* nameBuffer;        // holds the input path's length + 256 bytes
    std::size_t baseLength;  // bytes of the input path that form the base name
};

// Length of the base name: the path cut at its first ".264", or failing
// that its first ".265", or the whole path.
std::size_t baseNameLength(const char* path);

// Formats the name of one output into the set's name buffer.
const char* formatOutputName(OutputSet& set, Output which);

// Derives the base name and creates the four files with their initial
// content. Refuses (and creates nothing) when an output name is the input
// file itself under another name. Ends the run when a file cannot be created.
void createOutputSet(OutputSet& set, const char* inputPath, char* nameBuffer,
                     const platform::FileIdentity* input);

// Writes everything pending; ends the run when the file refuses it.
void flushOutput(OutputSet& set, Output which);

// Writes every pending byte, then the WAV header over the reserved bytes.
void finishOutputSet(OutputSet& set, std::int32_t audioBytes);

// Closes the elementary stream, audio, video timestamp and audio timestamp
// files, in that order.
void closeOutputSet(OutputSet& set);

void fillWavHeader(std::uint8_t* header, std::int32_t audioBytes);

// Out of line: keeps a large payload where it lies.
void appendView(OutputSet& set, Output which, const std::uint8_t* bytes, std::size_t n);

inline OutputFile& outputFile(OutputSet& set, Output which)
{
    return set.files[static_cast<int>(which)];
}

// Copies a run of bytes that is usually tiny without a call: two
// overlapping fixed-size copies cover every length from 4 to 16, never
// touching a byte outside the run.
inline void copySmall(std::uint8_t* to, const std::uint8_t* from, std::size_t n)
{
    if (n >= 8 && n <= 16) {
        std::uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + n - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4 && n < 8) {
        std::uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + n - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + n - 4, &tail, 4);
    } else if (n != 0) {
        std::memcpy(to, from, n);
    }
}

inline std::size_t stageRoom(const OutputFile& file)
{
    return static_cast<std::size_t>(file.stage + kStageBytes - file.staged);
}

inline void appendBytes(OutputSet& set, Output which, const std::uint8_t* bytes, std::size_t n)
{
    OutputFile& file = outputFile(set, which);
    if (n >= kGatherThreshold) {
        appendView(set, which, bytes, n);
        return;
    }
    if (stageRoom(file) < n) flushOutput(set, which);
    copySmall(file.staged, bytes, n);
    file.staged += n;
}

inline void appendTimestampLine(OutputSet& set, Output which, std::int32_t value)
{
    OutputFile& file = outputFile(set, which);
    if (stageRoom(file) < kLongestLine) flushOutput(set, which);
    char* end = formatDecimal(reinterpret_cast<char*>(file.staged), value);
    *end++ = '\n';
    file.staged = reinterpret_cast<std::uint8_t*>(end);
}
