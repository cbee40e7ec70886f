#include "platform/core/QuitRequest.h"

#include <atomic>

namespace lumora {

namespace {

// Lock-free, hence safe to store from a signal handler.
std::atomic<bool> g_raised{false};
static_assert(std::atomic<bool>::is_always_lock_free);

} // namespace

void QuitRequest::raise()
{
    g_raised.store(true, std::memory_order_relaxed);
}

bool QuitRequest::isRaised()
{
    return g_raised.load(std::memory_order_relaxed);
}

void QuitRequest::reset()
{
    g_raised.store(false, std::memory_order_relaxed);
}

} // namespace lumora
