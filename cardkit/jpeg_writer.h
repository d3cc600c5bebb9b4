#pragma once
#include <string>

#include "cardkit/bmp_reader.h"
#include "cardkit/cardkit_export.h"

namespace cardkit {

// Encodes an RGB image as a baseline JPEG file (quality 90, mode 0600); false
// on any encoder or file error, leaving no partial file behind.
CARDKIT_EXPORT bool WriteJpeg(const RgbImage &image, const std::string &path, int quality = 90);

} // namespace cardkit
