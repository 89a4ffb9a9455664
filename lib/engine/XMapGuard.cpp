#include "XMapGuard.h"

#ifdef Q_OS_UNIX
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zem {

#ifdef Q_OS_UNIX
namespace {

// Plain thread-locals: the handler may read them, nothing here allocates.
thread_local const char* t_base = nullptr;
thread_local size_t t_length = 0;
thread_local volatile sig_atomic_t t_hit = 0;

struct sigaction g_previous;
bool g_installed = false;

void onBus(int sig, siginfo_t* info, void* context)
{
    const char* addr = static_cast<const char*>(info->si_addr);
    if (t_base && addr >= t_base && addr < t_base + t_length) {
        // Zero pages from the faulting page to the end of the mapping; the read is retried.
        const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
        char* from = reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(addr) & ~(page - 1));
        const size_t rest = size_t(t_base + t_length - from);
        if (mmap(from, rest, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            t_hit = 1;
            return;
        }
    }
    // Not ours: let the earlier action deal with the retried fault.
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) {
            g_previous.sa_sigaction(sig, info, context);
            return;
        }
    }
    sigaction(SIGBUS, &g_previous, nullptr);
}

} // namespace

bool XMapGuard::watch(const void* base, qint64 length)
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_sigaction = onBus;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        g_installed = sigaction(SIGBUS, &action, &g_previous) == 0;
    });
    t_base = static_cast<const char*>(base);
    t_length = size_t(length);
    t_hit = 0;
    return g_installed;
}

void XMapGuard::unwatch(const void* base)
{
    if (t_base != base)
        return;
    t_base = nullptr;
    t_length = 0;
}

bool XMapGuard::hit()
{
    return t_hit != 0;
}
#else
bool XMapGuard::watch(const void*, qint64) { return false; }
void XMapGuard::unwatch(const void*) {}
bool XMapGuard::hit() { return false; }
#endif

} // namespace zem
