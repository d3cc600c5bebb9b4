// Matter records against python3's struct module: for random column layouts and values,
// the image struct.pack('<...') and the UTF-16LE codec make equals GetMatter's output, and
// loads through SetMatter into the same cells.

#include <gtest/gtest.h>

#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "pagekit/items/tests/grider_fixture.h"
#include "pagekit/items/tests/oracle_run.h"
#include "platform/devkit/native_path.h"

namespace {

struct ColumnCode
{
    uint16_t type;
    uint16_t size;
    std::string name; // the oracle's column code
};

std::string Utf8(const std::u16string &s)
{
    return devkit::Utf16ToUtf8(s.data(), s.size());
}

std::string Hex(const unsigned char *p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

// Runs the oracle on input; one output line per row.
std::vector<std::string> Oracle(const std::string &input)
{
    return RunOnInput("/usr/bin/python3 " ZEP_TEST_DIR "/grider_record_oracle.py", input);
}

std::vector<unsigned char> FromHex(const std::string &hex)
{
    std::vector<unsigned char> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

class Generator
{
public:
    explicit Generator(uint32_t seed) : m_rng(seed) {}

    unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(m_rng); }

    ColumnCode Column()
    {
        switch (Below(6)) {
        case 0:
            return {kGridInteger, 2, "i2"};
        case 1:
            return {kGridInteger, 4, "i4"};
        case 2:
            return {kGridInteger, 8, "i8"};
        case 3:
            return {kGridDouble, 8, "d"};
        case 4:
            return {kGridDateTime, 8, "dt"};
        default: {
            const auto units = static_cast<uint16_t>(1 + Below(12));
            return {kGridText, units, "t" + std::to_string(units)};
        }
        }
    }

    int64_t Integer(unsigned size)
    {
        const int64_t edges[] = {0,         -1,        1,         INT16_MIN, INT16_MAX,
                                 INT32_MIN, INT32_MAX, INT64_MIN, INT64_MAX};
        int64_t v = Below(3) == 0 ? edges[Below(9)] : static_cast<int64_t>(m_rng() << 32 | m_rng());
        if (size == 2)
            return static_cast<int16_t>(v);
        if (size == 4)
            return static_cast<int32_t>(v);
        return v;
    }

    double Double()
    {
        for (;;) {
            const uint64_t bits = static_cast<uint64_t>(m_rng()) << 32 | m_rng();
            if (((bits >> 52) & 0x7FF) != 0x7FF) // finite: NaN payloads are not compared
                return std::bit_cast<double>(bits);
        }
    }

    std::u16string Text(unsigned units)
    {
        static const char16_t *pieces[] = {u"a", u"Z", u"中", u"文", u"😀", u"𠀀", u" ", u"é"};
        std::u16string s;
        const unsigned n = Below(units + 4);
        while (s.size() < n)
            s += pieces[Below(8)];
        return s;
    }

    DATETIME_t Time()
    {
        return DATETIME_t{
            static_cast<uint16_t>(1900 + Below(300)), static_cast<uint8_t>(1 + Below(12)),
            static_cast<uint8_t>(1 + Below(28)),      static_cast<uint8_t>(Below(24)),
            static_cast<uint8_t>(Below(60)),          static_cast<uint8_t>(Below(60)),
            static_cast<uint8_t>(Below(100))};
    }

private:
    std::mt19937 m_rng;
};

TEST(GriderRecordOracle, RandomLayoutsMatchStructPack)
{
    Generator gen(20240305);
    for (int layout = 0; layout < 40; ++layout) {
        SCOPED_TRACE(layout);
        XPageGrider grid;
        std::vector<ColumnCode> columns(1 + gen.Below(8));
        std::string input;
        for (size_t i = 0; i < columns.size(); ++i) {
            columns[i] = gen.Column();
            const XGB_HEADER h = Column(columns[i].type, columns[i].size, kCellPlain);
            grid.InsertHeader(static_cast<unsigned>(i), &h);
            input += columns[i].name + (i + 1 < columns.size() ? " " : "\n");
        }
        const unsigned rows = 12;
        std::vector<std::vector<std::u16string>> texts(rows);
        for (unsigned r = 0; r < rows; ++r) {
            void *row = grid.InsertMatter(r, nullptr, nullptr);
            texts[r].resize(columns.size());
            for (size_t i = 0; i < columns.size(); ++i) {
                const auto col = static_cast<unsigned>(i);
                std::string token = "-";
                XVarMeter v = {kVarNull, 0, {}};
                const ColumnCode &s = columns[i];
                if (gen.Below(6) != 0) {
                    if (s.type == kGridInteger) {
                        v.type = kVarInteger;
                        v.value.integer = gen.Integer(s.size);
                        token = std::to_string(v.value.integer);
                    } else if (s.type == kGridDouble) {
                        v.type = kVarFloater;
                        v.value.floater = gen.Double();
                        char buf[32];
                        snprintf(buf, sizeof buf, "%llx",
                                 static_cast<unsigned long long>(
                                     std::bit_cast<uint64_t>(v.value.floater)));
                        token = buf;
                    } else if (s.type == kGridDateTime) {
                        v.type = kVarDateTime;
                        v.value.time = gen.Time();
                        const DATETIME_t &t = v.value.time;
                        std::ostringstream o;
                        o << t.wYear << ':' << +t.bMonth << ':' << +t.bDay << ':' << +t.bHour << ':'
                          << +t.bMinute << ':' << +t.bSecond << ':' << +t.bMilli;
                        token = o.str();
                    } else {
                        texts[r][i] = gen.Text(s.size);
                        v.type = kVarText;
                        v.value.text = texts[r][i].c_str();
                        const std::string utf8 = Utf8(texts[r][i]);
                        token = utf8.empty()
                                    ? "."
                                    : Hex(reinterpret_cast<const unsigned char *>(utf8.data()),
                                          utf8.size());
                    }
                }
                ASSERT_TRUE(grid.SetSuber(row, col, &v));
                input += token + (i + 1 < columns.size() ? " " : "\n");
            }
        }
        const std::vector<std::string> lines = Oracle(input);
        ASSERT_EQ(lines.size(), rows);
        for (unsigned r = 0; r < rows; ++r) {
            SCOPED_TRACE(r);
            std::vector<unsigned char> record(grid.GetMatterSize());
            std::vector<unsigned char> nulls(columns.size());
            void *row = grid.GetItemMatter(r);
            ASSERT_TRUE(grid.GetMatter(row, record.data(), nulls.data()));
            const std::string expected = lines[r];
            EXPECT_EQ(Hex(record.data(), record.size()) + " " + Hex(nulls.data(), nulls.size()),
                      expected);

            // The oracle's bytes, copied to an odd address, load into the same cells.
            const size_t space = expected.find(' ');
            const std::vector<unsigned char> bytes = FromHex(expected.substr(0, space));
            const std::vector<unsigned char> map = FromHex(expected.substr(space + 1));
            std::vector<unsigned char> odd(bytes.size() + 1);
            std::memcpy(odd.data() + 1, bytes.data(), bytes.size());
            void *loaded = grid.InsertMatter(0xFFFFFFFF, nullptr, nullptr);
            ASSERT_TRUE(grid.SetMatter(loaded, odd.data() + 1, map.data()));
            for (size_t i = 0; i < columns.size(); ++i) {
                const auto col = static_cast<unsigned>(i);
                if (columns[i].type != kGridText) {
                    EXPECT_EQ(CellImage(grid, loaded, col), CellImage(grid, row, col)) << i;
                    continue;
                }
                XVarMeter a = {}, b = {};
                grid.GetSuber(row, col, &a);
                grid.GetSuber(loaded, col, &b);
                ASSERT_EQ(a.type, b.type);
                if (a.type != kVarText)
                    continue;
                const std::u16string full = a.value.text, cut = b.value.text;
                EXPECT_LT(cut.size(), columns[i].size);
                EXPECT_EQ(full.compare(0, cut.size(), cut), 0);
                if (full.size() < columns[i].size) {
                    EXPECT_EQ(cut, full);
                }
            }
            std::vector<unsigned char> again(grid.GetMatterSize());
            grid.GetMatter(loaded, again.data(), nullptr);
            EXPECT_EQ(again, bytes);
            grid.RemoveMatter(loaded);
        }
    }
}

} // namespace
