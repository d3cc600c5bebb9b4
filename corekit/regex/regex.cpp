#include "corekit/regex/regex.h"

#include <memory>
#include <string>
#include <type_traits>

#include "corekit/regex/regex_engine.h"
#include "corekit/text/xbyte_buffer.h"
#include "corekit/text/xstring.h"

namespace {

// A compiled expression owned for the span of one call.
template <typename Unit> struct CodeOwner
{
    using Code = typename RegexEngine<Unit>::Code;
    explicit CodeOwner(Code *c) : code(c) {}
    CodeOwner(const CodeOwner &) = delete;
    CodeOwner &operator=(const CodeOwner &) = delete;
    ~CodeOwner() { FreeRegex(code); }
    Code *code;
};

template <typename Unit>
int MatchWhole(const typename RegexEngine<Unit>::Code *code, const Unit *text)
{
    if (code == nullptr || text == nullptr)
        return 0;
    RegexMatcher<Unit> matcher(code);
    return matcher.Find(text, std::char_traits<Unit>::length(text), 0, true) == 1 ? 1 : 0;
}

// Offsets of the whole match and of the first `groups` groups into out; the count written.
template <typename Unit>
unsigned int WriteOffsets(const RegexMatcher<Unit> &matcher, uint32_t groups, unsigned int *out)
{
    for (uint32_t i = 0; i <= groups; ++i) {
        size_t begin = kRegexUnset;
        size_t end = kRegexUnset;
        matcher.GetGroup(i, &begin, &end);
        out[2 * i] = static_cast<unsigned int>(begin);
        out[2 * i + 1] = static_cast<unsigned int>(end);
    }
    return 2 * (groups + 1);
}

template <typename Unit>
unsigned int SearchFirst(const typename RegexEngine<Unit>::Code *code, const Unit *text,
                         bool withGroups, unsigned int *out)
{
    if (code == nullptr || text == nullptr)
        return 0;
    RegexMatcher<Unit> matcher(code);
    if (matcher.Find(text, std::char_traits<Unit>::length(text), 0, false) != 1)
        return 0;
    const uint32_t groups = withGroups ? matcher.GetGroupCount() : 0;
    if (out == nullptr)
        return 2 * (groups + 1);
    return WriteOffsets(matcher, groups, out);
}

template <typename Unit>
bool Replace(const typename RegexEngine<Unit>::Code *code, const Unit *text, const Unit *format,
             std::basic_string<Unit> *result)
{
    if (code == nullptr || text == nullptr || format == nullptr)
        return false;
    RegexMatcher<Unit> matcher(code);
    return ReplaceAll(matcher, text, format, result);
}

bool StoreResult(const std::u16string &result, XString *out)
{
    if (out == nullptr)
        return false;
    out->SetString(result.c_str(), static_cast<unsigned>(result.size()));
    return true;
}

bool StoreResult(const std::string &result, XByteBuffer *out)
{
    if (out == nullptr)
        return false;
    out->SetBuffer(reinterpret_cast<const unsigned char *>(result.data()),
                   static_cast<uint32_t>(result.size()));
    return true;
}

} // namespace

// ---- XRegexHelper --------------------------------------------------------------------

XRegexHelper::~XRegexHelper()
{
    Reset();
}

void XRegexHelper::Reset()
{
    FreeRegex(m_narrow);
    FreeRegex(m_wide);
    m_narrow = nullptr;
    m_wide = nullptr;
}

int XRegexHelper::Compile(const char *pattern, uint32_t options)
{
    FreeRegex(m_narrow);
    m_narrow = CompileRegex(pattern, options);
    return m_narrow != nullptr ? 1 : 0;
}

int XRegexHelper::Compile(const char16_t *pattern, uint32_t options)
{
    FreeRegex(m_wide);
    m_wide = CompileRegex(pattern, options);
    return m_wide != nullptr ? 1 : 0;
}

// ---- One-shot functions --------------------------------------------------------------

int RegexMatch(const char16_t *pattern, uint32_t options, const char16_t *text)
{
    CodeOwner<char16_t> owner(CompileRegex(pattern, options));
    return MatchWhole<char16_t>(owner.code, text);
}

unsigned int RegexSearch(const char16_t *pattern, uint32_t options, const char16_t *text,
                         unsigned int *out)
{
    CodeOwner<char16_t> owner(CompileRegex(pattern, options));
    return SearchFirst<char16_t>(owner.code, text, true, out);
}

int RegexReplace(const char16_t *pattern, uint32_t options, const char16_t *text,
                 const char16_t *format, XString *out)
{
    CodeOwner<char16_t> owner(CompileRegex(pattern, options));
    std::u16string result;
    if (!Replace<char16_t>(owner.code, text, format, &result))
        return 0;
    return StoreResult(result, out) ? 1 : 0;
}

// ---- Compiled expressions ------------------------------------------------------------

XRegexHelper *RegexMalloc(const char *pattern, uint32_t options)
{
    auto helper = std::make_unique<XRegexHelper>();
    return helper->Compile(pattern, options) != 0 ? helper.release() : nullptr;
}

XRegexHelper *RegexMalloc(const char16_t *pattern, uint32_t options)
{
    auto helper = std::make_unique<XRegexHelper>();
    return helper->Compile(pattern, options) != 0 ? helper.release() : nullptr;
}

void RegexRelease(XRegexHelper *r)
{
    delete r;
}

// The engine's code types are the structures forward-declared in the public header.
static_assert(std::is_same_v<RegexEngine<char>::Code, pcre2_real_code_32>);
static_assert(std::is_same_v<RegexEngine<char16_t>::Code, pcre2_real_code_16>);

int RegexMatch(const XRegexHelper *r, const char *text)
{
    return r != nullptr ? MatchWhole<char>(r->GetNarrow(), text) : 0;
}

int RegexMatch(const XRegexHelper *r, const char16_t *text)
{
    return r != nullptr ? MatchWhole<char16_t>(r->GetWide(), text) : 0;
}

int RegexSearch(const XRegexHelper *r, const char *text, unsigned int *out)
{
    return r != nullptr && SearchFirst<char>(r->GetNarrow(), text, false, out) != 0 ? 1 : 0;
}

int RegexSearch(const XRegexHelper *r, const char16_t *text, unsigned int *out)
{
    return r != nullptr && SearchFirst<char16_t>(r->GetWide(), text, false, out) != 0 ? 1 : 0;
}

int RegexReplace(const XRegexHelper *r, const char16_t *text, const char16_t *format, XString *out)
{
    std::u16string result;
    if (r == nullptr || !Replace<char16_t>(r->GetWide(), text, format, &result))
        return 0;
    return StoreResult(result, out) ? 1 : 0;
}

int RegexReplace(const XRegexHelper *r, const char *text, const char *format, XByteBuffer *out)
{
    std::string result;
    if (r == nullptr || !Replace<char>(r->GetNarrow(), text, format, &result))
        return 0;
    return StoreResult(result, out) ? 1 : 0;
}
