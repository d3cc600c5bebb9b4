// Arbitrary bytes through the BMP and bare DIB decoders of XImage, then the members a caller uses
// on what was decoded.
#include <cstddef>
#include <cstdint>

#include "platform/panekit/ximage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    XImage image;
    image.LoadBitmap(data, size); // bare DIBs of resource files
    if (!image.LoadFromBuffer(data, size, kImageBmp))
        return 0;
    for (int i = 0; i < image.GetFrameCount(); ++i) {
        image.LockFrame(i);
        image.GetPixel(image.GetWidth() - 1, image.GetHeight() - 1);
    }
    XImage thumb;
    image.GetThumbImage(&thumb, 8, 8, 1);
    return 0;
}
