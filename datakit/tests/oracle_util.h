#pragma once
// Helpers for tests that hand symbols to outside readers (zbarimg, ZXingReader, zint).

#include <cstddef>
#include <functional>
#include <string>

#include "datakit/bit_image.h"

// Runs a shell command and returns what it wrote to standard output; *status receives
// its exit status (-1 when it could not be started).
std::string RunCommand(const std::string &command, int *status = nullptr);

// True when an executable of that name is on PATH.
bool HaveTool(const char *name);

// The image as a binary PGM file, dark pixels black. False when it cannot be written.
bool WritePgm(const std::string &path, const XBitImage &image);

// Every byte as \xNN, for zint --esc.
std::string ZintEscape(const std::string &bytes);

// Single-quoted for the shell.
std::string ShellQuote(const std::string &s);

// text in corekit's ANSI code page.
std::string ToAnsiBytes(const std::u16string &text);

// Calls body(i) for every i < n on two threads (reader processes dominate the time).
void ParallelFor(size_t n, const std::function<void(size_t)> &body);

// Deterministic pseudo-random numbers for generated texts.
class TestRandom
{
public:
    explicit TestRandom(uint32_t seed) : m_state(seed) {}
    // 0 .. bound-1.
    uint32_t Next(uint32_t bound);

private:
    uint64_t m_state;
};
