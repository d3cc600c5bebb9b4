// Type names, format recognition and the loaders of XImage.

#include <cstring>
#include <vector>

#include "corekit/archive/iarchive.h"
#include "platform/devkit/xfile.h"
#include "platform/panekit/image/image_codec.h"
#include "platform/panekit/image/ximage.h"

namespace {

// Type names: name (lower case), type code.
struct TypeName
{
    const char *name;
    int type;
};
constexpr TypeName kTypeNames[] = {
    {"bmp", kImageBmp},   {"dib", kImageBmp},   {"jpg", kImageJpeg}, {"jpeg", kImageJpeg},
    {"jpe", kImageJpeg},  {"jfif", kImageJpeg}, {"gif", kImageGif},  {"tif", kImageTiff},
    {"tiff", kImageTiff}, {"png", kImagePng},   {"ico", kImageIco},  {"cur", kImageCur},
};

// Longest name looked up, in characters.
constexpr size_t kTypeNameMax = 8;

template <typename Char> int TypeOfName(const Char *name)
{
    if (name == nullptr)
        return kImageUnknown;
    const Char *ext = name;
    for (const Char *p = name; *p != 0; ++p) {
        if (*p == '.')
            ext = p + 1;
        else if (*p == '/' || *p == '\\')
            ext = p + 1; // a folder's dot does not count
    }
    char lower[kTypeNameMax + 1];
    size_t n = 0;
    for (; ext[n] != 0; ++n) {
        if (n == kTypeNameMax || ext[n] > 127)
            return kImageUnknown;
        char c = static_cast<char>(ext[n]);
        lower[n] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    lower[n] = 0;
    for (const TypeName &t : kTypeNames)
        if (std::strcmp(t.name, lower) == 0)
            return t.type;
    return kImageUnknown;
}

bool StartsWith(const uint8_t *data, size_t size, const char *magic, size_t n)
{
    return size >= n && std::memcmp(data, magic, n) == 0;
}

bool Decode(int type, const uint8_t *data, size_t size, XImageBuilder *out)
{
    switch (type) {
    case kImagePng:
        return DecodePng(data, size, out);
    case kImageJpeg:
        return DecodeJpeg(data, size, out);
    case kImageGif:
        return DecodeGif(data, size, out);
    case kImageTiff:
        return DecodeTiff(data, size, out);
    case kImageBmp:
        return DecodeBmp(data, size, false, out);
    case kImageIco:
    case kImageCur:
        return DecodeIco(data, size, out);
    default:
        return false;
    }
}

} // namespace

int XImage::GetImageType(const char16_t *name)
{
    return TypeOfName(name);
}
int XImage::GetImageType(const char *name)
{
    return TypeOfName(name);
}

int XImage::SniffImageType(const void *data, size_t size)
{
    auto *p = static_cast<const uint8_t *>(data);
    if (p == nullptr)
        return kImageUnknown;
    if (StartsWith(p, size, "\x89PNG\r\n\x1a\n", 8))
        return kImagePng;
    if (StartsWith(p, size, "\xFF\xD8\xFF", 3))
        return kImageJpeg;
    if (StartsWith(p, size, "GIF87a", 6) || StartsWith(p, size, "GIF89a", 6))
        return kImageGif;
    if (StartsWith(p, size, "II*\0", 4) || StartsWith(p, size, "MM\0*", 4))
        return kImageTiff;
    if (StartsWith(p, size, "BM", 2))
        return kImageBmp;
    if (StartsWith(p, size, "\0\0\1\0", 4))
        return kImageIco;
    if (StartsWith(p, size, "\0\0\2\0", 4))
        return kImageCur;
    return kImageUnknown;
}

int XImage::LoadFromBuffer(const void *data, size_t size, int type)
{
    ClearImage();
    auto *p = static_cast<const uint8_t *>(data);
    int sniffed = SniffImageType(p, size);
    // The signature decides; the hint only serves bytes that carry none.
    int use = sniffed != kImageUnknown ? sniffed : type;
    XImageBuilder builder;
    if (use == kImageUnknown || !Decode(use, p, size, &builder))
        return 0;
    return builder.Commit(this, use) ? 1 : 0;
}

int XImage::LoadBitmap(const void *data, size_t size)
{
    auto *p = static_cast<const uint8_t *>(data);
    if (SniffImageType(p, size) != kImageUnknown)
        return LoadFromBuffer(p, size);
    ClearImage();
    XImageBuilder builder;
    if (p == nullptr || !DecodeBmp(p, size, true, &builder))
        return 0;
    return builder.Commit(this, kImageBmp) ? 1 : 0;
}

int XImage::LoadFromFile(const char16_t *path, int type)
{
    ClearImage();
    XFile file;
    if (path == nullptr || !file.Open(path, XFile::kRead))
        return 0;
    int64_t size = file.GetSize();
    // An image file above 1 GiB is refused before it is read: no accepted image needs it.
    if (size <= 0 || size > (int64_t(1) << 30))
        return 0;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    size_t done = 0;
    while (done < bytes.size()) {
        uint32_t got = file.Read(bytes.data() + done, static_cast<uint32_t>(bytes.size() - done));
        if (got == 0)
            return 0;
        done += got;
    }
    return LoadFromBuffer(bytes.data(), bytes.size(), type);
}

int XImage::LoadFromDoc(IArchive *doc, int type)
{
    ClearImage();
    if (doc == nullptr)
        return 0;
    uint32_t start = 0;
    if (!doc->Tell(&start))
        start = 0;
    uint32_t n = DocRemaining(doc);
    if (n == 0)
        return 0;
    std::vector<uint8_t> bytes(n);
    if (!doc->Read(bytes.data(), n))
        return 0;
    if (LoadFromBuffer(bytes.data(), n, type))
        return 1;
    doc->Seek(start);
    return 0;
}
