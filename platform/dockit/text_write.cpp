#include "platform/dockit/text_write.h"

#include <string>
#include <vector>

#include "corekit/archive/iarchive.h"
#include "corekit/encoding/encoding.h"

int TextWrite(IArchive *stream, int encoding, const char16_t *text, int length)
{
    if (!stream || encoding < 0 || encoding > 4)
        return 0;
    if (!text)
        return 1;
    int n = length < 0 ? static_cast<int>(std::char_traits<char16_t>::length(text)) : length;
    if (n == 0)
        return 1;
    unsigned needed = WStrToCStr(encoding, text, n, nullptr, 0);
    std::vector<char> bytes(needed + 2);
    unsigned written =
        WStrToCStr(encoding, text, n, bytes.data(), static_cast<uint32_t>(bytes.size()));
    return written == 0 || stream->Write(bytes.data(), written) ? 1 : 0;
}
