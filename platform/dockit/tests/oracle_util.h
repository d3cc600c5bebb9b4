#pragma once
// Runs outside tools for oracle tests: the input goes through a file, the output
// comes back as bytes.

#include <string>

namespace dockit_test {

// Runs `command` through /bin/sh with `input` on its standard input; returns its
// standard output. `status` receives the exit status (-1 when it could not run).
std::string RunTool(const std::string &command, const std::string &input, int *status);

// A fresh file name in the running test's own temporary folder.
std::string TempFile(const std::string &suffix);

// Whole content of a file ("" when missing).
std::string ReadWhole(const std::string &path);
void WriteWhole(const std::string &path, const std::string &bytes);

} // namespace dockit_test
