#pragma once
// Serial reader on a termios device: 8 data bits, no parity, one stop bit,
// raw mode. Answers are polled; a missing header after the header deadline or
// a missing body after the body deadline fails the exchange.
#include <memory>
#include <string>

#include "cardkit/card_transport.h"

namespace cardkit {

class SerialTransport final : public CardTransport
{
public:
    // Opens `path` at `baud` (one of 115200, 57600, 38400, 19200, 9600);
    // nothing when the device cannot be opened or configured.
    static std::unique_ptr<SerialTransport> Open(const std::string &path, int baud,
                                                 const CardTiming &timing);
    ~SerialTransport() override;

    bool SetBaud(int baud);
    TransportKind Kind() const override { return TransportKind::Serial; }
    bool Exchange(const Bytes &command, FrameKind kind, Bytes *response) override;

private:
    SerialTransport(int fd, const CardTiming &timing) : m_fd(fd), m_timing(timing) {}
    bool WriteAll(const Bytes &bytes);
    bool ReadResponse(FrameKind kind, Bytes *response);

    int m_fd;
    CardTiming m_timing;
};

// Baud rates in the order the control tries them.
constexpr int kBaudRates[] = {115200, 57600, 38400, 19200, 9600};

} // namespace cardkit
