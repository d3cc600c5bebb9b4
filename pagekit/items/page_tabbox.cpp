// The tab box: pages and their records, the current page, the strip's geometry and hit
// test, drawing, the hover frame and input.

#include "pagekit/items/page_tabbox.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "corekit/containers/xfinder.h"
#include "corekit/memory/memory.h"
#include "pagekit/core/ctrl_icon.h"
#include "pagekit/core/item_selector.h"
#include "pagekit/core/menu_item.h"
#include "pagekit/core/page_window.h"
#include "pagekit/core/style_desc.h"
#include "pagekit/core/style_geometry.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

constexpr int kDefaultFontHeight = 12;
constexpr uint32_t kCaptionLayout = 0x40;
constexpr int kCloseRoom = 13;
constexpr int kCloseFromRight = 17;

int Space(int16_t value)
{
    return value == kStyleUnsetSpace ? 0 : value;
}

// Swaps the tops and bottoms of a resolved variant (the strip at the bottom).
void FlipVertical(XStyleDesc *d)
{
    std::swap(d->margin[kSideTop], d->margin[kSideBottom]);
    std::swap(d->padding[kSideTop], d->padding[kSideBottom]);
    std::swap(d->border[kSideTop], d->border[kSideBottom]);
    std::swap(d->borderColor[kSideTop], d->borderColor[kSideBottom]);
    std::swap(d->borderPen[kSideTop], d->borderPen[kSideBottom]);
    std::swap(d->radius[kCornerTopLeft], d->radius[kCornerBottomLeft]);
    std::swap(d->radius[kCornerTopRight], d->radius[kCornerBottomRight]);
}

// A resolved child variant of the item's style, freed with the scope.
struct Variant
{
    XStyleDesc desc;
    bool found = false;
    Variant(XPageItem *item, uint32_t state, bool flip)
    {
        InitStyleDesc(&desc);
        found = item->itemStyle.CheckStyle(state) &&
                item->itemStyle.GetStyle(state | kItemStateOnlyChild, item->owner, &desc);
        if (found && flip)
            FlipVertical(&desc);
    }
    ~Variant() { FreeStyleDescStrings(&desc); }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;
};

} // namespace

XPageTabbox::XPageTabbox(uint32_t itemKind)
{
    kind = itemKind;
    itemStyle.SetSpace(0, 0, 0, 0, 0);
}

XPageTabbox::~XPageTabbox()
{
    ClearHover();
    while (m_pages != nullptr) {
        XTabPage_t *page = m_pages;
        m_pages = page->next;
        FreePage(page);
    }
    m_current = nullptr;
}

void XPageTabbox::SetItemText(const char16_t *text)
{
    XPageOwner::SetItemText(text);
}

// ---------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------

XTabPage_t *XPageTabbox::Find(const void *page) const
{
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next) {
        if (p == page)
            return p;
    }
    return nullptr;
}

XTabPage_t *XPageTabbox::At(unsigned index) const
{
    XTabPage_t *p = m_pages;
    for (unsigned i = 0; p != nullptr && i < index; ++i)
        p = p->next;
    return p;
}

int XPageTabbox::IndexOf(const XTabPage_t *page) const
{
    int i = 0;
    for (const XTabPage_t *p = m_pages; p != nullptr; p = p->next, ++i) {
        if (p == page)
            return i;
    }
    return -1;
}

unsigned XPageTabbox::GetCounter() const
{
    unsigned n = 0;
    for (const XTabPage_t *p = m_pages; p != nullptr; p = p->next)
        ++n;
    return n;
}

uint32_t XPageTabbox::Notify(uint32_t code, XTabPage_t *page, uint32_t *flags)
{
    XMessage_t message = {};
    message.code = code;
    message.state = kMsgHandled;
    message.item = this;
    message.value = reinterpret_cast<uintptr_t>(page);
    DispatchMessage(&message);
    if (flags != nullptr)
        *flags = message.flags;
    return message.state;
}

void XPageTabbox::FreePage(XTabPage_t *page)
{
    if (page->user != nullptr && m_release != nullptr)
        m_release(page->user);
    MemFree(page->text);
    delete page;
}

bool XPageTabbox::HasClose(const XTabPage_t *page) const
{
    if (!(extraFlags & kTabClose))
        return false;
    return !((extraFlags & kTabNoFirstClose) && page == m_pages);
}

void *XPageTabbox::InsertItem(unsigned pos, const char16_t *text, unsigned icon, XPageItem *item,
                              void *user)
{
    if (item != nullptr && (item->owner != nullptr || item == this))
        return nullptr;
    ClearHover();
    auto *page = new XTabPage_t{};
    page->icon = icon;
    page->text = StrAlloc(text != nullptr ? text : u"");
    page->user = user;
    page->item = item;
    XTabPage_t **link = &m_pages;
    for (unsigned i = 0; *link != nullptr && i < pos; ++i)
        link = &(*link)->next;
    page->next = *link;
    *link = page;
    m_measured = false;
    if (item != nullptr) {
        item->ShowItem(0);
        BOUND_t area;
        PagePlaceOf(&area);
        item->MovePlace(&area, 0);
        if (AddItem(item) == nullptr) {
            page->item = nullptr;
            RemovePage(page);
            return nullptr;
        }
    }
    Invalidate(nullptr, 0);
    if ((itemFlags & kItemCreated) && m_current == nullptr)
        SetCurNode(page);
    if (Find(page) == nullptr)
        return nullptr;
    Notify(kTabOnInsertItem, page);
    return Find(page);
}

void XPageTabbox::RemovePage(XTabPage_t *page)
{
    if (m_hoverPage == page)
        ClearHover();
    XTabPage_t **link = &m_pages;
    while (*link != nullptr && *link != page)
        link = &(*link)->next;
    if (*link == nullptr)
        return;
    *link = page->next;
    const bool wasCurrent = m_current == page;
    XTabPage_t *next = page->next != nullptr ? page->next : m_pages;
    if (wasCurrent)
        m_current = nullptr;
    XPageItem *item = page->item;
    page->item = nullptr;
    FreePage(page);
    m_measured = false;
    if (item != nullptr && item->owner == this)
        XPageOwner::DeleteItem(item);
    SetScrollOffset(m_offset);
    Invalidate(nullptr, 0);
    if (!wasCurrent)
        return;
    if (next != nullptr && Find(next) != nullptr)
        SetCurNode(next);
    else if (m_pages == nullptr && (itemFlags & kItemCreated))
        Notify(kTabOnKillChoice, nullptr);
}

int XPageTabbox::DeleteItem(unsigned index)
{
    return DeleteNode(At(index));
}

int XPageTabbox::DeleteNode(void *record)
{
    XTabPage_t *page = Find(record);
    if (page == nullptr)
        return 0;
    uint32_t flags = 0;
    if (Notify(kTabOnDeleteItem, page, &flags) == kMsgStop || flags != 0)
        return 0;
    // A handler may have removed it already.
    if (Find(page) != nullptr)
        RemovePage(page);
    return 1;
}

void XPageTabbox::DeleteAllItem()
{
    ClearHover();
    const bool had = m_pages != nullptr;
    m_current = nullptr;
    while (m_pages != nullptr) {
        XTabPage_t *page = m_pages;
        m_pages = page->next;
        XPageItem *item = page->item;
        page->item = nullptr;
        FreePage(page);
        if (item != nullptr && item->owner == this)
            XPageOwner::DeleteItem(item);
    }
    m_offset = 0;
    m_measured = false;
    Invalidate(nullptr, 0);
    if (had && (itemFlags & kItemCreated))
        Notify(kTabOnKillChoice, nullptr);
}

void XPageTabbox::OnDropItem(XPageItem *item)
{
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next) {
        if (p->item == item) {
            p->item = nullptr;
            RemovePage(p);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------
// The current page
// ---------------------------------------------------------------------------------------

void XPageTabbox::SetCurNode(void *record)
{
    XTabPage_t *page = Find(record);
    if (page == nullptr || page == m_current)
        return;
    if (m_current != nullptr && m_current->item != nullptr)
        m_current->item->ShowItem(0);
    m_current = page;
    UpdateLayout(0);
    if (page->item != nullptr)
        page->item->ShowItem(1);
    EnsureVisible(page);
    Invalidate(nullptr, 0);
    Notify(kTabOnSelChange, page);
}

int XPageTabbox::SetCurItem(unsigned index)
{
    XTabPage_t *page = At(index);
    if (page == nullptr)
        return 0;
    SetCurNode(page);
    return 1;
}

int XPageTabbox::SetCurItem(XPageItem *item)
{
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next) {
        if (p->item == item && item != nullptr) {
            SetCurNode(p);
            return 1;
        }
    }
    return 0;
}

XPageItem *XPageTabbox::GetCurItem(unsigned *index) const
{
    if (index != nullptr)
        *index = m_current != nullptr ? static_cast<unsigned>(IndexOf(m_current)) : 0;
    return m_current != nullptr ? m_current->item : nullptr;
}

XPageItem *XPageTabbox::GetTabItem(unsigned index) const
{
    XTabPage_t *page = At(index);
    return page != nullptr ? page->item : nullptr;
}

void *XPageTabbox::GetTabNode(unsigned index) const
{
    return At(index);
}

namespace {

void CopyCaption(const char16_t *from, char16_t *text, unsigned size)
{
    if (text == nullptr || size == 0)
        return;
    const size_t n = std::min<size_t>(std::char_traits<char16_t>::length(from), size - 1);
    std::memcpy(text, from, n * sizeof(char16_t));
    text[n] = 0;
}

} // namespace

int XPageTabbox::GetItem(unsigned index, unsigned *icon, char16_t *text, unsigned size) const
{
    XTabPage_t *page = At(index);
    if (page == nullptr)
        return 0;
    if (icon != nullptr)
        *icon = page->icon;
    CopyCaption(page->text, text, size);
    return 1;
}

XPageItem *XPageTabbox::GetNextPage(void **cursor, unsigned *icon, char16_t *text,
                                    unsigned size) const
{
    if (cursor == nullptr)
        return nullptr;
    XTabPage_t *at = *cursor == nullptr ? m_pages : Find(*cursor);
    XTabPage_t *page = *cursor == nullptr ? at : at != nullptr ? at->next : nullptr;
    *cursor = page;
    if (page == nullptr)
        return nullptr;
    if (icon != nullptr)
        *icon = page->icon;
    CopyCaption(page->text, text, size);
    return page->item;
}

int XPageTabbox::SetItemText(unsigned index, const char16_t *text)
{
    XTabPage_t *page = At(index);
    if (page == nullptr)
        return 0;
    char16_t *copy = StrAlloc(text != nullptr ? text : u"");
    MemFree(page->text);
    page->text = copy;
    page->width = 0;
    m_measured = false;
    ClearHover();
    Invalidate(nullptr, 0);
    return 1;
}

int XPageTabbox::SetItemIcon(unsigned index, unsigned icon)
{
    XTabPage_t *page = At(index);
    if (page == nullptr)
        return 0;
    page->icon = icon;
    Invalidate(nullptr, 0);
    return 1;
}

int XPageTabbox::ModifyItem(unsigned index, const char16_t *text, unsigned icon)
{
    if (!SetItemText(index, text))
        return 0;
    return SetItemIcon(index, icon);
}

XPageItem *XPageTabbox::GetNextItem(int flags, XFinder *finder)
{
    if (finder == nullptr)
        return nullptr;
    // The order: the current page, then the others in tab order; pages without item are
    // passed over.
    std::vector<XTabPage_t *> order;
    if (m_current != nullptr)
        order.push_back(m_current);
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next) {
        if (p != m_current)
            order.push_back(p);
    }
    size_t k = 0;
    if (flags & kWalkContinue) {
        const void *at = finder->GetNode();
        while (k < order.size() && order[k] != at)
            ++k;
        if (k == order.size())
            return nullptr;
        ++k;
    }
    for (; k < order.size(); ++k) {
        if (order[k]->item != nullptr) {
            finder->SetNode(order[k]);
            return order[k]->item;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------------------

void XPageTabbox::SetIconWare(XIconDrawer *icons)
{
    m_icons = icons;
    m_iconWidth = icons != nullptr ? icons->GetIconWidth() : 0;
    m_iconHeight = icons != nullptr ? icons->GetIconHeight() : 0;
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next)
        p->width = 0;
    m_measured = false;
    ClearHover();
    UpdateLayout(1);
}

void XPageTabbox::SetFullRender(XImage *image)
{
    m_image = image;
    Invalidate(nullptr, 0);
}

void XPageTabbox::SetTabHeight(unsigned height)
{
    m_fixedHeight = static_cast<int>(height);
    ClearHover();
    UpdateLayout(1);
}

int XPageTabbox::GetTabHeight()
{
    if (m_fixedHeight > 0) {
        m_stripHeight = m_fixedHeight;
        return m_stripHeight;
    }
    if (itemFlags & kItemCreated) {
        UpdateStyleDesc(0);
        m_fontHeight = style.fontSize > 0 ? style.fontSize : kDefaultFontHeight;
        m_stripHeight = m_iconHeight > m_fontHeight ? m_iconHeight + 10 : m_fontHeight + 14;
    }
    return m_stripHeight;
}

int XPageTabbox::LeftEdge() const
{
    return Space(style.margin[kSideLeft]);
}

int XPageTabbox::RightEdge() const
{
    return place.width - Space(style.margin[kSideRight]);
}

BOUND_t XPageTabbox::GetStripPlace()
{
    const int h = GetTabHeight();
    const int left = LeftEdge();
    const int top = (extraFlags & kTabBottom) ? place.height - Space(style.margin[kSideBottom]) - h
                                              : Space(style.margin[kSideTop]);
    return {left, top, RightEdge() - left, h};
}

BOUND_t XPageTabbox::GetPagePlace()
{
    const int h = GetTabHeight();
    const int left = LeftEdge();
    const int top = Space(style.margin[kSideTop]);
    const int bottom = place.height - Space(style.margin[kSideBottom]);
    BOUND_t area = {left, top, RightEdge() - left, bottom - top - h};
    if (!(extraFlags & kTabBottom))
        area.y += h;
    area.width = std::max(area.width, 0);
    area.height = std::max(area.height, 0);
    return area;
}

// The page area inside the box's borders, in the child space.
void XPageTabbox::PagePlaceOf(BOUND_t *childSpace)
{
    const BOUND_t area = GetPagePlace();
    const int l = GetBorderSideWidth(style.border[kSideLeft]);
    const int t = GetBorderSideWidth(style.border[kSideTop]);
    const int r = GetBorderSideWidth(style.border[kSideRight]);
    const int b = GetBorderSideWidth(style.border[kSideBottom]);
    *childSpace = {area.x + l - body.x + scroll.x, area.y + t - body.y + scroll.y,
                   std::max(area.width - l - r, 0), std::max(area.height - t - b, 0)};
}

void XPageTabbox::MeasureTabs()
{
    UpdateStyleDesc(0);
    // Another font measures every caption again.
    uint64_t key = static_cast<uint32_t>(style.fontSize) | uint64_t{style.fontFlags} << 32;
    for (const char16_t *f = style.fontFamily; f != nullptr && *f != 0; ++f)
        key = key * 1099511628211ull ^ *f;
    if (key != m_fontKey) {
        m_fontKey = key;
        for (XTabPage_t *p = m_pages; p != nullptr; p = p->next)
            p->width = 0;
        m_measured = false;
    }
    if (m_measured)
        return;
    XPainter *painter = form != nullptr ? form->GetPainter() : nullptr;
    XPainter own;
    if (painter == nullptr)
        painter = &own;
    painter->SetFonter(&style);
    m_total = 0;
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next) {
        if (p->width == 0) {
            SIZE_t size = {0, 0};
            if (p->text[0] != 0)
                painter->CalcTextSize(p->text, -1, kCaptionLayout, &size);
            int w = m_icons != nullptr ? size.cx + m_iconWidth + 24 : size.cx + 20;
            if (HasClose(p))
                w += kCloseRoom;
            p->width = static_cast<uint32_t>(w);
            p->height = static_cast<uint32_t>(size.cy);
        }
        m_total += static_cast<int>(p->width);
    }
    m_measured = true;
}

int XPageTabbox::GetTabWidth(void *record)
{
    XTabPage_t *page = Find(record);
    if (page == nullptr)
        return 0;
    MeasureTabs();
    return static_cast<int>(page->width);
}

int XPageTabbox::GetTotalWidth()
{
    MeasureTabs();
    return m_total;
}

void XPageTabbox::SetScrollOffset(int offset)
{
    const int limit = std::max(GetTotalWidth() + kTabButtonZone - GetStripPlace().width, 0);
    offset = std::clamp(offset, 0, limit);
    if (offset == m_offset)
        return;
    ClearHover();
    m_offset = offset;
    Invalidate(nullptr, 0);
}

int XPageTabbox::ButtonTop()
{
    const BOUND_t strip = GetStripPlace();
    return strip.y + (strip.height - kTabButtonSize) / 2;
}

unsigned XPageTabbox::HitTest(int x, int y, void **record)
{
    if (record != nullptr)
        *record = nullptr;
    const BOUND_t strip = GetStripPlace();
    if (y < strip.y || y >= strip.y + strip.height || x < strip.x || x >= strip.x + strip.width)
        return kTabHitNone;
    MeasureTabs();
    const int right = RightEdge();
    if (extraFlags & kTabNavigate) {
        const int by = ButtonTop();
        if (y >= by && y < by + kTabButtonSize) {
            if (x >= right - 43 && x < right - 30)
                return kTabHitList;
            if (x >= right - 30 && x < right - 17 && m_offset > 0)
                return kTabHitLeft;
            if (x >= right - 17 && x < right - 4 &&
                m_total - m_offset > strip.width - kTabButtonZone)
                return kTabHitRight;
        }
    }
    int left = strip.x - m_offset;
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next) {
        const int w = static_cast<int>(p->width);
        if (x >= left && x < left + w) {
            if (record != nullptr)
                *record = p;
            const int tabRight = left + w;
            if (HasClose(p) && x >= tabRight - kCloseFromRight && x < tabRight - 4)
                return kTabHitClose;
            return kTabHitTab;
        }
        left += w;
    }
    return kTabHitStrip;
}

void XPageTabbox::EnsureVisible(void *record)
{
    XTabPage_t *page = Find(record);
    if (page == nullptr)
        return;
    MeasureTabs();
    int left = 0;
    for (XTabPage_t *p = m_pages; p != page; p = p->next)
        left += static_cast<int>(p->width);
    const int visible = GetStripPlace().width - kTabButtonZone;
    int offset = m_offset;
    if (left < offset)
        offset = left;
    else if (left + static_cast<int>(page->width) - offset > visible)
        offset = left + static_cast<int>(page->width) - visible;
    offset = std::max(offset, 0);
    if (offset != m_offset) {
        ClearHover();
        m_offset = offset;
    }
    Invalidate(nullptr, 0);
}

void XPageTabbox::OnCreateItem()
{
    XPageOwner::OnCreateItem();
    GetTabHeight();
    m_measured = false;
    if (m_current == nullptr && m_pages != nullptr)
        SetCurNode(m_pages);
    else
        UpdateLayout(0);
}

void XPageTabbox::UpdateLayout(int flag)
{
    if (m_current != nullptr && m_current->item != nullptr) {
        BOUND_t area;
        PagePlaceOf(&area);
        m_current->item->MovePlace(&area, 0);
    }
    if (flag != 0)
        Invalidate(nullptr, 0);
}

// ---------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------

void XPageTabbox::DrawFrame(XPainter *painter, const BOUND_t *bound)
{
    (void)bound;
    const BOUND_t whole = {LeftEdge(), Space(style.margin[kSideTop]), RightEdge() - LeftEdge(),
                           place.height - Space(style.margin[kSideTop]) -
                               Space(style.margin[kSideBottom])};
    if (m_pages == nullptr && m_image != nullptr) {
        painter->DrawImage(m_image, &whole, nullptr, kStretchSmooth);
        painter->DrawCtrlBox(&style, &whole);
        return;
    }
    const bool flip = (extraFlags & kTabBottom) != 0;
    const BOUND_t area = GetPagePlace();
    painter->DrawItemBox(&style, &area);
    const BOUND_t strip = GetStripPlace();
    {
        Variant look(this, kStateChild1, flip);
        if (look.found)
            painter->DrawItemBox(&look.desc, &strip);
    }
    MeasureTabs();
    painter->SetFonter(&style);
    const BOUND_t clip = {strip.x, strip.y, std::max(strip.width - kTabButtonZone, 0),
                          strip.height};
    painter->SetClipRect(&clip);
    Variant tab(this, kStateChild2, flip), current(this, kStateChild3, flip);
    int left = strip.x - m_offset;
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next) {
        const int w = static_cast<int>(p->width);
        const BOUND_t cell = {left, strip.y, w, strip.height};
        left += w;
        if (cell.x + cell.width <= clip.x || cell.x >= clip.x + clip.width)
            continue;
        const Variant &look = p == m_current ? current : tab;
        uint32_t color = style.textColor != kStyleUnsetWord ? style.textColor : 0;
        if (look.found) {
            BOUND_t box;
            CalcDrawPlace(&box, &cell, &look.desc);
            painter->DrawItemBox(&look.desc, &box);
            if (look.desc.textColor != kStyleUnsetWord)
                color = look.desc.textColor;
        }
        int x = cell.x + 10;
        if (m_icons != nullptr) {
            painter->DrawIcon(m_icons, static_cast<int>(p->icon), cell.x + 8,
                              cell.y + (cell.height - m_iconHeight) / 2);
            x = cell.x + 8 + m_iconWidth + 4;
        }
        const int th = static_cast<int>(p->height);
        const BOUND_t text = {x, cell.y + (cell.height - th) / 2, w, th};
        painter->SetTextColor(color);
        painter->DrawText(p->text, -1, &text, kCaptionLayout);
        if (HasClose(p))
            DrawCtrlIcon(painter, kCtrlIconTabClose, cell.x + w - kCloseFromRight,
                         cell.y + (cell.height - kCtrlIconSize) / 2);
    }
    painter->SetClipRect(nullptr);
    if (extraFlags & kTabNavigate) {
        const int right = RightEdge();
        const int y = strip.y + (strip.height - kCtrlIconSize) / 2;
        const bool canLeft = m_offset > 0;
        const bool canRight = m_total - m_offset > strip.width - kTabButtonZone;
        DrawCtrlIcon(painter, kCtrlIconPageList, right - 43, y);
        DrawCtrlIcon(painter, canLeft ? kCtrlIconTabLeft : kCtrlIconTabLeftOff, right - 30, y);
        DrawCtrlIcon(painter, canRight ? kCtrlIconTabRight : kCtrlIconTabRightOff, right - 17, y);
    }
}

// ---------------------------------------------------------------------------------------
// The hover frame
// ---------------------------------------------------------------------------------------

BOUND_t XPageTabbox::HoverBound()
{
    const int by = ButtonTop();
    const int right = RightEdge();
    switch (m_hoverPart) {
    case kTabHitClose: {
        int left = GetStripPlace().x - m_offset;
        for (XTabPage_t *p = m_pages; p != nullptr && p != m_hoverPage; p = p->next)
            left += static_cast<int>(p->width);
        const int tabRight =
            left + (m_hoverPage != nullptr ? static_cast<int>(m_hoverPage->width) : 0);
        return {tabRight - kCloseFromRight, by, kTabButtonSize, kTabButtonSize};
    }
    case kTabHitList:
        return {right - 43, by, kTabButtonSize, kTabButtonSize};
    case kTabHitLeft:
        return {right - 30, by, kTabButtonSize, kTabButtonSize};
    case kTabHitRight:
        return {right - 17, by, kTabButtonSize, kTabButtonSize};
    default:
        return {0, 0, 0, 0};
    }
}

void XPageTabbox::DrawTracker(XPainter *painter)
{
    if (painter == nullptr || !m_hoverShown)
        return;
    // In device pixels with the clip it was first drawn with: the same halftone again
    // takes it away, wherever the box is now.
    painter->ResetTransform();
    painter->SetClipRect(&m_hoverClip);
    painter->DrawHalftone(&m_hoverFrame, 1);
}

void XPageTabbox::ShowTracker()
{
    XPageWindow *window = GetPageWindow();
    if (window != nullptr)
        DrawTracker(window->GetTracker(0));
}

void XPageTabbox::ClearHover()
{
    if (m_hoverShown) {
        ShowTracker(); // the same halftone again takes it away
        m_hoverShown = false;
    }
    m_hoverPart = 0;
    m_hoverPage = nullptr;
}

void XPageTabbox::SetHover(unsigned part, XTabPage_t *page)
{
    if (part < kTabHitClose) {
        part = 0;
        page = nullptr;
    }
    if (part == m_hoverPart && page == m_hoverPage)
        return;
    ClearHover();
    if (part == 0)
        return;
    m_hoverPart = part;
    m_hoverPage = page;
    XPageWindow *window = GetPageWindow();
    XPainter *painter = window != nullptr ? window->GetTracker(0) : nullptr;
    if (painter == nullptr || !GetTracker(0, painter))
        return;
    POINT_t origin;
    painter->GetOrigin(&origin);
    BOUND_t clip;
    if (!painter->GetClipRect(&clip))
        return;
    const BOUND_t frame = HoverBound();
    m_hoverFrame = {frame.x + origin.x, frame.y + origin.y, frame.width, frame.height};
    m_hoverClip = {clip.x + origin.x, clip.y + origin.y, clip.width, clip.height};
    m_hoverShown = true;
    DrawTracker(painter);
}

// ---------------------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------------------

void XPageTabbox::OpenPageList()
{
    std::vector<XMenuItem> entries;
    for (XTabPage_t *p = m_pages; p != nullptr; p = p->next) {
        XMenuItem entry;
        SetupMenuItem(&entry, static_cast<unsigned>(entries.size()) + 1,
                      p == m_current ? uint32_t{kMenuChecked} : 0u, p->text);
        entry.icon = -1;
        entries.push_back(entry);
    }
    if (entries.empty())
        return;
    // The captions are read while the menu is open: they belong to records that only this
    // box frees, and nothing of the box runs during the nested loop except input to it.
    const unsigned chosen =
        PopupMenubar(this, entries.data(), static_cast<unsigned>(entries.size()));
    if (chosen > 0)
        SetCurItem(chosen - 1);
}

int XPageTabbox::OnMessage(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    if (message->item != this) {
        // The pointer went over a page item: no button of the strip is hovered.
        if (code == XMSG_MOUSEMOVE || code == XMSG_MOUSEENTER)
            ClearHover();
        return XPageOwner::OnMessage(message);
    }
    switch (code) {
    case XMSG_BUTTONUP: {
        if (message->key != XMSG_BUTTON_LEFT)
            break;
        void *page = nullptr;
        const unsigned part = HitTest(message->x, message->y, &page);
        if (part == kTabHitNone)
            break;
        message->state = kMsgDone;
        const int half = GetStripPlace().width / 2;
        switch (part) {
        case kTabHitClose:
            DeleteNode(page);
            break;
        case kTabHitList:
            ClearHover();
            OpenPageList();
            break;
        case kTabHitLeft:
            SetScrollOffset(m_offset - half);
            break;
        case kTabHitRight:
            SetScrollOffset(m_offset + half);
            break;
        default:
            break;
        }
        return 1;
    }
    case XMSG_BUTTONDOWN: {
        void *page = nullptr;
        const unsigned part = HitTest(message->x, message->y, &page);
        if (part == kTabHitNone)
            break;
        message->state = kMsgDone;
        if (message->key == XMSG_BUTTON_RIGHT)
            Notify(kTabOnRClickItem, static_cast<XTabPage_t *>(page));
        else if (message->key == XMSG_BUTTON_LEFT && (part == kTabHitTab || part == kTabHitClose))
            SetCurNode(page);
        return 1;
    }
    case XMSG_MOUSEMOVE: {
        void *page = nullptr;
        const unsigned part = HitTest(message->x, message->y, &page);
        SetHover(part, static_cast<XTabPage_t *>(page));
        break;
    }
    case XMSG_MOUSELEAVE:
        ClearHover();
        break;
    default:
        break;
    }
    return XPageOwner::OnMessage(message);
}
