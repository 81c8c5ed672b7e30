#pragma once

#include "support/recording_builder.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it when the test ends.
class TempDir {
   public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const fs::path& name) const { return path_ / name; }

   private:
    fs::path path_;
};

std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, const Bytes& bytes);
void writeFile(const fs::path& path, const std::string& text);

// The four outputs of a run, as they lie on disk; a missing file (or
// anything but a regular file) reads as absent rather than empty.
struct OutputFiles {
    bool h264Exists, videoTsExists, wavExists, audioTsExists;
    std::string h264, videoTs, wav, audioTs;
};

OutputFiles readOutputs(const fs::path& base);

std::string asString(const Bytes& bytes);

// A path from UTF-8 text, on every system.
fs::path utf8Path(const std::string& text);

// How text files end their lines on this system.
const char* lineEnd();

// What the timestamp files hold for the given lines, header included.
std::string timestampFile(std::initializer_list<std::int32_t> lines);

// A WAV header for `dataBytes` bytes of A-law, as the program writes it.
std::string wavHeader(std::uint32_t dataBytes);
