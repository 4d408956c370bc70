#include "DefinitionLookup.h"

#include "TGTAFileList.h"
#include "TGTASInst.h"
#include "TIDEFile.h"
#include "TextParser.h"

#include <algorithm>

bool timedObjectOn(int timeOn, int timeOff, int hour)
{
    if (timeOn < timeOff)
        return timeOn <= hour && hour < timeOff;
    if (timeOff < timeOn)
        return hour >= timeOn || hour < timeOff;
    return false;
}

std::string preferredIDEName(std::string_view iplFileName)
{
    // Only a dot after the last folder separator starts an extension.
    const std::size_t separator = iplFileName.find_last_of("\\/");
    const std::size_t dot = iplFileName.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
    std::string name(hasExtension ? iplFileName.substr(0, dot) : iplFileName);
    name += ".IDE";
    return name;
}

DefinitionLookup::DefinitionLookup(const TGTAFileList& files, int iplFile) : m_files(files), m_iplFile(iplFile) {}

void DefinitionLookup::forgetOtherHour(TGTASInstObj& record, int hour)
{
    if (record.DefHour != -1 && record.DefHour != hour) {
        record.DefFile = -1;
        record.DefIndex = -1;
    }
}

TGTASObjsObj* DefinitionLookup::resolve(TGTASInstObj& record, int hour)
{
    if (TGTASObjsObj* definition = cached(record))
        return definition;
    record.DefFile = record.DefIndex = record.DefHour = -1;
    return lookUp(record, hour);
}

TGTASObjsObj* DefinitionLookup::cached(const TGTASInstObj& record) const
{
    if (record.DefFile == -1 || record.DefIndex == -1 || record.DefFile >= m_files.Count())
        return nullptr;
    TIDEFile* ide = m_files.IDEFile(record.DefFile);
    if (!ide)
        return nullptr;
    if (record.DefHour == -1) {
        if (ide->Objs.IsValidIndex(record.DefIndex) && ide->Objs.Items[record.DefIndex].ID == record.ID)
            return &ide->Objs.Items[record.DefIndex];
    } else if (ide->TObj.IsValidIndex(record.DefIndex) && ide->TObj.Items[record.DefIndex].ID == record.ID) {
        return &ide->TObj.Items[record.DefIndex];
    }
    return nullptr;
}

TGTASObjsObj* DefinitionLookup::lookUp(TGTASInstObj& record, int hour)
{
    for (const int file : searchOrder()) {
        TIDEFile& ide = *m_files.IDEFile(file);
        auto& objs = ide.Objs.Items;
        if (!objs.empty()) {
            int found = -1;
            if (ide.Objs.IDIndex) {
                const std::vector<int>& index = *ide.Objs.IDIndex;
                // Positions in the index may be stale after an edit; those are passed over.
                auto valid = [&](int pos) { return pos >= 0 && pos < static_cast<int>(objs.size()); };
                auto at = std::lower_bound(index.begin(), index.end(), record.ID, [&](int pos, int id) {
                    return valid(pos) && objs[static_cast<std::size_t>(pos)].ID < id;
                });
                if (at != index.end() && valid(*at) && objs[static_cast<std::size_t>(*at)].ID == record.ID) {
                    const int arrayIndex = objs[static_cast<std::size_t>(*at)].ArrayIndex;
                    if (ide.Objs.IsValidIndex(arrayIndex) && objs[static_cast<std::size_t>(arrayIndex)].ID == record.ID)
                        found = arrayIndex;
                }
            } else {
                for (std::size_t pos = 0; pos < objs.size(); ++pos)
                    if (objs[pos].ID == record.ID) {
                        found = static_cast<int>(pos);
                        break;
                    }
            }
            if (found != -1) {
                record.DefFile = file;
                record.DefIndex = found;
                record.DefHour = -1;
                return &objs[static_cast<std::size_t>(found)];
            }
        }
        auto& timed = ide.TObj.Items;
        for (std::size_t pos = 0; pos < timed.size(); ++pos) {
            if (timed[pos].ID == record.ID && timedObjectOn(timed[pos].TimeOn, timed[pos].TimeOff, hour)) {
                record.DefFile = file;
                record.DefIndex = static_cast<int>(pos);
                record.DefHour = hour;
                return &timed[pos];
            }
        }
    }
    return nullptr;
}

const std::vector<int>& DefinitionLookup::searchOrder()
{
    if (m_orderBuilt)
        return m_order;
    m_orderBuilt = true;
    const TGTASFile* ipl = m_files.File(m_iplFile);
    const std::string preferred = ipl ? preferredIDEName(ipl->FileName) : std::string();
    std::vector<int> others;
    for (int pos = 0; pos < m_files.Count(); ++pos) {
        const TIDEFile* ide = m_files.IDEFile(pos);
        if (!ide)
            continue;
        if (ipl && equalsIgnoringCase(ide->FileName, preferred))
            m_order.push_back(pos);
        else
            others.push_back(pos);
    }
    m_order.insert(m_order.end(), others.begin(), others.end());
    return m_order;
}
