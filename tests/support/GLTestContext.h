#pragma once

#include <QOpenGLContext>

// Entry points of the current test context, by name (null when the driver has none).
inline void* glTestProcAddress(const char* name)
{
    return reinterpret_cast<void*>(QOpenGLContext::currentContext()->getProcAddress(name));
}
