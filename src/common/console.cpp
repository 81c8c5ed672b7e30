#include "common/console.h"

#include "common/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

int say(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    const int n = std::vprintf(format, args);
    va_end(args);
    return n;
}

void endRun(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    const int n = std::vprintf(format, args);
    va_end(args);
    // exit() flushes standard output and, through their exit hook, the outputs.
    std::exit(failureStatus(n, platform::kExitStatusKeepsOnly8Bits));
}

int failureStatus(int printedBytes, bool statusKeepsOnly8Bits)
{
    if (printedBytes <= 0) return 1;
    if (statusKeepsOnly8Bits && printedBytes % 256 == 0) return 255;
    return printedBytes;
}
