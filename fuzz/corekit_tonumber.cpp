// Every number reader on arbitrary bytes, as narrow text and as UTF-16 units;
// what is read is written back, so the writers see every value a reader makes.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "corekit/numbers/numbers.h"

namespace {

template <typename Ch> size_t Length(const Ch *s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

template <typename Ch> void WriteBack(double x, int64_t i)
{
    std::vector<Ch> buf(kFloaterTextMax + 16);
    for (int scientific = 0; scientific < 2; ++scientific)
        for (int precision : {-1, 0, 3, 12}) {
            const unsigned n = FromFloater(scientific, precision, buf.data(), x);
            Check(n < buf.size() && buf[n] == 0 && Length(buf.data()) == n);
        }
    Ch text[kIntegerTextMax];
    Check(FromInteger(text, i) == Length(text));
    for (int radix = 0; radix < 4; ++radix)
        Check(FromInteger(radix, text, static_cast<uint64_t>(i)) == Length(text));
    FromInteger(text, i);
    Check(ToInt64(text) == i);
}

template <typename Ch> void ReadAll(const Ch *s)
{
    const size_t length = Length(s);
    XVarMeter m{};
    const unsigned used = ToNumber(s, &m);
    Check(used <= length);
    if (used != 0)
        WriteBack<Ch>(m.type == kVarFloater ? m.value.floater : 0.0,
                      m.type == kVarInteger ? m.value.integer : 0);
    double x = 0;
    for (int mode = 0; mode < 3; ++mode)
        Check(ToFloater(mode, s, &x) <= length);
    WriteBack<Ch>(ToFloater(s), ToInt64(s));
    for (int radix = -1; radix < 5; ++radix) {
        uint64_t v64 = 0;
        uint32_t v32 = 0;
        Check(ToInteger(radix, s, &v64) <= length);
        Check(ToInteger(radix, s, &v32) <= length);
        WriteBack<Ch>(static_cast<double>(ToInt32(radix, s)), ToInt64(radix, s));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<char> narrow(data, data + size);
    narrow.push_back(0);
    ReadAll(narrow.data());

    std::vector<char16_t> wide(size / 2 + 1, 0);
    for (size_t i = 0; i + 1 < size; i += 2)
        wide[i / 2] = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    ReadAll(wide.data());
    return 0;
}
