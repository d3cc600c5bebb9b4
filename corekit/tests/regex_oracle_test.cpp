// The regex functions against node's own regular expressions on the corpus in
// regex_corpus.json: whole matches, first-match offsets with groups, and replace-all.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/regex.h"
#include "corekit/xbyte_buffer.h"
#include "corekit/xstring.h"

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

bool IsAscii(const std::u16string &s)
{
    for (char16_t c : s)
        if (c == 0 || c >= 0x80)
            return false;
    return true;
}

// The narrow twins on an ASCII-only case, where bytes and units coincide.
void CheckNarrow(const std::u16string &p, uint32_t options, const std::u16string &t,
                 const std::u16string &f, int whole, const std::string &offsets,
                 const std::u16string &replaced)
{
    const std::string np(p.begin(), p.end()), nt(t.begin(), t.end()), nf(f.begin(), f.end());
    XRegexHelper *r = RegexMalloc(np.c_str(), options);
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(whole, RegexMatch(r, nt.c_str()));
    unsigned int out[2] = {};
    const int found = RegexSearch(r, nt.c_str(), out);
    EXPECT_EQ(offsets != "0", found != 0);
    if (found != 0) {
        // The whole match's pair opens node's list "count:start,end,...".
        const std::string pair = std::to_string(out[0]) + "," + std::to_string(out[1]);
        EXPECT_EQ(0u, offsets.find(pair, offsets.find(':') + 1) - offsets.find(':') - 1);
    }
    XByteBuffer b;
    ASSERT_EQ(1, RegexReplace(r, nt.c_str(), nf.c_str(), &b));
    EXPECT_EQ(std::string(replaced.begin(), replaced.end()),
              std::string(b.GetLength() ? b.GetString() : "", b.GetLength()));
    RegexRelease(r);
}

} // namespace

TEST(RegexOracle, CorpusMatchesNode)
{
    const std::vector<std::string> lines = NodeLines();
    ASSERT_GT(lines.size(), 50u);
    for (const std::string &line : lines) {
        std::istringstream in(line);
        std::string ph, th, fh, result;
        int caseless = 0;
        in >> ph >> caseless >> th >> fh >> result;
        const std::u16string p = FromHex(ph), t = FromHex(th), f = FromHex(fh);
        const uint32_t options = caseless != 0 ? kRegexNoCase : 0;
        SCOPED_TRACE("pattern /" + Printable(p) + "/ text \"" + Printable(t) + "\"");
        if (result == "E") {
            EXPECT_EQ(nullptr, RegexMalloc(p.c_str(), options));
            continue;
        }
        const int whole = std::stoi(result);
        std::string offsets, replacedHex;
        in >> offsets >> replacedHex;
        const std::u16string replaced = FromHex(replacedHex);
        EXPECT_EQ(whole, RegexMatch(p.c_str(), options, t.c_str()));
        EXPECT_EQ(offsets, OurOffsets(p, options, t));
        XString out;
        ASSERT_EQ(1, RegexReplace(p.c_str(), options, t.c_str(), f.c_str(), &out));
        EXPECT_EQ(Printable(replaced), Printable(out.GetString() ? out.GetString() : u""));
        if (IsAscii(p) && IsAscii(t) && IsAscii(f))
            CheckNarrow(p, options, t, f, whole, offsets, replaced);
    }
}
