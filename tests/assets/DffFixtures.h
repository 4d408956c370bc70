#pragma once

#include "RwChunk.h"
#include "RwWriter.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// A small model written chunk by chunk, for the cases the model writer never produces
// (odd string counts, other struct sizes, unknown chunks) and for corrupting single fields:
// `at` holds the byte offset of every field a test may want to change.
//
// Two frames ("root", child "part"), one geometry of four vertices with texture
// coordinates, one material ("brick", mask "brickm"), a bin mesh of two listed triangles,
// one atomic (frame 1, geometry 0).
struct HandModelOptions {
    std::uint32_t stamp = 0x1003FFFF;
    // The chunks inside frame i's extension; default: a frame name chunk.
    std::function<void(RwWriter&, int frame)> frameExtension;
    // The chunks of the texture after its struct; default: the two name strings.
    std::function<void(RwWriter&)> textureStrings;
    std::size_t materialStructSize = 28;
    // Extra chunks written at the end of the clump, before its extension.
    std::function<void(RwWriter&)> clumpExtra;
};

struct HandModel {
    std::vector<std::uint8_t> bytes;
    std::map<std::string, std::size_t> at;

    void putU32(const std::string& field, std::uint32_t value)
    {
        const std::size_t offset = at.at(field);
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
};

inline HandModel writeHandModel(const HandModelOptions& options = {})
{
    const std::uint32_t stamp = options.stamp;
    RwWriter w;
    HandModel model;
    auto mark = [&](const std::string& field) { model.at[field] = w.size(); };
    auto header = [&](const std::string& name, std::uint32_t type, const std::function<void()>& body) {
        model.at[name + ".type"] = w.size();
        model.at[name + ".size"] = w.size() + 4;
        w.chunk(type, stamp, body);
    };
    const bool oldGeometry = rwLibraryVersion(stamp) < 0x34000;

    header("clump", 16, [&] {
        header("clumpStruct", 1, [&] {
            w.u32(1);
            w.u32(0);
            w.u32(0);
        });
        header("frameList", 14, [&] {
            header("frameStruct", 1, [&] {
                mark("frameCount");
                w.u32(2);
                for (int f = 0; f < 2; ++f) {
                    for (float r : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f})
                        w.f32(r);
                    w.f32(f == 0 ? 0.f : 2.f);
                    w.f32(0);
                    w.f32(0);
                    mark("frameParent" + std::to_string(f));
                    w.i32(f - 1);
                    w.u32(0);
                }
            });
            for (int f = 0; f < 2; ++f) {
                header("frameExtension" + std::to_string(f), 3, [&] {
                    if (options.frameExtension)
                        options.frameExtension(w, f);
                    else
                        w.stringChunk(0x253F2FE, f == 0 ? "root" : "part", stamp);
                });
            }
        });
        header("geometryList", 26, [&] {
            header("geometryListStruct", 1, [&] { w.u32(1); });
            header("geometry", 15, [&] {
                header("geometryStruct", 1, [&] {
                    mark("geometryFlags");
                    w.u16(2 | 4);
                    mark("uvSets");
                    w.u8(1);
                    w.u8(0);
                    mark("triangleCount");
                    w.u32(2);
                    mark("vertexCount");
                    w.u32(4);
                    w.u32(1);
                    if (oldGeometry) {
                        w.f32(1);
                        w.f32(1);
                        w.f32(1);
                    }
                    for (float t : {0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 1.f})
                        w.f32(t);
                    for (std::uint16_t t : {1, 0, 0, 2, 3, 2, 0, 0})
                        w.u16(t);
                    for (float s : {0.5f, 0.5f, 0.f, 1.f})
                        w.f32(s);
                    w.u32(1);
                    w.u32(0);
                    for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 0.f, 0.f, 1.f, 0.f})
                        w.f32(v);
                });
                header("materialList", 8, [&] {
                    header("materialListStruct", 1, [&] {
                        mark("materialTotal");
                        w.u32(1);
                        w.i32(-1);
                    });
                    header("material", 7, [&] {
                        header("materialStruct", 1, [&] {
                            w.u32(0);
                            for (std::uint8_t c : {10, 20, 30, 255})
                                w.u8(c);
                            w.u32(0);
                            w.u32(1);
                            w.f32(1);
                            w.f32(0.5f);
                            w.f32(0.25f);
                            for (std::size_t i = 28; i < options.materialStructSize; ++i)
                                w.u8(static_cast<std::uint8_t>(i));
                        });
                        header("texture", 6, [&] {
                            header("textureStruct", 1, [&] { w.u32(0x1106); });
                            if (options.textureStrings) {
                                options.textureStrings(w);
                            } else {
                                mark("textureName");
                                w.stringChunk(2, "brick", stamp);
                                w.stringChunk(2, "brickm", stamp);
                            }
                            header("textureExtension", 3, [] {});
                        });
                        header("materialExtension", 3, [] {});
                    });
                });
                header("geometryExtension", 3, [&] {
                    header("binMesh", 0x50E, [&] {
                        mark("faceType");
                        w.u32(0);
                        mark("splitCount");
                        w.u32(1);
                        w.u32(6);
                        mark("indexCount");
                        w.u32(6);
                        mark("splitMaterial");
                        w.u32(0);
                        int k = 0;
                        for (std::uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) {
                            mark("index" + std::to_string(k++));
                            w.u32(i);
                        }
                    });
                });
            });
        });
        header("atomic", 20, [&] {
            header("atomicStruct", 1, [&] {
                mark("atomicFrame");
                w.i32(1);
                mark("atomicGeometry");
                w.i32(0);
                w.u32(5);
                w.u32(0);
            });
            header("atomicExtension", 3, [] {});
        });
        if (options.clumpExtra)
            options.clumpExtra(w);
        header("clumpExtension", 3, [] {});
    });
    model.bytes = w.take();
    return model;
}
