#include "PickHits.h"

std::optional<PickHit> nearestPickHit(std::span<const std::uint32_t> buffer, int hitCount)
{
    std::size_t at = 0;
    std::optional<std::size_t> chosen;
    std::uint32_t chosenDepth = 0xFFFFFFFFu;
    for (int hit = 0; hit < hitCount; ++hit) {
        if (buffer.size() - at < 3)
            break;
        const std::uint32_t names = buffer[at];
        if (names > buffer.size() - at - 3)
            break;
        const std::uint32_t minDepth = buffer[at + 1];
        if (minDepth < chosenDepth) {
            chosenDepth = minDepth;
            chosen = at;
        }
        at += 3 + names;
    }
    if (!chosen)
        return std::nullopt;
    const std::uint32_t names = buffer[*chosen];
    if (names < 2)
        return std::nullopt;
    PickHit result;
    result.file = buffer[*chosen + 3];
    result.kind = buffer[*chosen + 4];
    if (names >= 3)
        result.record = buffer[*chosen + 5];
    return result;
}
