// The encoding selectors against tools nobody here wrote: python3's codecs for every
// selector, and iconv over the whole two-byte range of the default ANSI code page.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/encoding/encoding.h"
#include "test_util.h"

namespace {

// Runs a shell command with input on stdin and returns its stdout; *status receives the
// exit status. Files rather than pipes, so large inputs and outputs cannot deadlock. A
// script, when given, is written to a file whose path follows the command.
std::string RunTool(const std::string &command, const std::string &input, int *status,
                    const char *script = nullptr)
{
    const TempFolder folder;
    const std::string inPath = folder.File("in"), outPath = folder.File("out");
    {
        std::ofstream in(inPath, std::ios::binary);
        in << input;
    }
    std::string full = command;
    if (script != nullptr) {
        std::ofstream(folder.File("script")) << script;
        full += " " + folder.File("script");
    }
    full += " < " + inPath + " > " + outPath;
    int rc = std::system(full.c_str());
    *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    std::ifstream out(outPath, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
}

std::string Hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string h;
    for (unsigned char b : bytes) {
        h.push_back(digits[b >> 4]);
        h.push_back(digits[b & 15]);
    }
    return h;
}

std::string Unhex(const std::string &h)
{
    std::string b;
    for (size_t i = 0; i + 1 < h.size(); i += 2)
        b.push_back(static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16)));
    return b;
}

std::u16string FromUtf16LE(const std::string &b)
{
    std::u16string s;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
        s.push_back(static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                          static_cast<unsigned char>(b[i + 1]) << 8));
    return s;
}

std::string ToBytes(int sel, const std::u16string &s)
{
    int n = static_cast<int>(s.size());
    std::string out(WStrToCStr(sel, s.data(), n, nullptr, 0) + 2, '#');
    return out.substr(0,
                      WStrToCStr(sel, s.data(), n, out.data(), static_cast<uint32_t>(out.size())));
}

std::u16string FromBytes(int sel, const std::string &b)
{
    int n = static_cast<int>(b.size());
    std::u16string out(CStrToWStr(sel, b.data(), n, nullptr, 0) + 1, u'#');
    return out.substr(0,
                      CStrToWStr(sel, b.data(), n, out.data(), static_cast<uint32_t>(out.size())));
}

// For each text (UTF-8 lines on stdin): the text as UTF-16LE, then per selector the
// encoded bytes and those bytes decoded again (as UTF-16LE), all in hexadecimal.
constexpr char kCodecScript[] = R"PY(
import sys
codecs = [('gbk', 'replace'), ('utf-8', 'strict'), ('utf-16-le', 'strict'),
          ('utf-16-be', 'strict'), ('latin-1', 'ignore')]
for line in sys.stdin.buffer.read().decode('utf-8').split('\n'):
    if not line:
        continue
    fields = [line.encode('utf-16-le').hex()]
    for name, errors in codecs:
        enc = line.encode(name, errors)
        fields += [enc.hex(), enc.decode(name).encode('utf-16-le').hex()]
    print(' '.join(fields))
)PY";

TEST(EncodingOracle, EverySelectorAgainstPythonCodecs)
{
    const char *texts[] = {
        "Plain ASCII, digits 0123456789 and punctuation !?#",
        "Latin-1: caf\xC3\xA9 na\xC3\xAFve \xC3\x80\xC3\xBF\xC3\xBC\xC3\x96 "
        "\xC2\xA9\xC2\xAE\xC2\xB1",
        "CJK: "
        "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE7\xAC\xA6\xEF\xBC\x8C\xE6\xB1\x89\xE5\xAD\x97\xE3"
        "\x80\x82",
        "non-BMP: \xF0\x9F\x98\x80\xF0\x9D\x84\x9E\xF0\xA0\x80\x80",
        "mixed A\xE4\xB8\xAD\xC3\xA9\xF0\x9F\x98\x80z\xE5\x90\x8D",
    };
    std::string input;
    for (const char *t : texts)
        input += std::string(t) + "\n";
    int status = -1;
    std::string out = RunTool("/usr/bin/python3", input, &status, kCodecScript);
    ASSERT_EQ(0, status) << "python3 oracle missing or failed";
    std::istringstream lines(out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string textHex;
        fields >> textHex;
        std::u16string text = FromUtf16LE(Unhex(textHex));
        for (int sel = 0; sel <= 4; ++sel) {
            std::string encHex, decHex;
            fields >> encHex >> decHex;
            EXPECT_EQ(encHex, Hex(ToBytes(sel, text))) << "selector " << sel << " text " << count;
            EXPECT_EQ(FromUtf16LE(Unhex(decHex)), FromBytes(sel, Unhex(encHex)))
                << "selector " << sel << " text " << count;
        }
        ++count;
    }
    EXPECT_EQ(5, count);
}

TEST(EncodingOracle, WholeDoubleByteRangeAgainstIconv)
{
    ASSERT_STREQ("CP936", GetAnsiCodePage());
    std::vector<std::string> pairs;
    std::string input;
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            pairs.push_back(pair);
            input += pair + "\n";
        }
    int status = -1;
    std::u16string decoded = FromUtf16LE(RunTool("iconv -c -f CP936 -t UTF-16LE", input, &status));
    ASSERT_NE(127, status) << "iconv oracle missing";
    ASSERT_FALSE(decoded.empty());

    // One line of iconv output per pair; a pair iconv cannot map leaves no single
    // non-ASCII character on its line, and ours must then show a '?'.
    std::vector<std::u16string> lines;
    size_t start = 0;
    for (size_t nl; (nl = decoded.find(u'\n', start)) != std::u16string::npos; start = nl + 1)
        lines.push_back(decoded.substr(start, nl - start));
    ASSERT_EQ(pairs.size(), lines.size());

    std::u16string mapped;
    size_t mappedCount = 0;
    for (size_t i = 0; i < pairs.size(); ++i) {
        std::u16string ours = FromBytes(0, pairs[i]);
        if (lines[i].size() == 1 && lines[i][0] >= 0x80) {
            ASSERT_EQ(lines[i], ours) << Hex(pairs[i]);
            mapped += ours + u"\n";
            ++mappedCount;
        } else {
            EXPECT_NE(std::u16string::npos, ours.find(u'?')) << Hex(pairs[i]);
        }
    }
    EXPECT_GT(mappedCount, 21000u);

    // And back: every mapped character encodes as iconv encodes it.
    std::string le;
    for (char16_t u : mapped) {
        le.push_back(static_cast<char>(u & 0xFF));
        le.push_back(static_cast<char>(u >> 8));
    }
    std::string expected = RunTool("iconv -f UTF-16LE -t CP936", le, &status);
    ASSERT_EQ(0, status);
    EXPECT_TRUE(expected == ToBytes(0, mapped)) << "encoding differs from iconv";
}

} // namespace
