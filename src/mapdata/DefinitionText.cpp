#include "DefinitionText.h"

int readDefinitionColumns(LineColumns& columns, TGTASObjsObj& record, bool strict, int timeColumns)
{
    record.ModelIndex = -1;
    record.TextureIndex = -1;
    record.ArrayIndex = 0;
    record.ID = columns.lenientInt(1, -1);
    record.ModelName = columns.text(2);
    record.TextureName = columns.text(3);
    record.MeshCount = strict ? columns.strictInt(4) : columns.lenientInt(4, 1);

    int distances = 1;
    if ((record.MeshCount == 2 || record.MeshCount == 3) && columns.count() == 5 + record.MeshCount + timeColumns)
        distances = record.MeshCount;

    auto distanceAt = [&](int column) {
        return strict ? columns.strictFloat(column) : columns.lenientFloat(column, 100.0f);
    };
    record.DrawDistance = distanceAt(5);
    record.ExtraDrawDistances.clear();
    for (int extra = 1; extra < distances; ++extra)
        record.ExtraDrawDistances.push_back(distanceAt(5 + extra));

    const int flagsColumn = 5 + distances;
    record.Flags = strict ? columns.strictInt(flagsColumn) : columns.lenientInt(flagsColumn, 0);
    return flagsColumn + 1;
}

void writeDefinitionColumns(LineWriter& writer, const TGTASObjsObj& record)
{
    writer.integer(record.ID).text(record.ModelName).text(record.TextureName).integer(record.MeshCount);
    writer.longFloat(record.DrawDistance);
    // Only a line whose distances match its mesh count reads back with the same flags.
    if (record.ExtraDrawDistances.size() + 1 == static_cast<std::size_t>(record.MeshCount)) {
        for (float distance : record.ExtraDrawDistances)
            writer.longFloat(distance);
    }
    writer.integer(record.Flags);
}
