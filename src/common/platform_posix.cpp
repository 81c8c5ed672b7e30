#include "common/platform.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace platform {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// The kernel caps one read() well below 2 GiB; stay clear of it.
constexpr std::int64_t kLargestRead = std::int64_t{1} << 30;

#ifdef IOV_MAX
constexpr int kMaxIovecs = IOV_MAX;
#else
constexpr int kMaxIovecs = 1024;
#endif

}  // namespace

FileHandle openForReading(const char* path)
{
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::int64_t measureSize(FileHandle file)
{
    struct stat st {};
    if (::fstat(file, &st) != 0) return -1;
    if (S_ISREG(st.st_mode)) return static_cast<std::int64_t>(st.st_size);
    if (S_ISBLK(st.st_mode)) {
        const off_t end = ::lseek(file, 0, SEEK_END);
        if (end < 0 || ::lseek(file, 0, SEEK_SET) != 0) return -1;
        return static_cast<std::int64_t>(end);
    }
    return -1;
}

std::int64_t readFully(FileHandle file, std::uint8_t* dest, std::int64_t size)
{
    std::int64_t done = 0;
    while (done < size) {
        const std::int64_t want = size - done < kLargestRead ? size - done : kLargestRead;
        const ssize_t got = ::read(file, dest + done, static_cast<std::size_t>(want));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += got;
    }
    return done;
}

void closeInput(FileHandle file)
{
    ::close(file);
}

bool identifyOpenFile(FileHandle file, FileIdentity* identity)
{
    struct stat st {};
    if (::fstat(file, &st) != 0) return false;
    identity->volume = static_cast<std::uint64_t>(st.st_dev);
    identity->index = static_cast<std::uint64_t>(st.st_ino);
    return true;
}

bool identifyPath(const char* path, FileIdentity* identity)
{
    struct stat st {};
    if (::stat(path, &st) != 0) return false;
    identity->volume = static_cast<std::uint64_t>(st.st_dev);
    identity->index = static_cast<std::uint64_t>(st.st_ino);
    return true;
}

std::uint8_t* allocateImage(std::size_t size)
{
    if (size < kHugePage) return static_cast<std::uint8_t*>(std::malloc(size == 0 ? 1 : size));
    if (size > SIZE_MAX - kHugePage) return nullptr;
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block == nullptr) return nullptr;
#ifdef MADV_HUGEPAGE
    // Only advice: where huge pages are unavailable the block works as is.
    ::madvise(block, rounded, MADV_HUGEPAGE);
#endif
    return static_cast<std::uint8_t*>(block);
}

void releaseImage(std::uint8_t* image)
{
    std::free(image);
}

FileHandle createOutput(const char* path, bool /*text: POSIX makes no difference*/)
{
    int fd;
    do {
        fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeSlices(FileHandle file, const WriteSlice* slices, int count)
{
    struct iovec vec[kMaxIovecs];
    int next = 0;
    while (next < count) {
        int n = 0;
        while (n < kMaxIovecs && next + n < count) {
            vec[n].iov_base = const_cast<void*>(slices[next + n].data);
            vec[n].iov_len = slices[next + n].size;
            ++n;
        }
        next += n;
        // Finish this batch, picking up after partial writes.
        struct iovec* pending = vec;
        int left = n;
        while (left > 0) {
            const ssize_t wrote = ::writev(file, pending, left);
            if (wrote < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            if (wrote == 0) return false;
            auto rest = static_cast<std::size_t>(wrote);
            while (left > 0 && rest >= pending->iov_len) {
                rest -= pending->iov_len;
                ++pending;
                --left;
            }
            if (left > 0) {
                pending->iov_base = static_cast<char*>(pending->iov_base) + rest;
                pending->iov_len -= rest;
            }
        }
    }
    return true;
}

bool seekToStart(FileHandle file)
{
    return ::lseek(file, 0, SEEK_SET) == 0;
}

bool closeOutput(FileHandle file)
{
    // A close interrupted by a signal has still released the descriptor on
    // Linux; retrying could close someone else's.
    return ::close(file) == 0 || errno == EINTR;
}

}  // namespace platform
