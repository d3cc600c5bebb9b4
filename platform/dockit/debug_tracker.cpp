#include "platform/dockit/debug_tracker.h"

#include <mutex>
#include <string>

#include "platform/devkit/native_path.h"

namespace {

std::mutex g_lock;
ZEP_DebugProc g_proc = nullptr;
void *g_data = nullptr;

} // namespace

ZEP_DebugProc ZEP_SetDebugProc(void *data, ZEP_DebugProc proc)
{
    std::lock_guard<std::mutex> hold(g_lock);
    ZEP_DebugProc before = g_proc;
    g_proc = proc;
    g_data = data;
    return before;
}

void ZEP_DebugTracker(const char16_t *text)
{
    if (!text)
        return;
    ZEP_DebugProc proc;
    void *data;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        proc = g_proc;
        data = g_data;
    }
    if (proc)
        proc(data, text);
}

void ZEP_DebugTracker(const char *text)
{
    if (!text)
        return;
    std::string narrow = text;
    std::u16string wide = devkit::Utf8ToUtf16(narrow.data(), narrow.size());
    ZEP_DebugTracker(wide.c_str());
}
