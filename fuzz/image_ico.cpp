// Arbitrary bytes through the ICO decoder of XImage, then the members a caller uses on
// what was decoded.
#include "image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzImageDecoder(data, size, kImageIco);
}
