// The photo path: our BMP reader, the JPEG writer, the decoder plug-in, and
// what the control reports when a photo step fails.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cardkit/base64.h"
#include "cardkit/bmp_reader.h"
#include "cardkit/card_control.h"
#include "cardkit/jpeg_writer.h"
#include "cardkit/photo_files.h"
#include "cardkit/port_state.h"
#include "sim_util.h"

using namespace cardkit;

namespace {

void Le(Bytes &out, uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

// A BMP with the given header fields; pixel rows follow the palette.
Bytes Bmp(int32_t width, int32_t height, int bits, const Bytes &palette, const Bytes &pixels,
          uint32_t offset = 0)
{
    Bytes out = {'B', 'M'};
    const uint32_t pixel_offset = offset ? offset : uint32_t(54 + palette.size());
    Le(out, uint32_t(pixel_offset + pixels.size()), 4);
    Le(out, 0, 4);
    Le(out, pixel_offset, 4);
    Le(out, 40, 4);
    Le(out, uint32_t(width), 4);
    Le(out, uint32_t(height), 4);
    Le(out, 1, 2);
    Le(out, uint32_t(bits), 2);
    Le(out, 0, 4);
    Le(out, uint32_t(pixels.size()), 4);
    Le(out, 0, 4);
    Le(out, 0, 4);
    Le(out, uint32_t(palette.size() / 4), 4);
    Le(out, 0, 4);
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

} // namespace

TEST(CardPhoto, BmpReaderLayouts)
{
    RgbImage image;
    // 2x2, 24-bit, bottom-up: bottom row blue, red; top row green, white.
    const Bytes bottom_up =
        Bmp(2, 2, 24, {}, {255, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0});
    ASSERT_TRUE(ReadBmp(bottom_up.data(), bottom_up.size(), &image));
    EXPECT_EQ(image.rgb, (Bytes{0, 255, 0, 255, 255, 255, 0, 0, 255, 255, 0, 0}));
    // The same, top-down (negative height).
    const Bytes top_down =
        Bmp(2, -2, 24, {}, {0, 255, 0, 255, 255, 255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0});
    ASSERT_TRUE(ReadBmp(top_down.data(), top_down.size(), &image));
    EXPECT_EQ(image.rgb, (Bytes{0, 255, 0, 255, 255, 255, 0, 0, 255, 255, 0, 0}));
    // 8-bit with a two-entry palette.
    const Bytes paletted = Bmp(3, 1, 8, {0, 0, 0, 0, 10, 20, 30, 0}, {1, 0, 1, 0});
    ASSERT_TRUE(ReadBmp(paletted.data(), paletted.size(), &image));
    EXPECT_EQ(image.rgb, (Bytes{30, 20, 10, 0, 0, 0, 30, 20, 10}));

    Bytes cut = bottom_up;
    cut.pop_back();
    const Bytes bad_index = Bmp(1, 1, 8, {0, 0, 0, 0}, {5, 0, 0, 0});
    const Bytes bad_offset = Bmp(2, 2, 24, {}, Bytes(16, 0), 60);
    const Bytes huge = Bmp(100000, 1, 24, {}, Bytes(16, 0));
    const Bytes sixteen = Bmp(2, 2, 16, {}, Bytes(8, 0));
    const Bytes zero_width = Bmp(0, 2, 24, {}, {});
    for (const Bytes *bad : std::initializer_list<const Bytes *>{&cut, &bad_index, &bad_offset,
                                                                 &huge, &sixteen, &zero_width})
        EXPECT_FALSE(ReadBmp(bad->data(), bad->size(), &image));
    EXPECT_FALSE(ReadBmp(bottom_up.data(), 53, &image));
}

TEST(CardPhoto, DecoderPluginAndJpegMakeAPhotoOfTheCardSize)
{
    cardtest::TempFolder dir;
    CardConfig config = cardtest::TestConfig(dir.path());
    SetCardConfig(config);
    Bytes photo(1024);
    for (size_t i = 0; i < photo.size(); ++i)
        photo[i] = uint8_t(i);
    ASSERT_EQ(WritePhotoWlt(dir.path(), photo.data(), photo.size()), WltResult::Written);
    ASSERT_TRUE(RunPhotodec(dir.path() + "/photo.wlt", 1));
    Bytes bmp;
    RgbImage image;
    ASSERT_TRUE(ReadWholeFile(dir.path() + "/photo.bmp", &bmp));
    ASSERT_TRUE(ReadBmp(bmp.data(), bmp.size(), &image));
    EXPECT_EQ(image.width, 102);
    EXPECT_EQ(image.height, 126);
    EXPECT_EQ(image.rgb[0], 0);                     // top-left: byte 0
    EXPECT_EQ(image.rgb[(126 * 102 - 1) * 3], 255); // bottom-right: byte 1023
    const std::string jpg = dir.path() + "/photo.jpg";
    ASSERT_TRUE(ConvertBmpToJpeg(dir.path() + "/photo.bmp", jpg));
    EXPECT_EQ(cardtest::Run("djpeg -pnm '" + jpg + "' | head -c 11"), "P6\n102 126\n");

    EXPECT_FALSE(RunPhotodec(dir.path() + "/missing.wlt", 1));
    config.photodec_path = dir.path() + "/no-such-plugin.so";
    SetCardConfig(config);
    EXPECT_FALSE(RunPhotodec(dir.path() + "/photo.wlt", 1));
    EXPECT_EQ(WritePhotoWlt(dir.path() + "/absent", photo.data(), photo.size()),
              WltResult::CannotCreate);
}

TEST(CardPhoto, LargeJpegIsReadWhole)
{
    cardtest::TempFolder dir;
    RgbImage noise{600, 600, Bytes(600 * 600 * 3)};
    uint32_t seed = 1;
    for (uint8_t &b : noise.rgb)
        b = uint8_t((seed = seed * 1103515245 + 12345) >> 16);
    const std::string jpg = dir.path() + "/photo.jpg";
    ASSERT_TRUE(WriteJpeg(noise, jpg));
    Bytes bytes;
    ASSERT_TRUE(ReadWholeFile(jpg, &bytes));
    ASSERT_GT(bytes.size(), 81920u);
    EXPECT_EQ(EncodeBase64(bytes.data(), bytes.size()), cardtest::Run("base64 -w0 '" + jpg + "'"));
}

TEST(CardPhoto, FailedPhotoStepsAreReportedAsSuch)
{
    cardtest::TempFolder dir;
    CardConfig config = cardtest::TestConfig(dir.path());
    config.photodec_path = dir.path() + "/no-such-plugin.so";
    SetCardConfig(config);
    cardtest::Simulator sim(dir.path(), {"--pty", dir.path() + "/ttyS0"});
    CCardControlCtrl control;
    EXPECT_EQ(control.ReadCard(), u"生成照片文件失败。");
    EXPECT_EQ(control.Authenticate(), 1);
    const std::u16string target =
        std::u16string(dir.path().begin(), dir.path().end()) + u"/x/p.jpg";
    EXPECT_EQ(control.ReadBaseMsgP(target), -3);
    EXPECT_EQ(control.Authenticate(), 1);
    EXPECT_EQ(control.ReadBaseMsg(), 0);
    control.CloseComm();
    EXPECT_EQ(control.ReadBaseMsgP(target), -4); // no port: the read fails
}

TEST(CardPhoto, Base64)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
        {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xff\xfe\xfd", "//79"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(EncodeBase64(reinterpret_cast<const uint8_t *>(in), std::strlen(in)), out);
}

// A good read of one card, then a read of another whose photo cannot be made:
// text, properties and photo all stay with one card.
TEST(CardPhoto, FailedPhotoOfANewCardKeepsNoMixOfTwoCards)
{
    cardtest::TempFolder dir;
    CardConfig config = cardtest::TestConfig(dir.path());
    SetCardConfig(config);
    CCardControlCtrl control;
    auto sim = std::make_unique<cardtest::Simulator>(
        dir.path(), std::vector<std::string>{"--fifo", dir.path() + "/usb0"});
    ASSERT_EQ(control.ReadCard(), u"0");
    ASSERT_EQ(control.GetName(), u"𠮷张三");
    const std::u16string first_photo = control.GetPhotobuf();
    ASSERT_NE(first_photo, u"no");
    const std::string folder = Ports().photo_folder;

    sim = std::make_unique<cardtest::Simulator>(
        dir.path(), std::vector<std::string>{"--fifo", dir.path() + "/usb0", "--card", "2"});
    config.photodec_path = dir.path() + "/no-such-plugin.so";
    SetCardConfig(config);
    EXPECT_EQ(control.ReadCard(), u"生成照片文件失败。");
    EXPECT_EQ(control.GetName(), u"𠮷张三");
    EXPECT_EQ(control.GetCode(), u"11010119800102001X");
    EXPECT_EQ(control.Name, u"𠮷张三");
    EXPECT_EQ(control.GetPhotobuf(), u"no"); // the first card's photo is gone
    EXPECT_EQ(cardtest::Run("ls '" + folder + "'"), "");

    config.photodec_path = cardtest::TestConfig(dir.path()).photodec_path;
    SetCardConfig(config);
    ASSERT_EQ(control.ReadCard(), u"0");
    EXPECT_EQ(control.GetName(), u"李四");
    EXPECT_EQ(control.Name, u"李四");
    EXPECT_EQ(control.GetSexN(), 2);
    EXPECT_EQ(control.GetPhotobuf(), control.Picture);
    EXPECT_NE(control.Picture, first_photo);
    control.CloseComm();
}

namespace {

// Permission bits of `path`, or -1 when it is not there.
int ModeOf(const std::string &path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

// Whatever the creation mask, the private folder and its photo files are the
// owner's only, and they go when the last control is released.
TEST(CardPhoto, PrivateFolderIsOwnerOnlyAndGoesWithTheLastControl)
{
    cardtest::TempFolder dir;
    SetCardConfig(cardtest::TestConfig(dir.path()));
    cardtest::Simulator sim(dir.path(), {"--fifo", dir.path() + "/usb0"});
    const mode_t mask = ::umask(0);
    auto first = std::make_unique<CCardControlCtrl>();
    auto second = std::make_unique<CCardControlCtrl>();
    ASSERT_EQ(first->ReadCard(), u"0");
    ASSERT_EQ(first->getCardInfo(), 0);
    ::umask(mask);
    const std::string folder = Ports().photo_folder;
    ASSERT_EQ(folder.rfind(dir.path() + "/cardkit-", 0), 0u) << folder;
    struct Case
    {
        std::string name;
        int mode;
    };
    const Case cases[] = {
        {"", 0700},          {"photo.wlt", 0600}, {"photo.bmp", 0600},
        {"photo.jpg", 0600}, {"card.bmp", 0600},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ModeOf(folder + "/" + c.name), c.mode) << c.name;

    first->CloseComm();
    first.reset();
    EXPECT_EQ(ModeOf(folder), 0700); // the second control still uses it
    EXPECT_EQ(second->GetPhotobuf().substr(0, 4), u"/9j/");
    second.reset();
    EXPECT_EQ(ModeOf(folder), -1);

    CCardControlCtrl third; // a new folder for a new control
    ASSERT_EQ(third.ReadCard(), u"0");
    EXPECT_NE(Ports().photo_folder, folder);
    EXPECT_EQ(ModeOf(Ports().photo_folder + "/photo.jpg"), 0600);
    third.CloseComm();
}

// A process that ends normally takes its folder with it, and a forked child
// ending does not take its parent's.
TEST(CardPhoto, PrivateFolderGoesWhenTheProcessEnds)
{
    cardtest::TempFolder dir;
    SetCardConfig(cardtest::TestConfig(dir.path()));
    const std::string parents = PrivatePhotoFolder();
    ASSERT_FALSE(parents.empty());
    int pipe_fds[2];
    ASSERT_EQ(::pipe(pipe_fds), 0);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string own = PrivatePhotoFolder();
        const bool written = WritePhotoWlt(own, Bytes(1024).data(), 1024) == WltResult::Written;
        const std::string line = (written ? own : "") + "\n";
        const bool sent = ::write(pipe_fds[1], line.data(), line.size()) == ssize_t(line.size());
        std::exit(sent ? 0 : 1);
    }
    ::close(pipe_fds[1]);
    std::string line;
    char c;
    while (::read(pipe_fds[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(pipe_fds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_FALSE(line.empty());
    EXPECT_NE(line, parents);
    EXPECT_EQ(ModeOf(line), -1);
    EXPECT_EQ(ModeOf(parents), 0700);
    RemovePrivatePhotoFolder();
    EXPECT_EQ(ModeOf(parents), -1);
}
