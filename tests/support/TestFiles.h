#pragma once

#include "ProgramSettings.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <unistd.h>

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quoxtest-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& relative) const { return (m_path / relative).string(); }

private:
    std::filesystem::path m_path;
};

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Binary file contents as the text writeFile takes.
inline std::string bytesText(const std::vector<std::uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Sets the program-wide game directory and mode for one test and restores them after.
class GameSettingsScope {
public:
    GameSettingsScope(const std::string& gameDir, bool viceCity) : m_saved(programSettings())
    {
        programSettings().GameDir = gameDir;
        programSettings().IsViceCity = viceCity;
    }
    ~GameSettingsScope() { programSettings() = m_saved; }
    GameSettingsScope(const GameSettingsScope&) = delete;
    GameSettingsScope& operator=(const GameSettingsScope&) = delete;

private:
    ProgramSettings m_saved;
};
