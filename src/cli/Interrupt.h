#pragma once

namespace quarvel::cli {

// While one lives, Ctrl+C (SIGINT) and SIGTERM only set a flag, and the work in hand decides when
// to stop: a record stops and is saved; a flash or fuse write finishes, so the instrument is never
// left in its boot loader (where the next command could not find it).
class InterruptGuard {
public:
    // notice: written to standard error when the signal arrives (empty: nothing).
    explicit InterruptGuard(const char* notice = nullptr);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    static bool requested();
};

} // namespace quarvel::cli
