// A grid-like frame, 1280 x 800 with 38 rows of 10 text cells (mixed Chinese and ASCII),
// row fills, right and bottom cell borders and a header row, painted through XPainter the
// way the grid paints it, against the same drawing done with raw Cairo and PangoCairo
// calls. Both draw on a 1280 x 800 ARGB32 surface with the pinned font configuration.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pagekit/core/style_desc.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kColumns = 10;
constexpr int kRows = 38;
constexpr int kColumnWidth = kWidth / kColumns;
constexpr int kRowHeight = 21;
constexpr uint32_t kBorderColor = 0xC0C0C0;
constexpr uint32_t kHeaderBack = 0xF0E8E0;
constexpr uint32_t kOddBack = 0xFAF6F2;
constexpr uint32_t kEvenBack = 0xFFFFFF;
constexpr uint32_t kTextColor = 0x202020;
constexpr uint32_t kLayoutLeft = 0x48; // single line, vertically middle
constexpr uint32_t kLayoutRight = 0x49;

// The project's font configuration, found from this file's own path (the build passes
// sources by absolute path).
struct PinnedFontConfig
{
    PinnedFontConfig()
    {
        std::string root = __FILE__;
        size_t at = root.rfind("bench/");
        if (at == std::string::npos)
            return;
        root.erase(at);
        setenv("FONTCONFIG_FILE", (root + "platform/panekit/fonts/fonts.conf").c_str(), 1);
    }
};
const PinnedFontConfig pinned;

struct Cell
{
    BOUND_t box;
    std::u16string text;
    std::string utf8;
    uint32_t layout;
    uint32_t back;
};

std::string ToUtf8(const std::u16string &text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Digits(int n)
{
    std::u16string out;
    std::string s = std::to_string(n);
    for (char c : s)
        out += char16_t(c);
    return out;
}

// Column texts: a header and a body text that the row number completes.
struct ColumnDef
{
    const char16_t *title;
    const char16_t *body;
    bool right;
};

constexpr ColumnDef kColumnDefs[kColumns] = {
    {u"订单编号", u"SO-2024-", false},
    {u"客户名称", u"北京中关村科技有限公司 ", false},
    {u"联系人", u"Zhang San 张三 #", false},
    {u"下单时间", u"2024-05-17 14:", false},
    {u"金额", u"¥12,345.", true},
    {u"状态", u"已审核 OK ", false},
    {u"数量", u"Qty 1,250 件 ", true},
    {u"备注", u"加急 urgent delivery ", false},
    {u"地址", u"上海市浦东新区 Road ", false},
    {u"经办人", u"李四 Li Si ", false},
};

std::vector<Cell> MakeCells()
{
    std::vector<Cell> cells;
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kColumns; ++col) {
            const ColumnDef &def = kColumnDefs[col];
            Cell cell;
            cell.box = BOUND_t{col * kColumnWidth, row * kRowHeight, kColumnWidth, kRowHeight};
            cell.text = row == 0 ? def.title : def.body + Digits(row * 37 % 100);
            cell.utf8 = ToUtf8(cell.text);
            cell.layout = row == 0 ? 0x4A : (def.right ? kLayoutRight : kLayoutLeft);
            cell.back = row == 0 ? kHeaderBack : (row % 2 != 0 ? kOddBack : kEvenBack);
            cells.push_back(cell);
        }
    return cells;
}

const std::vector<Cell> &Cells()
{
    static const std::vector<Cell> cells = MakeCells();
    return cells;
}

// The cell style: right and bottom borders, 1 pixel solid, and the default font.
XStyleDesc MakeCellStyle()
{
    XStyleDesc style{};
    style.opacity = -1;
    style.backWord = kStyleUnsetBackground;
    style.backColor = kStyleUnsetWord;
    for (int side = 0; side < 4; ++side) {
        style.margin[side] = kStyleUnsetSpace;
        style.padding[side] = kStyleUnsetSpace;
        style.border[side] = 0x11;
        style.borderColor[side] = kBorderColor;
        style.radius[side] = kStyleUnsetRadius;
    }
    style.layoutWord = kStyleUnsetWord;
    style.stateWord = kStyleUnsetWord;
    style.width = style.height = kStyleUnsetWord;
    style.fontSize = 12;
    style.textColor = kTextColor;
    style.fontFamily = const_cast<char16_t *>(u"宋体");
    return style;
}

// ---- through XPainter ----------------------------------------------------------------------

// Cell borders: the style's right and bottom sides (DrawBorder with side mask 0x1100, as
// the grid draws its cells), or two 1-pixel lines of line code 16 drawn by the core.
enum class Borders { Style, Lines };

void PaintWithPainter(cairo_surface_t *surface, const XStyleDesc &style, Borders borders)
{
    XPainter painter(surface, nullptr);
    painter.SetFonter(&style);
    painter.SetTextColor(kTextColor);
    painter.SetLineStyle(kLineSolid1, kBorderColor);
    for (const Cell &cell : Cells()) {
        const BOUND_t &b = cell.box;
        painter.FillRect(&b, cell.back);
        if (borders == Borders::Style) {
            painter.DrawBorder(&style, &b, kSideMaskRight | kSideMaskBottom);
        } else {
            painter.DrawLine(b.x + b.width - 1, b.y, b.x + b.width - 1, b.y + b.height);
            painter.DrawLine(b.x, b.y + b.height - 1, b.x + b.width - 1, b.y + b.height - 1);
        }
        BOUND_t inner{b.x + 3, b.y + 1, b.width - 7, b.height - 2};
        painter.DrawText(cell.text.data(), static_cast<int>(cell.text.size()), &inner, cell.layout);
    }
}

void BM_GridThroughPainter(benchmark::State &state, Borders borders)
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    XStyleDesc style = MakeCellStyle();
    PaintWithPainter(surface, style, borders); // fonts and caches warmed outside the timing
    for (auto _ : state) {
        PaintWithPainter(surface, style, borders);
        cairo_surface_flush(surface);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
    cairo_surface_destroy(surface);
}
BENCHMARK_CAPTURE(BM_GridThroughPainter, StyleBorders, Borders::Style)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GridThroughPainter, LineBorders, Borders::Lines)
    ->Unit(benchmark::kMillisecond);

// ---- raw Cairo and PangoCairo ------------------------------------------------------------------

void SetRgb(cairo_t *cr, uint32_t color)
{
    cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                         ((color >> 16) & 0xFF) / 255.0);
}

void PaintRaw(cairo_t *cr, PangoLayout *layout)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    for (const Cell &cell : Cells()) {
        const BOUND_t &b = cell.box;
        cairo_rectangle(cr, b.x, b.y, b.width, b.height);
        SetRgb(cr, cell.back);
        cairo_fill(cr);
        cairo_rectangle(cr, b.x + b.width - 1, b.y, 1, b.height);
        cairo_rectangle(cr, b.x, b.y + b.height - 1, b.width, 1);
        SetRgb(cr, kBorderColor);
        cairo_fill(cr);

        int x = b.x + 3, y = b.y + 1, w = b.width - 7, h = b.height - 2;
        cairo_save(cr);
        cairo_rectangle(cr, x, y, w, h);
        cairo_clip(cr);
        pango_layout_set_text(layout, cell.utf8.data(), static_cast<int>(cell.utf8.size()));
        int tw, th;
        pango_layout_get_pixel_size(layout, &tw, &th);
        int align = cell.layout & 3;
        int tx = align == 1 ? x + w - tw : (align == 2 ? x + (w - tw) / 2 : x);
        cairo_move_to(cr, tx, y + (h - th) / 2);
        SetRgb(cr, kTextColor);
        pango_cairo_show_layout(cr, layout);
        cairo_restore(cr);
    }
}

void BM_GridRawCairo(benchmark::State &state)
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t *cr = cairo_create(surface);
    PangoLayout *layout = pango_cairo_create_layout(cr);
    PangoFontDescription *font = pango_font_description_from_string("宋体");
    pango_font_description_set_absolute_size(font, 12 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    PaintRaw(cr, layout);
    for (auto _ : state) {
        PaintRaw(cr, layout);
        cairo_surface_flush(surface);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_GridRawCairo)->Unit(benchmark::kMillisecond);

} // namespace
