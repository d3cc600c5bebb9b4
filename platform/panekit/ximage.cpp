#include "platform/panekit/ximage.h"

XImage::~XImage() { ClearImage(); }

int XImage::GetImageType(const char16_t *) { return kImageUnknown; }
int XImage::GetImageType(const char *) { return kImageUnknown; }
int XImage::SniffImageType(const void *, size_t) { return kImageUnknown; }
int XImage::LoadFromFile(const char16_t *, int) { return 0; }
int XImage::LoadFromBuffer(const void *, size_t, int) { return 0; }
int XImage::LoadFromDoc(IArchive *, int) { return 0; }
int XImage::LoadBitmap(const void *, size_t) { return 0; }
int XImage::CreateBitmap(int, int, int) { return 0; }
int XImage::CopyFromSurface(cairo_surface_t *, const BOUND_t *) { return 0; }
int XImage::AttachSurface(cairo_surface_t *surface)
{
    if (surface != nullptr)
        cairo_surface_destroy(surface);
    return 0;
}
void XImage::ClearImage() {}
void XImage::SwapImage(XImage *) {}
int XImage::FillBackColor(uint32_t) { return 0; }
int XImage::FillPixColor(int, int, int, int, uint32_t) { return 0; }
int XImage::GetWidth() const { return 0; }
int XImage::GetHeight() const { return 0; }
int XImage::GetImageSize(SIZE_t *size) const
{
    size->cx = size->cy = 0;
    return 0;
}
int XImage::LockFrame(int, uint32_t *) { return 0; }
uint32_t XImage::GetFrameDelay(int) const { return 0; }
cairo_surface_t *XImage::GetSurface() const { return nullptr; }
cairo_surface_t *XImage::GetFrameSurface(int) const { return nullptr; }
uint32_t XImage::GetPixel(int, int) const { return 0; }
int XImage::RotateImage(int) { return 0; }
int XImage::GetClipImage(XImage *, int, int, int, int) const { return 0; }
int XImage::GetThumbImage(XImage *, int, int, int) const { return 0; }
int XImage::SaveToFile(const char16_t *, int) const { return 0; }
int XImage::SaveImageDoc(IArchive *, int, int) const { return 0; }
int XImage::SaveThumbImage(IArchive *, int, int, int, int) const { return 0; }
uint8_t *XImage::EncodeImage(int, int, uint32_t *size) const
{
    *size = 0;
    return nullptr;
}
