#pragma once
// Growable UTF-16 string with a null state that is distinct from an empty text.

#include <cstdint>

#include "corekit/corekit_export.h"

// States: null when nothing is held (GetString() is null, GetLength() 0); text when the
// buffer holds a terminated string, possibly empty. The buffer grows by doubling; the
// first buffer holds at least 32 characters. Move-only: a copy would share the buffer.
class COREKIT_EXPORT XString
{
public:
    XString();
    // A copy of s; null s leaves the null state.
    XString(const char16_t *s);
    // As Append(s, codepage) on a new string.
    XString(const char *s, int codepage);
    XString(XString &&other) noexcept;
    XString &operator=(XString &&other) noexcept;
    XString(const XString &) = delete;
    XString &operator=(const XString &) = delete;
    virtual ~XString();

    // The text, or null in the null state.
    const char16_t *GetString() const { return m_begin == m_end ? nullptr : m_begin; }
    operator const char16_t *() const { return GetString(); }
    // Characters of the text; 0 in the null state.
    unsigned GetLength() const;
    // Size of the buffer in characters (terminator slot included).
    uint32_t GetCapacity() const { return m_capacity; }
    // The character at i when i < length, else 0.
    char16_t GetAt(unsigned i) const;
    // i < length: character replaced, 1; else 0 (the terminator is never overwritten).
    int SetAt(unsigned i, char16_t ch);
    // n <= length: text cut to n characters, 1; else 0 (never grows).
    int SetLength(unsigned n);
    // Back to the null state; the buffer and its capacity are kept.
    void SetEmpty();
    // Ensures room for n more characters.
    void Allocate(uint32_t n);
    // Ensures room for n more characters and returns where the caller writes: the current
    // terminator (in the null state the buffer start, the string then holding "").
    char16_t *GetBuffer(uint32_t n);
    // p is one past the last character written: when begin <= p < begin + capacity the
    // text ends there; otherwise nothing changes.
    void CloseBuffer(char16_t *p);
    // n <= length: the last n characters removed, 1; else 0.
    int BackDelete(unsigned n);

    void AppendChar(char16_t ch);
    // Appends s; null is ignored.
    void Append(const char16_t *s);
    XString &operator+=(const char16_t *s);
    // Appends other's text; its null state is ignored.
    void Append(const XString &other);
    // Appends exactly n characters of s; null is ignored.
    void Append(const char16_t *s, unsigned n);
    // Converts the whole narrow s (without terminator) from the encoding selector
    // codepage and appends; null is ignored.
    void Append(const char *s, int codepage);
    // Converts n bytes of s from the encoding selector codepage and appends.
    void Append(const char *s, unsigned n, int codepage);

    // Clear, then as the Append of the same arguments; a null argument gives the null state.
    void SetString(const char16_t *s);
    void SetString(const XString &other);
    void SetString(const char16_t *s, unsigned n);
    void SetString(const char *s, int codepage);
    void SetString(const char *s, unsigned n, int codepage);
    XString &operator=(const char16_t *s);

    // Formatting by the conversion grammar of corekit/format.h. Format clears first;
    // AppendFormat is the same entry as Sprintf(XString *, fmt, ...). Both leave a text
    // (possibly empty) and return the characters written.
    unsigned Format(const char16_t *fmt, ...);
    unsigned AppendFormat(const char16_t *fmt, ...);

    // ASCII case change of the text; nothing in the null state.
    void MakeUpper();
    void MakeLower();

    // Null state: -1 when s is non-null, 0 when s is null; otherwise the free function.
    int Strcmp(const char16_t *s) const;
    int Stricmp(const char16_t *s) const;
    int Strncmp(const char16_t *s, unsigned n) const;
    int Strnicmp(const char16_t *s, unsigned n) const;

    // With text: Strcmp(text, s) against 0. In the null state == and >= hold only for a
    // null s, != and < only for a non-null s, <= always, > never.
    bool operator==(const char16_t *s) const;
    bool operator!=(const char16_t *s) const;
    bool operator<(const char16_t *s) const;
    bool operator<=(const char16_t *s) const;
    bool operator>(const char16_t *s) const;
    bool operator>=(const char16_t *s) const;

    // First ch in the text (ch = 0: the terminator), or null; null in the null state.
    char16_t *StrChar(char16_t ch);
    // Strstr on the text; null in the null state.
    char16_t *StrStr(const char16_t *t);

    // Blanks removed at both ends, the start or the end; nothing in the null state.
    void Trim();
    void LTrim();
    void RTrim();

    // out cleared; when from <= length the rest of the text from there (at most n
    // characters) is appended to out. Result 0. out must not be this string.
    int SubStr(XString *out, unsigned from) const;
    int SubStr(XString *out, unsigned from, unsigned n) const;

    // With text: the buffer is handed to the caller (release with MemFree) and the string
    // is left without one. In the null state: null, and any buffer stays.
    char16_t *Detach();
    // s (allocated by corekit) becomes the buffer, the own one released; null s: nothing.
    void Attach(char16_t *s);
    // other's buffer moves here unless other is in the null state.
    void Attach(XString *other);

private:
    void Release();
    // Writes n characters at the end of the text (growing first) and the terminator.
    void AppendUnits(const char16_t *s, unsigned n);
    // Starts the text of a string that holds nothing, so that end - 1 is the terminator.
    char16_t *TextEnd();

    uint32_t m_capacity = 0;
    char16_t *m_begin = nullptr;
    char16_t *m_end = nullptr;
};
