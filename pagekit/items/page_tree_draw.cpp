// The tree item's geometry and drawing: node height, cached widths, the content size,
// places and the hit test, and the rows with lines, buttons, check boxes, icons and
// captions.

#include <algorithm>
#include <climits>

#include "pagekit/core/ctrl_icon.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/style_desc.h"
#include "pagekit/items/page_tree.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

constexpr int kDefaultFontHeight = 12;
constexpr uint32_t kRepaintMeasure = 0x10;
constexpr uint32_t kCaptionLayout = 0x40; // one row
constexpr uint32_t kLineColor = 0x808080;
constexpr uint32_t kLineDotted = 17;
// Fallback look of the selected caption when the kind has no child1 variant.
constexpr uint32_t kSelectedBack = 0xE08000;
constexpr uint32_t kSelectedText = 0xFFFFFF;

} // namespace

// ---------------------------------------------------------------------------------------
// Sizes
// ---------------------------------------------------------------------------------------

// What the widths and the node height were measured with: size, flags and family.
uint64_t XPageTree::FontKey() const
{
    uint64_t key = static_cast<uint32_t>(style.fontSize) | uint64_t{style.fontFlags} << 32;
    for (const char16_t *p = style.fontFamily; p != nullptr && *p != 0; ++p)
        key = key * 1099511628211ull ^ *p;
    return key;
}

XPainter *XPageTree::Measurer()
{
    UpdateStyleDesc(0);
    if (FontKey() != m_fontKey) {
        // Another font: every caption is measured again, and the rows may change height.
        m_fontKey = FontKey();
        m_nodeHeight = 0;
        ResetWidths(nullptr);
    }
    XPainter *painter = form != nullptr ? form->GetPainter() : nullptr;
    if (painter == nullptr) {
        if (!m_measurer)
            m_measurer = std::make_unique<XPainter>();
        painter = m_measurer.get();
    }
    painter->SetFonter(&style);
    return painter;
}

int XPageTree::FontHeight() const
{
    return style.fontSize > 0 ? style.fontSize : kDefaultFontHeight;
}

void XPageTree::SetItemSpace(unsigned space)
{
    m_space = (space + 1) & ~1u;
    m_nodeHeight = 0;
    Changed();
}

unsigned XPageTree::GetItemHeight()
{
    if (m_nodeHeight == 0) {
        UpdateStyleDesc(0);
        m_fontHeight = FontHeight();
        const unsigned tall = static_cast<unsigned>(std::max(m_fontHeight, m_iconHeight)) + 2;
        m_nodeHeight = (m_space + tall + 1) & ~1u;
    }
    return m_nodeHeight;
}

void XPageTree::SetIconWare(XIconDrawer *icons)
{
    m_icons = icons;
    m_iconWidth = icons != nullptr ? icons->GetIconWidth() : 0;
    m_iconHeight = icons != nullptr ? icons->GetIconHeight() : 0;
    m_nodeHeight = 0;
    ResetWidths(nullptr);
    Changed();
}

int XPageTree::CaptionWidth(XPainter *painter, const XTreeItem *node)
{
    SIZE_t size = {0, 0};
    if (node->text != nullptr && node->text[0] != 0)
        painter->CalcTextSize(node->text, -1, kCaptionLayout, &size);
    return size.cx;
}

unsigned XPageTree::MeasureNode(XPainter *painter, XTreeItem *node)
{
    if (node->width == 0) {
        int right = static_cast<int>(node->layer) * kTreeIndent + CaptionWidth(painter, node) +
                    kTreeIndent + 8 + m_iconWidth;
        if (extraFlags & kTreeCheckBox)
            right += kTreeCheckRoom;
        node->width = static_cast<uint32_t>(right);
    }
    return node->width;
}

int XPageTree::CalcScrollSize(int flag, XPainter *painter)
{
    if (flag != 0)
        ResetWidths(nullptr);
    XPainter *measurer = Measurer(); // also notices a change of font
    if (painter == nullptr)
        painter = measurer;
    else
        painter->SetFonter(&style);
    const int h = static_cast<int>(GetItemHeight());
    int widest = 0, rows = 0;
    for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n)) {
        if (!n->visible)
            continue;
        ++rows;
        widest = std::max(widest, static_cast<int>(MeasureNode(painter, n)));
    }
    const int height = rows > 0 ? rows * h + 3 : 0;
    const bool changed = widest != scroll.width || height != scroll.height;
    m_repaint &= ~kRepaintMeasure;
    SetScrollSize(widest, height);
    return changed ? 1 : 0;
}

int XPageTree::CalcExtentSize(int mode)
{
    CalcScrollSize(0, nullptr);
    return XPageOwner::CalcExtentSize(mode);
}

// ---------------------------------------------------------------------------------------
// Places
// ---------------------------------------------------------------------------------------

int XPageTree::VisibleIndex(XTreeItem *node)
{
    int index = 0;
    for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n)) {
        if (n == node)
            return n->visible ? index : -1;
        index += n->visible;
    }
    return -1;
}

int XPageTree::GetItemPlace(XTreeItem *node, BOUND_t *out)
{
    if (node == nullptr || out == nullptr)
        return 0;
    const int index = VisibleIndex(node);
    if (index < 0)
        return 0;
    const int h = static_cast<int>(GetItemHeight());
    int left = static_cast<int>(node->layer) * kTreeIndent + kTreeIndent;
    if (extraFlags & kTreeCheckBox)
        left += 12;
    const int right = static_cast<int>(MeasureNode(Measurer(), node));
    *out = {left, index * h, right - left, h};
    return 1;
}

void XPageTree::EnsureVisible(XTreeItem *node)
{
    if (node == nullptr)
        return;
    const int index = VisibleIndex(node);
    if (index < 0)
        return;
    if (m_repaint & kRepaintMeasure)
        CalcExtentSize(0);
    const int h = static_cast<int>(GetItemHeight());
    const int top = index * h;
    if (top < scroll.y)
        SetScrollPos(1, top);
    else if (top + h > scroll.y + body.height)
        SetScrollPos(1, top + h - body.height);
}

XTreeItem *XPageTree::HitTest(int x, int y, unsigned *part)
{
    unsigned hit = kTreeHitNone;
    XTreeItem *found = nullptr;
    const int h = static_cast<int>(GetItemHeight());
    if (y >= 0) {
        const int row = y / h;
        int index = 0;
        for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n)) {
            if (!n->visible)
                continue;
            if (index++ != row)
                continue;
            found = n;
            const int x0 = static_cast<int>(n->layer) * kTreeIndent;
            int start = x0 + kTreeIndent;
            if (x >= x0 && x < start) {
                hit = kTreeHitButton;
            } else if (extraFlags & kTreeCheckBox) {
                if (x >= start && x < start + kTreeCheckRoom)
                    hit = kTreeHitCheck;
                start += kTreeCheckRoom;
            }
            if (hit == kTreeHitNone && x >= start)
                hit = kTreeHitCaption;
            break;
        }
    }
    if (part != nullptr)
        *part = hit;
    return found;
}

// ---------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------

void XPageTree::DrawItem(XPainter *painter, const BOUND_t *bound)
{
    XPageOwner::DrawItem(painter, bound);
}

void XPageTree::DrawNode(XPainter *painter, XTreeItem *node, int top)
{
    const int h = static_cast<int>(GetItemHeight());
    const int x0 = static_cast<int>(node->layer) * kTreeIndent;
    const int m = (top + h / 2 + 1) & ~1;
    const int bottom = top + h;
    const bool children = node->child != nullptr;
    const bool expanded = (node->state & kTreeExpanded) != 0;
    const bool last = node->next == (node->parent != nullptr ? node->parent->child : m_root);
    if (extraFlags & kTreeLines) {
        painter->SetLineStyle(kLineDotted, kLineColor);
        const int lx = x0 + 8;
        const bool firstRoot = node == m_root;
        if (children) {
            if (!firstRoot)
                painter->DrawLine(lx, top, lx, m - 5);
            if (!last)
                painter->DrawLine(lx, m + 6, lx, bottom);
        } else {
            painter->DrawLine(lx, firstRoot ? m : top, lx, last ? m : bottom);
        }
        painter->DrawLine(children ? lx + 6 : lx, m, x0 + kTreeIndent, m);
        for (XTreeItem *p = node->parent; p != nullptr; p = p->parent) {
            const bool pLast = p->next == (p->parent != nullptr ? p->parent->child : m_root);
            if (!pLast) {
                const int px = static_cast<int>(p->layer) * kTreeIndent + 8;
                painter->DrawLine(px, top, px, bottom);
            }
        }
        if (children)
            DrawCtrlIcon(painter, expanded ? kCtrlIconExpandMinus : kCtrlIconExpandPlus,
                         lx - kCtrlIconSize / 2, m - kCtrlIconSize / 2);
    } else if (children) {
        DrawCtrlIcon(painter, expanded ? kCtrlIconExpandDown : kCtrlIconExpandRight, x0 + 2,
                     m - kCtrlIconSize / 2);
    }
    int x = x0 + kTreeIndent;
    if (extraFlags & kTreeCheckBox) {
        const int icon = node->state & kTreeChecked       ? kCtrlIconTreeCheckOn
                         : node->state & kTreePartChecked ? kCtrlIconTreeCheckPart
                                                          : kCtrlIconTreeCheckOff;
        DrawCtrlIcon(painter, static_cast<unsigned>(icon), x, m - kCtrlIconSize / 2);
        x += kTreeCheckRoom;
    }
    if (m_icons != nullptr) {
        const int index = expanded ? node->expandImage : node->image;
        painter->DrawIcon(m_icons, index, x, top + (h - m_iconHeight) / 2);
        x += m_iconWidth;
    }
    x += 4;
    const int cw = CaptionWidth(painter, node);
    const int fh = m_fontHeight > 0 ? m_fontHeight : FontHeight();
    const int textTop = m - fh / 2;
    const BOUND_t text = {x, textTop, cw + 1, fh};
    if (node == m_choice) {
        const BOUND_t box = {x - 3, textTop - 2, cw + 6, fh + 6};
        XStyleDesc look;
        InitStyleDesc(&look);
        uint32_t color = kSelectedText;
        if (itemStyle.CheckStyle(kStateChild1) &&
            itemStyle.GetStyle(uint32_t{kStateChild1} | kItemStateOnlyChild, owner, &look)) {
            painter->DrawItemBox(&look, &box);
            if (look.textColor != kStyleUnsetWord)
                color = look.textColor;
        } else {
            painter->FillRect(&box, kSelectedBack);
        }
        FreeStyleDescStrings(&look);
        const uint32_t before = painter->SetTextColor(color);
        painter->DrawText(node->text, -1, &text, kCaptionLayout);
        painter->SetTextColor(before);
        return;
    }
    painter->DrawText(node->text, -1, &text, kCaptionLayout);
}

void XPageTree::DrawBody(XPainter *painter, const BOUND_t *bound)
{
    if ((m_repaint & kRepaintMeasure) || FontKey() != m_fontKey)
        CalcScrollSize(0, painter);
    painter->SetFonter(&style);
    painter->SetTextColor(style.textColor != kStyleUnsetWord ? style.textColor : 0);
    const int h = static_cast<int>(GetItemHeight());
    const int from = bound != nullptr ? bound->y : 0;
    const int to = bound != nullptr ? bound->y + bound->height : INT32_MAX;
    int index = 0;
    for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n)) {
        if (!n->visible)
            continue;
        const int top = index++ * h;
        if (top + h <= from)
            continue;
        if (top >= to)
            break;
        DrawNode(painter, n, top);
    }
    XPageOwner::DrawBody(painter, bound);
}
