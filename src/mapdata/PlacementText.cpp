#include "PlacementText.h"

#include "TextParser.h"

std::string placementText(const TGTASInst& section, std::span<const int> records)
{
    std::string text;
    for (int record : records) {
        if (!section.IsValidIndex(record))
            continue;
        section.appendLine(text, record);
        text += '\n';
    }
    return text;
}

PlacementLines readPlacementLines(std::string_view text)
{
    PlacementLines read;
    TGTASInst reader;
    reader.Strict = true;
    int lineNumber = 0;
    while (!text.empty() || lineNumber == 0) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::string_view line = TrimText(raw);
        if (line.empty() || line.front() == '#' || equalsIgnoringCase(line, "inst") || equalsIgnoringCase(line, "end"))
            continue;
        if (!reader.ReadLine(line))
            read.rejected.push_back({lineNumber, std::string(line)});
    }
    read.records = std::move(reader.Items);
    return read;
}

int fitInteriorColumn(std::span<TGTASInstObj> records, bool viceCity)
{
    int dropped = 0;
    for (TGTASInstObj& record : records) {
        if (record.HasInterior == viceCity)
            continue;
        if (record.HasInterior && record.Interior != 0)
            ++dropped;
        record.HasInterior = viceCity;
        record.Interior = 0;
    }
    return dropped;
}

std::array<float, 3> placementCentre(std::span<const TGTASInstObj> records)
{
    if (records.empty())
        return {0, 0, 0};
    double sum[3] = {0, 0, 0};
    for (const TGTASInstObj& record : records) {
        sum[0] += record.PosX;
        sum[1] += record.PosY;
        sum[2] += record.PosZ;
    }
    const auto count = static_cast<double>(records.size());
    return {static_cast<float>(sum[0] / count), static_cast<float>(sum[1] / count), static_cast<float>(sum[2] / count)};
}
