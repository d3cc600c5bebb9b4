// Backend registry and selection, and the defaults of the backend interface.

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/panekit/panekit_window.h"
#include "platform/panekit/window_backend.h"
#include "platform/panekit/window_loop.h"

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
    XWindowBackend *active = nullptr;
    int selected = 0;
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
    std::lock_guard<std::mutex> hold(registry.lock);
    if (registry.selected)
        return registry.active;
    registry.selected = 1;
    const char *forced = std::getenv("ZEP_PANEKIT_BACKEND");
    if (forced != nullptr && forced[0] != '\0')
        registry.active = MakeByName(registry, forced);
    else
        registry.active = MakeByPriority(registry);
    return registry.active;
}

int SelectWindowBackend(const char *name)
{
    if (name == nullptr || XWindowLoop::Get().GetWindowCount() != 0)
        return 0;
    Registry &registry = GetRegistry();
    std::lock_guard<std::mutex> hold(registry.lock);
    if (registry.active != nullptr && std::strcmp(registry.active->GetName(), name) == 0)
        return 1;
    XWindowBackend *backend = MakeByName(registry, name);
    if (backend == nullptr)
        return 0;
    // The previous backend is kept alive: other threads may still hold it for Wake.
    registry.active = backend;
    registry.selected = 1;
    return 1;
}
