#include "cli/Interrupt.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace quarvel::cli {

namespace {
volatile std::sig_atomic_t g_requested = 0;
const char* g_notice = nullptr;

extern "C" void onInterrupt(int)
{
    g_requested = 1;
    if (g_notice)
        (void)!::write(STDERR_FILENO, g_notice, std::strlen(g_notice)); // write() is safe in a handler
}
} // namespace

InterruptGuard::InterruptGuard(const char* notice)
{
    g_requested = 0;
    g_notice = notice;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

InterruptGuard::~InterruptGuard()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    g_notice = nullptr;
}

bool InterruptGuard::requested()
{
    return g_requested != 0;
}

} // namespace quarvel::cli
