#pragma once
// Points the process-wide work folder somewhere for a scope and puts the previous one
// back, so that no later test resolves names in a folder that is gone.
#include <string>

#include "platform/devkit/folders.h"

class WorkFolderScope
{
public:
    WorkFolderScope()
    {
        char16_t old[321]; // the longest work folder and its terminator
        if (GetWorkFolder(old, 321) > 0)
            m_old = old;
    }
    ~WorkFolderScope() { SetWorkFolder(m_old.c_str()); }
    WorkFolderScope(const WorkFolderScope &) = delete;
    WorkFolderScope &operator=(const WorkFolderScope &) = delete;

private:
    std::u16string m_old;
};
