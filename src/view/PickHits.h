#pragma once

// Reading the selection buffer of a pick pass. Each hit record is: name count, minimum
// depth, maximum depth, then the names (file index, kind, and for instances the record).

#include <cstdint>
#include <optional>
#include <span>

enum class PickKind : std::uint32_t { Instance = 0, Path = 1, Zone = 2, Cull = 3, Occluder = 4 };

struct PickHit {
    std::uint32_t file = 0;
    std::uint32_t kind = 0;
    std::uint32_t record = 0xFFFFFFFFu; // set for instances
};

// The hit with the smallest minimum depth, compared unsigned; the first of equals. A depth
// of 0xFFFFFFFF never counts. Records are read only as far as `buffer` holds them; a record
// with fewer than two names gives nothing when it is the nearest.
std::optional<PickHit> nearestPickHit(std::span<const std::uint32_t> buffer, int hitCount);
