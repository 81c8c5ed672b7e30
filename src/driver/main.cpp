#include "driver/run.h"

#if defined(_WIN32)

#include "common/platform.h"

// Windows hands over the command line in UTF-16; the program works in UTF-8
// so that any file name survives the trip to the output names.
int wmain(int argc, wchar_t** wargv)
{
    std::vector<std::string> args = platform::utf8Arguments(argc, wargv);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return runHxdemux(argc, argv.data());
}

#else

int main(int argc, char** argv)
{
    return runHxdemux(argc, argv);
}

#endif
