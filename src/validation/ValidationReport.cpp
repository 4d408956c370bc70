#include "ValidationReport.h"

std::string ValidationFinding::line() const
{
    return fix.empty() ? text : text + " -> " + fix;
}

std::string ValidationReport::modeText() const
{
    return viceCity ? "Vice City Mode" : "GTA 3 Mode";
}

std::string ValidationReport::resultText() const
{
    std::string text = errors > 0 ? "ERROR: " + std::to_string(errors) + " Errors Found!" : "SUCCESS: No Errors Found!";
    if (warnings > 0)
        text += " (" + std::to_string(warnings) + " Warnings)";
    return text;
}

std::vector<std::string> ValidationReport::lines() const
{
    std::vector<std::string> result;
    result.reserve(sections.size() + findings.size());
    std::size_t next = 0;
    for (const ValidationSectionRow& section : sections) {
        result.push_back(section.heading);
        // Findings are kept in run order, so each section's lines follow one another.
        while (next < findings.size() && findings[next].section == section.caption)
            result.push_back(findings[next++].line());
    }
    return result;
}
