#pragma once
// The regular-expression engine under corekit's regex functions (internal): pattern
// compilation with the script grammar's options, and matching with fixed limits.

#include <cstddef>
#include <cstdint>
#include <string>

#define PCRE2_CODE_UNIT_WIDTH 0
#include <pcre2.h>

// Engine types and calls for one code-unit width.
template <typename Unit> struct RegexEngine;

template <> struct RegexEngine<char>
{
    using Code = pcre2_code_8;
    using Data = pcre2_match_data_8;
    using Context = pcre2_match_context_8;
};

template <> struct RegexEngine<char16_t>
{
    using Code = pcre2_code_16;
    using Data = pcre2_match_data_16;
    using Context = pcre2_match_context_16;
};

// Compiles pattern (null-terminated) with the script grammar's options; null on any error.
RegexEngine<char>::Code *CompileRegex(const char *pattern, uint32_t options);
RegexEngine<char16_t>::Code *CompileRegex(const char16_t *pattern, uint32_t options);
void FreeRegex(RegexEngine<char>::Code *code);
void FreeRegex(RegexEngine<char16_t>::Code *code);

// Matches one compiled expression against one text, reusing its match data across calls.
template <typename Unit> class RegexMatcher
{
public:
    using Code = typename RegexEngine<Unit>::Code;

    explicit RegexMatcher(const Code *code);
    RegexMatcher(const RegexMatcher &) = delete;
    RegexMatcher &operator=(const RegexMatcher &) = delete;
    ~RegexMatcher();

    // False when the match data could not be made (then every Find fails).
    bool IsReady() const { return m_data != nullptr && m_context != nullptr; }
    // Searches text[0, len) from start: 1 found, 0 none, -1 error or a limit reached.
    // whole asks for a match that spans from start to the end of the text.
    int Find(const Unit *text, size_t len, size_t start, bool whole);
    // Number of groups of the expression (the whole match not counted).
    uint32_t GetGroupCount() const { return m_groups; }
    // Offsets of group i (0: the whole match) after a successful Find; false when the group
    // did not take part.
    bool GetGroup(uint32_t i, size_t *begin, size_t *end) const;
    // True when the expression defines named groups.
    bool HasNames() const { return m_names != 0; }
    // Group number of a named group, or -1.
    int FindName(const std::basic_string<Unit> &name) const;

private:
    const Code *m_code;
    typename RegexEngine<Unit>::Data *m_data = nullptr;
    typename RegexEngine<Unit>::Context *m_context = nullptr;
    uint32_t m_groups = 0;
    uint32_t m_names = 0;
};

// Appends to out the text with every match replaced by format (script replacement rules);
// false on an engine error.
template <typename Unit>
bool ReplaceAll(RegexMatcher<Unit> &matcher, const Unit *text, const Unit *format,
                std::basic_string<Unit> *out);
