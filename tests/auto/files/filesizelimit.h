#pragma once

// While it lives, files of this process cannot grow beyond `bytes`: a write beyond fails (with
// EFBIG; the signal that would end the process is ignored). Even root cannot get around it,
// which makes it the way to have a save fail halfway.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_before); }
    bool isActive() const { return m_active; }

private:
    rlimit m_before {};
    bool m_active = false;
};
