#pragma once
// A form's page style: its selector rules, its base style and its resource helper. The
// rules are matched against items from the subject upwards; every resolution of the form
// ends in GetPageStyle, which completes the descriptor with the base style and the fixed
// defaults.

#include <cstdint>

#include "pagekit/core/style_desc.h"
#include "pagekit/pagekit_export.h"
#include "platform/panekit/icon/resc_helper.h"

class XItemStyle;
class XPageItem;
struct XSelector;

class PAGEKIT_EXPORT XPageStyle
{
public:
    XPageStyle();
    ~XPageStyle();
    XPageStyle(const XPageStyle &) = delete;
    XPageStyle &operator=(const XPageStyle &) = delete;

    // Appends the rules of a page style sheet ("selectors { declarations }"); a rule whose
    // selectors do not compile is skipped up to its '}'. Returns the rules appended.
    unsigned ParseStyle(const char *text);
    // Records in style the rules whose selectors match item, replacing its earlier matches:
    // for each selector of each rule that matches, (the selector's state, the rule), later
    // rules first, at most kMaxStyleMatches (the last ones in sheet order). A selector is
    // matched from its subject up the owner chain: '>' needs the direct owner to match, a
    // descendant combinator takes the nearest owner that matches; the form root (kind
    // 0x92) ends the walk without a match. '#'name compares the item name, a type part
    // the type name, '.'name a word of the class list, all exactly; '*' matches any item.
    void ApplyStyle(XPageItem *item, XItemStyle *style);
    // Completes a resolution: font size, flags and family from the base style or 12 and
    // "宋体", a font handle, text colour from the base style or 0, every other unset field
    // at its fixed default.
    void GetPageStyle(XStyleDesc *desc);
    // Frees every rule (the matches items hold of them lapse with the epoch) and clears the
    // resource helper.
    void ClearStyle();
    // The base style (the root viewer's item style).
    void SetPageStyle(XItemStyle *base) { m_base = base; }
    XItemStyle *GetBaseStyle() const { return m_base; }
    XRescHelper *GetRescHelper() { return &m_helper; }
    // Font scale of the resource helper.
    void SetFontPower(double power) { m_helper.SetFontPower(power); }

    // The rules in sheet order (linked through nextEntry); each rule's ownerSelector holds
    // its compiled selector list.
    const XStyleDesc *GetFirstRule() const { return m_head; }
    // Changes whenever the rules are dropped (ClearStyle), and differs between page styles:
    // an item style uses its matches only while the epoch they were recorded in lasts.
    uint32_t GetEpoch() const { return m_epoch; }

private:
    bool MatchSelector(const XSelector &selector, const XPageItem *item) const;

    XItemStyle *m_base = nullptr;
    XStyleDesc *m_head = nullptr;
    XStyleDesc *m_tail = nullptr;
    XRescHelper m_helper;
    uint32_t m_epoch;
};
