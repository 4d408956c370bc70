// Rules of the scene drawing that need no picture: how a placement's stored rotation turns
// its item, when a timed object is there, and which IDE file an IPL file prefers.
#include "DefinitionLookup.h"
#include "InstanceRotation.h"
#include "TGTAFileList.h"
#include "TGTASInst.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace {

constexpr float Tolerance = 1e-5f;

void expectPoint(const std::array<float, 3>& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual[0], x, Tolerance);
    EXPECT_NEAR(actual[1], y, Tolerance);
    EXPECT_NEAR(actual[2], z, Tolerance);
}

} // namespace

TEST(InstanceRotation, StoredInverseOfATurnAboutZTurnsTheItemForward)
{
    // An item turned 90° counter-clockwise seen from above is stored with the inverse
    // quaternion (0, 0, -sin 45°, cos 45°).
    const float s = std::sqrt(0.5f);
    const auto m = instanceMatrix(100, 200, 5, 0, 0, -s, s);
    expectPoint(placePoint(m, {1, 0, 0}), 100, 201, 5);
    expectPoint(placePoint(m, {0, 1, 0}), 99, 200, 5);
    expectPoint(placePoint(m, {0, 0, 1}), 100, 200, 6);
}

TEST(InstanceRotation, TurnsAboutXAndYAndTheIdentity)
{
    const float s = std::sqrt(0.5f);
    // Stored (-sin 45°, 0, 0, cos 45°): 90° about +x, so +y goes to +z.
    expectPoint(placePoint(instanceMatrix(0, 0, 0, -s, 0, 0, s), {0, 1, 0}), 0, 0, 1);
    // 180° about y: w 0, y -1; the arc sine of -1 is -90°, scaled back to a unit axis.
    expectPoint(placePoint(instanceMatrix(0, 0, 0, 0, -1, 0, 0), {1, 0, 0}), -1, 0, 0);
    expectPoint(placePoint(instanceMatrix(3, 4, 5, 0, 0, 0, 1), {1, 2, 3}), 4, 6, 8);
    expectPoint(placePoint(instanceMatrix(3, 4, 5, 0, 0, 0, -1), {1, 2, 3}), 4, 6, 8);
}

TEST(InstanceRotation, ComponentsRoundedPastOneStillPlaceTheItem)
{
    // Files hold values such as w = 1.0000001 or x = -1.0000002; the item must not vanish.
    const auto m = instanceMatrix(10, 0, 0, 0, 0, 0, 1.0000001f);
    for (float v : m)
        EXPECT_TRUE(std::isfinite(v));
    expectPoint(placePoint(m, {1, 0, 0}), 11, 0, 0);
    const auto turned = instanceMatrix(0, 0, 0, 0, 0, -1.0000002f, 0);
    for (float v : turned)
        EXPECT_TRUE(std::isfinite(v));
    expectPoint(placePoint(turned, {1, 0, 0}), -1, 0, 0);
}

TEST(TimedObject, OnBetweenItsHoursAndAcrossMidnight)
{
    struct Case {
        int on, off, hour;
        bool expected;
    };
    const Case cases[] = {
        {6, 20, 5, false}, {6, 20, 6, true}, {6, 20, 19, true}, {6, 20, 20, false},
        {20, 6, 19, false}, {20, 6, 20, true}, {20, 6, 23, true}, {20, 6, 0, true},
        {20, 6, 5, true}, {20, 6, 6, false}, {20, 6, 12, false}, {7, 7, 7, false},
        {7, 7, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(timedObjectOn(c.on, c.off, c.hour), c.expected) << c.on << ".." << c.off << " at " << c.hour;
}

TEST(PreferredIDE, SameNameWithTheExtensionReplaced)
{
    EXPECT_EQ(preferredIDEName("DATA\\MAPS\\downtown\\downtown.ipl"), "DATA\\MAPS\\downtown\\downtown.IDE");
    EXPECT_EQ(preferredIDEName("data\\maps\\a.b.ipl"), "data\\maps\\a.b.IDE") << "the last dot counts";
    EXPECT_EQ(preferredIDEName("data\\maps.v2\\noext"), "data\\maps.v2\\noext.IDE")
        << "a dot in a folder name is no extension";
    EXPECT_EQ(preferredIDEName("plain"), "plain.IDE");
}

namespace {

// Two IDE files and an IPL file named after the second, with repeated IDs and timed
// objects on at different hours.
struct LookupFiles {
    TGTAFileList files{"", true}; // built in memory: no game folder
    LookupFiles()
    {
        auto ide = [&](const std::string& name, const std::string& text) {
            auto file = std::make_unique<TIDEFile>();
            file->FileName = name;
            file->ReadText(text);
            files.AddFile(std::move(file));
        };
        ide("DATA\\MAPS\\first.ide", "objs\n5, a5, t, 1, 100, 0\n7, a7, t, 1, 100, 0\n5, b5, t, 1, 100, 0\nend\n"
                                     "tobj\n9, n9, t, 1, 100, 0, 20, 6\n9, d9, t, 1, 100, 0, 6, 20\n"
                                     "11, x11, t, 1, 100, 0, 3, 3\nend\n");
        ide("DATA\\MAPS\\second.ide", "objs\n8, c8, t, 1, 100, 0\n7, c7, t, 1, 100, 0\nend\n"
                                      "tobj\n9, e9, t, 1, 100, 0, 0, 24\n12, e12, t, 1, 100, 0, 22, 2\nend\n");
        auto ipl = std::make_unique<TIPLFile>();
        ipl->FileName = "DATA\\MAPS\\SECOND.IPL";
        files.AddFile(std::move(ipl));
    }
};

// What a lookup finds, as the model name of the definition ("" for none) and its file.
std::pair<std::string, int> find(LookupFiles& f, int id, int hour, FrameIDIndex* index)
{
    TGTASInstObj record;
    record.ID = id;
    DefinitionLookup lookup(f.files, 2, index);
    const TGTASObjsObj* definition = lookup.resolve(record, hour);
    return {definition ? definition->ModelName : std::string(), record.DefFile};
}

} // namespace

TEST(DefinitionLookup, SortedIndexesFindWhatTheRecordsInOrderGive)
{
    LookupFiles f;
    EXPECT_EQ(find(f, 7, 12, nullptr), (std::pair<std::string, int>{"c7", 1})) << "the IPL file's own IDE first";
    EXPECT_EQ(find(f, 5, 12, nullptr), (std::pair<std::string, int>{"a5", 0})) << "the first of equal IDs";
    EXPECT_EQ(find(f, 9, 22, nullptr), (std::pair<std::string, int>{"e9", 1}));
    EXPECT_EQ(find(f, 11, 3, nullptr), (std::pair<std::string, int>{"", -1}));

    FrameIDIndex frameIndex;
    for (int pass = 0; pass < 2; ++pass) {
        for (int id = 0; id < 14; ++id)
            for (int hour = 0; hour < 24; ++hour) {
                const auto linear = find(f, id, hour, nullptr);
                EXPECT_EQ(find(f, id, hour, &frameIndex), linear) << "ID " << id << " at " << hour;
            }
        // The ID index of a loading pass gives the same answers.
        for (auto& file : f.files.Files)
            if (auto* ide = dynamic_cast<TIDEFile*>(file.get()))
                ide->Objs.BuildIDIndex();
    }

    // A changed record is seen once the frame's index is reset.
    f.files.IDEFile(1)->TObj.Items[0].ID = 13;
    frameIndex.reset();
    EXPECT_EQ(find(f, 9, 22, &frameIndex), (std::pair<std::string, int>{"n9", 0}));
    EXPECT_EQ(find(f, 9, 12, &frameIndex), (std::pair<std::string, int>{"d9", 0}));
}

TEST(DefinitionLookup, CacheHoldsUntilTheHourOrTheRecordsChange)
{
    LookupFiles f;
    TGTASInstObj record;
    record.ID = 12;
    DefinitionLookup lookup(f.files, 2);
    ASSERT_NE(lookup.resolve(record, 23), nullptr);
    EXPECT_EQ(record.DefHour, 23);
    DefinitionLookup::forgetOtherHour(record, 23);
    EXPECT_EQ(record.DefFile, 1) << "same hour: kept";
    DefinitionLookup::forgetOtherHour(record, 12);
    EXPECT_EQ(record.DefFile, -1);
    EXPECT_EQ(lookup.resolve(record, 12), nullptr);

    record.ID = 8;
    ASSERT_NE(lookup.resolve(record, 12), nullptr);
    EXPECT_EQ(record.DefIndex, 0);
    // The definition moved (a record inserted before it): the cache no longer matches the ID.
    f.files.IDEFile(1)->Objs.Items[0].ID = 99;
    f.files.IDEFile(1)->Objs.Items[1].ID = 8;
    const TGTASObjsObj* moved = lookup.resolve(record, 12);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(record.DefIndex, 1);
    // A cache pointing at an IPL file or past the list is not trusted.
    record.DefFile = 2;
    EXPECT_NE(lookup.resolve(record, 12), nullptr);
    EXPECT_EQ(record.DefFile, 1);
    record.DefFile = 40;
    EXPECT_NE(lookup.resolve(record, 12), nullptr);
    EXPECT_EQ(record.DefFile, 1);
}
