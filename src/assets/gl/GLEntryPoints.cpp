#include "GLEntryPoints.h"

bool hasGLExtension(std::string_view extensions, std::string_view extension)
{
    if (extension.empty())
        return false;
    std::size_t from = 0;
    while ((from = extensions.find(extension, from)) != std::string_view::npos) {
        const std::size_t end = from + extension.size();
        const bool startsWord = from == 0 || extensions[from - 1] == ' ';
        const bool endsWord = end == extensions.size() || extensions[end] == ' ';
        if (startsWord && endsWord)
            return true;
        from = end;
    }
    return false;
}

namespace {

template <typename Proc>
Proc fetch(const GLProcLookup& lookup, const char* name)
{
    return reinterpret_cast<Proc>(lookup(name));
}

} // namespace

GLEntryPoints loadGLEntryPoints(std::string_view extensions, const GLProcLookup& lookup)
{
    GLEntryPoints points;
    if (hasGLExtension(extensions, "GL_EXT_paletted_texture"))
        points.ColorTableEXT = fetch<PFNGLCOLORTABLEEXTPROC>(lookup, "glColorTableEXT");
    if (hasGLExtension(extensions, "GL_ARB_texture_compression") &&
        hasGLExtension(extensions, "GL_EXT_texture_compression_s3tc"))
        points.CompressedTexImage2DARB = fetch<PFNGLCOMPRESSEDTEXIMAGE2DARBPROC>(lookup, "glCompressedTexImage2DARB");
    if (hasGLExtension(extensions, "GL_ARB_multitexture")) {
        points.ActiveTextureARB = fetch<PFNGLACTIVETEXTUREARBPROC>(lookup, "glActiveTextureARB");
        points.ClientActiveTextureARB = fetch<PFNGLCLIENTACTIVETEXTUREARBPROC>(lookup, "glClientActiveTextureARB");
        // Unit switching needs both halves; one without the other is no multitexture.
        if (!points.ActiveTextureARB || !points.ClientActiveTextureARB)
            points.ActiveTextureARB = nullptr, points.ClientActiveTextureARB = nullptr;
    }
    return points;
}

GLEntryPoints loadGLEntryPointsFromCurrentContext(const GLProcLookup& lookup)
{
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return loadGLEntryPoints(extensions ? std::string_view(extensions) : std::string_view(), lookup);
}

GLEntryPoints& glEntryPoints()
{
    static GLEntryPoints points;
    return points;
}
