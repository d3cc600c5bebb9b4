#include "datakit/barcode_elements.h"

#include <cstring>

#include "datakit/barcode128.h"
#include "datakit/barcode39.h"

void XBarcodeElements::Clear()
{
    m_data[0] = 0;
    m_length = 0;
    m_overflowed = false;
}

bool XBarcodeElements::Append(const char *pattern)
{
    size_t n = strlen(pattern);
    if (m_overflowed || n > kCapacity - m_length) {
        m_overflowed = true;
        return false;
    }
    memcpy(m_data + m_length, pattern, n + 1);
    m_length += n;
    return true;
}

unsigned XBarcodeElements::GetTotalModules() const
{
    unsigned total = 0;
    for (size_t i = 0; i < m_length; i++)
        total += static_cast<unsigned>(m_data[i] - '0');
    return total;
}

bool MakeBarcodeElements(const char16_t *text, int type, XBarcodeElements &out)
{
    out.Clear();
    if (!text)
        return false;
    switch (type & 0xFF) {
    case kBarcodeCode39:
        return MakeCode39Elements(text, out);
    case kBarcodeCode128B:
        return MakeCode128Elements(text, false, out);
    case kBarcodeCode128Auto:
        return MakeCode128Elements(text, true, out);
    default:
        return false;
    }
}
