#pragma once
// The release callback through which a container hands back an item it drops on its own.
// Containers never own their items; the owner installs the callback.

using XReleaseProc = void (*)(void *item);
