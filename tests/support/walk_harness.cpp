#include "support/walk_harness.h"

#include "common/input_image.h"
#include "driver/output_set.h"
#include "extract/audio.h"
#include "extract/video.h"
#include "recording/recording.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

WalkResult walkRecording(const Bytes& recording)
{
    TempDir dir;
    const std::string input = (dir / "rec.264").string();
    std::vector<char> names(input.size() + 256);
    auto outputs = std::make_unique<OutputSet>();
    createOutputSet(*outputs, input.c_str(), names.data(), nullptr);

    Bytes image = recording;
    const auto size = static_cast<std::int32_t>(image.size());
    const InputImage loaded{image.data(), size, size};
    WalkResult result{};
    testing::internal::CaptureStdout();
    walkRecords(loaded, result.state, *outputs,
                RecordHandlers{handleVideoRecord, handleAudioRecord});
    std::fflush(stdout);
    result.console = testing::internal::GetCapturedStdout();
    finishOutputSet(*outputs, result.state.audioBytes);
    closeOutputSet(*outputs);
    result.files = readOutputs(dir / "rec");
    return result;
}
