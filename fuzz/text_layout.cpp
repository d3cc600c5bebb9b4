// Feeds arbitrary UTF-16 (lone surrogates, zeros, breaks, tabs, '&' included) and widths
// through the text engine's range, place and drawing functions, and checks that every
// position it returns lies in the text and never between the halves of a surrogate pair.
//
// Input: int16 width (little-endian), layout byte, font byte, then UTF-16LE units. A font
// byte with bit 0x80 takes the next 76 bytes as a stored font record instead of a fixed
// font: it is read, turned into a handle, stored again and read back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <cairo.h>

#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/text/font_record.h"
#include "platform/panekit/text/text_layout.h"

namespace {

constexpr int kMaxUnits = 400;
constexpr int kMaxPlaces = 48;

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

bool IsBoundary(const std::vector<char16_t> &text, int pos)
{
    if (pos < 0 || pos > static_cast<int>(text.size()))
        return false;
    if (pos == 0 || pos == static_cast<int>(text.size()))
        return true;
    const char16_t before = text[size_t(pos - 1)];
    const char16_t at = text[size_t(pos)];
    return !(before >= 0xD800 && before <= 0xDBFF && at >= 0xDC00 && at <= 0xDFFF);
}

const XFontHandle *PickFont(uint8_t selector)
{
    static const XFontHandle *fonts[] = {
        GetDefaultFontHandle(),
        CreateFontHandle(u"宋体", -1, 1, 0),
        CreateFontHandle(u"SimSun", -1, 16, kFontFlagBold | kFontFlagUnderline),
        CreateFontHandle(u"NoSuchFamily", -1, 24, kFontFlagItalic | kFontFlagLineThrough),
    };
    return fonts[selector % 4];
}

// A handle from the stored record at data (76 bytes), after checking that the record reads
// back unchanged and the handle's fields are normalised.
XFontHandle *FontFromRecord(const uint8_t *data)
{
    XFontRecord_t record;
    Check(LoadFontRecord(&record, data, kFontRecordBytes) == 1);
    uint8_t stored[kFontRecordBytes];
    Check(StoreFontRecord(&record, stored, sizeof stored) == kFontRecordBytes);
    Check(std::memcmp(stored, data, kFontRecordBytes) == 0);
    XFontHandle *font = CreateFontHandle(&record);
    Check(font->pixelSize >= kFontMinPixelSize && font->pixelSize <= kFontMaxPixelSize);
    Check((font->flags & ~uint32_t(kFontFlagMask)) == 0 && font->height >= 1);
    Check(font->avgCharWidth >= 1 && font->family[0] != 0);
    XFontRecord_t back;
    GetFontRecord(font, record.color, &back);
    Check(GetFontRecordFaceLength(&back) <= kFontRecordFaceUnits);
    return font;
}

void CheckRows(XTextLayout &engine, const XFontHandle *font, const std::vector<char16_t> &text,
               int width)
{
    const int len = static_cast<int>(text.size());
    const int rows = engine.CalcLineRange(nullptr, font, text.data(), len, width, nullptr, 0);
    Check(rows >= 1 && rows <= len + 1);
    std::vector<int> ends(size_t(rows), -1);
    Check(engine.CalcLineRange(nullptr, font, text.data(), len, width, ends.data(), rows) == rows);
    int last = 0;
    for (int end : ends) {
        Check(end >= last && IsBoundary(text, end));
        last = end;
    }
    Check(ends.back() == len);
}

void CheckPlaces(XTextLayout &engine, const XFontHandle *font, const std::vector<char16_t> &text,
                 int width)
{
    const int len = static_cast<int>(text.size());
    const int lineWidth = engine.CalcLineSize(nullptr, font, text.data(), len, nullptr);
    Check(lineWidth >= 0);
    const int step = len / kMaxPlaces + 1;
    for (int i = 0; i <= len; i += step) {
        const int x = engine.CalcLinePlace(nullptr, font, text.data(), len, i);
        Check(x >= 0 && x <= lineWidth);
        Check(IsBoundary(text, engine.TestLinePlace(nullptr, font, text.data(), len, x)));
    }
    for (int x : {-width, width, width * 7, lineWidth, lineWidth + 1})
        Check(IsBoundary(text, engine.TestLinePlace(nullptr, font, text.data(), len, x)));
    int used = -1;
    const int fit = engine.CalcTextRange(nullptr, font, text.data(), len, width, &used);
    Check(IsBoundary(text, fit) && used >= 0 && (fit == 0 || used <= width));
}

void CheckDrawing(XTextLayout &engine, const XFontHandle *font, const std::vector<char16_t> &text,
                  int width, uint32_t layout)
{
    const int len = static_cast<int>(text.size());
    SIZE_t size{-1, -1};
    Check(engine.CalcTextSize(nullptr, font, text.data(), len, layout, width, &size) >= 1);
    Check(size.cx >= 0 && size.cy >= 0);
    static cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 32);
    cairo_t *cr = cairo_create(surface);
    const BOUND_t bound{-3, 2, width, 28};
    engine.DrawText(cr, font, 0x123456, text.data(), len, &bound, layout);
    engine.DrawTextLine(cr, font, 0, text.data(), len, width % 50, 3);
    cairo_destroy(cr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    int16_t width16;
    std::memcpy(&width16, data, 2);
    const int width = width16;
    const uint32_t layout = data[2];
    size_t at = 4;
    XFontHandle *recordFont = nullptr;
    if ((data[3] & 0x80) != 0 && size >= at + kFontRecordBytes) {
        recordFont = FontFromRecord(data + at);
        at += kFontRecordBytes;
    }
    const XFontHandle *font = recordFont != nullptr ? recordFont : PickFont(data[3]);
    std::vector<char16_t> text;
    for (size_t i = at; i + 1 < size && text.size() < kMaxUnits; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));

    static XTextLayout engine;
    CheckRows(engine, font, text, width);
    CheckPlaces(engine, font, text, width);
    CheckDrawing(engine, font, text, width, layout);
    ReleaseFontHandle(recordFont);
    return 0;
}
