#include "IPLSections.h"

#include "NumberText.h"
#include "TIPLFile.h"

#include <type_traits>

namespace {

const TIPLFile& ipl(const TGTASFile& file)
{
    return static_cast<const TIPLFile&>(file);
}

TIPLFile& ipl(TGTASFile& file)
{
    return static_cast<TIPLFile&>(file);
}

QString numberText(int value)
{
    return QString::number(value);
}

QString nameText(const std::string& name)
{
    return QString::fromStdString(name);
}

// "(x, y, z)" with three decimals each.
QString pointText(float x, float y, float z)
{
    return QString::fromStdString("(" + fixedFloatText(x, 3) + ", " + fixedFloatText(y, 3) + ", " + fixedFloatText(z, 3)
                                  + ")");
}

QString pathGroupText(uint16_t groupType)
{
    switch (groupType) {
    case 0: return QStringLiteral("Pedestrian");
    case 1: return QStringLiteral("Vehicle");
    case 2: return QStringLiteral("Boat");
    default: return {};
    }
}

int byRecord(const TGTASFile&, int a, int b)
{
    return compareValues(a, b);
}

// A copy of the record appended to its section; an instance's definition is looked up again.
template <auto Section>
int duplicateRecord(TGTASFile& file, int record)
{
    auto& section = ipl(file).*Section;
    auto copy = section.Items[static_cast<size_t>(record)];
    if constexpr (std::is_same_v<decltype(copy), TGTASInstObj>)
        copy.DefFile = copy.DefIndex = copy.DefHour = -1;
    const int pos = section.NewRecord();
    section.Items[static_cast<size_t>(pos)] = std::move(copy);
    return pos;
}

template <auto Section>
int newRecord(TGTASFile& file, const std::array<float, 3>&)
{
    return (ipl(file).*Section).NewRecord();
}

template <auto Section>
void deleteRecord(TGTASFile& file, int record)
{
    (ipl(file).*Section).DeleteRecord(record);
}

template <auto Section>
int recordCount(const TGTASFile& file)
{
    return (ipl(file).*Section).Count();
}

template <auto Section>
const auto& item(const TGTASFile& file, int record)
{
    return (ipl(file).*Section).Items[static_cast<size_t>(record)];
}

const RecordSection Sections[] = {
    {SectionCode::Inst, "INST", recordCount<&TIPLFile::Inst>,
     [](const TGTASFile& f, int r, int) { return numberText(item<&TIPLFile::Inst>(f, r).ID); },
     [](const TGTASFile& f, int r) { return nameText(item<&TIPLFile::Inst>(f, r).ModelName); },
     {[](const TGTASFile& f, int a, int b) {
          return compareValues(item<&TIPLFile::Inst>(f, a).ID, item<&TIPLFile::Inst>(f, b).ID);
      },
      [](const TGTASFile& f, int a, int b) {
          return compareIgnoringCase(item<&TIPLFile::Inst>(f, a).ModelName, item<&TIPLFile::Inst>(f, b).ModelName);
      }},
     [](TGTASFile& f, const std::array<float, 3>& target) {
         return ipl(f).Inst.NewRecordAt(target[0], target[1], target[2]);
     },
     duplicateRecord<&TIPLFile::Inst>, deleteRecord<&TIPLFile::Inst>},
    {SectionCode::Cull, "CULL", recordCount<&TIPLFile::Cull>, [](const TGTASFile&, int r, int) { return numberText(r); },
     [](const TGTASFile& f, int r) {
         const TGTASCullObj& cull = item<&TIPLFile::Cull>(f, r);
         return pointText(cull.Pos1X, cull.Pos1Y, cull.Pos1Z);
     },
     {byRecord, byRecord}, newRecord<&TIPLFile::Cull>, duplicateRecord<&TIPLFile::Cull>,
     deleteRecord<&TIPLFile::Cull>},
    {SectionCode::Zone, "ZONE", recordCount<&TIPLFile::Zone>, [](const TGTASFile&, int r, int) { return numberText(r); },
     [](const TGTASFile& f, int r) { return nameText(item<&TIPLFile::Zone>(f, r).Name); },
     {byRecord,
      [](const TGTASFile& f, int a, int b) {
          return compareIgnoringCase(item<&TIPLFile::Zone>(f, a).Name, item<&TIPLFile::Zone>(f, b).Name);
      }},
     newRecord<&TIPLFile::Zone>, duplicateRecord<&TIPLFile::Zone>, deleteRecord<&TIPLFile::Zone>},
    {SectionCode::Path, "PATH", recordCount<&TIPLFile::Path>,
     [](const TGTASFile& f, int r, int) { return pathGroupText(item<&TIPLFile::Path>(f, r).GroupType); },
     [](const TGTASFile& f, int r) { return numberText(item<&TIPLFile::Path>(f, r).Other); },
     {[](const TGTASFile& f, int a, int b) {
          return compareValues(item<&TIPLFile::Path>(f, a).GroupType, item<&TIPLFile::Path>(f, b).GroupType);
      },
      [](const TGTASFile& f, int a, int b) {
          return compareValues(item<&TIPLFile::Path>(f, a).Other, item<&TIPLFile::Path>(f, b).Other);
      }},
     newRecord<&TIPLFile::Path>, nullptr, deleteRecord<&TIPLFile::Path>},
    // Occluders are listed only: they are neither added, duplicated, deleted nor reordered here.
    {SectionCode::Occl, "OCCL", recordCount<&TIPLFile::Occl>, [](const TGTASFile&, int, int row) { return numberText(row); },
     [](const TGTASFile& f, int r) {
         const TGTASOccluObj& occluder = item<&TIPLFile::Occl>(f, r);
         return pointText(occluder.U1, occluder.U2, occluder.U3);
     },
     {nullptr, nullptr}, nullptr, nullptr, nullptr},
};

}

std::span<const RecordSection> iplSections()
{
    return Sections;
}
