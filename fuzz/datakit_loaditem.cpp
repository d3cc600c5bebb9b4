// Item data descriptors from untrusted archive bytes: the section start is read, then
// LoadItemDesc; whatever loaded is written back and read into a row buffer, so that a
// descriptor the loader accepts is one every other function can use.
#include <cstddef>
#include <cstdint>

#include "corekit/xbyte_archive.h"
#include "corekit/xmemo_archive.h"
#include "datakit/item_data_desc.h"
#include "datakit/item_data_store.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/scriptkit/xrow_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    XByteArchive in;
    in.SetBuffer(const_cast<uint8_t *>(data), static_cast<uint32_t>(size));
    XMF_Archive reader(&in);
    uint16_t code = 0;
    if (reader.ReadHeader(&code) != XMF_Archive::kSectionStart)
        return 0;
    XItemDataDesc *desc = MallocItemDesc();
    LoadItemDesc(desc, &reader);
    XMemoArchive out;
    XMF_Archive writer(&out);
    SaveItemDesc(code, desc, &writer);
    XRowBuffer row;
    for (const XItemDataDesc *d = desc; d; d = d->next)
        GetItemValue(d, &row, 0);
    ReleaseItemDesc(desc);
    ReleaseItemNode(desc);
    return 0;
}
