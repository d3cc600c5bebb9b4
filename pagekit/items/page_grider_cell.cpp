// Cell set-up of the grid item: values from typed values and from text, and the display
// text of every (kind x type) pair.

#include "pagekit/items/page_grider_cell.h"

#include <algorithm>

#include <cmath>
#include <vector>

#include "corekit/memory/memory.h"
#include "corekit/numbers/numbers.h"
#include "corekit/text/strings.h"
#include "pagekit/core/combo_code.h"
#include "pagekit/core/edit_mask.h"
#include "pagekit/core/edit_number.h"
#include "pagekit/items/page_grider.h"

namespace {

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

const char16_t *MaskOf(const XGB_HEADER &h)
{
    return h.mapper != nullptr && h.mapper[0] != 0 ? h.mapper : kGridMaskDefault;
}

// An owned copy of the first length units of text.
char16_t *OwnedCopy(const char16_t *text, unsigned length)
{
    char16_t *copy = StrAlloc(length + 1);
    for (unsigned i = 0; i < length; ++i)
        copy[i] = text[i];
    copy[length] = 0;
    return copy;
}

void FreeDisplay(const XGB_HEADER &h, XSuberNode *cell)
{
    const bool aliased = h.dataType == kGridText && !cell->isNull && cell->text == cell->value.text;
    if (!aliased)
        MemFree(cell->text);
    cell->text = nullptr;
}

void FreeValue(const XGB_HEADER &h, XSuberNode *cell)
{
    if (h.dataType == kGridText && !cell->isNull) {
        if (cell->text == cell->value.text)
            cell->text = nullptr;
        MemFree(cell->value.text);
    }
    cell->value.integer = 0;
}

void SetDisplay(XSuberNode *cell, const char16_t *text)
{
    MemFree(cell->text);
    cell->text = text != nullptr && text[0] != 0 ? StrAlloc(text) : nullptr;
}

// A double as a 64-bit integer: truncated, saturated, NaN 0.
int64_t Truncated(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 9223372036854775807.0)
        return INT64_MAX;
    if (v <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(v);
}

int64_t SecondsOf(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int64_t>(std::fmod(std::floor(v), static_cast<double>(kSecondsPerDay)));
}

// FormatTimeEx into a buffer sized from the template: every run writes at most five
// digits, every other unit itself.
void DisplayTime(XSuberNode *cell, const DATETIME_t &t, const char16_t *templ)
{
    const char16_t *use = templ != nullptr ? templ : kGridTimeTemplate;
    const unsigned need = Strlen(use) + 40;
    char16_t local[96];
    std::vector<char16_t> heap(need > 96 ? need : 0);
    char16_t *buf = need > 96 ? heap.data() : local;
    FormatTimeEx(buf, &t, use);
    SetDisplay(cell, buf);
}

// Display text of an integer-valued choice cell (combo, radio, check).
bool DisplayChoice(const XGB_HEADER &h, XSuberNode *cell, int64_t v)
{
    if (h.cellKind == kCellCombo) {
        char16_t name[kComboNameMax];
        SetComboBox(static_cast<uint32_t>(v), h.mapper, name, kComboNameMax);
        SetDisplay(cell, name);
        return true;
    }
    if (IsRadioColumn(h)) {
        std::vector<char16_t> name(kRadioNameMax);
        if (SetRadioBox(static_cast<int>(v), 0, h.mapper, name.data(), kRadioNameMax) < 0)
            name[0] = 0;
        SetDisplay(cell, name.data());
        return true;
    }
    if (IsCheckColumn(h)) {
        std::vector<char16_t> names(kCheckNameMax);
        SetCheckBox(static_cast<uint64_t>(v), kCheckFormNames, h.mapper, names.data(),
                    kCheckNameMax);
        SetDisplay(cell, names.data());
        return true;
    }
    return false;
}

void DisplayInteger(const XGB_HEADER &h, XSuberNode *cell)
{
    const int64_t v = cell->value.integer;
    char16_t buf[kIntegerTextMax + kNumberTextSize];
    if (IsSilentKind(h)) {
        SetDisplay(cell, nullptr);
    } else if (IsNumberColumn(h)) {
        SetStrInteger(v, buf, h.format);
        SetDisplay(cell, buf);
    } else if (IsMaskColumn(h)) {
        DisplayTime(cell, TimeOfDay(v), MaskOf(h));
    } else if (!DisplayChoice(h, cell, v)) {
        FromInteger(buf, v);
        SetDisplay(cell, buf);
    }
}

void DisplayDouble(const XGB_HEADER &h, XSuberNode *cell)
{
    const double v = cell->value.floater;
    if (IsSilentKind(h)) {
        SetDisplay(cell, nullptr);
    } else if (IsMaskColumn(h)) {
        DisplayTime(cell, TimeOfDay(SecondsOf(v)), MaskOf(h));
    } else if (DisplayChoice(h, cell, Truncated(v))) {
        // shown by name
    } else if (h.format != 0) {
        char16_t buf[kNumberTextSize];
        SetStrDouble(v, buf, h.format);
        SetDisplay(cell, buf);
    } else {
        char16_t buf[kFloaterTextMax];
        FromFloater(buf, v);
        SetDisplay(cell, buf);
    }
}

void DisplayText(const XGB_HEADER &h, XSuberNode *cell)
{
    if (IsSilentKind(h)) {
        SetDisplay(cell, nullptr);
        return;
    }
    if (h.cellKind == kCellCombo && h.cellMode != 0 && IsTextCodeCombo(h)) {
        char16_t name[kComboNameMax];
        SetComboCode(cell->value.text, h.mapper, name, kComboNameMax);
        SetDisplay(cell, name);
        return;
    }
    MemFree(cell->text);
    cell->text = cell->value.text;
}

void Display(const XGB_HEADER &h, XSuberNode *cell)
{
    switch (h.dataType) {
    case kGridInteger:
        DisplayInteger(h, cell);
        break;
    case kGridDouble:
        DisplayDouble(h, cell);
        break;
    case kGridDateTime:
        if (IsSilentKind(h))
            SetDisplay(cell, nullptr);
        else
            DisplayTime(cell, cell->value.time, h.mapper);
        break;
    case kGridText:
        DisplayText(h, cell);
        break;
    default:
        SetDisplay(cell, nullptr);
        break;
    }
}

// The text parsed as a time of day by the column's mask; false when nothing was read.
bool ParseSeconds(const XGB_HEADER &h, const char16_t *text, int64_t *out)
{
    DATETIME_t t = {1900, 1, 1, 0, 0, 0, 0};
    if (ParseTimeEx(&t, text, MaskOf(h)) == 0)
        return false;
    *out = t.bHour * 3600 + t.bMinute * 60 + t.bSecond;
    return true;
}

// An integer from text for integer and double columns of every kind; false: null.
bool ParseChoiceOrInteger(const XGB_HEADER &h, const char16_t *text, int64_t *out)
{
    if (IsMaskColumn(h))
        return ParseSeconds(h, text, out);
    if (h.cellKind == kCellCombo) {
        uint32_t code = 0;
        if (GetComboBox(&code, h.mapper, text) < 0 || code == kComboEmptyValue)
            return false;
        *out = code;
        return true;
    }
    if (IsRadioColumn(h)) {
        const int index = GetRadioBox(0, h.mapper, text);
        *out = index;
        return index >= 0;
    }
    if (IsCheckColumn(h)) {
        uint64_t bits = 0;
        GetCheckBox(&bits, 0, h.mapper, text);
        *out = static_cast<int64_t>(bits);
        return true;
    }
    GetStrInteger(out, text);
    return true;
}

// A text column from text: the stored value, or false for null.
bool ParseTextValue(const XGB_HEADER &h, const char16_t *text, std::vector<char16_t> *out)
{
    if (h.cellKind == kCellCombo && h.cellMode != 0) {
        out->assign(kComboNameMax, 0);
        if (IsTextCodeCombo(h)) {
            char16_t code[kComboCodeSize];
            if (GetComboCode(code, h.mapper, text) < 0 || code[0] == 0 ||
                code[0] == kComboEmptyCode)
                return false;
            // GetComboCode terminates within the buffer; the bound says so to the compiler.
            const size_t n = std::min<size_t>(Strlen(code), kComboCodeSize - 1);
            out->assign(code, code + n);
            out->push_back(0);
            return true;
        }
        return SetComboName(text, h.mapper, out->data(), kComboNameMax) >= 0;
    }
    if (IsRadioColumn(h)) {
        out->assign(kRadioNameMax, 0);
        const int index = GetRadioBox(0, h.mapper, text);
        return index >= 0 && SetRadioBox(index, 0, h.mapper, out->data(), kRadioNameMax) > 0;
    }
    if (IsCheckColumn(h)) {
        out->assign(kRadioNameMax, 0);
        uint64_t bits = 0;
        GetCheckBox(&bits, 0, h.mapper, text);
        return SetCheckBox(bits, kCheckFormNames, h.mapper, out->data(), kRadioNameMax) > 0;
    }
    if (IsMaskColumn(h)) {
        const char16_t *mask = MaskOf(h);
        out->assign(Strlen(mask) + 1, 0);
        SetMaskValue(mask, out->data(), text);
        return true;
    }
    out->assign(text, text + Strlen(text) + 1);
    return true;
}

} // namespace

DATETIME_t TimeOfDay(int64_t seconds)
{
    int64_t s = seconds % kSecondsPerDay;
    if (s < 0)
        s += kSecondsPerDay;
    DATETIME_t t = {1900, 1, 1, 0, 0, 0, 0};
    t.bHour = static_cast<uint8_t>(s / 3600);
    t.bMinute = static_cast<uint8_t>(s / 60 % 60);
    t.bSecond = static_cast<uint8_t>(s % 60);
    return t;
}

bool IsMaskColumn(const XGB_HEADER &h)
{
    return h.cellKind == kCellEdit && h.cellMode == kCellModeMask;
}

bool IsNumberColumn(const XGB_HEADER &h)
{
    return h.cellKind == kCellEdit && h.cellMode == kCellModeNumber;
}

bool IsRadioColumn(const XGB_HEADER &h)
{
    return h.cellKind == kCellRadio && h.cellMode != 0;
}

bool IsCheckColumn(const XGB_HEADER &h)
{
    return h.cellKind == kCellRadio && h.cellMode == 0;
}

bool IsTextCodeCombo(const XGB_HEADER &h)
{
    return (h.format & kGridComboTextCodes) != 0;
}

bool IsSilentKind(const XGB_HEADER &h)
{
    return h.cellKind >= 512 && h.cellKind <= 1280 && h.cellKind != kCellLink;
}

int64_t NarrowInteger(int64_t v, unsigned size)
{
    if (size == 2)
        return static_cast<int16_t>(static_cast<uint16_t>(v));
    if (size == 4)
        return static_cast<int32_t>(static_cast<uint32_t>(v));
    return v;
}

void CellSetNull(const XGB_HEADER &h, XSuberNode *cell)
{
    FreeDisplay(h, cell);
    FreeValue(h, cell);
    cell->isNull = 1;
    char16_t buf[kNumberTextSize];
    if (IsNumberColumn(h) && h.dataType == kGridDouble) {
        SetEmptyDouble(buf, h.format);
        SetDisplay(cell, buf);
    } else if (IsMaskColumn(h)) {
        const char16_t *mask = MaskOf(h);
        std::vector<char16_t> empty(Strlen(mask) + 1);
        GetMaskEmpty(mask, empty.data(), static_cast<unsigned>(empty.size()));
        SetDisplay(cell, empty.data());
    }
}

void CellSetInteger(const XGB_HEADER &h, XSuberNode *cell, int64_t v)
{
    FreeDisplay(h, cell);
    FreeValue(h, cell);
    cell->isNull = 0;
    cell->value.integer = NarrowInteger(v, h.dataSize);
    Display(h, cell);
}

void CellSetDouble(const XGB_HEADER &h, XSuberNode *cell, double v)
{
    FreeDisplay(h, cell);
    FreeValue(h, cell);
    cell->isNull = 0;
    cell->value.floater = v;
    Display(h, cell);
}

void CellSetTime(const XGB_HEADER &h, XSuberNode *cell, const DATETIME_t &t)
{
    FreeDisplay(h, cell);
    FreeValue(h, cell);
    cell->isNull = 0;
    cell->value.time = t;
    Display(h, cell);
}

void CellSetTextValue(const XGB_HEADER &h, XSuberNode *cell, const char16_t *text, unsigned length)
{
    char16_t *copy = OwnedCopy(text, length); // text may be the cell's own
    FreeDisplay(h, cell);
    FreeValue(h, cell);
    cell->isNull = 0;
    cell->value.text = copy;
    Display(h, cell);
}

void CellSetFromText(const XGB_HEADER &h, XSuberNode *cell, const char16_t *text)
{
    if (text == nullptr || text[0] == 0) {
        CellSetNull(h, cell);
        return;
    }
    switch (h.dataType) {
    case kGridInteger: {
        int64_t v = 0;
        if (ParseChoiceOrInteger(h, text, &v))
            CellSetInteger(h, cell, v);
        else
            CellSetNull(h, cell);
        break;
    }
    case kGridDouble: {
        int64_t v = 0;
        double d = 0;
        if (IsMaskColumn(h) || h.cellKind == kCellCombo || h.cellKind == kCellRadio) {
            if (ParseChoiceOrInteger(h, text, &v))
                CellSetDouble(h, cell, static_cast<double>(v));
            else
                CellSetNull(h, cell);
        } else {
            GetStrDouble(&d, text);
            CellSetDouble(h, cell, d);
        }
        break;
    }
    case kGridDateTime: {
        DATETIME_t t = {1900, 1, 1, 0, 0, 0, 0};
        if (ParseTimeEx(&t, text, h.mapper) != 0)
            CellSetTime(h, cell, t);
        else
            CellSetNull(h, cell);
        break;
    }
    case kGridText: {
        std::vector<char16_t> value;
        if (ParseTextValue(h, text, &value) && value[0] != 0)
            CellSetTextValue(h, cell, value.data(), Strlen(value.data()));
        else
            CellSetNull(h, cell);
        break;
    }
    default:
        CellSetNull(h, cell);
        break;
    }
}

void CellRebuildText(const XGB_HEADER &h, XSuberNode *cell)
{
    if (cell->isNull) {
        CellSetNull(h, cell);
        return;
    }
    FreeDisplay(h, cell);
    Display(h, cell);
}

void CellFree(const XGB_HEADER &h, XSuberNode *cell)
{
    FreeDisplay(h, cell);
    FreeValue(h, cell);
}

double CellNumber(const XGB_HEADER &h, const XSuberNode *cell)
{
    if (cell->isNull)
        return 0;
    if (h.dataType == kGridInteger)
        return static_cast<double>(cell->value.integer);
    if (h.dataType == kGridDouble)
        return cell->value.floater;
    return 0;
}

unsigned CutLength(const char16_t *text, unsigned max)
{
    unsigned n = 0;
    while (n < max && text[n] != 0)
        ++n;
    if (n == max && n > 0 && text[n] != 0 && IsHighSurrogate(text[n - 1]))
        --n;
    return n;
}

unsigned CopyCut(char16_t *out, const char16_t *text, unsigned size)
{
    if (out == nullptr || size == 0)
        return 0;
    const unsigned n = text != nullptr ? CutLength(text, size - 1) : 0;
    for (unsigned i = 0; i < n; ++i)
        out[i] = text[i];
    out[n] = 0;
    return n;
}
