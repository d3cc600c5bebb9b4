#include "cardkit/port_state.h"

#include "cardkit/hid_transport.h"
#include "cardkit/ic_frame.h"
#include "cardkit/pipe_transport.h"
#include "cardkit/sam_id.h"
#include "cardkit/serial_transport.h"
#include "cardkit/usb_driver_transport.h"

namespace cardkit {

std::recursive_mutex &PortMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

PortState &Ports()
{
    static PortState state;
    return state;
}

bool IsValidPort(int port)
{
    return (port >= 1 && port <= 16) || (port >= 1001 && port <= 1016) || port == kHidPort;
}

int DetectedBaud()
{
    std::lock_guard lock(PortMutex());
    return Ports().baud;
}

void ForgetDetectedBaud()
{
    std::lock_guard lock(PortMutex());
    Ports().baud = 0;
}

namespace {

bool SamStatusOk(CardTransport &transport)
{
    Bytes raw;
    SdtResponse response;
    return transport.Exchange(EncodeSdtCommand(kSdtSamStatus), FrameKind::Sdt, &raw) &&
           ParseSdtResponse(raw.data(), raw.size(), &response) == FrameError::None &&
           response.Succeeded();
}

// Tries the rates in order until the SAM answers; the rate found is kept for
// the rest of the process.
std::unique_ptr<CardTransport> OpenSerial(PortState &state, int port, const CardConfig &config)
{
    const std::string path = SerialDevicePath(config, port);
    if (state.baud != 0)
        return SerialTransport::Open(path, state.baud, config.timing);
    auto serial = SerialTransport::Open(path, kBaudRates[0], config.timing);
    if (!serial)
        return nullptr;
    for (int baud : kBaudRates) {
        if (!serial->SetBaud(baud))
            return nullptr;
        if (SamStatusOk(*serial)) {
            state.baud = baud;
            return serial;
        }
    }
    return nullptr;
}

std::unique_ptr<CardTransport> OpenUsb(int port, const CardConfig &config)
{
    const int index = port - 1001;
    if (auto driver = UsbDriverTransport::Open(config.usb_driver, index))
        return driver;
    return PipeTransport::Open(UsbDeviceFolder(config, index), config.timing);
}

std::unique_ptr<CardTransport> OpenTransport(PortState &state, int port)
{
    const CardConfig config = GetCardConfig();
    if (port == kHidPort)
        return HidTransport::Open(config);
    if (port <= 16)
        return OpenSerial(state, port, config);
    return OpenUsb(port, config);
}

void ReadSamText(PortState &state)
{
    SdtResponse response;
    state.sam_text.clear();
    if (!SendSdt(state, kSdtSamId, {}, &response) || !response.Succeeded())
        return;
    if (auto text = FormatSamId(response.data.data(), response.data.size()))
        state.sam_text = *text;
}

} // namespace

bool OpenPort(PortState &state, int port)
{
    if (!IsValidPort(port))
        return false;
    ClosePort(state);
    if (auto hid = HidTransport::Open(GetCardConfig()); hid && SamStatusOk(*hid)) {
        state.transport = std::move(hid);
        state.port = kHidPort;
        ReadSamText(state);
        return true;
    }
    if (port == kHidPort)
        return false;
    state.transport = OpenTransport(state, port);
    state.port = port;
    SdtResponse response;
    if (!state.transport || !SendSdt(state, kSdtSetCommParam, {0x58}, &response) ||
        !response.Succeeded()) {
        ClosePort(state);
        return false;
    }
    ReadSamText(state);
    return true;
}

bool ClosePort(PortState &state)
{
    const bool was_open = state.port != 0;
    state.transport.reset();
    state.port = 0;
    return was_open;
}

void DropTransport(PortState &state)
{
    state.transport.reset();
}

bool ReopenTransport(PortState &state)
{
    if (state.port == 0)
        return false;
    state.transport = OpenTransport(state, state.port);
    return state.transport != nullptr;
}

bool SendSdt(PortState &state, SdtCommand cmd, const Bytes &data, SdtResponse *response)
{
    if (!state.transport)
        return false;
    Bytes raw;
    return state.transport->Exchange(EncodeSdtCommand(cmd, data.data(), data.size()),
                                     FrameKind::Sdt, &raw) &&
           ParseSdtResponse(raw.data(), raw.size(), response) == FrameError::None;
}

bool SendIc(PortState &state, const Bytes &frame, Bytes *data)
{
    if (!state.transport)
        return false;
    Bytes raw;
    return state.transport->Exchange(frame, FrameKind::Ic, &raw) &&
           ParseIcResponse(raw.data(), raw.size(), data) == FrameError::None;
}

} // namespace cardkit
