#include "datakit/reed_solomon.h"

#include <array>
#include <cstring>

namespace {

constexpr unsigned kFieldPolynomial = 0x11D;

struct FieldTables_t
{
    // exp[i] = alpha^i, doubled in length so that exp[log a + log b] needs no modulo.
    std::array<uint8_t, 512> exp{};
    // log[a] for a != 0; log[0] is unused.
    std::array<uint8_t, 256> log{};
};

constexpr FieldTables_t MakeFieldTables()
{
    FieldTables_t t;
    unsigned x = 1;
    for (int i = 0; i < 255; i++) {
        t.exp[i] = static_cast<uint8_t>(x);
        t.exp[i + 255] = static_cast<uint8_t>(x);
        t.log[x] = static_cast<uint8_t>(i);
        x <<= 1;
        if (x & 0x100)
            x ^= kFieldPolynomial;
    }
    t.exp[510] = t.exp[0];
    t.exp[511] = t.exp[1];
    return t;
}
constexpr FieldTables_t kField = MakeFieldTables();

constexpr uint8_t Multiply(uint8_t a, uint8_t b)
{
    if (a == 0 || b == 0)
        return 0;
    return kField.exp[kField.log[a] + kField.log[b]];
}

// Multiplies out (x - alpha^0)(x - alpha^1)...(x - alpha^(degree-1)) into coef,
// coefficients highest power first, coef[0] = 1.
constexpr void MultiplyOutGenerator(int degree, uint8_t *coef)
{
    coef[0] = 1;
    for (int j = 1; j <= degree; j++)
        coef[j] = 0;
    for (int root = 0; root < degree; root++) {
        for (int j = root + 1; j > 0; j--)
            coef[j] = static_cast<uint8_t>(coef[j] ^ Multiply(coef[j - 1], kField.exp[root]));
    }
}

// The table stores logarithms, so no generator coefficient may be zero.
constexpr bool GeneratorsHaveNoZero()
{
    for (int degree = 1; degree <= kReedSolomonMaxDegree; degree++) {
        uint8_t coef[kReedSolomonMaxDegree + 1] = {};
        MultiplyOutGenerator(degree, coef);
        for (int j = 1; j <= degree; j++) {
            if (coef[j] == 0)
                return false;
        }
    }
    return true;
}
static_assert(GeneratorsHaveNoZero());

// Generator polynomials by degree d: logarithms of the coefficients of x^(d-1) .. x^0
// (the leading 1 is left out).
using GeneratorTable =
    std::array<std::array<uint8_t, kReedSolomonMaxDegree>, kReedSolomonMaxDegree + 1>;

constexpr GeneratorTable MakeGenerators()
{
    GeneratorTable table{};
    for (int degree = 1; degree <= kReedSolomonMaxDegree; degree++) {
        uint8_t coef[kReedSolomonMaxDegree + 1] = {};
        MultiplyOutGenerator(degree, coef);
        for (int j = 0; j < degree; j++)
            table[degree][j] = kField.log[coef[j + 1]];
    }
    return table;
}
constexpr GeneratorTable kGenerators = MakeGenerators();

} // namespace

uint8_t MultiplyGF256(uint8_t a, uint8_t b)
{
    return Multiply(a, b);
}

void ComputeReedSolomon(const uint8_t *data, size_t n, int eccLength, uint8_t *ecc)
{
    if (eccLength < 1 || eccLength > kReedSolomonMaxDegree)
        return;
    const uint8_t *gen = kGenerators[eccLength].data();
    uint8_t rem[kReedSolomonMaxDegree + 1] = {};
    for (size_t i = 0; i < n; i++) {
        uint8_t factor = data[i] ^ rem[0];
        memmove(rem, rem + 1, eccLength - 1);
        rem[eccLength - 1] = 0;
        if (factor == 0)
            continue;
        unsigned logFactor = kField.log[factor];
        for (int j = 0; j < eccLength; j++)
            rem[j] ^= kField.exp[gen[j] + logFactor];
    }
    memcpy(ecc, rem, eccLength);
}
