// The formatters on arbitrary format strings, narrow and wide. Each format is
// walked the way the formatter walks it to learn what its directives take,
// and is then called with exactly those arguments (up to four), so the fuzzer
// explores the format grammar without reading arguments that were never passed.
// The typed formatter takes any format with values made from the input.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "corekit/format/format.h"
#include "corekit/format/format_directive.h"
#include "corekit/text/xbyte_buffer.h"
#include "corekit/text/xstring.h"

namespace {

using namespace corekit_format;

enum Arg { kInt, kInt64, kDouble, kNarrow, kWide };
constexpr size_t kMaxArgs = 4;

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// The arguments the format takes, in order, and the room its text can need;
// false when it takes more than kMaxArgs.
template <typename Ch> bool ArgumentsOf(const Ch *p, std::vector<Arg> *args, size_t *room)
{
    constexpr bool wide = sizeof(Ch) == 2;
    while (*p) {
        if (*p != Ch('%')) {
            ++p;
            continue;
        }
        if (p[1] == Ch('%')) {
            p += 2;
            continue;
        }
        Directive dir;
        const Ch *next = ReadDirective(p + 1, &dir);
        if (!next) {
            ++p;
            continue;
        }
        p = next;
        *room += dir.width + (dir.precision > 0 ? dir.precision : 0) + 400;
        const bool other =
            wide ? dir.size == Size::Short : dir.size == Size::Long || dir.size == Size::LongLong;
        switch (dir.conversion) {
        case 'T':
        case 'V':
            break;
        case 'f':
        case 'e':
        case 'E':
            args->push_back(kDouble);
            break;
        case 's':
            args->push_back(other == wide ? kNarrow : kWide);
            break;
        default:
            args->push_back(dir.size == Size::LongLong ? kInt64 : kInt);
            break;
        }
    }
    return args->size() <= kMaxArgs;
}

void Format(const char *fmt, std::vector<char> &buf, auto... a)
{
    const unsigned n = Sprintf(buf.data(), fmt, a...);
    Check(n < buf.size() && buf[n] == 0);
    XByteBuffer b;
    b.Append("x", 1);
    Check(Sprintf(&b, fmt, a...) == n && b.GetLength() == n + 1);
}

void Format(const char16_t *fmt, std::vector<char16_t> &buf, auto... a)
{
    const unsigned n = Sprintf(buf.data(), fmt, a...);
    Check(n < buf.size() && buf[n] == 0);
    XString s;
    Check(s.Format(fmt, a...) == n && s.GetLength() == n);
}

template <typename Ch>
void Call(const Ch *fmt, std::vector<Ch> &buf, const Arg *args, size_t n, auto... a)
{
    if constexpr (sizeof...(a) < kMaxArgs) {
        if (n > 0) {
            switch (args[0]) {
            case kInt:
                return Call(fmt, buf, args + 1, n - 1, a..., -12345);
            case kInt64:
                return Call(fmt, buf, args + 1, n - 1, a..., -1234567890123LL);
            case kDouble:
                return Call(fmt, buf, args + 1, n - 1, a..., 3.25e-3);
            case kNarrow:
                return Call(fmt, buf, args + 1, n - 1, a..., "n\xc3\xa9!");
            case kWide:
                return Call(fmt, buf, args + 1, n - 1, a..., u"w\u00e9\U0001F600");
            }
        }
    }
    Format(fmt, buf, a...);
}

template <typename Ch> void FormatWithArguments(const std::basic_string<Ch> &fmt)
{
    std::vector<Arg> args;
    size_t room = fmt.size() + 1;
    if (!ArgumentsOf(fmt.c_str(), &args, &room))
        return;
    std::vector<Ch> buf(room);
    Call(fmt.c_str(), buf, args.data(), args.size());
}

void FormatTyped(const std::u16string &fmt, const uint8_t *data, size_t size)
{
    static const char16_t kText[] = u"typed";
    XVarMeter values[6] = {};
    for (size_t i = 0; i < 6; ++i) {
        const uint8_t b = size ? data[i % size] : 0;
        constexpr uint32_t kTypes[] = {kVarInteger,  kVarText, kVarFloater,
                                       kVarDateTime, kVarNull, 9};
        values[i].type = kTypes[b % 6];
        values[i].value.integer = static_cast<int64_t>(b) * 0x0101010101010101LL;
        if (values[i].type == kVarText)
            values[i].value.text = kText;
    }
    XString s;
    SprintfV(&s, fmt.c_str(), values, 6);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 2048)
        return 0;
    const std::string narrow(reinterpret_cast<const char *>(data), size);
    std::u16string wide;
    for (size_t i = 0; i + 1 < size; i += 2)
        wide += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    const std::u16string widened(narrow.begin(), narrow.end());
    FormatWithArguments(std::string(narrow.c_str()));
    FormatWithArguments(std::u16string(widened.c_str()));
    FormatWithArguments(std::u16string(wide.c_str()));
    FormatTyped(std::u16string(widened.c_str()), data, size);
    return 0;
}
