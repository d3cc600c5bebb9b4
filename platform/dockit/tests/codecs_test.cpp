// Compression, check values and the cipher, with python3's zlib as the oracle.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "oracle_util.h"
#include "platform/dockit/codecs.h"

using dockit_test::RunTool;

namespace {

constexpr const char *kPython = "/usr/bin/python3";

std::string RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string bytes(n, '\0');
    for (char &c : bytes)
        c = static_cast<char>(gen() % 7 == 0 ? gen() & 0xFF : 'a' + gen() % 4); // compressible
    return bytes;
}

std::string Python(const std::string &script, const std::string &input)
{
    int status = 0;
    std::string out = RunTool(std::string(kPython) + " -c '" + script + "'", input, &status);
    EXPECT_EQ(0, status) << "python3 oracle failed: " << script;
    return out;
}

TEST(CrcTest, KnownValues)
{
    EXPECT_EQ(0xCBF43926u, CRC_Compute(kCrc32, "123456789", 9, 0, 0, 0));
    EXPECT_EQ(0u, CRC_Compute(kCrc32, "", 0, 0, 0, 0));
    EXPECT_EQ(0x414FA339u, CRC_Compute(2, "The quick brown fox jumps over the lazy dog", 43, 0));
    EXPECT_EQ(0u, CRC_Compute(7, "123456789", 9, 0)); // unknown algorithm
    uint32_t part = CRC_Compute(0x100002, "1234", 4, 0, 0, 0);
    EXPECT_EQ(0xCBF43926u, CRC_Compute(2, "56789", 5, part, 0, 0));
}

TEST(CrcTest, RunningPiecesAgreeWithPython)
{
    std::mt19937 gen(7);
    for (unsigned round = 0; round < 8; ++round) {
        std::string data = RandomBytes(1 + gen() % 20000, round);
        uint32_t running = 0;
        for (size_t at = 0; at < data.size();) {
            size_t piece = std::min<size_t>(1 + gen() % 3000, data.size() - at);
            bool last = at + piece == data.size();
            running = CRC_Compute(last ? 2 : 0x100002, data.data() + at,
                                  static_cast<uint32_t>(piece), running, 0, 0);
            at += piece;
        }
        std::string expected =
            Python("import sys,zlib; print(zlib.crc32(sys.stdin.buffer.read()))", data);
        EXPECT_EQ(std::stoul(expected), running) << "round " << round;
    }
}

TEST(CompressTest, RoundTripsAndRefuses)
{
    std::string data = RandomBytes(50000, 1);
    std::vector<char> packed(data.size() + 1024);
    uint32_t n = DoCompress(packed.data(), static_cast<uint32_t>(packed.size()), data.data(),
                            static_cast<uint32_t>(data.size()));
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, data.size());
    std::vector<char> back(data.size());
    EXPECT_EQ(data.size(),
              UnCompress(back.data(), static_cast<uint32_t>(back.size()), packed.data(), n));
    EXPECT_EQ(0, std::memcmp(back.data(), data.data(), data.size()));

    EXPECT_EQ(0u, UnCompress(back.data(), static_cast<uint32_t>(back.size() - 1), packed.data(),
                             n)); // does not fit
    EXPECT_EQ(0u, UnCompress(back.data(), static_cast<uint32_t>(back.size()), packed.data(),
                             n - 1)); // cut stream
    packed[n / 2] ^= 0x55;
    EXPECT_EQ(0u, UnCompress(back.data(), static_cast<uint32_t>(back.size()), packed.data(), n));
    EXPECT_EQ(0u, DoCompress(packed.data(), 4, data.data(), static_cast<uint32_t>(data.size())));
    EXPECT_EQ(0u, UnCompress(back.data(), 10, "junk", 4));
    EXPECT_EQ(0u, UnCompress(back.data(), 10, nullptr, 4));
}

TEST(CompressTest, InteroperatesWithPython)
{
    std::string data = RandomBytes(30000, 2);
    std::string fromPython = Python(
        "import sys,zlib; sys.stdout.buffer.write(zlib.compress(sys.stdin.buffer.read()))", data);
    std::vector<char> back(data.size());
    ASSERT_EQ(data.size(), UnCompress(back.data(), static_cast<uint32_t>(back.size()),
                                      fromPython.data(), static_cast<uint32_t>(fromPython.size())));
    EXPECT_EQ(data, std::string(back.data(), back.size()));

    std::vector<char> packed(data.size() + 1024);
    uint32_t n = DoCompress(packed.data(), static_cast<uint32_t>(packed.size()), data.data(),
                            static_cast<uint32_t>(data.size()));
    ASSERT_GT(n, 0u);
    std::string inflated =
        Python("import sys,zlib; sys.stdout.buffer.write(zlib.decompress(sys.stdin.buffer.read()))",
               std::string(packed.data(), n));
    EXPECT_EQ(data, inflated);
}

TEST(CipherTest, PiecesOf8192DecipherInOnePiece)
{
    std::string plain = RandomBytes(3 * 8192 + 100, 3);
    std::string whole(plain.size(), '\0');
    ASSERT_EQ(plain.size(),
              EncryptBuffer(whole.data(), plain.data(), static_cast<uint32_t>(plain.size())));
    EXPECT_NE(plain, whole);
    EXPECT_NE(0, std::memcmp(whole.data(), whole.data() + 16, 16)); // no repeating block

    // The resource writer enciphers 8192 bytes at a time.
    std::string pieces(plain.size(), '\0');
    for (size_t at = 0; at < plain.size(); at += 8192) {
        uint32_t n = static_cast<uint32_t>(std::min<size_t>(8192, plain.size() - at));
        EncryptBuffer(pieces.data() + at, plain.data() + at, n);
    }
    EXPECT_EQ(whole, pieces);

    std::string back = pieces;
    EXPECT_EQ(back.size(), DecryptBuffer(back.data(), back.data(), // in place
                                         static_cast<uint32_t>(back.size())));
    EXPECT_EQ(plain, back);

    // The 48-byte stamp record alone deciphers on its own.
    char stamp[48];
    DecryptBuffer(stamp, whole.data(), 48);
    EXPECT_EQ(0, std::memcmp(stamp, plain.data(), 48));
    EXPECT_EQ(0u, EncryptBuffer(nullptr, plain.data(), 4));
}

} // namespace
