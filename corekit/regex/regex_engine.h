#pragma once
// The regular-expression engine under corekit's regex functions (internal): pattern
// compilation with the script grammar's options, and matching with fixed limits.
//
// Wide text is matched unit by unit with the 16-bit engine. Narrow text is decoded from
// UTF-8 and matched code point by code point with the 32-bit engine in the same mode, so
// both twins read the grammar alike: no Unicode properties, and case folding through the
// engine's built-in C-locale tables, which fold ASCII letters only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#define PCRE2_CODE_UNIT_WIDTH 0
#include <pcre2.h>

// Engine types and calls for one code-unit width.
template <typename Unit> struct RegexEngine;

template <> struct RegexEngine<char16_t>
{
    using Code = pcre2_code_16;
    using Data = pcre2_match_data_16;
    using Context = pcre2_match_context_16;
    using Subject = PCRE2_SPTR16;
};

template <> struct RegexEngine<char32_t>
{
    using Code = pcre2_code_32;
    using Data = pcre2_match_data_32;
    using Context = pcre2_match_context_32;
    using Subject = PCRE2_SPTR32;
};

// Narrow expressions are compiled for code points.
template <> struct RegexEngine<char> : RegexEngine<char32_t>
{
};

// Compiles pattern (null-terminated; narrow: UTF-8) with the script grammar's options;
// null on any error, invalid UTF-8 in a narrow pattern included.
RegexEngine<char>::Code *CompileRegex(const char *pattern, uint32_t options);
RegexEngine<char16_t>::Code *CompileRegex(const char16_t *pattern, uint32_t options);
void FreeRegex(RegexEngine<char32_t>::Code *code);
void FreeRegex(RegexEngine<char16_t>::Code *code);

// Code points of UTF-8 text (RFC 3629: no overlong forms, no surrogates, nothing above
// U+10FFFF); false when s[0, len) is not entirely valid.
bool DecodeUtf8(const char *s, size_t len, std::u32string *out);

// Matches one compiled expression against texts of code units (char16_t or char32_t),
// reusing its match data across calls.
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
    // whole asks for a match that spans from start to the end of the text. Clearing
    // atTextStart or atTextEnd says that the ends of text are not those of a line, so ^ or
    // $ do not hold there.
    int Find(const Unit *text, size_t len, size_t start, bool whole, bool atTextStart = true,
             bool atTextEnd = true);
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

// Matches a narrow expression against UTF-8 text with byte offsets. An invalid sequence is
// matched by nothing, so no match spans one: the text is searched run by run between
// invalid sequences, each run seen as a text of its own whose inner ends are not line ends
// (^ and $ hold at the real ends only), and no match starts on an invalid sequence.
template <> class RegexMatcher<char>
{
public:
    using Code = RegexEngine<char>::Code;

    explicit RegexMatcher(const Code *code) : m_points(code) {}

    bool IsReady() const { return m_points.IsReady(); }
    // As the unit form, offsets in bytes. The text is decoded on the first call and the
    // decoding reused while text and len stay the same, so the bytes must not change
    // between calls on one matcher.
    int Find(const char *text, size_t len, size_t start, bool whole);
    uint32_t GetGroupCount() const { return m_points.GetGroupCount(); }
    bool GetGroup(uint32_t i, size_t *begin, size_t *end) const;
    bool HasNames() const { return m_points.HasNames(); }
    int FindName(const std::string &name) const;

private:
    // A stretch of valid UTF-8: its code points m_units[first, first + count), and the byte
    // offset of each of them and of its end at m_offsets[offsets, offsets + count].
    struct Run
    {
        size_t first;
        size_t count;
        size_t offsets;
    };

    void Decode(const char *text, size_t len);
    int FindInRun(size_t r, size_t start);

    RegexMatcher<char32_t> m_points;
    const char *m_text = nullptr;
    size_t m_len = 0;
    std::u32string m_units;
    std::vector<size_t> m_offsets;
    std::vector<Run> m_runs;
    size_t m_matchRun = 0; // run of the last match
};

// Appends to out the text with every match replaced by format (script replacement rules);
// false on an engine error.
template <typename Unit>
bool ReplaceAll(RegexMatcher<Unit> &matcher, const Unit *text, const Unit *format,
                std::basic_string<Unit> *out);
