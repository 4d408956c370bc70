#include "TGTAS2dfx.h"

#include "RecordText.h"

namespace {

constexpr float TGTAS2dfxObj::*LightFloats[] = {
    &TGTAS2dfxObj::RangeOuter, &TGTAS2dfxObj::SizeLamp, &TGTAS2dfxObj::RangeInner, &TGTAS2dfxObj::SizeCorona};
constexpr uint16_t TGTAS2dfxObj::*LightSwitches[] = {
    &TGTAS2dfxObj::Control, &TGTAS2dfxObj::ReflectionWet, &TGTAS2dfxObj::LensFlare, &TGTAS2dfxObj::Dust};
constexpr float TGTAS2dfxObj::*ParticleRotation[] = {
    &TGTAS2dfxObj::RotX, &TGTAS2dfxObj::RotY, &TGTAS2dfxObj::RotZ, &TGTAS2dfxObj::RotW};
constexpr float TGTAS2dfxObj::*AnimationDirections[] = {
    &TGTAS2dfxObj::Dir1X, &TGTAS2dfxObj::Dir1Y, &TGTAS2dfxObj::Dir1Z,
    &TGTAS2dfxObj::Dir2X, &TGTAS2dfxObj::Dir2Y, &TGTAS2dfxObj::Dir2Z};

} // namespace

bool TGTAS2dfx::ReadLine(std::string_view line)
{
    LineColumns columns(line);
    TGTAS2dfxObj record;
    record.ID = static_cast<uint16_t>(columns.lenientInt(1, -1));
    record.PosX = columns.strictFloat(2);
    record.PosY = columns.strictFloat(3);
    record.PosZ = columns.strictFloat(4);
    record.ColR = static_cast<uint8_t>(columns.strictInt(5));
    record.ColG = static_cast<uint8_t>(columns.strictInt(6));
    record.ColB = static_cast<uint8_t>(columns.strictInt(7));
    record.ViewDistance = static_cast<float>(columns.strictInt(8));
    record.EffectType = columns.strictInt(9);

    int column = 10;
    switch (record.EffectType) {
    case TGTAS2dfxObj::Light:
        record.CoronaTexture = columns.text(column++);
        record.ShadowTexture = columns.text(column++);
        record.Distance = static_cast<uint16_t>(columns.strictInt(column++));
        for (auto field : LightFloats)
            record.*field = columns.strictFloat(column++);
        for (auto field : LightSwitches)
            record.*field = static_cast<uint16_t>(columns.strictInt(column++));
        break;
    case TGTAS2dfxObj::Particle:
        record.ParticleType = static_cast<uint16_t>(columns.strictInt(column++));
        for (auto field : ParticleRotation)
            record.*field = columns.strictFloat(column++);
        break;
    case TGTAS2dfxObj::Animation:
        record.AnimType = static_cast<uint16_t>(columns.strictInt(column++));
        for (auto field : AnimationDirections)
            record.*field = columns.strictFloat(column++);
        break;
    default:
        break;
    }
    if (columns.rejected())
        return false;
    record.Surplus = surplusColumns(columns, column - 1);
    addRecord(std::move(record));
    return true;
}

void TGTAS2dfx::appendRecord(std::string& out, const TGTAS2dfxObj& record) const
{
    LineWriter(out)
        .integer(record.ID)
        .shortFloat(record.PosX)
        .shortFloat(record.PosY)
        .shortFloat(record.PosZ)
        .integer(record.ColR)
        .integer(record.ColG)
        .integer(record.ColB)
        .integer(wholeNumber(record.ViewDistance))
        .integer(record.EffectType);
    // The common part always ends with ", ", also when no typed columns follow.
    out += ", ";
    LineWriter typed(out);
    switch (record.EffectType) {
    case TGTAS2dfxObj::Light:
        typed.text(record.CoronaTexture).text(record.ShadowTexture).integer(record.Distance);
        for (auto field : LightFloats)
            typed.shortFloat(record.*field);
        for (auto field : LightSwitches)
            typed.integer(record.*field);
        break;
    case TGTAS2dfxObj::Particle:
        typed.integer(record.ParticleType);
        for (auto field : ParticleRotation)
            typed.shortFloat(record.*field);
        break;
    case TGTAS2dfxObj::Animation:
        typed.integer(record.AnimType);
        for (auto field : AnimationDirections)
            typed.shortFloat(record.*field);
        break;
    default:
        break;
    }
    typed.surplus(record.Surplus);
}

int TGTAS2dfx::NewRecord()
{
    TGTAS2dfxObj record;
    record.ColR = record.ColG = record.ColB = 255;
    record.ViewDistance = 200;
    record.EffectType = TGTAS2dfxObj::Light;
    record.CoronaTexture = "\"coronastar\"";
    record.ShadowTexture = "\"shad_exp\"";
    record.Distance = 100;
    record.RangeOuter = 8;
    record.SizeLamp = 1;
    record.SizeCorona = 40;
    record.RotW = 1;
    record.Dir1Y = 1;
    record.Dir2Y = 1;
    return addNewRecord(std::move(record));
}
