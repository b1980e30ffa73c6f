#pragma once

#include <csignal>
#include <sys/resource.h>

// Makes every file write past `bytes` fail as on a full disk, for as long as
// it lives. Unlike a read-only folder, this holds for root too.
class DiskFull {
public:
    explicit DiskFull(rlim_t bytes = 4) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~DiskFull()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    void (*m_oldHandler)(int);
    rlimit m_old{};
};
