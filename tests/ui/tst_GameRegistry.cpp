#include "EnvironmentScope.h"
#include "GameRegistry.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

TEST(GameRegistry, ReadingFindsWhatWritingWroteUnderEachKey)
{
    TempDir dir;
    const EnvironmentScope registry("QUOX_REGISTRY_FILE", QByteArray::fromStdString(dir.file("registry.ini")));

    EXPECT_EQ(GameRegistry::readPath(GameRegistry::ViceCityKey), QString());
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::ViceCityKey, QStringLiteral("/games/Vice City, mod/")));
    EXPECT_EQ(GameRegistry::readPath(GameRegistry::ViceCityKey), QStringLiteral("/games/Vice City, mod/"));
    EXPECT_EQ(GameRegistry::readPath(GameRegistry::GTA3Key), QString());

    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::GTA3Key, QStringLiteral("C:\\Games\\GTA3")));
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::ViceCityKey, QStringLiteral("/games/vc/")));
    EXPECT_EQ(GameRegistry::readPath(GameRegistry::GTA3Key), QStringLiteral("C:\\Games\\GTA3"));
    EXPECT_EQ(GameRegistry::readPath(GameRegistry::ViceCityKey), QStringLiteral("/games/vc/"));

    // The keys are kept apart in the file, under their own names.
    const std::string ini = readFile(dir.file("registry.ini"));
    EXPECT_NE(ini.find("GTAIII"), std::string::npos);
    EXPECT_NE(ini.find("Vice"), std::string::npos);
}

TEST(GameRegistry, AnUnwritableLocationIsReportedAndReadsAsEmpty)
{
    TempDir dir;
    writeFile(dir.file("plain-file"), "not a folder");
    const EnvironmentScope registry("QUOX_REGISTRY_FILE",
                                    QByteArray::fromStdString(dir.file("plain-file/quoxmapper/registry.ini")));
    EXPECT_FALSE(GameRegistry::writePath(GameRegistry::GTA3Key, QStringLiteral("/games/gta3/")));
    EXPECT_EQ(GameRegistry::readPath(GameRegistry::GTA3Key), QString());
}
