#pragma once

#include "TGTASFile.h"

#include <array>

// What the 3D view hands picks and drags to: the item editor, which owns the selection.
// Section codes: 11 an inst record picked alone, 10 an inst record added to the several-
// instance selection (the other codes are the item editor's own business).
class SelectionTarget {
public:
    virtual ~SelectionTarget() = default;
    virtual void SelectRecord(FileKind kind, int section, int record, int file) = 0;
    // The single record's position, or the average position of several instances.
    virtual std::array<float, 3> GetSelectionCentre() const = 0;
    virtual void MoveSelection(float dx, float dy, float dz) = 0;
};
