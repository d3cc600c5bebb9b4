// Arbitrary archive bytes as the photo of an image item (SetStreamDoc), then the members
// a form uses on it: pages, a quarter turn, zoom steps, the crop of the view and writing it
// back under a size limit taken from the first byte.
#include <cstddef>
#include <cstdint>

#include "corekit/archive/xmemo_archive.h"
#include "pagekit/items/page_image.h"
#include "platform/panekit/image/ximage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const unsigned limitKB = data[0] % 8;
    XMemoArchive doc;
    if (size > 1 && !doc.Write(data + 1, static_cast<uint32_t>(size - 1)))
        return 0;
    doc.InitReader();
    XPageImage item;
    const BOUND_t place = {0, 0, 40, 30};
    item.MovePlace(&place, 0);
    item.SetStreamDoc(&doc, u"fuzz.jpg");
    if (item.GetShownImage() == nullptr)
        return 0;
    item.OnLastFrame();
    item.OnPrevFrame();
    item.OnClockwiseRotate();
    item.OnInitImage();
    item.OnZoomImage(1);
    item.OnZoomImage(0);
    item.OnClipImage();
    XMemoArchive out;
    char16_t name[kImageNameUnits];
    item.GetStreamDoc(&out, limitKB, name);
    return 0;
}
