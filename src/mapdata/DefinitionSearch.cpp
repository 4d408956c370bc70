#include "DefinitionSearch.h"

#include "TGTAFileList.h"
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
    const std::size_t separator = iplFileName.find_last_of("\\/:");
    const std::size_t dot = iplFileName.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
    std::string name(hasExtension ? iplFileName.substr(0, dot) : iplFileName);
    name += ".IDE";
    return name;
}

void DefinitionIDIndex::reset()
{
    for (FileEntries& file : m_files)
        file.built = false;
}

DefinitionIDIndex::FileEntries& DefinitionIDIndex::entries(const TGTAFileList& files, int file)
{
    if (static_cast<std::size_t>(file) >= m_files.size())
        m_files.resize(std::max(static_cast<std::size_t>(files.Count()), static_cast<std::size_t>(file) + 1));
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

DefinitionSearch::DefinitionSearch(const TGTAFileList& files, std::string_view iplFileName, DefinitionIDIndex* index)
    : m_files(files), m_iplFileName(iplFileName), m_index(index)
{
}

void DefinitionSearch::buildOrder()
{
    if (m_orderBuilt)
        return;
    m_orderBuilt = true;
    const std::string preferred = preferredIDEName(m_iplFileName);
    std::vector<int> others;
    for (int pos = 0; pos < m_files.Count(); ++pos) {
        const TIDEFile* ide = m_files.IDEFile(pos);
        if (!ide)
            continue;
        if (!m_iplFileName.empty() && equalsIgnoringCase(ide->FileName, preferred))
            m_order.push_back(pos);
        else
            others.push_back(pos);
    }
    m_preferredCount = m_order.size();
    m_order.insert(m_order.end(), others.begin(), others.end());
}

DefinitionFound DefinitionSearch::find(int id, int hour)
{
    buildOrder();
    for (const int file : m_order)
        if (DefinitionFound found = findInFile(file, id, hour))
            return found;
    return {};
}

DefinitionFound DefinitionSearch::findPreferred(int id, int hour)
{
    buildOrder();
    for (std::size_t at = 0; at < m_preferredCount; ++at)
        if (DefinitionFound found = findInFile(m_order[at], id, hour))
            return found;
    return {};
}

DefinitionFound DefinitionSearch::findInFile(int file, int id, int hour)
{
    TIDEFile& ide = *m_files.IDEFile(file);
    auto& objs = ide.Objs.Items;
    if (!objs.empty()) {
        int found = -1;
        if (ide.Objs.IDIndex) {
            const std::vector<int>& index = *ide.Objs.IDIndex;
            // Positions in the index may be stale after an edit; those are passed over.
            auto valid = [&](int pos) { return pos >= 0 && pos < static_cast<int>(objs.size()); };
            auto at = std::lower_bound(index.begin(), index.end(), id, [&](int pos, int wanted) {
                return valid(pos) && objs[static_cast<std::size_t>(pos)].ID < wanted;
            });
            if (at != index.end() && valid(*at) && objs[static_cast<std::size_t>(*at)].ID == id) {
                const int arrayIndex = objs[static_cast<std::size_t>(*at)].ArrayIndex;
                if (ide.Objs.IsValidIndex(arrayIndex) && objs[static_cast<std::size_t>(arrayIndex)].ID == id)
                    found = arrayIndex;
            }
        } else if (m_index) {
            const auto& sorted = m_index->objs(m_files, file);
            auto at = std::lower_bound(sorted.begin(), sorted.end(), std::pair{id, -1});
            if (at != sorted.end() && at->first == id)
                found = at->second;
        } else {
            for (std::size_t pos = 0; pos < objs.size(); ++pos)
                if (objs[pos].ID == id) {
                    found = static_cast<int>(pos);
                    break;
                }
        }
        if (found != -1)
            return {file, found, false, &objs[static_cast<std::size_t>(found)]};
    }
    auto& timed = ide.TObj.Items;
    auto there = [&](std::size_t pos) {
        return hour == AnyHour || timedObjectOn(timed[pos].TimeOn, timed[pos].TimeOff, hour);
    };
    if (m_index && !timed.empty()) {
        const auto& sorted = m_index->timed(m_files, file);
        for (auto at = std::lower_bound(sorted.begin(), sorted.end(), std::pair{id, -1});
             at != sorted.end() && at->first == id; ++at) {
            const auto pos = static_cast<std::size_t>(at->second);
            if (there(pos))
                return {file, static_cast<int>(pos), true, &timed[pos]};
        }
    } else {
        for (std::size_t pos = 0; pos < timed.size(); ++pos)
            if (timed[pos].ID == id && there(pos))
                return {file, static_cast<int>(pos), true, &timed[pos]};
    }
    return {};
}
