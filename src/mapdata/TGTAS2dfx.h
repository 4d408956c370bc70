#pragma once

#include "SparseText.h"
#include "TGTASContainer.h"

#include <cstdint>
#include <string>

// A 2D effect attached to a definition. Columns 1 to 9 are common; the columns after
// them depend on EffectType. Every record holds the fields of every type.
struct TGTAS2dfxObj {
    enum EffectTypes { Light = 0, Particle = 1, Unknown = 2, Animation = 3, Reflection = 4 };

    uint16_t ID = 0;
    float PosX = 0, PosY = 0, PosZ = 0;
    uint8_t ColR = 0, ColG = 0, ColB = 0;
    float ViewDistance = 0; // a whole number, an integer in the text
    int32_t EffectType = Light;
    // Light
    std::string CoronaTexture; // kept with its double quotes
    std::string ShadowTexture; // kept with its double quotes
    uint16_t Distance = 0;
    float RangeOuter = 0, SizeLamp = 0, RangeInner = 0, SizeCorona = 0;
    uint16_t Control = 0, ReflectionWet = 0, LensFlare = 0, Dust = 0;
    // Particle
    uint16_t ParticleType = 0;
    float RotX = 0, RotY = 0, RotZ = 0, RotW = 0;
    // Animation
    uint16_t AnimType = 0;
    float Dir1X = 0, Dir1Y = 0, Dir1Z = 0, Dir2X = 0, Dir2Y = 0, Dir2Z = 0;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    bool operator==(const TGTAS2dfxObj&) const = default;
};

class TGTAS2dfx : public TGTASRecords<TGTAS2dfxObj> {
public:
    bool ReadLine(std::string_view line) override;
    int NewRecord();

protected:
    void appendRecord(std::string& out, const TGTAS2dfxObj& record) const override;
};
