#pragma once
// Replacing a file's content safely (not exported).

#include <string>

namespace dockit {

// Writes bytes to a temporary file beside `path`, flushes it to the disk and renames it
// over `path`; on any failure the temporary file is removed and `path` is untouched.
// An existing file's permission bits are kept. Returns true on success.
bool ReplaceFile(const std::string &path, const std::string &bytes);

} // namespace dockit
