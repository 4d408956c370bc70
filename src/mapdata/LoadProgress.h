#pragma once

#include <string_view>

// Progress of a long operation, shown by the loading window. The core reports through
// this; the windows implement it. Every operation does nothing by default.
class LoadProgress {
public:
    virtual ~LoadProgress() = default;
    virtual void SetOverallMax(int) {}
    virtual void SetPartMax(int) {}
    virtual void StepOverall() {}
    virtual void StepPart() {}
    virtual void SetCurrentText(std::string_view) {}
    virtual void SetPartText(std::string_view) {}
    virtual void ResetPart() {}
    virtual void ResetOverall() {}
};
