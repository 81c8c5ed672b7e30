#include "support/recording_writer.h"

#include <algorithm>

namespace {

constexpr std::int32_t kAudioRecordMs = 40;

bool isSlice(std::uint8_t type)
{
    return type == 1 || type == 5;
}

bool opensAccessUnit(std::uint8_t type)
{
    return type == 6 || type == 7 || type == 8 || type == 9 || (type >= 14 && type <= 18);
}

}  // namespace

std::vector<Bytes> splitAnnexB(const Bytes& s)
{
    std::vector<Bytes> units;
    std::size_t i = 0;
    std::size_t start = SIZE_MAX;
    while (i + 3 <= s.size()) {
        if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1) {
            if (start != SIZE_MAX) {
                std::size_t end = i;
                // A four-byte start code's leading zero belongs to it, not to the unit.
                while (end > start && s[end - 1] == 0) --end;
                units.emplace_back(s.begin() + static_cast<std::ptrdiff_t>(start),
                                   s.begin() + static_cast<std::ptrdiff_t>(end));
            }
            i += 3;
            start = i;
        } else {
            ++i;
        }
    }
    if (start != SIZE_MAX && start < s.size()) {
        units.emplace_back(s.begin() + static_cast<std::ptrdiff_t>(start), s.end());
    }
    return units;
}

std::vector<std::vector<Bytes>> groupIntoPictures(const std::vector<Bytes>& nalUnits)
{
    std::vector<std::vector<Bytes>> pictures;
    bool haveSlice = false;
    for (const Bytes& unit : nalUnits) {
        if (unit.empty()) continue;
        const std::uint8_t type = unit[0] & 0x1F;
        // first_mb_in_slice is the first Exp-Golomb field: a leading 1 bit means 0.
        const bool firstSliceOfPicture = isSlice(type) && unit.size() > 1 && (unit[1] & 0x80) != 0;
        if (pictures.empty() || (haveSlice && (opensAccessUnit(type) || firstSliceOfPicture))) {
            pictures.emplace_back();
            haveSlice = false;
        }
        pictures.back().push_back(unit);
        if (isSlice(type)) haveSlice = true;
    }
    return pictures;
}

Bytes writeRecording(const Bytes& annexB, const Bytes& alaw, const RecordingPlan& plan)
{
    const auto pictures = groupIntoPictures(splitAnnexB(annexB));
    auto pictureTime = [&](std::size_t i) {
        if (i < plan.frameTimes.size()) return plan.frameTimes[i];
        const std::int32_t last = plan.frameTimes.empty() ? -40 : plan.frameTimes.back();
        return last + static_cast<std::int32_t>(i + 1 - plan.frameTimes.size()) * 40;
    };
    const std::size_t audioRecords =
        (alaw.size() + plan.samplesPerAudioRecord - 1) / plan.samplesPerAudioRecord;
    const std::int32_t videoEnd = pictures.empty() ? 0 : pictureTime(pictures.size() - 1) + 40;
    const std::int32_t audioEnd = static_cast<std::int32_t>(audioRecords) * kAudioRecordMs;

    RecordingBuilder recording("HXVS", std::max(videoEnd, audioEnd));
    std::size_t nextAudio = 0;
    auto audioUpTo = [&](std::int64_t time) {
        while (nextAudio < audioRecords &&
               static_cast<std::int64_t>(nextAudio) * kAudioRecordMs <= time) {
            const std::size_t from = nextAudio * plan.samplesPerAudioRecord;
            const std::size_t to = std::min(alaw.size(), from + plan.samplesPerAudioRecord);
            const Bytes samples(alaw.begin() + static_cast<std::ptrdiff_t>(from),
                                alaw.begin() + static_cast<std::ptrdiff_t>(to));
            recording.audio(
                plan.baseTimestamp + static_cast<std::int32_t>(nextAudio) * kAudioRecordMs,
                audioPayload(samples));
            ++nextAudio;
        }
    };
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::int32_t time = pictureTime(i);
        audioUpTo(time);
        for (const Bytes& unit : pictures[i]) {
            recording.video(plan.baseTimestamp + time, concat({Bytes{0, 0, 0, 1}, unit}));
        }
    }
    audioUpTo(INT64_MAX);
    recording.end();
    return recording.bytes();
}
