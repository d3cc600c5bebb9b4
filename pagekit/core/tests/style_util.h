#pragma once
// Helpers shared by the style tests.

#include <string>

#include "pagekit/core/default_style.h"
#include "pagekit/core/style_desc.h"

// A descriptor that frees its strings when it goes out of scope.
struct ScopedStyle : XStyleDesc
{
    ScopedStyle() { InitStyleDesc(this); }
    explicit ScopedStyle(const char *text);
    ~ScopedStyle() { FreeStyleDescStrings(this); }
    ScopedStyle(const ScopedStyle &) = delete;
    ScopedStyle &operator=(const ScopedStyle &) = delete;
};

// FormatStyleDesc as UTF-8.
std::string FormatStyle(XStyleDesc *desc);
// UTF-8 of a UTF-16 string ("<null>" for null).
std::string Utf8(const char16_t *s);
// Field-by-field equality of the parts the style text carries (strings by value,
// gradients by content); on a difference, *why names the field.
bool SameStyle(const XStyleDesc &a, const XStyleDesc &b, std::string *why);

// Gives a test a default table of its own (the built-ins, made on first use) and puts
// the process's table back when it goes out of scope.
class ScopedDefaultTable
{
public:
    ScopedDefaultTable() : m_saved(SwapDefaultStyleTable(nullptr)) {}
    ~ScopedDefaultTable() { FreeDefaultStyleTable(SwapDefaultStyleTable(m_saved)); }
    ScopedDefaultTable(const ScopedDefaultTable &) = delete;
    ScopedDefaultTable &operator=(const ScopedDefaultTable &) = delete;

private:
    XStyleDesc *m_saved;
};
