#pragma once

#include "ProgramSettings.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir()
    {
        static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        std::random_device seed;
        std::mt19937 random(seed());
        std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            std::string name = "quoxtest-";
            for (int i = 0; i < 6; ++i)
                name += letters[pick(random)];
            std::error_code error;
            if (std::filesystem::create_directory(base / name, error))
                m_path = base / name;
        }
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
