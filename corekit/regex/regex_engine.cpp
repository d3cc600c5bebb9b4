#include "corekit/regex/regex_engine.h"

#include <string>

#include "corekit/regex/regex.h"
#include "corekit/regex/regex_pattern.h"

namespace {

// Limits that turn a runaway match into an error: backtracking steps, nesting depth of
// backtracking frames, and the frame memory in KiB.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kDepthLimit = 1'000'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;

// Options of the script grammar: \xhh and \uhhhh escapes (a \u or \x without its digits
// is the letter), [] matching nothing and [^] anything, $ only at the very end, a
// reference to an unset group matching empty. Neither UTF nor UCP: every unit or code
// point is one character, \d \w \b are ASCII, and case folding stays within ASCII.
constexpr uint32_t kCompileOptions = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS |
                                     PCRE2_DOLLAR_ENDONLY | PCRE2_MATCH_UNSET_BACKREF |
                                     PCRE2_NEVER_BACKSLASH_C;

uint32_t CompileOptions(uint32_t options)
{
    return kCompileOptions | ((options & kRegexNoCase) != 0 ? PCRE2_CASELESS : 0);
}

// The engine's calls for one code-unit width.
template <typename Unit> struct Calls;

#define ZEP_REGEX_CALLS(W)                                                                         \
    {                                                                                              \
        static constexpr auto compile = pcre2_compile_##W;                                         \
        static constexpr auto freeCode = pcre2_code_free_##W;                                      \
        static constexpr auto createData = pcre2_match_data_create_from_pattern_##W;               \
        static constexpr auto freeData = pcre2_match_data_free_##W;                                \
        static constexpr auto createContext = pcre2_match_context_create_##W;                      \
        static constexpr auto freeContext = pcre2_match_context_free_##W;                          \
        static constexpr auto setMatchLimit = pcre2_set_match_limit_##W;                           \
        static constexpr auto setDepthLimit = pcre2_set_depth_limit_##W;                           \
        static constexpr auto setHeapLimit = pcre2_set_heap_limit_##W;                             \
        static constexpr auto patternInfo = pcre2_pattern_info_##W;                                \
        static constexpr auto match = pcre2_match_##W;                                             \
        static constexpr auto ovector = pcre2_get_ovector_pointer_##W;                             \
        static constexpr auto nameNumber = pcre2_substring_number_from_name_##W;                   \
    }

template <> struct Calls<char16_t> ZEP_REGEX_CALLS(16);
template <> struct Calls<char32_t> ZEP_REGEX_CALLS(32);

#undef ZEP_REGEX_CALLS

template <typename Unit>
typename RegexEngine<Unit>::Code *CompileUnits(const Unit *pattern, size_t len, uint32_t options)
{
    std::basic_string<Unit> translated;
    if (!TranslatePattern(pattern, len, &translated))
        return nullptr;
    int error = 0;
    PCRE2_SIZE offset = 0;
    return Calls<Unit>::compile(
        reinterpret_cast<typename RegexEngine<Unit>::Subject>(translated.data()), translated.size(),
        CompileOptions(options), &error, &offset, nullptr);
}

} // namespace

RegexEngine<char>::Code *CompileRegex(const char *pattern, uint32_t options)
{
    std::u32string points;
    if (pattern == nullptr ||
        !DecodeUtf8(pattern, std::char_traits<char>::length(pattern), &points))
        return nullptr;
    return CompileUnits(points.data(), points.size(), options);
}

RegexEngine<char16_t>::Code *CompileRegex(const char16_t *pattern, uint32_t options)
{
    if (pattern == nullptr)
        return nullptr;
    return CompileUnits(pattern, std::char_traits<char16_t>::length(pattern), options);
}

void FreeRegex(RegexEngine<char32_t>::Code *code)
{
    Calls<char32_t>::freeCode(code);
}

void FreeRegex(RegexEngine<char16_t>::Code *code)
{
    Calls<char16_t>::freeCode(code);
}

// ---- RegexMatcher over code units ------------------------------------------------------

template <typename Unit> RegexMatcher<Unit>::RegexMatcher(const Code *code) : m_code(code)
{
    using C = Calls<Unit>;
    m_data = C::createData(code, nullptr);
    m_context = C::createContext(nullptr);
    if (m_context != nullptr) {
        C::setMatchLimit(m_context, kMatchLimit);
        C::setDepthLimit(m_context, kDepthLimit);
        C::setHeapLimit(m_context, kHeapLimitKiB);
    }
    C::patternInfo(code, PCRE2_INFO_CAPTURECOUNT, &m_groups);
    C::patternInfo(code, PCRE2_INFO_NAMECOUNT, &m_names);
}

template <typename Unit> RegexMatcher<Unit>::~RegexMatcher()
{
    Calls<Unit>::freeData(m_data);
    Calls<Unit>::freeContext(m_context);
}

template <typename Unit>
int RegexMatcher<Unit>::Find(const Unit *text, size_t len, size_t start, bool whole,
                             bool atTextStart, bool atTextEnd)
{
    if (!IsReady())
        return -1;
    const uint32_t options = (whole ? PCRE2_ANCHORED | PCRE2_ENDANCHORED : 0) |
                             (atTextStart ? 0 : PCRE2_NOTBOL) | (atTextEnd ? 0 : PCRE2_NOTEOL);
    const int rc =
        Calls<Unit>::match(m_code, reinterpret_cast<typename RegexEngine<Unit>::Subject>(text), len,
                           start, options, m_data, m_context);
    if (rc > 0)
        return 1;
    return rc == PCRE2_ERROR_NOMATCH ? 0 : -1;
}

template <typename Unit>
bool RegexMatcher<Unit>::GetGroup(uint32_t i, size_t *begin, size_t *end) const
{
    const PCRE2_SIZE *ov = Calls<Unit>::ovector(m_data);
    if (i > m_groups || ov[2 * i] == PCRE2_UNSET)
        return false;
    *begin = ov[2 * i];
    *end = ov[2 * i + 1];
    return true;
}

template <typename Unit> int RegexMatcher<Unit>::FindName(const std::basic_string<Unit> &name) const
{
    const int n = Calls<Unit>::nameNumber(
        m_code, reinterpret_cast<typename RegexEngine<Unit>::Subject>(name.c_str()));
    return n > 0 ? n : -1;
}

template class RegexMatcher<char16_t>;
template class RegexMatcher<char32_t>;
