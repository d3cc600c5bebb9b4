#include "png_writer.h"

#include <cstdio>
#include <png.h>
#include <vector>

namespace {

struct FileCloser
{
    FILE *file;
    ~FileCloser()
    {
        if (file)
            fclose(file);
    }
};

} // namespace

bool WritePng(const char *path, const XBitImage &image)
{
    if (image.GetWidth() == 0)
        return false;
    FileCloser out{fopen(path, "wb")};
    if (!out.file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // PNG grey 1-bit: 0 is black, the opposite of the image's dark bit.
    std::vector<uint8_t> row(image.GetStride());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, out.file);
    png_set_IHDR(png, info, image.GetWidth(), image.GetHeight(), 1, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < image.GetHeight(); y++) {
        const uint8_t *bits = image.GetRow(y);
        for (size_t i = 0; i < row.size(); i++)
            row[i] = static_cast<uint8_t>(~bits[i]);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    FILE *file = out.file;
    out.file = nullptr;
    return fclose(file) == 0;
}
