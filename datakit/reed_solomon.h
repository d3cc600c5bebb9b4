#pragma once
// Reed-Solomon error correction codewords as QR Code uses them: arithmetic in GF(256)
// with the field polynomial x^8 + x^4 + x^3 + x^2 + 1, generator polynomials with the
// roots alpha^0 .. alpha^(n-1).

#include <cstddef>
#include <cstdint>

#include "datakit/datakit_export.h"

// Largest number of error correction codewords in one block.
inline constexpr int kReedSolomonMaxDegree = 30;

// Writes the eccLength (1..kReedSolomonMaxDegree) error correction codewords of the
// n data codewords into ecc: the remainder of data(x) * x^eccLength divided by the
// generator polynomial, highest power first. Nothing is written for another eccLength.
DATAKIT_EXPORT void ComputeReedSolomon(const uint8_t *data, size_t n, int eccLength, uint8_t *ecc);

// Product of a and b in the field.
DATAKIT_EXPORT uint8_t MultiplyGF256(uint8_t a, uint8_t b);
