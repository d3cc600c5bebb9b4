// XPageStyle: the rules of a form's page style sheet, their matching against items and
// the completion every resolution of the form ends with.

#include "pagekit/core/page_style.h"

#include <algorithm>

#include "corekit/memory/memory.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/item_style.h"
#include "pagekit/core/item_style_cascade.h"
#include "pagekit/core/page_item.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/style_selector.h"
#include "pagekit/core/style_text.h"

namespace {

// Epochs are unique in the process, so matches recorded by one page style never pass
// for another's.
uint32_t g_lastEpoch = 0;

uint32_t NextEpoch()
{
    return ++g_lastEpoch;
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32;
}

void FreeRule(XStyleDesc *rule)
{
    FreeSelectorList(rule->ownerSelector);
    FreeStyleDescStrings(rule);
    MemFree(rule);
}

// ---------------------------------------------------------------------------------------
// Comparing selector words (UTF-16) with the item's narrow words (UTF-8)
// ---------------------------------------------------------------------------------------

// The code point of the UTF-8 sequence at *p (advanced past it), or -1 when it is not
// well-formed UTF-8 within end.
long NextUtf8(const unsigned char **p, const unsigned char *end)
{
    const unsigned char *s = *p;
    const unsigned lead = *s;
    unsigned need = 0;
    long cp = 0;
    if (lead < 0x80) {
        *p = s + 1;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
        need = 1, cp = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        need = 2, cp = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        need = 3, cp = lead & 0x07;
    else
        return -1;
    if (end - s <= static_cast<long>(need))
        return -1;
    for (unsigned i = 1; i <= need; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return -1;
        cp = cp << 6 | (s[i] & 0x3F);
    }
    static constexpr long kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[need] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    *p = s + need + 1;
    return cp;
}

// The code point of the UTF-16 unit(s) at *p (advanced past them), 0 at the terminator.
long NextUtf16(const char16_t **p)
{
    const char16_t *s = *p;
    if (s[0] >= 0xD800 && s[0] <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF) {
        *p = s + 2;
        return 0x10000 + ((static_cast<long>(s[0]) - 0xD800) << 10) + (s[1] - 0xDC00);
    }
    if (s[0] != 0)
        *p = s + 1;
    return s[0];
}

// Whether the UTF-16 word equals the n bytes of UTF-8 at text.
bool SameWord(const char16_t *word, const char *text, size_t n)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *end = p + n;
    while (p < end) {
        const long a = NextUtf8(&p, end);
        if (a <= 0 || a != NextUtf16(&word))
            return false;
    }
    return *word == 0;
}

bool HasClassWord(const char *list, const char16_t *word)
{
    if (list == nullptr)
        return false;
    for (const char *p = list; *p;) {
        while (IsBlank(*p))
            ++p;
        const char *start = p;
        while (*p && !IsBlank(*p))
            ++p;
        if (p > start && SameWord(word, start, static_cast<size_t>(p - start)))
            return true;
    }
    return false;
}

bool SameName(const char16_t *a, const char16_t *b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

size_t Length(const char *s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

bool MatchPart(const XSelectorPart &part, const XPageItem *item)
{
    switch (part.type) {
    case kPartAny:
        return true;
    case kPartName:
        return SameName(item->name, part.name);
    case kPartClass:
        return HasClassWord(item->classList, part.name);
    case kPartType:
        return item->typeName != nullptr &&
               SameWord(part.name, item->typeName, Length(item->typeName));
    default:
        return false;
    }
}

bool IsFormRoot(const XPageItem *item)
{
    return item->kind == kKindViewer;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Life and rules
// ---------------------------------------------------------------------------------------

XPageStyle::XPageStyle() : m_epoch(NextEpoch()) {}

XPageStyle::~XPageStyle()
{
    ClearStyle();
}

unsigned XPageStyle::ParseStyle(const char *text)
{
    if (text == nullptr)
        return 0;
    unsigned added = 0;
    const char *p = text;
    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (*p == 0)
            break;
        unsigned consumed = 0;
        XSelectorList *list = CompileSelectorList(p, &consumed);
        if (list == nullptr) {
            p = SkipStyleRule(p);
            continue;
        }
        auto *rule = static_cast<XStyleDesc *>(MemAlloc(sizeof(XStyleDesc)));
        InitStyleDesc(rule);
        rule->ownerSelector = list;
        (m_tail != nullptr ? m_tail->nextEntry : m_head) = rule;
        m_tail = rule;
        p += consumed;
        p += ParseStyleDesc(rule, p);
        if (*p == '}')
            ++p;
        rule->touchedGroups = 0;
        ++added;
    }
    return added;
}

void XPageStyle::ClearStyle()
{
    for (XStyleDesc *rule = m_head; rule != nullptr;) {
        XStyleDesc *next = rule->nextEntry;
        FreeRule(rule);
        rule = next;
    }
    m_head = m_tail = nullptr;
    m_epoch = NextEpoch();
    m_helper.ClearHelper();
}

// ---------------------------------------------------------------------------------------
// Matching
// ---------------------------------------------------------------------------------------

bool XPageStyle::MatchSelector(const XSelector &selector, const XPageItem *item) const
{
    if (selector.count == 0 || IsFormRoot(item) || !MatchPart(selector.parts[0], item))
        return false;
    const XPageItem *at = item;
    for (uint32_t k = 1; k < selector.count; ++k) {
        const XSelectorPart &part = selector.parts[k];
        const uint32_t join = selector.parts[k - 1].join;
        at = at->owner;
        if (join == kJoinChild) {
            if (at == nullptr || IsFormRoot(at) || !MatchPart(part, at))
                return false;
            continue;
        }
        if (join != kJoinDescendant)
            return false;
        // The nearest owner that matches; farther ones are not tried.
        while (at != nullptr && !IsFormRoot(at) && !MatchPart(part, at))
            at = at->owner;
        if (at == nullptr || IsFormRoot(at))
            return false;
    }
    return true;
}

void XPageStyle::ApplyStyle(XPageItem *item, XItemStyle *style)
{
    if (item == nullptr || style == nullptr)
        return;
    // The last kMaxStyleMatches matches in sheet order, as a ring.
    XStyleMatch ring[kMaxStyleMatches];
    uint32_t total = 0;
    for (XStyleDesc *rule = m_head; rule != nullptr; rule = rule->nextEntry) {
        const XSelectorList *list = rule->ownerSelector;
        for (uint32_t s = 0; s < list->count; ++s) {
            if (MatchSelector(list->selectors[s], item))
                ring[total++ % kMaxStyleMatches] = XStyleMatch{list->selectors[s].state, rule};
        }
    }
    style->FreeMatches();
    style->Invalidate();
    const uint32_t count = std::min(total, kMaxStyleMatches);
    if (count == 0)
        return;
    auto *matches = static_cast<XStyleMatch *>(MemAlloc(count * sizeof(XStyleMatch)));
    for (uint32_t i = 0; i < count; ++i)
        matches[i] = ring[(total - 1 - i) % kMaxStyleMatches];
    style->m_matches = matches;
    style->m_matchCount = count;
    style->m_matchEpoch = m_epoch;
}

// ---------------------------------------------------------------------------------------
// Completion
// ---------------------------------------------------------------------------------------

void XPageStyle::GetPageStyle(XStyleDesc *desc)
{
    const XStyleDesc *base = m_base != nullptr ? &m_base->m_own : nullptr;
    CompleteStyleDesc(desc, base, &m_helper);
}
