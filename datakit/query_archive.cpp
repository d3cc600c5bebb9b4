// Archive forms of query templates.
//
// Section `code`: integer properties 1 and 2 (data-source numbers), 3, 4 and 5 (the
// further words), string 16 (FROM text); then sections 257 (fields), 258 (conditions),
// 259 (group items) and 260 (order items), each holding one section 4097 per item with
// numbered properties. The older layout numbers the further words differently, holds
// the field numbers in four bytes and packs two condition numbers into one property.
#include "corekit/memory/memory.h"
#include "datakit/query_lists.h"
#include "datakit/query_template.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/scriptkit/script_value.h"

using namespace query_lists;

namespace {

constexpr uint16_t kFieldSection = 257;
constexpr uint16_t kWhereSection = 258;
constexpr uint16_t kGroupSection = 259;
constexpr uint16_t kOrderSection = 260;
constexpr uint16_t kItemSection = 4097;
// Items after the fields are closed with this code; readers accept any closing code.
constexpr uint16_t kItemClose = 257;

// ---- Writing --------------------------------------------------------------------------

// Absent texts are not written.
bool PutText(XMF_Archive *a, uint16_t code, const char16_t *text)
{
    return !text || a->Write_Proper(code, text);
}

bool PutShort(XMF_Archive *a, uint16_t code, uint16_t value)
{
    return a->Write_Integer(code, value, 2);
}

// Field size as stored: integers 2, 4 or 8 by width, numbers and times 8.
uint16_t StoredSize(uint16_t type, uint16_t size)
{
    if (type == kValueInteger)
        return size <= 2 ? 2 : size <= 4 ? 4 : 8;
    if (type == kValueFloater || type == kValueTime)
        return 8;
    return size;
}

bool PutItem(XMF_Archive *a, XQueryField *f)
{
    f->size = StoredSize(f->type, f->size);
    return a->StartMarker(kItemSection) && PutText(a, 1, f->body) && PutText(a, 2, f->name) &&
           PutShort(a, 3, f->type) && PutShort(a, 4, f->size) && PutShort(a, 5, f->mode) &&
           PutShort(a, 6, f->kape) && PutText(a, 7, f->desc) && a->CloseMarker(kItemSection);
}

bool PutItem(XMF_Archive *a, const XQueryWhere *w)
{
    return a->StartMarker(kItemSection) && PutText(a, 1, w->body) && PutText(a, 2, w->kape) &&
           PutText(a, 3, w->name) && PutShort(a, 4, w->lbox) && PutShort(a, 5, w->rbox) &&
           PutShort(a, 6, w->pare) && PutShort(a, 7, w->join) && PutShort(a, 8, w->mode) &&
           PutShort(a, 9, w->type) && PutText(a, 10, w->desc) && a->CloseMarker(kItemClose);
}

bool PutItem(XMF_Archive *a, const XQueryGroup *g)
{
    return a->StartMarker(kItemSection) && PutText(a, 1, g->body) && PutText(a, 2, g->name) &&
           a->CloseMarker(kItemClose);
}

bool PutItem(XMF_Archive *a, const XQueryOrder *o)
{
    return a->StartMarker(kItemSection) && PutText(a, 1, o->body) && PutText(a, 2, o->name) &&
           a->Write_Integer(3, o->mode, 4) && a->CloseMarker(kItemClose);
}

// Empty lists are not written.
template <class T> bool PutList(XMF_Archive *a, uint16_t section, T *list)
{
    if (!list)
        return true;
    if (!a->StartMarker(section))
        return false;
    for (T *item = list; item; item = item->next)
        if (!PutItem(a, item))
            return false;
    return a->CloseMarker(section);
}

// ---- Reading --------------------------------------------------------------------------

bool GetText(XMF_Archive *a, char16_t **slot)
{
    char16_t *text = a->ReadStrProper();
    MemFree(*slot);
    *slot = text;
    return true;
}

bool GetShort(XMF_Archive *a, uint16_t *value)
{
    return a->ReadInteger(value, 2) != 0;
}

bool GetLong(XMF_Archive *a, uint32_t *value)
{
    return a->ReadInteger(value, 4) != 0;
}

// One property of an item; false for a malformed one. Unknown codes are skipped.
bool GetProperty(XMF_Archive *a, uint16_t code, XQueryField *f, bool older)
{
    uint32_t wide = 0;
    switch (code) {
    case 1:
        return GetText(a, &f->body);
    case 2:
        return GetText(a, &f->name);
    case 7:
        return GetText(a, &f->desc);
    case 3:
    case 4:
    case 5:
    case 6: {
        uint16_t *slots[] = {&f->type, &f->size, &f->mode, &f->kape};
        if (!older)
            return GetShort(a, slots[code - 3]);
        if (!GetLong(a, &wide))
            return false;
        *slots[code - 3] = static_cast<uint16_t>(wide);
        return true;
    }
    default:
        return true;
    }
}

bool GetProperty(XMF_Archive *a, uint16_t code, XQueryWhere *w, bool older)
{
    if (code == 1)
        return GetText(a, &w->body);
    if (code == 2)
        return GetText(a, &w->kape);
    if (code == 3)
        return GetText(a, &w->name);
    if (!older) {
        uint16_t *slots[] = {&w->lbox, &w->rbox, &w->pare, &w->join, &w->mode, &w->type};
        if (code >= 4 && code <= 9)
            return GetShort(a, slots[code - 4]);
        return code != 10 || GetText(a, &w->desc);
    }
    uint32_t wide = 0;
    switch (code) {
    case 4: // "(" count in the low half, ")" count in the high half
    case 5: // comparison code low, join code high
        if (!GetLong(a, &wide))
            return false;
        *(code == 4 ? &w->lbox : &w->pare) = static_cast<uint16_t>(wide);
        *(code == 4 ? &w->rbox : &w->join) = static_cast<uint16_t>(wide >> 16);
        return true;
    case 6:
        if (!GetLong(a, &wide))
            return false;
        w->mode = static_cast<uint16_t>(wide);
        return true;
    case 7:
        return GetShort(a, &w->type);
    case 8:
        return GetText(a, &w->desc);
    default:
        return true;
    }
}

bool GetProperty(XMF_Archive *a, uint16_t code, XQueryGroup *g, bool)
{
    return code == 1 ? GetText(a, &g->body) : code != 2 || GetText(a, &g->name);
}

bool GetProperty(XMF_Archive *a, uint16_t code, XQueryOrder *o, bool)
{
    if (code == 3)
        return GetLong(a, &o->mode);
    return code == 1 ? GetText(a, &o->body) : code != 2 || GetText(a, &o->name);
}

// Whether a finished item can be taken; fixes what the older layout leaves implicit.
bool FinishItem(XQueryField *f, bool older)
{
    if (older && f->type == kValueInteger)
        f->size = 4;
    else if (older && (f->type == kValueFloater || f->type == kValueTime))
        f->size = 8;
    return true;
}

bool FinishItem(XQueryWhere *w, bool)
{
    return w->lbox <= kMaxBrackets && w->rbox <= kMaxBrackets;
}

bool FinishItem(XQueryGroup *, bool)
{
    return true;
}

bool FinishItem(XQueryOrder *, bool)
{
    return true;
}

// Reads one item section (its start already read) and appends it.
template <class T> bool LoadItem(XMF_Archive *a, ListTail<T> *tail, bool older)
{
    T *item = NewItem<T>();
    for (;;) {
        uint16_t code = 0;
        int kind = a->ReadHeader(&code);
        bool ok = true;
        if (kind == XMF_Archive::kProperty)
            ok = GetProperty(a, code, item, older);
        else if (kind == XMF_Archive::kSectionStart)
            ok = a->SkipMarker() != 0;
        else if (kind == XMF_Archive::kSectionEnd && FinishItem(item, older)) {
            tail->Append(item);
            return true;
        } else
            ok = false;
        if (!ok) {
            FreeItem(item);
            return false;
        }
    }
}

// Reads a list section (its start already read): item sections 4097, anything else
// skipped.
template <class T> bool LoadList(XMF_Archive *a, T **list, bool older)
{
    ListTail<T> tail(list);
    for (;;) {
        uint16_t code = 0;
        int kind = a->ReadHeader(&code);
        if (kind == XMF_Archive::kSectionEnd)
            return true;
        if (kind == XMF_Archive::kEnd)
            return false;
        if (kind != XMF_Archive::kSectionStart)
            continue;
        if (code == kItemSection ? !LoadItem(a, &tail, older) : !a->SkipMarker())
            return false;
    }
}

} // namespace

int XQueryTemplate::SaveTemplate(uint16_t code, XMF_Archive *archive)
{
    if (!archive)
        return 0;
    XMF_Archive *a = archive;
    bool ok = a->StartMarker(code) && a->Write_Integer(1, m_dataMuster[0], 4) &&
              a->Write_Integer(2, m_dataMuster[1], 4) && a->Write_Integer(3, m_words[0], 4) &&
              a->Write_Integer(4, m_words[1], 4) && a->Write_Integer(5, m_words[2], 4) &&
              PutText(a, 16, m_fromClause);
    ok = ok && PutList(a, kFieldSection, m_fieldList) && PutList(a, kWhereSection, m_whereList) &&
         PutList(a, kGroupSection, m_groupList) && PutList(a, kOrderSection, m_orderList);
    return ok && a->CloseMarker(code) ? 1 : 0;
}

int XQueryTemplate::LoadTemplate(uint16_t code, XMF_Archive *archive)
{
    for (int kind = kQueryFields; kind <= kQueryOrders; ++kind)
        ClearWare(kind);
    if (!archive)
        return 0;
    uint16_t start = 0;
    if (code && (archive->ReadHeader(&start) != XMF_Archive::kSectionStart || start != code))
        return 0;
    return LoadBody(archive, false);
}

int XQueryTemplate::ReadTemplate(uint16_t code, XMF_Archive *archive)
{
    for (int kind = kQueryFields; kind <= kQueryOrders; ++kind)
        ClearWare(kind);
    if (!archive)
        return 0;
    uint16_t start = 0;
    if (code && (archive->ReadHeader(&start) != XMF_Archive::kSectionStart || start != code))
        return 0;
    return LoadBody(archive, true);
}

int XQueryTemplate::LoadBody(XMF_Archive *a, bool older)
{
    MemFree(m_fromClause);
    m_fromClause = nullptr;
    // Property codes of the three further words: newer 3, 4, 5; older 3 is the third and
    // 5 the second.
    uint32_t *words[6] = {};
    words[3] = older ? &m_words[2] : &m_words[0];
    words[4] = older ? nullptr : &m_words[1];
    words[5] = older ? &m_words[1] : &m_words[2];
    for (;;) {
        uint16_t code = 0;
        int kind = a->ReadHeader(&code);
        if (kind == XMF_Archive::kEnd)
            return 0;
        if (kind == XMF_Archive::kSectionEnd)
            return 1;
        bool ok = true;
        if (kind == XMF_Archive::kProperty) {
            if (code == 1 || code == 2)
                ok = GetLong(a, &m_dataMuster[code - 1]);
            else if (code >= 3 && code <= 5 && words[code])
                ok = GetLong(a, words[code]);
            else if (code == 16)
                ok = GetText(a, &m_fromClause);
        } else if (code == kFieldSection) {
            ok = LoadList(a, &m_fieldList, older);
        } else if (code == kWhereSection) {
            ok = LoadList(a, &m_whereList, older);
        } else if (code == kGroupSection) {
            ok = LoadList(a, &m_groupList, older);
        } else if (code == kOrderSection) {
            ok = LoadList(a, &m_orderList, older);
        } else {
            ok = a->SkipMarker() != 0;
        }
        if (!ok)
            return 0;
    }
}
