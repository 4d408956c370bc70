#include "TGTASTObj.h"

#include "DefinitionText.h"

bool TGTASTObj::ReadLine(std::string_view line)
{
    LineColumns columns(line);
    TGTASTObjObj record;
    const int timeColumn = readDefinitionColumns(columns, record, true, 2);
    record.TimeOn = columns.strictInt(timeColumn);
    record.TimeOff = columns.strictInt(timeColumn + 1);
    record.Surplus = surplusColumns(columns, timeColumn + 1);
    if (columns.rejected())
        return false;
    ResolveTexture(addRecord(std::move(record)));
    return true;
}

void TGTASTObj::appendRecord(std::string& out, const TGTASTObjObj& record) const
{
    LineWriter writer(out);
    writeDefinitionColumns(writer, record);
    writer.integer(record.TimeOn).integer(record.TimeOff).surplus(record.Surplus);
}

int TGTASTObj::NewRecord()
{
    TGTASTObjObj record;
    record.ID = nextFreeID();
    record.TimeOn = 6;
    record.TimeOff = 19;
    return addNewRecord(std::move(record));
}
