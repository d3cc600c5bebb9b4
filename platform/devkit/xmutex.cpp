#include "platform/devkit/xmutex.h"

void XMutex::Lock()
{
    m_lock.lock();
}

int XMutex::TryLock()
{
    return m_lock.try_lock() ? 1 : 0;
}

void XMutex::Unlock()
{
    m_lock.unlock();
}
