// QR symbols checked by readers nobody here wrote: zbarimg and ZXingReader must read
// back exactly the bytes of the text in the code page, and where the text is one mode
// throughout, the module matrix must equal the one zint draws for level L, mask 0 and
// the same version.

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

#include "corekit/encoding/encoding.h"
#include "datakit/qr_encoder.h"
#include "datakit/qr_render.h"
#include "oracle_util.h"
#include "scoped_util.h"

namespace {

struct OracleCase_t
{
    std::u16string text; // encoded with EncodeText when bytes is empty
    std::string bytes;   // encoded with EncodeBytes (beyond the text limit)
};

class QROracle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *tool : {"zbarimg", "ZXingReader", "zint"})
            ASSERT_TRUE(HaveTool(tool)) << tool << " is missing (./zep setup installs it)";
        ASSERT_FALSE(m_folder.Path().empty()) << "no temporary folder";
    }

    // Checks every case on two threads; returns the failures.
    void Check(const std::vector<OracleCase_t> &cases, int codepage)
    {
        std::mutex lock;
        std::vector<std::string> failures;
        size_t zintCompared = 0;
        ParallelFor(cases.size(), [&](size_t i) {
            bool compared = false;
            std::string failure = CheckOne(cases[i], codepage, i, compared);
            std::lock_guard<std::mutex> guard(lock);
            zintCompared += compared;
            if (!failure.empty())
                failures.push_back("case " + std::to_string(i) + ": " + failure);
        });
        EXPECT_TRUE(failures.empty())
            << failures.size() << " of " << cases.size() << " failed, first: " << failures.front();
        m_zintCompared = zintCompared;
    }

    size_t m_zintCompared = 0;

private:
    std::string CheckOne(const OracleCase_t &c, int codepage, size_t index, bool &compared)
    {
        XQRCode code;
        std::string expected = c.bytes.empty() ? ToAnsiBytes(c.text) : c.bytes;
        bool ok = c.bytes.empty()
                      ? code.EncodeText(c.text.c_str())
                      : code.EncodeBytes(reinterpret_cast<const uint8_t *>(c.bytes.data()),
                                         c.bytes.size(), codepage);
        if (!ok)
            return "not encoded (" + std::to_string(expected.size()) + " bytes)";
        XBitImage image;
        std::string path = m_folder.Path() + "/qr" + std::to_string(index) + ".pgm";
        if (!RenderQRWithQuietZone(code.GetMatrix(), 3, 4, image) || !WritePgm(path, image))
            return "cannot write " + path;
        std::string zbar = RunCommand("zbarimg --raw -q -Sbinary " + path + " 2>/dev/null");
        std::string zxing =
            RunCommand("ZXingReader -bytes -format QRCode " + path + " 2>/dev/null");
        unlink(path.c_str());
        std::string v = " (version " + std::to_string(code.GetVersion()) + ")";
        if (zbar != expected)
            return "zbarimg read " + std::to_string(zbar.size()) + " bytes" + v;
        if (zxing != expected)
            return "ZXingReader read " + std::to_string(zxing.size()) + " bytes" + v;
        if (!ZintComparable(code, expected, codepage))
            return "";
        compared = true;
        return CompareWithZint(code, expected) ? "" : "matrix differs from zint's" + v;
    }

    // One segment of a mode zint is sure to choose for the whole text too.
    static bool ZintComparable(const XQRCode &code, const std::string &bytes, int codepage)
    {
        if (code.GetSegments().size() != 1 || codepage == 932)
            return false;
        uint8_t mode = code.GetSegments()[0].mode;
        bool digits = false, alnum = false;
        for (unsigned char c : bytes) {
            digits |= c >= '0' && c <= '9';
            alnum |= QRAlphanumericValue(c) >= 0;
        }
        return mode == kQRModeNumeric || (mode == kQRModeAlphanumeric && !digits) ||
               (mode == kQRModeByte && !alnum);
    }

    static bool CompareWithZint(const XQRCode &code, const std::string &bytes)
    {
        // zint limits escaped input; printable text goes in as it is.
        bool printable = true;
        for (unsigned char c : bytes)
            printable &= c >= 32 && c < 127;
        std::string dump = RunCommand(
            "zint --barcode=QRCODE --secure=1 --mask=0 --vers=" +
            std::to_string(code.GetVersion()) + " --binary" + (printable ? "" : " --esc") +
            " --dump -d " + ShellQuote(printable ? bytes : ZintEscape(bytes)) + " 2>/dev/null");
        int side = code.GetSide();
        int y = 0;
        size_t pos = 0;
        while (pos < dump.size() && y < side) {
            size_t end = dump.find('\n', pos);
            std::string line = dump.substr(pos, end - pos);
            pos = end == std::string::npos ? dump.size() : end + 1;
            std::string bits;
            for (char h : line) {
                if (h == ' ')
                    continue;
                int v = h <= '9' ? h - '0' : h - 'A' + 10;
                for (int b = 3; b >= 0; b--)
                    bits += (v >> b) & 1 ? '1' : '0';
            }
            if (static_cast<int>(bits.size()) < side)
                return false;
            for (int x = 0; x < side; x++) {
                if ((bits[x] == '1') != code.IsDark(x, y))
                    return false;
            }
            y++;
        }
        return y == side;
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

// Lengths spread over 1..max, with the largest included.
size_t LengthFor(TestRandom &rng, size_t i, size_t count, size_t max)
{
    if (i + 1 == count)
        return max;
    return i < count / 2 ? 1 + rng.Next(60) : 1 + rng.Next(static_cast<uint32_t>(max));
}

const std::u16string kPrintable = [] {
    std::u16string s;
    for (char16_t c = 32; c < 127; c++)
        s += c;
    return s;
}();
const std::u16string kDigits = u"0123456789";
const std::u16string kAlphanumeric = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
const std::u16string kLettersAndSigns = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
const std::u16string kLowerAndPunctuation = u"abcdefghijklmnopqrstuvwxyz!\"#&'(),;<=>?@[\\]^_`{|}~";

std::u16string RandomChinese(TestRandom &rng, size_t length)
{
    std::u16string text;
    for (size_t i = 0; i < length; i++)
        text += static_cast<char16_t>(0x4E00 + rng.Next(0x9FA5 - 0x4E00 + 1));
    return text;
}

TEST_F(QROracle, AsciiText)
{
    TestRandom rng(11);
    std::vector<OracleCase_t> cases;
    for (size_t i = 0; i < 80; i++)
        cases.push_back({RandomText(rng, kPrintable, LengthFor(rng, i, 80, 1280)), {}});
    for (size_t i = 0; i < 40; i++)
        cases.push_back({RandomText(rng, kLowerAndPunctuation, LengthFor(rng, i, 40, 1280)), {}});
    Check(cases, 936);
    EXPECT_GE(m_zintCompared, 40u);
}

TEST_F(QROracle, Digits)
{
    TestRandom rng(12);
    std::vector<OracleCase_t> cases;
    for (size_t i = 0; i < 100; i++)
        cases.push_back({RandomText(rng, kDigits, LengthFor(rng, i, 100, 1280)), {}});
    Check(cases, 936);
    EXPECT_EQ(100u, m_zintCompared);
}

TEST_F(QROracle, Alphanumeric)
{
    TestRandom rng(13);
    std::vector<OracleCase_t> cases;
    for (size_t i = 0; i < 50; i++)
        cases.push_back({RandomText(rng, kAlphanumeric, LengthFor(rng, i, 50, 1280)), {}});
    for (size_t i = 0; i < 50; i++)
        cases.push_back({RandomText(rng, kLettersAndSigns, LengthFor(rng, i, 50, 1280)), {}});
    Check(cases, 936);
    EXPECT_GE(m_zintCompared, 50u);
}

// Runs of every class side by side, so that both merge passes come into play.
TEST_F(QROracle, MixedText)
{
    TestRandom rng(14);
    std::vector<OracleCase_t> cases;
    const std::u16string *alphabets[] = {&kDigits, &kLettersAndSigns, &kLowerAndPunctuation};
    for (size_t i = 0; i < 100; i++) {
        std::u16string text;
        size_t runs = 1 + rng.Next(i < 50 ? 6 : 30);
        for (size_t r = 0; r < runs; r++) {
            size_t length = 1 + rng.Next(rng.Next(2) ? 4 : 20);
            uint32_t kind = rng.Next(4);
            text +=
                kind == 3 ? RandomChinese(rng, length) : RandomText(rng, *alphabets[kind], length);
        }
        cases.push_back({text, {}});
    }
    Check(cases, 936);
}

TEST_F(QROracle, ChineseText)
{
    TestRandom rng(15);
    std::vector<OracleCase_t> cases;
    for (size_t i = 0; i < 60; i++)
        cases.push_back({RandomChinese(rng, LengthFor(rng, i, 60, 640)), {}});
    for (size_t i = 0; i < 40; i++) {
        std::u16string text = RandomChinese(rng, 1 + rng.Next(10)) + u"订单号 " +
                              RandomText(rng, kDigits, rng.Next(20)) + u" ABC" +
                              RandomChinese(rng, rng.Next(5));
        cases.push_back({text, {}});
    }
    Check(cases, 936);
    EXPECT_GE(m_zintCompared, 1u);
}

// Under Shift-JIS the kanji go into Kanji mode; the readers give back the Shift-JIS bytes.
TEST_F(QROracle, KanjiUnderShiftJis)
{
    AnsiCodePageScope shiftJis("CP932");
    ASSERT_TRUE(shiftJis.Ok());
    TestRandom rng(16);
    const std::u16string japanese = u"日本語漢字東京都品川区会社員番号点茗テストカタカナひらがな";
    std::vector<OracleCase_t> cases;
    for (size_t i = 0; i < 30; i++) {
        std::u16string text = RandomText(rng, japanese, 1 + rng.Next(i < 25 ? 40 : 600));
        if (i % 3 == 1)
            text += u"No." + RandomText(rng, kDigits, 1 + rng.Next(12));
        if (i % 3 == 2)
            text = u"abc " + text + u" xyz";
        cases.push_back({text, {}});
    }
    XQRCode code;
    ASSERT_TRUE(code.EncodeText(cases[0].text.c_str()));
    EXPECT_EQ(kQRModeKanji, code.GetSegments()[0].mode);
    Check(cases, 932);
}

// The largest symbols, from bytes past the text limit, up to the capacity of version 40.
TEST_F(QROracle, LargestSymbols)
{
    TestRandom rng(17);
    std::vector<OracleCase_t> cases;
    auto bytesOf = [&](const std::u16string &alphabet, size_t n) {
        std::u16string text = RandomText(rng, alphabet, n);
        return std::string(text.begin(), text.end());
    };
    cases.push_back({{}, bytesOf(kLowerAndPunctuation, 2953)});
    cases.push_back({{}, bytesOf(kDigits, 7089)});
    cases.push_back({{}, bytesOf(kLettersAndSigns, 4296)});
    cases.push_back({{}, bytesOf(kPrintable, 2000)});
    cases.push_back({{}, bytesOf(kLowerAndPunctuation, 1500)});
    Check(cases, 936);
    EXPECT_EQ(4u, m_zintCompared);
}

} // namespace
