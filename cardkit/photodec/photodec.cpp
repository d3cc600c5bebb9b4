// Photodec(wlt_path, mode): reads the 1024-byte photo.wlt and writes photo.bmp
// beside it; returns 1 on success, 0 on failure. The mode (1 serial, 2 USB)
// does not change the rendering.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 102;
constexpr int kHeight = 126;
constexpr int kPhotoBytes = 1024;
constexpr int kGrid = 32; // the 1024 bytes form a 32 x 32 grey grid

void PutLe(std::vector<uint8_t> &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

std::vector<uint8_t> RenderBmp(const uint8_t *photo)
{
    const uint32_t stride = (kWidth * 3 + 3) & ~3u;
    const uint32_t pixels = stride * kHeight;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, 54 + pixels, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, kWidth, 4);
    PutLe(out, kHeight, 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, pixels, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int row = kHeight - 1; row >= 0; --row) { // bottom-up
        const int gy = row * kGrid / kHeight;
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t grey = photo[gy * kGrid + x * kGrid / kWidth];
            out.insert(out.end(), {grey, grey, grey});
        }
        out.resize(out.size() + (stride - kWidth * 3), 0);
    }
    return out;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int Photodec(const char *wlt_path, int mode)
{
    if (wlt_path == nullptr || (mode != 1 && mode != 2))
        return 0;
    FILE *in = std::fopen(wlt_path, "rb");
    if (in == nullptr)
        return 0;
    uint8_t photo[kPhotoBytes];
    const size_t got = std::fread(photo, 1, sizeof photo, in);
    std::fclose(in);
    if (got != sizeof photo)
        return 0;
    std::string bmp_path = wlt_path;
    const size_t slash = bmp_path.find_last_of('/');
    bmp_path =
        (slash == std::string::npos ? std::string() : bmp_path.substr(0, slash + 1)) + "photo.bmp";
    const std::vector<uint8_t> bmp = RenderBmp(photo);
    FILE *out = std::fopen(bmp_path.c_str(), "wb");
    if (out == nullptr)
        return 0;
    const bool ok = std::fwrite(bmp.data(), 1, bmp.size(), out) == bmp.size();
    return std::fclose(out) == 0 && ok ? 1 : 0;
}
