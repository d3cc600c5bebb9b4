// The built-in default descriptors installed when the default table is made.
#include <iterator>

#include "corekit/memory/memory.h"
#include "pagekit/core/default_style.h"
#include "pagekit/core/item_kind.h"

namespace {

constexpr int16_t U = kStyleUnsetSpace;
constexpr uint32_t kUnset = kStyleUnsetWord;
constexpr uint8_t kSolid1 = 0x11; // width 1, solid

// One built-in entry; fields left at their defaults stay unset.
struct BuiltinStyle
{
    uint32_t kind;
    uint32_t state;
    int16_t margin[4] = {U, U, U, U}; // left, top, right, bottom
    int16_t padding[4] = {U, U, U, U};
    uint32_t layout = kUnset;
    uint32_t back = kUnset;                   // background colour (kind 1), or unset
    uint8_t border = kStyleUnsetByte;         // all four side bytes
    uint32_t borderColor[4] = {0, 0, 0, 0};   // left, top, right, bottom
    uint8_t radius[4] = {255, 255, 255, 255}; // bottom-left, top-left, top-right, bottom-right
    uint32_t text = kUnset;                   // text colour
    int32_t fontSize = 0;
    bool family = false; // the default family
};

constexpr uint32_t kGray = 0x808080;
constexpr uint32_t kLight = 0xF8E880, kDark = 0x887438;

// Kind, state and values of the built-in entries, normal states first.
constexpr BuiltinStyle kBuiltins[] = {
    {.kind = kKindEdit,
     .state = 0,
     .padding = {2, 2, 2, 2},
     .layout = 0x28,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray},
     .text = 0xFF0000},
    {.kind = kKindText, .state = 0, .layout = 0x8},
    {.kind = kKindButton,
     .state = 0,
     .layout = 0x8A,
     .back = 0xF8EAB8,
     .border = kSolid1,
     .borderColor = {0xA89448, 0xA89448, 0xA89448, 0xA89448},
     .radius = {3, 3, 3, 3}},
    {.kind = kKindButton,
     .state = kStateFocus,
     .layout = 0x8A,
     .back = 0xF8EAB8,
     .border = kSolid1,
     .borderColor = {kLight, kLight, kDark, kDark},
     .radius = {3, 3, 3, 3}},
    {.kind = kKindButton,
     .state = kStateHover,
     .layout = 0x8A,
     .back = 0xF8EAB8,
     .border = kSolid1,
     .borderColor = {kLight, kLight, kDark, kDark},
     .radius = {3, 3, 3, 3}},
    {.kind = kKindButton,
     .state = kStateActive,
     .layout = 0x8A,
     .back = 0xF8EAB8,
     .border = kSolid1,
     .borderColor = {kDark, kDark, kLight, kLight},
     .radius = {3, 3, 3, 3}},
    {.kind = kKindButton,
     .state = kStateChild1,
     .layout = 0x8A,
     .back = 0xF8EAB8,
     .border = kSolid1,
     .borderColor = {kDark, kDark, kLight, kLight},
     .radius = {3, 3, 3, 3}},
    {.kind = kKindButton,
     .state = kStateDisabled,
     .layout = 0x8A,
     .back = 0xF8EAB8,
     .border = kSolid1,
     .borderColor = {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0},
     .radius = {3, 3, 3, 3},
     .text = kGray},
    {.kind = kKindCombo,
     .state = 0,
     .padding = {2, 2, 16, 2},
     .layout = 0x28,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray},
     .text = 0xFF0000},
    {.kind = kKindTime,
     .state = 0,
     .padding = {2, 2, 16, 2},
     .layout = 0x28,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray},
     .text = 0xFF0000},
    {.kind = kKindAnnex,
     .state = 0,
     .padding = {2, 2, 2, 2},
     .layout = 0x8,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray},
     .text = 0xFF0000},
    {.kind = kKindAnnex,
     .state = kStateChild1,
     .padding = {2, 2, 2, 2},
     .layout = 0xA,
     .back = 0xF8EAB8,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray},
     .text = 0},
    {.kind = kKindRadio,
     .state = 0,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray},
     .text = 0xFF0000},
    {.kind = kKindMenuItem,
     .state = 0,
     .padding = {20, 3, 20, 2},
     .layout = 0xA8,
     .back = 0xF6F3F0,
     .border = 0,
     .radius = {0, 0, 0, 0},
     .text = 0},
    {.kind = kKindMenuItem,
     .state = kStateHover,
     .padding = {20, 3, 20, 2},
     .layout = 0xA8,
     .back = 0xF8E891,
     .border = 0,
     .radius = {0, 0, 0, 0},
     .text = 0},
    {.kind = kKindMenuItem,
     .state = kStateDisabled,
     .padding = {20, 3, 20, 2},
     .layout = 0xA8,
     .back = 0xF6F3F0,
     .border = 0,
     .radius = {0, 0, 0, 0},
     .text = kGray},
    {.kind = kKindSeparator, .state = 0, .margin = {16, 2, 2, 2}, .back = 0xA0A0A0, .border = 0},
    {.kind = kKindComboItem,
     .state = 0,
     .padding = {3, U, 3, U},
     .layout = 0x58,
     .back = 0xFFFFFF,
     .text = 0xFF0000},
    {.kind = kKindComboItem,
     .state = kStateHover,
     .padding = {3, U, 3, U},
     .layout = 0x58,
     .back = 0xF8E891,
     .text = 0xFF0000},
    {.kind = kKindTree,
     .state = 0,
     .layout = 0x22000,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray}},
    {.kind = kKindTree, .state = kStateChild1, .back = 0xE08000, .text = 0xFFFFFF},
    {.kind = kKindGrider,
     .state = 0,
     .layout = 0x22000,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray}},
    {.kind = kKindGrider,
     .state = kStateChild1,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray}},
    {.kind = kKindGrider,
     .state = kStateChild2,
     .back = 0xE0D8D8,
     .border = kSolid1,
     .borderColor = {kGray, kGray, kGray, kGray}},
    {.kind = kKindTainer, .state = 0, .layout = 0x20000, .back = 0xFFFFFF},
    {.kind = kKindTabbox,
     .state = 0,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0}},
    {.kind = kKindTabbox,
     .state = kStateChild1,
     .back = 0xD8E0A8,
     .border = 0,
     .borderColor = {0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0}},
    {.kind = kKindTabbox,
     .state = kStateChild2,
     .margin = {1, 1, 1, 2},
     .back = 0xE8ECD2,
     .border = kSolid1,
     .borderColor = {0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0},
     .radius = {3, 3, 255, 255},
     .text = 0},
    {.kind = kKindTabbox,
     .state = kStateChild3,
     .margin = {1, 0, 1, 0},
     .back = 0xF0FAF0,
     .border = kSolid1,
     .borderColor = {0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0},
     .radius = {3, 3, 255, 255},
     .text = 0xFF0000},
    {.kind = kKindViewer, .state = 0, .back = 0xFFFFFF, .text = 0, .fontSize = 12, .family = true},
    {.kind = kKindTainerFrame,
     .state = 0,
     .border = kSolid1,
     .borderColor = {0xFFF0F0F0, 0xFFF0F0F0, 0xFFF0F0F0, 0xFFF0F0F0}},
    {.kind = kKindTainerFrame,
     .state = kStateDisabled,
     .back = 0xF8F8FF,
     .border = kSolid1,
     .borderColor = {0x6060FF, 0x6060FF, 0x6060FF, 0x6060FF}},
    {.kind = kKindFloater,
     .state = 0,
     .back = 0xFFFFFF,
     .border = kSolid1,
     .borderColor = {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0}},
};

void FillBuiltin(XStyleDesc *d, const BuiltinStyle &b)
{
    InitStyleDesc(d);
    for (int i = 0; i < 4; ++i) {
        d->margin[i] = b.margin[i];
        d->padding[i] = b.padding[i];
        d->border[i] = b.border;
        d->borderColor[i] = b.borderColor[i];
        d->radius[i] = b.radius[i];
    }
    d->layoutWord = b.layout;
    if (b.back != kUnset) {
        d->backWord = SetStyleField(kStyleUnsetBackground, kBackKind, kBackColor);
        d->backColor = b.back;
    }
    d->textColor = b.text;
    d->fontSize = b.fontSize;
    if (b.family)
        d->fontFamily = StrAlloc(u"宋体");
}

} // namespace

void InstallBuiltinStyles()
{
    XStyleDesc desc;
    for (const BuiltinStyle &b : kBuiltins) {
        FillBuiltin(&desc, b);
        SetItemDefaultStyle(b.kind, b.state, &desc);
        FreeStyleDescStrings(&desc);
    }
}
