#pragma once
// A lock shared by the threads of one process.

#include <mutex>

#include "platform/devkit/devkit_export.h"

class DEVKIT_EXPORT XMutex
{
public:
    XMutex() = default;
    XMutex(const XMutex &) = delete;
    XMutex &operator=(const XMutex &) = delete;

    // Waits until the lock is held by the caller.
    void Lock();
    // Non-zero when the lock was free and is now held by the caller.
    int TryLock();
    // Releases a lock the caller holds.
    void Unlock();

private:
    std::mutex m_lock;
};
