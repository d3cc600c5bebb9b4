#pragma once
// Helpers of the painter tests: white test surfaces, PNG files with names unique to the
// process, and the ImageMagick oracle that draws the same figure with antialiasing off.
#include <cairo.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/devkit/tests/test_folder.h"

namespace painter_test {

// An opaque white ARGB32 surface.
inline cairo_surface_t *WhiteSurface(int w, int h)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t *cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    return s;
}

inline std::string TempName(const char *tag, const char *ext)
{
    static std::atomic<int> counter{0};
    return zeptest::TestFile(std::to_string(counter++) + "_" + tag + ext);
}

// Standard output and error of a shell command; *status gets its exit status.
inline std::string RunCommand(const std::string &command, int *status = nullptr)
{
    std::string out;
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    int rc = pclose(pipe);
    if (status != nullptr)
        *status = rc;
    return out;
}

// "#rrggbb" of a 0x00BBGGRR colour, quoted for the shell.
inline std::string ImColor(uint32_t color)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "'#%02x%02x%02x'", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return buf;
}

// Pixels that differ between the surface and ImageMagick's drawing of the same figure on
// a white canvas of the same size, drawn with antialiasing off from `draw` (convert
// arguments such as "-fill '#ff0000' -draw 'rectangle 2,3 6,6'"). -1 when the oracle
// failed to run (and the output in *log).
inline long CompareWithMagick(cairo_surface_t *surface, const std::string &draw,
                              std::string *log = nullptr)
{
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    std::string ours = TempName("ours", ".png"), theirs = TempName("magick", ".png");
    cairo_surface_write_to_png(surface, ours.c_str());
    std::string make = "convert -size " + std::to_string(w) + "x" + std::to_string(h) +
                       " xc:white +antialias -stroke none " + draw +
                       " -alpha off 'PNG24:" + theirs + "'";
    int status = 0;
    std::string out = RunCommand(make, &status);
    long differ = -1;
    if (status == 0) {
        out = RunCommand("compare -metric AE -alpha off '" + ours + "' '" + theirs + "' null:",
                         &status);
        char *end = nullptr;
        double value = std::strtod(out.c_str(), &end);
        if (end != out.c_str())
            differ = static_cast<long>(value);
    }
    if (log != nullptr)
        *log = make + "\n" + out;
    if (differ != 0 && std::getenv("PAINTER_KEEP_PNG") != nullptr)
        return differ;
    std::remove(ours.c_str());
    std::remove(theirs.c_str());
    return differ;
}

} // namespace painter_test
