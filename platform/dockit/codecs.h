#pragma once
// Compression, check values and the resource cipher.

#include <cstdint>

#include "platform/dockit/dockit_export.h"

// Compresses `length` bytes of src into dst (capacity `capacity`) as one zlib stream
// (RFC 1950). Returns the compressed length, 0 on failure or when dst is too small.
DOCKIT_EXPORT uint32_t DoCompress(void *dst, uint32_t capacity, const void *src, uint32_t length);

// Inflates one zlib stream of `length` bytes into dst. Returns the inflated length;
// 0 for a damaged or cut stream, or when the result does not fit into `capacity`.
DOCKIT_EXPORT uint32_t UnCompress(void *dst, uint32_t capacity, const void *src, uint32_t length);

// Check-value modes: the low 16 bits pick the algorithm; the flag says that more
// pieces follow.
constexpr uint32_t kCrc32 = 2;
constexpr uint32_t kCrcMoreToFollow = 0x100000;

// CRC-32 (the zlib and PNG polynomial) of `length` bytes, continuing from the value
// a previous piece returned (`running`; 0 for the first piece). Chaining pieces with
// mode 0x100002 and ending with mode 2 gives the check value of all bytes at once.
// The last two arguments are reserved and must be 0. An unknown algorithm gives 0.
DOCKIT_EXPORT uint32_t CRC_Compute(uint32_t mode, const void *data, uint32_t length,
                                   uint32_t running, uint32_t reserved1 = 0,
                                   uint32_t reserved2 = 0);

// Piece length after which the cipher's keystream starts over.
constexpr uint32_t kCipherPeriod = 8192;

// AES-128-CTR with a built-in key; the keystream restarts at every multiple of 8192
// bytes from the start of src, so a buffer enciphered in 8192-byte pieces deciphers in
// one call. This hides resource bytes from casual view; it is not secrecy.
// dst may equal src. Returns `length`; 0 when a pointer is null and length is not 0.
DOCKIT_EXPORT uint32_t EncryptBuffer(void *dst, const void *src, uint32_t length);
DOCKIT_EXPORT uint32_t DecryptBuffer(void *dst, const void *src, uint32_t length);
