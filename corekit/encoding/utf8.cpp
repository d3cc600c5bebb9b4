// UTF-8 coder: UTF-16 units to and from UTF-8 bytes.
//
// A valid surrogate pair travels as one four-byte sequence. Lone surrogates are written as
// three bytes of their own, and three-byte surrogates are read back as units, so text
// with broken pairs survives a round trip. Sequences of five and six bytes (and four-byte
// values beyond U+10FFFF) are consumed and give no character.
#include <bit>
#include <cstdint>
#include <cstring>

#include "corekit/encoding/encoding.h"
#include "corekit/text/char_traits.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#endif

static_assert(std::endian::native == std::endian::little,
              "the fast paths read and write bytes as little-endian words");

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

struct Decoded
{
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

// Three-byte sequence at s (lead 1110xxxx and two continuation bytes, all present).
inline bool IsThreeByte(const unsigned char *s, size_t left)
{
    return left >= 3 && (s[0] & 0xF0) == 0xE0 && IsContinuation(s[1]) && IsContinuation(s[2]);
}

inline char16_t ThreeByteUnit(const unsigned char *s)
{
    return static_cast<char16_t>(((s[0] & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F));
}

// The one decoding loop. kWrite false counts units. kBounded checks the output capacity
// at every unit; unbounded callers guarantee cap >= len (no byte gives more than one unit).
// The ASCII fast path stores 16 units at once and keeps only the ASCII prefix of them, so
// it runs only while 16 units of room remain.
template <bool kWrite, bool kBounded>
Decoded DecodeLoop(const unsigned char *s, size_t len, char16_t *out, size_t cap)
{
    size_t i = 0, units = 0;
    while (i < len) {
        if (s[i] < 0x80) {
#if defined(__SSE2__)
            const __m128i zero = _mm_setzero_si128();
            while (i + 16 <= len && (!kBounded || units + 16 <= cap)) {
                __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
                if (kWrite) {
                    auto *w = reinterpret_cast<__m128i *>(out + units);
                    _mm_storeu_si128(w, _mm_unpacklo_epi8(v, zero));
                    _mm_storeu_si128(w + 1, _mm_unpackhi_epi8(v, zero));
                }
                unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(v));
                unsigned ascii = mask ? static_cast<unsigned>(__builtin_ctz(mask)) : 16u;
                i += ascii;
                units += ascii;
                if (mask)
                    break;
            }
#endif
            while (i < len && s[i] < 0x80) {
                if (kBounded && units >= cap)
                    return {Stop::Full, units, i, 0};
                if (kWrite)
                    out[units] = s[i];
                ++units;
                ++i;
            }
            continue;
        }
        // Runs of three-byte sequences (CJK text) stay in these tight loops: four bytes
        // read at once are checked with one mask, then the tail byte by byte.
        for (uint32_t v; i + 4 <= len; i += 3) {
            std::memcpy(&v, s + i, 4);
            if ((v & 0xC0C0F0u) != 0x8080E0u)
                break;
            if (kBounded && units >= cap)
                return {Stop::Full, units, i, 0};
            if (kWrite)
                out[units] = static_cast<char16_t>(((v & 0x0F) << 12) | ((v & 0x3F00) >> 2) |
                                                   ((v >> 16) & 0x3F));
            ++units;
        }
        while (IsThreeByte(s + i, len - i)) {
            if (kBounded && units >= cap)
                return {Stop::Full, units, i, 0};
            if (kWrite)
                out[units] = ThreeByteUnit(s + i);
            ++units;
            i += 3;
        }
        if (i >= len || s[i] < 0x80)
            continue;
        uint32_t v = 0;
        int n = DecodeSequence(s + i, len - i, &v);
        if (n == 0)
            return {Stop::Invalid, units, i, 0};
        if (n < 0)
            return {Stop::Cut, units, i, -n};
        if (kWrite) {
            if (!Store(v, out, kBounded ? cap : len, &units))
                return {Stop::Full, units, i, 0};
        } else {
            units += UnitsOf(v);
        }
        i += static_cast<size_t>(n);
    }
    return {Stop::End, units, i, 0};
}

// out null counts units; otherwise at most cap units are written.
Decoded Decode(const unsigned char *s, size_t len, char16_t *out, size_t cap)
{
    if (!out)
        return DecodeLoop<false, false>(s, len, nullptr, 0);
    if (cap >= len)
        return DecodeLoop<true, false>(s, len, out, cap);
    return DecodeLoop<true, true>(s, len, out, cap);
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

inline bool IsThreeByteUnit(char16_t c)
{
    return c >= 0x800 && (c < 0xD800 || c > 0xDFFF);
}

// The three bytes of c in memory order, packed into the low 24 bits of a little-endian
// word.
inline uint64_t ThreeBytes(char16_t c)
{
    return (0xE0u | (c >> 12)) | (0x80u | ((c >> 6) & 0x3Fu)) << 8 | (0x80u | (c & 0x3Fu)) << 16;
}

inline void PutThreeBytes(char16_t c, unsigned char *out)
{
    out[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
    out[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
}

#if defined(__SSE2__)
// Checked once at load; the explicit init makes the answer valid even though this runs
// among the library's constructors.
const bool g_hasSsse3 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
}();

// Shuffle masks that spread eight characters, held as the byte pairs (lead, middle) and
// the bytes (last, 0), into 24 bytes of three-byte sequences. Entry p of the output takes
// byte 2j (lead), 2j + 1 (middle) of the first source or byte 2j (last) of the second,
// for character j = p / 3; 0x80 selects zero.
struct SpreadMasks
{
    alignas(16) unsigned char pairs[32];
    alignas(16) unsigned char lasts[32];
};

constexpr SpreadMasks MakeSpreadMasks()
{
    SpreadMasks m{};
    for (int p = 0; p < 32; ++p) {
        int j = p / 3, r = p % 3;
        int shift = p < 16 ? 0 : 8; // the second half reads sources moved down by 8 bytes
        bool inRange = p < 24;
        m.pairs[p] = inRange && r < 2 ? static_cast<unsigned char>(2 * j + r - shift) : 0x80;
        m.lasts[p] = inRange && r == 2 ? static_cast<unsigned char>(2 * j - shift) : 0x80;
    }
    return m;
}

constexpr SpreadMasks kSpread = MakeSpreadMasks();

// Encodes up to eight characters at s as three-byte sequences, stopping at the first
// that needs another length; returns how many counted. Always stores 24 bytes.
__attribute__((target("ssse3"))) size_t ThreeByteRun8(const char16_t *s, unsigned char *out)
{
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
    __m128i top = _mm_and_si128(c, _mm_set1_epi16(static_cast<short>(0xF800)));
    __m128i other = _mm_or_si128(_mm_cmpeq_epi16(top, _mm_setzero_si128()),
                                 _mm_cmpeq_epi16(top, _mm_set1_epi16(static_cast<short>(0xD800))));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(other));
    size_t count = mask ? static_cast<size_t>(__builtin_ctz(mask)) / 2 : 8;
    if (count == 0)
        return 0;
    const __m128i low6 = _mm_set1_epi16(0x3F);
    __m128i lead = _mm_or_si128(_mm_srli_epi16(c, 12), _mm_set1_epi16(0xE0));
    __m128i middle = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(c, 6), low6), _mm_set1_epi16(0x80));
    __m128i last = _mm_or_si128(_mm_and_si128(c, low6), _mm_set1_epi16(0x80));
    __m128i pairs = _mm_or_si128(lead, _mm_slli_epi16(middle, 8));
    const auto *mp = reinterpret_cast<const __m128i *>(kSpread.pairs);
    const auto *ml = reinterpret_cast<const __m128i *>(kSpread.lasts);
    // Output bytes 0-15 come from characters 0-5, bytes 16-23 from characters 5-7; the
    // masks index within 16 bytes, so the second half shuffles sources moved down by 8.
    __m128i first = _mm_or_si128(_mm_shuffle_epi8(pairs, _mm_load_si128(mp)),
                                 _mm_shuffle_epi8(last, _mm_load_si128(ml)));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), first);
    __m128i pairsHigh = _mm_srli_si128(pairs, 8), lastHigh = _mm_srli_si128(last, 8);
    __m128i second = _mm_or_si128(_mm_shuffle_epi8(pairsHigh, _mm_load_si128(mp + 1)),
                                  _mm_shuffle_epi8(lastHigh, _mm_load_si128(ml + 1)));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out + 16), second);
    return count;
}
#endif

// Encodes n units into out until the next character does not fit in cap; returns the
// bytes written. Unbounded callers guarantee cap >= 3 * n (no unit needs more than three
// bytes; a pair needs four for two units). The ASCII fast path stores 8 bytes at once and
// keeps only the ASCII prefix of them.
template <bool kBounded>
size_t EncodeLoop(const char16_t *s, size_t n, unsigned char *out, size_t cap)
{
    size_t i = 0, w = 0;
    while (i < n) {
        if (s[i] < 0x80) {
#if defined(__SSE2__)
            const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
            while (i + 8 <= n && (!kBounded || w + 8 <= cap)) {
                __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
                _mm_storel_epi64(reinterpret_cast<__m128i *>(out + w), _mm_packus_epi16(v, v));
                __m128i isAscii = _mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128());
                unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(isAscii)) & 0xFFFFu;
                unsigned ascii = other ? static_cast<unsigned>(__builtin_ctz(other)) / 2 : 8u;
                i += ascii;
                w += ascii;
                if (other)
                    break;
            }
#endif
            while (i < n && s[i] < 0x80) {
                if (kBounded && w >= cap)
                    return w;
                out[w++] = static_cast<unsigned char>(s[i++]);
            }
            continue;
        }
        // Runs of three-byte characters (CJK text) stay in these tight loops: eight at
        // once where the processor can shuffle bytes, two at once as one eight-byte store
        // of which six bytes count, then one by one.
#if defined(__SSE2__)
        if (g_hasSsse3) {
            while (i + 8 <= n && (!kBounded || w + 24 <= cap)) {
                size_t k = ThreeByteRun8(s + i, out + w);
                i += k;
                w += 3 * k;
                if (k < 8)
                    break;
            }
        }
#endif
        while (i + 3 <= n && (!kBounded || w + 8 <= cap) && IsThreeByteUnit(s[i]) &&
               IsThreeByteUnit(s[i + 1])) {
            uint64_t v = ThreeBytes(s[i]) | (ThreeBytes(s[i + 1]) << 24);
            std::memcpy(out + w, &v, 8);
            w += 6;
            i += 2;
        }
        while (i < n && IsThreeByteUnit(s[i])) {
            if (kBounded && w + 3 > cap)
                return w;
            PutThreeBytes(s[i++], out + w);
            w += 3;
        }
        if (i >= n || s[i] < 0x80)
            continue;
        size_t units;
        unsigned size = EncodedSize(s + i, n - i, &units);
        if (kBounded && w + size > cap)
            return w;
        PutChar(s + i, size, out + w);
        w += size;
        i += units;
    }
    return w;
}

size_t Encode(const char16_t *s, size_t n, unsigned char *out, size_t cap)
{
    if (cap / 3 >= n)
        return EncodeLoop<false>(s, n, out, cap);
    return EncodeLoop<true>(s, n, out, cap);
}

size_t EncodedLength(const char16_t *s, size_t n)
{
    size_t i = 0, bytes = 0;
    while (i < n) {
        char16_t c = s[i];
        if (c < 0x80 || IsThreeByteUnit(c)) {
            bytes += c < 0x80 ? 1 : 3;
            ++i;
            continue;
        }
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
