#pragma once
// The reader driver's generic pipe interface: frames are written to PIPE00
// and answers read from PIPE01 of the reader's device folder.
#include <memory>
#include <string>

#include "cardkit/card_transport.h"

namespace cardkit {

class PipeTransport final : public CardTransport
{
public:
    // Nothing when either pipe cannot be opened (a FIFO without a driver on
    // its other end does not open).
    static std::unique_ptr<PipeTransport> Open(const std::string &folder, const CardTiming &timing);
    ~PipeTransport() override;

    TransportKind Kind() const override { return TransportKind::UsbPipes; }
    // Reads are one read of up to 4096 (SDT) or 2048 (IC) bytes, retried
    // after a pause until at least a header has come; the body the header
    // announces must be within the bytes read.
    bool Exchange(const Bytes &command, FrameKind kind, Bytes *response) override;

private:
    PipeTransport(int out, int in, const CardTiming &timing)
        : m_out(out), m_in(in), m_timing(timing)
    {
    }
    void Drain();

    int m_out;
    int m_in;
    CardTiming m_timing;
};

} // namespace cardkit
