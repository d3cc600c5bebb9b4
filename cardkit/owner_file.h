#pragma once
// Files that hold a card's personal data are readable and writable by their
// owner only, whatever the process's file-creation mask.
#include <cstdio>
#include <string>

#include "cardkit/cardkit_export.h"

namespace cardkit {

// Creates or truncates `path` with mode 0600 (an existing file is changed to
// 0600 too) and opens it for binary writing; null on failure.
CARDKIT_EXPORT FILE *CreateOwnerOnlyFile(const std::string &path);

} // namespace cardkit
