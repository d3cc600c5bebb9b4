#include "cardkit/card_config.h"

#include <cstdlib>
#include <mutex>

namespace cardkit {

namespace {

std::mutex g_mutex;

void FromEnvironment(const char *name, std::string &value)
{
    if (const char *text = std::getenv(name); text != nullptr && *text != '\0')
        value = text;
}

CardConfig InitialConfig()
{
    CardConfig config;
    FromEnvironment("CARDKIT_SERIAL_PATTERN", config.serial_pattern);
    FromEnvironment("CARDKIT_USB_PATTERN", config.usb_pattern);
    FromEnvironment("CARDKIT_HID_SYSFS", config.hid_sysfs_root);
    FromEnvironment("CARDKIT_HID_DEV", config.hid_dev_dir);
    FromEnvironment("CARDKIT_PHOTODEC", config.photodec_path);
    FromEnvironment("CARDKIT_REGISTRY", config.registry_path);
    FromEnvironment("CARDKIT_TEMP", config.temp_dir);
    std::string divisor;
    FromEnvironment("CARDKIT_TIME_DIVISOR", divisor);
    if (!divisor.empty())
        config.timing = ScaledTiming(config.timing, std::atoi(divisor.c_str()));
    return config;
}

CardConfig &Current()
{
    static CardConfig config = InitialConfig();
    return config;
}

std::string Expand(std::string pattern, const std::string &token, int value)
{
    for (size_t at = pattern.find(token); at != std::string::npos; at = pattern.find(token, at)) {
        const std::string number = std::to_string(value);
        pattern.replace(at, token.size(), number);
        at += number.size();
    }
    return pattern;
}

} // namespace

CardConfig GetCardConfig()
{
    std::lock_guard lock(g_mutex);
    return Current();
}

void SetCardConfig(const CardConfig &config)
{
    std::lock_guard lock(g_mutex);
    Current() = config;
}

CardTiming ScaledTiming(const CardTiming &timing, int divisor)
{
    if (divisor <= 1)
        return timing;
    auto scale = [divisor](int ms) { return ms / divisor > 0 ? ms / divisor : 1; };
    CardTiming out = timing;
    out.poll_ms = scale(timing.poll_ms);
    out.header_deadline_ms = scale(timing.header_deadline_ms);
    out.body_deadline_ms = scale(timing.body_deadline_ms);
    out.pipe_pause_ms = scale(timing.pipe_pause_ms);
    out.hid_write_pause_ms = scale(timing.hid_write_pause_ms);
    out.hid_answer_ms = scale(timing.hid_answer_ms);
    out.tone_ms = scale(timing.tone_ms);
    out.hid_signal_ms = scale(timing.hid_signal_ms);
    return out;
}

std::string SerialDevicePath(const CardConfig &config, int n)
{
    return Expand(Expand(config.serial_pattern, "{n-1}", n - 1), "{n}", n);
}

std::string UsbDeviceFolder(const CardConfig &config, int k)
{
    return Expand(config.usb_pattern, "{k}", k);
}

} // namespace cardkit
