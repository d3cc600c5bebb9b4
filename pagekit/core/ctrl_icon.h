#pragma once
// The framework's control pictures: the control icons (check and radio boxes, drop
// buttons, scroll arrows, the menu check mark; panekit's shared strip, kCtrlIcon* indexes)
// and the shared picture, a ruler of 18 ten-pixel slots that ledger-style grid headers
// lay over their digit columns.

#include "pagekit/pagekit_export.h"
#include "platform/panekit/icon/icon_drawer.h"

class XImage;
class XPainter;

// The shared picture: kCtrlPictureSlots slots of kCtrlPictureSlot pixels side by side.
constexpr int kCtrlPictureSlot = 10;
constexpr int kCtrlPictureSlots = 18;
constexpr int kCtrlPictureWidth = kCtrlPictureSlot * kCtrlPictureSlots; // 180
constexpr int kCtrlPictureHeight = 10;

// Draws control icon index (kCtrlIcon*) with its top-left corner at (x, y) in the
// painter's current space. Non-zero when drawn; 0 for a null painter or an index the
// strip does not have.
PAGEKIT_EXPORT int DrawCtrlIcon(XPainter *painter, unsigned index, int x, int y);
// The shared picture, made on first use and kept until the library is unloaded; null only
// when Cairo cannot allocate it. The slot boundaries (the last column of every slot) are
// drawn: light grey, every third counted from the right end darker, and the boundary
// before the last two slots (units and decimals) red; the rest is transparent.
PAGEKIT_EXPORT XImage *GetCtrlPicture();
