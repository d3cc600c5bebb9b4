// The QR encoder on arbitrary UTF-16 text (and the same bytes as code-page text under
// GBK, Shift-JIS and a single-byte code page), and the barcode element strings on the
// same text. Checks that the segments cover the bytes exactly, that the chosen version
// holds them, and that element strings stay within their buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "datakit/barcode_elements.h"
#include "datakit/qr_encoder.h"
#include "datakit/qr_render.h"
#include "datakit/qr_tables.h"

namespace {

void Require(bool ok)
{
    if (!ok)
        std::abort();
}

void CheckSymbol(const XQRCode &code, size_t n)
{
    int version = code.GetVersion();
    Require(version >= 1 && version <= 40 && code.GetSide() == 17 + 4 * version);
    Require(code.GetDataCodewords().size() == static_cast<size_t>(QRDataCodewordsL(version)));
    size_t next = 0, bits = 0;
    for (const QRSegment_t &s : code.GetSegments()) {
        Require(s.begin == next && s.length > 0);
        Require(s.mode != kQRModeKanji || s.length % 2 == 0);
        next += s.length;
        bits += QRSegmentBits(s, QRVersionGroup(version));
    }
    Require(next == n);
    Require(bits <= static_cast<size_t>(QRDataCodewordsL(version)) * 8);
}

void CheckRendering(const XQRCode &code)
{
    XBitImage image;
    Require(RenderQRWithQuietZone(code.GetMatrix(), 1, 0, image));
    for (int y = 0; y < code.GetSide(); y++) {
        for (int x = 0; x < code.GetSide(); x++)
            Require(image.IsDark(x, y) == code.IsDark(x, y));
    }
}

void CheckBarcodes(const char16_t *text)
{
    for (int type : {kBarcodeCode39, kBarcodeCode128B, kBarcodeCode128Auto}) {
        XBarcodeElements elements;
        if (!MakeBarcodeElements(text, type, elements))
            continue;
        Require(elements.GetLength() <= XBarcodeElements::kCapacity);
        Require(elements.GetLength() % 2 == 0);
        for (size_t i = 0; i < elements.GetLength(); i++)
            Require(elements.GetString()[i] >= '1' && elements.GetString()[i] <= '4');
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (unit == 0)
            break;
        text += unit;
    }
    XQRCode code;
    if (code.EncodeText(text.c_str())) {
        Require(code.GetVersion() <= 26); // 1280 bytes at most
        CheckRendering(code);
    }
    static const int kCodePages[] = {936, 932, 1252};
    int codepage = size > 0 ? kCodePages[data[0] % 3] : 936;
    if (code.EncodeBytes(data, size, codepage))
        CheckSymbol(code, size);
    else
        Require(code.GetVersion() == 0);
    CheckBarcodes(text.c_str());
    return 0;
}
