#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/panekit/color.h"

namespace {

struct Case
{
    const char *text;
    int read; // 0: no colour
    uint32_t color;
};

TEST(ParseColor, Forms)
{
    const Case cases[] = {
        {"#fff", 4, 0xFFFFFF},
        {"#A1b2C3;", 7, 0xC3B2A1},
        {"#123 x", 4, 0x332211},
        {"#12", 0, 0},
        {"#1234", 0, 0},
        {"#1234567", 0, 0},
        {"#abcg", 0, 0},
        {"#", 0, 0},
        {"rgb(1,2,3)", 10, 0x030201},
        {"RGB( 10 , 20 , 30 ) px", 19, 0x1E140A},
        {"rgb(300,-5,+7)", 14, 0x0700FF},
        {"rgb(1,2)", 0, 0},
        {"rgb(1,2,3", 0, 0},
        {"rgb(1.5,2,3)", 0, 0},
        {"rgb (1,2,3)", 0, 0},
        {"red", 3, 0x0000FF},
        {"Red;", 3, 0x0000FF},
        {"rebeccapurple", 13, 0x993366},
        {"redx", 0, 0},
        {"red-", 0, 0},
        {"transparent", 11, kColorUnset},
        {"NONE ", 4, kColorUnset},
        {"currentcolor", 0, 0},
        {"", 0, 0},
        {"averyveryveryverylongnameofnocolor", 0, 0},
    };
    for (const Case &c : cases) {
        uint32_t color = 0x12345678;
        EXPECT_EQ(c.read, ParseColor(c.text, &color)) << c.text;
        EXPECT_EQ(c.read ? c.color : 0x12345678u, color) << c.text;
        std::u16string wide(c.text, c.text + std::char_traits<char>::length(c.text));
        uint32_t wideColor = 0x12345678;
        EXPECT_EQ(c.read, ParseColor(wide.c_str(), &wideColor)) << c.text;
        EXPECT_EQ(color, wideColor) << c.text;
    }
    uint32_t color = 0;
    EXPECT_EQ(0, ParseColor(u"r\u0165d", &color));
}

TEST(FormatColor, Forms)
{
    char buf[kColorTextMax];
    char16_t wide[kColorTextMax];
    EXPECT_EQ(7, FormatColor(buf, 0x00C3B2A1));
    EXPECT_STREQ("#a1b2c3", buf);
    EXPECT_EQ(7, FormatColor(buf, 0));
    EXPECT_STREQ("#000000", buf);
    EXPECT_EQ(4, FormatColor(buf, kColorUnset));
    EXPECT_STREQ("none", buf);
    EXPECT_EQ(7, FormatColor(wide, 0x00FF0000));
    EXPECT_EQ(std::u16string(u"#0000ff"), wide);
    for (uint32_t v : {0u, 1u, 0xFFFFFFu, 0x808080u, kColorUnset}) {
        uint32_t back = 0;
        FormatColor(buf, v);
        EXPECT_GT(ParseColor(buf, &back), 0);
        EXPECT_EQ(v, back);
    }
}

// Runs the tinycss2 oracle over the lines; returns one answer per line.
std::vector<std::string> Oracle(const std::vector<std::string> &lines)
{
    const std::string input = std::string(ZEP_BINARY_DIR) + "/h7_color_oracle_input.txt";
    {
        std::ofstream out(input);
        for (const std::string &l : lines)
            out << l << "\n";
    }
    const std::string cmd = "/usr/bin/python3 " ZEP_TEST_DIR "/color_oracle.py < " + input;
    std::vector<std::string> answers;
    FILE *pipe = popen(cmd.c_str(), "r");
    EXPECT_NE(nullptr, pipe);
    if (!pipe)
        return answers;
    char line[256];
    while (fgets(line, sizeof line, pipe)) {
        std::string s(line);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        answers.push_back(s);
    }
    EXPECT_EQ(0, pclose(pipe)) << "the python3-tinycss2 oracle failed";
    std::remove(input.c_str());
    return answers;
}

std::vector<std::string> OracleNames()
{
    std::vector<std::string> names;
    FILE *pipe = popen("/usr/bin/python3 " ZEP_TEST_DIR "/color_oracle.py names", "r");
    if (!pipe)
        return names;
    char line[64];
    while (fgets(line, sizeof line, pipe)) {
        std::string s(line);
        s.pop_back();
        names.push_back(s);
    }
    pclose(pipe);
    return names;
}

std::string Hex(unsigned v, int digits)
{
    static const char kDigits[] = "0123456789aBcDeF";
    std::string s;
    for (int i = digits - 1; i >= 0; --i)
        s += kDigits[(v >> (4 * i)) & 0xF];
    return s;
}

TEST(ParseColor, AgreesWithTinycss2)
{
    std::vector<std::string> inputs;
    const std::vector<std::string> names = OracleNames();
    ASSERT_GT(names.size(), 140u) << "python3-tinycss2 is missing";
    for (const std::string &n : names) {
        inputs.push_back(n);
        std::string upper = n;
        upper[0] = static_cast<char>(std::toupper(upper[0]));
        inputs.push_back(upper);
    }
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        inputs.push_back("#" + Hex(rng() & 0xFFF, 3));
        inputs.push_back("#" + Hex(rng() & 0xFFFFFF, 6));
        const unsigned r = rng() % 256, g = rng() % 256, b = rng() % 256;
        std::ostringstream rgb;
        rgb << (i % 2 ? "rgb(" : "RGB( ") << r << (i % 3 ? "," : " , ") << g << "," << b
            << (i % 5 ? ")" : " )");
        inputs.push_back(rgb.str());
    }
    const std::vector<std::string> answers = Oracle(inputs);
    ASSERT_EQ(inputs.size(), answers.size());
    for (size_t i = 0; i < inputs.size(); ++i) {
        uint32_t color = 0;
        const int read = ParseColor(inputs[i].c_str(), &color);
        const std::string &want = answers[i];
        if (want == "none") {
            EXPECT_EQ(0, read) << inputs[i];
            continue;
        }
        unsigned r = 0, g = 0, b = 0;
        double alpha = 0;
        ASSERT_EQ(4, std::sscanf(want.c_str(), "%u %u %u %lf", &r, &g, &b, &alpha)) << want;
        EXPECT_EQ(static_cast<int>(inputs[i].size()), read) << inputs[i];
        const uint32_t expected = alpha == 0 ? kColorUnset : (r | g << 8 | b << 16);
        EXPECT_EQ(expected, color) << inputs[i] << " -> " << want;
    }
}

} // namespace
