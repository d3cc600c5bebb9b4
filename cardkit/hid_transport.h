#pragma once
// The HID reader (vendor 0x0425, product 0x8159) on hidraw. Output reports
// are the report id 0 followed by the frame; answers are 64-byte input
// reports, awaited until the configured answer deadline. A failed write or
// read, or a bad answer, forgets the device, so the next exchange enumerates
// again; an answer that is merely late keeps it.
#include <memory>
#include <optional>
#include <string>

#include "cardkit/card_transport.h"

namespace cardkit {

constexpr uint16_t kHidVendor = 0x0425;
constexpr uint16_t kHidProduct = 0x8159;
constexpr size_t kHidReportSize = 64;
constexpr int kHidBaseMsgReports = 21;

// The device node of the first hidraw entry (in name order) whose HID_ID
// shows the reader's vendor and product.
CARDKIT_EXPORT std::optional<std::string> FindHidReader(const std::string &sysfs_root,
                                                        const std::string &dev_dir);

class CARDKIT_EXPORT HidTransport final : public CardTransport
{
public:
    // Nothing when no reader is attached.
    static std::unique_ptr<HidTransport> Open(const CardConfig &config);
    ~HidTransport() override;

    TransportKind Kind() const override { return TransportKind::Hid; }
    // The base-message read (30 01) collects 21 reports; every other command one.
    bool Exchange(const Bytes &command, FrameKind kind, Bytes *response) override;

private:
    enum class Result { Ok, Late, Failed };

    HidTransport(const CardConfig &config) : m_config(config) {}
    bool Attach();
    void Forget();
    bool WriteReport(const Bytes &frame);
    Result ReadReport(uint8_t *report, int64_t deadline_ms);
    Result Transfer(const Bytes &command, FrameKind kind, Bytes *response);

    CardConfig m_config;
    int m_fd = -1;
};

} // namespace cardkit
