// Backend registry and selection, and the defaults of the backend interface.

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/window/window_loop.h"

namespace {

struct BackendEntry
{
    const char *name;
    int priority;
    XBackendFactory factory;
};

struct Registry
{
    std::mutex lock;
    std::vector<BackendEntry> entries;
    // Read without the lock once selected: PostMessage asks for it from any thread.
    std::atomic<XWindowBackend *> active{nullptr};
    std::atomic<int> selected{0};
    XMessageBoxProc boxProc = nullptr;
};

Registry &GetRegistry()
{
    static Registry registry;
    return registry;
}

XWindowBackend *MakeByName(Registry &registry, const char *name)
{
    for (const BackendEntry &entry : registry.entries) {
        if (std::strcmp(entry.name, name) == 0)
            return entry.factory();
    }
    return nullptr;
}

XWindowBackend *MakeByPriority(Registry &registry)
{
    std::vector<BackendEntry> order = registry.entries;
    for (size_t i = 1; i < order.size(); i++) {
        for (size_t j = i; j > 0 && order[j].priority > order[j - 1].priority; j--)
            std::swap(order[j], order[j - 1]);
    }
    for (const BackendEntry &entry : order) {
        if (XWindowBackend *backend = entry.factory())
            return backend;
    }
    return nullptr;
}

} // namespace

XNativeWindow::~XNativeWindow() = default;
XWindowBackend::~XWindowBackend() = default;

int XWindowBackend::MessageBox(Panekit *owner, const char16_t *text, const char16_t *caption,
                               uint32_t flags)
{
    if (XMessageBoxProc proc = GetMessageBoxProc())
        return proc(owner, text, caption, flags);
    return GetMessageBoxCancel(flags);
}

void XWindowBackend::GetWorkArea(BOUND_t *area)
{
    *area = {0, 0, 1024, 768};
}

void SetMessageBoxProc(XMessageBoxProc proc)
{
    Registry &registry = GetRegistry();
    std::lock_guard<std::mutex> hold(registry.lock);
    registry.boxProc = proc;
}

XMessageBoxProc GetMessageBoxProc()
{
    Registry &registry = GetRegistry();
    std::lock_guard<std::mutex> hold(registry.lock);
    return registry.boxProc;
}

void RegisterWindowBackend(const char *name, int priority, XBackendFactory factory)
{
    Registry &registry = GetRegistry();
    std::lock_guard<std::mutex> hold(registry.lock);
    for (BackendEntry &entry : registry.entries) {
        if (std::strcmp(entry.name, name) == 0) {
            entry = {name, priority, factory};
            return;
        }
    }
    registry.entries.push_back({name, priority, factory});
}

XWindowBackend *GetWindowBackend()
{
    Registry &registry = GetRegistry();
    if (registry.selected.load(std::memory_order_acquire))
        return registry.active.load(std::memory_order_acquire);
    std::lock_guard<std::mutex> hold(registry.lock);
    if (registry.selected.load(std::memory_order_relaxed))
        return registry.active.load(std::memory_order_relaxed);
    const char *forced = std::getenv("ZEP_PANEKIT_BACKEND");
    XWindowBackend *backend = forced != nullptr && forced[0] != '\0' ? MakeByName(registry, forced)
                                                                     : MakeByPriority(registry);
    registry.active.store(backend, std::memory_order_release);
    registry.selected.store(1, std::memory_order_release);
    return backend;
}

int SelectWindowBackend(const char *name)
{
    if (name == nullptr || XWindowLoop::Get().GetWindowCount() != 0)
        return 0;
    Registry &registry = GetRegistry();
    std::lock_guard<std::mutex> hold(registry.lock);
    XWindowBackend *active = registry.active.load();
    if (active != nullptr && std::strcmp(active->GetName(), name) == 0) {
        registry.selected.store(1);
        return 1;
    }
    XWindowBackend *backend = MakeByName(registry, name);
    if (backend == nullptr)
        return 0;
    // The previous backend is kept alive: other threads may still hold it for Wake.
    registry.active.store(backend);
    registry.selected.store(1);
    return 1;
}
