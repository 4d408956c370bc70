#pragma once

#include "RecordSection.h"

#include <span>

// The sections the IPL editor lists, in the order of its section choice: INST, CULL, ZONE,
// PATH, OCCL.
std::span<const RecordSection> iplSections();
