// Tagged archives from untrusted bytes: every header is read, and each property is
// consumed by one of the readers, chosen by its code. Then the records read are written
// again with our writer: the new document must hold the same bytes as the part of the
// input that was read, and read back to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
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

struct Record
{
    int kind;
    uint16_t code;
    std::vector<uint8_t> data; // a property's bytes
    bool operator==(const Record &other) const = default;
};

// Every record up to the end of the document or the first damaged one.
std::vector<Record> ReadRecords(IArchive *archive)
{
    XMF_Archive r(archive);
    std::vector<Record> records;
    uint16_t code = 0;
    for (int kind; (kind = r.ReadHeader(&code)) != XMF_Archive::kEnd;) {
        Record record{kind, code, {}};
        if (kind == XMF_Archive::kProperty) {
            record.data.resize(r.GetBuffer());
            if (r.ReadProper(record.data.data(), r.GetBuffer()) != record.data.size())
                std::abort(); // the reader checked the size against the document
        }
        records.push_back(std::move(record));
    }
    return records;
}

uint32_t RecordBytes(const Record &record)
{
    return record.kind == XMF_Archive::kProperty ? 7 + uint32_t(record.data.size()) : 3;
}

void CheckRewrite(const uint8_t *data, size_t size)
{
    XByteArchive input;
    input.SetBuffer(const_cast<uint8_t *>(data), static_cast<uint32_t>(size));
    const std::vector<Record> records = ReadRecords(&input);

    XMemoArchive output;
    XMF_Archive w(&output);
    uint32_t consumed = 0;
    for (const Record &record : records) {
        int ok = record.kind == XMF_Archive::kSectionStart ? w.StartMarker(record.code)
                 : record.kind == XMF_Archive::kSectionEnd
                     ? w.CloseMarker(record.code)
                     : w.Write_Proper(record.code, record.data.data(),
                                      static_cast<uint32_t>(record.data.size()));
        if (!ok)
            std::abort();
        consumed += RecordBytes(record);
    }
    if (output.GetMaxSize() != consumed || consumed > size)
        std::abort();
    std::vector<uint8_t> written(consumed);
    output.InitReader();
    if (consumed > 0 && !output.Read(written.data(), consumed))
        std::abort();
    if (consumed > 0 && std::memcmp(written.data(), data, consumed) != 0)
        std::abort();
    output.InitReader();
    if (ReadRecords(&output) != records)
        std::abort();
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
    CheckRewrite(data, size);
    return 0;
}
