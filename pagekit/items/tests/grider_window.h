#pragma once
// A grid in a page window on the virtual display, for the tests that click, type and
// paint.

#include <string>

#include "pagekit/core/page_window.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/page_grider.h"
#include "pagekit/items/tests/grider_fixture.h"
#include "platform/panekit/virtual/virtual_display.h"

// A window with one grid of text columns filling it.
struct Form
{
    XPageWindow window;
    XPageGrider *grid = new XPageGrider;
    GridRecorder notes;

    explicit Form(uint32_t options = 0, int width = 400, int height = 200)
    {
        grid->extraFlags |= options;
        grid->itemFlags |= kItemAbsolute;
        Placed(grid, 0, 0, width, height);
        notes.Attach(grid);
        window.GetRooter()->AddItem(grid);
    }
    void Columns(unsigned count, uint16_t wide = 80)
    {
        for (unsigned i = 0; i < count; ++i) {
            XGB_HEADER h = Column(kGridText, 32);
            h.wide = wide;
            grid->InsertHeader(i, &h);
        }
    }
    // Rows of texts "r<row>c<col>".
    void Rows(unsigned count)
    {
        grid->SetUpdateMode(1);
        for (unsigned r = 0; r < count; ++r) {
            void *row = grid->InsertMatter(grid->GetRowNumber(), nullptr, nullptr);
            for (unsigned c = 0; c < grid->GetColNumber(); ++c) {
                std::u16string text = u"r" + ToU16(r) + u"c" + ToU16(c);
                grid->SetItemText(row, c, text.c_str());
            }
        }
        grid->SetUpdateMode(0);
        grid->FlushUpdate();
    }
    // A body point (body coordinates) in window coordinates.
    POINT_t At(int x, int y) const
    {
        BOUND_t b;
        grid->GetPlace(kPlaceBodyWindow, &b);
        return POINT_t{b.x + x, b.y + y};
    }
    static std::u16string ToU16(unsigned n)
    {
        std::u16string s;
        const std::string a = std::to_string(n);
        for (char c : a)
            s.push_back(static_cast<char16_t>(c));
        return s;
    }
};

inline void Click(XVirtualDisplay *display, Form &f, int x, int y, uint32_t button = 0)
{
    const POINT_t p = f.At(x, y);
    display->Move(&f.window, p.x, p.y);
    display->Click(&f.window, p.x, p.y, button);
    display->Advance(1000); // never a double click
}
