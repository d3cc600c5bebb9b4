// Line functions of the text engine: a text as one row, the way an edit draws a row, and
// the places of its positions.
#include <algorithm>
#include <vector>

#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/text/text_layout.h"
#include "platform/panekit/text/text_layout_cache.h"
#include "platform/panekit/text/text_paint.h"

namespace {

constexpr uint32_t kLineMode = kPrepareExpandTabs | kPrepareOneRow;
// Pixels beyond this are far outside any row; keeps pixel-to-Pango conversions in range.
constexpr int kMaxPixel = 1 << 20;

// The cursor position at or before byte index (a grapheme cluster's start).
int SnapToCursor(PangoLayout *pl, const XTextUtf8Map &map, int index)
{
    const char *bytes = map.Bytes();
    int chars = 0;
    const PangoLogAttr *attrs = pango_layout_get_log_attrs_readonly(pl, &chars);
    auto ci = static_cast<int>(g_utf8_pointer_to_offset(bytes, bytes + index));
    ci = std::min(ci, chars - 1);
    while (ci > 0 && !attrs[ci].is_cursor_position)
        --ci;
    return static_cast<int>(g_utf8_offset_to_pointer(bytes, ci) - bytes);
}

// Byte index after the `trailing` characters that follow index.
int SkipChars(const XTextUtf8Map &map, int index, int trailing)
{
    const char *bytes = map.Bytes();
    const char *p = bytes + index;
    for (int i = 0; i < trailing && p < bytes + map.ByteLength(); ++i)
        p = g_utf8_next_char(p);
    return static_cast<int>(p - bytes);
}

// Byte indexes of the row's cursor positions, its start and end included.
void CursorIndexes(PangoLayout *pl, const XTextUtf8Map &map, std::vector<int> &out)
{
    int chars = 0;
    const PangoLogAttr *attrs = pango_layout_get_log_attrs_readonly(pl, &chars);
    const char *bytes = map.Bytes();
    const char *p = bytes;
    out.clear();
    out.push_back(0);
    for (int ci = 1; ci < chars && p < bytes + map.ByteLength(); ++ci) {
        p = g_utf8_next_char(p);
        if (attrs[ci].is_cursor_position)
            out.push_back(static_cast<int>(p - bytes));
    }
    if (out.back() != map.ByteLength())
        out.push_back(map.ByteLength());
}

// Right edge, in Pango units, of everything the row draws for bytes [0, end).
int PrefixRight(PangoLayoutLine *line, int end)
{
    if (end <= 0)
        return 0;
    int *ranges = nullptr;
    int count = 0;
    pango_layout_line_get_x_ranges(line, 0, end, &ranges, &count);
    int right = 0;
    for (int i = 0; i < count; ++i)
        right = std::max(right, ranges[2 * i + 1]);
    g_free(ranges);
    return right;
}

// Pango x of a byte index in the row (the row's width at the end).
int IndexToX(PangoLayoutLine *line, int index)
{
    int x = 0;
    pango_layout_line_index_to_x(line, index, FALSE, &x);
    return x;
}

} // namespace

int XTextLayout::DrawTextLine(cairo_t *cr, const XFontHandle *font, uint32_t color,
                              const char16_t *text, int len, int x, int y)
{
    len = TextUnitLength(text, len);
    if (cr == nullptr || len == 0 || IsTextColorNone(color))
        return 0;
    if (font == nullptr)
        font = GetDefaultFontHandle();
    PangoLayout *pl = Cache().Prepare(cr, font, text, len, kLineMode, 0);
    PangoLayoutLine *line = pango_layout_get_line_readonly(pl, 0);
    PangoRectangle logical;
    pango_layout_line_get_extents(line, nullptr, &logical);
    const int width = PangoCeilPixels(logical.width);
    XTextPaint paint(cr, color);
    paint.ShowLine(line, x, double(y) + font->ascent, x, y, width, font->height);
    return width;
}

int XTextLayout::CalcLineSize(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                              SIZE_t *size)
{
    len = TextUnitLength(text, len);
    if (font == nullptr)
        font = GetDefaultFontHandle();
    PangoLayout *pl = Cache().Prepare(cr, font, text, len, kLineMode, 0);
    PangoRectangle logical;
    pango_layout_line_get_extents(pango_layout_get_line_readonly(pl, 0), nullptr, &logical);
    const int width = PangoCeilPixels(logical.width);
    if (size != nullptr) {
        size->cx = width;
        size->cy = font->height;
    }
    return width;
}

int XTextLayout::CalcTextRange(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                               int width, int *used)
{
    len = TextUnitLength(text, len);
    if (used != nullptr)
        *used = 0;
    if (len == 0 || width < 0)
        return 0;
    XTextLayoutCache &cache = Cache();
    PangoLayout *pl = cache.Prepare(cr, font, text, len, kLineMode, 0);
    PangoLayoutLine *line = pango_layout_get_line_readonly(pl, 0);
    const int limit = std::min(width, kMaxPixel) * PANGO_SCALE;
    // The drawn extent of a start only grows with its length, also where right-to-left
    // runs put a later character further left: search the longest start that fits.
    std::vector<int> cursors;
    CursorIndexes(pl, cache.map, cursors);
    size_t lo = 0;
    size_t hi = cursors.size() - 1;
    while (lo < hi) {
        const size_t mid = (lo + hi + 1) / 2;
        if (PrefixRight(line, cursors[mid]) <= limit)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (used != nullptr)
        *used = PangoCeilPixels(PrefixRight(line, cursors[lo]));
    return cache.map.UnitOfByte(cursors[lo]);
}

int XTextLayout::CalcLineRange(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                               int width, int *ends, int maxEnds)
{
    len = TextUnitLength(text, len);
    XTextLayoutCache &cache = Cache();
    PangoLayout *pl = cache.Prepare(cr, font, text, len, kPrepareExpandTabs | kPrepareWrap, width);
    int rows = 0;
    for (GSList *l = pango_layout_get_lines_readonly(pl); l != nullptr; l = l->next) {
        if (rows > 0 && rows <= maxEnds && ends != nullptr) {
            auto *line = static_cast<PangoLayoutLine *>(l->data);
            ends[rows - 1] = cache.map.UnitOfByte(line->start_index);
        }
        ++rows;
    }
    rows = std::max(rows, 1);
    if (rows <= maxEnds && ends != nullptr)
        ends[rows - 1] = len;
    return rows;
}

int XTextLayout::CalcLinePlace(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                               int pos)
{
    len = TextUnitLength(text, len);
    if (len == 0 || pos <= 0)
        return 0;
    XTextLayoutCache &cache = Cache();
    PangoLayout *pl = cache.Prepare(cr, font, text, len, kLineMode, 0);
    int index = cache.map.ByteOfUnit(pos);
    if (index < cache.map.ByteLength())
        index = SnapToCursor(pl, cache.map, index);
    return PANGO_PIXELS(IndexToX(pango_layout_get_line_readonly(pl, 0), index));
}

int XTextLayout::TestLinePlace(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                               int x)
{
    len = TextUnitLength(text, len);
    if (len == 0 || x <= 0)
        return 0;
    XTextLayoutCache &cache = Cache();
    PangoLayout *pl = cache.Prepare(cr, font, text, len, kLineMode, 0);
    int index = 0;
    int trailing = 0;
    pango_layout_line_x_to_index(pango_layout_get_line_readonly(pl, 0),
                                 std::min(x, kMaxPixel) * PANGO_SCALE, &index, &trailing);
    return cache.map.UnitOfByte(SkipChars(cache.map, index, trailing));
}

int XTextLayout::FindWordEdge(const char16_t *text, int len, int pos, int forward)
{
    len = TextUnitLength(text, len);
    pos = std::clamp(pos, 0, len);
    if (len == 0)
        return 0;
    XTextLayoutCache &cache = Cache();
    PangoLayout *pl = cache.Prepare(nullptr, nullptr, text, len, kLineMode, 0);
    int chars = 0;
    const PangoLogAttr *attrs = pango_layout_get_log_attrs_readonly(pl, &chars);
    const char *bytes = cache.map.Bytes();
    // Character offsets: attrs has one entry per character and one for the end.
    auto offsetOf = [&](int unit) {
        return static_cast<int>(
            g_utf8_pointer_to_offset(bytes, bytes + cache.map.ByteOfUnit(unit)));
    };
    auto unitOf = [&](int offset) {
        return cache.map.UnitOfByte(
            static_cast<int>(g_utf8_offset_to_pointer(bytes, offset) - bytes));
    };
    const int last = chars - 1;
    int ci = std::min(offsetOf(pos), last);
    if (forward != 0) {
        // Past the surrogate pair or cluster pos may sit inside.
        while (++ci < last && !attrs[ci].is_word_end)
            ;
        return ci >= last ? len : unitOf(ci);
    }
    if (unitOf(ci) < pos)
        ++ci; // pos was inside a character: its start counts as before pos
    while (--ci > 0 && !attrs[ci].is_word_start)
        ;
    return ci <= 0 ? 0 : unitOf(ci);
}
