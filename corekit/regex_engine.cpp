#include "corekit/regex_engine.h"

#include <string>

#include "corekit/regex.h"
#include "corekit/regex_pattern.h"

namespace {

// Limits that turn a runaway match into an error: backtracking steps, nesting depth of
// backtracking frames, and the frame memory in KiB.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kDepthLimit = 1'000'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;

// Options of the script grammar: \xhh and \uhhhh escapes, [] matching nothing and [^]
// anything, $ only at the very end, a reference to an unset group matching empty.
constexpr uint32_t kCompileOptions = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS |
                                     PCRE2_DOLLAR_ENDONLY | PCRE2_MATCH_UNSET_BACKREF |
                                     PCRE2_NEVER_BACKSLASH_C;

uint32_t CompileOptions(uint32_t options)
{
    return kCompileOptions | ((options & kRegexNoCase) != 0 ? PCRE2_CASELESS : 0);
}

} // namespace

RegexEngine<char>::Code *CompileRegex(const char *pattern, uint32_t options)
{
    std::string translated;
    if (pattern == nullptr ||
        !TranslatePattern(pattern, std::char_traits<char>::length(pattern), &translated))
        return nullptr;
    pcre2_compile_context_8 *context = pcre2_compile_context_create_8(nullptr);
    if (context == nullptr)
        return nullptr;
    pcre2_set_compile_extra_options_8(context, PCRE2_EXTRA_ALT_BSUX);
    int error = 0;
    PCRE2_SIZE offset = 0;
    // Narrow text is UTF-8; invalid sequences in a text simply never match.
    pcre2_code_8 *code = pcre2_compile_8(
        reinterpret_cast<PCRE2_SPTR8>(translated.data()), translated.size(),
        CompileOptions(options) | PCRE2_UTF | PCRE2_MATCH_INVALID_UTF, &error, &offset, context);
    pcre2_compile_context_free_8(context);
    return code;
}

RegexEngine<char16_t>::Code *CompileRegex(const char16_t *pattern, uint32_t options)
{
    std::u16string translated;
    if (pattern == nullptr ||
        !TranslatePattern(pattern, std::char_traits<char16_t>::length(pattern), &translated))
        return nullptr;
    pcre2_compile_context_16 *context = pcre2_compile_context_create_16(nullptr);
    if (context == nullptr)
        return nullptr;
    pcre2_set_compile_extra_options_16(context, PCRE2_EXTRA_ALT_BSUX);
    int error = 0;
    PCRE2_SIZE offset = 0;
    // Wide text is matched unit by unit, as the script grammar does without its u flag.
    pcre2_code_16 *code =
        pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(translated.data()), translated.size(),
                         CompileOptions(options), &error, &offset, context);
    pcre2_compile_context_free_16(context);
    return code;
}

void FreeRegex(RegexEngine<char>::Code *code)
{
    pcre2_code_free_8(code);
}
void FreeRegex(RegexEngine<char16_t>::Code *code)
{
    pcre2_code_free_16(code);
}

// ---- RegexMatcher, one specialisation of each call per width --------------------------

template <> RegexMatcher<char>::RegexMatcher(const Code *code) : m_code(code)
{
    m_data = pcre2_match_data_create_from_pattern_8(code, nullptr);
    m_context = pcre2_match_context_create_8(nullptr);
    if (m_context != nullptr) {
        pcre2_set_match_limit_8(m_context, kMatchLimit);
        pcre2_set_depth_limit_8(m_context, kDepthLimit);
        pcre2_set_heap_limit_8(m_context, kHeapLimitKiB);
    }
    pcre2_pattern_info_8(code, PCRE2_INFO_CAPTURECOUNT, &m_groups);
    pcre2_pattern_info_8(code, PCRE2_INFO_NAMECOUNT, &m_names);
}

template <> RegexMatcher<char16_t>::RegexMatcher(const Code *code) : m_code(code)
{
    m_data = pcre2_match_data_create_from_pattern_16(code, nullptr);
    m_context = pcre2_match_context_create_16(nullptr);
    if (m_context != nullptr) {
        pcre2_set_match_limit_16(m_context, kMatchLimit);
        pcre2_set_depth_limit_16(m_context, kDepthLimit);
        pcre2_set_heap_limit_16(m_context, kHeapLimitKiB);
    }
    pcre2_pattern_info_16(code, PCRE2_INFO_CAPTURECOUNT, &m_groups);
    pcre2_pattern_info_16(code, PCRE2_INFO_NAMECOUNT, &m_names);
}

template <> RegexMatcher<char>::~RegexMatcher()
{
    pcre2_match_data_free_8(m_data);
    pcre2_match_context_free_8(m_context);
}

template <> RegexMatcher<char16_t>::~RegexMatcher()
{
    pcre2_match_data_free_16(m_data);
    pcre2_match_context_free_16(m_context);
}

namespace {

int MatchResult(int rc)
{
    if (rc > 0)
        return 1;
    return rc == PCRE2_ERROR_NOMATCH ? 0 : -1;
}

uint32_t MatchOptions(bool whole)
{
    return whole ? PCRE2_ANCHORED | PCRE2_ENDANCHORED : 0;
}

} // namespace

template <> int RegexMatcher<char>::Find(const char *text, size_t len, size_t start, bool whole)
{
    if (!IsReady())
        return -1;
    return MatchResult(pcre2_match_8(m_code, reinterpret_cast<PCRE2_SPTR8>(text), len, start,
                                     MatchOptions(whole), m_data, m_context));
}

template <>
int RegexMatcher<char16_t>::Find(const char16_t *text, size_t len, size_t start, bool whole)
{
    if (!IsReady())
        return -1;
    return MatchResult(pcre2_match_16(m_code, reinterpret_cast<PCRE2_SPTR16>(text), len, start,
                                      MatchOptions(whole), m_data, m_context));
}

template <> bool RegexMatcher<char>::GetGroup(uint32_t i, size_t *begin, size_t *end) const
{
    const PCRE2_SIZE *ov = pcre2_get_ovector_pointer_8(m_data);
    if (i > m_groups || ov[2 * i] == PCRE2_UNSET)
        return false;
    *begin = ov[2 * i];
    *end = ov[2 * i + 1];
    return true;
}

template <> bool RegexMatcher<char16_t>::GetGroup(uint32_t i, size_t *begin, size_t *end) const
{
    const PCRE2_SIZE *ov = pcre2_get_ovector_pointer_16(m_data);
    if (i > m_groups || ov[2 * i] == PCRE2_UNSET)
        return false;
    *begin = ov[2 * i];
    *end = ov[2 * i + 1];
    return true;
}

template <> int RegexMatcher<char>::FindName(const std::string &name) const
{
    const int n =
        pcre2_substring_number_from_name_8(m_code, reinterpret_cast<PCRE2_SPTR8>(name.c_str()));
    return n > 0 ? n : -1;
}

template <> int RegexMatcher<char16_t>::FindName(const std::u16string &name) const
{
    const int n =
        pcre2_substring_number_from_name_16(m_code, reinterpret_cast<PCRE2_SPTR16>(name.c_str()));
    return n > 0 ? n : -1;
}
