// Barcodes checked by readers nobody here wrote: zbarimg (and ZXingReader) must read the
// text back, less the characters the symbology skips, and Code 128 must equal zint's
// symbol module for module wherever zint chooses the same code sets.

#include <gtest/gtest.h>

#include <cctype>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

#include "datakit/barcode_render.h"
#include "oracle_util.h"
#include "scoped_util.h"

namespace {

struct BarcodeCase_t
{
    std::u16string text;
    std::string expected; // what a reader gives back
};

// Module string of an element string: '1' for bar modules, '0' for spaces, the final
// space left out.
std::string Modules(const XBarcodeElements &elements)
{
    std::string modules;
    const char *p = elements.GetString();
    for (size_t i = 0; i < elements.GetLength(); i++)
        modules.append(static_cast<size_t>(p[i] - '0'), i % 2 == 0 ? '1' : '0');
    while (!modules.empty() && modules.back() == '0')
        modules.pop_back();
    return modules;
}

// zint's dump of a one-row symbol (hexadecimal, four modules a digit) as a module
// string without the padding at the end.
std::string ZintModules(const std::string &barcode, const std::string &text)
{
    std::string dump =
        RunCommand("zint --barcode=" + barcode + " --dump -d " + ShellQuote(text) + " 2>&1");
    std::string modules;
    if (dump.find("Error") != std::string::npos)
        return modules;
    for (char h : dump) {
        if (!isxdigit(static_cast<unsigned char>(h)))
            continue;
        int v = h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10;
        for (int b = 3; b >= 0; b--)
            modules += (v >> b) & 1 ? '1' : '0';
    }
    while (!modules.empty() && modules.back() == '0')
        modules.pop_back();
    return modules;
}

// Code sets of a Code 128 module string and the number of data symbols in each, e.g.
// "C2 B1": the symbols are decoded only as far as starts and switches go (text of
// printable ASCII uses no code set A).
std::string CodeSets(const std::string &modules)
{
    std::vector<std::string> symbols;
    for (size_t i = 0; i + 11 <= modules.size(); i += 11)
        symbols.push_back(modules.substr(i, 11));
    if (symbols.size() < 3)
        return "?";
    symbols.pop_back(); // stop (its first 11 modules)
    symbols.pop_back(); // check
    auto is = [](const std::string &s, const char *bits) { return s == bits; };
    const char *kStartB = "11010010000", *kStartC = "11010011100";
    const char *kCodeB = "10111101110", *kCodeC = "10111011110", *kStartA = "11010000100";
    char set = is(symbols[0], kStartB) ? 'B' : is(symbols[0], kStartC) ? 'C' : 'A';
    if (is(symbols[0], kStartA))
        return "A";
    std::string out;
    int count = 0;
    for (size_t i = 1; i < symbols.size(); i++) {
        bool toB = set == 'C' && is(symbols[i], kCodeB);
        bool toC = set == 'B' && is(symbols[i], kCodeC);
        if (!toB && !toC) {
            count++;
            continue;
        }
        out += set + std::to_string(count) + " ";
        set = toB ? 'B' : 'C';
        count = 0;
    }
    return out + set + std::to_string(count);
}

class BarcodeOracle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *tool : {"zbarimg", "ZXingReader", "zint"})
            ASSERT_TRUE(HaveTool(tool)) << tool << " is missing (./zep setup installs it)";
        ASSERT_FALSE(m_folder.Path().empty()) << "no temporary folder";
    }

    void CheckReaders(const std::vector<BarcodeCase_t> &cases, int type, const char *zxingFormat)
    {
        std::mutex lock;
        std::vector<std::string> failures;
        ParallelFor(cases.size(), [&](size_t i) {
            std::string failure = ReadBack(cases[i], type, zxingFormat, i);
            std::lock_guard<std::mutex> guard(lock);
            if (!failure.empty())
                failures.push_back("case " + std::to_string(i) + ": " + failure);
        });
        EXPECT_TRUE(failures.empty())
            << failures.size() << " of " << cases.size() << " failed, first: " << failures.front();
    }

private:
    std::string ReadBack(const BarcodeCase_t &c, int type, const char *zxingFormat, size_t index)
    {
        XBarcodeElements elements;
        if (!MakeBarcodeElements(c.text.c_str(), type, elements))
            return "not encoded";
        XBitImage image;
        std::string path = m_folder.Path() + "/bar" + std::to_string(index) + ".pgm";
        if (!RenderBarcodeWithQuietZone(elements, false, 2, 16, 10, image) ||
            !WritePgm(path, image))
            return "cannot write " + path;
        // zbar reads no Code 128 symbol of more than 255 symbol characters (253 after the
        // start and the check); ZXing reads them all.
        bool zbarReads = type == kBarcodeCode39 || c.expected.size() <= 253;
        std::string zbar = zbarReads
                               ? RunCommand("zbarimg --raw -q -Sbinary " + path + " 2>/dev/null")
                               : c.expected;
        std::string zxing = RunCommand(std::string("ZXingReader -bytes -format ") + zxingFormat +
                                       " " + path + " 2>/dev/null");
        unlink(path.c_str());
        if (zbar != c.expected)
            return "zbarimg read \"" + zbar + "\" for \"" + c.expected + "\" (" +
                   std::to_string(c.expected.size()) + " characters)";
        if (zxing != c.expected)
            return "ZXingReader read \"" + zxing + "\" for \"" + c.expected + "\"";
        return "";
    }

    TempFolder m_folder;
};

std::u16string RandomText(TestRandom &rng, const std::u16string &alphabet, size_t length)
{
    std::u16string text;
    for (size_t i = 0; i < length; i++)
        text += alphabet[rng.Next(static_cast<uint32_t>(alphabet.size()))];
    return text;
}

std::string Ascii(const std::u16string &text)
{
    return std::string(text.begin(), text.end());
}

const std::u16string kCode39Chars = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%";
const std::u16string kPrintable = [] {
    std::u16string s;
    for (char16_t c = 32; c < 127; c++)
        s += c;
    return s;
}();
// Characters each symbology skips.
const std::u16string kSkippedBy39 = u"abcxyz*@#\t\u00e9\u4e2d";
const std::u16string kSkippedBy128 = u"\t\r\u00e9\u4e2d\u3000";

size_t Length(TestRandom &rng, size_t i, size_t count, size_t max)
{
    return i + 1 == count ? max : 1 + rng.Next(i < count / 2 ? 20 : static_cast<uint32_t>(max));
}

TEST_F(BarcodeOracle, Code39)
{
    TestRandom rng(21);
    std::vector<BarcodeCase_t> cases;
    for (size_t i = 0; i < 150; i++) {
        std::u16string text = RandomText(rng, kCode39Chars, Length(rng, i, 150, 202));
        std::string expected = Ascii(text);
        // Skipped characters around and between the others (the text stays within the
        // 2048-character element string).
        if (i % 3 == 0)
            text = RandomText(rng, kSkippedBy39, 3) + text.insert(text.size() / 2, u"ab*") + u"*";
        cases.push_back({text, expected});
    }
    CheckReaders(cases, kBarcodeCode39, "Code39");
}

TEST_F(BarcodeOracle, Code128SetB)
{
    TestRandom rng(22);
    std::vector<BarcodeCase_t> cases;
    size_t compared = 0;
    for (size_t i = 0; i < 150; i++) {
        std::u16string text = RandomText(rng, kPrintable, Length(rng, i, 150, 338));
        std::string expected = Ascii(text);
        if (i % 4 == 0)
            text = RandomText(rng, kSkippedBy128, 2) + text + RandomText(rng, kSkippedBy128, 1);
        cases.push_back({text, expected});
        XBarcodeElements elements;
        ASSERT_TRUE(MakeBarcodeElements(text.c_str(), kBarcodeCode128B, elements));
        // zint refuses long Code 128 texts (an empty dump)
        std::string zint = ZintModules("CODE128B", expected);
        compared += !zint.empty();
        EXPECT_TRUE(zint.empty() || zint == Modules(elements)) << expected;
    }
    CheckReaders(cases, kBarcodeCode128B, "Code128");
    EXPECT_GE(compared, 50u);
}

TEST_F(BarcodeOracle, Code128Automatic)
{
    TestRandom rng(23);
    std::vector<BarcodeCase_t> cases;
    for (size_t i = 0; i < 200; i++) {
        std::u16string text;
        size_t runs = 1 + rng.Next(6);
        for (size_t r = 0; r < runs; r++) {
            bool digits = rng.Next(2);
            text +=
                RandomText(rng, digits ? u"0123456789" : kPrintable, 1 + rng.Next(digits ? 12 : 6));
        }
        cases.push_back({text, Ascii(text)});
    }
    cases.push_back({u"12345", "12345"});
    cases.push_back({u"A123", "A123"});
    cases.push_back({std::u16string(676, u'9'), std::string(676, '9')});
    CheckReaders(cases, kBarcodeCode128Auto, "Code128");

    // zint chooses code sets its own way; where it chooses ours the symbols are equal.
    size_t sameSets = 0;
    for (const BarcodeCase_t &c : cases) {
        XBarcodeElements elements;
        ASSERT_TRUE(MakeBarcodeElements(c.text.c_str(), kBarcodeCode128Auto, elements));
        std::string ours = Modules(elements);
        std::string zint = ZintModules("CODE128", c.expected);
        if (CodeSets(ours) != CodeSets(zint))
            continue;
        sameSets++;
        EXPECT_EQ(zint, ours) << c.expected << " in code sets " << CodeSets(ours);
    }
    EXPECT_GE(sameSets, cases.size() / 3);
    EXPECT_EQ("C2 B1", CodeSets(Modules([] {
                  XBarcodeElements e;
                  MakeBarcodeElements(u"12345", kBarcodeCode128Auto, e);
                  return e;
              }())));
}

} // namespace
