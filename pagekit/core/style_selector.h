#pragma once
// Selectors of style sheets: a list of selectors separated by ','; each a chain of
// simple parts ('#'name, '.'name, '*' or a type name) joined by '>' (child) or blanks
// (descendant), optionally ending with ':'state.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pagekit/pagekit_export.h"

enum : uint32_t { kPartName = 1, kPartClass = 2, kPartAny = 3, kPartType = 4 };
// How a part relates to the next part of the compiled chain (towards the root).
enum : uint32_t { kJoinNone = 0, kJoinChild = 1, kJoinDescendant = 2 };
// Most parts one selector may chain.
constexpr unsigned kMaxSelectorParts = 32;

struct XSelectorPart
{
    uint32_t type;  // kPart*
    uint32_t join;  // kJoin*: how the next part (an owner) must relate to this one
    uint32_t kind;  // type parts: the kind code of a selector name, 0 for another word
    char16_t *name; // name, class or type word; null for '*'
};

struct XSelector
{
    uint32_t state;       // kState* of the ':' suffix, 0 without one, 255 for unknown words
    uint32_t count;       // parts
    XSelectorPart *parts; // parts[0] is the subject, then its owners outwards
};

// A compiled selector list: one corekit block holding everything (release with
// FreeSelectorList).
struct XSelectorList
{
    uint32_t count;
    XSelector *selectors;
};

// Compiles the selector list at text, which must be followed by '{'. Returns null when
// it does not compile; else the list, with *consumed the bytes up to and including '{'.
PAGEKIT_EXPORT XSelectorList *CompileSelectorList(const char *text, unsigned *consumed);
PAGEKIT_EXPORT void FreeSelectorList(XSelectorList *list);
// The state code of a state word (ASCII case ignored): 255 when it names no state.
PAGEKIT_EXPORT uint32_t FindStyleState(const char *word, unsigned n);

// Private: a selector list scanned in place, parts in source order (outermost first).
struct SelectorToken
{
    uint32_t type;
    uint32_t join; // the combinator before this part
    uint32_t kind;
    const char *name; // bytes of the name in the source text
    unsigned length;
};

struct SelectorScan
{
    std::vector<SelectorToken> tokens;
    std::vector<uint32_t> firsts; // per selector: index of its first token
    std::vector<uint32_t> states; // per selector: its state code

    uint32_t TokenCount(size_t selector) const
    {
        const size_t end = selector + 1 < firsts.size() ? firsts[selector + 1] : tokens.size();
        return static_cast<uint32_t>(end - firsts[selector]);
    }
};

// Scans the selector list at text; false when it does not compile, else *brace points at
// the '{' that ends it. The scan's vectors are cleared first and reused.
bool ScanSelectorList(const char *text, SelectorScan *scan, const char **brace);
// Skips a rule that did not compile: past the next '}' outside quotes, or to the end.
const char *SkipStyleRule(const char *p);
