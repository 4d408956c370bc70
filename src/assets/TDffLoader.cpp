#include "TDffLoader.h"

#include "ByteReader.h"
#include "ByteSource.h"
#include "RwChunk.h"
#include "SplitNormals.h"
#include "TextParser.h"

#include <algorithm>
#include <new>

// A model is a tree of chunks (12-byte headers, see RwChunk.h). What is read, by chunk:
//
//   clump 16            walked; its struct: u32 atomic total (lights, cameras follow from 3.3)
//   frame list 14       walked; struct: u32 count, then 56 bytes per frame:
//                         0 9 x f32 rotation rows, 36 3 x f32 position, 48 i32 parent,
//                         52 u16 + u16 matrix flags
//   extension 3         its children belong to the enclosing chunk
//   frame name 0x253F2FE, string 2
//                       text up to the first zero byte. Inside a frame list the extensions
//                       after the struct come one per frame, in frame order: a name chunk in
//                       the k-th names frame k, exactly as stored (one real model names its
//                       frames " Pelvis"); a frame whose extension has none has no name.
//                       Inside a texture: the texture then the mask name, trimmed.
//   geometry list 26    walked; struct: u32 geometry count
//   geometry 15         appended and walked; struct:
//                         0 u16 flags (4 texcoords, 8 prelit, 16 normals, 0x80 two UV sets),
//                         2 u8 UV set count, 3 u8 native flags, 4 u32 triangles,
//                         8 u32 vertices, 12 u32 morph targets,
//                         [16 3 x f32 surface properties, before library version 3.4]
//                         then prelit (4 bytes per vertex), UV sets (8 bytes per vertex each),
//                         triangles (4 x u16), sphere (4 x f32), u32 has positions,
//                         u32 has normals, positions (12 per vertex), [normals (12 per vertex)]
//   material list 8     walked; struct: u32 total, i32 per material (first one kept)
//   material 7          appended and walked; struct (28 bytes in real files, up to 32 kept):
//                         0 u32 flags, 4 colour RGBA, 8 u32 reserved, 12 u32 textured,
//                         16 3 x f32 ambient, specular, diffuse, [28 u32]
//   texture 6           walked (names from its strings)
//   bin mesh 0x50E      u32 face type (0 lists, else strips), u32 split count, u32 index total;
//                       per split: u32 index count, u32 material, u32 vertex indices
//   atomic 20           appended and walked; struct: u32 frame, u32 geometry, u32 flags, u32
//   anything else       skipped by its size
//
// A zero chunk type ends the chunks of its level: archive entries are zero-padded to whole
// sectors. Only the first clump is read, since some entries carry other data after it.
namespace {

// The most records reserved ahead on a count that the chunks after it have not yet shown.
constexpr std::uint32_t ReserveAtMost = 64;

// Real models nest five levels deep; a file nesting far deeper is corrupt, and following it
// would only exhaust the stack.
constexpr int MaxNesting = 32;

constexpr std::uint16_t GeometryTexCoords = 4;
constexpr std::uint16_t GeometryPrelit = 8;
constexpr std::uint16_t GeometryNormals = 16;
constexpr std::uint16_t GeometryTwoUVSets = 0x80;

std::string chunkAt(std::uint32_t type, std::size_t position)
{
    return "chunk type " + std::to_string(type) + " at byte " + std::to_string(position);
}

} // namespace

void TDffLoader::Clear()
{
    Clumps.clear();
    Clumps.shrink_to_fit();
    ReadWarning.clear();
    FrameNameCounter = 0;
    m_namedFrame = -1;
}

std::string TDffLoader::ReadFromStream(const ByteSource& stream, std::int64_t length, std::int64_t offset)
{
    if (length < 0 || offset < 0) {
        Clear();
        return "negative model offset " + std::to_string(offset) + " or length " + std::to_string(length);
    }
    // Models are read one after another on the user-interface thread: one buffer serves all.
    static thread_local std::vector<std::uint8_t> buffer;
    return ReadFromBytes(
        viewSourceBytes(stream, static_cast<std::uint64_t>(offset), static_cast<std::uint64_t>(length), buffer));
}

std::string TDffLoader::ReadFromBytes(std::span<const std::uint8_t> bytes, bool keepPartial)
{
    Clear();
    std::string shortClump;
    const auto fail = [&](const std::string& error) {
        if (!keepPartial)
            Clear();
        FrameNameCounter = 0;
        m_namedFrame = -1;
        return shortClump.empty() ? error : shortClump + "; " + error;
    };
    try {
        ByteReader reader(bytes);
        if (reader.remaining() < RwChunkHeaderSize)
            throw ReadError("only " + std::to_string(reader.remaining()) + " bytes: too short for a model");
        const RwChunkHeader header = RwChunkHeader::read(reader);
        if (header.type != RwChunkType::Clump)
            throw ReadError("not a model: the first chunk has type " + std::to_string(header.type) +
                            ", not a clump (16)");
        if (header.size > reader.remaining()) {
            const std::string claim = "the clump claims " + std::to_string(header.size) + " bytes but only " +
                                      std::to_string(reader.remaining()) + " follow its header";
            if (!keepPartial)
                throw ReadError(claim);
            shortClump = claim; // read as far as the bytes go
        }
        Clumps.emplace_back();
        ByteReader clump = reader.sub(std::min<std::size_t>(header.size, reader.remaining()));
        walk(clump, RwChunkType::Clump, 0);
        readAtomicsAfterClump(reader);
        checkIndices();
    } catch (const ReadError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return fail("not enough memory for the model");
    } catch (const std::exception& error) {
        return fail(error.what());
    }
    FrameNameCounter = 0;
    return shortClump;
}

// Some real models declare a clump size too small for their children (a GTA III vehicle
// is 264 bytes short, its last three atomics past the declared end). The game reads the
// clump's children in sequence and takes as many atomics as the clump's struct announces,
// so atomic chunks that follow the declared end are read as the clump's own while the
// count is not reached. Zero padding or other data after the clump ends the search.
void TDffLoader::readAtomicsAfterClump(ByteReader& reader)
{
    TDFFClump& clump = Clumps.back();
    const std::size_t declaredEnd = reader.absolute();
    const std::size_t before = clump.Atomics.size();
    while (clump.Atomics.size() < clump.AtomicTotal && reader.remaining() >= RwChunkHeaderSize) {
        const std::size_t start = reader.position();
        const std::size_t at = reader.absolute();
        const RwChunkHeader header = RwChunkHeader::read(reader);
        if (header.type != RwChunkType::Atomic) {
            reader.seek(start);
            break;
        }
        if (header.size > reader.remaining())
            throw ReadError(chunkAt(header.type, at) + " after the clump's declared end claims " +
                            std::to_string(header.size) + " bytes but only " + std::to_string(reader.remaining()) +
                            " follow");
        ByteReader data = reader.sub(header.size);
        readChunk(header, data, RwChunkType::Clump, 1);
    }
    const std::size_t stoppedAt = reader.absolute();
    const std::size_t after = clump.Atomics.size() - before;
    const std::string announced = std::to_string(clump.AtomicTotal);
    if (after != 0)
        ReadWarning = "the clump's size is " + std::to_string(stoppedAt - declaredEnd) + " bytes short: " +
                      std::to_string(after) + " of its " + announced + " atomics follow its declared end";
    if (clump.Atomics.size() >= clump.AtomicTotal)
        return;
    const std::string found = std::to_string(clump.Atomics.size());
    // Atomics past the end show a clump that goes on, and a chunk header cut short where
    // one may follow shows a cut file: either way the clump stops short of its count.
    const auto rest = reader.bytes(std::min(reader.remaining(), RwChunkHeaderSize));
    const bool cutHeader = rest.size() < RwChunkHeaderSize &&
                           std::any_of(rest.begin(), rest.end(), [](std::uint8_t byte) { return byte != 0; });
    if (after != 0 || cutHeader)
        throw ReadError("the clump announces " + announced + " atomics but its chunks stop after " + found +
                        " at byte " + std::to_string(stoppedAt));
    // Without them the file simply holds fewer atomics than it announces.
    ReadWarning = "the clump announces " + announced + " atomics but holds " + found;
}

void TDffLoader::walk(ByteReader& reader, std::uint32_t enclosingType, int depth)
{
    if (depth > MaxNesting)
        throw ReadError("chunks nested more than " + std::to_string(MaxNesting) + " levels deep at byte " +
                        std::to_string(reader.absolute()));
    while (!reader.atEnd()) {
        // A zero type word (or zero bytes too few for one) ends this level.
        const std::size_t start = reader.position();
        if (reader.remaining() >= 4) {
            if (reader.u32() == 0)
                return;
        } else {
            const auto rest = reader.bytes(reader.remaining());
            if (std::all_of(rest.begin(), rest.end(), [](std::uint8_t byte) { return byte == 0; }))
                return;
        }
        reader.seek(start);

        const std::size_t at = reader.absolute();
        const RwChunkHeader header = RwChunkHeader::read(reader);
        if (header.size > reader.remaining())
            throw ReadError(chunkAt(header.type, at) + " claims " + std::to_string(header.size) +
                            " bytes but its parent has only " + std::to_string(reader.remaining()) + " left");
        ByteReader data = reader.sub(header.size);
        readChunk(header, data, enclosingType, depth);
    }
}

void TDffLoader::readChunk(const RwChunkHeader& header, ByteReader& data, std::uint32_t enclosingType, int depth)
{
    namespace T = RwChunkType;
    switch (header.type) {
    case T::Struct:
        readStruct(header, data, enclosingType);
        break;
    case T::String:
    case T::FrameName:
        readString(data, enclosingType);
        break;
    case T::Extension:
        if (enclosingType == T::FrameList) {
            m_namedFrame = FrameNameCounter++;
            walk(data, enclosingType, depth + 1);
            m_namedFrame = -1;
        } else {
            walk(data, enclosingType, depth + 1);
        }
        break;
    case T::Texture:
    case T::MaterialList:
    case T::FrameList:
    case T::GeometryList:
        walk(data, header.type, depth + 1);
        break;
    case T::Material: {
        TDFFMaterialList& list = currentGeometry("material").MaterialList;
        list.Materials.emplace_back();
        list.MaterialCount = static_cast<std::uint32_t>(list.Materials.size());
        walk(data, header.type, depth + 1);
        break;
    }
    case T::Geometry: {
        TDFFGeometryList& list = currentClump().GeometryList;
        list.Geometries.emplace_back();
        list.GeometriesRead = static_cast<std::uint32_t>(list.Geometries.size());
        walk(data, header.type, depth + 1);
        break;
    }
    case T::Atomic: {
        TDFFClump& clump = currentClump();
        clump.Atomics.emplace_back();
        clump.AtomicCount = static_cast<std::uint32_t>(clump.Atomics.size());
        walk(data, header.type, depth + 1);
        break;
    }
    case T::BinMesh:
        readBinMesh(data);
        break;
    default:
        break; // plugin data this program has no use for (and nested clumps)
    }
}

void TDffLoader::readStruct(const RwChunkHeader& header, ByteReader& data, std::uint32_t enclosingType)
{
    namespace T = RwChunkType;
    switch (enclosingType) {
    case T::Clump: {
        TDFFClump& clump = currentClump();
        clump.AtomicTotal = data.u32();
        clump.Atomics.reserve(std::min<std::uint32_t>(clump.AtomicTotal, ReserveAtMost));
        break;
    }
    case T::GeometryList: {
        TDFFGeometryList& list = currentClump().GeometryList;
        list.GeometryCount = data.u32();
        // Room for the geometries that follow; a lying count only costs a small reserve.
        list.Geometries.reserve(std::min<std::uint32_t>(list.GeometryCount, ReserveAtMost));
        break;
    }
    case T::FrameList:
        readFrameList(data);
        break;
    case T::Geometry:
        readGeometry(header, data);
        break;
    case T::MaterialList: {
        TDFFMaterialList& list = currentGeometry("material list").MaterialList;
        list.MaterialTotal = data.u32();
        list.Materials.reserve(std::min<std::uint32_t>(list.MaterialTotal, ReserveAtMost));
        // A list of no materials has no first entry.
        list.FirstMaterialRef = data.has(4) ? data.i32() : -1;
        break;
    }
    case T::Material:
        readMaterial(data);
        break;
    case T::Atomic: {
        TDFFAtomic& atomic = currentClump().Atomics.back();
        atomic.FrameIndex = data.i32();
        atomic.GeometryIndex = data.i32();
        atomic.AtomicFlags = data.u32();
        atomic.AtomicReserved = data.u32();
        break;
    }
    default:
        break;
    }
}

void TDffLoader::readFrameList(ByteReader& data)
{
    TDFFDataFrameList& list = currentClump().FrameList.Data;
    const std::uint32_t count = data.u32();
    data.requireRecords(count, 56, "frame");
    list.FrameCount = count;
    list.Frames.assign(count, TDFFFrame{});
    for (std::uint32_t i = 0; i < count; ++i) {
        TDFFFrame& frame = list.Frames[i];
        for (float& f : frame.Rotation)
            f = data.f32();
        for (float& f : frame.Position)
            f = data.f32();
        frame.ParentIndex = data.i32();
        frame.MatrixFlags[0] = data.u16();
        frame.MatrixFlags[1] = data.u16();
        if (frame.ParentIndex < -1 || frame.ParentIndex >= static_cast<std::int64_t>(count))
            throw ReadError("frame " + std::to_string(i) + " has parent " + std::to_string(frame.ParentIndex) +
                            " of " + std::to_string(count) + " frames");
    }
    FrameNameCounter = 0;
    m_namedFrame = -1;
}

void TDffLoader::readGeometry(const RwChunkHeader& header, ByteReader& data)
{
    TDFFDataGeometry& g = currentGeometry("geometry struct").Data;
    const std::size_t at = data.absolute();
    g.Flags = data.u16();
    g.UVSetCount = data.u8();
    g.NativeFlags = data.u8();
    g.TriangleCount = data.u32();
    g.VertexCount = data.u32();
    g.MorphTargetCount = data.u32();
    const bool surfaceProperties = header.libraryVersion() < 0x34000;

    // The set count byte rules; files that leave it 0 say it by their flags.
    std::uint64_t uvSets = g.UVSetCount;
    if (uvSets == 0)
        uvSets = (g.Flags & GeometryTwoUVSets) ? 2 : (g.Flags & GeometryTexCoords) ? 1 : 0;

    const std::uint64_t v = g.VertexCount;
    const std::uint64_t needed = 16 + (surfaceProperties ? 12 : 0) + ((g.Flags & GeometryPrelit) ? 4 * v : 0) +
                                 8 * v * uvSets + 8 * std::uint64_t{g.TriangleCount} + 24 + 12 * v +
                                 ((g.Flags & GeometryNormals) ? 12 * v : 0);
    if (needed > data.size())
        throw ReadError("geometry struct at byte " + std::to_string(at) + " with " + std::to_string(v) +
                        " vertices, " + std::to_string(g.TriangleCount) + " triangles and flags " +
                        std::to_string(g.Flags) + " needs " + std::to_string(needed) + " bytes but holds " +
                        std::to_string(data.size()));

    if (surfaceProperties) {
        g.Ambient = data.f32();
        g.Specular = data.f32();
        g.Diffuse = data.f32();
    } else {
        g.Ambient = g.Specular = g.Diffuse = 0;
    }
    g.Colours.clear();
    if (g.Flags & GeometryPrelit) {
        data.readArray(g.Colours, v, "prelit colour");
    }
    g.TexCoords.clear();
    if (uvSets > 0) {
        data.readArray(g.TexCoords, v, "texture coordinate");
        data.skip((uvSets - 1) * 8 * v); // further sets are not drawn
    }
    data.readArray(g.Triangles, g.TriangleCount, "triangle");
    for (float& f : g.BoundingSphere)
        f = data.f32();
    g.HasPositions = data.u32();
    g.HasNormals = data.u32();
    data.readArray(g.Vertices, v, "vertex");
    g.Normals.clear();
    if (g.Flags & GeometryNormals) {
        data.readArray(g.Normals, v, "normal");
    }
}

void TDffLoader::readMaterial(ByteReader& data)
{
    // A material struct belongs to the last material of the current geometry; a geometry
    // chunk nested inside a material makes a new current geometry without one.
    std::vector<TDFFMaterial>& materials = currentGeometry("material").MaterialList.Materials;
    if (materials.empty())
        throw ReadError("material data outside any material of its geometry at byte " + std::to_string(data.absolute()));
    TDFFMaterial& material = materials.back();
    material.Texture.NameSeen = false;
    // Real files have a 28-byte struct: take what there is, the rest stays 0.
    std::array<std::uint8_t, 32> raw{};
    const auto present = data.bytes(std::min<std::size_t>(raw.size(), data.remaining()));
    std::copy(present.begin(), present.end(), raw.begin());
    ByteReader fields(raw);
    material.MaterialFlags = fields.u32();
    for (std::uint8_t& byte : material.Colour)
        byte = fields.u8();
    material.Reserved = fields.u32();
    material.IsTextured = fields.u32();
    material.Ambient = fields.f32();
    material.Specular = fields.f32();
    material.Diffuse = fields.f32();
    material.Trailing = fields.u32();
}

void TDffLoader::readBinMesh(ByteReader& data)
{
    TDFFGeometry& geometry = currentGeometry("bin mesh");
    TDFFMaterialSplit& mesh = geometry.MaterialSplit;
    mesh.FaceType = data.u32();
    mesh.SplitCount = data.u32();
    mesh.IndexTotal = data.u32();
    data.requireRecords(mesh.SplitCount, 8, "split");
    mesh.Splits.clear();
    mesh.Splits.reserve(mesh.SplitCount);
    const auto& vertices = geometry.Data.Vertices;
    const std::size_t materials = geometry.MaterialList.Materials.size();
    for (std::uint32_t s = 0; s < mesh.SplitCount; ++s) {
        TDFFSplit& split = mesh.Splits.emplace_back();
        split.IndexCount = data.u32();
        split.MaterialIndex = data.u32();
        if (split.MaterialIndex >= materials)
            throw ReadError("split " + std::to_string(s) + " names material " + std::to_string(split.MaterialIndex) +
                            " of " + std::to_string(materials));
        data.readArray(split.Indices, split.IndexCount, "index");
        for (const std::uint32_t index : split.Indices) {
            if (index >= vertices.size())
                throw ReadError("split " + std::to_string(s) + " names vertex " + std::to_string(index) + " of " +
                                std::to_string(vertices.size()));
        }
        if (ComputeNormals)
            computeSplitNormals(split, mesh.FaceType, vertices);
    }
}

void TDffLoader::readString(ByteReader& data, std::uint32_t enclosingType)
{
    const auto raw = data.bytes(data.remaining());
    std::size_t length = 0;
    while (length < raw.size() && raw[length] != 0)
        ++length;
    const std::string_view stored(reinterpret_cast<const char*>(raw.data()), length);
    if (enclosingType == RwChunkType::Texture) {
        TDFFMaterial* material = currentMaterial();
        if (material == nullptr)
            return; // a texture outside any material names nothing
        if (!material->Texture.NameSeen) {
            material->Texture.TextureName.assign(TrimText(stored));
            material->Texture.NameSeen = true;
        } else {
            material->Texture.MaskName.assign(TrimText(stored));
        }
    } else if (enclosingType == RwChunkType::FrameList) {
        // A name outside a frame's extension, or in one past the last frame, names nothing.
        auto& frames = currentClump().FrameList.Data.Frames;
        if (m_namedFrame >= 0 && static_cast<std::size_t>(m_namedFrame) < frames.size())
            frames[static_cast<std::size_t>(m_namedFrame)].Name.assign(stored);
    }
}

// Atomics come after the frame and geometry lists in real files, but nothing requires
// that order, so they are checked once the clump is read.
void TDffLoader::checkIndices() const
{
    for (const TDFFClump& clump : Clumps) {
        const std::size_t frames = clump.FrameList.Data.Frames.size();
        const std::size_t geometries = clump.GeometryList.Geometries.size();
        for (std::size_t a = 0; a < clump.Atomics.size(); ++a) {
            const TDFFAtomic& atomic = clump.Atomics[a];
            if (atomic.FrameIndex < 0 || static_cast<std::size_t>(atomic.FrameIndex) >= frames)
                throw ReadError("atomic " + std::to_string(a) + " names frame " + std::to_string(atomic.FrameIndex) +
                                " of " + std::to_string(frames));
            if (atomic.GeometryIndex < 0 || static_cast<std::size_t>(atomic.GeometryIndex) >= geometries)
                throw ReadError("atomic " + std::to_string(a) + " names geometry " +
                                std::to_string(atomic.GeometryIndex) + " of " + std::to_string(geometries));
        }
    }
}

TDFFClump& TDffLoader::currentClump()
{
    return Clumps.back();
}

TDFFGeometry& TDffLoader::currentGeometry(const char* what)
{
    auto& geometries = currentClump().GeometryList.Geometries;
    if (geometries.empty())
        throw ReadError(std::string(what) + " outside any geometry");
    return geometries.back();
}

TDFFMaterial* TDffLoader::currentMaterial()
{
    auto& geometries = currentClump().GeometryList.Geometries;
    if (geometries.empty() || geometries.back().MaterialList.Materials.empty())
        return nullptr;
    return &geometries.back().MaterialList.Materials.back();
}
