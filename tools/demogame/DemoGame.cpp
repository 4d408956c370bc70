#include "DemoGame.h"

#include "DffWriter.h"
#include "ImgWriter.h"
#include "MapText.h"
#include "ModelShapes.h"
#include "RadarPicture.h"
#include "SystemFiles.h"
#include "TownLayout.h"
#include "TxdWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t ViceCityStamp = 0x0C02FFFF;
constexpr std::uint32_t ViceCityNewStamp = 0x1003FFFF;
constexpr std::uint32_t Gta3Stamp = 0x0800FFFF;
constexpr std::uint32_t Gta3OldStamp = 0x0401FFFF;
constexpr int RadarTileSize = 128;

using Bytes = std::vector<std::uint8_t>;

class GameWriter {
public:
    GameWriter(std::filesystem::path root, const DemoGameOptions& options, std::string& error)
        : m_root(std::move(root)), m_options(options), m_error(error)
    {
    }

    int run();

private:
    // Records the first failure with the file it concerns; later steps are skipped.
    int fail(int code, const std::string& what)
    {
        m_error = "could not write " + what + ": " + std::strerror(code);
        return code;
    }

    int writeFile(const std::string& relative, const void* data, std::size_t size);
    int writeFile(const std::string& relative, const std::string& text) { return writeFile(relative, text.data(), text.size()); }
    int writeFile(const std::string& relative, const Bytes& bytes) { return writeFile(relative, bytes.data(), bytes.size()); }
    int writeArchive(const std::string& relative, const std::vector<ImgWriterEntry>& entries, std::uint32_t firstSector);

    std::uint32_t modelStamp(const TownDefinition& def) const;
    std::uint32_t dictionaryStamp(const std::string& name) const;
    const Bytes& modelBytes(const TownDefinition& def);
    const Bytes& dictionaryBytes(const TownDictionary& dictionary, bool compressed, std::uint32_t stamp);
    Bytes radarBytes(int number, const RgbaImage& picture, bool compressed) const;

    std::filesystem::path m_root;
    DemoGameOptions m_options;
    std::string& m_error;
    std::map<std::string, Bytes> m_models;       // by shape and stamp
    std::map<std::string, Bytes> m_dictionaries; // by contents, form and stamp
};

int GameWriter::writeFile(const std::string& relative, const void* data, std::size_t size)
{
    const std::filesystem::path path = m_root / relative;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec)
        return fail(ec.value() ? ec.value() : EIO, systemfiles::utf8FromPath(path.parent_path()));
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(path.c_str(), "wb");
#endif
    if (!file)
        return fail(errno ? errno : EIO, systemfiles::utf8FromPath(path));
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written)
        return fail(written ? (errno ? errno : EIO) : (writeError ? writeError : EIO), systemfiles::utf8FromPath(path));
    return 0;
}

int GameWriter::writeArchive(const std::string& relative, const std::vector<ImgWriterEntry>& entries,
                             std::uint32_t firstSector)
{
    const std::filesystem::path path = m_root / relative;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec)
        return fail(ec.value() ? ec.value() : EIO, systemfiles::utf8FromPath(path.parent_path()));
    if (const int code = writeImgArchive(systemfiles::utf8FromPath(path), entries, firstSector))
        return fail(code, systemfiles::utf8FromPath(path));
    return 0;
}

// Both games' files carry more than one library version; so does the demo.
std::uint32_t GameWriter::modelStamp(const TownDefinition& def) const
{
    const ShapeKind kind = def.shape.kind;
    const bool tree = kind == ShapeKind::TreeBroad || kind == ShapeKind::TreePine || kind == ShapeKind::TreePalm;
    if (m_options.viceCity)
        return tree ? ViceCityNewStamp : ViceCityStamp;
    return kind == ShapeKind::Lod ? Gta3OldStamp : Gta3Stamp;
}

std::uint32_t GameWriter::dictionaryStamp(const std::string& name) const
{
    const bool parks = name.size() >= 5 && name.compare(name.size() - 5, 5, "parks") == 0;
    if (m_options.viceCity)
        return parks ? ViceCityNewStamp : ViceCityStamp;
    return parks ? Gta3OldStamp : Gta3Stamp;
}

const Bytes& GameWriter::modelBytes(const TownDefinition& def)
{
    const std::uint32_t stamp = modelStamp(def);
    // Equal shapes give equal bytes; the large map shares them between its districts.
    const std::string key = def.shape.key() + "@" + std::to_string(stamp);
    auto it = m_models.find(key);
    if (it == m_models.end())
        it = m_models.emplace(key, writeDff(buildShape(def.shape, def.model), stamp)).first;
    return it->second;
}

// Without compression the dictionary holds the same pictures in formats every card can
// show: what GTA III keeps in models/txd.img for cards without compressed textures.
TxdFormat uncompressed(TxdFormat format)
{
    switch (format) {
    case TxdFormat::Dxt1: return TxdFormat::Pal8_888;
    case TxdFormat::Dxt1Alpha:
    case TxdFormat::Dxt3:
    case TxdFormat::Dxt5: return TxdFormat::Pal8_8888;
    default: return format;
    }
}

const Bytes& GameWriter::dictionaryBytes(const TownDictionary& dictionary, bool compressed, std::uint32_t stamp)
{
    std::string key = (compressed ? "c" : "u") + std::to_string(stamp);
    for (const TownTexture& t : dictionary.textures)
        key += "/" + std::to_string(static_cast<int>(t.picture)) + ":" + std::to_string(static_cast<int>(t.format)) + ":" +
               std::to_string(t.size) + ":" + std::to_string(t.levels);
    auto it = m_dictionaries.find(key);
    if (it != m_dictionaries.end())
        return it->second;
    std::vector<TxdTextureData> textures;
    for (const TownTexture& t : dictionary.textures) {
        const std::string name = pictureName(t.picture);
        const std::string mask = pictureHasAlpha(t.picture) ? name + "m" : std::string();
        const TxdFormat format = compressed ? t.format : uncompressed(t.format);
        textures.push_back(encodeTexture(name, mask, format, paintPicture(t.picture, t.size), t.levels));
    }
    return m_dictionaries.emplace(key, writeTxd(textures, stamp)).first->second;
}

Bytes GameWriter::radarBytes(int number, const RgbaImage& picture, bool compressed) const
{
    const std::string name = std::string("radar") + (number < 10 ? "0" : "") + std::to_string(number);
    const TxdFormat format = compressed ? TxdFormat::Dxt1 : TxdFormat::Pal8_888;
    return writeTxd({encodeTexture(name, "", format, picture, 1)},
                    m_options.viceCity ? ViceCityStamp : Gta3Stamp);
}

int GameWriter::run()
{
    const TownLayout layout = buildTownLayout(m_options.large);
    const bool vc = m_options.viceCity;

    for (const MapTextFile& file : writeMapTexts(layout, vc))
        if (const int code = writeFile(file.diskPath, file.text))
            return code;
    if (vc) {
        if (const int code = writeFile("gta-vc.exe", std::string()))
            return code;
    }

    const std::uint32_t baseStamp = vc ? ViceCityStamp : Gta3Stamp;
    if (const int code = writeFile("models/generic.txd", dictionaryBytes(genericDictionary(), true, baseStamp)))
        return code;
    TownDictionary misc{"misc", {{Picture::Wood, pictureFormat(Picture::Wood), 32, 2}}};
    if (const int code = writeFile(MiscTxdDiskPath, dictionaryBytes(misc, true, baseStamp)))
        return code;
    TownDefinition marker;
    marker.model = "qxmarker";
    marker.shape.kind = ShapeKind::Bench;
    if (const int code = writeFile(MarkerModelDiskPath, modelBytes(marker)))
        return code;

    // Main archive: each dictionary just before the first model that uses it, then the radar.
    std::map<std::string, const TownDictionary*> dictionaries;
    for (const TownDictionary& d : layout.dictionaries)
        dictionaries[d.name] = &d;
    std::vector<ImgWriterEntry> main;
    std::vector<ImgWriterEntry> textureArchive;
    std::set<std::string> done;
    for (const TownDefinition& def : layout.definitions) {
        if (done.insert(def.txd).second) {
            const TownDictionary& d = *dictionaries.at(def.txd);
            main.push_back({d.name + ".txd", dictionaryBytes(d, true, dictionaryStamp(d.name))});
            if (!vc)
                textureArchive.push_back({d.name + ".txd", dictionaryBytes(d, false, dictionaryStamp(d.name))});
        }
        main.push_back({def.model + ".dff", modelBytes(def)});
    }
    const std::vector<RgbaImage> radar = paintRadarTiles(layout, RadarTileSize);
    for (int t = 0; t < static_cast<int>(radar.size()); ++t) {
        const std::string name = std::string("radar") + (t < 10 ? "0" : "") + std::to_string(t) + ".txd";
        main.push_back({name, radarBytes(t, radar[static_cast<std::size_t>(t)], true)});
        if (!vc)
            textureArchive.push_back({name, radarBytes(t, radar[static_cast<std::size_t>(t)], false)});
    }
    if (const int code = writeArchive("models/gta3.img", main, 0))
        return code;
    if (!vc) {
        if (const int code = writeArchive("models/txd.img", textureArchive, 1))
            return code;
    }
    return 0;
}

} // namespace

int writeDemoGame(const std::string& directory, const DemoGameOptions& options, std::string& error)
{
    error.clear();
    if (directory.empty()) {
        error = "could not write the demo game: no folder given";
        return ENOENT;
    }
    try {
        GameWriter writer(systemfiles::pathFromUtf8(directory), options, error);
        return writer.run();
    } catch (const std::bad_alloc&) {
        error = "could not write the demo game: out of memory";
        return ENOMEM;
    } catch (const std::exception& e) {
        error = std::string("could not write the demo game: ") + e.what();
        return EIO;
    }
}
