#pragma once

#include "TDffRecords.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class ByteReader;
class ByteSource;
struct RwChunkHeader;

// Reads a model file (the first clump of a RenderWare binary stream) into plain records.
// Reading is bounded by the bytes given: a file that is cut short or whose counts, sizes or
// indices do not fit is reported, and the model is left empty rather than half read.
class TDffLoader {
public:
    std::vector<TDFFClump> Clumps;
    // Frame extensions met in the current frame list: the extensions come one per frame, in
    // frame order, so this is the frame that a name chunk inside the current one names.
    std::int32_t FrameNameCounter = 0;
    // Whether reading computes the splits' face normals. A loader that draws turns it off
    // and has them computed when drawing first needs them (SplitNormals.h).
    bool ComputeNormals = true;
    // What the last read met that the game reads past but a file should not hold (a clump
    // whose declared size leaves atomics outside it); "" when nothing.
    std::string ReadWarning;

    void Clear();

    // Clears, then reads the model held in `bytes`. Returns "" or what is wrong with them;
    // the model is then left empty, or with what was read before the fault when
    // `keepPartial` is set (for reports that show what could be read).
    std::string ReadFromBytes(std::span<const std::uint8_t> bytes, bool keepPartial = false);
    // Clears, then reads the `length` bytes at `offset` of `stream`, in place when the
    // stream holds them in memory.
    std::string ReadFromStream(const ByteSource& stream, std::int64_t length, std::int64_t offset);

private:
    void readAtomicsAfterClump(ByteReader& reader);
    void walk(ByteReader& reader, std::uint32_t enclosingType, int depth);
    void readChunk(const RwChunkHeader& header, ByteReader& data, std::uint32_t enclosingType, int depth);
    void readStruct(const RwChunkHeader& header, ByteReader& data, std::uint32_t enclosingType);
    void readFrameList(ByteReader& data);
    void readGeometry(const RwChunkHeader& header, ByteReader& data);
    void readMaterial(ByteReader& data);
    void readBinMesh(ByteReader& data);
    void readString(ByteReader& data, std::uint32_t enclosingType);
    void checkIndices() const;

    std::int32_t m_namedFrame = -1; // the frame whose extension is being walked

    TDFFClump& currentClump();
    TDFFGeometry& currentGeometry(const char* what);
    TDFFMaterial* currentMaterial();
};
