// Selector 0: the process-wide ANSI code page, converted with iconv.
//
// Bytes the code page cannot decode and characters it cannot encode become '?', one per
// undecodable byte or unencodable character, so a conversion never fails half-way.
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <forward_list>
#include <iconv.h>
#include <mutex>
#include <string>

#include "corekit/encoding/encoding.h"
#include "corekit/text/char_traits.h"

static_assert(std::endian::native == std::endian::little,
              "UTF-16LE from iconv is read as native char16_t");

namespace {

constexpr char kDefaultCodePage[] = "CP936";
constexpr char kWide[] = "UTF-16LE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Names set with SetAnsiCodePage are kept for the life of the process (a handful at most),
// so the pointer read here stays valid for any thread. The lock guards only the list of
// names, taken by the rare setter; conversions read the atomic pointer.
std::atomic<const char *> g_codePage{kDefaultCodePage};
std::mutex g_namesLock;
std::forward_list<std::string> g_names;

const char *Intern(const char *name)
{
    if (std::strcmp(name, kDefaultCodePage) == 0)
        return kDefaultCodePage;
    std::lock_guard<std::mutex> hold(g_namesLock);
    for (const std::string &known : g_names)
        if (known == name)
            return known.c_str();
    g_names.emplace_front(name);
    return g_names.front().c_str();
}

// Each thread keeps its own pair of converters for the current code page: iconv
// descriptors carry state and must not be shared between threads.
class Converters
{
public:
    ~Converters() { Close(); }

    iconv_t ToWide() { return Get().toWide; }
    iconv_t FromWide() { return Get().fromWide; }

private:
    struct Pair
    {
        iconv_t toWide = kNoConverter;
        iconv_t fromWide = kNoConverter;
    };

    Pair &Get()
    {
        const char *name = g_codePage.load(std::memory_order_acquire);
        if (name != m_name) {
            Close();
            m_pair.toWide = iconv_open(kWide, name);
            m_pair.fromWide = iconv_open(name, kWide);
            m_name = name;
        }
        return m_pair;
    }

    void Close()
    {
        if (m_pair.toWide != kNoConverter)
            iconv_close(m_pair.toWide);
        if (m_pair.fromWide != kNoConverter)
            iconv_close(m_pair.fromWide);
        m_pair = Pair{};
        m_name = nullptr;
    }

    const char *m_name = nullptr;
    Pair m_pair;
};

thread_local Converters t_converters;

// Output sink: writes into the caller's buffer, or into a scratch area when only counting.
struct Sink
{
    char *out;      // caller's buffer, or null to count
    size_t cap;     // bytes available in out
    size_t written; // bytes produced so far
    char scratch[512];
};

// Appends a '?' in the output's unit size; false when it does not fit.
bool PutReplacement(Sink *sink, size_t unit)
{
    if (sink->out && sink->written + unit > sink->cap)
        return false;
    if (sink->out) {
        char *w = sink->out + sink->written;
        std::memset(w, 0, unit);
        w[0] = '?';
    }
    sink->written += unit;
    return true;
}

// Bytes of the input character that iconv refused: one byte of narrow input, one unit (or
// a whole pair) of UTF-16 input.
size_t RefusedLength(const char *in, size_t left, bool wideInput)
{
    if (!wideInput)
        return 1;
    if (left >= 4) {
        char16_t a, b;
        std::memcpy(&a, in, 2);
        std::memcpy(&b, in + 2, 2);
        if (a >= 0xD800 && a <= 0xDBFF && b >= 0xDC00 && b <= 0xDFFF)
            return 4;
    }
    return left < 2 ? left : 2;
}

// Runs cd over the input, replacing what it refuses, until the input is done or the
// next character does not fit in the caller's buffer.
void Convert(iconv_t cd, const char *in, size_t left, bool wideInput, size_t outUnit, Sink *sink)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (left > 0) {
        char *dst = sink->out ? sink->out + sink->written : sink->scratch;
        size_t room = sink->out ? sink->cap - sink->written : sizeof(sink->scratch);
        size_t before = room;
        char *src = const_cast<char *>(in);
        size_t r = iconv(cd, &src, &left, &dst, &room);
        sink->written += before - room;
        in = src;
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            if (sink->out)
                return;
            continue;
        }
        // EILSEQ or EINVAL: refused or cut-off character.
        if (!PutReplacement(sink, outUnit))
            return;
        size_t skip = RefusedLength(in, left, wideInput);
        in += skip;
        left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

} // namespace

int SetAnsiCodePage(const char *name)
{
    if (!name || !*name)
        return 0;
    iconv_t probe = iconv_open(kWide, name);
    if (probe == kNoConverter)
        return 0;
    iconv_close(probe);
    g_codePage.store(Intern(name), std::memory_order_release);
    return 1;
}

const char *GetAnsiCodePage()
{
    return g_codePage.load(std::memory_order_acquire);
}

unsigned AStrToWStr(const char *s, int len, char16_t *out, uint32_t cap)
{
    if (!s)
        return 0;
    size_t n = len < 0 ? corekit_detail::Length(s) + 1 : static_cast<size_t>(len);
    iconv_t cd = t_converters.ToWide();
    if (cd == kNoConverter)
        return 0;
    Sink sink{reinterpret_cast<char *>(out), static_cast<size_t>(cap) * 2, 0, {}};
    Convert(cd, s, n, false, 2, &sink);
    size_t units = sink.written / 2;
    if (out && units < cap)
        out[units] = 0;
    return static_cast<unsigned>(units);
}

unsigned WStrToAStr(const char16_t *s, int n, char *out, uint32_t cap)
{
    if (!s)
        return 0;
    size_t count = n < 0 ? corekit_detail::Length(s) + 1 : static_cast<size_t>(n);
    iconv_t cd = t_converters.FromWide();
    if (cd == kNoConverter)
        return 0;
    Sink sink{out, cap, 0, {}};
    Convert(cd, reinterpret_cast<const char *>(s), count * 2, true, 1, &sink);
    if (out && sink.written < cap)
        out[sink.written] = 0;
    return static_cast<unsigned>(sink.written);
}
