#include "datakit/code_page.h"

#include <cstring>
#include <strings.h>

#include "corekit/encoding/encoding.h"

namespace {

struct CodePageName_t
{
    const char *name;
    int number;
};

// Names iconv gives the double-byte code pages. Columns: name, code-page number.
constexpr CodePageName_t kCodePageNames[] = {
    {"SHIFT_JIS", 932},   {"SHIFT-JIS", 932}, {"SJIS", 932},       {"MS_KANJI", 932},
    {"WINDOWS-31J", 932}, {"MS932", 932},     {"GBK", 936},        {"GB2312", 936},
    {"EUC-CN", 936},      {"GB18030", 936},   {"UHC", 949},        {"EUC-KR", 949},
    {"BIG5", 950},        {"BIG-5", 950},     {"BIG5-HKSCS", 950},
};

// The number after a prefix ("CP", "WINDOWS-", "MS"), 0 when the rest is not digits.
int NumberAfter(const char *name, const char *prefix)
{
    size_t n = strlen(prefix);
    if (strncasecmp(name, prefix, n) != 0 || name[n] == 0)
        return 0;
    int value = 0;
    for (const char *p = name + n; *p; p++) {
        if (*p < '0' || *p > '9' || value > 99999)
            return 0;
        value = value * 10 + (*p - '0');
    }
    return value;
}

} // namespace

int CodePageNumber(const char *name)
{
    if (!name)
        return 0;
    for (const CodePageName_t &entry : kCodePageNames) {
        if (strcasecmp(name, entry.name) == 0)
            return entry.number;
    }
    static constexpr const char *kPrefixes[] = {"CP", "WINDOWS-", "MS"};
    for (const char *prefix : kPrefixes) {
        if (int number = NumberAfter(name, prefix))
            return number;
    }
    return 0;
}

int AnsiCodePageNumber()
{
    return CodePageNumber(GetAnsiCodePage());
}
