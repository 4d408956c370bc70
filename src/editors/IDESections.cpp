#include "IDESections.h"

#include "TIDEFile.h"

namespace {

const TIDEFile& ide(const TGTASFile& file)
{
    return static_cast<const TIDEFile&>(file);
}

TIDEFile& ide(TGTASFile& file)
{
    return static_cast<TIDEFile&>(file);
}

template <auto Section>
int recordCount(const TGTASFile& file)
{
    return (ide(file).*Section).Count();
}

template <auto Section>
const auto& item(const TGTASFile& file, int record)
{
    return (ide(file).*Section).Items[static_cast<size_t>(record)];
}

// An ID index of definitions no longer holds every record, or holds stale positions.
template <typename Section>
void dropIDIndex(Section& section)
{
    if constexpr (requires { section.DropIDIndex(); })
        section.DropIDIndex();
}

template <auto Section>
int newRecord(TGTASFile& file, const std::array<float, 3>&)
{
    auto& section = ide(file).*Section;
    dropIDIndex(section);
    return section.NewRecord();
}

template <auto Section>
void deleteRecord(TGTASFile& file, int record)
{
    auto& section = ide(file).*Section;
    section.DeleteRecord(record);
    dropIDIndex(section);
}

// The ID and model name columns and keys of definitions and path groups.
template <auto Section>
QString idText(const TGTASFile& file, int record, int)
{
    // Path groups and effects hold unsigned 16-bit IDs: -1 in the file shows as 65535.
    return QString::number(item<Section>(file, record).ID);
}

template <auto Section>
QString modelText(const TGTASFile& file, int record)
{
    return QString::fromStdString(item<Section>(file, record).ModelName);
}

template <auto Section>
int byID(const TGTASFile& file, int a, int b)
{
    return compareValues(item<Section>(file, a).ID, item<Section>(file, b).ID);
}

template <auto Section>
int byModel(const TGTASFile& file, int a, int b)
{
    return compareIgnoringCase(item<Section>(file, a).ModelName, item<Section>(file, b).ModelName);
}

int byRecord(const TGTASFile&, int a, int b)
{
    return compareValues(a, b);
}

const char* effectSuffix(int32_t effectType)
{
    switch (effectType) {
    case TGTAS2dfxObj::Light: return " - Light";
    case TGTAS2dfxObj::Particle: return " - Particle";
    case TGTAS2dfxObj::Unknown: return " - Unknown";
    case TGTAS2dfxObj::Animation: return " - Animation";
    case TGTAS2dfxObj::Reflection: return " - Reflection";
    default: return "";
    }
}

QString effectText(const TGTASFile& file, int record)
{
    const TGTAS2dfxObj& effect = item<&TIDEFile::Fx2d>(file, record);
    return QString::asprintf("(%d, %d, %d)%s", effect.ColR, effect.ColG, effect.ColB, effectSuffix(effect.EffectType));
}

template <auto Section>
constexpr RecordSection definitionSection(SectionCode code, const char* caption)
{
    return {code,
            caption,
            recordCount<Section>,
            idText<Section>,
            modelText<Section>,
            {byID<Section>, byModel<Section>},
            newRecord<Section>,
            nullptr,
            deleteRecord<Section>};
}

const RecordSection Sections[] = {
    definitionSection<&TIDEFile::Objs>(SectionCode::Objs, "OBJS"),
    definitionSection<&TIDEFile::TObj>(SectionCode::TObj, "TOBJ"),
    definitionSection<&TIDEFile::Path>(SectionCode::Path, "PATH (GTA III)"),
    {SectionCode::Fx2d, "2DFX", recordCount<&TIDEFile::Fx2d>, idText<&TIDEFile::Fx2d>, effectText, {byRecord, byRecord},
     newRecord<&TIDEFile::Fx2d>, nullptr, deleteRecord<&TIDEFile::Fx2d>},
};

}

std::span<const RecordSection> ideSections()
{
    return Sections;
}
