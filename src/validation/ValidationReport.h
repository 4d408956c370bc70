#pragma once

#include <string>
#include <vector>

enum class FindingSeverity { Error, Warning };

// One line of the report: what was found where, and the repair made, if any.
struct ValidationFinding {
    std::string section; // the section row it belongs to
    std::string check;   // the check row that found it
    FindingSeverity severity = FindingSeverity::Error;
    std::string file;    // map file (or archive entry) it concerns
    int id = -1;         // definition or instance ID, -1 when none
    std::string model;
    std::string text;    // the report line as found
    std::string fix;     // the note of the repair, empty when none was made
    int lineNumber = 0;  // 1-based line of its record (or DAT line) in `file` as read, 0 when none
    bool inArchive = false; // `file` names an entry of the main archive, not a file of the game folder

    // The line as the report shows it: the text, and " -> " and the note after a repair.
    std::string line() const;
};

struct ValidationCheckRow {
    std::string caption;
    int count = 0; // findings of this check, warnings included
};

struct ValidationSectionRow {
    std::string caption; // the status row
    std::string heading; // the report's heading line
    std::vector<ValidationCheckRow> checks;
};

// The outcome of one validation run as data: the window's rows and lines, the command
// line's lines and its JSON are all made from this, so they cannot disagree.
struct ValidationReport {
    bool viceCity = true;
    std::vector<ValidationSectionRow> sections;
    std::vector<ValidationFinding> findings;
    int errors = 0;
    int warnings = 0;

    // "Vice City Mode" or "GTA 3 Mode".
    std::string modeText() const;
    // "ERROR: n Errors Found!" or "SUCCESS: No Errors Found!", with " (n Warnings)" after.
    std::string resultText() const;
    // Every section's heading followed by its findings' lines, in run order.
    std::vector<std::string> lines() const;
};
