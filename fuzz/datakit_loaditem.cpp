// Item data descriptors from untrusted archive bytes: the section start is read, then
// LoadItemDesc; whatever loaded is written back, read again, and must come back field
// by field as it was written (the target aborts otherwise). Its values are then read
// into a row buffer, so that a descriptor the loader accepts is one every other
// function can use.
#include <cstddef>
#include <cstdint>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "datakit/item_data_desc.h"
#include "datakit/item_data_store.h"
#include "datakit_loaditem_same.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/scriptkit/xrow_buffer.h"

namespace {

void Release(XItemDataDesc *desc)
{
    ReleaseItemDesc(desc);
    ReleaseItemNode(desc);
}

// Writes desc as section `code`, reads it back and compares.
void CheckRoundTrip(uint16_t code, XItemDataDesc *desc)
{
    XMemoArchive out;
    XMF_Archive writer(&out);
    if (!SaveItemDesc(code, desc, &writer))
        __builtin_trap();
    out.InitReader();
    XMF_Archive reader(&out);
    uint16_t again = 0;
    if (reader.ReadHeader(&again) != XMF_Archive::kSectionStart || again != code)
        __builtin_trap();
    XItemDataDesc *back = MallocItemDesc();
    if (!LoadItemDesc(back, &reader) || !loaditem_same::SameStored(desc, back))
        __builtin_trap();
    Release(back);
}

} // namespace

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
    CheckRoundTrip(code, desc);
    XRowBuffer row;
    for (const XItemDataDesc *d = desc; d; d = d->next)
        GetItemValue(d, &row, 0);
    Release(desc);
    return 0;
}
