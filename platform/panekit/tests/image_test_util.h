#pragma once
// Helpers of the image tests: unique temporary files, running the ImageMagick and libjpeg
// oracles, and comparing an image's frames with the pixels an oracle printed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/test_folder.h"
#include "platform/panekit/image/ximage.h"

namespace imagetest {

// A file name in the running test's own folder, unique to this call; removed by the
// destructor.
class TempFile
{
public:
    explicit TempFile(const std::string &suffix)
    {
        static int counter = 0;
        m_path = zeptest::TestFile("image_" + std::to_string(++counter) + suffix);
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    const std::string &Path() const { return m_path; }
    std::u16string Wide() const { return devkit::Utf8ToUtf16(m_path.data(), m_path.size()); }

private:
    std::string m_path;
};

// Runs a shell command; its standard output, and *status (exit code) when given. A command
// that cannot be run at all fails the test.
inline std::string Run(const std::string &command, int *status = nullptr)
{
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    if (p == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return out;
    }
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    int rc = pclose(p);
    if (status != nullptr)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

// Runs a command that must succeed (exit code 0).
inline std::string RunOk(const std::string &command)
{
    int status = -1;
    std::string out = Run(command, &status);
    EXPECT_EQ(0, status) << command;
    return out;
}

inline std::vector<uint8_t> ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Width and height of every frame of a file, as ImageMagick sees them after the options.
inline std::vector<std::pair<int, int>> FrameSizes(const std::string &path,
                                                   const std::string &options = "")
{
    std::istringstream in(RunOk("convert '" + path + "' " + options + " -format '%w %h\\n' info:"));
    std::vector<std::pair<int, int>> sizes;
    int w, h;
    while (in >> w >> h)
        sizes.push_back({w, h});
    return sizes;
}

// Premultiplied 0xAARRGGBB of straight RGBA bytes, rounded as the decoders round.
inline uint32_t Premultiplied(const uint8_t *p)
{
    uint32_t a = p[3];
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul(p[0]) << 16) | (mul(p[1]) << 8) | mul(p[2]);
}

// The raw premultiplied pixels of frame index of the image, row after row.
inline std::vector<uint32_t> FramePixels(const XImage &image, int index)
{
    std::vector<uint32_t> pixels;
    cairo_surface_t *s = image.GetFrameSurface(index);
    if (s == nullptr)
        return pixels;
    cairo_surface_flush(s);
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<const uint32_t *>(cairo_image_surface_get_data(s) +
                                                       y * cairo_image_surface_get_stride(s));
        pixels.insert(pixels.end(), row, row + w);
    }
    return pixels;
}

// Compares every frame of image with ImageMagick's RGBA dump of path, made with the given
// extra options (such as -coalesce). Reports the first differing pixel of each frame.
inline void ExpectPixelsLikeMagick(const XImage &image, const std::string &path,
                                   const std::string &options = "")
{
    auto sizes = FrameSizes(path, options);
    ASSERT_EQ(static_cast<int>(sizes.size()), image.GetFrameCount()) << path;
    std::string rgba = RunOk("convert '" + path + "' " + options + " -depth 8 rgba:-");
    size_t at = 0;
    for (int f = 0; f < image.GetFrameCount(); ++f) {
        auto [w, h] = sizes[size_t(f)];
        std::vector<uint32_t> ours = FramePixels(image, f);
        ASSERT_EQ(size_t(w) * h, ours.size()) << path << " frame " << f;
        ASSERT_LE(at + ours.size() * 4, rgba.size()) << path;
        for (size_t i = 0; i < ours.size(); ++i) {
            uint32_t want =
                Premultiplied(reinterpret_cast<const uint8_t *>(rgba.data()) + at + i * 4);
            if (want != ours[i]) {
                ADD_FAILURE() << path << " frame " << f << " pixel " << i % w << "," << i / w
                              << std::hex << ": want " << want << " got " << ours[i];
                break;
            }
        }
        at += ours.size() * 4;
    }
}

// Loads a file through XImage::LoadFromFile.
inline bool LoadFile(XImage *image, const std::string &path)
{
    std::u16string wide = devkit::Utf8ToUtf16(path.data(), path.size());
    return image->LoadFromFile(wide.c_str()) != 0;
}

// A deterministic colourful opaque picture (w x h) written to path by ImageMagick.
inline void MakePicture(const std::string &path, int w, int h, const std::string &options = "")
{
    RunOk("convert -seed 7 -size " + std::to_string(w) + "x" + std::to_string(h) +
          " plasma:fractal -depth 8 " + options + " '" + path + "'");
}

// The same picture with a horizontal alpha ramp from opaque to transparent.
inline void MakeAlphaPicture(const std::string &path, int w, int h, const std::string &options = "")
{
    std::string size = std::to_string(w) + "x" + std::to_string(h);
    RunOk("convert -seed 7 -size " + size + " plasma:fractal -depth 8 \\( -size " + size +
          " gradient:white-black -rotate 90 -resize " + size +
          "! \\) -alpha off"
          " -compose copy-opacity -composite " +
          options + " '" + path + "'");
}

} // namespace imagetest
