#include "CliCommands.h"

#include "RwChunk.h"
#include "SystemFiles.h"
#include "TDffLoader.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

nlohmann::ordered_json geometryJson(const TDFFGeometry& geometry)
{
    nlohmann::ordered_json splits = nlohmann::ordered_json::array();
    for (const TDFFSplit& split : geometry.MaterialSplit.Splits)
        splits.push_back({{"indices", split.Indices.size()}, {"material", split.MaterialIndex}});
    nlohmann::ordered_json materials = nlohmann::ordered_json::array();
    for (const TDFFMaterial& material : geometry.MaterialList.Materials)
        materials.push_back({{"texture", material.Texture.TextureName}, {"mask", material.Texture.MaskName}});
    return {{"vertices", geometry.Data.Vertices.size()},
            {"triangles", geometry.Data.TriangleCount},
            {"texCoords", !geometry.Data.TexCoords.empty()},
            {"faceType", geometry.MaterialSplit.FaceType},
            {"splits", splits},
            {"materials", materials}};
}

nlohmann::ordered_json clumpJson(const TDFFClump& clump)
{
    nlohmann::ordered_json frames = nlohmann::ordered_json::array();
    for (const TDFFFrame& frame : clump.FrameList.Data.Frames)
        frames.push_back({{"name", frame.Name}, {"parent", frame.ParentIndex}});
    nlohmann::ordered_json geometries = nlohmann::ordered_json::array();
    for (const TDFFGeometry& geometry : clump.GeometryList.Geometries)
        geometries.push_back(geometryJson(geometry));
    nlohmann::ordered_json atomics = nlohmann::ordered_json::array();
    for (const TDFFAtomic& atomic : clump.Atomics)
        atomics.push_back({{"frame", atomic.FrameIndex}, {"geometry", atomic.GeometryIndex}});
    return {{"frames", frames}, {"geometries", geometries}, {"atomics", atomics}};
}

// Reads a model file as the editor would and prints what drawing it uses, as one line of JSON.
int info(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(systemfiles::pathFromUtf8(path), error)) {
        err << "quoxmapper-cli: cannot read " << path << ": not a file\n";
        return ExitUnreadable;
    }
    std::ifstream in(systemfiles::pathFromUtf8(path), std::ios::binary);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        in.setstate(std::ios::badbit);
    }
    if (!in.is_open() || in.bad()) {
        err << "quoxmapper-cli: cannot read " << path << ": the file cannot be opened or read\n";
        return ExitUnreadable;
    }
    TDffLoader model;
    const std::string report = model.ReadFromBytes(bytes, true);
    // Only a file that does not begin with a clump is no model at all; a model that breaks
    // off or goes wrong later is shown as far as it was read.
    const bool notAModel = bytes.size() < RwChunkHeaderSize || bytes[0] != RwChunkType::Clump || bytes[1] != 0 ||
                           bytes[2] != 0 || bytes[3] != 0;
    if (!report.empty() && notAModel) {
        err << "quoxmapper-cli: " << path << " is not a readable model: " << report << '\n';
        return ExitUnreadable;
    }
    nlohmann::ordered_json clumps = nlohmann::ordered_json::array();
    for (const TDFFClump& clump : model.Clumps)
        clumps.push_back(clumpJson(clump));
    nlohmann::ordered_json result{{"clumps", clumps}};
    if (!model.ReadWarning.empty())
        result["warning"] = model.ReadWarning;
    if (!report.empty())
        result["error"] = report;
    // Names come from the file as bytes; invalid UTF-8 is replaced rather than failing.
    out << result.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    if (!report.empty()) {
        err << "quoxmapper-cli: " << path << ": read only in part: " << report << '\n';
        return ExitCheckFailed;
    }
    return ExitOk;
}

} // namespace

// dff info FILE
void addDffCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams)
{
    CLI::App* dff = app.add_subcommand("dff", "Model (DFF) files");
    dff->require_subcommand(1);
    auto path = std::make_shared<std::string>();
    CLI::App* infoCommand = dff->add_subcommand("info", "Print a model's frames, geometries and atomics as JSON");
    infoCommand->add_option("FILE", *path, "the model file")->required();
    commands.add(infoCommand, [=] { return info(*path, streams.out, streams.err); });
}
