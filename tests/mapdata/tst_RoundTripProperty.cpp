#include "RandomMapRecords.h"

#include <gtest/gtest.h>

namespace {

// Writes random records, reads the text back and writes it again: the text must not change.
template <typename Container, typename Make>
void expectStableText(Make make, int count)
{
    Container written;
    for (int i = 0; i < count; ++i)
        written.Items.push_back(make());
    for (int pos = 0; pos < count; ++pos) {
        const std::string first = written.WriteLine(pos);
        Container read;
        ASSERT_TRUE(read.ReadLine(first.substr(0, first.find('\r')))) << first;
        // Path groups: the node lines follow the header, each after CR LF TAB.
        for (size_t at = first.find("\r\n\t"); at != std::string::npos; at = first.find("\r\n\t", at + 3)) {
            const size_t end = first.find('\r', at + 3);
            if constexpr (std::is_base_of_v<TGTASNodeLines, Container>)
                read.AddNodeLine(0, first.substr(at + 3, end == std::string::npos ? end : end - at - 3));
        }
        ASSERT_EQ(read.WriteLine(0), first);
    }
}

class RoundTrip : public testing::TestWithParam<RandomMapRecords::Floats> {};

TEST_P(RoundTrip, EveryRecordKindWritesTheSameTextAgain)
{
    RandomMapRecords random(7, GetParam());
    constexpr int Count = 3000;
    expectStableText<TGTASInst>([&] { return random.inst(random.integer(0, 1) == 1); }, Count);
    expectStableText<TGTASCull>([&] { return random.cull(); }, Count);
    expectStableText<TGTASZone>([&] { return random.zone(); }, Count);
    expectStableText<TGTASOcclu>([&] { return random.occl(); }, Count);
    expectStableText<TGTASPathIPL>([&] { return random.pathIPL(); }, Count);
    expectStableText<TGTASObjs>([&] { return random.objs(); }, Count);
    expectStableText<TGTASTObj>([&] { return random.tobj(); }, Count);
    expectStableText<TGTASPath>([&] { return random.path(); }, Count);
    expectStableText<TGTAS2dfx>([&] { return random.fx2d(); }, Count);
}

TEST_P(RoundTrip, WholeFilesWriteTheSameTextAgain)
{
    RandomMapRecords random(11, GetParam());
    TIPLFile ipl;
    random.fillIPL(ipl, 500, 100);
    ipl.UnknownSections.push_back({{"cars", "\t1, 2, 3", "end"}, true});
    ipl.UnknownSections.push_back({{"pick"}, false});
    TIPLFile iplAgain;
    iplAgain.ReadText(ipl.SaveText());
    EXPECT_EQ(iplAgain.SaveText(), ipl.SaveText());
    EXPECT_EQ(iplAgain.NormalFormText(), ipl.NormalFormText());
    EXPECT_EQ(ipl.SaveText(), ipl.NormalFormText()) << "records created, not read, are written in normal form";
    EXPECT_EQ(iplAgain.Inst.Count(), 500);
    EXPECT_EQ(iplAgain.UnknownSections.size(), 2u);

    TIDEFile ide;
    random.fillIDE(ide, 500, 100);
    TIDEFile ideAgain;
    ideAgain.ReadText(ide.SaveText());
    EXPECT_EQ(ideAgain.SaveText(), ide.SaveText());
    EXPECT_EQ(ideAgain.NormalFormText(), ide.NormalFormText());
    EXPECT_EQ(ideAgain.TObj.Count(), 500);
}

INSTANTIATE_TEST_SUITE_P(Floats, RoundTrip,
                         testing::Values(RandomMapRecords::Floats::AnyFinite, RandomMapRecords::Floats::MapLike));

} // namespace
