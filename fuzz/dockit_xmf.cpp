// Tagged archives from untrusted bytes: every header is read, and each property is
// consumed by one of the readers, chosen by its code.
#include <cstddef>
#include <cstdint>

#include "corekit/memory.h"
#include "corekit/xbyte_archive.h"
#include "corekit/xmemo_archive.h"
#include "platform/dockit/xmf_archive.h"

namespace {

void ReadProperty(XMF_Archive &r, uint16_t code)
{
    char16_t text[40];
    uint8_t bytes[64];
    switch (code % 10) {
    case 0: {
        uint32_t v[3];
        r.IntFromDoc(v, 4, 3);
        break;
    }
    case 1:
        MemFree(r.StrFromDoc());
        MemFree(r.StrFromDoc());
        break;
    case 2:
        r.StrFromDoc(text, 40);
        break;
    case 3:
        MemFree(r.ReadStrProper());
        break;
    case 4:
        r.ReadStrProper(text, 40);
        break;
    case 5: {
        int64_t v;
        r.ReadInteger(&v, 8);
        break;
    }
    case 6:
        r.ReadProper(bytes, sizeof(bytes));
        break;
    case 7: {
        DATETIME_t t;
        SYSTIME_t s;
        r.TimeFromDoc(&t);
        r.TimeFromDoc(&s);
        break;
    }
    case 8: {
        XMemoArchive sink;
        r.ReadDoc(&sink, r.GetRemaining() / 2);
        break;
    }
    default:
        MemFree(r.ReadStrDoc(r.GetRemaining() / 2));
        r.SkipProper();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    XByteArchive archive;
    archive.SetBuffer(const_cast<uint8_t *>(data), static_cast<uint32_t>(size));
    XMF_Archive r(&archive);
    uint16_t code = 0;
    for (int kind; (kind = r.ReadHeader(&code)) != XMF_Archive::kEnd;) {
        if (kind == XMF_Archive::kProperty)
            ReadProperty(r, code);
        else if (kind == XMF_Archive::kSectionStart && code % 3 == 0)
            r.SkipMarker();
    }
    return 0;
}
