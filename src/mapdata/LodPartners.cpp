#include "LodPartners.h"

#include "TGTAFileList.h"
#include "TIDEFile.h"

namespace {

char lowerCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool isLodModelName(std::string_view name)
{
    return name.size() >= 3 && lowerCase(name[0]) == 'l' && lowerCase(name[1]) == 'o' && lowerCase(name[2]) == 'd';
}

std::string lodPairKey(std::string_view name)
{
    if (name.size() <= 3)
        return {};
    std::string key(name.substr(3));
    for (char& c : key)
        c = lowerCase(c);
    return key;
}

LodPartners::LodPartners(const TGTAFileList& files)
{
    auto visit = [this](const TGTASObjsObj& record) {
        std::string key = lodPairKey(record.ModelName);
        if (key.empty())
            return;
        if (isLodModelName(record.ModelName))
            m_lodKeys.insert(std::move(key));
        else
            m_partners.try_emplace(std::move(key), Partner{record.ModelName, record.DrawDistance});
    };
    for (int pos = 0; pos < files.Count(); ++pos) {
        const TIDEFile* ide = files.IDEFile(pos);
        if (!ide)
            continue;
        for (const TGTASObjsObj& record : ide->Objs.Items)
            visit(record);
        for (const TGTASTObjObj& record : ide->TObj.Items)
            visit(record);
    }
}

const LodPartners::Partner* LodPartners::partnerOf(std::string_view lodName) const
{
    if (!isLodModelName(lodName))
        return nullptr;
    const auto it = m_partners.find(lodPairKey(lodName));
    return it != m_partners.end() ? &it->second : nullptr;
}

bool LodPartners::hasLod(std::string_view highDetailName) const
{
    if (isLodModelName(highDetailName))
        return false;
    const std::string key = lodPairKey(highDetailName);
    return !key.empty() && m_lodKeys.count(key) != 0;
}
