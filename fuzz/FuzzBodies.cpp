#include "FuzzBodies.h"

#include "ByteSource.h"
#include "FileIO.h"
#include "Log.h"
#include "ModelDrawTarget.h"
#include "PngReader.h"
#include "TGTA3Archive.h"
#include "TGTADff.h"
#include "TGTAFileList.h"
#include "TGTATxd.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TextParser.h"
#include "TextureUploader.h"
#include "TxdBuild.h"
#include "TxdDecoder.h"
#include "TxdPixels.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace fuzzing {
namespace {

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "fuzz property broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

// The core's diagnostics describe every corrupt input; printing them would slow the
// fuzzer down to the speed of the terminal.
void silenceLog()
{
    static const bool silenced = [] {
        setLogSink([](std::string_view) {});
        setUserNoticeSink([](std::string_view) {});
        return true;
    }();
    (void)silenced;
}

// A folder of this process for the bodies that need files, on a memory file system when
// there is one; removed when the process ends normally.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::error_code error;
        const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "quoxfuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            fail("cannot create a scratch folder under " + base.string());
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

const fs::path& scratch()
{
    static ScratchFolder folder;
    return folder.path();
}

void writeBytes(const fs::path& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        fail("cannot write " + path.string());
}

// Every level turned into RGBA as the OpenGL uploader does; the result has the level's
// size or nothing.
class CheckingUploader : public TextureUploader {
public:
    std::vector<std::uint32_t> upload(const std::vector<TxdDecodedTexture>& textures) override
    {
        std::vector<std::uint32_t> ids;
        for (const TxdDecodedTexture& texture : textures) {
            for (const TxdLevel& level : texture.Levels) {
                const std::vector<std::uint8_t> rgba = levelRgba(texture.Texture, level);
                const std::size_t expected = std::size_t{level.Width} * level.Height * 4;
                if (!rgba.empty() && rgba.size() != expected)
                    fail("a level of " + std::to_string(level.Width) + "x" + std::to_string(level.Height) +
                         " gave " + std::to_string(rgba.size()) + " RGBA bytes");
            }
            ids.push_back(static_cast<std::uint32_t>(ids.size() + 1));
        }
        return ids;
    }
    void release(const std::vector<std::uint32_t>&) override {}
};

// Reads every element the OpenGL drawer reads, under the same conditions, so that a split
// prepared wrongly by the model shows up as a read out of bounds.
class CheckingDrawTarget : public ModelDrawTarget {
public:
    void pushMatrix() override { ++m_depth; }
    void multMatrix(const std::array<float, 16>& matrix) override { m_sum += matrix[0] + matrix[15]; }
    void popMatrix() override
    {
        if (--m_depth < 0)
            fail("more matrices popped than pushed");
    }
    void setColourWhite() override {}
    void drawSplit(const ModelSplitDraw& s) override
    {
        const auto& indices = s.split.Indices;
        const auto& normals = s.split.Normals;
        const auto& geometry = s.geometry;
        for (std::size_t k = 0; k < indices.size(); ++k) {
            const std::uint32_t v = indices[k];
            if (v >= geometry.Vertices.size())
                continue;
            if (v < geometry.TexCoords.size())
                m_sum += geometry.TexCoords[v][0];
            if (s.normals == SplitNormalMode::PerTriangle && k % 3 == 0 && k / 3 < normals.size())
                m_sum += normals[k / 3][0];
            else if (s.normals == SplitNormalMode::PerVertex && k < normals.size())
                m_sum += normals[k][0];
            m_sum += geometry.Vertices[v][0];
        }
        m_sum += static_cast<float>(s.textureName.size() + s.maskName.size());
    }
    int depth() const { return m_depth; }
    float sum() const { return m_sum; }

private:
    int m_depth = 0;
    float m_sum = 0;
};

std::unique_ptr<TGTASFile> newMapFile(bool ipl, bool viceCity)
{
    if (ipl) {
        auto file = std::make_unique<TIPLFile>();
        file->Inst.ViceCity = viceCity;
        return file;
    }
    return std::make_unique<TIDEFile>();
}

// Every record of every section in its written form, section by section, then the kept
// lines of the sections this program does not understand.
std::vector<std::string> recordTexts(TGTASFile& file)
{
    std::vector<TGTASContainer*> containers;
    if (file.Kind == FileKind::IPL) {
        auto& ipl = static_cast<TIPLFile&>(file);
        containers = {&ipl.Inst, &ipl.Cull, &ipl.Zone, &ipl.Occl, &ipl.Path};
    } else {
        auto& ide = static_cast<TIDEFile&>(file);
        containers = {&ide.Objs, &ide.TObj, &ide.Path, &ide.Fx2d};
    }
    std::vector<std::string> texts;
    for (std::size_t section = 0; section < containers.size(); ++section) {
        texts.push_back("section " + std::to_string(section) + (containers[section]->Present ? " present" : ""));
        for (int pos = 0; pos < containers[section]->Count(); ++pos)
            texts.push_back(containers[section]->WriteLine(pos));
    }
    // A kept section without its "end" line is written with one.
    for (const TUnknownSection& unknown : file.UnknownSections) {
        texts.push_back("kept section");
        texts.insert(texts.end(), unknown.Lines.begin(), unknown.Lines.end());
        if (!unknown.Closed)
            texts.push_back("end");
    }
    return texts;
}

std::string firstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i])
            return "line " + std::to_string(i) + ": \"" + a[i] + "\" then \"" + b[i] + "\"";
    }
    return std::to_string(a.size()) + " lines then " + std::to_string(b.size());
}

} // namespace

void textureDictionary(std::span<const std::uint8_t> input)
{
    silenceLog();
    const MemoryByteSource source(std::vector<std::uint8_t>(input.begin(), input.end()));
    CheckingUploader uploader;
    TGTATxd dictionary(&source, static_cast<std::int64_t>(input.size()), 0, "fuzz.txd", &uploader);
    dictionary.Load();
    if (dictionary.TextureIds.size() != dictionary.Textures.size())
        fail("texture objects and textures differ in number");
    for (const TTexture& texture : dictionary.Textures) {
        if (TrimText(texture.Name).empty())
            continue; // an empty name finds nothing, by design
        const int found = dictionary.FindTexture(TrimText(texture.Name));
        if (found < 0 || found >= dictionary.TextureCount)
            fail("a texture of the dictionary is not found by its name");
        if (dictionary.FindMask(TrimText(texture.MaskName)) >= dictionary.TextureCount)
            fail("a mask lookup gave a position past the textures");
    }
}

// Kept, so that the reads of the drawing are not optimised away.
volatile float drawnSum = 0;

void model(std::span<const std::uint8_t> input)
{
    silenceLog();
    const MemoryByteSource source(std::vector<std::uint8_t>(input.begin(), input.end()));
    TGTADff dff(&source, static_cast<std::int64_t>(input.size()), 0, "fuzz.dff");
    dff.Load();
    if (!dff.LoadError.empty() && !dff.Clumps.empty())
        fail("a model with a reading error kept its clumps: " + dff.LoadError);
    CheckingDrawTarget target;
    dff.Draw(-1, target);
    dff.Draw(0, target);
    if (target.depth() != 0)
        fail("drawing left matrices pushed");
    drawnSum = target.sum();
}

void archive(std::span<const std::uint8_t> input)
{
    silenceLog();
    if (input.size() < 2)
        return;
    const std::size_t dirLength = std::min<std::size_t>(input[0] | std::size_t{input[1]} << 8, input.size() - 2);
    const std::span<const std::uint8_t> directory = input.subspan(2, dirLength);
    const std::span<const std::uint8_t> data = input.subspan(2 + dirLength);

    // Held in memory: a file per input would make the file system the fuzzer's bottleneck.
    TGTA3Archive archive(std::vector<std::uint8_t>(directory.begin(), directory.end()),
                         std::vector<std::uint8_t>(data.begin(), data.end()));
    if (!archive.Opened || archive.ReadOnly)
        fail("the archive did not open for writing");
    if (archive.EntryCount() != static_cast<int>(dirLength / 32))
        fail("the directory of " + std::to_string(dirLength) + " bytes gave " +
             std::to_string(archive.EntryCount()) + " entries");
    for (int i = 0; i < archive.EntryCount(); ++i) {
        const TImgEntry entry = archive.GetEntry(i);
        const int found = archive.FindEntry(entry.TrimmedView());
        if (found < 0 || found > i || !equalsIgnoringCase(archive.GetEntry(found).TrimmedView(), entry.TrimmedView()))
            fail("entry " + std::to_string(i) + " is not found by its name");
        const std::string safeName = safeEntryFileName(entry);
        if (safeName.empty() || safeName == "." || safeName == ".." ||
            safeName.find_first_of("/\\") != std::string::npos)
            fail("entry " + std::to_string(i) + " would be extracted as \"" + safeName + "\"");

        // Compared with the input's bytes: the whole sectors or nothing.
        std::ostringstream bytes;
        const int extracted = archive.ExtractEntry(i, bytes);
        const std::uint64_t begin = std::uint64_t{entry.Offset} * 2048;
        const std::uint64_t end = (std::uint64_t{entry.Offset} + entry.Size) * 2048;
        if (extracted != 0) {
            if (end <= data.size())
                fail("entry " + std::to_string(i) + " lies inside the data file but failed to extract");
            continue;
        }
        if (entry.Size > 0 && end > data.size())
            fail("entry " + std::to_string(i) + " reaches past the data file but was extracted");
        const std::string copy = bytes.str();
        if (entry.Size > 0 &&
            (copy.size() != end - begin ||
             std::memcmp(copy.data(), data.data() + begin, static_cast<std::size_t>(end - begin)) != 0))
            fail("entry " + std::to_string(i) + " was extracted with other bytes");
    }

    std::vector<std::uint8_t> keptRecords;
    bool deleted = false;
    for (int i = 0; i < archive.EntryCount(); ++i) {
        if (archive.GetEntry(i).Name[0] & 1) {
            archive.MarkDeleted(i);
            deleted = true;
        } else {
            const auto record = directory.subspan(static_cast<std::size_t>(i) * 32, 32);
            keptRecords.insert(keptRecords.end(), record.begin(), record.end());
        }
    }
    if (const int committed = archive.CommitDeletions())
        fail("committing the deletions failed with " + std::to_string(committed));
    if (archive.EntryCount() != static_cast<int>(keptRecords.size() / 32))
        fail("the archive holds other entries than those kept");
    // Without deletions the directory is left as it was, a trailing piece included; with
    // them it holds the kept records as they were read.
    const std::vector<std::uint8_t>& written = archive.directoryBytes();
    if (deleted ? written != keptRecords
                : !std::equal(written.begin(), written.end(), directory.begin(), directory.end()))
        fail("the directory does not hold the kept entries");
    const auto dataAfter = archive.ImgSource().inMemory();
    if (!dataAfter || !std::equal(dataAfter->begin(), dataAfter->end(), data.begin(), data.end()))
        fail("deleting entries changed the data file");
}

void mapFile(std::span<const std::uint8_t> input)
{
    silenceLog();
    if (input.empty())
        return;
    const bool ipl = (input[0] & 1) != 0;
    const bool viceCity = (input[0] & 2) == 0;
    const std::string_view text(reinterpret_cast<const char*>(input.data()) + 1, input.size() - 1);
    const auto first = newMapFile(ipl, viceCity);
    first->ReadText(text);
    const std::string written = first->SaveText();
    const auto second = newMapFile(ipl, viceCity);
    second->ReadText(written);
    const std::vector<std::string> records = recordTexts(*first);
    const std::vector<std::string> reread = recordTexts(*second);
    if (records != reread)
        fail("the written file reads back as other records, " + firstDifference(records, reread));
    const std::string rewritten = second->SaveText();
    if (rewritten != written)
        fail("the written file is written back as another text");
}

void datFile(std::span<const std::uint8_t> input)
{
    silenceLog();
    if (input.empty())
        return;
    const std::string_view text(reinterpret_cast<const char*>(input.data()) + 1, input.size() - 1);
    // ".." in a name reaches outside the game folder, where the fuzzer would read whatever
    // the machine holds (an endless device, a huge file).
    if (text.find("..") != std::string_view::npos)
        return;

    const fs::path game = scratch() / "game";
    static const bool prepared = [&game] {
        std::error_code error;
        fs::create_directories(game / "data" / "maps", error);
        std::ofstream(game / "data" / "maps" / "demo.ide") << "objs\r\n100, box, generic, 1, 100, 0\r\nend\r\n";
        std::ofstream(game / "data" / "maps" / "demo.ipl")
            << "inst\r\n100, box, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n";
        return true;
    }();
    (void)prepared;
    const std::string gameDir = game.string() + "/";
    const bool viceCity = (input[0] & 2) == 0;
    writeBytes(TGTAFileList(gameDir, viceCity).DatPath(), std::span(input.data() + 1, input.size() - 1));

    std::vector<std::string> lines;
    {
        TGTAFileList list(gameDir, viceCity);
        if (list.LoadDat(DatPass::IDE) != 0)
            fail("the DAT file could not be read");
        list.LoadDat(DatPass::IPL);
        lines = list.DatLines;
        if (const int saved = list.SaveDat())
            fail("the DAT file could not be saved: " + std::to_string(saved));
    }
    TGTAFileList reread(gameDir, viceCity);
    reread.LoadDat(DatPass::IDE);
    if (reread.DatLines != lines)
        fail("the saved DAT file reads back as other lines, " + firstDifference(lines, reread.DatLines));
}

void pngPicture(std::span<const std::uint8_t> input)
{
    const PngPicture picture = decodePng(input);
    const RgbaImage& image = picture.image;
    if (!picture.error.empty()) {
        if (!image.pixels.empty())
            fail("a refused picture kept pixels");
        return;
    }
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        fail("a read picture's pixels do not match its size");
    const bool powers = (image.width & (image.width - 1)) == 0 && (image.height & (image.height - 1)) == 0;
    if (!powers || image.width * image.height > 64 * 64)
        return;
    for (const TxdFormatChoice format : {TxdFormatChoice::Pal8, TxdFormatChoice::Dxt1}) {
        TxdBuildOptions options;
        options.format = format;
        options.mipmaps = true;
        const TxdDecodeResult decoded = decodeTxd(writeTxd({buildTexture({"fuzz", "", image}, options)}, 0x0C02FFFF));
        if (!decoded.Error.empty() || decoded.Textures.size() != 1 || decoded.Textures[0].Levels.empty() ||
            decoded.Textures[0].Levels[0].Width != image.width || decoded.Textures[0].Levels[0].Height != image.height)
            fail("a dictionary built from a picture did not read back at its size: " + decoded.Error);
    }
}

} // namespace fuzzing
