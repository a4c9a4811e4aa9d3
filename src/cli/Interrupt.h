#pragma once

namespace quarvel::cli {

// While one lives, Ctrl+C (SIGINT), a hang-up (SIGHUP, taken as Ctrl+C) and SIGTERM only set a
// flag, and the work in hand decides when to stop: a record stops and is saved; a flash stops only
// where the instrument is unchanged, else finishes, so it is never left in its boot loader.
class InterruptGuard {
public:
    // notice: written to standard error when the signal arrives (empty: nothing).
    explicit InterruptGuard(const char* notice = nullptr);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    static bool requested();
    // The exit status that reports the interrupt: 128 + the signal (130 for Ctrl+C and a
    // hang-up, 143 for SIGTERM); 0 when none arrived.
    static int exitStatus();
};

// A closed standard output (a pipe into "head") is no reason to stop: writes to it fail quietly.
void ignoreClosedOutput();

} // namespace quarvel::cli
