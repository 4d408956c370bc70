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

void FrameIDIndex::reset()
{
    for (FileEntries& file : m_files)
        file.built = false;
}

FrameIDIndex::FileEntries& FrameIDIndex::entries(const TGTAFileList& files, int file)
{
    if (static_cast<std::size_t>(file) >= m_files.size())
        m_files.resize(static_cast<std::size_t>(files.Count()));
    FileEntries& entries = m_files[static_cast<std::size_t>(file)];
    if (entries.built)
        return entries;
    entries.built = true;
    entries.objs.clear();
    entries.timed.clear();
    if (const TIDEFile* ide = files.IDEFile(file)) {
        auto fill = [](Entries& into, const auto& items) {
            into.reserve(items.size());
            for (std::size_t pos = 0; pos < items.size(); ++pos)
                into.emplace_back(items[pos].ID, static_cast<int>(pos));
            std::stable_sort(into.begin(), into.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        };
        fill(entries.objs, ide->Objs.Items);
        fill(entries.timed, ide->TObj.Items);
    }
    return entries;
}

DefinitionLookup::DefinitionLookup(const TGTAFileList& files, int iplFile, FrameIDIndex* index)
    : m_files(files), m_iplFile(iplFile), m_index(index)
{
}

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
            } else if (m_index) {
                const auto& sorted = m_index->objs(m_files, file);
                auto at = std::lower_bound(sorted.begin(), sorted.end(), std::pair{record.ID, -1});
                if (at != sorted.end() && at->first == record.ID)
                    found = at->second;
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
        auto take = [&](std::size_t pos) {
            record.DefFile = file;
            record.DefIndex = static_cast<int>(pos);
            record.DefHour = hour;
            return &timed[pos];
        };
        if (m_index && !timed.empty()) {
            const auto& sorted = m_index->timed(m_files, file);
            for (auto at = std::lower_bound(sorted.begin(), sorted.end(), std::pair{record.ID, -1});
                 at != sorted.end() && at->first == record.ID; ++at) {
                const auto pos = static_cast<std::size_t>(at->second);
                if (timedObjectOn(timed[pos].TimeOn, timed[pos].TimeOff, hour))
                    return take(pos);
            }
        } else {
            for (std::size_t pos = 0; pos < timed.size(); ++pos)
                if (timed[pos].ID == record.ID && timedObjectOn(timed[pos].TimeOn, timed[pos].TimeOff, hour))
                    return take(pos);
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
