#include "corekit/archive/iarchive.h"

#include <algorithm>

int IArchive::CopyDoc(IArchive *from, IArchive *to, uint32_t n)
{
    if (from == nullptr || to == nullptr || DocRemaining(from) < n)
        return 0;
    uint8_t piece[kCopyPiece];
    while (n > 0) {
        const uint32_t chunk = std::min(n, kCopyPiece);
        if (from->Read(piece, chunk) == 0 || to->Write(piece, chunk) == 0)
            return 0;
        n -= chunk;
    }
    return 1;
}

uint32_t DocRemaining(const IArchive *a)
{
    if (a == nullptr)
        return 0;
    uint32_t pos = 0;
    a->Tell(&pos);
    const uint32_t size = a->GetMaxSize();
    return size > pos ? size - pos : 0;
}
