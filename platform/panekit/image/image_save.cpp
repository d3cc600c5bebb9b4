// Saving images: the encoder chosen by type, into memory, archives and files.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "corekit/archive/iarchive.h"
#include "corekit/memory/memory.h"
#include "platform/devkit/native_path.h"
#include "platform/devkit/xfile.h"
#include "platform/panekit/image/image_codec.h"
#include "platform/panekit/image/ximage.h"

namespace {

// Encodes the image as type into out; ICO, CUR and unknown types become PNG.
bool EncodeFrames(const XImage &image, int type, int quality, std::vector<uint8_t> *out)
{
    cairo_surface_t *s = image.GetSurface();
    if (s == nullptr)
        return false;
    if (quality < 1 || quality > 100)
        quality = kImageDefaultQuality;
    switch (type) {
    case kImageJpeg:
        return EncodeJpeg(s, quality, out);
    case kImageBmp:
        return EncodeBmp(s, out);
    case kImageGif:
        return EncodeGif(s, out);
    case kImageTiff: {
        std::vector<cairo_surface_t *> pages;
        for (int i = 0; i < image.GetFrameCount(); ++i)
            pages.push_back(image.GetFrameSurface(i));
        return EncodeTiff(pages.data(), static_cast<int>(pages.size()), out);
    }
    default:
        return EncodePng(s, out);
    }
}

bool WriteAll(XFile *file, const std::vector<uint8_t> &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        size_t piece = std::min<size_t>(bytes.size() - done, size_t(1) << 30);
        if (file->Write(bytes.data() + done, static_cast<uint32_t>(piece)) != piece)
            return false;
        done += piece;
    }
    return true;
}

} // namespace

uint8_t *XImage::EncodeImage(int type, int quality, uint32_t *size) const
{
    if (size != nullptr)
        *size = 0;
    std::vector<uint8_t> bytes;
    if (!EncodeFrames(*this, type, quality, &bytes) || bytes.size() > UINT32_MAX)
        return nullptr;
    auto *p = static_cast<uint8_t *>(MemAlloc(static_cast<uint32_t>(bytes.size())));
    if (p == nullptr)
        return nullptr;
    std::memcpy(p, bytes.data(), bytes.size());
    if (size != nullptr)
        *size = static_cast<uint32_t>(bytes.size());
    return p;
}

int XImage::SaveImageDoc(IArchive *doc, int type, int quality) const
{
    std::vector<uint8_t> bytes;
    if (doc == nullptr || !EncodeFrames(*this, type, quality, &bytes) || bytes.size() > UINT32_MAX)
        return 0;
    return doc->Write(bytes.data(), static_cast<uint32_t>(bytes.size())) ? 1 : 0;
}

int XImage::SaveThumbImage(IArchive *doc, int cx, int cy, int type, int quality) const
{
    XImage thumb;
    if (!GetThumbImage(&thumb, cx, cy, 0))
        return 0;
    return thumb.SaveImageDoc(doc, type, quality);
}

int XImage::SaveToFile(const char16_t *path, int quality) const
{
    int type = GetImageType(path);
    std::vector<uint8_t> bytes;
    if (path == nullptr || !EncodeFrames(*this, type, quality, &bytes))
        return 0;
    XFile file;
    if (!file.Open(path, XFile::kWrite | XFile::kCreate | XFile::kTruncate))
        return 0;
    bool ok = WriteAll(&file, bytes) && file.Flush();
    file.Close();
    if (!ok)
        std::remove(devkit::ToNativePath(path).c_str());
    return ok ? 1 : 0;
}
