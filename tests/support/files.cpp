#include "support/files.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

TempDir::TempDir()
{
    const fs::path root = fs::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const fs::path candidate = root / ("hxdemux-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Make everything removable again, whatever a test did to permissions.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void writeFile(const fs::path& path, const std::string& text)
{
    writeFile(path, Bytes(text.begin(), text.end()));
}

OutputFiles readOutputs(const fs::path& base)
{
    OutputFiles out{};
    auto read = [&](const char* suffix, bool& exists, std::string& content) {
        fs::path name = base;
        name += suffix;
        // Only a regular file counts: tests block outputs with directories.
        exists = fs::is_regular_file(name);
        if (exists) content = readFile(name);
    };
    read(".h264", out.h264Exists, out.h264);
    read(".video.ts.txt", out.videoTsExists, out.videoTs);
    read(".wav", out.wavExists, out.wav);
    read(".audio.ts.txt", out.audioTsExists, out.audioTs);
    return out;
}

fs::path utf8Path(const std::string& text)
{
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string asString(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

const char* lineEnd()
{
#if defined(_WIN32)
    return "\r\n";
#else
    return "\n";
#endif
}

std::string timestampFile(std::initializer_list<std::int32_t> lines)
{
    const char* eol = lineEnd();
    std::string out = std::string("# timestamp format v2") + eol;
    for (std::int32_t v : lines) out += std::to_string(v) + eol;
    return out;
}

std::string wavHeader(std::uint32_t dataBytes)
{
    Bytes h = bytesOf("RIFF");
    appendLe32(h, dataBytes + 36);
    h = concat({h, bytesOf("WAVEfmt "), Bytes{16, 0, 0, 0, 6, 0, 1, 0}});
    appendLe32(h, 8000);
    appendLe32(h, 8000);
    h = concat({h, Bytes{2, 0, 16, 0}, bytesOf("data")});
    appendLe32(h, dataBytes);
    return asString(h);
}
