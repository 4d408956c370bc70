#include "PickHits.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

TEST(PickHitsMath, NearestMinimumDepthWinsComparedUnsigned)
{
    // A depth with the top bit set is far, not negative.
    const Words buffer{3, 0x90000000u, 0x90000000u, 0, 0, 7,
                       3, 0x10000000u, 0x20000000u, 2, 0, 4,
                       2, 0x30000000u, 0x30000000u, 2, 2};
    const auto hit = nearestPickHit(buffer, 3);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->file, 2u);
    EXPECT_EQ(hit->kind, 0u);
    EXPECT_EQ(hit->record, 4u);
}

TEST(PickHitsMath, FirstOfEqualDepthsStaysAndKindsWithoutRecords)
{
    const Words buffer{2, 500, 900, 1, 2, 3, 500, 600, 1, 0, 9};
    const auto hit = nearestPickHit(buffer, 2);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->file, 1u);
    EXPECT_EQ(hit->kind, 2u);
    EXPECT_EQ(hit->record, 0xFFFFFFFFu);
}

TEST(PickHitsMath, FarthestDepthIsNeverChosen)
{
    EXPECT_FALSE(nearestPickHit(Words{3, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0, 1}, 1));
    const auto hit = nearestPickHit(Words{3, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0, 1, 2, 0xFFFFFFFEu, 0xFFFFFFFFu, 0, 3}, 2);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->kind, 3u);
}

TEST(PickHitsMath, RecordsBeyondTheBufferAreNotRead)
{
    // The count claims more hits and names than the buffer holds.
    EXPECT_FALSE(nearestPickHit(Words{3, 10, 20, 0}, 1));
    EXPECT_FALSE(nearestPickHit(Words{2, 10}, 5));
    const auto hit = nearestPickHit(Words{2, 50, 60, 4, 1, 200, 1, 2, 0}, 2);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->file, 4u);
    // Fewer than two names: nothing to act on.
    EXPECT_FALSE(nearestPickHit(Words{1, 5, 6, 0}, 1));
    EXPECT_FALSE(nearestPickHit(Words{}, 0));
}

} // namespace
