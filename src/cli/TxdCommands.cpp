#include "CliCommands.h"

#include "RwChunk.h"
#include "TxdDecoder.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
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
        texture["compression"] = t.Compression;
        texture["hasAlpha"] = t.HasAlpha;
        texture["rasterFormat"] = t.RasterFormat;
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << "quoxmapper-cli: cannot read " << path << ": " << std::strerror(errno) << '\n';
        return ExitUnreadable;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        err << "quoxmapper-cli: cannot read " << path << '\n';
        return ExitUnreadable;
    }
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

} // namespace

// txd info FILE
void addTxdCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams)
{
    CLI::App* txd = app.add_subcommand("txd", "Texture dictionaries");
    txd->require_subcommand(1);

    auto infoPath = std::make_shared<std::string>();
    CLI::App* infoCommand = txd->add_subcommand("info", "Print the textures of a texture dictionary as JSON");
    infoCommand->add_option("FILE", *infoPath, "the .txd file")->required();
    commands.add(infoCommand, [=] { return info(*infoPath, streams.out, streams.err); });
}
