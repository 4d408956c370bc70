#include "TGTASObjs.h"

#include "DefinitionText.h"

bool TGTASObjs::ReadLine(std::string_view line)
{
    LineColumns columns(line);
    TGTASObjsObj record;
    record.Surplus = surplusColumns(columns, readDefinitionColumns(columns, record, false, 0) - 1);
    ResolveTexture(addRecord(std::move(record)));
    return true;
}

void TGTASObjs::appendRecord(std::string& out, const TGTASObjsObj& record) const
{
    LineWriter writer(out);
    writeDefinitionColumns(writer, record);
    writer.surplus(record.Surplus);
}

int TGTASObjs::NewRecord()
{
    TGTASObjsObj record;
    record.ID = nextFreeID();
    return addNewRecord(std::move(record));
}
