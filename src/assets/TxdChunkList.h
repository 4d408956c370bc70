#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A texture dictionary held as the chunks it was read from, for adding, replacing, removing
// and renaming textures: every chunk not changed (other textures, the dictionary's extension,
// chunks of unknown kinds, bytes after the dictionary) is written back byte for byte.
class TxdChunkList {
public:
    // Reads the dictionary's chunk framing; an empty string when it can be changed, else why
    // not (not a dictionary, a chunk running past the end, a console dictionary, a texture
    // too short to hold its name).
    std::string read(std::span<const std::uint8_t> bytes);
    std::vector<std::uint8_t> write() const;

    // The dictionary chunk's version stamp, which new textures take too.
    std::uint32_t stamp() const { return m_stamp; }
    std::vector<std::string> textureNames() const;
    // Position among the textures of the one named `name` in any letter case, or -1.
    int findTexture(std::string_view name) const;
    // A texture native chunk with this name: replaces the texture of the same name where it
    // stands, else goes after the last texture.
    void putTexture(const std::string& name, std::vector<std::uint8_t> nativeChunk);
    bool removeTexture(std::string_view name);
    // Changes only the name field of the texture's native chunk.
    bool renameTexture(std::string_view oldName, const std::string& newName);

private:
    struct Chunk {
        bool texture = false;
        std::string name; // of a texture
        std::vector<std::uint8_t> bytes;
    };
    std::size_t textureSlot(int textureIndex) const;

    std::uint32_t m_stamp = 0;
    std::vector<std::uint8_t> m_struct; // the dictionary's struct chunk; its count is set on writing
    std::vector<Chunk> m_chunks;        // the children after the struct, in file order
    std::vector<std::uint8_t> m_after;  // bytes after the dictionary chunk (archive padding)
};
