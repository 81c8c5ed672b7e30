#pragma once

// Builds recordings in memory, one (tag, length, timestamp, payload) record
// at a time, so that each test shows exactly the bytes it is about.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text);
Bytes concat(std::initializer_list<Bytes> parts);
void appendLe32(Bytes& out, std::uint32_t value);

// A NAL unit behind a four-byte start code: 00 00 00 01, `header`, then
// `bodyBytes` filler bytes that differ from record to record.
Bytes nalUnit(std::uint8_t header, std::size_t bodyBytes = 3);

// An audio payload: a four-byte prefix, then the samples.
Bytes audioPayload(const Bytes& samples);

class RecordingBuilder {
   public:
    explicit RecordingBuilder(std::string_view fileTag = "HXVS", std::int32_t duration = 0);

    // A record whose length field is given separately from its payload, so
    // that damaged lengths can be written too.
    RecordingBuilder& record(std::string_view tag, std::int32_t length, std::int32_t timestamp,
                             const Bytes& payload);
    RecordingBuilder& video(std::int32_t timestamp, const Bytes& payload);
    RecordingBuilder& audio(std::int32_t timestamp, const Bytes& payload);
    RecordingBuilder& end();
    RecordingBuilder& raw(const Bytes& bytes);

    const Bytes& bytes() const { return bytes_; }

   private:
    Bytes bytes_;
};
