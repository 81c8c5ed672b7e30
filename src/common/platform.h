#pragma once

// Everything that differs between operating systems lives behind these
// functions: opening and measuring the input, allocating its image, telling
// whether two names are the same file, and the output streams. The rest of
// the program does not know which system it runs on.
//
// Paths are UTF-8 on every system.

#include <cstddef>
#include <cstdint>
#if defined(_WIN32)
#include <string>
#include <vector>
#endif

namespace platform {

using FileHandle = int;  // a POSIX or C runtime file descriptor
constexpr FileHandle kNoFile = -1;

// Where the system keeps only the low 8 bits of an exit status.
#if defined(_WIN32)
constexpr bool kExitStatusKeepsOnly8Bits = false;
#else
constexpr bool kExitStatusKeepsOnly8Bits = true;
#endif

struct FileIdentity {
    std::uint64_t volume;
    std::uint64_t index;
};

FileHandle openForReading(const char* path);

// Size of the opened input, or -1 where it has none (a directory, a pipe).
std::int64_t measureSize(FileHandle file);

// Reads until `size` bytes have arrived, the file ends or a read fails;
// returns the number of bytes read.
std::int64_t readFully(FileHandle file, std::uint8_t* dest, std::int64_t size);

void closeInput(FileHandle file);

bool identifyOpenFile(FileHandle file, FileIdentity* identity);

// False when nothing exists under `path` (or it cannot be identified).
bool identifyPath(const char* path, FileIdentity* identity);

// One heap block of at least `size` bytes (at least one byte even for an
// empty input), or nullptr. Large blocks are placed so that the kernel can
// back them with huge pages: the first touch of a fresh gigabyte otherwise
// costs more than reading the file into it.
std::uint8_t* allocateImage(std::size_t size);
void releaseImage(std::uint8_t* image);

// Text outputs get the system's line ending for each line feed.
FileHandle createOutput(const char* path, bool text);

struct WriteSlice {
    const void* data;
    std::size_t size;
};

// Writes every slice, in order, at the current position; false on failure.
bool writeSlices(FileHandle file, const WriteSlice* slices, int count);

bool seekToStart(FileHandle file);
bool closeOutput(FileHandle file);

#if defined(_WIN32)
// The command line as Windows passes it (UTF-16), in UTF-8.
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);
#endif

}  // namespace platform
