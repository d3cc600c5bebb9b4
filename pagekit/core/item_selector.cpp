// The pop-up list of menus and drop lists, its entries, and the pop-up functions.

#include "pagekit/core/item_selector.h"

#include <algorithm>
#include <string>

#include "corekit/numbers/numbers.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/combo_code.h"
#include "pagekit/core/ctrl_icon.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_button.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "pagekit/core/style_geometry.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Where the icon or check mark sits in a menu entry's left padding, and the gap between
// a text and its shortcut.
constexpr int kIconLeft = 2;
constexpr int kShortcutGap = 24;
constexpr int kComboIconGap = 3;

// The painter's '&' mnemonic flag and one-line flags, as text layout bits.
constexpr uint32_t kTextMiddle = 0x8;
constexpr uint32_t kTextRight = 0x1;
constexpr uint32_t kTextOneLine = 0x40 | 0x10;

// A menu or combo entry: a button of the selector.
class XSelectorEntry : public XPageButton
{
public:
    XSelectorEntry(uint32_t entryKind, unsigned code, uint32_t flags, int icon,
                   const char16_t *text)
        : m_flags(flags), m_icon(icon)
    {
        kind = entryKind;
        itemCode = static_cast<int32_t>(code);
        SetItemText(text);
        // Whole lines; the focus stays where it was.
        itemFlags = SetStyleField(itemFlags, kItemWrapMode, kWrapBlock);
        itemFlags = SetStyleField(itemFlags, kItemLayoutX, kLayoutExtend);
        itemFlags = (itemFlags | kItemNoFocus) & ~kItemEditable;
        if (flags & kMenuDisabled)
            itemFlags |= kItemDisabled;
    }

    uint32_t GetFlags() const { return m_flags; }
    const std::u16string &Text() const { return GetText(); }

    // The text before the first tab, and the shortcut after it.
    std::u16string Label() const { return Text().substr(0, Text().find(u'\t')); }
    std::u16string Shortcut() const
    {
        const size_t tab = Text().find(u'\t');
        if (tab == std::u16string::npos)
            return u"";
        const size_t start = Text().find_first_not_of(u'\t', tab);
        return start == std::u16string::npos ? u"" : Text().substr(start);
    }

    // Width and height of the whole entry: text (and shortcut) plus the style's spaces,
    // at least kEntryMinHeight (the icon height when larger) high.
    SIZE_t NaturalSize(XPainter *painter)
    {
        UpdateStyleDesc(0);
        painter->SetFonter(&style);
        SIZE_t label = {0, 0}, shortcut = {0, 0};
        const std::u16string l = Label(), s = Shortcut();
        painter->CalcTextSize(l.c_str(), static_cast<int>(l.size()), TextLayout(), &label);
        int width = label.cx + IconRoom();
        if (!s.empty()) {
            painter->CalcLineSize(s.c_str(), static_cast<int>(s.size()), &shortcut);
            width += kShortcutGap + shortcut.cx;
        }
        RECT_t spaces;
        CalcItemSpace(kSpacePadding, &spaces, &style);
        const XIconDrawer *icons = Icons();
        int least = kEntryMinHeight;
        if (icons != nullptr && m_icon >= 0 && icons->GetIconHeight() > least)
            least = icons->GetIconHeight();
        const int height = label.cy + spaces.top + spaces.bottom;
        return {width + spaces.left + spaces.right, std::max(height, least)};
    }

    void DrawFrame(XPainter *painter, const BOUND_t *bound) override
    {
        XPageButton::DrawFrame(painter, bound);
        // The icon, or the check mark, in the left padding; the sub-menu arrow at the right.
        if (kind == kKindMenuItem && HasIcon()) {
            DrawEntryIcon(painter, kIconLeft, (place.height - Icons()->GetIconHeight()) / 2);
        } else if (m_flags & kMenuChecked) {
            DrawCtrlIcon(painter, kCtrlIconMenuCheck, kIconLeft,
                         (place.height - kCtrlIconSize) / 2);
        }
        if ((m_flags & kMenuSubmenu) && kind == kKindMenuItem)
            DrawCtrlIcon(painter, kCtrlIconArrowRight, place.width - kCtrlIconSize - kIconLeft,
                         (place.height - kCtrlIconSize) / 2);
    }

    void DrawBody(XPainter *painter, const BOUND_t * /*bound*/) override
    {
        BOUND_t area = {scroll.x, scroll.y, body.width, body.height};
        // A combo entry's icon comes first in the body, the text after it.
        if (const int room = IconRoom(); room > 0) {
            DrawEntryIcon(painter, area.x, area.y + (area.height - Icons()->GetIconHeight()) / 2);
            area.x += room;
            area.width -= room;
        }
        painter->SetFonter(&style);
        painter->SetTextColor(style.textColor);
        const std::u16string l = Label(), s = Shortcut();
        painter->DrawText(l.c_str(), static_cast<int>(l.size()), &area, TextLayout());
        if (!s.empty())
            painter->DrawText(s.c_str(), static_cast<int>(s.size()), &area,
                              kTextRight | kTextMiddle | kTextOneLine);
    }

    int CalcExtentSize(int mode) override { return XPageItem::CalcExtentSize(mode); }

    int OnMessage(XMessage_t *message) override
    {
        if ((message->code & 0xFFFF) == XMSG_MOUSEENTER) {
            if (auto *selector = dynamic_cast<XItemSelector *>(owner))
                selector->OnEntryHover(this);
        }
        return XPageButton::OnMessage(message);
    }

private:
    bool HasIcon() const
    {
        const XIconDrawer *icons = Icons();
        return icons != nullptr && m_icon >= 0 && m_icon < icons->GetIconCount();
    }
    // Room a combo entry's icon takes before its text (menu entries draw theirs in the
    // left padding).
    int IconRoom() const
    {
        return kind == kKindComboItem && HasIcon() ? Icons()->GetIconWidth() + kComboIconGap : 0;
    }
    void DrawEntryIcon(XPainter *painter, int x, int y) const
    {
        if (IsEnable())
            Icons()->DrawIcon(painter, m_icon, x, y);
        else
            Icons()->DrawGrayIcon(painter, m_icon, x, y);
    }
    const XIconDrawer *Icons() const
    {
        const auto *selector = dynamic_cast<const XItemSelector *>(owner);
        return selector != nullptr ? selector->GetIconWare() : nullptr;
    }
    // The style's text layout: alignment and the painter flags (the '&' mnemonic of menu
    // entries), one line.
    uint32_t TextLayout() const
    {
        const uint32_t word = style.layoutWord;
        return (GetStyleField(word, kTextAlign) & 0x3) |
               ((GetStyleField(word, kVerticalAlign) & 0x3) << 2) |
               (GetStyleField(word, kTextDrawFlags) << 4) | kTextOneLine;
    }

    uint32_t m_flags;
    int m_icon;
};

XSelectorEntry *AsEntry(XPageItem *item)
{
    if (item == nullptr || (item->kind != kKindMenuItem && item->kind != kKindComboItem))
        return nullptr;
    return static_cast<XSelectorEntry *>(item);
}

// ASCII upper case.
char16_t Upper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

} // namespace

// ---------------------------------------------------------------------------------------
// The selector
// ---------------------------------------------------------------------------------------

XItemSelector::XItemSelector()
{
    extraFlags =
        kFloatModal | kFloatCloseOutside | kFloatKeepInside | kFloatDestroy | kFloatFirstRender;
}

XItemSelector::~XItemSelector()
{
    if (m_alive != nullptr)
        *m_alive = false;
}

XPageItem *XItemSelector::AddMenuItem(unsigned code, uint32_t flags, int icon, const char16_t *text)
{
    if (flags >= kMenuSkipped)
        return nullptr;
    XPageItem *entry = nullptr;
    if (code == 0) {
        entry = new XPageItem;
        entry->kind = kKindSeparator;
        entry->itemFlags = SetStyleField(entry->itemFlags, kItemWrapMode, kWrapBlock);
        entry->itemFlags = SetStyleField(entry->itemFlags, kItemLayoutX, kLayoutExtend);
        entry->itemFlags |= kItemNoFocus | kItemDisabled;
        const BOUND_t size = {0, 0, 0, kSeparatorHeight};
        entry->MovePlace(&size, 0);
    } else {
        entry = new XSelectorEntry(kKindMenuItem, code, flags, icon, text);
    }
    AddItem(entry);
    return entry;
}

XPageItem *XItemSelector::AddComboItem(unsigned code, int icon, const char16_t *text)
{
    XPageItem *entry = new XSelectorEntry(kKindComboItem, code, 0, icon, text);
    AddItem(entry);
    return entry;
}

XPageItem *XItemSelector::EntryAt(int index) const
{
    if (index < 0)
        return nullptr;
    const void *cursor = nullptr;
    XPageItem *item = nullptr;
    for (int i = 0; (item = GetNextItem(&cursor)) != nullptr; ++i) {
        if (i == index)
            return item;
    }
    return nullptr;
}

unsigned XItemSelector::GetItemCode(int index) const
{
    const XSelectorEntry *entry = AsEntry(EntryAt(index));
    return entry != nullptr ? static_cast<unsigned>(entry->itemCode) : 0;
}

int XItemSelector::GetItemText(int index, XString *out) const
{
    if (out == nullptr)
        return 0;
    const XSelectorEntry *entry = AsEntry(EntryAt(index));
    if (entry == nullptr) {
        out->SetString(u"", 0);
        return 0;
    }
    out->SetString(entry->Text().c_str(), static_cast<unsigned>(entry->Text().size()));
    return static_cast<int>(entry->Text().size());
}

void XItemSelector::SelectItem(int index)
{
    XPageItem *chosen = EntryAt(index);
    const void *cursor = nullptr;
    for (XPageItem *item; (item = GetNextItem(&cursor)) != nullptr;) {
        const uint32_t flags = item == chosen ? item->stateFlags | kItemStateHovered
                                              : item->stateFlags & ~kItemStateHovered;
        if (flags != item->stateFlags) {
            item->stateFlags = flags;
            item->Invalidate(nullptr, 0);
        }
    }
    if (chosen == nullptr)
        return;
    // Into view.
    const int top = chosen->place.y, bottom = chosen->place.y + chosen->place.height;
    if (top < scroll.y)
        SetScrollPos(1, top);
    else if (bottom > scroll.y + body.height)
        SetScrollPos(1, bottom - body.height);
}

void XItemSelector::SetIconWare(const char16_t *name)
{
    XRescHelper *helper = form != nullptr ? form->GetRescHelper() : nullptr;
    m_icons = helper != nullptr && name != nullptr ? helper->SearchIcon(name) : nullptr;
}

void XItemSelector::SetIconWare(XIconDrawer *icons)
{
    m_icons = icons;
}

void XItemSelector::ShowMenubar(XPageItem *item, int mode)
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr)
        return;
    m_dropMode = mode == kShowBelowItem && item != nullptr;
    if (m_dropMode) {
        BOUND_t at;
        item->GetPlace(kPlaceWindow, &at);
        ShowFloater(at.x, at.y + at.height, at.width);
        return;
    }
    POINT_t at = {0, 0};
    window->GetMousePlace(&at);
    ShowFloater(at.x, at.y);
}

// ---------------------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------------------

int XItemSelector::CalcExtentSize(int mode)
{
    XPainter *painter = form != nullptr ? form->GetPainter() : nullptr;
    if (painter == nullptr)
        return XPageFloater::CalcExtentSize(mode);
    UpdateStyleDesc(0);
    int width = 0, height = 0;
    const void *cursor = nullptr;
    for (XPageItem *item; (item = GetNextItem(&cursor)) != nullptr;) {
        if (!(item->itemFlags & kItemVisible))
            continue;
        if (XSelectorEntry *entry = AsEntry(item)) {
            const SIZE_t size = entry->NaturalSize(painter);
            width = std::max(width, size.cx);
            height += size.cy;
        } else {
            height += item->place.height;
        }
    }
    RECT_t spaces;
    CalcItemSpace(kSpacePadding, &spaces, &style);
    BOUND_t sized = place;
    const int outerHeight = height + spaces.top + spaces.bottom;
    if (m_dropMode) {
        // A drop list keeps the item's width and scrolls beyond its drop height.
        sized.height = std::min(outerHeight, m_dropHeight);
        itemFlags = SetStyleField(itemFlags, kItemOverflowY,
                                  outerHeight > m_dropHeight ? kOverflowAuto : kOverflowHidden);
    } else {
        sized.width = width + spaces.left + spaces.right;
        sized.height = outerHeight;
    }
    const bool changed = sized.width != place.width || sized.height != place.height;
    MovePlace(&sized, 0);
    SetScrollSize(width, height);
    return changed ? 1 : 0;
}

void XItemSelector::UpdateLayout(int flag)
{
    stateFlags &= ~kItemStateLayout;
    CalcBodyPlace();
    UpdateScrollbar();
    XPainter *painter = form != nullptr ? form->GetPainter() : nullptr;
    int y = 0;
    const void *cursor = nullptr;
    for (XPageItem *item; (item = GetNextItem(&cursor)) != nullptr;) {
        if (!(item->itemFlags & kItemVisible))
            continue;
        int height = item->place.height;
        if (XSelectorEntry *entry = AsEntry(item); entry != nullptr && painter != nullptr)
            height = entry->NaturalSize(painter).cy;
        const BOUND_t line = {0, y, body.width, height};
        item->MovePlace(&line, 0);
        y += height;
    }
    if (scroll.height != y || scroll.width != body.width)
        SetScrollSize(body.width, y);
    if (flag)
        Invalidate(nullptr, 0);
}

// ---------------------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------------------

void XItemSelector::AskSubmenu(XPageItem *entry, uint32_t flags)
{
    XPageItem *hoster = GetHoster();
    if (hoster == nullptr)
        return;
    XMessage_t ask = {};
    ask.code = XMSG_CLOSEFLOAT;
    ask.key = kSelectorSubmenuKey;
    ask.flags = flags;
    ask.item = hoster;
    ask.other = entry;
    hoster->CarryMessage(&ask);
}

void XItemSelector::OnEntryHover(XPageItem *entry)
{
    const void *cursor = nullptr;
    for (XPageItem *item; (item = GetNextItem(&cursor)) != nullptr;) {
        if (item != entry && (item->stateFlags & kItemStateHovered)) {
            item->stateFlags &= ~kItemStateHovered;
            item->Invalidate(nullptr, 0);
        }
    }
    const XSelectorEntry *e = AsEntry(entry);
    if (e != nullptr && (e->GetFlags() & kMenuSubmenu))
        AskSubmenu(entry, 1);
}

void XItemSelector::OnEntryCommand(XMessage_t *message)
{
    XSelectorEntry *entry = AsEntry(static_cast<XPageItem *>(message->item));
    if (entry == nullptr || entry->owner != this)
        return;
    message->state = kMsgDone;
    if ((extraFlags & kSelectorMenubar) && (entry->GetFlags() & kMenuSubmenu)) {
        AskSubmenu(entry, 0);
        return;
    }
    m_choice = static_cast<unsigned>(entry->itemCode);
    if (m_result != nullptr)
        *m_result = m_choice;
    XPageItem *hoster = GetHoster();
    XPageWindow *window = GetPageWindow();
    CloseFloater();
    if (hoster == nullptr || window == nullptr || !window->IsLiveItem(hoster))
        return;
    XMessage_t command = *message;
    command.state = kMsgUnhandled;
    command.item = hoster;
    command.other = this;
    hoster->OnMessage(&command);
}

int XItemSelector::OnLetter(uint32_t letter)
{
    const void *cursor = nullptr;
    for (XPageItem *item; (item = GetNextItem(&cursor)) != nullptr;) {
        XSelectorEntry *entry = AsEntry(item);
        if (entry == nullptr || entry->kind != kKindMenuItem || !entry->IsEnable())
            continue;
        const std::u16string &text = entry->Text();
        for (size_t i = text.find(u'&'); i != std::u16string::npos && i + 1 < text.size();
             i = text.find(u'&', i + 1)) {
            if (Upper(text[i + 1]) == letter)
                return entry->PressButton();
        }
    }
    return 0;
}

int XItemSelector::OnMessage(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    if (code == XMSG_COMMAND && message->item != this) {
        OnEntryCommand(message);
        return 1;
    }
    if (code == XMSG_KEYDOWN && message->key >= 'A' && message->key <= 'Z' && IsFloaterShown()) {
        OnLetter(message->key);
        message->state = kMsgDone;
        return 1;
    }
    return XPageFloater::OnMessage(message);
}

// ---------------------------------------------------------------------------------------
// Pop-up functions
// ---------------------------------------------------------------------------------------

void SetupMenubar(XItemSelector *selector, XMenuItem *entries, unsigned count)
{
    if (selector == nullptr)
        return;
    selector->ClearItem();
    for (unsigned i = 0; entries != nullptr && i < count; ++i) {
        const XMenuItem &e = entries[i];
        if (e.flags >= kMenuSkipped)
            continue;
        selector->AddMenuItem(e.code, e.flags, e.icon, e.text);
    }
}

namespace {

// Fills a new selector for item, shows it, waits for it to close and returns the choice.
// fill adds the entries; icons (may be null) and iconName are the entry icons.
template <typename Fill>
unsigned RunSelector(XPageItem *item, int mode, XIconDrawer *icons, const char16_t *iconName,
                     Fill fill)
{
    if (item == nullptr || item->GetPageWindow() == nullptr)
        return 0;
    auto *selector = new XItemSelector;
    if (!selector->Create(item)) {
        delete selector;
        return 0;
    }
    unsigned choice = 0;
    bool alive = true;
    selector->SetResult(&choice, &alive);
    if (icons != nullptr)
        selector->SetIconWare(icons);
    else if (iconName != nullptr)
        selector->SetIconWare(iconName);
    fill(selector);
    selector->ShowMenubar(item, mode);
    selector->WaitforClose();
    if (alive) {
        selector->SetResult(nullptr, nullptr);
        // A loop that ran out of input leaves it open: close it (it then goes by itself).
        selector->CloseFloater();
    }
    return choice;
}

} // namespace

unsigned PopupMenubar(XPageItem *item, XMenuItem *entries, unsigned count)
{
    return PopupMenubar(item, static_cast<XIconDrawer *>(nullptr), entries, count);
}

unsigned PopupMenubar(XPageItem *item, const char16_t *icons, XMenuItem *entries, unsigned count)
{
    return RunSelector(item, kShowAtPointer, nullptr, icons,
                       [&](XItemSelector *selector) { SetupMenubar(selector, entries, count); });
}

unsigned PopupMenubar(XPageItem *item, XIconDrawer *icons, XMenuItem *entries, unsigned count)
{
    return RunSelector(item, kShowAtPointer, icons, nullptr,
                       [&](XItemSelector *selector) { SetupMenubar(selector, entries, count); });
}

unsigned PopupMenubar(XPageItem *item, const char16_t *list)
{
    return RunSelector(item, kShowAtPointer, nullptr, nullptr, [&](XItemSelector *selector) {
        char16_t code[kComboCodeSize];
        std::u16string name(4096, u'\0');
        unsigned index = 0;
        for (const char16_t *p = list;
             (p = GetNextComboEx(p, code, name.data(), static_cast<unsigned>(name.size())));
             ++index) {
            unsigned value = index + 1;
            if (code[0] == kComboEmptyCode)
                value = 0;
            else if (code[0] != 0)
                value = static_cast<unsigned>(ToInt32(code));
            selector->AddMenuItem(value, 0, -1, name.c_str());
        }
    });
}

unsigned PopupDropbar(XPageItem *item, XMenuItem *entries, unsigned count)
{
    return PopupDropbar(item, nullptr, entries, count, kDropMaxHeight);
}

unsigned PopupDropbar(XPageItem *item, XIconDrawer *icons, XMenuItem *entries, unsigned count,
                      int height)
{
    return RunSelector(item, kShowBelowItem, icons, nullptr, [&](XItemSelector *selector) {
        selector->SetDropHeight(height);
        for (unsigned i = 0; entries != nullptr && i < count; ++i) {
            if (entries[i].flags < kMenuSkipped)
                selector->AddComboItem(entries[i].code, entries[i].icon, entries[i].text);
        }
    });
}
