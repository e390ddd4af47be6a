#include "Platform.h"

#include "StringTable.h"

#include <atomic>
#include <cassert>
#include <chrono>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {
std::atomic<Platform*> g_platform{nullptr};
}

Platform& platform()
{
    Platform* p = g_platform.load(std::memory_order_acquire);
    assert(p && "no platform installed");
    return *p;
}

Platform* setPlatform(Platform* p)
{
    return g_platform.exchange(p, std::memory_order_acq_rel);
}

void applyThreadPriority(ThreadPriority priority)
{
    if (priority != ThreadPriority::Lowest) {
        return;
    }
    // The lowest class leaves the processor to everything else; nice 19 backs
    // it up where SCHED_IDLE is refused. Failure only costs responsiveness.
    sched_param param{};
    param.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

std::thread Platform::startThread(std::function<void()> body, ThreadPriority priority)
{
    return std::thread([body = std::move(body), priority] {
        applyThreadPriority(priority);
        body();
    });
}

void Platform::sleep(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string Platform::loadString(int id)
{
    return std::string(stringTableEntry(id));
}
