// Preloaded into hxdemux to make its input read come up short, as when the
// file is cut between being measured and being read: the first read gets
// half of what it asks for, and the file seems to end there.

#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

extern "C" ssize_t read(int fd, void* buffer, size_t count)
{
    using ReadFunction = ssize_t (*)(int, void*, size_t);
    static const auto realRead = reinterpret_cast<ReadFunction>(dlsym(RTLD_NEXT, "read"));
    static bool cut = false;
    if (cut) return 0;
    cut = true;
    return realRead(fd, buffer, count / 2);
}
