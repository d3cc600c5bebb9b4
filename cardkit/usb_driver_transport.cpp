#include "cardkit/usb_driver_transport.h"

namespace cardkit {

std::unique_ptr<UsbDriverTransport>
UsbDriverTransport::Open(std::shared_ptr<UsbDriverBackend> backend, int index)
{
    if (!backend || !backend->Open(index))
        return nullptr;
    return std::unique_ptr<UsbDriverTransport>(new UsbDriverTransport(std::move(backend)));
}

UsbDriverTransport::~UsbDriverTransport()
{
    m_backend->Close();
}

// Header and body go out as two requests and come back as two.
bool UsbDriverTransport::Exchange(const Bytes &command, FrameKind kind, Bytes *response)
{
    const size_t header = HeaderSize(kind);
    if (command.size() <= header)
        return false;
    if (!m_backend->Write(kIoctlWriteHeader, command.data(), header) ||
        !m_backend->Write(kIoctlWriteBody, command.data() + header, command.size() - header))
        return false;
    response->assign(header, 0);
    size_t got = 0;
    if (!m_backend->Read(kIoctlReadHeader, response->data(), header, &got) || got != header)
        return false;
    size_t body = 0;
    if (!CheckHeader(kind, response->data(), &body))
        return false;
    response->resize(header + body);
    if (!m_backend->Read(kIoctlReadBody, response->data() + header, body, &got) || got != body)
        return false;
    return true;
}

} // namespace cardkit
