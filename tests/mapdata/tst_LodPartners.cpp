// The games' pairing of LOD definitions with their buildings, by name from the fourth
// character on, on definitions read from real IDE files.
#include "GamePaths.h"
#include "LodPartners.h"
#include "TGTAFileList.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(LodPartners, PairByNameFromTheFourthCharacterWithoutRegardToCase)
{
    TempDir dir;
    writeFile(dir.file("data/maps/a.ide"), "objs\r\n"
                                            "1, gtw_cs_gird, t, 1, 150, 0\r\n"
                                            "2, LOD_cs_gird, t, 1, 1200, 0\r\n"
                                            "3, LCC_TREEPATCH18, t, 1, 90, 0\r\n"
                                            "4, lod_treepatch18, t, 1, 500, 0\r\n"
                                            "5, aaa_barn, t, 2, 120, 60, 0\r\n"
                                            "6, abc, t, 1, 50, 0\r\n"
                                            "7, LOD, t, 1, 500, 0\r\n"
                                            "8, abcx, t, 1, 70, 0\r\n"
                                            "9, LODx, t, 1, 700, 0\r\n"
                                            "10, LOD_alone, t, 1, 900, 0\r\n"
                                            "11, lod_alone, t, 1, 900, 0\r\n"
                                            "end\r\n");
    writeFile(dir.file("data/maps/b.ide"), "objs\r\n"
                                            "20, bbb_barn, t, 1, 250, 0\r\n"
                                            "21, LOD_barn, t, 1, 800, 0\r\n"
                                            "end\r\n"
                                            "tobj\r\n"
                                            "22, ccc_mill, t, 1, 110, 0, 6, 20\r\n"
                                            "end\r\n"
                                            "objs\r\n"
                                            "23, LODc_mill, t, 1, 600, 0\r\n"
                                            "end\r\n");
    writeFile(dir.file("data/gta_vc.dat"), "IDE DATA\\MAPS\\a.ide\r\nIDE DATA\\MAPS\\b.ide\r\n");
    TGTAFileList files(withTrailingSeparator(dir.path().string()), true);
    ASSERT_EQ(files.LoadDat(DatPass::IDE), 0);
    const LodPartners partners(files);

    struct Case {
        const char* lod;
        const char* partner; // null: none
        float distance;
    };
    const Case cases[] = {
        {"LOD_cs_gird", "gtw_cs_gird", 150},
        {"lOd_Cs_GiRd", "gtw_cs_gird", 150},         // any letter case in the asking name too
        {"lod_treepatch18", "LCC_TREEPATCH18", 90},
        {"LOD_barn", "aaa_barn", 120},               // two candidates: the first in file-list order,
                                                     // by the first of its two draw distances
        {"LODc_mill", nullptr, 0},                   // "c_mill" is not "_mill"
        {"LOD_mill", "ccc_mill", 110},               // a timed building is a partner too
        {"LOD", nullptr, 0},                         // three characters pair with nothing
        {"LODx", "abcx", 70},                        // four are enough
        {"LOD_alone", nullptr, 0},                   // LODs never partner each other
        {"gtw_cs_gird", nullptr, 0},                 // a building has no partner of its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lod);
        const LodPartners::Partner* partner = partners.partnerOf(c.lod);
        ASSERT_EQ(partner != nullptr, c.partner != nullptr);
        if (partner) {
            EXPECT_EQ(partner->modelName, c.partner);
            EXPECT_EQ(partner->drawDistance, c.distance);
        }
    }
    for (const char* building : {"gtw_cs_gird", "GTW_CS_GIRD", "LCC_treepatch18", "bbb_barn", "abcx"})
        EXPECT_TRUE(partners.hasLod(building)) << building;
    for (const char* other : {"abc", "ccc_mill", "zzz_none", "LOD_cs_gird", "x"})
        EXPECT_FALSE(partners.hasLod(other)) << other;
}

} // namespace
