#pragma once

#include <string_view>

// What definition containers ask of the game they belong to: the highest definition ID
// over all loaded IDE files (for new records) and the archive set's texture dictionary
// lookup (for ResolveTexture). The game file list answers both; a container outside
// any list answers from itself and finds no dictionaries.
class DefinitionContext {
public:
    virtual ~DefinitionContext() = default;
    virtual int HighestID() const = 0;
    // Index of the texture dictionary of that name in the archive set, or -1.
    virtual int FindTextureDictionary(std::string_view name) const = 0;
};
