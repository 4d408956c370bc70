#include "CliCommands.h"

#include "CliFiles.h"

#include "EntryNames.h"
#include "RwChunk.h"
#include "SystemFiles.h"
#include "TGTA3Archive.h"
#include "TxdDecoder.h"
#include "TxdExport.h"
#include "TxdPixelFormat.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

nlohmann::ordered_json texturesJson(const TxdDecodeResult& decoded)
{
    nlohmann::ordered_json textures = nlohmann::ordered_json::array();
    for (const TxdDecodedTexture& entry : decoded.Textures) {
        const TTexture& t = entry.Texture;
        nlohmann::ordered_json texture;
        texture["name"] = t.Name;
        texture["mask"] = t.MaskName;
        texture["width"] = t.Width;
        texture["height"] = t.Height;
        texture["depth"] = t.Depth;
        texture["levels"] = t.Levels;
        if (t.Platform == TxdPlatform::Direct3D9) {
            // Where Direct3D 8 has its alpha flag and compression byte, these have a format
            // code and a flags byte.
            texture["platform"] = t.Platform;
            if (dxtNumberOfD3DFormat(t.D3DFormat) != 0)
                texture["d3dFormat"] = std::string(reinterpret_cast<const char*>(&t.D3DFormat), 4);
            else
                texture["d3dFormat"] = t.D3DFormat;
            texture["alpha"] = (t.D3DFlags & D3DFlags::Alpha) != 0;
            texture["cubeMap"] = (t.D3DFlags & D3DFlags::CubeMap) != 0;
            texture["autoMipLevels"] = (t.D3DFlags & D3DFlags::AutoMipLevels) != 0;
            texture["compressed"] = (t.D3DFlags & D3DFlags::Compressed) != 0;
        } else {
            texture["compression"] = t.Compression;
            texture["hasAlpha"] = t.HasAlpha;
        }
        texture["rasterFormat"] = t.RasterFormat;
        // What the pixels are read as: the compression byte or format code wins over the
        // depth and raster format.
        texture["format"] = txdPixelFormatName(txdPixelFormat(t), t.RasterFormat);
        textures.push_back(std::move(texture));
    }
    nlohmann::ordered_json result;
    result["textures"] = std::move(textures);
    if (!decoded.Error.empty())
        result["error"] = decoded.Error;
    return result;
}

// Lists the textures of a dictionary. A dictionary read only in part prints what was read
// with an "error" member saying what was not, and exits 1; a file that is no dictionary at
// all exits 2.
int info(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes, err))
        return ExitUnreadable;
    const TxdDecodeResult decoded = decodeTxd(bytes);
    if (decoded.Console) {
        err << "quoxmapper-cli: " << path << ": a console (PS2) texture dictionary, whose textures are not read\n";
        return ExitUnreadable;
    }
    const bool notADictionary = bytes.size() < RwChunkHeaderSize || bytes[0] != RwChunkType::TextureDictionary ||
                                bytes[1] != 0 || bytes[2] != 0 || bytes[3] != 0;
    if (!decoded.Error.empty() && notADictionary) {
        err << "quoxmapper-cli: " << path << ": " << decoded.Error << '\n';
        return ExitUnreadable;
    }
    // Names are bytes from the file: anything that is not UTF-8 is shown replaced.
    out << texturesJson(decoded).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    if (!decoded.Error.empty()) {
        err << "quoxmapper-cli: " << path << ": " << decoded.Error << '\n';
        return ExitCheckFailed;
    }
    return ExitOk;
}

// Writes every texture's top level as NAME.png into the folder and prints the paths.
// Textures that cannot be decoded, and a dictionary read only in part, are reported and
// exit 2 after everything readable was written.
int exportTextures(const std::string& source, const std::string& archivePath, const std::string& folder,
                   std::ostream& out, std::ostream& err)
{
    std::vector<std::uint8_t> bytes;
    if (archivePath.empty() ? !readWholeFile(source, bytes, err) : !readArchiveEntry(archivePath, source, bytes, err))
        return ExitUnreadable;
    const TxdDecodeResult decoded = decodeTxd(bytes);
    if (decoded.Console) {
        err << "quoxmapper-cli: " << source << ": a console (PS2) texture dictionary, whose textures are not read\n";
        return ExitUnreadable;
    }
    std::error_code created;
    std::filesystem::create_directories(systemfiles::pathFromUtf8(folder), created);
    const TxdExportResult result = exportTxdTextures(decoded.Textures, folder);
    for (const std::string& path : result.Written)
        out << path << '\n';
    int code = ExitOk;
    for (const std::string& name : result.Skipped) {
        err << "quoxmapper-cli: " << source << ": texture " << name << " has a format that cannot be decoded\n";
        code = ExitUnreadable;
    }
    if (result.Error != 0) {
        err << "quoxmapper-cli: cannot write " << result.ErrorPath << ": " << std::strerror(result.Error) << '\n';
        return ExitUnreadable;
    }
    if (!decoded.Error.empty()) {
        err << "quoxmapper-cli: " << source << ": " << decoded.Error << '\n';
        code = ExitUnreadable;
    }
    return code;
}

} // namespace

// txd info FILE; txd export FILE -d DIR; txd export --img ARCHIVE NAME -d DIR
void addTxdCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams)
{
    CLI::App* txd = app.add_subcommand("txd", "Texture dictionaries");
    txd->require_subcommand(1);

    auto infoPath = std::make_shared<std::string>();
    CLI::App* infoCommand = txd->add_subcommand("info", "Print the textures of a texture dictionary as JSON");
    infoCommand->add_option("FILE", *infoPath, "the .txd file")->required();
    commands.add(infoCommand, [=] { return info(*infoPath, streams.out, streams.err); });

    auto exportSource = std::make_shared<std::string>();
    auto exportArchive = std::make_shared<std::string>();
    auto exportFolder = std::make_shared<std::string>();
    CLI::App* exportCommand =
        txd->add_subcommand("export", "Write the top level of every texture of a dictionary as NAME.png");
    exportCommand->add_option("SOURCE", *exportSource, "the .txd file, or with --img the entry name")->required();
    exportCommand->add_option("--img", *exportArchive, "read the dictionary from this archive (its .dir beside it)");
    exportCommand->add_option("-d", *exportFolder, "the folder to write into")->required();
    commands.add(exportCommand, [=] {
        return exportTextures(*exportSource, *exportArchive, *exportFolder, streams.out, streams.err);
    });

    addTxdEditCommands(*txd, commands, streams);
}
