// The UTF-8 decoder on untrusted bytes, and the encoder on what it decoded. Checks that
// counting agrees with writing, that validity agrees with IsUTF8Mode, that nothing is
// written past the capacity, that exact and roomy buffers agree, and that
// decode(encode(decode(x))) == decode(x).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "corekit/encoding/encoding.h"

namespace {

void Require(bool ok)
{
    if (!ok)
        std::abort();
}

std::u16string Decode(const char *s, size_t n)
{
    int len = static_cast<int>(n);
    unsigned need = UStrToWStr(s, len, nullptr, 0);
    // Exactly sized, so the sanitizer sees any write past the capacity.
    std::vector<char16_t> out(need ? need : 1);
    unsigned written = UStrToWStr(s, len, out.data(), static_cast<uint32_t>(out.size()));
    Require(written == need);
    // A roomy buffer takes the unchecked fast path; it must agree with the exact one.
    std::vector<char16_t> roomy(n + 1);
    Require(UStrToWStr(s, len, roomy.data(), static_cast<uint32_t>(roomy.size())) == need);
    Require(std::equal(out.begin(), out.begin() + need, roomy.begin()));
    return std::u16string(out.data(), written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 65536)
        return 0;
    const char *s = reinterpret_cast<const char *>(data);
    int valid = IsUTF8Mode(s, static_cast<int>(size));
    std::u16string units = Decode(s, size);
    if (!valid)
        Require(units.empty());

    // Piecewise decoding of a prefix reports at most five missing bytes.
    std::vector<char16_t> piece(size + 1);
    uint32_t pending = 0;
    unsigned got = UStrToWStr(s, static_cast<uint32_t>(size / 2), piece.data(),
                              static_cast<uint32_t>(piece.size()), &pending);
    Require(got <= size / 2 + 1 && pending <= 5);

    int n = static_cast<int>(units.size());
    unsigned bytes = WStrToUStr(units.data(), n, nullptr, 0);
    std::vector<char> encoded(bytes ? bytes : 1);
    unsigned written = WStrToUStr(units.data(), n, encoded.data(), bytes);
    Require(written == bytes);
    std::vector<char> roomy(3 * units.size() + 1);
    Require(WStrToUStr(units.data(), n, roomy.data(), static_cast<uint32_t>(roomy.size())) ==
            bytes);
    Require(std::equal(encoded.begin(), encoded.begin() + bytes, roomy.begin()));
    Require(IsUTF8Mode(encoded.data(), static_cast<int>(written)) == 1);
    Require(Decode(encoded.data(), written) == units);

    // A short capacity stops before a character that does not fit.
    if (bytes > 1) {
        std::vector<char> shortOut(bytes - 1);
        Require(WStrToUStr(units.data(), n, shortOut.data(), bytes - 1) < bytes);
    }
    return 0;
}
