// Archive form of item data descriptors. Property 4097 per descriptor:
//   u32 id, u32 class, u16 type, u16 size, i16 modified, i16 isNull, u32 flags, u32 extra,
//   counted name, keyer and default (count 0: none), then, when not null, the value:
//   8 bytes (integer, double, time), the text units with terminator, u32 length and the
//   bytes, or the stream's content. A table follows the property as section 12289.
// Older documents hold a section with code 1 of small numbered properties instead.
#include <cstring>

#include "corekit/archive/iarchive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "corekit/text/strings.h"
#include "datakit/item_data_store.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/scriptkit/xrow_grider.h"

namespace {

constexpr uint32_t kFixedBytes = 24;
constexpr uint16_t kLegacySection = 1;

bool IsTextType(uint16_t type)
{
    return type == kValueText || type == kValueText2;
}

uint32_t Units(const char16_t *s)
{
    return s ? Strlen(s) + 1 : 0;
}

// Bytes of the value that the property counts.
uint64_t ValueBytes(const XItemDataDesc *d)
{
    if (d->isNull)
        return 0;
    switch (d->type) {
    case kValueInteger:
    case kValueFloater:
    case kValueTime:
        return 8;
    case kValueBytes:
        return 4ull + (d->value.bytes ? GetBlockLength(d->value.bytes) : 0);
    case kValueStream:
        return d->value.stream ? d->value.stream->GetMaxSize() : 0;
    default:
        return IsTextType(d->type) ? 2ull * Units(d->value.text ? d->value.text : u"") : 0;
    }
}

int WriteValue(const XItemDataDesc *d, XMF_Archive *archive)
{
    switch (d->type) {
    case kValueInteger:
    case kValueFloater:
        return archive->IntToDoc(&d->value.integer, 8);
    case kValueTime:
        return archive->TimeToDoc(&d->value.time);
    case kValueBytes: {
        uint32_t n = d->value.bytes ? GetBlockLength(d->value.bytes) : 0;
        return archive->IntToDoc(&n, 4) && (n == 0 || archive->Write(d->value.bytes + 4, n));
    }
    case kValueStream: {
        IArchive *s = d->value.stream;
        return !s || s->GetMaxSize() == 0 ||
               (s->InitReader() && archive->WriteDoc(s, s->GetMaxSize()));
    }
    case kValueTable: {
        if (d->value.table)
            return d->value.table->SaveStorage(kItemTableSection, archive);
        XRowGrider *empty = XRowGrider::Malloc();
        int ok = empty->SaveStorage(kItemTableSection, archive);
        empty->Release();
        return ok;
    }
    default:
        return IsTextType(d->type) ? archive->SaveStrDoc(d->value.text) : 1;
    }
}

int WriteProperty(const XItemDataDesc *d, XMF_Archive *archive)
{
    char16_t name[kItemNameUnits];
    std::memcpy(name, d->name, sizeof(name));
    name[kItemNameUnits - 1] = 0;
    uint64_t size =
        38ull + 2ull * (Strlen(name) + Units(d->keyer) + Units(d->defValue)) + ValueBytes(d);
    if (size > 0xFFFFFFFFull)
        return 0;
    int ok = archive->StartProper(kItemDescProperty, static_cast<uint32_t>(size)) &&
             archive->IntToDoc(&d->id, 4) && archive->IntToDoc(&d->dataClass, 4) &&
             archive->IntToDoc(&d->type, 2) && archive->IntToDoc(&d->size, 2) &&
             archive->IntToDoc(&d->modified, 2) && archive->IntToDoc(&d->isNull, 2) &&
             archive->IntToDoc(&d->flags, 4) && archive->IntToDoc(&d->extra, 4) &&
             archive->StrToDoc(name) && archive->StrToDoc(d->keyer) &&
             archive->StrToDoc(d->defValue);
    return ok && (d->isNull || WriteValue(d, archive));
}

// ---- Loading ----------------------------------------------------------------------

// A counted string of the property: null for count 0; false when the count passes the
// property's end.
bool ReadCounted(XMF_Archive *archive, char16_t **out)
{
    uint32_t n = 0;
    *out = nullptr;
    if (!archive->IntFromDoc(&n, 4) || n > archive->GetRemaining() / 2)
        return false;
    if (n == 0)
        return true;
    *out = archive->ReadStrDoc(n);
    return *out != nullptr;
}

bool ReadName(XMF_Archive *archive, char16_t *name)
{
    char16_t *text = nullptr;
    if (!ReadCounted(archive, &text))
        return false;
    Strncpy(name, text ? text : u"", kItemNameUnits);
    MemFree(text);
    return true;
}

bool ReadTextValue(XMF_Archive *archive, XItemDataDesc *d)
{
    uint32_t units = archive->GetRemaining() / 2;
    char16_t *text = units ? archive->ReadStrDoc(units) : StrAlloc(u"");
    if (!text)
        return false;
    d->value.text = text;
    d->capacity = units + 1;
    return true;
}

bool ReadBytesValue(XMF_Archive *archive, XItemDataDesc *d)
{
    uint32_t n = 0;
    if (!archive->IntFromDoc(&n, 4) || n > archive->GetRemaining())
        return false;
    auto *block = static_cast<uint8_t *>(MemAlloc(n + 4));
    std::memcpy(block, &n, 4);
    d->value.bytes = block;
    d->capacity = n + 4;
    return n == 0 || archive->Read(block + 4, n);
}

bool ReadValue(XMF_Archive *archive, XItemDataDesc *d)
{
    switch (d->type) {
    case kValueInteger:
    case kValueFloater:
        return archive->IntFromDoc(&d->value.integer, 8) != 0;
    case kValueTime:
        return archive->TimeFromDoc(&d->value.time) != 0;
    case kValueBytes:
        return ReadBytesValue(archive, d);
    case kValueStream: {
        uint32_t n = archive->GetRemaining();
        XMemoArchive *stream = XMemoArchive::Malloc();
        d->value.stream = stream;
        return n == 0 || archive->ReadDoc(stream, n);
    }
    case kValueTable: {
        XRowGrider *table = XRowGrider::Malloc();
        d->value.table = table;
        return table->FromStorage(archive, kItemTableSection) != 0;
    }
    default:
        return IsTextType(d->type) ? ReadTextValue(archive, d) : true;
    }
}

// Property 4097 into a new descriptor; null when it is malformed.
XItemDataDesc *ReadProperty(XMF_Archive *archive)
{
    XItemDataDesc *d = MallocItemDesc();
    bool ok = archive->IntFromDoc(&d->id, 4) && archive->IntFromDoc(&d->dataClass, 4) &&
              archive->IntFromDoc(&d->type, 2) && archive->IntFromDoc(&d->size, 2) &&
              archive->IntFromDoc(&d->modified, 2) && archive->IntFromDoc(&d->isNull, 2) &&
              archive->IntFromDoc(&d->flags, 4) && archive->IntFromDoc(&d->extra, 4) &&
              ReadName(archive, d->name) && ReadCounted(archive, &d->keyer) &&
              ReadCounted(archive, &d->defValue);
    if (d->type == kLegacyTableType)
        d->type = kValueTable;
    if (ok && d->isNull)
        d->isNull = 1;
    else if (ok)
        ok = ReadValue(archive, d);
    if (ok)
        return d;
    ReleaseItemNode(d);
    return nullptr;
}

// One property of an older section into d; false for a malformed one.
bool ReadLegacyProperty(XMF_Archive *archive, uint16_t code, XItemDataDesc *d)
{
    switch (code) {
    case 1:
        return archive->ReadInteger(&d->id, 4) != 0;
    case 2:
        return archive->ReadInteger(&d->dataClass, 4) != 0;
    case 4:
        if (!archive->ReadInteger(&d->type, 2))
            return false;
        if (d->type == kLegacyTableType)
            d->type = kValueTable;
        return true;
    case 5:
        return archive->ReadInteger(&d->size, 2) != 0;
    case 6:
        archive->ReadStrProper(d->name, kItemNameUnits);
        return true;
    case 7:
        return archive->ReadInteger(&d->flags, 4) != 0;
    case 9:
        return archive->ReadInteger(&d->extra, 4) != 0;
    case 18:
        MemFree(d->defValue);
        d->defValue = archive->ReadStrProper();
        return true;
    case 19:
        MemFree(d->keyer);
        d->keyer = archive->ReadStrProper();
        return true;
    default:
        return archive->SkipProper() != 0;
    }
}

// An older section (its start already read) into a new descriptor; null when malformed.
XItemDataDesc *ReadLegacySection(XMF_Archive *archive)
{
    XItemDataDesc *d = MallocItemDesc();
    for (;;) {
        uint16_t code = 0;
        int kind = archive->ReadHeader(&code);
        if (kind == XMF_Archive::kSectionEnd)
            return d;
        bool ok = kind == XMF_Archive::kProperty       ? ReadLegacyProperty(archive, code, d)
                  : kind == XMF_Archive::kSectionStart ? archive->SkipMarker() != 0
                                                       : false;
        if (!ok)
            break;
    }
    ReleaseItemNode(d);
    return nullptr;
}

// Puts a loaded descriptor in place: the first one fills desc, later ones are chained.
void Install(XItemDataDesc *desc, XItemDataDesc *loaded, bool *filled, XItemDataDesc **last)
{
    if (*filled) {
        (*last)->next = loaded;
        *last = loaded;
        return;
    }
    ClearItemDesc(desc);
    MemFree(desc->defValue);
    MemFree(desc->keyer);
    std::memcpy(desc, loaded, sizeof(*desc));
    desc->next = nullptr;
    MemFree(loaded);
    *filled = true;
}

} // namespace

int SaveItemDesc(uint16_t code, const XItemDataDesc *desc, XMF_Archive *archive)
{
    if (!archive->StartMarker(code))
        return 0;
    for (const XItemDataDesc *d = desc; d; d = d->next)
        if (!WriteProperty(d, archive))
            return 0;
    return archive->CloseMarker(code);
}

int LoadItemDesc(XItemDataDesc *desc, XMF_Archive *archive)
{
    XItemDataDesc *chain = desc->next;
    desc->next = nullptr;
    while (chain) {
        XItemDataDesc *after = chain->next;
        chain->next = nullptr;
        ReleaseItemDesc(chain);
        ReleaseItemNode(chain);
        chain = after;
    }
    bool filled = false;
    XItemDataDesc *last = desc;
    for (;;) {
        uint16_t code = 0;
        int kind = archive->ReadHeader(&code);
        if (kind == XMF_Archive::kSectionEnd)
            return 1;
        XItemDataDesc *loaded = nullptr;
        if (kind == XMF_Archive::kProperty && code == kItemDescProperty)
            loaded = ReadProperty(archive);
        else if (kind == XMF_Archive::kSectionStart && code == kLegacySection)
            loaded = ReadLegacySection(archive);
        else if (kind == XMF_Archive::kSectionStart && archive->SkipMarker())
            continue;
        if (!loaded)
            return 0;
        Install(desc, loaded, &filled, &last);
    }
}
