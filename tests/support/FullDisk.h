#pragma once

#include <csignal>

#include <sys/resource.h>

namespace quarvel::test {

// While it lives, every write past the first `bytes` of a file fails, as on a full disk (also
// for root): a file size limit, with its signal ignored so the write returns an error instead.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedSignal = signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_savedSignal);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool active() const { return m_active; }

private:
    struct rlimit m_saved {};
    void (*m_savedSignal)(int) = nullptr;
    bool m_active = false;
};

} // namespace quarvel::test
