#pragma once

#include "SectionCode.h"
#include "TGTASFile.h"

#include <array>

// What the 3D view hands picks and drags to: the item editor, which owns the selection.
// The view sends PickedInst for an inst record picked alone and SeveralInst for one added
// to the several-instance selection.
class SelectionTarget {
public:
    virtual ~SelectionTarget() = default;
    virtual void SelectRecord(FileKind kind, SectionCode section, int record, int file) = 0;
    // The single record's position, or the average position of several instances.
    virtual std::array<float, 3> GetSelectionCentre() const = 0;
    virtual void MoveSelection(float dx, float dy, float dz) = 0;
    // The drag that moved the selection was let go.
    virtual void MoveFinished() {}
};
