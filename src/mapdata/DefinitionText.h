#pragma once

#include "RecordText.h"
#include "TGTASDefinitions.h"

// The columns shared by objs and tobj lines: ID, model, texture dictionary, mesh count,
// draw distance(s) and flags. Lines with two or three meshes may carry one draw distance
// per mesh, which real definition files do; those are kept so the line is written back whole.

// Reads the shared columns; returns the column after Flags. timeColumns is the number of
// columns a line of this kind carries after Flags (0 for objs, 2 for tobj). With strict set,
// every number column after the names must be a number or the line is rejected.
int readDefinitionColumns(LineColumns& columns, TGTASObjsObj& record, bool strict, int timeColumns);

void writeDefinitionColumns(LineWriter& writer, const TGTASObjsObj& record);
