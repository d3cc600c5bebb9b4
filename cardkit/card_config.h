#pragma once
// Process-wide settings of the control: where the devices live, where the
// photo decoder and the registry file are, and every wait, so that tests
// can point the control at a simulator and shorten its deadlines.
#include <memory>
#include <string>

#include "cardkit/cardkit_export.h"
#include "cardkit/usb_driver_backend.h"

namespace cardkit {

struct CardTiming
{
    int poll_ms = 100;             // serial input polling
    int header_deadline_ms = 2000; // serial: no header by then fails
    int body_deadline_ms = 5000;   // serial: no whole response by then fails
    int pipe_pause_ms = 100;       // pipe transport: pause between reads
    int pipe_tries = 10;
    int hid_write_tries = 11;
    int hid_write_pause_ms = 10;
    // HID: the whole answer (every report of it) by then after the command, or
    // the exchange fails; as long as the serial reader may take by default.
    int hid_answer_ms = 5000;
    int tone_ms = 100;      // serial/USB signal: tone, pause, tone
    int hid_signal_ms = 50; // HID signal: on, pause, off, twice
};

struct CardConfig
{
    // Serial port "COM"n: "{n}" is replaced by n, "{n-1}" by n - 1.
    std::string serial_pattern = "/dev/ttyS{n-1}";
    // Folder of USB reader k (port 1001 + k) holding PIPE00 and PIPE01: "{k}" is k.
    std::string usb_pattern = "/dev/sdtusb{k}";
    // HID readers: hidraw entries of the sysfs class folder and their device nodes.
    std::string hid_sysfs_root = "/sys/class/hidraw";
    std::string hid_dev_dir = "/dev";
    // The photo decoder plug-in; empty means the one installed beside this library.
    std::string photodec_path;
    // Registry file of in-process servers; empty means $XDG_CONFIG_HOME or ~/.config.
    std::string registry_path;
    // Parent of the private photo folder; empty means $TMPDIR or /tmp.
    std::string temp_dir;
    CardTiming timing;
    // The reader driver's control requests; absent unless a back end is installed.
    std::shared_ptr<UsbDriverBackend> usb_driver;
};

// The settings start from the defaults above, overridden by the environment
// (CARDKIT_SERIAL_PATTERN, CARDKIT_USB_PATTERN, CARDKIT_HID_SYSFS, CARDKIT_HID_DEV,
// CARDKIT_PHOTODEC, CARDKIT_REGISTRY, CARDKIT_TEMP, and CARDKIT_TIME_DIVISOR which
// divides every wait).
CARDKIT_EXPORT CardConfig GetCardConfig();
CARDKIT_EXPORT void SetCardConfig(const CardConfig &config);

// Divides every wait by `divisor` (at least 1 ms each).
CARDKIT_EXPORT CardTiming ScaledTiming(const CardTiming &timing, int divisor);

// Expands the serial pattern for COM port n and the USB pattern for reader k.
CARDKIT_EXPORT std::string SerialDevicePath(const CardConfig &config, int n);
CARDKIT_EXPORT std::string UsbDeviceFolder(const CardConfig &config, int k);

} // namespace cardkit
