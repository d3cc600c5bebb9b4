#pragma once
// The reader driver's device interface: the control sends a frame as two
// control requests (header, body) and reads the answer with two more.
#include <cstddef>
#include <cstdint>

namespace cardkit {

constexpr uint32_t kIoctlWriteHeader = 0x222020;
constexpr uint32_t kIoctlWriteBody = 0x222024;
constexpr uint32_t kIoctlReadHeader = 0x222028;
constexpr uint32_t kIoctlReadBody = 0x22202C;

class UsbDriverBackend
{
public:
    virtual ~UsbDriverBackend() = default;
    // Opens reader `index` (0-15); false when the driver does not know it.
    virtual bool Open(int index) = 0;
    // One output request with `size` bytes.
    virtual bool Write(uint32_t code, const uint8_t *data, size_t size) = 0;
    // One input request for up to `size` bytes; `got` receives the count.
    virtual bool Read(uint32_t code, uint8_t *buffer, size_t size, size_t *got) = 0;
    virtual void Close() = 0;
};

} // namespace cardkit
