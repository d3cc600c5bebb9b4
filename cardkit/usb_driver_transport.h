#pragma once
// The reader driver's own device interface, through the installed back end.
#include <memory>

#include "cardkit/card_transport.h"

namespace cardkit {

class UsbDriverTransport final : public CardTransport
{
public:
    // Nothing when no back end is installed or it does not know reader `index`.
    static std::unique_ptr<UsbDriverTransport> Open(std::shared_ptr<UsbDriverBackend> backend,
                                                    int index);
    ~UsbDriverTransport() override;

    TransportKind Kind() const override { return TransportKind::UsbDriver; }
    bool Exchange(const Bytes &command, FrameKind kind, Bytes *response) override;

private:
    explicit UsbDriverTransport(std::shared_ptr<UsbDriverBackend> backend)
        : m_backend(std::move(backend))
    {
    }

    std::shared_ptr<UsbDriverBackend> m_backend;
};

} // namespace cardkit
