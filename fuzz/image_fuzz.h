#pragma once
// The body shared by the image decoder targets: arbitrary bytes through one decoder of
// XImage, then the members a caller uses on what was decoded.

#include <cstddef>
#include <cstdint>

#include "platform/panekit/image/ximage.h"

inline int FuzzImageDecoder(const uint8_t *data, size_t size, int type)
{
    XImage image;
    if (!image.LoadFromBuffer(data, size, type))
        return 0;
    for (int i = 0; i < image.GetFrameCount(); ++i) {
        image.LockFrame(i);
        image.GetPixel(image.GetWidth() - 1, image.GetHeight() - 1);
    }
    XImage thumb;
    image.GetThumbImage(&thumb, 8, 8, 1);
    return 0;
}
