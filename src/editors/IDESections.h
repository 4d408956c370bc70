#pragma once

#include "RecordSection.h"

#include <span>

// The sections the IDE editor lists, in the order of its section choice: OBJS, TOBJ, PATH,
// 2DFX.
std::span<const RecordSection> ideSections();
