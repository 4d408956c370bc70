#pragma once

#include "GamePaths.h"
#include "ImgWriter.h"
#include "TGTA3Archive.h"
#include "TGTAFileList.h"
#include "TestFiles.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A tiny game installation written to a temporary folder: a DAT file naming the given map
// files (in order, IDE files first), the files under data\maps and an archive with the
// given entry names (each one sector of zeros).
struct SmallGame {
    bool viceCity = true;
    std::vector<std::pair<std::string, std::string>> ide; // file name under data/maps, text
    std::vector<std::pair<std::string, std::string>> ipl;
    std::vector<std::string> entries;
    std::vector<std::string> extraDatLines;
    std::vector<std::pair<std::string, std::string>> unnamed; // map files the DAT file does not name

    std::string write(const TempDir& dir) const
    {
        std::string dat = "# map files\r\n";
        for (const auto& [name, text] : ide) {
            dat += "IDE DATA\\MAPS\\" + name + "\r\n";
            writeFile(dir.file("data/maps/" + name), text);
        }
        for (const auto& [name, text] : ipl) {
            dat += "IPL DATA\\MAPS\\" + name + "\r\n";
            writeFile(dir.file("data/maps/" + name), text);
        }
        for (const auto& [name, text] : unnamed)
            writeFile(dir.file("data/maps/" + name), text);
        for (const std::string& line : extraDatLines)
            dat += line + "\r\n";
        writeFile(dir.file(viceCity ? "data/gta_vc.dat" : "data/gta3.dat"), dat);
        if (viceCity)
            writeFile(dir.file("gta-vc.exe"), "MZ"); // tells the game's mode
        std::filesystem::create_directories(dir.path() / "models");
        std::vector<ImgWriterEntry> archive;
        for (const std::string& name : entries)
            archive.push_back({name, std::vector<std::uint8_t>(16, 0)});
        writeImgArchive(dir.file("models/gta3.img"), archive);
        return withTrailingSeparator(dir.path().string());
    }
};

// A small valid game: two objs, one tobj, three instances that match them.
inline SmallGame validSmallGame(bool viceCity = true)
{
    SmallGame game;
    game.viceCity = viceCity;
    game.ide = {{"town.ide", "objs\r\n100, box, boxtex, 1, 100, 0\r\n101, crate, generic, 1, 100, 0\r\nend\r\n"
                             "tobj\r\n200, lamp, boxtex, 1, 100, 0, 20, 6\r\nend\r\n"}};
    const std::string interior = viceCity ? "0, " : "";
    game.ipl = {{"town.ipl", "inst\r\n100, box, " + interior + "1, 2, 3, 1, 1, 1, 0, 0, 0, 1\r\n101, CRATE, " + interior +
                                 "4, 5, 6, 1, 1, 1, 0, 0, 0, 1\r\n200, lamp, " + interior +
                                 "7, 8, 9, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n"}};
    game.entries = {"box.dff", "boxtex.txd", "crate.dff", "lamp.dff"};
    return game;
}

// Adds a line at the end of the first IPL file's inst section.
inline void addInstance(SmallGame& game, const std::string& line)
{
    std::string& text = game.ipl.front().second;
    text.insert(text.find("end\r\n"), line + "\r\n");
}

// Adds a line at the end of a section ("objs" or "tobj") of the first IDE file.
inline void addDefinition(SmallGame& game, const std::string& section, const std::string& line)
{
    std::string& text = game.ide.front().second;
    text.insert(text.find("end\r\n", text.find(section)), line + "\r\n");
}

// The small game loaded as the editor loads it: DAT, IDE files, IPL files, main archive.
// The program-wide game folder and mode point at it while it lives.
struct LoadedSmallGame {
    TempDir dir;
    std::string gameDir;
    GameSettingsScope settings;
    TGTAFileList files;
    std::unique_ptr<TGTA3Archive> archive;

    explicit LoadedSmallGame(const SmallGame& game)
        : gameDir(game.write(dir)), settings(gameDir, game.viceCity), files(gameDir, game.viceCity)
    {
        files.LoadDat(DatPass::IDE);
        files.LoadDat(DatPass::IPL);
        archive = std::make_unique<TGTA3Archive>(dir.file("models/gta3.img"), false);
    }
};
