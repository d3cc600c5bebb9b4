#pragma once
// The module-wide reader state: one open port per process, shared by every
// control instance and guarded by one (recursive) mutex. Functions below
// that take a PortState expect the caller to hold its lock.
#include <array>
#include <memory>
#include <mutex>
#include <string>

#include "cardkit/base_msg.h"
#include "cardkit/card_transport.h"
#include "cardkit/cardkit_export.h"

namespace cardkit {

constexpr int kHidPort = 8159;

struct PortState
{
    int port = 0; // 0: none
    std::unique_ptr<CardTransport> transport;
    int baud = 0; // detected serial rate; 0 until the first detection
    BaseMsg_t last;
    std::array<std::u16string, kNewAddressEntries> new_address;
    std::string ic_serial;    // upper-case hex
    std::string photo_folder; // folder of the last photo files
    std::string sam_text;
};

// The process-wide state and its lock.
CARDKIT_EXPORT std::recursive_mutex &PortMutex();
CARDKIT_EXPORT PortState &Ports();

// 1-16 serial, 1001-1016 USB reader, 8159 HID.
CARDKIT_EXPORT bool IsValidPort(int port);

// Opens `port` the way InitComm does: the HID reader first, then the port
// itself with 61 FF 58; reads the SAM identifier. False leaves no port open.
CARDKIT_EXPORT bool OpenPort(PortState &state, int port);
// Closes the current port; false when none was open.
CARDKIT_EXPORT bool ClosePort(PortState &state);
// Reopens the transport of the current port after it was dropped (no probe).
bool ReopenTransport(PortState &state);
void DropTransport(PortState &state);

// One checked SDT exchange: the response frame passed every check.
CARDKIT_EXPORT bool SendSdt(PortState &state, SdtCommand cmd, const Bytes &data,
                            SdtResponse *response);
// One checked IC exchange; `data` receives the body without its check byte.
CARDKIT_EXPORT bool SendIc(PortState &state, const Bytes &frame, Bytes *data);

// The serial baud rate found so far (0 before detection).
CARDKIT_EXPORT int DetectedBaud();
// Makes the next serial open detect the rate again (a host that swaps readers).
CARDKIT_EXPORT void ForgetDetectedBaud();

} // namespace cardkit
