#include "cardkit/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

#include "cardkit/owner_file.h"

namespace cardkit {

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Kept apart from WriteJpeg so that no object with a destructor lives
// across the setjmp.
bool Encode(const RgbImage &image, FILE *file, int quality)
{
    jpeg_compress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(image.width);
    info.image_height = JDIMENSION(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(image.rgb.data() + size_t(info.next_scanline) * image.width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

bool WriteJpeg(const RgbImage &image, const std::string &path, int quality)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != size_t(image.width) * image.height * 3)
        return false;
    FILE *file = CreateOwnerOnlyFile(path);
    if (file == nullptr)
        return false;
    const bool encoded = Encode(image, file, quality);
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !closed) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

} // namespace cardkit
