// The control icons come from panekit's shared strip; the ruler picture is drawn here
// once with Cairo.

#include "pagekit/core/ctrl_icon.h"

#include <cairo.h>

#include <memory>

#include "platform/panekit/image/ximage.h"

namespace {

// Colours of the ruler's boundaries (0x00BBGGRR): plain, every third, the decimal point.
constexpr uint32_t kRulerPlain = 0xD0D0D0;
constexpr uint32_t kRulerGroup = 0x808080;
constexpr uint32_t kRulerPoint = 0x0000E0;
// Slots right of the decimal boundary.
constexpr int kRulerDecimals = 2;

uint32_t BoundaryColor(int slot)
{
    // Slot numbers counted from the right end: 0 the last slot.
    const int fromRight = kCtrlPictureSlots - 1 - slot;
    if (fromRight == kRulerDecimals)
        return kRulerPoint;
    if (fromRight > kRulerDecimals && (fromRight - kRulerDecimals) % 3 == 0)
        return kRulerGroup;
    return kRulerPlain;
}

std::unique_ptr<XImage> MakeRuler()
{
    auto image = std::make_unique<XImage>();
    if (!image->CreateBitmap(kCtrlPictureWidth, kCtrlPictureHeight, 32))
        return image;
    // The boundary between slot i and slot i + 1 is the last column of slot i; the last
    // slot's right edge belongs to the header's own border.
    for (int slot = 0; slot + 1 < kCtrlPictureSlots; ++slot)
        image->FillPixColor((slot + 1) * kCtrlPictureSlot - 1, 0, 1, kCtrlPictureHeight,
                            BoundaryColor(slot));
    return image;
}

} // namespace

int DrawCtrlIcon(XPainter *painter, unsigned index, int x, int y)
{
    if (painter == nullptr || index >= static_cast<unsigned>(kCtrlIconCount))
        return 0;
    return GetCtrlIconDrawer()->DrawIcon(painter, static_cast<int>(index), x, y);
}

XImage *GetCtrlPicture()
{
    static const std::unique_ptr<XImage> ruler = MakeRuler();
    return ruler->IsImageEmpty() ? nullptr : ruler.get();
}
