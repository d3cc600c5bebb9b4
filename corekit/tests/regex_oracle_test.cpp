// The regex functions against node's own regular expressions on the corpus in
// regex_corpus.json: whole matches, first-match offsets with groups, and replace-all, for
// the wide functions and the narrow twins on the UTF-8 of every case.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/regex/regex.h"
#include "corekit/text/xbyte_buffer.h"
#include "corekit/text/xstring.h"
#include "test_util.h"

namespace {

std::u16string FromHex(const std::string &hex)
{
    std::u16string s;
    if (hex == "-")
        return s;
    for (size_t i = 0; i + 4 <= hex.size(); i += 4)
        s += static_cast<char16_t>(std::stoul(hex.substr(i, 4), nullptr, 16));
    return s;
}

std::string Printable(const std::u16string &s)
{
    std::string out;
    for (char16_t c : s) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof(buf), "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out;
}

std::vector<std::string> NodeLines()
{
    const std::string cmd =
        "node " ZEP_TEST_DIR "/regex_oracle.js " ZEP_TEST_DIR "/regex_corpus.json";
    FILE *p = popen(cmd.c_str(), "r");
    EXPECT_NE(nullptr, p);
    std::vector<std::string> lines;
    char buf[8192];
    while (p != nullptr && std::fgets(buf, sizeof(buf), p) != nullptr) {
        std::string line(buf);
        while (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(line);
    }
    EXPECT_EQ(0, p != nullptr ? pclose(p) : -1) << "node failed to run the oracle";
    return lines;
}

std::string OurOffsets(const std::u16string &p, uint32_t options, const std::u16string &t)
{
    unsigned int out[64];
    const unsigned int n = RegexSearch(p.c_str(), options, t.c_str(), out);
    if (n == 0)
        return "0";
    std::ostringstream s;
    s << n << ':';
    for (unsigned int i = 0; i < n; ++i)
        s << (i ? "," : "") << out[i];
    return s.str();
}

// Node's offsets "count:o1,o2,..." as numbers (none for "0").
std::vector<unsigned long> ParseOffsets(const std::string &offsets)
{
    std::vector<unsigned long> values;
    const size_t colon = offsets.find(':');
    if (colon == std::string::npos)
        return values;
    std::istringstream in(offsets.substr(colon + 1));
    for (std::string item; std::getline(in, item, ',');)
        values.push_back(std::stoul(item));
    return values;
}

// Byte offset in the UTF-8 of t of UTF-16 offset units (never inside a surrogate pair).
unsigned long Utf8Offset(const std::u16string &t, unsigned long units)
{
    return Utf8Of(t.substr(0, units)).size();
}

struct Answer
{
    int whole = 0;
    std::string offsets;
    std::u16string replaced;
};

Answer ReadAnswer(std::istringstream &in)
{
    Answer a;
    std::string whole, replacedHex;
    in >> whole >> a.offsets >> replacedHex;
    a.whole = whole.empty() ? -1 : std::stoi(whole);
    a.replaced = FromHex(replacedHex);
    return a;
}

// The narrow twins on the UTF-8 of the case: whole match, the first match's start and end
// in bytes, and replace-all.
void CheckNarrow(const std::u16string &p, uint32_t options, const std::u16string &t,
                 const std::u16string &f, const Answer &expected)
{
    SCOPED_TRACE("narrow");
    const std::string np = Utf8Of(p), nt = Utf8Of(t), nf = Utf8Of(f);
    XRegexHelper *r = RegexMalloc(np.c_str(), options);
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(expected.whole, RegexMatch(r, nt.c_str()));
    unsigned int out[2] = {};
    const int found = RegexSearch(r, nt.c_str(), out);
    const std::vector<unsigned long> offsets = ParseOffsets(expected.offsets);
    ASSERT_EQ(!offsets.empty(), found != 0);
    if (found != 0) {
        EXPECT_EQ(Utf8Offset(t, offsets[0]), out[0]);
        EXPECT_EQ(Utf8Offset(t, offsets[1]), out[1]);
    }
    XByteBuffer b;
    ASSERT_EQ(1, RegexReplace(r, nt.c_str(), nf.c_str(), &b));
    EXPECT_EQ(Utf8Of(expected.replaced),
              std::string(b.GetLength() ? b.GetString() : "", b.GetLength()));
    RegexRelease(r);
}

} // namespace

TEST(RegexOracle, CorpusMatchesNode)
{
    const std::vector<std::string> lines = NodeLines();
    ASSERT_GT(lines.size(), 90u);
    for (const std::string &line : lines) {
        std::istringstream in(line);
        std::string ph, th, fh;
        int caseless = 0;
        in >> ph >> caseless >> th >> fh;
        const std::u16string p = FromHex(ph), t = FromHex(th), f = FromHex(fh);
        const uint32_t options = caseless != 0 ? kRegexNoCase : 0;
        SCOPED_TRACE("pattern /" + Printable(p) + "/ text \"" + Printable(t) + "\"");
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, " E") == 0) {
            EXPECT_EQ(nullptr, RegexMalloc(p.c_str(), options));
            EXPECT_EQ(nullptr, RegexMalloc(Utf8Of(p).c_str(), options));
            continue;
        }
        const Answer wide = ReadAnswer(in);
        const Answer narrow = ReadAnswer(in);
        ASSERT_FALSE(in.fail()) << line;
        EXPECT_EQ(wide.whole, RegexMatch(p.c_str(), options, t.c_str()));
        EXPECT_EQ(wide.offsets, OurOffsets(p, options, t));
        XString out;
        ASSERT_EQ(1, RegexReplace(p.c_str(), options, t.c_str(), f.c_str(), &out));
        EXPECT_EQ(Printable(wide.replaced), Printable(out.GetString() ? out.GetString() : u""));
        CheckNarrow(p, options, t, f, narrow);
    }
}
