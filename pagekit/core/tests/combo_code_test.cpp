// Code strings: reading entries, lookups by name, code and value, radio and check texts,
// the cuts at the buffer ends, and two oracles (python3's unicodedata names for the
// markers, fnmatch for the '*' and '?' patterns).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "pagekit/core/combo_code.h"
#include "pagekit/core/tests/style_util.h"

namespace {

using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

// Every entry of list as (code, name), through GetNextCombo or GetNextComboEx.
Pairs ReadAll(const char16_t *list, bool extended, unsigned size = 256)
{
    Pairs out;
    std::vector<char16_t> name(size + 1, u'#');
    char16_t code[kComboCodeSize + 1];
    const char16_t *p = list;
    for (int guard = 0; guard < 1000; ++guard) {
        p = extended ? GetNextComboEx(p, code, name.data(), size)
                     : GetNextCombo(p, code, name.data(), size);
        if (p == nullptr) {
            EXPECT_EQ(0, code[0]);
            EXPECT_EQ(0, name[0]);
            break;
        }
        out.emplace_back(code, name.data());
    }
    return out;
}

std::string Show(const Pairs &pairs)
{
    std::string s;
    for (const auto &[code, name] : pairs)
        s += "[" + Utf8(code.c_str()) + "|" + Utf8(name.c_str()) + "]";
    return s;
}

std::u16string Repeat(char16_t c, size_t n)
{
    return std::u16string(n, c);
}

// ---------------------------------------------------------------------------------------
// Reading entries
// ---------------------------------------------------------------------------------------

TEST(ComboCode, ReadsEntriesPlainAndExtended)
{
    struct Case
    {
        const char16_t *list;
        Pairs plain;
        Pairs extended;
    };
    const std::u16string one = u"\u0001";
    const Case cases[] = {
        {u"1;Male\r\n2;Female", {{u"1", u"Male"}, {u"2", u"Female"}}, {}},
        {u"a\nb\n", {{u"", u"a"}, {u"", u"b"}}, {}},
        {u"a\n\nb", {{u"", u"a"}, {u"", u""}, {u"", u"b"}}, {}},
        {u";x\n1;y", {{u"", u"x"}, {u"1", u"y"}}, {{one, u"x"}, {u"1", u"y"}}},
        {u"a;b;c\r\n;", {{u"a", u"b;c"}, {u"", u""}}, {{u"a", u"b;c"}, {one, u""}}},
        // A carriage return counts only before a line feed.
        {u"x\r", {{u"", u"x\r"}}, {}},
        {u"x\r\r\ny", {{u"", u"x\r"}, {u"", u"y"}}, {}},
        {u"\n", {{u"", u""}}, {}},
        {u"", {}, {}},
        {u"汉;字\r\n", {{u"汉", u"字"}}, {}},
    };
    for (const Case &c : cases) {
        const Pairs &ext = c.extended.empty() ? c.plain : c.extended;
        EXPECT_EQ(Show(c.plain), Show(ReadAll(c.list, false))) << Utf8(c.list);
        EXPECT_EQ(Show(ext), Show(ReadAll(c.list, true))) << Utf8(c.list);
    }
    char16_t code[kComboCodeSize] = u"x", name[8] = u"x";
    EXPECT_EQ(nullptr, GetNextCombo(nullptr, code, name, 8));
    EXPECT_EQ(0, code[0]);
    EXPECT_EQ(0, name[0]);
    // Null buffers are skipped, the walk goes on.
    const char16_t *list = u"1;a\n2;b";
    EXPECT_EQ(list + 4, GetNextCombo(list, nullptr, nullptr, 0));
}

TEST(ComboCode, CutsCodesAt63AndNamesAtSizeWithoutSplittingPairs)
{
    // Codes of 63, 64 and 65 units keep 63; the name behind is read whole.
    for (size_t n : {62u, 63u, 64u, 65u, 200u}) {
        const std::u16string list = Repeat(u'c', n) + u";name\nnext";
        const Pairs got = ReadAll(list.c_str(), false);
        ASSERT_EQ(2u, got.size()) << n;
        EXPECT_EQ(std::min<size_t>(n, 63), got[0].first.size()) << n;
        EXPECT_EQ(u"name", got[0].second) << n;
        EXPECT_EQ(u"next", got[1].second) << n;
    }
    // A pair across unit 63 goes whole; one that ends at 63 stays.
    const std::u16string smile = u"\U0001F600";
    const std::u16string across = Repeat(u'c', 62) + smile + u";n";
    EXPECT_EQ(Repeat(u'c', 62), ReadAll(across.c_str(), false)[0].first);
    const std::u16string inside = Repeat(u'c', 61) + smile + u"d;n";
    EXPECT_EQ(Repeat(u'c', 61) + smile, ReadAll(inside.c_str(), false)[0].first);

    // Names: size - 1 units, the pair never split.
    struct Case
    {
        unsigned size;
        const char16_t *expected;
    };
    const Case cases[] = {{1, u""},
                          {2, u"a"},
                          {3, u"ab"},
                          {4, u"ab"},
                          {5, u"ab\U0001F600"},
                          {6, u"ab\U0001F600c"},
                          {64, u"ab\U0001F600c"}};
    for (const Case &c : cases) {
        EXPECT_EQ(std::u16string(c.expected), ReadAll(u"k;ab\U0001F600c", false, c.size)[0].second)
            << c.size;
    }
    // Size 0 writes nothing at all.
    char16_t untouched[2] = {u'#', 0};
    GetNextCombo(u"abc", nullptr, untouched, 0);
    EXPECT_EQ(u'#', untouched[0]);
}

// ---------------------------------------------------------------------------------------
// Lookups
// ---------------------------------------------------------------------------------------

constexpr const char16_t *kSexes = u"1;Male\r\n2;Female";

TEST(ComboCode, ValueByNameAndNameByValue)
{
    struct Case
    {
        const char16_t *list;
        const char16_t *name;
        int index;
        uint32_t value;
    };
    const Case get[] = {
        {kSexes, u"Female", 1, 2},
        {kSexes, u"Male", 0, 1},
        {kSexes, u"male", -1, 0},
        {kSexes, u"1", -1, 0},
        {u"a\nb\nc", u"c", 2, 2},             // no codes: the index
        {u"7;a\nb\n;c", u"b", 1, 1},          // mixed
        {u"7;a\nb\n;c", u"c", 2, 0x8F3FF3F1}, // explicit empty code
        {u"0x10;hex\n-3;neg", u"hex", 0, 16},
        {u"-3;neg", u"neg", 0, 0xFFFFFFFD},
        // Codes read with the general integer syntax: blanks, sign, hex, wrap, stop.
        {u"007;a", u"a", 0, 7},
        {u" 5;b", u"b", 0, 5},
        {u"+6;c", u"c", 0, 6},
        {u"5x;d", u"d", 0, 5},
        {u"123456789;e", u"e", 0, 123456789},
        {u"4294967301;f", u"f", 0, 5},
        {u"x;g", u"g", 0, 0},
        {u"a\nb", nullptr, -1, 0},
        {nullptr, u"a", -1, 0},
    };
    for (const Case &c : get) {
        uint32_t value = 12345;
        EXPECT_EQ(c.index, GetComboBox(&value, c.list, c.name)) << Utf8(c.name);
        EXPECT_EQ(c.value, value) << Utf8(c.name);
    }

    struct Back
    {
        const char16_t *list;
        uint32_t value;
        int index;
        const char16_t *name;
    };
    const Back set[] = {
        {kSexes, 2, 1, u"Female"},
        {kSexes, 3, -1, u""},
        {kSexes, 0, -1, u""},
        {u"a\nb\nc\nd\ne\nf\ng", 5, 5, u"f"}, // no codes: the sixth entry
        {u"7;a\nb\n;c", 1, 1, u"b"},
        {u"7;a\nb\n;c", 2, -1, u""}, // the explicit empty code never matches
        {u"7;a\nb\n;c", 0x8F3FF3F1, -1, u""},
        {u"0x10;hex", 16, 0, u"hex"},
        {nullptr, 0, -1, u""},
    };
    for (const Back &c : set) {
        char16_t name[16] = u"stale";
        EXPECT_EQ(c.index, SetComboBox(c.value, c.list, name, 16)) << c.value;
        EXPECT_EQ(std::u16string(c.name), name) << c.value;
    }
}

TEST(ComboCode, CodeAndNameLookups)
{
    struct Case
    {
        const char16_t *list;
        const char16_t *key; // name for GetComboCode, code for SetComboCode
        int index;
        const char16_t *out;
    };
    const Case codes[] = {
        {kSexes, u"Female", 1, u"2"},
        {u"a\nb", u"b", 1, u""},
        {u"x;a\n;b", u"b", 1, u""},
        {kSexes, u"Other", -1, u""},
    };
    for (const Case &c : codes) {
        char16_t code[kComboCodeSize] = u"stale";
        EXPECT_EQ(c.index, GetComboCode(code, c.list, c.key)) << Utf8(c.key);
        EXPECT_EQ(std::u16string(c.out), code) << Utf8(c.key);
    }
    const Case names[] = {
        {kSexes, u"2", 1, u"Female"}, {kSexes, u"3", -1, u""},
        {u"a\nb", u"", -1, u""},  // entries without ';' have no code
        {u"a\n;b", u"", 1, u"b"}, // "" is the code of an entry that begins with ';'
        {u"M;m\nF;f", u"f", -1, u""}, {kSexes, nullptr, -1, u""},
    };
    for (const Case &c : names) {
        char16_t name[16] = u"stale";
        EXPECT_EQ(c.index, SetComboCode(c.key, c.list, name, 16)) << Utf8(c.key);
        EXPECT_EQ(std::u16string(c.out), name) << Utf8(c.key);
    }
    const Case byName[] = {
        {kSexes, u"Female", 1, u"Female"},
        {kSexes, u"Fem", -1, u""},
        {u"a\n\nb", u"", 1, u""},
    };
    for (const Case &c : byName) {
        char16_t name[16] = u"stale";
        EXPECT_EQ(c.index, SetComboName(c.key, c.list, name, 16)) << Utf8(c.key);
        EXPECT_EQ(std::u16string(c.out), name) << Utf8(c.key);
    }
    const Case matches[] = {
        {kSexes, u"fe*", 1, u"Female"},          {kSexes, u"*ale", 0, u"Male"},
        {kSexes, u"?ALE", 0, u"Male"},           {kSexes, u"x*", -1, u""},
        {u"1;北京\n2;北海", u"北?", 0, u"北京"}, {u"1;北京\n2;北海", u"*海", 1, u"北海"},
    };
    for (const Case &c : matches) {
        char16_t name[16] = u"stale";
        EXPECT_EQ(c.index, MatchComboName(c.key, c.list, name, 16)) << Utf8(c.key);
        EXPECT_EQ(std::u16string(c.out), name) << Utf8(c.key);
    }
}

// Long codes match as a code buffer holds them: the first 63 units.
TEST(ComboCode, LongCodesMatchTheirCut)
{
    for (size_t n : {63u, 64u, 65u}) {
        const std::u16string code = Repeat(u'7', n);
        const std::u16string list = u"1;one\n" + code + u";long";
        char16_t got[kComboCodeSize];
        ASSERT_EQ(1, GetComboCode(got, list.c_str(), u"long")) << n;
        EXPECT_EQ(Repeat(u'7', 63), got) << n;
        char16_t name[8];
        EXPECT_EQ(1, SetComboCode(got, list.c_str(), name, 8)) << n;
        EXPECT_EQ(std::u16string(u"long"), name);
        EXPECT_EQ(n == 63 ? 1 : -1, SetComboCode(code.c_str(), list.c_str(), name, 8)) << n;
    }
}

// name -> value -> name and name -> code -> name on every entry of lists with, without
// and with mixed codes, CR LF and no final line feed.
TEST(ComboCode, RoundTripsKeepTheName)
{
    const char16_t *lists[] = {
        u"1;Male\r\n2;Female\r\n",   u"Red\nGreen\nBlue",
        u"Red\r\nGreen\r\nBlue\r\n", u"10;ten\r\nfour\neleven;\n;none\n30;thirty",
        u"汉\n字\n\U0001F600",
    };
    for (const char16_t *list : lists) {
        const Pairs entries = ReadAll(list, true);
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::u16string &name = entries[i].second;
            uint32_t value = 0;
            ASSERT_EQ(static_cast<int>(i), GetComboBox(&value, list, name.c_str()));
            char16_t back[64];
            const int index = SetComboBox(value, list, back, 64);
            if (entries[i].first == u"\u0001") {
                EXPECT_EQ(-1, index); // the explicit empty code stands for no value
                continue;
            }
            EXPECT_EQ(static_cast<int>(i), index) << Utf8(list) << " #" << i;
            EXPECT_EQ(name, back) << Utf8(list) << " #" << i;

            char16_t code[kComboCodeSize];
            ASSERT_EQ(static_cast<int>(i), GetComboCode(code, list, name.c_str()));
            if (code[0] == 0)
                continue; // an entry without code has none to look up by
            EXPECT_EQ(static_cast<int>(i), SetComboCode(code, list, back, 64)) << Utf8(code);
            EXPECT_EQ(name, back);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Radio and check texts
// ---------------------------------------------------------------------------------------

TEST(ComboCode, RadioTexts)
{
    char16_t out[64];
    EXPECT_EQ(20, SetRadioBox(1, 1, kSexes, out, 64));
    EXPECT_EQ(std::u16string(u" ○ 1;Male ● 2;Female"), out);
    EXPECT_EQ(1, GetRadioBox(1, kSexes, out));
    EXPECT_EQ(8, SetRadioBox(-1, 1, u"a\nb", out, 64)); // nothing chosen: all off
    EXPECT_EQ(std::u16string(u" ○ a ○ b"), out);
    EXPECT_EQ(-1, GetRadioBox(1, u"a\nb", out));

    // Plain form: the name, read back by name.
    EXPECT_EQ(6, SetRadioBox(1, 0, kSexes, out, 64));
    EXPECT_EQ(std::u16string(u"Female"), out);
    EXPECT_EQ(1, GetRadioBox(0, kSexes, out));
    EXPECT_EQ(-1, SetRadioBox(2, 0, kSexes, out, 64));
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(-1, GetRadioBox(0, kSexes, u"1;Male"));

    // Whole entries only: each needs its marker, its line and the terminator.
    struct Cut
    {
        unsigned size;
        const char16_t *expected;
    };
    const Cut cuts[] = {
        {1, u""}, {9, u""}, {10, u" ○ 1;Male"}, {20, u" ○ 1;Male"}, {21, u" ○ 1;Male ● 2;Female"}};
    for (const Cut &c : cuts) {
        std::vector<char16_t> buf(c.size, u'#');
        const int n = SetRadioBox(1, 1, kSexes, buf.data(), c.size);
        EXPECT_EQ(std::u16string(c.expected), buf.data()) << c.size;
        EXPECT_EQ(static_cast<int>(std::u16string(c.expected).size()), n);
    }
    // A cut text has no " ● " to find; a text that does not follow the list neither.
    EXPECT_EQ(-1, GetRadioBox(1, kSexes, u" ○ 1;Male"));
    EXPECT_EQ(-1, GetRadioBox(1, kSexes, u" ○ 1;Mule ● 2;Female"));
    EXPECT_EQ(0, GetRadioBox(1, kSexes, u" ● "));
}

TEST(ComboCode, CheckTexts)
{
    struct Case
    {
        uint64_t bits;
        uint32_t form;
        const char16_t *text;
    };
    const Case cases[] = {
        {0x2, 0, u"Female"},
        {0x3, 0, u"Male;Female"},
        {0x0, 0, u""},
        {0x2, 1, u" □ 1;Male ■ 2;Female"},
        {0x1, 2, u" √ 1;Male □ 2;Female"},
        {0x3, 7, u" ■ 1;Male ■ 2;Female"}, // unknown forms render as form 1
    };
    for (const Case &c : cases) {
        char16_t out[64];
        const int n = SetCheckBox(c.bits, c.form, kSexes, out, 64);
        EXPECT_EQ(std::u16string(c.text), out) << c.form << " " << c.bits;
        EXPECT_EQ(static_cast<int>(std::u16string(c.text).size()), n);
        uint64_t bits = ~uint64_t{0};
        EXPECT_EQ(1, GetCheckBox(&bits, c.form != 0, kSexes, out)) << Utf8(out);
        EXPECT_EQ(c.bits, bits) << Utf8(out);
    }
    uint64_t bits = 0;
    EXPECT_EQ(1, GetCheckBox(&bits, 0, kSexes, u"Female;Other;"));
    EXPECT_EQ(0x2u, bits);
    // An entry without marker ends the reading; what was read stays.
    EXPECT_EQ(0, GetCheckBox(&bits, 1, kSexes, u" ■ 1;Male"));
    EXPECT_EQ(0x1u, bits);
    EXPECT_EQ(0, GetCheckBox(&bits, 1, kSexes, u" ■ 1;Male x 2;Female"));
    EXPECT_EQ(0, GetCheckBox(&bits, 1, kSexes, nullptr));
    EXPECT_EQ(0u, bits);

    // Whole names only in form 0.
    char16_t small[8] = {};
    EXPECT_EQ(4, SetCheckBox(0x3, 0, kSexes, small, 8));
    EXPECT_EQ(std::u16string(u"Male"), small);
}

// Entries 0-63 are covered by the mask; entry 64 is never set nor read (no shift by 64).
TEST(ComboCode, MasksCoverSixtyFourEntries)
{
    for (int count : {64, 65}) {
        std::u16string list;
        for (int i = 0; i < count; ++i)
            list += u"n" + std::u16string(1, static_cast<char16_t>(u'0' + i / 10)) +
                    std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
                    (i + 1 < count ? u"\n" : u"");
        const std::vector<Pairs::value_type> entries = ReadAll(list.c_str(), false);
        ASSERT_EQ(static_cast<size_t>(count), entries.size());
        std::vector<char16_t> out(4096);
        const int n = SetCheckBox(~uint64_t{0}, 1, list.c_str(), out.data(), 4096);
        const std::u16string text(out.data(), n);
        size_t on = 0, off = 0;
        for (size_t at = 0; (at = text.find(kCheckOnMark, at)) != text.npos; ++at)
            ++on;
        for (size_t at = 0; (at = text.find(kCheckOffMark, at)) != text.npos; ++at)
            ++off;
        EXPECT_EQ(64u, on);
        EXPECT_EQ(static_cast<size_t>(count - 64), off);
        uint64_t bits = 0;
        EXPECT_EQ(1, GetCheckBox(&bits, 1, list.c_str(), out.data()));
        EXPECT_EQ(~uint64_t{0}, bits);

        // Plain form: naming the last entry sets nothing when it is entry 64.
        const std::u16string last = entries.back().second;
        EXPECT_EQ(1, GetCheckBox(&bits, 0, list.c_str(), last.c_str()));
        EXPECT_EQ(count == 64 ? uint64_t{1} << 63 : 0u, bits) << count;
    }
}

TEST(ComboCode, RadioNumberAndMapper)
{
    struct Case
    {
        const char16_t *list;
        int count;
        const char16_t *names;
    };
    const Case cases[] = {
        {u"1;Male\r\n2;Female", 2, u"Male\r\nFemale"},
        {u"a\n;b\nc;d;e\n", 3, u"a\nb\nd;e\n"},
        {u"\n\n", 2, u"\n\n"},
        // An empty last name keeps its entry.
        {u"a\n1;", 2, u"a\n\n"},
        {u";", 1, u"\n"},
        {u"x;\r\n", 1, u"\r\n"},
        {u"", 0, u""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.count, GetRadioNumber(c.list)) << Utf8(c.list);
        std::u16string copy = c.list;
        EXPECT_EQ(c.count, GetRadioMapper(copy.data())) << Utf8(c.list);
        EXPECT_EQ(std::u16string(c.names), copy.c_str()) << Utf8(c.list);
    }
    EXPECT_EQ(0, GetRadioNumber(nullptr));
    EXPECT_EQ(0, GetRadioMapper(nullptr));
}

// ---------------------------------------------------------------------------------------
// Oracles
// ---------------------------------------------------------------------------------------

// Runs /usr/bin/python3 on script with input on stdin; returns stdout, *ok the exit.
std::string Python(const char *script, const std::string &input, bool *ok)
{
    char folder[] = "/tmp/combo_code_XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        *ok = false;
        return "";
    }
    const std::string dir = folder;
    std::ofstream(dir + "/script.py") << script;
    std::ofstream(dir + "/in", std::ios::binary) << input;
    const std::string command =
        "/usr/bin/python3 " + dir + "/script.py < " + dir + "/in > " + dir + "/out";
    const int rc = std::system(command.c_str());
    *ok = WIFEXITED(rc) && WEXITSTATUS(rc) == 0;
    std::ifstream in(dir + "/out", std::ios::binary);
    std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::system(("rm -rf '" + dir + "'").c_str());
    return out;
}

// The rendered texts, built by python from the characters' Unicode names.
TEST(ComboCode, MarkersCarryTheirUnicodeNames)
{
    const char *script = R"(
import sys, unicodedata
def mark(name): return " " + unicodedata.lookup(name) + " "
on, off = mark("BLACK CIRCLE"), mark("WHITE CIRCLE")
square, empty, tick = mark("BLACK SQUARE"), mark("WHITE SQUARE"), mark("SQUARE ROOT")
lines = ["1;Male", "2;Female", "3;Other"]
out = [off + lines[0] + on + lines[1] + off + lines[2],
       empty + lines[0] + square + lines[1] + square + lines[2],
       tick + lines[0] + empty + lines[1] + tick + lines[2]]
sys.stdout.buffer.write("\n".join(out).encode("utf-8"))
)";
    bool ok = false;
    const std::string want = Python(script, "", &ok);
    ASSERT_TRUE(ok) << "python3 with unicodedata is needed";
    const char16_t *list = u"1;Male\r\n2;Female\n3;Other";
    char16_t radio[64], square[64], tick[64];
    SetRadioBox(1, 1, list, radio, 64);
    SetCheckBox(0x6, 1, list, square, 64);
    SetCheckBox(0x5, 2, list, tick, 64);
    EXPECT_EQ(want, Utf8(radio) + "\n" + Utf8(square) + "\n" + Utf8(tick));
}

// MatchComboName and fnmatch agree on patterns of '*', '?', letters and CJK; case is
// folded for ASCII only on both sides.
TEST(ComboCode, MatchAgreesWithFnmatch)
{
    const char16_t *alphabet[] = {u"a", u"B", u"b", u"c", u"汉", u"字", u"é", u"É"};
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245 + 12345;
        return (seed >> 16) % n;
    };
    std::u16string list;
    std::vector<std::u16string> names;
    for (int i = 0; i < 40; ++i) {
        std::u16string name;
        for (uint32_t k = 1 + next(4); k > 0; --k)
            name += alphabet[next(8)];
        names.push_back(name);
        list += name + (i % 3 == 0 ? u"\r\n" : u"\n");
    }
    std::vector<std::u16string> patterns;
    std::string input = Utf8(list.c_str()) + "\x1f";
    const char16_t *tokens[] = {u"*", u"?", u"a", u"b", u"B", u"汉", u"é", u"c"};
    for (int i = 0; i < 300; ++i) {
        std::u16string pattern;
        for (uint32_t k = 1 + next(5); k > 0; --k)
            pattern += tokens[next(8)];
        patterns.push_back(pattern);
        input += Utf8(pattern.c_str()) + "\x1e";
    }
    const char *script = R"(
import sys, fnmatch, string
data = sys.stdin.buffer.read().decode("utf-8")
names_text, patterns_text = data.split("\x1f")
names = [l[:-1] if l.endswith("\r") else l for l in names_text.split("\n")][:-1]
fold = str.maketrans(string.ascii_uppercase, string.ascii_lowercase)
out = []
for p in patterns_text.split("\x1e")[:-1]:
    hit = [i for i, n in enumerate(names) if fnmatch.fnmatchcase(n.translate(fold), p.translate(fold))]
    out.append(str(hit[0] if hit else -1))
print(" ".join(out))
)";
    bool ok = false;
    const std::string want = Python(script, input, &ok);
    ASSERT_TRUE(ok) << "python3 with fnmatch is needed";
    std::string got;
    int hits = 0;
    for (const std::u16string &pattern : patterns) {
        char16_t name[32];
        const int index = MatchComboName(pattern.c_str(), list.c_str(), name, 32);
        got += (got.empty() ? "" : " ") + std::to_string(index);
        if (index >= 0) {
            EXPECT_EQ(names[index], name);
            ++hits;
        }
    }
    EXPECT_EQ(want, got + "\n");
    // The table must exercise both answers.
    EXPECT_GT(hits, 50);
    EXPECT_LT(hits, 250);
}

} // namespace
