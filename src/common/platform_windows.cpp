#include "common/platform.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace platform {

namespace {

// _read and _write take an unsigned int count.
constexpr std::int64_t kLargestTransfer = std::int64_t{1} << 30;

std::wstring widen(const char* utf8)
{
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

bool identify(HANDLE handle, FileIdentity* identity)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info)) return false;
    identity->volume = info.dwVolumeSerialNumber;
    identity->index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

}  // namespace

std::vector<std::string> utf8Arguments(int argc, wchar_t** argv)
{
    std::vector<std::string> out;
    for (int i = 0; i < argc; ++i) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string s(n > 0 ? static_cast<std::size_t>(n) : 1, '\0');
        if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, s.data(), n, nullptr, nullptr);
        s.resize(s.size() - 1);
        out.push_back(std::move(s));
    }
    return out;
}

FileHandle openForReading(const char* path)
{
    return ::_wopen(widen(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

std::int64_t measureSize(FileHandle file)
{
    struct _stati64 st {};
    if (::_fstati64(file, &st) != 0) return -1;
    if ((st.st_mode & _S_IFMT) != _S_IFREG) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::int64_t readFully(FileHandle file, std::uint8_t* dest, std::int64_t size)
{
    std::int64_t done = 0;
    while (done < size) {
        const std::int64_t want = size - done < kLargestTransfer ? size - done : kLargestTransfer;
        const int got = ::_read(file, dest + done, static_cast<unsigned>(want));
        if (got <= 0) break;
        done += got;
    }
    return done;
}

void closeInput(FileHandle file)
{
    ::_close(file);
}

bool identifyOpenFile(FileHandle file, FileIdentity* identity)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file));
    return handle != INVALID_HANDLE_VALUE && identify(handle, identity);
}

bool identifyPath(const char* path, FileIdentity* identity)
{
    const HANDLE handle = ::CreateFileW(
        widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool ok = identify(handle, identity);
    ::CloseHandle(handle);
    return ok;
}

std::uint8_t* allocateImage(std::size_t size)
{
    return static_cast<std::uint8_t*>(std::malloc(size == 0 ? 1 : size));
}

void releaseImage(std::uint8_t* image)
{
    std::free(image);
}

FileHandle createOutput(const char* path, bool text)
{
    const int mode = _O_WRONLY | _O_CREAT | _O_TRUNC | _O_NOINHERIT | (text ? _O_TEXT : _O_BINARY);
    return ::_wopen(widen(path).c_str(), mode, _S_IREAD | _S_IWRITE);
}

bool writeSlices(FileHandle file, const WriteSlice* slices, int count)
{
    for (int i = 0; i < count; ++i) {
        const auto* p = static_cast<const std::uint8_t*>(slices[i].data);
        auto left = static_cast<std::int64_t>(slices[i].size);
        while (left > 0) {
            const std::int64_t want = left < kLargestTransfer ? left : kLargestTransfer;
            const int wrote = ::_write(file, p, static_cast<unsigned>(want));
            if (wrote <= 0) return false;
            p += wrote;
            left -= wrote;
        }
    }
    return true;
}

bool seekToStart(FileHandle file)
{
    return ::_lseeki64(file, 0, SEEK_SET) == 0;
}

bool closeOutput(FileHandle file)
{
    return ::_close(file) == 0;
}

}  // namespace platform
