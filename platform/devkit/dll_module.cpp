#include "platform/devkit/dll_module.h"

#include <dlfcn.h>

#include "platform/devkit/native_path.h"

void *LoadDllModule(const char16_t *path)
{
    if (!path || !*path)
        return nullptr;
    return ::dlopen(devkit::ToNativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void *GetDllFunction(void *module, const char *name)
{
    if (!module || !name)
        return nullptr;
    return ::dlsym(module, name);
}

void FreeDllModule(void *module)
{
    if (module)
        ::dlclose(module);
}
