#include "support/recording_builder.h"

#include <cassert>

Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

void appendLe32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes nalUnit(std::uint8_t header, std::size_t bodyBytes)
{
    static std::uint8_t filler = 0x10;
    Bytes out{0, 0, 0, 1, header};
    for (std::size_t i = 0; i < bodyBytes; ++i) out.push_back(filler++);
    return out;
}

Bytes audioPayload(const Bytes& samples)
{
    return concat({Bytes{0x00, 0x01, 0xA0, 0x00}, samples});
}

RecordingBuilder::RecordingBuilder(std::string_view fileTag, std::int32_t duration)
{
    assert(fileTag.size() == 4);
    bytes_ = bytesOf(fileTag);
    appendLe32(bytes_, 0);
    appendLe32(bytes_, static_cast<std::uint32_t>(duration));
    appendLe32(bytes_, 0);
}

RecordingBuilder& RecordingBuilder::record(std::string_view tag, std::int32_t length,
                                           std::int32_t timestamp, const Bytes& payload)
{
    assert(tag.size() == 4);
    bytes_.insert(bytes_.end(), tag.begin(), tag.end());
    appendLe32(bytes_, static_cast<std::uint32_t>(length));
    appendLe32(bytes_, static_cast<std::uint32_t>(timestamp));
    appendLe32(bytes_, 0);
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
}

RecordingBuilder& RecordingBuilder::video(std::int32_t timestamp, const Bytes& payload)
{
    return record("HXVF", static_cast<std::int32_t>(payload.size()), timestamp, payload);
}

RecordingBuilder& RecordingBuilder::audio(std::int32_t timestamp, const Bytes& payload)
{
    return record("HXAF", static_cast<std::int32_t>(payload.size()), timestamp, payload);
}

RecordingBuilder& RecordingBuilder::end()
{
    return record("HXFI", 0, 0, {});
}

RecordingBuilder& RecordingBuilder::raw(const Bytes& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
