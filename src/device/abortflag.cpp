#include "device/abortflag.h"

#include <atomic>

namespace Device {
namespace {
std::atomic<bool> g_aborted{false};
}

void SetAbortFlag(bool aborted)
{
    g_aborted.store(aborted);
}

bool IsAbortFlagSet()
{
    return g_aborted.load();
}

bool WorkerAbortTest(int)
{
    return IsAbortFlagSet();
}

} // namespace Device
