#include "InGameDistances.h"

#include "LodPartners.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"

#include <bit>
#include <string>

namespace {

// FNV-1a: cheap enough to run over every definition each frame the choice is on.
struct Fingerprint {
    std::uint64_t value = 14695981039346656037ull;
    void add(std::uint64_t word)
    {
        for (int i = 0; i < 8; ++i) {
            value ^= (word >> (8 * i)) & 0xFF;
            value *= 1099511628211ull;
        }
    }
    void add(const std::string& text)
    {
        for (const char c : text) {
            value ^= static_cast<unsigned char>(c);
            value *= 1099511628211ull;
        }
        add(text.size());
    }
};

template <typename Records>
void addRecords(Fingerprint& print, const Records& records)
{
    print.add(records.size());
    for (const auto& record : records) {
        print.add(static_cast<std::uint64_t>(static_cast<std::uint32_t>(record.ID)));
        print.add(std::bit_cast<std::uint32_t>(record.DrawDistance));
        print.add(record.ModelName);
    }
}

template <typename Records>
std::vector<InGameDistances::Reach> reaches(const Records& records, const LodPartners& partners)
{
    std::vector<InGameDistances::Reach> table;
    table.reserve(records.size());
    for (const auto& record : records) {
        InGameDistances::Reach reach{record.DrawDistance, -1};
        if (const LodPartners::Partner* partner = partners.partnerOf(record.ModelName))
            reach.swap = partner->drawDistance;
        table.push_back(reach);
    }
    return table;
}

} // namespace

std::uint64_t InGameDistances::fingerprint(const TGTAFileList& files)
{
    Fingerprint print;
    print.add(static_cast<std::uint64_t>(files.Count()));
    for (int pos = 0; pos < files.Count(); ++pos) {
        const TIDEFile* ide = files.IDEFile(pos);
        print.add(ide ? 1u : 0u);
        if (!ide)
            continue;
        addRecords(print, ide->Objs.Items);
        addRecords(print, ide->TObj.Items);
    }
    return print.value;
}

bool InGameDistances::refresh(const TGTAFileList& files)
{
    const std::uint64_t now = fingerprint(files);
    if (m_built && now == m_fingerprint)
        return false;
    const LodPartners partners(files);
    m_objs.assign(static_cast<std::size_t>(files.Count()), {});
    m_tobj.assign(static_cast<std::size_t>(files.Count()), {});
    for (int pos = 0; pos < files.Count(); ++pos) {
        if (const TIDEFile* ide = files.IDEFile(pos)) {
            m_objs[static_cast<std::size_t>(pos)] = reaches(ide->Objs.Items, partners);
            m_tobj[static_cast<std::size_t>(pos)] = reaches(ide->TObj.Items, partners);
        }
    }
    m_fingerprint = now;
    m_built = true;
    return true;
}

const InGameDistances::Reach* InGameDistances::reachOf(int ideFile, bool timed, int index) const
{
    const auto& byFile = timed ? m_tobj : m_objs;
    if (ideFile < 0 || static_cast<std::size_t>(ideFile) >= byFile.size())
        return nullptr;
    const std::vector<Reach>& records = byFile[static_cast<std::size_t>(ideFile)];
    if (index < 0 || static_cast<std::size_t>(index) >= records.size())
        return nullptr;
    return &records[static_cast<std::size_t>(index)];
}

bool InGameDistances::drawn(const Reach& reach, float distanceSquared, float scale)
{
    const float draw = reach.draw * scale;
    if (distanceSquared > draw * draw)
        return false;
    if (reach.swap < 0)
        return true;
    const float swap = reach.swap * scale;
    return distanceSquared > swap * swap;
}
