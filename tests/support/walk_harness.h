#pragma once

#include "common/extraction_state.h"
#include "support/files.h"

#include <string>

struct WalkResult {
    std::string console;
    OutputFiles files;
    ExtractionState state;
};

// Walks `recording` in memory with the real handlers, writing real output
// files in a temporary directory, and returns what the run printed and wrote.
WalkResult walkRecording(const Bytes& recording);
