#pragma once

#include <string>

// What the IPL and IDE editors ask of the DAT editor when a map file is created, opened,
// closed or deleted: add or remove the DAT line that names it. `name` is the file's name
// relative to the game directory, in the games' form. The DAT file itself is not saved.
class DatReferences {
public:
    virtual ~DatReferences() = default;
    virtual void AddIDEReference(const std::string& name) = 0;
    virtual void AddIPLReference(const std::string& name) = 0;
    // False when no line names the file (nothing changed).
    virtual bool RemoveIDEReference(const std::string& name) = 0;
    virtual bool RemoveIPLReference(const std::string& name) = 0;
};
