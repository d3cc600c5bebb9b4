#include "pagekit/core/style_selector.h"

#include <cstring>
#include <iterator>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/style_desc.h"

namespace {

struct StateName
{
    const char *word;
    uint32_t state;
};

// State words of selectors: word, state code.
constexpr StateName kStateNames[] = {
    {"focus", kStateFocus},       {"hover", kStateHover},   {"active", kStateActive},
    {"disabled", kStateDisabled}, {"after", kStateAfter},   {"child1", kStateChild1},
    {"child2", kStateChild2},     {"child3", kStateChild3}, {"child4", kStateChild4},
};

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32;
}

const char *SkipBlanks(const char *p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

bool IsNameByte(char c)
{
    return c && !IsBlank(c) && !std::strchr(",>{}:#.*;()[]\"'/", c);
}

// One simple part at p; returns the byte after it, null when there is none.
const char *ScanPart(const char *p, SelectorToken *t)
{
    t->type = kPartType;
    t->kind = 0;
    if (*p == '*') {
        t->type = kPartAny;
        t->name = p + 1;
        t->length = 0;
        return p + 1;
    }
    if (*p == '#' || *p == '.')
        t->type = *p++ == '#' ? kPartName : kPartClass;
    const char *start = p;
    while (IsNameByte(*p))
        ++p;
    if (p == start)
        return nullptr;
    t->name = start;
    t->length = static_cast<unsigned>(p - start);
    if (t->type == kPartType)
        t->kind = FindItemKind(start, t->length);
    return p;
}

// One selector; returns the byte after it (',' or '{'), null when it does not compile.
const char *ScanSelector(const char *p, SelectorScan *scan)
{
    scan->firsts.push_back(static_cast<uint32_t>(scan->tokens.size()));
    uint32_t join = kJoinNone;
    for (unsigned parts = 0;; ++parts) {
        SelectorToken t{};
        if (parts == kMaxSelectorParts || !(p = ScanPart(p, &t)))
            return nullptr;
        t.join = join;
        scan->tokens.push_back(t);
        if (*p == ':') { // a state ends the selector
            const char *word = ++p;
            while (IsNameByte(*p))
                ++p;
            const char *q = SkipBlanks(p);
            if (p == word || (*q != ',' && *q != '{'))
                return nullptr;
            scan->states.push_back(FindStyleState(word, static_cast<unsigned>(p - word)));
            return q;
        }
        const char *q = SkipBlanks(p);
        if (*q == ',' || *q == '{') {
            scan->states.push_back(kStateNormal);
            return q;
        }
        if (*q == '>') {
            join = kJoinChild;
            q = SkipBlanks(q + 1);
        } else if (q == p) {
            return nullptr; // parts are joined by '>' or blanks
        } else {
            join = kJoinDescendant;
        }
        p = q;
    }
}

} // namespace

uint32_t FindStyleState(const char *word, unsigned n)
{
    for (const StateName &s : kStateNames) {
        if (std::strlen(s.word) != n)
            continue;
        unsigned i = 0;
        while (i < n && (word[i] | 0x20) == s.word[i])
            ++i;
        if (i == n)
            return s.state;
    }
    return kStateUnknown;
}

bool ScanSelectorList(const char *text, SelectorScan *scan, const char **brace)
{
    scan->tokens.clear();
    scan->firsts.clear();
    scan->states.clear();
    const char *p = SkipBlanks(text);
    for (;;) {
        p = ScanSelector(p, scan);
        if (!p)
            return false;
        if (*p == '{') {
            *brace = p;
            return true;
        }
        p = SkipBlanks(p + 1); // past ','
    }
}

const char *SkipStyleRule(const char *p)
{
    char quote = 0;
    for (; *p; ++p) {
        if (quote) {
            if (*p == '\\' && p[1])
                ++p;
            else if (*p == quote)
                quote = 0;
        } else if (*p == '"' || *p == '\'') {
            quote = *p;
        } else if (*p == '}') {
            return p + 1;
        }
    }
    return p;
}

namespace {

// UTF-16 units of a token's name, or -1 when it is not UTF-8.
long NameUnits(const SelectorToken &t)
{
    if (t.type == kPartAny)
        return 0;
    const unsigned n = UStrToWStr(t.name, static_cast<int>(t.length), nullptr, 0);
    return n == 0 ? -1 : static_cast<long>(n) + 1;
}

} // namespace

XSelectorList *CompileSelectorList(const char *text, unsigned *consumed)
{
    SelectorScan scan;
    const char *brace = nullptr;
    if (!ScanSelectorList(text, &scan, &brace))
        return nullptr;
    size_t units = 0;
    for (const SelectorToken &t : scan.tokens) {
        const long n = NameUnits(t);
        if (n < 0)
            return nullptr;
        units += static_cast<size_t>(n);
    }
    const size_t selectors = scan.firsts.size();
    const size_t bytes = sizeof(XSelectorList) + selectors * sizeof(XSelector) +
                         scan.tokens.size() * sizeof(XSelectorPart) + units * sizeof(char16_t);
    auto *list = static_cast<XSelectorList *>(MemAlloc(static_cast<uint32_t>(bytes)));
    list->count = static_cast<uint32_t>(selectors);
    list->selectors = reinterpret_cast<XSelector *>(list + 1);
    auto *parts = reinterpret_cast<XSelectorPart *>(list->selectors + selectors);
    auto *names = reinterpret_cast<char16_t *>(parts + scan.tokens.size());
    for (size_t s = 0; s < selectors; ++s) {
        const uint32_t count = scan.TokenCount(s);
        XSelector &sel = list->selectors[s];
        sel.state = scan.states[s];
        sel.count = count;
        sel.parts = parts;
        // Reverse into matching order: the subject first.
        for (uint32_t k = 0; k < count; ++k) {
            const SelectorToken &t = scan.tokens[scan.firsts[s] + count - 1 - k];
            XSelectorPart &part = parts[k];
            part = XSelectorPart{t.type, t.join, t.kind, nullptr};
            if (t.type != kPartAny) {
                const unsigned n = UStrToWStr(t.name, static_cast<int>(t.length), names, units);
                names[n] = 0;
                part.name = names;
                names += n + 1;
                units -= n + 1;
            }
        }
        parts += count;
    }
    *consumed = static_cast<unsigned>(brace + 1 - text);
    return list;
}

void FreeSelectorList(XSelectorList *list)
{
    MemFree(list);
}
