// The floor for hxdemux: load the file into one block allocated exactly as
// hxdemux allocates its input, and write it out with one write. Without OUT
// it only loads, which shows what the load alone costs.
//
//   reference_copy IN [OUT]

#include "common/platform.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s IN [OUT]\n", argv[0]);
        return 2;
    }
    const platform::FileHandle in = platform::openForReading(argv[1]);
    if (in == platform::kNoFile) return 1;
    const std::int64_t size = platform::measureSize(in);
    if (size < 0) return 1;
    std::uint8_t* image = platform::allocateImage(static_cast<std::size_t>(size));
    if (image == nullptr || platform::readFully(in, image, size) != size) return 1;
    if (argc == 2) return 0;
    const platform::FileHandle out = platform::createOutput(argv[2], false);
    if (out == platform::kNoFile) return 1;
    const platform::WriteSlice all{image, static_cast<std::size_t>(size)};
    if (!platform::writeSlices(out, &all, 1) || !platform::closeOutput(out)) return 1;
    platform::releaseImage(image);
    platform::closeInput(in);
    return 0;
}
