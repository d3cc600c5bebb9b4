#pragma once
// QR Code Model 2 constants: symbol structure at error correction level L and the
// positions of the alignment patterns, by version 1-40 (index 0 unused).

#include <cstdint>

inline constexpr int kQRMinVersion = 1;
inline constexpr int kQRMaxVersion = 40;
// Modules per side of the largest symbol.
inline constexpr int kQRMaxSide = 17 + 4 * kQRMaxVersion;

// Modules per side of a symbol of the given version.
constexpr int QRSideOf(int version)
{
    return 17 + 4 * version;
}

struct QRBlockLayout_t
{
    uint16_t totalCodewords;
    uint8_t eccPerBlock;
    uint8_t blocks;
};

// Level L. Columns: total codewords of the symbol (data and error correction), error
// correction codewords per block, number of blocks. Blocks differ in data length by at
// most one codeword; the longer ones come last.
constexpr QRBlockLayout_t kQRBlocksL[kQRMaxVersion + 1] = {
    {0, 0, 0},      // unused
    {26, 7, 1},     // 1
    {44, 10, 1},    // 2
    {70, 15, 1},    // 3
    {100, 20, 1},   // 4
    {134, 26, 1},   // 5
    {172, 18, 2},   // 6
    {196, 20, 2},   // 7
    {242, 24, 2},   // 8
    {292, 30, 2},   // 9
    {346, 18, 4},   // 10
    {404, 20, 4},   // 11
    {466, 24, 4},   // 12
    {532, 26, 4},   // 13
    {581, 30, 4},   // 14
    {655, 22, 6},   // 15
    {733, 24, 6},   // 16
    {815, 28, 6},   // 17
    {901, 30, 6},   // 18
    {991, 28, 7},   // 19
    {1085, 28, 8},  // 20
    {1156, 28, 8},  // 21
    {1258, 28, 9},  // 22
    {1364, 30, 9},  // 23
    {1474, 30, 10}, // 24
    {1588, 26, 12}, // 25
    {1706, 28, 12}, // 26
    {1828, 30, 12}, // 27
    {1921, 30, 13}, // 28
    {2051, 30, 14}, // 29
    {2185, 30, 15}, // 30
    {2323, 30, 16}, // 31
    {2465, 30, 17}, // 32
    {2611, 30, 18}, // 33
    {2761, 30, 19}, // 34
    {2876, 30, 19}, // 35
    {3034, 30, 20}, // 36
    {3196, 30, 21}, // 37
    {3362, 30, 22}, // 38
    {3532, 30, 24}, // 39
    {3706, 30, 25}, // 40
};

// Data codewords of a level-L symbol of the given version.
constexpr int QRDataCodewordsL(int version)
{
    return kQRBlocksL[version].totalCodewords -
           kQRBlocksL[version].eccPerBlock * kQRBlocksL[version].blocks;
}

// Row and column coordinates of the alignment pattern centres, ascending, 0 after the
// last. Every pairing of two coordinates is a centre, except the three that would fall
// on a finder pattern.
constexpr uint8_t kQRAlignmentPositions[kQRMaxVersion + 1][8] = {
    {},                             // 0
    {},                             // 1
    {6, 18},                        // 2
    {6, 22},                        // 3
    {6, 26},                        // 4
    {6, 30},                        // 5
    {6, 34},                        // 6
    {6, 22, 38},                    // 7
    {6, 24, 42},                    // 8
    {6, 26, 46},                    // 9
    {6, 28, 50},                    // 10
    {6, 30, 54},                    // 11
    {6, 32, 58},                    // 12
    {6, 34, 62},                    // 13
    {6, 26, 46, 66},                // 14
    {6, 26, 48, 70},                // 15
    {6, 26, 50, 74},                // 16
    {6, 30, 54, 78},                // 17
    {6, 30, 56, 82},                // 18
    {6, 30, 58, 86},                // 19
    {6, 34, 62, 90},                // 20
    {6, 28, 50, 72, 94},            // 21
    {6, 26, 50, 74, 98},            // 22
    {6, 30, 54, 78, 102},           // 23
    {6, 28, 54, 80, 106},           // 24
    {6, 32, 58, 84, 110},           // 25
    {6, 30, 58, 86, 114},           // 26
    {6, 34, 62, 90, 118},           // 27
    {6, 26, 50, 74, 98, 122},       // 28
    {6, 30, 54, 78, 102, 126},      // 29
    {6, 26, 52, 78, 104, 130},      // 30
    {6, 30, 56, 82, 108, 134},      // 31
    {6, 34, 60, 86, 112, 138},      // 32
    {6, 30, 58, 86, 114, 142},      // 33
    {6, 34, 62, 90, 118, 146},      // 34
    {6, 30, 54, 78, 102, 126, 150}, // 35
    {6, 24, 50, 76, 102, 128, 154}, // 36
    {6, 28, 54, 80, 106, 132, 158}, // 37
    {6, 32, 58, 84, 110, 136, 162}, // 38
    {6, 26, 54, 82, 110, 138, 166}, // 39
    {6, 30, 58, 86, 114, 142, 170}, // 40
};
