#include "platform/dockit/codecs.h"

#include <array>
#include <climits>
#include <openssl/evp.h>
#include <zlib.h>

namespace {

// Built-in cipher key and initial counter block.
constexpr std::array<unsigned char, 16> kCipherKey = {
    0x5A, 0x45, 0x50, 0x2D, 0x44, 0x6F, 0x63, 0x6B, 0x69, 0x74, 0x9E, 0x37, 0x79, 0xB9, 0x7F, 0x4A};
constexpr std::array<unsigned char, 16> kCipherCounter = {
    0x7C, 0x15, 0x9B, 0x02, 0xE1, 0x58, 0x33, 0xA6, 0, 0, 0, 0, 0, 0, 0, 0};

using Keystream = std::array<unsigned char, kCipherPeriod>;

// One period of keystream: AES-CTR applied to zero bytes.
Keystream MakeKeystream()
{
    Keystream stream{};
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    int produced = 0;
    bool ok = ctx &&
              EVP_EncryptInit_ex(ctx, EVP_aes_128_ctr(), nullptr, kCipherKey.data(),
                                 kCipherCounter.data()) == 1 &&
              EVP_EncryptUpdate(ctx, stream.data(), &produced, stream.data(),
                                static_cast<int>(stream.size())) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok || produced != static_cast<int>(stream.size()))
        stream.fill(0);
    return stream;
}

const Keystream &CipherStream()
{
    static const Keystream stream = MakeKeystream();
    return stream;
}

uint32_t ApplyKeystream(void *dst, const void *src, uint32_t length)
{
    if (length == 0)
        return 0;
    if (!dst || !src)
        return 0;
    const Keystream &stream = CipherStream();
    const auto *in = static_cast<const unsigned char *>(src);
    auto *out = static_cast<unsigned char *>(dst);
    for (uint32_t i = 0; i < length; ++i)
        out[i] = in[i] ^ stream[i % kCipherPeriod];
    return length;
}

} // namespace

uint32_t DoCompress(void *dst, uint32_t capacity, const void *src, uint32_t length)
{
    if (!dst || (!src && length))
        return 0;
    uLongf outLength = capacity;
    if (compress2(static_cast<Bytef *>(dst), &outLength, static_cast<const Bytef *>(src), length,
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return 0;
    return static_cast<uint32_t>(outLength);
}

uint32_t UnCompress(void *dst, uint32_t capacity, const void *src, uint32_t length)
{
    if (!dst || !src || length == 0)
        return 0;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return 0;
    zs.next_in = static_cast<Bytef *>(const_cast<void *>(src));
    zs.avail_in = length;
    zs.next_out = static_cast<Bytef *>(dst);
    zs.avail_out = capacity;
    int rc = inflate(&zs, Z_FINISH);
    uint32_t produced = static_cast<uint32_t>(zs.total_out);
    inflateEnd(&zs);
    return rc == Z_STREAM_END ? produced : 0;
}

uint32_t CRC_Compute(uint32_t mode, const void *data, uint32_t length, uint32_t running, uint32_t,
                     uint32_t)
{
    if ((mode & 0xFFFF) != kCrc32)
        return 0;
    if (!data || length == 0)
        return running;
    // zlib keeps the running value finished after every piece, so a piece with more
    // to follow and a last piece are computed alike.
    return static_cast<uint32_t>(crc32_z(running, static_cast<const Bytef *>(data), length));
}

uint32_t EncryptBuffer(void *dst, const void *src, uint32_t length)
{
    return ApplyKeystream(dst, src, length);
}

uint32_t DecryptBuffer(void *dst, const void *src, uint32_t length)
{
    return ApplyKeystream(dst, src, length);
}
