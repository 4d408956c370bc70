#include "DffWriter.h"

#include "RwWriter.h"

#include <algorithm>
#include <cmath>

// Chunk tree written:
//
//   clump 16
//     struct: u32 atomic count (+ u32 lights, u32 cameras from 3.3 on)
//     frame list 14
//       struct: u32 count, per frame 9 f32 rotation, 3 f32 position, i32 parent, u32 flags
//       extension per frame (frame name 0x253F2FE when the frame has a name)
//     geometry list 26
//       struct: u32 count
//       geometry 15 per geometry
//         struct: u16 flags, u8 UV sets, u8 native flags, u32 triangles, u32 vertices,
//                 u32 morph targets, [3 f32 surface properties before 3.4], prelit,
//                 texcoords, triangles (4 u16), sphere (4 f32), u32 has positions,
//                 u32 has normals, positions, normals
//         material list 8: struct (u32 count, count i32 -1), material 7 per material
//           material: struct (28 bytes), [texture 6: struct, name, mask, extension], extension
//         extension: [bin mesh 0x50E]
//     atomic 20 per atomic: struct (frame, geometry, flags, 0), extension
//     extension
namespace {

constexpr std::uint16_t FlagStrips = 1;
constexpr std::uint16_t FlagPositions = 2;
constexpr std::uint16_t FlagTexCoords = 4;
constexpr std::uint16_t FlagPrelit = 8;
constexpr std::uint16_t FlagNormals = 16;
constexpr std::uint16_t FlagLight = 32;
constexpr std::uint16_t FlagModulate = 64;

// The triangles of the bin mesh, as the geometry struct stores them (second vertex, first
// vertex, material, third vertex). Strip triangles alternate their winding.
std::vector<std::array<std::uint16_t, 4>> trianglesFromSplits(const DffGeometry& geometry)
{
    std::vector<std::array<std::uint16_t, 4>> triangles;
    auto add = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t material) {
        if (a == b || b == c || a == c)
            return;
        triangles.push_back({static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(a),
                             static_cast<std::uint16_t>(material), static_cast<std::uint16_t>(c)});
    };
    for (const DffSplit& split : geometry.splits) {
        const auto& idx = split.indices;
        if (geometry.strips) {
            for (std::size_t k = 0; k + 2 < idx.size(); ++k) {
                if (k % 2 == 0)
                    add(idx[k], idx[k + 1], idx[k + 2], split.material);
                else
                    add(idx[k], idx[k + 2], idx[k + 1], split.material);
            }
        } else {
            for (std::size_t k = 0; k + 2 < idx.size(); k += 3)
                add(idx[k], idx[k + 1], idx[k + 2], split.material);
        }
    }
    return triangles;
}

std::array<float, 4> boundingSphere(const std::vector<std::array<float, 3>>& vertices)
{
    if (vertices.empty())
        return {0, 0, 0, 0};
    std::array<float, 3> low = vertices.front();
    std::array<float, 3> high = vertices.front();
    for (const auto& v : vertices) {
        for (int i = 0; i < 3; ++i) {
            low[i] = std::min(low[i], v[i]);
            high[i] = std::max(high[i], v[i]);
        }
    }
    std::array<float, 4> sphere{(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2, 0};
    for (const auto& v : vertices) {
        const float dx = v[0] - sphere[0], dy = v[1] - sphere[1], dz = v[2] - sphere[2];
        sphere[3] = std::max(sphere[3], std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    return sphere;
}

class DffChunkWriter {
public:
    explicit DffChunkWriter(std::uint32_t stamp) : m_stamp(stamp), m_version(rwLibraryVersionOf(stamp)) {}

    std::vector<std::uint8_t> clump(const DffClump& clump)
    {
        m_out.chunk(16, m_stamp, [&] {
            structChunk([&] {
                m_out.u32(static_cast<std::uint32_t>(clump.atomics.size()));
                if (m_version >= 0x33000) {
                    m_out.u32(0); // lights
                    m_out.u32(0); // cameras
                }
            });
            frameList(clump.frames);
            m_out.chunk(26, m_stamp, [&] {
                structChunk([&] { m_out.u32(static_cast<std::uint32_t>(clump.geometries.size())); });
                for (const DffGeometry& geometry : clump.geometries)
                    this->geometry(geometry);
            });
            for (const DffAtomic& atomic : clump.atomics) {
                m_out.chunk(20, m_stamp, [&] {
                    structChunk([&] {
                        m_out.i32(atomic.frame);
                        m_out.i32(atomic.geometry);
                        m_out.u32(atomic.flags);
                        m_out.u32(0);
                    });
                    emptyExtension();
                });
            }
            emptyExtension();
        });
        return m_out.take();
    }

private:
    // The same conversion the readers use; kept local so the writers need nothing of the core.
    static std::uint32_t rwLibraryVersionOf(std::uint32_t stamp)
    {
        if ((stamp & 0xFFFF0000u) != 0)
            return (((stamp >> 14) & 0x3FF00u) + 0x30000u) | ((stamp >> 16) & 0x3Fu);
        return stamp << 8;
    }

    void structChunk(const std::function<void()>& body) { m_out.chunk(1, m_stamp, body); }
    void emptyExtension() { m_out.chunk(3, m_stamp, [] {}); }

    void frameList(const std::vector<DffFrame>& frames)
    {
        m_out.chunk(14, m_stamp, [&] {
            structChunk([&] {
                m_out.u32(static_cast<std::uint32_t>(frames.size()));
                for (const DffFrame& frame : frames) {
                    for (float f : frame.rotation)
                        m_out.f32(f);
                    for (float f : frame.position)
                        m_out.f32(f);
                    m_out.i32(frame.parent);
                    m_out.u32(frame.matrixFlags);
                }
            });
            for (const DffFrame& frame : frames) {
                m_out.chunk(3, m_stamp, [&] {
                    if (!frame.name.empty())
                        m_out.stringChunk(0x253F2FE, frame.name, m_stamp);
                });
            }
        });
    }

    void geometry(const DffGeometry& geometry)
    {
        const auto triangles = geometry.triangles.empty() ? trianglesFromSplits(geometry) : geometry.triangles;
        const auto vertexCount = geometry.vertices.size();
        m_out.chunk(15, m_stamp, [&] {
            structChunk([&] {
                std::uint16_t flags = FlagPositions | FlagLight | FlagModulate;
                if (geometry.strips)
                    flags |= FlagStrips;
                if (!geometry.texCoords.empty())
                    flags |= FlagTexCoords;
                if (!geometry.prelit.empty())
                    flags |= FlagPrelit;
                if (!geometry.normals.empty())
                    flags |= FlagNormals;
                m_out.u16(flags);
                m_out.u8(geometry.texCoords.empty() ? 0 : 1);
                m_out.u8(0);
                m_out.u32(static_cast<std::uint32_t>(triangles.size()));
                m_out.u32(static_cast<std::uint32_t>(vertexCount));
                m_out.u32(1);
                if (m_version < 0x34000) {
                    m_out.f32(1);
                    m_out.f32(1);
                    m_out.f32(1);
                }
                for (const auto& c : geometry.prelit)
                    m_out.bytes(c);
                for (const auto& t : geometry.texCoords) {
                    m_out.f32(t[0]);
                    m_out.f32(t[1]);
                }
                for (const auto& t : triangles)
                    for (std::uint16_t v : t)
                        m_out.u16(v);
                for (float f : boundingSphere(geometry.vertices))
                    m_out.f32(f);
                m_out.u32(1);
                m_out.u32(geometry.normals.empty() ? 0 : 1);
                for (const auto& v : geometry.vertices)
                    for (float f : v)
                        m_out.f32(f);
                for (const auto& n : geometry.normals)
                    for (float f : n)
                        m_out.f32(f);
            });
            materialList(geometry.materials);
            m_out.chunk(3, m_stamp, [&] {
                if (!geometry.splits.empty())
                    binMesh(geometry);
            });
        });
    }

    void materialList(const std::vector<DffMaterial>& materials)
    {
        m_out.chunk(8, m_stamp, [&] {
            structChunk([&] {
                m_out.u32(static_cast<std::uint32_t>(materials.size()));
                for (std::size_t i = 0; i < materials.size(); ++i)
                    m_out.i32(-1);
            });
            for (const DffMaterial& material : materials) {
                m_out.chunk(7, m_stamp, [&] {
                    structChunk([&] {
                        m_out.u32(0); // flags
                        m_out.bytes(material.colour);
                        m_out.u32(0); // unused
                        m_out.u32(material.texture.empty() ? 0 : 1);
                        m_out.f32(1); // ambient
                        m_out.f32(1); // specular
                        m_out.f32(1); // diffuse
                    });
                    if (!material.texture.empty()) {
                        m_out.chunk(6, m_stamp, [&] {
                            structChunk([&] { m_out.u32(0x1106); });
                            m_out.stringChunk(2, material.texture, m_stamp);
                            m_out.stringChunk(2, material.mask, m_stamp);
                            emptyExtension();
                        });
                    }
                    emptyExtension();
                });
            }
        });
    }

    void binMesh(const DffGeometry& geometry)
    {
        m_out.chunk(0x50E, m_stamp, [&] {
            std::uint32_t total = 0;
            for (const DffSplit& split : geometry.splits)
                total += static_cast<std::uint32_t>(split.indices.size());
            m_out.u32(geometry.strips ? 1 : 0);
            m_out.u32(static_cast<std::uint32_t>(geometry.splits.size()));
            m_out.u32(total);
            for (const DffSplit& split : geometry.splits) {
                m_out.u32(static_cast<std::uint32_t>(split.indices.size()));
                m_out.u32(split.material);
                for (std::uint32_t index : split.indices)
                    m_out.u32(index);
            }
        });
    }

    RwWriter m_out;
    std::uint32_t m_stamp;
    std::uint32_t m_version;
};

} // namespace

std::vector<std::uint8_t> writeDff(const DffClump& clump, std::uint32_t stamp)
{
    return DffChunkWriter(stamp).clump(clump);
}
