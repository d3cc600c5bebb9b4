// photo.bmp as the photo decoder plug-in leaves it.
#include <cstddef>
#include <cstdint>

#include "cardkit/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    cardkit::RgbImage image;
    cardkit::ReadBmp(data, size, &image);
    return 0;
}
