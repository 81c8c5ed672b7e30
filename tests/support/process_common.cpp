#include "support/process.h"

std::string nativePath(const char* path)
{
#if defined(_WIN32)
    // A build tree on Linux run under Wine: "/" is the root of drive Z:.
    if (path[0] == '/') return std::string("Z:") + path;
#endif
    return path;
}

std::string hxdemuxPath()
{
    return nativePath(HXDEMUX_EXECUTABLE);
}

bool builtWithSanitizers()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

std::string shortReadShimPath()
{
#if defined(HXDEMUX_SHORT_READ_SHIM)
    return HXDEMUX_SHORT_READ_SHIM;
#else
    return {};
#endif
}
