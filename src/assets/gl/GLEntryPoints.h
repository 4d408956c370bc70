#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <functional>
#include <string_view>

// The four optional OpenGL entry points the texture upload and the model drawing use.
// The 3D view fetches them once while its context is current and publishes them through
// `glEntryPoints()`; each is null when the driver does not offer it.
struct GLEntryPoints {
    PFNGLCOLORTABLEEXTPROC ColorTableEXT = nullptr;
    PFNGLCOMPRESSEDTEXIMAGE2DARBPROC CompressedTexImage2DARB = nullptr;
    PFNGLACTIVETEXTUREARBPROC ActiveTextureARB = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC ClientActiveTextureARB = nullptr;

    bool hasPalettes() const { return ColorTableEXT != nullptr; }
    bool hasCompressedTextures() const { return CompressedTexImage2DARB != nullptr; }
    bool hasMultitexture() const { return ActiveTextureARB != nullptr && ClientActiveTextureARB != nullptr; }
};

using GLProcLookup = std::function<void*(const char* name)>;

// Whether the space-separated extension string names `extension` as a whole word.
bool hasGLExtension(std::string_view extensions, std::string_view extension);

// Fetches the entry points whose extensions the string advertises; some drivers hand back
// non-null stubs for any name, so an entry point without its extension stays null.
GLEntryPoints loadGLEntryPoints(std::string_view extensions, const GLProcLookup& lookup);

// Reads the current context's extension string and loads from it.
GLEntryPoints loadGLEntryPointsFromCurrentContext(const GLProcLookup& lookup);

// The program-wide set, published by whoever creates the main context.
GLEntryPoints& glEntryPoints();
