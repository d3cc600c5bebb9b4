// Code strings. Every function walks the list with one scanner that yields the parts of
// an entry as spans of the list itself, so lookups compare in place and copy only the
// entry they return.

#include "pagekit/core/combo_code.h"

#include <cstring>
#include <string>

#include "corekit/numbers/numbers.h"
#include "corekit/text/strings.h"

namespace {

// ---------------------------------------------------------------------------------------
// The entry scanner
// ---------------------------------------------------------------------------------------

struct Span
{
    const char16_t *text = nullptr;
    unsigned length = 0;
};

struct Entry
{
    Span line;            // the whole line, carriage return dropped
    Span code;            // before the first ';' (uncut); empty without one
    Span name;            // after the first ';', or the whole line
    bool hasCode = false; // the line holds a ';'
};

// Reads the entry at *p and moves *p to the next one; false at the end of the list.
bool NextEntry(const char16_t **p, Entry *e)
{
    const char16_t *s = *p;
    if (s == nullptr || *s == 0)
        return false;
    // Up to the first ';' or the line end, then (after a ';') up to the line end alone.
    const char16_t *end = s;
    const char16_t *semi = nullptr;
    while (*end != 0 && *end != u'\n' && *end != u';')
        ++end;
    if (*end == u';') {
        semi = end;
        while (*end != 0 && *end != u'\n')
            ++end;
    }
    *p = *end == u'\n' ? end + 1 : end;
    if (*end == u'\n' && end > s && end[-1] == u'\r')
        --end;
    e->line = {s, static_cast<unsigned>(end - s)};
    e->hasCode = semi != nullptr;
    if (semi != nullptr) {
        e->code = {s, static_cast<unsigned>(semi - s)};
        e->name = {semi + 1, static_cast<unsigned>(end - semi - 1)};
    } else {
        e->code = {s, 0};
        e->name = e->line;
    }
    return true;
}

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

// The length of span cut to at most cap units without splitting a surrogate pair.
unsigned CutLength(const Span &s, unsigned cap)
{
    if (s.length <= cap)
        return s.length;
    unsigned n = cap;
    if (n > 0 && IsHighSurrogate(s.text[n - 1]))
        --n;
    return n;
}

// Copies span into out (size units with the terminator), cut; returns the length.
unsigned CopySpan(const Span &s, char16_t *out, unsigned size)
{
    if (out == nullptr || size == 0)
        return 0;
    const unsigned n = CutLength(s, size - 1);
    std::memcpy(out, s.text, n * sizeof(char16_t));
    out[n] = 0;
    return n;
}

void Clear(char16_t *out, unsigned size)
{
    if (out != nullptr && size > 0)
        out[0] = 0;
}

bool SpanEquals(const Span &s, const char16_t *text)
{
    for (unsigned i = 0; i < s.length; ++i) {
        if (text[i] != s.text[i])
            return false;
    }
    return text[s.length] == 0;
}

// The code of an entry, cut as a code buffer holds it; the explicit empty code reads as
// the one unit kComboEmptyCode in the extended reading.
unsigned EntryCode(const Entry &e, bool extended, char16_t *code)
{
    if (extended && e.hasCode && e.code.length == 0) {
        code[0] = kComboEmptyCode;
        code[1] = 0;
        return 1;
    }
    return CopySpan(e.code, code, kComboCodeSize);
}

// The value an entry stands for: its code as an integer, its index without code. False
// for the explicit empty code, which stands for no value.
bool EntryValue(const Entry &e, int index, uint32_t *value)
{
    if (!e.hasCode) {
        *value = static_cast<uint32_t>(index);
        return true;
    }
    if (e.code.length == 0)
        return false;
    // Grid cells convert codes of a few decimal digits all the time: read those in place
    // (up to 9 digits nothing wraps, so this is what ToInt32 reads).
    if (e.code.length <= 9) {
        uint32_t v = 0;
        unsigned i = 0;
        for (; i < e.code.length && e.code.text[i] >= u'0' && e.code.text[i] <= u'9'; ++i)
            v = v * 10 + (e.code.text[i] - u'0');
        if (i == e.code.length) {
            *value = v;
            return true;
        }
    }
    char16_t code[kComboCodeSize];
    CopySpan(e.code, code, kComboCodeSize);
    *value = static_cast<uint32_t>(ToInt32(code));
    return true;
}

const char16_t *ReadNext(const char16_t *list, char16_t *code, char16_t *name, unsigned size,
                         bool extended)
{
    Entry e;
    if (!NextEntry(&list, &e)) {
        Clear(code, kComboCodeSize);
        Clear(name, size);
        return nullptr;
    }
    if (code != nullptr)
        EntryCode(e, extended, code);
    CopySpan(e.name, name, size);
    return list;
}

// The index of the first entry named name (a null name names none); *found takes it.
int FindByName(const char16_t *list, const char16_t *name, Entry *found)
{
    if (name == nullptr)
        return -1;
    Entry e;
    for (int i = 0; NextEntry(&list, &e); ++i) {
        if (SpanEquals(e.name, name)) {
            *found = e;
            return i;
        }
    }
    return -1;
}

// Appends span to out at *length when it fits with room units to spare; false otherwise.
bool Append(char16_t *out, unsigned size, unsigned *length, const char16_t *text, unsigned n,
            unsigned room)
{
    if (*length + n + room > size)
        return false;
    std::memcpy(out + *length, text, n * sizeof(char16_t));
    *length += n;
    return true;
}

// Reads the 3-unit marker at text; 1 set, 0 unset, -1 none. set and unset name the two
// markers that count, tick (may be null) a second set marker.
int ReadMark(const char16_t *text, const char16_t *set, const char16_t *tick, const char16_t *unset)
{
    auto is = [text](const char16_t *mark) {
        return mark != nullptr && std::memcmp(text, mark, kComboMarkLength * 2) == 0;
    };
    for (unsigned i = 0; i < kComboMarkLength; ++i) {
        if (text[i] == 0)
            return -1;
    }
    if (is(set) || is(tick))
        return 1;
    if (is(unset))
        return 0;
    return -1;
}

bool StartsWith(const char16_t *text, const Span &s)
{
    for (unsigned i = 0; i < s.length; ++i) {
        if (text[i] != s.text[i])
            return false;
    }
    return true;
}

// Whether the ';'-separated names of text include the span.
bool AmongNames(const Span &name, const char16_t *text)
{
    const char16_t *p = text;
    for (;;) {
        const char16_t *end = p;
        while (*end != 0 && *end != u';')
            ++end;
        const unsigned n = static_cast<unsigned>(end - p);
        if (n == name.length && std::memcmp(p, name.text, n * sizeof(char16_t)) == 0)
            return true;
        if (*end == 0)
            return false;
        p = end + 1;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------------------

const char16_t *GetNextCombo(const char16_t *list, char16_t *code, char16_t *name, unsigned size)
{
    return ReadNext(list, code, name, size, false);
}

const char16_t *GetNextComboEx(const char16_t *list, char16_t *code, char16_t *name, unsigned size)
{
    return ReadNext(list, code, name, size, true);
}

// ---------------------------------------------------------------------------------------
// Lookups
// ---------------------------------------------------------------------------------------

int GetComboBox(uint32_t *value, const char16_t *list, const char16_t *name)
{
    Entry e;
    const int index = FindByName(list, name, &e);
    uint32_t v = 0;
    if (index >= 0 && !EntryValue(e, index, &v))
        v = kComboEmptyValue;
    if (value != nullptr)
        *value = v;
    return index;
}

int SetComboBox(uint32_t value, const char16_t *list, char16_t *name, unsigned size)
{
    Entry e;
    for (int i = 0; NextEntry(&list, &e); ++i) {
        uint32_t v;
        if (EntryValue(e, i, &v) && v == value) {
            CopySpan(e.name, name, size);
            return i;
        }
    }
    Clear(name, size);
    return -1;
}

int GetComboCode(char16_t *code, const char16_t *list, const char16_t *name)
{
    Entry e;
    const int index = FindByName(list, name, &e);
    if (index < 0)
        Clear(code, kComboCodeSize);
    else if (code != nullptr)
        EntryCode(e, false, code);
    return index;
}

int SetComboCode(const char16_t *code, const char16_t *list, char16_t *name, unsigned size)
{
    if (code != nullptr) {
        Entry e;
        for (int i = 0; NextEntry(&list, &e); ++i) {
            const Span cut = {e.code.text, CutLength(e.code, kComboCodeSize - 1)};
            if (e.hasCode && SpanEquals(cut, code)) {
                CopySpan(e.name, name, size);
                return i;
            }
        }
    }
    Clear(name, size);
    return -1;
}

int SetComboName(const char16_t *name, const char16_t *list, char16_t *out, unsigned size)
{
    Entry e;
    const int index = FindByName(list, name, &e);
    if (index < 0)
        Clear(out, size);
    else
        CopySpan(e.name, out, size);
    return index;
}

int MatchComboName(const char16_t *pattern, const char16_t *list, char16_t *out, unsigned size)
{
    if (pattern != nullptr) {
        Entry e;
        // LikeCompare wants terminated text: names are matched from a copy.
        std::u16string buffer;
        for (int i = 0; NextEntry(&list, &e); ++i) {
            buffer.assign(e.name.text, e.name.length);
            if (LikeCompare(buffer.c_str(), pattern, 1)) {
                CopySpan(e.name, out, size);
                return i;
            }
        }
    }
    Clear(out, size);
    return -1;
}

// ---------------------------------------------------------------------------------------
// Radio and check texts
// ---------------------------------------------------------------------------------------

int GetRadioNumber(const char16_t *list)
{
    Entry e;
    int n = 0;
    while (NextEntry(&list, &e))
        ++n;
    return n;
}

int GetRadioMapper(char16_t *list)
{
    if (list == nullptr)
        return 0;
    char16_t *write = list;
    const char16_t *read = list;
    int n = 0;
    Entry e;
    while (NextEntry(&read, &e)) {
        ++n;
        // The name and whatever ended the line (carriage return, line feed) move down.
        const char16_t *from = e.name.text;
        const size_t units = static_cast<size_t>(read - from);
        std::memmove(write, from, units * sizeof(char16_t));
        write += units;
        // A last line without line feed whose name is empty would vanish: a line feed in
        // place of its ';' keeps it an entry.
        if (units == 0 && e.hasCode && *read == 0)
            *write++ = u'\n';
    }
    *write = 0;
    return n;
}

int GetRadioBox(uint32_t rendered, const char16_t *list, const char16_t *text)
{
    if (text == nullptr)
        return -1;
    Entry e;
    if (!rendered)
        return FindByName(list, text, &e);
    const char16_t *p = text;
    for (int i = 0; NextEntry(&list, &e); ++i) {
        const int mark = ReadMark(p, kRadioOnMark, nullptr, kRadioOffMark);
        if (mark < 0)
            return -1;
        if (mark == 1)
            return i;
        p += kComboMarkLength;
        if (!StartsWith(p, e.line))
            return -1;
        p += e.line.length;
    }
    return -1;
}

int SetRadioBox(int index, uint32_t rendered, const char16_t *list, char16_t *out, unsigned size)
{
    if (out == nullptr || size == 0)
        return 0;
    Entry e;
    if (!rendered) {
        for (int i = 0; NextEntry(&list, &e); ++i) {
            if (i == index)
                return static_cast<int>(CopySpan(e.name, out, size));
        }
        out[0] = 0;
        return -1;
    }
    unsigned length = 0;
    for (int i = 0; NextEntry(&list, &e); ++i) {
        const char16_t *mark = i == index ? kRadioOnMark : kRadioOffMark;
        if (length + kComboMarkLength + e.line.length + 1 > size)
            break;
        Append(out, size, &length, mark, kComboMarkLength, 1);
        Append(out, size, &length, e.line.text, e.line.length, 1);
    }
    out[length] = 0;
    return static_cast<int>(length);
}

int GetCheckBox(uint64_t *bits, uint32_t rendered, const char16_t *list, const char16_t *text)
{
    if (bits == nullptr)
        return 0;
    *bits = 0;
    if (text == nullptr)
        return 0;
    Entry e;
    const char16_t *p = text;
    for (unsigned i = 0; i < kComboMaskEntries && NextEntry(&list, &e); ++i) {
        if (!rendered) {
            if (AmongNames(e.name, text))
                *bits |= uint64_t{1} << i;
            continue;
        }
        const int mark = ReadMark(p, kCheckOnMark, kCheckTickMark, kCheckOffMark);
        if (mark < 0)
            return 0;
        if (mark == 1)
            *bits |= uint64_t{1} << i;
        p += kComboMarkLength;
        if (!StartsWith(p, e.line))
            return 0;
        p += e.line.length;
    }
    return 1;
}

int SetCheckBox(uint64_t bits, uint32_t form, const char16_t *list, char16_t *out, unsigned size)
{
    if (out == nullptr || size == 0)
        return 0;
    const char16_t *on = form == kCheckFormTick ? kCheckTickMark : kCheckOnMark;
    unsigned length = 0;
    Entry e;
    for (unsigned i = 0; NextEntry(&list, &e); ++i) {
        const bool set = i < kComboMaskEntries && (bits >> i & 1) != 0;
        if (form == kCheckFormNames) {
            if (!set)
                continue;
            const unsigned sep = length > 0 ? 1 : 0;
            if (length + sep + e.name.length + 1 > size)
                break;
            Append(out, size, &length, u";", sep, 1);
            Append(out, size, &length, e.name.text, e.name.length, 1);
            continue;
        }
        if (length + kComboMarkLength + e.line.length + 1 > size)
            break;
        Append(out, size, &length, set ? on : kCheckOffMark, kComboMarkLength, 1);
        Append(out, size, &length, e.line.text, e.line.length, 1);
    }
    out[length] = 0;
    return static_cast<int>(length);
}
