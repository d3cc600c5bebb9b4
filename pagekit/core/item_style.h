#pragma once
// One item's part of the style cascade, and the resolution of the descriptor the item is
// drawn with.
//
// The cascade, first value found wins: the item's own state variants and own descriptor,
// the page-style rules of the form that match the item (the last matching rule first),
// the default descriptors of the item's kind, the text properties of the owner, and the
// form's base style with fixed defaults (XPageStyle::GetPageStyle).
//
// State flags of a resolution: 0x1 focused, 0x2 hovered, 0x4 pressed, 0x8 disabled or
// read-only, bits 4-7 a child index or after (16, 32, 48, 64, 160), 0x1000 only the child
// or after variant is wanted (kItemState* of page_message.h).

#include <cstdint>

#include "pagekit/core/style_desc.h"
#include "pagekit/pagekit_export.h"

class XByteBuffer;
class XPageItem;
class XPageStyle;
class XRescHelper;
class XString;
struct XGradientDesc;

// A page-style rule that matches an item, with the state code of the selector that
// matched.
struct XStyleMatch
{
    uint32_t state;
    XStyleDesc *rule; // owned by the page style
};

// Most matched pairs one item keeps; when more match, the last ones in sheet order stay.
constexpr uint32_t kMaxStyleMatches = 256;

// Bit of touchedGroups that marks a resolved descriptor valid (an item's descriptor is
// invalid while its touchedGroups is 0).
constexpr uint32_t kStyleResolved = 0x80000000;

// Flags of GetStyle(state, flags).
enum : int {
    kStyleResolve = 0x1,   // resolve the variant's drawing resources once
    kStyleCreate = 0x2,    // create a missing variant (else the own descriptor is given)
    kStyleComplete = 0x10, // complete it with the fixed defaults
};

class PAGEKIT_EXPORT XItemStyle
{
public:
    XItemStyle();
    virtual ~XItemStyle();
    XItemStyle(const XItemStyle &) = delete;
    XItemStyle &operator=(const XItemStyle &) = delete;

    // Binds the item and the page style and takes a private copy of the kind's default
    // chain (replacing an earlier one).
    void InitStyle(uint32_t kind, XPageItem *item, XPageStyle *page);
    // Frees the matches, the own state variants and the own descriptor's strings, and
    // initialises the own descriptor again.
    void ClearStyle();
    // Item style text: declarations, and state blocks "hover{...}" (focus, hover, active,
    // disabled, after, child1...child4) into the own variants; unknown blocks are skipped
    // with their quoted strings. Returns the own descriptor's touched-groups mask.
    uint32_t ParseStyle(const char *text);
    // Drops the matches, lets the page style record the rules matching item, then parses
    // text when given.
    void ApplyStyle(XPageItem *item, const char *text);

    // The own variant for a state code (0: the own descriptor), created when missing.
    XStyleDesc *GetStyle(uint32_t state);
    // The own variant for a state code with kStyle* flags (see there). Completing changes
    // the variant itself: its unset fields stop inheriting.
    XStyleDesc *GetStyle(uint32_t state, int flags);
    // Resolves the cascade for the state flags into out (owner: the item's owner, whose
    // resolved descriptor gives the inherited text fields; it is resolved first when not
    // valid, and not read for a form root). out must hold no strings of its own
    // (initialised, or freed with FreeStyleDescStrings); on return it owns copies of the
    // family, content and background source it took, its stateCode is flags and its
    // touchedGroups kStyleResolved. With kItemStateOnlyChild only the child or after
    // variants (own, rules, kind defaults) contribute. Without a page style the fixed
    // defaults complete it. Non-zero when a variant, rule or kind default contributed.
    int GetStyle(uint32_t flags, XPageItem *owner, XStyleDesc *out);
    // Replaces out with the value of one key of the own descriptor as the style text
    // writes it (empty when the key is not set, or the text cannot say it as that key);
    // 1 for a known key, 0 for an unknown one or null arguments.
    int GetStyle(const char16_t *key, XString *out);
    // One declaration on the own descriptor (null value resets the key); the value ends at
    // its first ';' or '}' outside quotes. 1 when the key took the value, 0 for an unknown
    // key, a refused value or a null key.
    int SetStyle(const char16_t *key, const char16_t *value);
    // The own descriptor as style text.
    void GetStyleText(XString *out);
    // Non-zero when the background resolved for the flags covers the item opaquely.
    int IsSolidRender(uint32_t flags);
    // Non-zero when an own variant, a default variant or a matched rule exists for state.
    int CheckStyle(uint32_t state);

    // ---- setters of the own variant of a state (each invalidates the item's descriptor) ----

    void SetLeave(uint32_t state, int left, int top, int right, int bottom); // margins
    void SetSpace(uint32_t state, int left, int top, int right, int bottom); // paddings
    // One layout-word field: 0 text-align, 1 vertical-align, 2 bits 4-7, 3 wrapmode,
    // 4 position, 5 overflow-x, 6 overflow-y, 7 layout-x, 8 layout-y; others change nothing.
    void SetItemStyle(uint32_t state, int which, uint32_t value);
    void SetEmptyRender(uint32_t state);
    // Background colour; 0xFFFFFFFF unsets the background.
    void SetSolidRender(uint32_t state, uint32_t color);
    // Gradient background (ownership taken); null falls back to the colour when one is
    // set, else unsets the background.
    void SetGradeRender(uint32_t state, XGradientDesc *gradient);
    // Picture background by name; flag bits 8-31 give the size, repeat and position
    // nibbles; null falls back as SetGradeRender.
    void SetImageRender(uint32_t state, uint32_t flags, const char16_t *name);
    void SetFontColor(uint32_t state, uint32_t color);
    // Font size, flags and family (copied; null clears the family).
    void SetFontDesc(uint32_t state, int size, uint32_t flags, const char16_t *family);
    // Radius (at most 240) of the corners in the mask: 0x1 bottom-left, 0x2 top-left,
    // 0x4 top-right, 0x8 bottom-right.
    void SetRoundCorner(uint32_t state, uint32_t corners, uint8_t radius);
    // Side byte and colour of the sides in the mask (0x1 left, 0x2 top, 0x4 right,
    // 0x8 bottom): a style 1...14 with the width (0 taken as 1, above 14 as 14, so that
    // 15 keeps meaning "not given"); style 0 or 15 alone; a style above 15 changes nothing.
    void SetEdgeStyle(uint32_t state, uint32_t sides, uint8_t style, uint8_t width, uint32_t color);
    // Writes nothing and returns 0.
    int WriteStyle(XByteBuffer *out);

    // ---- fields ----------------------------------------------------------------------------

    uint32_t m_matchCount = 0;
    XStyleDesc m_own; // normal state; nextState heads the own variants
    XPageItem *m_item = nullptr;
    XStyleDesc *m_defaults = nullptr; // private copy of the kind's default chain
    XPageStyle *m_page = nullptr;
    XStyleMatch *m_matches = nullptr; // corekit heap; the last matching rule first

private:
    friend class XPageStyle;

    // The matches when the page style recorded them and has not dropped its rules since.
    const XStyleMatch *GetMatches(uint32_t *count) const;
    void FreeMatches();
    // The own variant of a state (0: the own descriptor), or null.
    XStyleDesc *FindOwn(uint32_t state);
    XRescHelper *Helper() const;
    void Invalidate();

    uint32_t m_matchEpoch = 0; // the page style's rule epoch the matches belong to
};
