// FromInteger and ToInt64 against Python's integer formatting on random 64-bit
// values in all four radixes. The values go to Python as std::to_chars text,
// so nothing of ours stands between the two sides.

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "corekit/numbers/numbers.h"
#include "test_util.h"

namespace {

// Reads one decimal integer per line; answers per value: the value as a
// signed 64-bit number in decimal, hexadecimal, octal and binary, then the
// unsigned value in the same four radixes.
constexpr const char *kOracle = R"(
import sys
for line in open(sys.argv[1]):
    u = int(line)
    s = u - (1 << 64) if u >= (1 << 63) else u
    print(' '.join([format(s, 'd'), format(s, 'x'), format(s, 'o'), format(s, 'b'),
                    format(u, 'd'), format(u, 'x'), format(u, 'o'), format(u, 'b')]))
)";

std::vector<uint64_t> TestValues()
{
    using U = std::numeric_limits<uint64_t>;
    std::vector<uint64_t> values = {0, 1, 9, 10, U::max(), U::max() / 2, U::max() / 2 + 1};
    for (int bit = 0; bit < 64; ++bit) {
        values.push_back(1ull << bit);
        values.push_back((1ull << bit) - 1);
    }
    std::mt19937_64 random(20240607);
    for (int i = 0; i < 3000; ++i) {
        const uint64_t v = random();
        values.push_back(v >> (random() % 64)); // every magnitude, not only 19-20 digits
    }
    return values;
}

std::vector<std::vector<std::string>> AskPython(const std::vector<uint64_t> &values)
{
    const TempFolder folder;
    const std::string input = folder.File("values.txt");
    {
        std::ofstream out(input);
        for (uint64_t v : values) {
            char text[24];
            *std::to_chars(text, text + sizeof text - 1, v).ptr = 0;
            out << text << '\n';
        }
    }
    const std::string script = folder.File("oracle.py");
    std::ofstream(script) << kOracle;
    const std::string command = "/usr/bin/python3 " + script + " " + input;
    FILE *pipe = popen(command.c_str(), "r");
    EXPECT_NE(nullptr, pipe) << command;
    std::vector<std::vector<std::string>> rows;
    if (!pipe)
        return rows;
    std::string all;
    char chunk[65536];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        all.append(chunk, n);
    EXPECT_EQ(0, pclose(pipe)) << "the oracle /usr/bin/python3 failed";
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::vector<std::string> row;
        for (std::string f; fields >> f;)
            row.push_back(f);
        rows.push_back(row);
    }
    return rows;
}

std::u16string Widen(const std::string &s)
{
    return std::u16string(s.begin(), s.end());
}

TEST(NumbersOracle, AgreesWithPythonInAllRadixes)
{
    const std::vector<uint64_t> values = TestValues();
    const auto rows = AskPython(values);
    ASSERT_EQ(values.size(), rows.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const uint64_t u = values[i];
        const int64_t s = static_cast<int64_t>(u);
        const auto &row = rows[i];
        ASSERT_EQ(8u, row.size());
        SCOPED_TRACE(row[4]);

        char narrow[kIntegerTextMax];
        char16_t wide[kIntegerTextMax];
        EXPECT_EQ(row[0].size(), FromInteger(narrow, s));
        EXPECT_EQ(row[0], narrow);
        FromInteger(wide, s);
        EXPECT_EQ(Widen(row[0]), wide);
        EXPECT_EQ(s, ToInt64(row[0].c_str()));
        EXPECT_EQ(s, ToInt64(Widen(row[0]).c_str()));

        // Python's columns d, x, o, b are in the order of the radix codes.
        for (int radix = 0; radix < 4; ++radix) {
            const std::string &signedText = row[radix];
            const std::string &unsignedText = row[4 + radix];
            EXPECT_EQ(unsignedText.size(), FromInteger(radix, narrow, u));
            EXPECT_EQ(unsignedText, narrow);
            FromInteger(radix, wide, u);
            EXPECT_EQ(Widen(unsignedText), wide);
            EXPECT_EQ(s, ToInt64(radix, signedText.c_str())) << signedText;
            EXPECT_EQ(s, ToInt64(radix, Widen(unsignedText).c_str())) << unsignedText;
            EXPECT_EQ(static_cast<int32_t>(s), ToInt32(radix, signedText.c_str()));
        }
        EXPECT_EQ(s, ToInt64(("0x" + row[5]).c_str()));
    }
}

} // namespace
