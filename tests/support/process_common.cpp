#include "support/process.h"

std::string hxdemuxPath()
{
    return HXDEMUX_EXECUTABLE;
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
