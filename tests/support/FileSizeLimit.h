#pragma once

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>

// Lowers the size limit for files this process writes; writes past it fail with EFBIG.
// Windows has no such limit: its failed commits are made by a holder of the file instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    bool active() const { return m_active; }

private:
    void (*m_handler)(int);
    rlimit m_saved {};
    bool m_active = false;
};
#endif
