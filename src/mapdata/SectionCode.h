#pragma once

// The section of a selected record, shared by the 3D view, the item editor and the IPL and
// IDE editors. IPL sections: Inst, Path, Cull, Zone, Occl; IDE sections: Objs, TObj, Path,
// Fx2d (Path is both games' path groups, told apart by the file kind). SeveralInst adds an
// inst record to the several-instance selection; PickedInst is an inst record picked alone
// in the 3D view. The numbers are the codes the windows have always exchanged.
enum class SectionCode : int {
    Inst = 0,
    Objs = 1,
    TObj = 2,
    Path = 3,
    Fx2d = 4,
    Cull = 5,
    Zone = 6,
    Occl = 7,
    SeveralInst = 10,
    PickedInst = 11,
};

// What the 3D view shows of the selection.
enum class SelectionState : int { Nothing = 0, One = 1, Several = 2 };
