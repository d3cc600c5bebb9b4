// zepcode: draws a barcode or QR code of a text into a PNG file, or prints the symbol.
//
//   zepcode [options] TEXT
//     -t TYPE       qr (default), code39, code128b, code128 (automatic code sets B and C)
//     -o FILE       write a PNG file
//     -m PIXELS     module size in pixels (default 4 for QR, 2 for barcodes)
//     -q MODULES    light margin around the symbol (default 4 for QR, 10 for barcodes)
//     -H PIXELS     bar length of a barcode (default 80)
//     -v            vertical barcode (bars run horizontally)
//     -c CODEPAGE   ANSI code page the QR text is converted to (iconv name, default CP936)
//     -r            QR: encode the bytes of TEXT as they are, without conversion and up to
//                   the capacity of version 40 (the converted text stops at 1280 bytes)
//     -p            print the symbol: the QR module matrix as rows of '#' and '.', or the
//                   barcode element string and its modules as '1' (bar) and '0' (space)
//
// TEXT is UTF-8. Exit status 0 on success, 1 when the text cannot be encoded, 2 on a
// usage error.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "corekit/encoding/encoding.h"
#include "datakit/barcode_render.h"
#include "datakit/code_page.h"
#include "datakit/qr_encoder.h"
#include "datakit/qr_render.h"
#include "datakit/symbol_image.h"
#include "platform/panekit/image/ximage.h"

namespace {

struct Options_t
{
    std::string type = "qr";
    const char *output = nullptr;
    int module = -1;
    int quiet = -1;
    int height = 80;
    bool vertical = false;
    bool print = false;
    bool raw = false;
    const char *text = nullptr;
};

void Usage()
{
    fputs("usage: zepcode [-t qr|code39|code128b|code128] [-o FILE.png] [-m PIXELS]\n"
          "               [-q MODULES] [-H PIXELS] [-v] [-c CODEPAGE] [-r] [-p] TEXT\n",
          stderr);
}

bool ParseOptions(int argc, char **argv, Options_t &opt)
{
    int c;
    while ((c = getopt(argc, argv, "t:o:m:q:H:vc:pr")) != -1) {
        switch (c) {
        case 't':
            opt.type = optarg;
            break;
        case 'o':
            opt.output = optarg;
            break;
        case 'm':
            opt.module = atoi(optarg);
            break;
        case 'q':
            opt.quiet = atoi(optarg);
            break;
        case 'H':
            opt.height = atoi(optarg);
            break;
        case 'v':
            opt.vertical = true;
            break;
        case 'c':
            if (!SetAnsiCodePage(optarg)) {
                fprintf(stderr, "zepcode: unknown code page %s\n", optarg);
                return false;
            }
            break;
        case 'p':
            opt.print = true;
            break;
        case 'r':
            opt.raw = true;
            break;
        default:
            return false;
        }
    }
    if (optind + 1 != argc || (!opt.output && !opt.print))
        return false;
    opt.text = argv[optind];
    return opt.module != 0 && opt.height > 0 && opt.quiet >= -1;
}

std::u16string FromUtf8(const char *s)
{
    unsigned n = UStrToWStr(s, -1, nullptr, 0);
    std::u16string text(n + 1, u'\0');
    n = UStrToWStr(s, -1, text.data(), static_cast<uint32_t>(text.size()));
    text.resize(n > 0 && text[n - 1] == 0 ? n - 1 : n);
    return text;
}

// The symbol, dark modules black, as a PNG file. False when it cannot be written.
bool WritePng(const char *path, const XBitImage &bits)
{
    XImage image;
    return MakeSymbolImage(bits, 0x000000, &image) && image.SaveToFile(FromUtf8(path).c_str()) != 0;
}

int RunQR(const Options_t &opt, const std::u16string &text)
{
    XQRCode code;
    bool ok = opt.raw ? code.EncodeBytes(reinterpret_cast<const uint8_t *>(opt.text),
                                         strlen(opt.text), AnsiCodePageNumber())
                      : code.EncodeText(text.c_str());
    if (!ok) {
        fputs("zepcode: the text does not fit a QR code\n", stderr);
        return 1;
    }
    if (opt.print) {
        printf("version %d, %d x %d modules\n", code.GetVersion(), code.GetSide(), code.GetSide());
        for (int y = 0; y < code.GetSide(); y++) {
            for (int x = 0; x < code.GetSide(); x++)
                putchar(code.IsDark(x, y) ? '#' : '.');
            putchar('\n');
        }
    }
    XBitImage image;
    if (opt.output && (!RenderQRWithQuietZone(code.GetMatrix(), opt.module < 0 ? 4 : opt.module,
                                              opt.quiet < 0 ? 4 : opt.quiet, image) ||
                       !WritePng(opt.output, image))) {
        fprintf(stderr, "zepcode: cannot write %s\n", opt.output);
        return 1;
    }
    return 0;
}

int BarcodeType(const std::string &name)
{
    if (name == "code39")
        return kBarcodeCode39;
    if (name == "code128b")
        return kBarcodeCode128B;
    if (name == "code128")
        return kBarcodeCode128Auto;
    return -1;
}

void PrintElements(const XBarcodeElements &elements)
{
    printf("%s\n", elements.GetString());
    const char *p = elements.GetString();
    for (size_t i = 0; i < elements.GetLength(); i++) {
        for (int j = 0; j < p[i] - '0'; j++)
            putchar(i % 2 == 0 ? '1' : '0');
    }
    putchar('\n');
}

int RunBarcode(const Options_t &opt, int type, const std::u16string &text)
{
    XBarcodeElements elements;
    if (!MakeBarcodeElements(text.c_str(), type, elements)) {
        fputs("zepcode: the text does not fit a barcode\n", stderr);
        return 1;
    }
    if (opt.print)
        PrintElements(elements);
    XBitImage image;
    if (opt.output &&
        (!RenderBarcodeWithQuietZone(elements, opt.vertical, opt.module < 0 ? 2 : opt.module,
                                     opt.height, opt.quiet < 0 ? 10 : opt.quiet, image) ||
         !WritePng(opt.output, image))) {
        fprintf(stderr, "zepcode: cannot write %s\n", opt.output);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options_t opt;
    if (!ParseOptions(argc, argv, opt)) {
        Usage();
        return 2;
    }
    if (!IsUTF8Mode(opt.text, -1)) {
        fputs("zepcode: TEXT is not UTF-8\n", stderr);
        return 2;
    }
    std::u16string text = FromUtf8(opt.text);
    if (opt.type == "qr")
        return RunQR(opt, text);
    int type = BarcodeType(opt.type);
    if (type < 0) {
        Usage();
        return 2;
    }
    return RunBarcode(opt, type, text);
}
