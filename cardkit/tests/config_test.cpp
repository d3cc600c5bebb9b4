// Device paths, scaled waits and the text and path helpers of the control.
#include <gtest/gtest.h>

#include "cardkit/card_config.h"
#include "cardkit/text_util.h"

using namespace cardkit;

TEST(CardConfig, DevicePaths)
{
    CardConfig config;
    EXPECT_EQ(SerialDevicePath(config, 1), "/dev/ttyS0");
    EXPECT_EQ(SerialDevicePath(config, 16), "/dev/ttyS15");
    config.serial_pattern = "/dev/serial/com{n}-{n}";
    EXPECT_EQ(SerialDevicePath(config, 3), "/dev/serial/com3-3");
    EXPECT_EQ(UsbDeviceFolder(config, 0), "/dev/sdtusb0");
    config.usb_pattern = "/run/reader/{k}/";
    EXPECT_EQ(UsbDeviceFolder(config, 15), "/run/reader/15/");
}

TEST(CardConfig, WaitsScale)
{
    const CardTiming defaults;
    EXPECT_EQ(defaults.poll_ms, 100);
    EXPECT_EQ(defaults.header_deadline_ms, 2000);
    EXPECT_EQ(defaults.body_deadline_ms, 5000);
    EXPECT_EQ(defaults.hid_answer_ms, 5000); // as long as a serial answer may take
    const CardTiming fast = ScaledTiming(defaults, 20);
    EXPECT_EQ(fast.poll_ms, 5);
    EXPECT_EQ(fast.header_deadline_ms, 100);
    EXPECT_EQ(fast.body_deadline_ms, 250);
    EXPECT_EQ(fast.hid_answer_ms, 250);
    EXPECT_EQ(fast.hid_signal_ms, 2);
    EXPECT_EQ(ScaledTiming(defaults, 1000).poll_ms, 1); // never below 1 ms
    EXPECT_EQ(fast.hid_write_tries, 11);                // counts stay
    EXPECT_EQ(ScaledTiming(defaults, 0).body_deadline_ms, 5000);
}

TEST(CardText, Utf16AndPaths)
{
    struct Case
    {
        std::u16string_view wide;
        std::string_view narrow;
    };
    const Case round_trips[] = {
        {u"", ""}, {u"abc", "abc"}, {u"张三", "张三"}, {u"𠮷", "𠮷"}, {u"\u00e9\u07ff", "é\u07ff"},
    };
    for (const auto &c : round_trips) {
        EXPECT_EQ(ToUtf8(c.wide), c.narrow);
        EXPECT_EQ(FromUtf8(c.narrow), c.wide);
    }
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(FromUtf8("a\xC0\x80z"), u"a\uFFFD\uFFFDz"); // overlong form
    EXPECT_EQ(FromUtf8("\xE5\xBC"), u"\uFFFD\uFFFD");     // cut short
    EXPECT_EQ(NativePath(u"c:\\photos\\a.jpg"), "c:/photos/a.jpg");
    EXPECT_EQ(JoinPath("/tmp/x/", "/photo.wlt"), "/tmp/x/photo.wlt");
    EXPECT_EQ(JoinPath("/tmp/x", "photo.wlt"), "/tmp/x/photo.wlt");
    EXPECT_TRUE(EqualsIgnoreCase(u"GetName", u"gETnAME"));
    EXPECT_FALSE(EqualsIgnoreCase(u"GetName", u"GetNam"));
    EXPECT_EQ(AsciiUpper(u"photo.jpg张"), u"PHOTO.JPG张");
}
