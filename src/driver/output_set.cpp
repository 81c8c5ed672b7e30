#include "driver/output_set.h"

#include "common/console.h"
#include "common/input_image.h"

#include <cstdlib>
#include <string_view>

namespace {

struct OutputKind {
    const char* suffix;
    bool text;
};

// Indexed by Output.
constexpr OutputKind kKinds[kOutputCount] = {
    {".h264", false},
    {".video.ts.txt", true},
    {".wav", false},
    {".audio.ts.txt", true},
};

// The set whose pending bytes must still reach the disk if the run ends early.
OutputSet* g_openSet = nullptr;

std::size_t stagedRun(const OutputFile& file)
{
    return static_cast<std::size_t>(file.staged - file.runStart);
}

void resetPending(OutputFile& file)
{
    file.staged = file.stage;
    file.runStart = file.stage;
    file.sliceCount = 0;
}

// Best effort on the way out: the run is already ending with its own message.
void flushAtExit()
{
    OutputSet* set = g_openSet;
    if (set == nullptr) return;
    g_openSet = nullptr;
    for (OutputFile& file : set->files) {
        if (file.handle == platform::kNoFile) continue;
        if (file.staged > file.runStart) {
            file.slices[file.sliceCount++] = {file.runStart, stagedRun(file)};
        }
        platform::writeSlices(file.handle, file.slices, file.sliceCount);
        resetPending(file);
        platform::closeOutput(file.handle);
        file.handle = platform::kNoFile;
    }
}

[[noreturn]] void failWrite(OutputSet& set, Output which)
{
    // What was pending is lost; writing it again on the way out could
    // repeat bytes that did get through.
    resetPending(outputFile(set, which));
    endRun("cannot write %s.\n", formatOutputName(set, which));
}

void writeOrFail(OutputSet& set, Output which, const void* bytes, std::size_t n)
{
    const platform::WriteSlice slice{bytes, n};
    if (!platform::writeSlices(outputFile(set, which).handle, &slice, 1)) failWrite(set, which);
}

void createOne(OutputSet& set, Output which)
{
    const char* name = formatOutputName(set, which);
    OutputFile& file = outputFile(set, which);
    file.handle = platform::createOutput(name, kKinds[static_cast<int>(which)].text);
    if (file.handle == platform::kNoFile) endRun("cannot open %s for writing.\n", name);
}

void refuseToOverwriteInput(OutputSet& set, const platform::FileIdentity& input)
{
    for (int i = 0; i < kOutputCount; ++i) {
        const char* name = formatOutputName(set, static_cast<Output>(i));
        platform::FileIdentity existing{};
        if (platform::identifyPath(name, &existing) && existing.volume == input.volume &&
            existing.index == input.index) {
            endRun("refusing to overwrite the input file %s.\n", name);
        }
    }
}

}  // namespace

std::size_t baseNameLength(const char* path)
{
    const std::string_view p(path);
    std::size_t cut = p.find(".264");
    if (cut == std::string_view::npos) cut = p.find(".265");
    return cut == std::string_view::npos ? p.size() : cut;
}

const char* formatOutputName(OutputSet& set, Output which)
{
    // The buffer already starts with the input path, so the base name is in
    // place; only the suffix changes from one output to the next.
    const char* suffix = kKinds[static_cast<int>(which)].suffix;
    const std::size_t n = std::string_view(suffix).size();
    std::memcpy(set.nameBuffer + set.baseLength, suffix, n + 1);
    return set.nameBuffer;
}

void createOutputSet(OutputSet& set, const char* inputPath, char* nameBuffer,
                     const platform::FileIdentity* input)
{
    for (OutputFile& file : set.files) {
        file.handle = platform::kNoFile;
        resetPending(file);
    }
    set.nameBuffer = nameBuffer;
    set.baseLength = baseNameLength(inputPath);
    std::memcpy(nameBuffer, inputPath, set.baseLength);

    if (input != nullptr) refuseToOverwriteInput(set, *input);

    g_openSet = &set;
    static const bool hooked = std::atexit(flushAtExit) == 0;
    (void)hooked;

    createOne(set, Output::ElementaryStream);
    createOne(set, Output::VideoTimestamps);
    writeOrFail(set, Output::VideoTimestamps, kTimestampHeader, sizeof kTimestampHeader - 1);
    createOne(set, Output::Audio);
    createOne(set, Output::AudioTimestamps);
    writeOrFail(set, Output::AudioTimestamps, kTimestampHeader, sizeof kTimestampHeader - 1);
    // Zeros hold the header's place until the byte count is known.
    const std::uint8_t reserved[kWavHeaderBytes] = {};
    writeOrFail(set, Output::Audio, reserved, sizeof reserved);
}

void appendView(OutputSet& set, Output which, const std::uint8_t* bytes, std::size_t n)
{
    OutputFile& file = outputFile(set, which);
    // Room for the staged run before the view, the view itself, and the
    // staged run that may follow it.
    if (file.sliceCount + 3 > kMaxSlices) flushOutput(set, which);
    if (file.staged > file.runStart) {
        file.slices[file.sliceCount++] = {file.runStart, stagedRun(file)};
        file.runStart = file.staged;
    }
    file.slices[file.sliceCount++] = {bytes, n};
}

void flushOutput(OutputSet& set, Output which)
{
    OutputFile& file = outputFile(set, which);
    if (file.staged > file.runStart) {
        file.slices[file.sliceCount++] = {file.runStart, stagedRun(file)};
    }
    if (file.sliceCount > 0 && !platform::writeSlices(file.handle, file.slices, file.sliceCount)) {
        failWrite(set, which);
    }
    resetPending(file);
}

void fillWavHeader(std::uint8_t* h, std::int32_t audioBytes)
{
    const auto bytes = static_cast<std::uint32_t>(audioBytes);
    std::memcpy(h + 0, "RIFF", 4);
    storeLe32(h + 4, bytes + 36);  // RIFF chunk size
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    storeLe32(h + 16, 16);    // format chunk size
    storeLe16(h + 20, 6);     // format tag: A-law
    storeLe16(h + 22, 1);     // channels
    storeLe32(h + 24, 8000);  // samples per second
    storeLe32(h + 28, 8000);  // average bytes per second
    // Block alignment 2 and 16 bits per sample, odd as they are beside
    // A-law, are kept: files converted before carry them, and ffmpeg and
    // libsndfile read them as they are.
    storeLe16(h + 32, 2);
    storeLe16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    storeLe32(h + 40, bytes);  // data chunk size
}

void finishOutputSet(OutputSet& set, std::int32_t audioBytes)
{
    for (int i = 0; i < kOutputCount; ++i) flushOutput(set, static_cast<Output>(i));
    std::uint8_t header[kWavHeaderBytes];
    fillWavHeader(header, audioBytes);
    if (!platform::seekToStart(outputFile(set, Output::Audio).handle))
        failWrite(set, Output::Audio);
    writeOrFail(set, Output::Audio, header, sizeof header);
}

void closeOutputSet(OutputSet& set)
{
    constexpr Output kCloseOrder[kOutputCount] = {Output::ElementaryStream, Output::Audio,
                                                  Output::VideoTimestamps, Output::AudioTimestamps};
    for (Output which : kCloseOrder) {
        flushOutput(set, which);
        OutputFile& file = outputFile(set, which);
        const bool closed = platform::closeOutput(file.handle);
        file.handle = platform::kNoFile;
        if (!closed) endRun("cannot write %s.\n", formatOutputName(set, which));
    }
    g_openSet = nullptr;
}
