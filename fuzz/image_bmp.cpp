// Arbitrary bytes through the BMP and bare DIB decoders of XImage, then the members a caller uses
// on what was decoded.
#include "image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    XImage image;
    image.LoadBitmap(data, size); // bare DIBs of resource files
    return FuzzImageDecoder(data, size, kImageBmp);
}
