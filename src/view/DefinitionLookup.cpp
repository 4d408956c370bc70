#include "DefinitionLookup.h"

#include "TGTAFileList.h"
#include "TGTASInst.h"
#include "TIDEFile.h"

DefinitionLookup::DefinitionLookup(const TGTAFileList& files, int iplFile, FrameIDIndex* index)
    : m_files(files), m_search(files, files.File(iplFile) ? files.File(iplFile)->FileName : std::string(), index)
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
    const DefinitionFound found = m_search.find(record.ID, hour);
    if (!found)
        return nullptr;
    record.DefFile = found.file;
    record.DefIndex = found.index;
    record.DefHour = found.timed ? hour : -1;
    return found.record;
}
