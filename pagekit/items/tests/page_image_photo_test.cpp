// The image item's owned photos: rotation and crop against ImageMagick, writing into an
// archive under a size limit, zoom and pan steps, pages of a multi-page image, and a
// zoomed photo on the virtual display.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "corekit/archive/xmemo_archive.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/page_image.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

std::string Shell(const std::string &command)
{
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr)
        out += buf;
    pclose(pipe);
    return out;
}

std::u16string Wide(const std::string &text)
{
    return std::u16string(text.begin(), text.end());
}

class PhotoTest : public PageWindowTest
{
protected:
    void SetUp() override
    {
        PageWindowTest::SetUp();
        char pattern[] = "/tmp/page_photo_XXXXXX";
        const char *made = mkdtemp(pattern);
        ASSERT_NE(nullptr, made);
        folder = made;
    }
    void TearDown() override { Shell("rm -rf '" + folder + "'"); }

    // A w x h picture whose every pixel differs from its neighbours, as PNG or JPEG.
    std::string Pattern(const std::string &name, int w, int h)
    {
        const std::string path = folder + "/" + name;
        const std::string command = "convert -size " + std::to_string(w) + "x" + std::to_string(h) +
                                    " xc: -channel R -fx 'i/w' -channel G -fx 'j/h' -channel B "
                                    "-fx '((i*j*13+i*7)%251)/251' +channel -depth 8 '" +
                                    path + "'";
        EXPECT_EQ(0, std::system(command.c_str())) << command;
        return path;
    }

    // An image item of w x h without scroll bars, so that its body is the whole place.
    XPageImage *Photo(XPageWindow &window, const std::string &path, int w, int h, int x = 0,
                      int y = 0)
    {
        auto *image = Placed(new XPageImage, x, y, w, h);
        image->SetPhotoFile(Wide(path).c_str());
        NoBars(image);
        window.GetRooter()->AddItem(image);
        return image;
    }

    // A photo's item flags ask for bars (overflow auto): off again.
    static void NoBars(XPageImage *image)
    {
        image->itemFlags = SetStyleField(image->itemFlags, kItemOverflowX, kOverflowHidden);
        image->itemFlags = SetStyleField(image->itemFlags, kItemOverflowY, kOverflowHidden);
    }

    static std::vector<uint8_t> Bytes(IArchive *doc)
    {
        std::vector<uint8_t> bytes(doc->GetMaxSize());
        doc->InitReader();
        if (!bytes.empty())
            doc->Read(bytes.data(), static_cast<uint32_t>(bytes.size()));
        return bytes;
    }

    static std::vector<uint8_t> FileBytes(const std::string &path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    // Pixels of two images that differ (-1 for other sizes).
    static long Differ(const XImage &a, const XImage &b)
    {
        if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
            return -1;
        long n = 0;
        for (int y = 0; y < a.GetHeight(); ++y)
            for (int x = 0; x < a.GetWidth(); ++x)
                n += a.GetPixel(x, y) != b.GetPixel(x, y);
        return n;
    }

    std::string folder;
};

TEST_F(PhotoTest, RotationAndCropEqualImageMagick)
{
    const std::string src = Pattern("src.png", 60, 40);
    XPageWindow window;
    Open(window);
    XPageImage *item = Photo(window, src, 30, 20);
    ASSERT_NE(nullptr, item->GetShownImage());
    EXPECT_EQ(kImagePhotoMode, item->extraFlags & kImagePhotoMode);

    struct Case
    {
        const char *convert;
        void (XPageImage::*turn)();
    };
    const Case cases[] = {{"-rotate 90", &XPageImage::OnClockwiseRotate},
                          {"-rotate -90", &XPageImage::OnAnticlockRotate}};
    for (const Case &c : cases) {
        item->SetPhotoFile(Wide(src).c_str());
        NoBars(item);
        (item->*c.turn)();
        const std::string want = folder + "/turned.png";
        ASSERT_EQ(0, std::system(
                         ("convert '" + src + "' " + c.convert + " PNG24:'" + want + "'").c_str()));
        XImage theirs;
        ASSERT_TRUE(theirs.LoadFromFile(Wide(want).c_str()));
        EXPECT_EQ(0, Differ(*item->GetShownImage(), theirs)) << c.convert;
        EXPECT_EQ(std::u16string(kMemImageName), item->GetImageFile());
        EXPECT_EQ(0, item->GetScrollPos(0));
    }

    // Crop the visible part at zoom 1: 30 x 20 from 10, 5.
    item->SetPhotoFile(Wide(src).c_str());
    NoBars(item);
    item->OnInitImage();
    item->SetScrollPos(0, 10);
    item->SetScrollPos(1, 5);
    ASSERT_EQ(10, item->GetScrollPos(0));
    item->OnClipImage();
    const std::string want = folder + "/crop.png";
    ASSERT_EQ(0,
              std::system(
                  ("convert '" + src + "' -crop 30x20+10+5 +repage PNG24:'" + want + "'").c_str()));
    XImage theirs;
    ASSERT_TRUE(theirs.LoadFromFile(Wide(want).c_str()));
    EXPECT_EQ(0, Differ(*item->GetShownImage(), theirs));
    EXPECT_EQ(std::u16string(kMemImageName), item->GetImageFile());
    EXPECT_DOUBLE_EQ(1.0, item->GetZoom()); // fitted: 30 x 20 in 30 x 20
}

TEST_F(PhotoTest, RotatingAResourcePictureLeavesTheSharedOneAlone)
{
    const std::string src = Pattern("shared.png", 12, 8);
    XPageWindow window;
    window.GetRooter()->GetRescHelper()->SetImageFolder(Wide(folder).c_str());
    auto *item = Placed(new XPageImage, 0, 0, 40, 40);
    item->SetImageFile(u"shared.png");
    window.GetRooter()->AddItem(item);
    Open(window);
    XImage *shared = item->GetShownImage();
    ASSERT_NE(nullptr, shared);
    item->OnClockwiseRotate();
    EXPECT_EQ(12, shared->GetWidth()); // the helper's picture is not turned
    ASSERT_NE(shared, item->GetShownImage());
    EXPECT_EQ(8, item->GetShownImage()->GetWidth());
    EXPECT_EQ(12, item->GetShownImage()->GetHeight());
}

TEST_F(PhotoTest, WritingIntoAnArchiveUnderALimit)
{
    const std::string src = Pattern("photo.png", 300, 200);
    const std::vector<uint8_t> file = FileBytes(src);
    ASSERT_GT(file.size(), 2048u);
    const unsigned fileKB = static_cast<unsigned>(file.size() / 1024);
    XPageWindow window;
    Open(window);
    XPageImage *item = Photo(window, src, 100, 80);
    char16_t name[kImageNameUnits];

    // No limit, or a larger one: the file itself under its own name.
    for (const unsigned limit : {0u, fileKB + 1}) {
        XMemoArchive doc;
        ASSERT_EQ(1, item->GetStreamDoc(&doc, limit, name)) << limit;
        EXPECT_EQ(file, Bytes(&doc)) << limit;
        EXPECT_EQ(std::u16string(u"photo.png"), name) << limit;
    }
    // The name is cut to its capacity.
    {
        XMemoArchive doc;
        char16_t small[4];
        ASSERT_EQ(1, item->GetStreamDoc(&doc, 0, small, 4));
        EXPECT_EQ(std::u16string(u"pho"), small);
    }

    // A smaller limit: a JPEG of quality 80 scaled by the square root formula.
    struct Case
    {
        unsigned limit;
        bool crop;
    };
    for (const Case c : {Case{fileKB / 2, false}, Case{0, true}, Case{20, true}}) {
        if (c.crop) {
            item->OnInitImage();
            item->OnClipImage(); // the visible 100 x 80: a memory image
        }
        XMemoArchive doc;
        ASSERT_EQ(1, item->GetStreamDoc(&doc, c.limit, name)) << c.limit;
        EXPECT_EQ(std::u16string(kMemImageName), name) << c.limit;
        const std::vector<uint8_t> bytes = Bytes(&doc);
        const std::string out = folder + "/written.jpg";
        std::ofstream(out, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        int w = 0, h = 0, quality = 0;
        ASSERT_EQ(3, std::sscanf(Shell("identify -format '%w %h %Q' '" + out + "'").c_str(),
                                 "%d %d %d", &w, &h, &quality))
            << c.limit;
        EXPECT_EQ(80, quality) << c.limit;
        const double iw = item->GetShownImage()->GetWidth();
        const double ih = item->GetShownImage()->GetHeight();
        double scale = c.limit == 0 ? 1.0 : std::sqrt(c.limit * 1024.0 * 18 / (iw * 3 * ih));
        scale = std::min(scale, 1.0);
        EXPECT_NEAR(iw * scale, w, 1.0) << c.limit;
        EXPECT_NEAR(ih * scale, h, 1.0) << c.limit;
    }

    // No image: nothing.
    XPageImage empty;
    XMemoArchive doc;
    EXPECT_EQ(0, empty.GetStreamDoc(&doc, 0, name));
    EXPECT_EQ(0u, doc.GetMaxSize());
}

TEST_F(PhotoTest, ArchivesLoadBeforeAndAfterCreation)
{
    const std::string src = Pattern("doc.png", 20, 10);
    const std::vector<uint8_t> file = FileBytes(src);
    XMemoArchive doc;
    doc.Write(file.data(), static_cast<uint32_t>(file.size()));
    XPageWindow window;
    Open(window);
    auto *still = Placed(new XPageImage, 0, 0, 40, 40);
    doc.InitReader();
    still->SetStaticDoc(&doc, u"doc.png"); // before creation too
    ASSERT_NE(nullptr, still->GetShownImage());
    EXPECT_EQ(0u, still->extraFlags & kImagePhotoMode);
    window.GetRooter()->AddItem(still);
    EXPECT_EQ(20, still->GetScrollSize(0));
    EXPECT_DOUBLE_EQ(1.0, still->GetZoom());

    auto *stream = Placed(new XPageImage, 50, 0, 40, 40);
    window.GetRooter()->AddItem(stream);
    doc.InitReader();
    stream->SetStreamDoc(&doc, u"doc.png");
    EXPECT_EQ(std::u16string(kMemImageName), stream->GetImageFile());
    EXPECT_EQ(kImagePhotoMode, stream->extraFlags & kImagePhotoMode);
    // Fitted: 20 x 10 into the body.
    const double want = 20.0 / stream->body.width;
    EXPECT_DOUBLE_EQ(std::max(want, 10.0 / stream->body.height), stream->GetZoom());

    // Bytes that are no picture leave no image.
    XMemoArchive junk;
    junk.Write("not a picture", 13);
    junk.InitReader();
    stream->SetStreamDoc(&junk, u"x.jpg");
    EXPECT_EQ(nullptr, stream->GetShownImage());
    XImage *made = stream->GetPicture(); // an empty owned image on demand
    ASSERT_NE(nullptr, made);
    EXPECT_TRUE(made->IsImageEmpty());
}

TEST_F(PhotoTest, ZoomStepsKeepTheCentre)
{
    const std::string src = Pattern("zoom.png", 400, 300);
    XPageWindow window;
    Open(window);
    XPageImage *item = Photo(window, src, 100, 100);
    // Fitted: 4 image pixels per view pixel.
    EXPECT_DOUBLE_EQ(4.0, item->GetZoom());
    EXPECT_EQ(100, item->GetScrollSize(0));
    EXPECT_EQ(75, item->GetScrollSize(1));
    // Smaller than the view: the offsets are clamped to 0.
    item->OnZoomImage(1);
    EXPECT_EQ(75, item->GetScrollSize(0));
    EXPECT_EQ(56, item->GetScrollSize(1));
    EXPECT_EQ(0, item->GetScrollPos(0));

    item->OnInitImage();
    struct Step
    {
        int in;
        int width, height, x, y;
    };
    const Step steps[] = {
        {0, 533, 400, 17, 17}, // x 3/4: (0 + 100/8) x 4/3
        {0, 711, 533, 39, 39}, // (17 + 12.5) x 4/3
        {1, 533, 400, 17, 17}, // x 4/3: (39 - 100/6) x 3/4
        {1, 400, 300, 0, 0},   // (17 - 16.67) x 3/4 = 0.25
        {1, 300, 225, 0, 0},   // below 0: 0
    };
    for (const Step &s : steps) {
        item->OnZoomImage(s.in);
        EXPECT_EQ(s.width, item->GetScrollSize(0)) << s.in;
        EXPECT_EQ(s.height, item->GetScrollSize(1)) << s.in;
        EXPECT_EQ(s.x, item->GetScrollPos(0)) << s.in;
        EXPECT_EQ(s.y, item->GetScrollPos(1)) << s.in;
    }
    // The offset never passes content - view.
    item->OnInitImage();
    item->SetScrollPos(0, 300);
    item->SetScrollPos(1, 200);
    item->OnZoomImage(1); // 300 x 225: at most 200, 125
    EXPECT_EQ(200, item->GetScrollPos(0));
    EXPECT_EQ(125, item->GetScrollPos(1));

    // Steps that would make a side above 32767 or below 1 pixel change nothing.
    item->OnInitImage();
    for (int i = 0; i < 40; ++i)
        item->OnZoomImage(0);
    EXPECT_LE(item->GetScrollSize(0), 32767);
    EXPECT_GT(item->GetScrollSize(0), 32767 * 3 / 4);
    for (int i = 0; i < 80; ++i)
        item->OnZoomImage(1);
    EXPECT_GE(item->GetScrollSize(1), 1);
    EXPECT_LT(item->GetScrollSize(1), 2);
}

TEST_F(PhotoTest, PalmModePansWithThePointer)
{
    const std::string src = Pattern("pan.png", 300, 200);
    XPageWindow window;
    Open(window);
    XPageImage *item = Photo(window, src, 100, 80, 10, 10);
    item->OnInitImage();
    item->SetPalmMode(1);
    display->Move(&window, 60, 50);
    Run();
    EXPECT_EQ(PANEKIT_CURSOR_OPENHAND, display->GetCursorShape(&window));
    display->Press(&window, 60, 50);
    Run();
    EXPECT_EQ(PANEKIT_CURSOR_GRABBING, display->GetCursorShape(&window));
    EXPECT_TRUE(display->IsCaptured(&window));
    struct Move
    {
        int x, y;
        int offsetX, offsetY;
    };
    const Move moves[] = {
        {40, 30, 20, 20},       // dragging left and up shows more of the right and bottom
        {50, 35, 10, 15},       //
        {200, 200, 0, 0},       // clamped at 0
        {-300, -300, 200, 120}, // clamped at content - view (300 - 100, 200 - 80)
    };
    for (const Move &m : moves) {
        display->Move(&window, m.x, m.y);
        Run();
        EXPECT_EQ(m.offsetX, item->GetScrollPos(0)) << m.x;
        EXPECT_EQ(m.offsetY, item->GetScrollPos(1)) << m.x;
    }
    display->Release(&window, -300, -300);
    Run();
    EXPECT_EQ(PANEKIT_CURSOR_OPENHAND, display->GetCursorShape(&window));
    EXPECT_FALSE(display->IsCaptured(&window));
}

TEST_F(PhotoTest, PagesStopAtTheEnds)
{
    const std::string a = Pattern("a.png", 8, 6), b = Pattern("b.png", 10, 4);
    const std::string tif = folder + "/pages.tif";
    ASSERT_EQ(0,
              std::system(("convert '" + a + "' '" + b + "' '" + a + "' '" + tif + "'").c_str()));
    XPageWindow window;
    Open(window);
    XPageImage *item = Photo(window, tif, 40, 40);
    ASSERT_EQ(3, item->GetFrameCount());
    struct Step
    {
        void (XPageImage::*move)();
        int frame;
    };
    const Step steps[] = {{&XPageImage::OnPrevFrame, 0}, {&XPageImage::OnNextFrame, 1},
                          {&XPageImage::OnLastFrame, 2}, {&XPageImage::OnNextFrame, 2},
                          {&XPageImage::OnPrevFrame, 1}, {&XPageImage::OnFirstFrame, 0}};
    for (const Step &s : steps) {
        (item->*s.move)();
        EXPECT_EQ(s.frame, item->GetCurrentFrame());
        EXPECT_EQ(s.frame, item->GetShownImage()->GetCurrentFrame());
    }
    item->OnNextFrame();
    EXPECT_EQ(10, item->GetShownImage()->GetWidth()); // the page's own size
}

TEST_F(PhotoTest, ZoomedPhotoOnScreen)
{
    const std::string src = Pattern("screen.png", 40, 30);
    XPageWindow window;
    auto *item = Placed(new XPageImage, 10, 10, 60, 50);
    item->SetPhotoFile(Wide(src).c_str());
    NoBars(item);
    window.GetRooter()->AddItem(item);
    Open(window, 120, 70);
    item->OnInitImage();
    item->OnZoomImage(0); // larger by 4/3 twice: 71 x 53
    item->OnZoomImage(0);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &window, "image_zoomed"));
}

TEST_F(PhotoTest, IconSquareDrawProcAndExport)
{
    const std::string src = Pattern("icon.png", 40, 20);
    XPageWindow window;
    Open(window);
    XPageImage *item = Photo(window, src, 50, 50);
    // A 40 x 20 picture in a 16-pixel square at x 4: 16 x 8, centred at 4, 4.
    XPainter canvas;
    ASSERT_TRUE(canvas.CreateImage(30, 20));
    ASSERT_EQ(1, item->PaintIconDrawer(&canvas, 16, 4));
    canvas.ClosePainter();
    XImage drawn;
    ASSERT_TRUE(canvas.CopyToImage(&drawn));
    struct Probe
    {
        int x, y;
        bool painted;
    };
    const Probe probes[] = {{4, 4, true},   {19, 11, true}, {3, 4, false},
                            {20, 4, false}, {4, 3, false},  {4, 12, false}};
    for (const Probe &p : probes)
        EXPECT_EQ(p.painted, (drawn.GetPixel(p.x, p.y) >> 24) != 0) << p.x << "," << p.y;
    EXPECT_EQ(0, item->PaintIconDrawer(&canvas, 0, 0));

    // The caller's drawing replaces the picture; it gets the view at origin 0.
    struct Seen
    {
        int calls = 0;
        BOUND_t view = {};
    } seen;
    item->SetDrawProc(&seen, [](XPainter *, void *user, const BOUND_t *view) {
        auto *s = static_cast<Seen *>(user);
        ++s->calls;
        s->view = *view;
    });
    item->Invalidate(nullptr, 0);
    Run();
    EXPECT_GE(seen.calls, 1);
    EXPECT_TRUE(SameBound(Bound(0, 0, 50, 50), seen.view)) << Show(seen.view);

    // Export: the file decodes to the same size (JPEG of quality 80).
    const std::string out = folder + "/export.jpg";
    item->OnExportFile(Wide(out).c_str());
    EXPECT_EQ("40 20 80", Shell("identify -format '%w %h %Q' '" + out + "'"));
}

} // namespace
