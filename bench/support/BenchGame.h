#pragma once

#include "DemoGame.h"

#include <cstdio>
#include <filesystem>
#include <string>

// The game a benchmark runs on: the folder named on its command line, else the large demo
// game written afresh into a temporary folder, removed again when the benchmark ends.
class BenchGame {
public:
    BenchGame(int argc, char** argv, const char* temporaryName)
    {
        if (argc > 1) {
            m_folder = argv[1];
            return;
        }
        m_folder = std::filesystem::temp_directory_path() / temporaryName;
        std::filesystem::remove_all(m_folder);
        m_temporary = true;
        std::string error;
        if (writeDemoGame(m_folder.string(), DemoGameOptions{true, true}, error) != 0) {
            std::fprintf(stderr, "cannot write the demo game: %s\n", error.c_str());
            m_ready = false;
        }
    }
    ~BenchGame()
    {
        if (m_temporary) {
            std::error_code ignored;
            std::filesystem::remove_all(m_folder, ignored);
        }
    }
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;

    bool ready() const { return m_ready; }
    const std::filesystem::path& folder() const { return m_folder; }
    // The folder as the program's game folder, ending with a separator.
    std::string gameDir() const { return (m_folder / "").string(); }

private:
    std::filesystem::path m_folder;
    bool m_temporary = false;
    bool m_ready = true;
};
