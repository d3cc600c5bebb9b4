// Document images written by the archive functions against images built independently by
// python3's struct module and UTF-16LE codec from the same random values.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/archive/archive.h"
#include "test_util.h"

namespace {

std::string Hex(const uint8_t *p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

std::string UnitsHex(const std::u16string &s)
{
    std::string hex;
    for (char16_t c : s) {
        const uint8_t be[2] = {static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)};
        hex += Hex(be, 2);
    }
    return hex;
}

// Runs the oracle on the value list and returns its image in hex.
std::string Oracle(const std::string &values)
{
    const TempFolder folder;
    const std::string input = folder.File("values.txt");
    FILE *f = std::fopen(input.c_str(), "w");
    EXPECT_NE(nullptr, f);
    std::fputs(values.c_str(), f);
    std::fclose(f);
    const std::string cmd = "/usr/bin/python3 " ZEP_TEST_DIR "/archive_oracle.py < " + input;
    FILE *p = popen(cmd.c_str(), "r");
    EXPECT_NE(nullptr, p);
    std::string out;
    char buf[4096];
    while (std::fgets(buf, sizeof(buf), p) != nullptr)
        out += buf;
    EXPECT_EQ(0, pclose(p)) << "the python3 oracle failed";
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// Random text mixing ASCII, CJK, surrogate pairs, a lone surrogate and the top unit.
std::u16string RandomText(std::mt19937 &rng)
{
    static const char16_t pool[] = {u'a',   u'Z',   u' ',   u'\t',  0x4E2D, 0x6587,
                                    0xD83D, 0xDE00, 0xFFFF, 0x00E9, 0x0100, 0xDC00};
    std::u16string s;
    const size_t n = rng() % 12;
    for (size_t i = 0; i < n; ++i)
        s += pool[rng() % (sizeof(pool) / sizeof(pool[0]))];
    return s;
}

} // namespace

TEST(ArchiveOracle, RandomDocumentsMatchPythonStruct)
{
    std::mt19937 rng(20240305);
    XMemoArchive a;
    std::ostringstream values;
    for (int i = 0; i < 400; ++i) {
        switch (rng() % 7) {
        case 0: {
            const unsigned widths[] = {1, 2, 4, 8};
            const unsigned w = widths[rng() % 4];
            const uint64_t v = (uint64_t{rng()} << 32 | rng()) >> (64 - 8 * w);
            ASSERT_EQ(1, IntToDoc(&a, &v, w));
            values << "I " << w << ' ' << v << '\n';
            break;
        }
        case 1: {
            int32_t arr[3];
            for (int32_t &x : arr)
                x = static_cast<int32_t>(rng());
            ASSERT_EQ(1, IntToDoc(&a, arr, 4, 3));
            for (int32_t x : arr)
                values << "I 4 " << static_cast<uint32_t>(x) << '\n';
            break;
        }
        case 2: {
            const std::u16string s = RandomText(rng);
            ASSERT_EQ(1, StrToDoc(&a, s.c_str()));
            values << "S " << UnitsHex(s) << '\n';
            break;
        }
        case 3: {
            const std::u16string s = RandomText(rng);
            if (rng() % 4 == 0) {
                ASSERT_EQ(1, StrToDoc(&a, static_cast<const char16_t *>(nullptr)));
                values << "S -\n";
            } else if (rng() % 2 == 0) {
                ASSERT_EQ(1, StrToDoc(&a, s.c_str(), static_cast<unsigned>(s.size())));
                values << "N " << s.size() << ' ' << UnitsHex(s) << '\n';
            } else {
                ASSERT_EQ(1, WriteStrDoc(&a, s.c_str(), static_cast<unsigned>(s.size())));
                values << "W " << UnitsHex(s) << '\n';
            }
            break;
        }
        case 4: {
            SYSTIME_t t{};
            uint16_t *f = &t.wYear;
            for (int k = 0; k < 8; ++k)
                f[k] = static_cast<uint16_t>(rng());
            ASSERT_EQ(1, TimeToDoc(&a, &t));
            values << "T";
            for (int k = 0; k < 8; ++k)
                values << ' ' << f[k];
            values << '\n';
            break;
        }
        default: {
            const DATETIME_t t{static_cast<uint16_t>(rng()), static_cast<uint8_t>(rng()),
                               static_cast<uint8_t>(rng()),  static_cast<uint8_t>(rng()),
                               static_cast<uint8_t>(rng()),  static_cast<uint8_t>(rng()),
                               static_cast<uint8_t>(rng())};
            ASSERT_EQ(1, TimeToDoc(&a, &t));
            values << "D " << t.wYear << ' ' << +t.bMonth << ' ' << +t.bDay << ' ' << +t.bHour
                   << ' ' << +t.bMinute << ' ' << +t.bSecond << ' ' << +t.bMilli << '\n';
            break;
        }
        }
    }
    std::vector<uint8_t> image(a.GetMaxSize());
    a.InitReader();
    ASSERT_EQ(1, a.Read(image.data(), a.GetMaxSize()));
    const std::string expected = Oracle(values.str());
    const std::string actual = Hex(image.data(), image.size());
    ASSERT_EQ(expected.size(), actual.size());
    const auto diff = std::mismatch(expected.begin(), expected.end(), actual.begin());
    EXPECT_TRUE(diff.first == expected.end())
        << "first difference at byte " << (diff.first - expected.begin()) / 2;
}

// A described structure's document image against struct.pack of the same fields.
TEST(ArchiveOracle, StructDescMatchesPythonStruct)
{
    const XStructDesc desc[] = {{kFieldInteger, 2}, {kFieldInteger, 4},  {kFieldInteger, 8},
                                {kFieldText, 4},    {kFieldDateTime, 8}, {kFieldTime, 16}};
    uint8_t rec[2 + 4 + 8 + 8 + 8 + 16];
    const uint16_t a = 0xBEEF;
    const uint32_t b = 0xDEADBEEF;
    const uint64_t c = 0x0123456789ABCDEFull;
    const DATETIME_t dt{2024, 3, 5, 7, 8, 9, 10};
    const SYSTIME_t st{2001, 2, 3, 4, 5, 6, 0, 789};
    std::memcpy(rec, &a, 2);
    std::memcpy(rec + 2, &b, 4);
    std::memcpy(rec + 6, &c, 8);
    std::memcpy(rec + 14, u"中x\U0001F600", 8);
    std::memcpy(rec + 22, &dt, 8);
    std::memcpy(rec + 30, &st, 16);
    uint8_t doc[64];
    const unsigned n = SaveStructDesc(doc, rec, desc, 6);
    const std::string values = "I 2 48879\nI 4 3735928559\nI 8 81985529216486895\n"
                               "W 4e2d0078d83dde00\nD 2024 3 5 7 8 9 10\n"
                               "T 2001 2 3 4 5 6 0 789\n";
    EXPECT_EQ(Oracle(values), Hex(doc, n));
}
