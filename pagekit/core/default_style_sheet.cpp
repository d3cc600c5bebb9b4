// Default-style sheets: rules "selector-list { declarations }" read into the table.
#include <cstddef>
#include <vector>

#include "corekit/memory/memory.h"
#include "pagekit/core/default_style.h"
#include "pagekit/core/style_selector.h"
#include "pagekit/core/style_text.h"
#include "platform/devkit/xfile.h"

namespace {

// Sheet files above this size are not read.
constexpr int64_t kMaxSheetBytes = 64 << 20;
constexpr int64_t kMinSheetBytes = 8;

const char *SkipBlanks(const char *p)
{
    while (static_cast<unsigned char>(*p) >= 1 && static_cast<unsigned char>(*p) <= 32)
        ++p;
    return p;
}

void OverlayRule(const SelectorScan &scan, const XStyleDesc *desc)
{
    for (size_t s = 0; s < scan.firsts.size(); ++s) {
        const SelectorToken &t = scan.tokens[scan.firsts[s]];
        if (scan.TokenCount(s) == 1 && t.type == kPartType && t.kind != 0)
            SetItemDefaultStyle(t.kind, scan.states[s], desc);
    }
}

} // namespace

void ParseDefaultStyle(const char *text)
{
    GetItemDefaultStyle(0, 0); // makes the table with its built-ins
    SelectorScan scan;
    XStyleDesc scratch;
    const char *p = SkipBlanks(text);
    while (*p) {
        const char *brace = nullptr;
        if (!ScanSelectorList(p, &scan, &brace)) {
            p = SkipBlanks(SkipStyleRule(p));
            continue;
        }
        InitStyleDesc(&scratch);
        p = brace + 1;
        p += ParseStyleDesc(&scratch, p);
        if (*p == '}')
            ++p;
        OverlayRule(scan, &scratch);
        FreeStyleDescStrings(&scratch);
        p = SkipBlanks(p);
    }
}

void LoadDefaultStyleFile(const char16_t *path)
{
    XFile file;
    if (!path || !file.Open(path))
        return;
    const int64_t size = file.GetSize();
    if (size < kMinSheetBytes || size > kMaxSheetBytes)
        return;
    std::vector<char> text(static_cast<size_t>(size) + 1);
    for (size_t done = 0; done < static_cast<size_t>(size);) {
        const uint32_t n = file.Read(text.data() + done, static_cast<uint32_t>(size - done));
        if (n == 0)
            return;
        done += n;
    }
    text[static_cast<size_t>(size)] = 0;
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    if ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))
        return;
    char *start = text.data();
    if (bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        start += 3;
    // Sheet files carry comments; they would otherwise break the selectors they precede.
    ClearStyleNote(start, start);
    ParseDefaultStyle(start);
}
