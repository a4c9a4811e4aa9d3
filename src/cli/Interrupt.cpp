#include "cli/Interrupt.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace quarvel::cli {

namespace {
volatile std::sig_atomic_t g_signal = 0;
const char* g_notice = nullptr;

extern "C" void onInterrupt(int signal)
{
    g_signal = signal == SIGHUP ? SIGINT : signal;
    if (g_notice)
        (void)!::write(STDERR_FILENO, g_notice, std::strlen(g_notice)); // write() is safe in a handler
}

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
} // namespace

InterruptGuard::InterruptGuard(const char* notice)
{
    g_signal = 0;
    g_notice = notice;
    for (const int s : kSignals)
        std::signal(s, onInterrupt);
}

InterruptGuard::~InterruptGuard()
{
    for (const int s : kSignals)
        std::signal(s, SIG_DFL);
    g_notice = nullptr;
}

bool InterruptGuard::requested()
{
    return g_signal != 0;
}

int InterruptGuard::exitStatus()
{
    return g_signal != 0 ? 128 + g_signal : 0;
}

void ignoreClosedOutput()
{
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace quarvel::cli
