// A write that fails half-way, on demand: while a CFileSizeLimit lives, no file of this process can
// grow past the limit (the system refuses with EFBIG), so a writer can be shown to fail after it has
// begun, which a missing folder or a read-only one (root ignores those) cannot show.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace pwtest {

class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t nBytes) {
        getrlimit(RLIMIT_FSIZE, &m_Old);
        // Without this the system would kill the process instead of failing the write.
        m_pOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_Old;
        limit.rlim_cur = nBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_Old);
        std::signal(SIGXFSZ, m_pOldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_Old{};
    void (*m_pOldHandler)(int) = nullptr;
};

} // namespace pwtest
