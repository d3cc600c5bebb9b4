// The grid's clipboard text against python3's csv module (excel-tab rows ending in
// "\r\n"): what the grid copies reads back cell for cell, and what csv writes pastes as
// the same rows.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "pagekit/items/page_grider.h"
#include "pagekit/items/tests/grider_fixture.h"
#include "pagekit/items/tests/oracle_run.h"
#include "platform/devkit/native_path.h"

namespace {

std::string Hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string FromHex(const std::string &hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<std::string> Oracle(const char *mode, const std::string &input)
{
    return RunOnInput(
        std::string("/usr/bin/python3 " ZEP_TEST_DIR "/grider_clip_oracle.py ") + mode, input);
}

// Random cell texts with the characters that need marks, quotes and CJK text.
std::u16string RandomText(std::mt19937 &rng)
{
    static const char16_t pieces[] = u"ab \t\r\n\"'金额,;x";
    std::u16string s;
    const unsigned n = rng() % 6;
    for (unsigned i = 0; i < n; ++i)
        s.push_back(pieces[rng() % (sizeof pieces / sizeof pieces[0] - 1)]);
    return s;
}

std::string Utf8Of(const std::u16string &s)
{
    return devkit::Utf16ToUtf8(s.data(), s.size());
}

TEST(GridClipOracle, CopiedRowsReadBackThroughCsv)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        XPageGrider grid;
        grid.extraFlags |= kGridMultiSelect;
        const unsigned cols = 1 + rng() % 4;
        for (unsigned c = 0; c < cols; ++c) {
            XGB_HEADER h = Column(kGridText, 16);
            grid.InsertHeader(c, &h);
        }
        const unsigned rows = 1 + rng() % 5;
        std::vector<std::string> expected;
        for (unsigned r = 0; r < rows; ++r) {
            void *row = grid.InsertMatter(grid.GetRowNumber(), nullptr, nullptr);
            std::string line;
            for (unsigned c = 0; c < cols; ++c) {
                const std::u16string text = RandomText(rng);
                grid.SetItemText(row, c, text.c_str());
                const std::string u8 = Utf8Of(Display(grid, row, c));
                line += (c > 0 ? " " : "") + (u8.empty() ? std::string("-") : Hex(u8));
            }
            expected.push_back(line);
            grid.SetItemChoice(row, 1);
        }
        std::u16string copy;
        grid.GetCopyText(0, &copy);
        EXPECT_EQ(expected, Oracle("read", Utf8Of(copy))) << round;

        // Written by csv, pasted as new rows: the same cells.
        std::string table;
        for (const std::string &line : expected)
            table += line + "\n";
        const std::vector<std::string> written = Oracle("write", table);
        ASSERT_EQ(1u, written.size());
        const std::string clip = FromHex(written[0]);
        XPageGrider other;
        for (unsigned c = 0; c < cols; ++c) {
            XGB_HEADER h = Column(kGridText, 16);
            other.InsertHeader(c, &h);
        }
        const std::u16string units = devkit::Utf8ToUtf16(clip.data(), clip.size());
        other.OnPasteGrider(0, units.c_str());
        std::vector<std::string> pasted;
        for (void *r = other.GetNextItem(nullptr); r != nullptr; r = other.GetNextItem(r)) {
            std::string line;
            for (unsigned c = 0; c < cols; ++c) {
                const std::string u8 = Utf8Of(Display(other, r, c));
                line += (c > 0 ? " " : "") + (u8.empty() ? std::string("-") : Hex(u8));
            }
            pasted.push_back(line);
        }
        EXPECT_EQ(expected, pasted) << round;
    }
}

} // namespace
