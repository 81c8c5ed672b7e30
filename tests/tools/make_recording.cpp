// make_recording: wraps a raw H.264 stream and raw A-law samples into a
// recording, for tests, the sample and the benchmark.
//
//   make_recording VIDEO.h264 AUDIO.alaw OUT.264 [FRAME_TIMES.txt]
//
// FRAME_TIMES.txt holds one time in milliseconds per picture; without it,
// pictures are 40 ms apart. Either input may be an empty file.

#include "support/files.h"
#include "support/recording_writer.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s VIDEO.h264 AUDIO.alaw OUT.264 [FRAME_TIMES.txt]\n",
                     argv[0]);
        return 2;
    }
    const std::string video = readFile(argv[1]);
    const std::string audio = readFile(argv[2]);
    RecordingPlan plan;
    if (argc == 5) {
        std::ifstream times(argv[4]);
        std::int32_t t = 0;
        while (times >> t) plan.frameTimes.push_back(t);
    }
    const Bytes recording =
        writeRecording(Bytes(video.begin(), video.end()), Bytes(audio.begin(), audio.end()), plan);
    writeFile(argv[3], recording);
    return 0;
}
