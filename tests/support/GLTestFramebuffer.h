#pragma once

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <array>
#include <cstdint>
#include <vector>

// An offscreen RGBA framebuffer of the current context, with a depth buffer when asked,
// bound while it lives, with the viewport set to its size; pixels are read back bottom row
// first.
class GLTestFramebuffer {
public:
    GLTestFramebuffer(int width, int height, bool withDepth = false) : m_width(width), m_height(height)
    {
        m_gl = QOpenGLContext::currentContext()->functions();
        m_gl->glGenFramebuffers(1, &m_framebuffer);
        m_gl->glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        m_gl->glGenRenderbuffers(withDepth ? 2 : 1, m_buffers);
        m_gl->glBindRenderbuffer(GL_RENDERBUFFER, m_buffers[0]);
        m_gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        m_gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_buffers[0]);
        if (withDepth) {
            m_gl->glBindRenderbuffer(GL_RENDERBUFFER, m_buffers[1]);
            m_gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
            m_gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_buffers[1]);
        }
        m_gl->glViewport(0, 0, width, height);
    }
    ~GLTestFramebuffer()
    {
        m_gl->glBindFramebuffer(GL_FRAMEBUFFER, 0);
        m_gl->glDeleteRenderbuffers(m_buffers[1] ? 2 : 1, m_buffers);
        m_gl->glDeleteFramebuffers(1, &m_framebuffer);
    }
    GLTestFramebuffer(const GLTestFramebuffer&) = delete;
    GLTestFramebuffer& operator=(const GLTestFramebuffer&) = delete;

    bool complete() const { return m_gl->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    std::array<std::uint8_t, 4> pixel(int x, int y) const
    {
        std::array<std::uint8_t, 4> rgba{};
        m_gl->glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    std::vector<std::array<std::uint8_t, 4>> pixels() const
    {
        std::vector<std::array<std::uint8_t, 4>> all(static_cast<std::size_t>(m_width) * m_height);
        m_gl->glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, all.data());
        return all;
    }

private:
    QOpenGLFunctions* m_gl = nullptr;
    GLuint m_framebuffer = 0;
    GLuint m_buffers[2] = {0, 0}; // colour, depth
    int m_width = 0;
    int m_height = 0;
};
