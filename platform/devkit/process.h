#pragma once
// Starting other programs.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/devkit/devkit_export.h"

// Starts `program` with `arguments` (null or empty: none) and returns at once; the
// child is reaped in the background when it ends, never waited on. The argument text
// is split at blanks; double quotes group blanks into one argument and `\"` stands
// for a quote. Returns the child's process id, 0 when it could not be started.
DEVKIT_EXPORT int SystemExecute(const char16_t *program, const char16_t *arguments);

namespace devkit {
// The argument list SystemExecute makes of a command-line text (UTF-8 results).
DEVKIT_EXPORT std::vector<std::string> SplitArguments(const char16_t *arguments);
} // namespace devkit
