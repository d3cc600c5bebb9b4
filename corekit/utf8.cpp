// UTF-8 coder: UTF-16 units to and from UTF-8 bytes.
//
// A valid surrogate pair travels as one four-byte sequence. Lone surrogates are written as
// three bytes of their own, and three-byte surrogates are read back as units, so text
// with broken pairs survives a round trip. Sequences of five and six bytes (and four-byte
// values beyond U+10FFFF) are consumed and give no character.
#include <cstring>

#include "corekit/char_traits.h"
#include "corekit/encoding.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ---- decoding -----------------------------------------------------------------------------

// Continuation bytes that follow a lead byte, or -1 for a byte that cannot start a
// sequence (0x80-0xBF, 0xFE, 0xFF).
inline int Followers(unsigned char b)
{
    if (b < 0x80)
        return 0;
    if (b < 0xC0)
        return -1;
    if (b < 0xE0)
        return 1;
    if (b < 0xF0)
        return 2;
    if (b < 0xF8)
        return 3;
    if (b < 0xFC)
        return 4;
    if (b < 0xFE)
        return 5;
    return -1;
}

constexpr unsigned char kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01};

inline bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

enum class Stop { End, Full, Invalid, Cut };

struct Decoded {
    Stop stop;
    size_t units;    // units produced (written, or counted when out is null)
    size_t consumed; // input bytes fully decoded
    int missing;     // Cut: continuation bytes still expected
};

// Units a decoded value turns into: 1 below 0x10000, 2 up to 0x10FFFF, else none.
inline size_t UnitsOf(uint32_t v)
{
    return v < 0x10000 ? 1 : (v <= 0x10FFFF ? 2 : 0);
}

// Copies a run of ASCII bytes 16 at a time while both sides have room; returns the count.
inline size_t AsciiRun(const unsigned char *s, size_t len, char16_t *out, size_t room)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= len && i + 16 <= room) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        if (_mm_movemask_epi8(v))
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(v, zero));
        i += 16;
    }
#endif
    while (i < len && i < room && s[i] < 0x80) {
        out[i] = s[i];
        ++i;
    }
    return i;
}

// Counts the ASCII bytes at s (no output).
inline size_t AsciiCount(const unsigned char *s, size_t len)
{
    size_t i = 0;
#if defined(__SSE2__)
    while (i + 16 <= len &&
           !_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i))))
        i += 16;
#endif
    while (i < len && s[i] < 0x80)
        ++i;
    return i;
}

// Decodes one multi-byte sequence at s[0] (a non-ASCII byte). Returns its length in bytes,
// 0 for invalid input, or -missing (negative) when the input ends inside it.
inline int DecodeSequence(const unsigned char *s, size_t len, uint32_t *value)
{
    int follow = Followers(s[0]);
    if (follow <= 0)
        return 0;
    uint32_t v = s[0] & kLeadMask[follow];
    for (int k = 1; k <= follow; ++k) {
        if (static_cast<size_t>(k) >= len)
            return -(follow - k + 1);
        if (!IsContinuation(s[k]))
            return 0;
        v = (v << 6) | (s[k] & 0x3F);
    }
    *value = v;
    return follow + 1;
}

// Stores value v as one unit or a surrogate pair; false when it does not fit.
inline bool Store(uint32_t v, char16_t *out, size_t cap, size_t *units)
{
    size_t need = UnitsOf(v);
    if (*units + need > cap)
        return false;
    if (need == 1) {
        out[*units] = static_cast<char16_t>(v);
    } else if (need == 2) {
        v -= 0x10000;
        out[*units] = static_cast<char16_t>(0xD800 + (v >> 10));
        out[*units + 1] = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    }
    *units += need;
    return true;
}

// The one decoding loop. out null counts units; otherwise at most cap units are written.
Decoded Decode(const unsigned char *s, size_t len, char16_t *out, size_t cap)
{
    size_t i = 0, units = 0;
    while (i < len) {
        size_t run = out ? AsciiRun(s + i, len - i, out + units, cap - units)
                         : AsciiCount(s + i, len - i);
        i += run;
        units += run;
        if (i >= len)
            break;
        if (s[i] < 0x80)
            return {Stop::Full, units, i, 0}; // ASCII stopped only by a full output
        // Three-byte sequences (CJK) are decoded inline; everything else goes generic.
        if ((s[i] & 0xF0) == 0xE0 && i + 2 < len && IsContinuation(s[i + 1]) &&
            IsContinuation(s[i + 2])) {
            if (out) {
                if (units >= cap)
                    return {Stop::Full, units, i, 0};
                out[units] = static_cast<char16_t>(((s[i] & 0x0F) << 12) |
                                                   ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
            }
            ++units;
            i += 3;
            continue;
        }
        uint32_t v = 0;
        int n = DecodeSequence(s + i, len - i, &v);
        if (n == 0)
            return {Stop::Invalid, units, i, 0};
        if (n < 0)
            return {Stop::Cut, units, i, -n};
        if (out) {
            if (!Store(v, out, cap, &units))
                return {Stop::Full, units, i, 0};
        } else {
            units += UnitsOf(v);
        }
        i += static_cast<size_t>(n);
    }
    return {Stop::End, units, i, 0};
}

size_t InputLength(const char *s, int len)
{
    return len < 0 ? corekit_detail::Length(s) + 1 : static_cast<size_t>(len);
}

// ---- encoding -----------------------------------------------------------------------------

inline bool IsHigh(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLow(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Bytes of the character at s[0] (a pair counts as one character of 4 bytes); *units
// receives how many input units it takes.
inline unsigned EncodedSize(const char16_t *s, size_t left, size_t *units)
{
    char16_t c = s[0];
    *units = 1;
    if (c < 0x80)
        return 1;
    if (c < 0x800)
        return 2;
    if (IsHigh(c) && left > 1 && IsLow(s[1])) {
        *units = 2;
        return 4;
    }
    return 3;
}

inline void PutChar(const char16_t *s, unsigned size, unsigned char *out)
{
    uint32_t v = s[0];
    switch (size) {
    case 1:
        out[0] = static_cast<unsigned char>(v);
        return;
    case 2:
        out[0] = static_cast<unsigned char>(0xC0 | (v >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (v & 0x3F));
        return;
    case 3:
        out[0] = static_cast<unsigned char>(0xE0 | (v >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((v >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (v & 0x3F));
        return;
    default:
        v = 0x10000 + ((v - 0xD800) << 10) + (s[1] - 0xDC00);
        out[0] = static_cast<unsigned char>(0xF0 | (v >> 18));
        out[1] = static_cast<unsigned char>(0x80 | ((v >> 12) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | ((v >> 6) & 0x3F));
        out[3] = static_cast<unsigned char>(0x80 | (v & 0x3F));
    }
}

// Narrows a run of ASCII units 8 at a time while both sides have room; returns the count.
inline size_t AsciiNarrow(const char16_t *s, size_t n, unsigned char *out, size_t room)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
    while (i + 8 <= n && i + 8 <= room) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) !=
            0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(v, v));
        i += 8;
    }
#endif
    while (i < n && i < room && s[i] < 0x80) {
        out[i] = static_cast<unsigned char>(s[i]);
        ++i;
    }
    return i;
}

// Encodes n units into out (cap bytes) until the next character does not fit; returns
// the bytes written.
size_t Encode(const char16_t *s, size_t n, unsigned char *out, size_t cap)
{
    size_t i = 0, w = 0;
    while (i < n) {
        size_t run = AsciiNarrow(s + i, n - i, out + w, cap - w);
        i += run;
        w += run;
        if (i >= n)
            break;
        size_t units;
        unsigned size = EncodedSize(s + i, n - i, &units);
        if (w + size > cap)
            break;
        PutChar(s + i, size, out + w);
        w += size;
        i += units;
    }
    return w;
}

size_t EncodedLength(const char16_t *s, size_t n)
{
    size_t i = 0, bytes = 0;
    while (i < n) {
        size_t units;
        bytes += EncodedSize(s + i, n - i, &units);
        i += units;
    }
    return bytes;
}

} // namespace

int IsUTF8Mode(const char *s, int len)
{
    if (!s)
        return 0;
    Decoded d = Decode(reinterpret_cast<const unsigned char *>(s), InputLength(s, len), nullptr, 0);
    return d.stop == Stop::End ? 1 : 0;
}

unsigned GetUTF8Char(char16_t ch, char *out)
{
    size_t units;
    unsigned size = EncodedSize(&ch, 1, &units);
    PutChar(&ch, size, reinterpret_cast<unsigned char *>(out));
    return size;
}

unsigned UStrToWStr(const char *s, int len, char16_t *out, uint32_t cap)
{
    if (!s) {
        if (out && cap)
            out[0] = 0;
        return 0;
    }
    const auto *bytes = reinterpret_cast<const unsigned char *>(s);
    size_t n = InputLength(s, len);
    Decoded d = Decode(bytes, n, out, out ? cap : 0);
    // A full output ends decoding early; the rest must still be valid for the result to
    // count, so a short buffer answers invalid input exactly as a large one does.
    if (d.stop == Stop::Full)
        d.stop = Decode(bytes + d.consumed, n - d.consumed, nullptr, 0).stop;
    if (d.stop == Stop::Invalid || d.stop == Stop::Cut) {
        if (out && cap)
            out[0] = 0;
        return 0;
    }
    if (out && d.units < cap)
        out[d.units] = 0;
    return static_cast<unsigned>(d.units);
}

unsigned UStrToWStr(const char *s, uint32_t len, char16_t *out, uint32_t cap, uint32_t *pending)
{
    if (pending)
        *pending = 0;
    if (!s || !out)
        return 0;
    Decoded d = Decode(reinterpret_cast<const unsigned char *>(s), len, out, cap);
    if (d.stop == Stop::Invalid)
        return 0;
    if (d.stop == Stop::Cut && pending)
        *pending = static_cast<uint32_t>(d.missing);
    return static_cast<unsigned>(d.units);
}

unsigned WStrToUStr(const char16_t *s, int n, char *out, uint32_t cap)
{
    if (!s)
        return 0;
    size_t count = n < 0 ? corekit_detail::Length(s) + 1 : static_cast<size_t>(n);
    if (!out)
        return static_cast<unsigned>(EncodedLength(s, count));
    size_t w = Encode(s, count, reinterpret_cast<unsigned char *>(out), cap);
    if (w < cap)
        out[w] = 0;
    return static_cast<unsigned>(w);
}
