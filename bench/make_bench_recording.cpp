// Writes a synthetic recording for the benchmark and prints how many
// records it holds.
//
//   make_bench_recording typical OUT BYTES   25 pictures a second: an IDR
//       picture of about 60 KB with its parameter sets every 50 pictures,
//       other pictures of 4 to 12 KB, one audio record of 320 samples each
//   make_bench_recording tiny OUT BYTES      payloads of 8 to 12 bytes,
//       audio and video alternating

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::uint64_t g_random = 0x9E3779B97F4A7C15ull;

std::uint32_t nextRandom()
{
    g_random ^= g_random << 13;
    g_random ^= g_random >> 7;
    g_random ^= g_random << 17;
    return static_cast<std::uint32_t>(g_random);
}

struct Writer {
    std::FILE* file = nullptr;
    std::uint64_t bytes = 0;
    std::uint64_t records = 0;
    std::vector<std::uint8_t> payload;

    void le32(std::uint8_t* p, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }

    void header(std::int32_t duration)
    {
        std::uint8_t h[16] = {'H', 'X', 'V', 'S'};
        le32(h + 8, static_cast<std::uint32_t>(duration));
        std::fwrite(h, 1, sizeof h, file);
        bytes += sizeof h;
    }

    void record(const char* tag, std::int32_t timestamp, std::size_t n)
    {
        std::uint8_t h[16] = {};
        std::memcpy(h, tag, 4);
        le32(h + 4, static_cast<std::uint32_t>(n));
        le32(h + 8, static_cast<std::uint32_t>(timestamp));
        std::fwrite(h, 1, sizeof h, file);
        std::fwrite(payload.data(), 1, n, file);
        bytes += 16 + n;
        ++records;
    }

    // A NAL unit of `n` bytes behind a four-byte start code.
    void video(std::int32_t timestamp, std::uint8_t nalHeader, std::size_t n)
    {
        payload.resize(n);
        const std::uint8_t start[5] = {0, 0, 0, 1, nalHeader};
        std::memcpy(payload.data(), start, n < 5 ? n : 5);
        for (std::size_t i = 5; i < n; ++i) payload[i] = static_cast<std::uint8_t>(nextRandom());
        record("HXVF", timestamp, n);
    }

    void audio(std::int32_t timestamp, std::size_t samples)
    {
        payload.resize(4 + samples);
        const std::uint8_t prefix[4] = {0, 1, 0xA0, 0};
        std::memcpy(payload.data(), prefix, 4);
        for (std::size_t i = 0; i < samples; ++i)
            payload[4 + i] = static_cast<std::uint8_t>(nextRandom());
        record("HXAF", timestamp, 4 + samples);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s typical|tiny OUT BYTES\n", argv[0]);
        return 2;
    }
    const std::string kind = argv[1];
    const std::uint64_t target = std::strtoull(argv[3], nullptr, 10);
    Writer w;
    w.file = std::fopen(argv[2], "wb");
    if (w.file == nullptr) return 1;
    static char buffer[1 << 20];
    std::setvbuf(w.file, buffer, _IOFBF, sizeof buffer);
    w.header(0);
    const std::int32_t base = 1'000'000;
    if (kind == "typical") {
        for (std::int32_t frame = 0; w.bytes < target; ++frame) {
            const std::int32_t t = base + frame * 40;
            if (frame % 50 == 0) {
                w.video(t, 0x67, 20);
                w.video(t, 0x68, 9);
                w.video(t, 0x65, 58'000 + nextRandom() % 4'000);
            } else {
                w.video(t, 0x41, 4'096 + nextRandom() % 8'193);
            }
            w.audio(t, 320);
        }
    } else if (kind == "tiny") {
        for (std::int32_t i = 0; w.bytes < target; ++i) {
            const std::int32_t t = base + i * 20;
            if (i % 2 == 0) {
                w.video(t, 0x41, 8 + nextRandom() % 5);
            } else {
                w.audio(t, 8 + nextRandom() % 5);
            }
        }
    } else {
        std::fprintf(stderr, "unknown kind %s\n", kind.c_str());
        return 2;
    }
    w.record("HXFI", 0, 0);
    if (std::fclose(w.file) != 0) return 1;
    std::printf("%llu\n", static_cast<unsigned long long>(w.records));
    return 0;
}
