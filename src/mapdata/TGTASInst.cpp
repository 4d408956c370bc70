#include "TGTASInst.h"

#include "NumberText.h"
#include "RecordText.h"
#include "VarnParser.h"

#include <iterator>
#include <span>

namespace {

constexpr float TGTASInstObj::*FloatFields[] = {
    &TGTASInstObj::PosX,   &TGTASInstObj::PosY,   &TGTASInstObj::PosZ, &TGTASInstObj::ScaleX,
    &TGTASInstObj::ScaleY, &TGTASInstObj::ScaleZ, &TGTASInstObj::RotX, &TGTASInstObj::RotY,
    &TGTASInstObj::RotZ,   &TGTASInstObj::RotW,
};

constexpr int FloatFieldCount = static_cast<int>(std::size(FloatFields));

// Whether every number column of the split line is a number, in either form of the line.
bool numbersAreWhole(std::span<const std::string_view> tokens)
{
    const int count = static_cast<int>(tokens.size());
    if (count < 2 + FloatFieldCount || !strictInt(tokens[0]))
        return false;
    int next = 2;
    if (count == 3 + FloatFieldCount && !strictInt(tokens[next++]))
        return false;
    for (int field = 0; field < FloatFieldCount; ++field) {
        if (!strictFloat(tokens[static_cast<std::size_t>(next++)]))
            return false;
    }
    return true;
}

} // namespace

// Inst lines are split into tokens (commas and/or blanks separate) rather than columns.
// Exactly 13 tokens is the Vice City form; so a 12-column line ending in a comma is too.
bool TGTASInst::ReadLine(std::string_view line)
{
    SplitLine(line);
    const std::span<const std::string_view> tokens = Tokens();
    if (Strict && !numbersAreWhole(tokens))
        return false;
    const int count = static_cast<int>(tokens.size());
    // A missing token reads as empty text; TokenAt also logs it.
    const auto token = [&](int index) { return index < count ? tokens[static_cast<std::size_t>(index)] : TokenAt(index); };
    TGTASInstObj record;
    record.ID = lenientInt(token(0), -1);
    record.ModelName.assign(token(1));
    int next = 2;
    if (count == 13) {
        record.HasInterior = true;
        record.Interior = lenientInt(token(2), -1);
        next = 3;
    }
    for (auto field : FloatFields)
        record.*field = lenientFloat(token(next++), 0.0f);
    if (next < count) {
        // Kept as comma text, so that a quoted token is written back as one token.
        std::string surplus = commaTextField(token(next++));
        for (; next < count; ++next) {
            surplus += ", ";
            surplus += commaTextField(token(next));
        }
        record.Surplus = surplus;
    }
    addRecord(std::move(record));
    return true;
}

void TGTASInst::appendRecord(std::string& out, const TGTASInstObj& record) const
{
    LineWriter writer(out);
    // A name read from a quoted token (blanks, commas, quotes) is written quoted again.
    writer.integer(record.ID).text(commaTextField(record.ModelName));
    if (record.HasInterior)
        writer.integer(record.Interior);
    for (auto field : FloatFields)
        writer.shortFloat(record.*field);
    writer.surplus(record.Surplus);
}

int TGTASInst::NewRecord()
{
    TGTASInstObj record;
    record.HasInterior = ViceCity;
    return addNewRecord(std::move(record));
}

int TGTASInst::NewRecordAt(float x, float y, float z)
{
    const int pos = NewRecord();
    TGTASInstObj& record = Items[pos];
    record.PosX = x;
    record.PosY = y;
    record.PosZ = z;
    return pos;
}
