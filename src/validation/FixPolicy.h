#pragma once

#include <string>

// What a validation run may change. Repairs (model names, interiors, mesh counts) are safe
// to make on any folder; deleting the placements whose definition is missing is not: a mod
// folder checked without its base game's definitions would lose most of its map. So
// deletions are made only when asked for, and a repairing run that keeps such a placement
// says so on its line.
struct FixPolicy {
    bool repairs = false;
    bool deletions = false; // only with repairs
    // The records are repaired in memory as a real run would, so the report is the same,
    // but no file is saved.
    bool dryRun = false;
    // The note on the line of a placement a repairing run keeps.
    std::string keptNote = "(not deleted)";

    static FixPolicy checkOnly() { return {}; }
    static FixPolicy repairsOnly() { return {true, false, false, "(not deleted)"}; }
    static FixPolicy withDeletions() { return {true, true, false, "(not deleted)"}; }

    bool savesFiles() const { return repairs && !dryRun; }
};

// The editor asks before a run that would delete more placements than this.
constexpr int DeletionsWithoutQuestion = 20;
