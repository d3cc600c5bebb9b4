// Query template lifecycle, its four lists and their flat records, field editing with
// item data descriptors, and the validity check.
#include "datakit/query_template.h"

#include <cstring>
#include <utility>

#include "corekit/memory/memory.h"
#include "corekit/text/strings.h"
#include "corekit/text/xstring.h"
#include "datakit/item_data_desc.h"
#include "datakit/query_lists.h"
#include "platform/scriptkit/script_value.h"

using namespace query_lists;

namespace {

// ---- Fixed text areas -----------------------------------------------------------------

// Length of the text in an area of `units` units; -1 when no terminator is inside it.
int AreaLength(const char16_t *area, uint32_t units)
{
    for (uint32_t i = 0; i < units; ++i)
        if (area[i] == 0)
            return static_cast<int>(i);
    return -1;
}

// A heap copy of the area's text; null for an empty text. False without a terminator.
bool ReadArea(const char16_t *area, uint32_t units, char16_t **out)
{
    int n = AreaLength(area, units);
    if (n < 0)
        return false;
    *out = n ? CopyText(area) : nullptr;
    return true;
}

// Writes text (null: empty) into an area of `units` units; false when it does not fit,
// the area then holding an empty text.
bool FillArea(char16_t *area, uint32_t units, const char16_t *text)
{
    uint32_t n = text ? Strlen(text) : 0;
    area[0] = 0;
    if (n >= units)
        return false;
    std::memcpy(area, text ? text : u"", (n + 1) * sizeof(char16_t));
    return true;
}

// n copies of ch into an area of `units` units; false when they do not fit.
bool FillRepeat(char16_t *area, uint32_t units, char16_t ch, uint32_t n)
{
    area[0] = 0;
    if (n >= units)
        return false;
    for (uint32_t i = 0; i < n; ++i)
        area[i] = ch;
    area[n] = 0;
    return true;
}

// Number of ch in the area's text (bounded by the area).
uint16_t CountChar(const char16_t *area, uint32_t units, char16_t ch)
{
    uint16_t n = 0;
    for (uint32_t i = 0; i < units && area[i]; ++i)
        n += area[i] == ch;
    return n;
}

// Field size as the record adds it: integers 2, 4 or 8 by width, numbers and times 8.
uint16_t AddedSize(int32_t type, int32_t size)
{
    if (type == kValueInteger)
        return size < 4 ? 2 : size < 8 ? 4 : 8;
    if (type == kValueFloater || type == kValueTime)
        return 8;
    return static_cast<uint16_t>(size);
}

template <size_t N> bool ReadAreas(const char16_t (&a)[N], char16_t **out)
{
    return ReadArea(a, N, out);
}

// ---- Items from records and records from items ---------------------------------------

void *AddField(XQueryField **list, const XFieldRecord_t *r)
{
    XQueryField *f = NewItem<XQueryField>();
    if (!ReadAreas(r->body, &f->body) || !ReadAreas(r->name, &f->name) ||
        !ReadAreas(r->desc, &f->desc)) {
        FreeItem(f);
        return nullptr;
    }
    f->type = static_cast<uint16_t>(r->type);
    f->size = AddedSize(r->type, r->size);
    f->mode = static_cast<uint16_t>(r->mode);
    f->kape = static_cast<uint16_t>(r->kape);
    ListTail<XQueryField>(list).Append(f);
    return f;
}

void *AddWhere(XQueryWhere **list, const XWhereRecord_t *r)
{
    XQueryWhere *w = NewItem<XQueryWhere>();
    if (AreaLength(r->lbox, 16) < 0 || AreaLength(r->rbox, 16) < 0 ||
        !ReadAreas(r->body, &w->body) || !ReadAreas(r->kape, &w->kape) ||
        !ReadAreas(r->name, &w->name)) {
        FreeItem(w);
        return nullptr;
    }
    w->lbox = CountChar(r->lbox, 16, u'(');
    w->rbox = CountChar(r->rbox, 16, u')');
    w->pare = static_cast<uint16_t>(r->pare);
    w->join = static_cast<uint16_t>(r->join);
    w->mode = static_cast<uint16_t>(r->mode);
    ListTail<XQueryWhere>(list).Append(w);
    return w;
}

void *AddGroup(XQueryGroup **list, const XGroupRecord_t *r)
{
    XQueryGroup *g = NewItem<XQueryGroup>();
    if (!ReadAreas(r->body, &g->body) || !ReadAreas(r->name, &g->name)) {
        FreeItem(g);
        return nullptr;
    }
    ListTail<XQueryGroup>(list).Append(g);
    return g;
}

void *AddOrder(XQueryOrder **list, const XOrderRecord_t *r)
{
    XQueryOrder *o = NewItem<XQueryOrder>();
    if (!ReadAreas(r->body, &o->body) || !ReadAreas(r->name, &o->name)) {
        FreeItem(o);
        return nullptr;
    }
    o->mode = static_cast<uint32_t>(r->mode);
    ListTail<XQueryOrder>(list).Append(o);
    return o;
}

bool FillRecord(const XQueryField *f, XFieldRecord_t *r)
{
    r->type = f->type;
    r->size = f->size;
    r->mode = f->mode;
    r->kape = f->kape;
    bool ok = FillArea(r->body, 1024, f->body);
    ok = FillArea(r->name, 32, f->name) && ok;
    return FillArea(r->desc, 2048, f->desc) && ok;
}

bool FillRecord(const XQueryWhere *w, XWhereRecord_t *r)
{
    r->pare = w->pare;
    r->join = w->join;
    r->mode = w->mode;
    bool ok = FillRepeat(r->lbox, 16, u'(', w->lbox);
    ok = FillRepeat(r->rbox, 16, u')', w->rbox) && ok;
    ok = FillArea(r->body, 1024, w->body) && ok;
    ok = FillArea(r->kape, 1024, w->kape) && ok;
    return FillArea(r->name, 32, w->name) && ok;
}

bool FillRecord(const XQueryGroup *g, XGroupRecord_t *r)
{
    bool ok = FillArea(r->body, 1024, g->body);
    return FillArea(r->name, 32, g->name) && ok;
}

bool FillRecord(const XQueryOrder *o, XOrderRecord_t *r)
{
    r->mode = static_cast<int32_t>(o->mode);
    bool ok = FillArea(r->body, 1024, o->body);
    return FillArea(r->name, 32, o->name) && ok;
}

template <class T, class R> void *NextFilled(T *head, const void *current, void *record)
{
    T *item = current ? static_cast<const T *>(current)->next : head;
    if (!item)
        return nullptr;
    return FillRecord(item, static_cast<R *>(record)) ? item : nullptr;
}

// ---- Deep copies --------------------------------------------------------------------

template <class T> T *CopyList(const T *src)
{
    T *head = nullptr;
    ListTail<T> tail(&head);
    for (; src; src = src->next) {
        T *item = NewItem<T>();
        *item = *src;
        item->body = CopyText(src->body);
        item->name = CopyText(src->name);
        if constexpr (requires { item->desc; })
            item->desc = CopyText(src->desc);
        if constexpr (requires { item->kape = nullptr; })
            item->kape = CopyText(src->kape);
        tail.Append(item);
    }
    return head;
}

XQueryField *FieldAt(XQueryField *list, uint32_t index)
{
    for (; list && index; --index)
        list = list->next;
    return list;
}

// Body "[id]" of a descriptor with a non-zero id, and its name, type and size.
void TakeDesc(XQueryField *f, const XItemDataDesc *desc, bool withBody)
{
    if (withBody && desc->id) {
        XString body;
        body.Format(u"[%ld]", static_cast<long>(desc->id));
        SetText(&f->body, body.GetString());
    }
    char16_t name[kItemNameUnits];
    std::memcpy(name, desc->name, sizeof(name));
    name[kItemNameUnits - 1] = 0;
    SetText(&f->name, name[0] ? name : nullptr);
    f->type = desc->type == kValueText2 ? kValueText : desc->type;
    f->size = desc->size;
}

} // namespace

// ---- Lifecycle ------------------------------------------------------------------------

XQueryTemplate *XQueryTemplate::Malloc()
{
    return new XQueryTemplate();
}

void XQueryTemplate::Release()
{
    delete this;
}

XQueryTemplate::XQueryTemplate() : m_workText(new XString()) {}

XQueryTemplate::XQueryTemplate(const XQueryTemplate &other) : m_workText(new XString())
{
    CopyFrom(other);
}

XQueryTemplate &XQueryTemplate::operator=(const XQueryTemplate &other)
{
    if (this == &other)
        return *this;
    for (int kind = kQueryFields; kind <= kQueryOrders; ++kind)
        ClearWare(kind);
    CopyFrom(other);
    return *this;
}

XQueryTemplate::~XQueryTemplate()
{
    for (int kind = kQueryFields; kind <= kQueryOrders; ++kind)
        ClearWare(kind);
    MemFree(m_fromClause);
    delete m_workText;
}

void XQueryTemplate::CopyFrom(const XQueryTemplate &other)
{
    std::memcpy(m_dataMuster, other.m_dataMuster, sizeof(m_dataMuster));
    std::memcpy(m_words, other.m_words, sizeof(m_words));
    m_binderData = other.m_binderData;
    m_binder = other.m_binder;
    SetText(&m_fromClause, other.m_fromClause);
    m_fieldList = CopyList(other.m_fieldList);
    m_whereList = CopyList(other.m_whereList);
    m_groupList = CopyList(other.m_groupList);
    m_orderList = CopyList(other.m_orderList);
}

void XQueryTemplate::SetDataMuster(uint32_t a, uint32_t b)
{
    m_dataMuster[0] = a;
    m_dataMuster[1] = b;
}

void XQueryTemplate::SetExtraWord(int which, uint32_t value)
{
    if (which >= 0 && which < 3)
        m_words[which] = value;
}

uint32_t XQueryTemplate::GetExtraWord(int which) const
{
    return which >= 0 && which < 3 ? m_words[which] : 0;
}

void XQueryTemplate::SetFromClause(const char16_t *text)
{
    SetText(&m_fromClause, text);
}

void XQueryTemplate::SetBinder(void *data, XQueryBinder binder)
{
    m_binderData = data;
    m_binder = binder;
}

void XQueryTemplate::FreeTree()
{
    ReleaseWhereTree(m_whereTree);
    m_whereTree = nullptr;
}

// ---- Lists ------------------------------------------------------------------------------

void *XQueryTemplate::GetDescWare(int kind) const
{
    switch (kind) {
    case kQueryFields:
        return m_fieldList;
    case kQueryWheres:
        return m_whereList;
    case kQueryGroups:
        return m_groupList;
    case kQueryOrders:
        return m_orderList;
    case kQueryTree:
        return m_whereTree;
    default:
        return nullptr;
    }
}

void XQueryTemplate::ClearWare(int kind)
{
    switch (kind) {
    case kQueryFields:
        return FreeList(&m_fieldList);
    case kQueryWheres:
        FreeTree(); // its leaves point at the conditions
        return FreeList(&m_whereList);
    case kQueryGroups:
        return FreeList(&m_groupList);
    case kQueryOrders:
        return FreeList(&m_orderList);
    default:
        return;
    }
}

void XQueryTemplate::ClearDesc(int kind, void *item)
{
    if (!item)
        return;
    switch (kind) {
    case kQueryFields:
        return FreeTexts(static_cast<XQueryField *>(item));
    case kQueryWheres:
        return FreeTexts(static_cast<XQueryWhere *>(item));
    case kQueryGroups:
        return FreeTexts(static_cast<XQueryGroup *>(item));
    case kQueryOrders:
        return FreeTexts(static_cast<XQueryOrder *>(item));
    default:
        return;
    }
}

void *XQueryTemplate::AddDesc(int kind, const void *record)
{
    if (!record)
        return nullptr;
    switch (kind) {
    case kQueryFields:
        return AddField(&m_fieldList, static_cast<const XFieldRecord_t *>(record));
    case kQueryWheres:
        return AddWhere(&m_whereList, static_cast<const XWhereRecord_t *>(record));
    case kQueryGroups:
        return AddGroup(&m_groupList, static_cast<const XGroupRecord_t *>(record));
    case kQueryOrders:
        return AddOrder(&m_orderList, static_cast<const XOrderRecord_t *>(record));
    default:
        return nullptr;
    }
}

void *XQueryTemplate::GetNextDesc(int kind, const void *current, void *record) const
{
    if (!record)
        return nullptr;
    switch (kind) {
    case kQueryFields:
        return NextFilled<XQueryField, XFieldRecord_t>(m_fieldList, current, record);
    case kQueryWheres:
        return NextFilled<XQueryWhere, XWhereRecord_t>(m_whereList, current, record);
    case kQueryGroups:
        return NextFilled<XQueryGroup, XGroupRecord_t>(m_groupList, current, record);
    case kQueryOrders:
        return NextFilled<XQueryOrder, XOrderRecord_t>(m_orderList, current, record);
    default:
        return nullptr;
    }
}

// ---- Field editing with descriptors --------------------------------------------------

int XQueryTemplate::InsertSuber(uint32_t index, const XItemDataDesc *desc)
{
    if (!desc)
        return 0;
    XQueryField *f = NewItem<XQueryField>();
    TakeDesc(f, desc, true);
    XQueryField **slot = &m_fieldList;
    for (; *slot && index; --index)
        slot = &(*slot)->next;
    f->next = *slot;
    *slot = f;
    return 1;
}

int XQueryTemplate::DeleteSuber(uint32_t index)
{
    XQueryField **slot = &m_fieldList;
    for (; *slot && index; --index)
        slot = &(*slot)->next;
    XQueryField *f = *slot;
    if (!f)
        return 0;
    *slot = f->next;
    FreeItem(f);
    return 1;
}

int XQueryTemplate::SwitchSuber(uint32_t i, uint32_t j)
{
    XQueryField *a = FieldAt(m_fieldList, i);
    XQueryField *b = FieldAt(m_fieldList, j);
    if (!a || !b)
        return 0;
    XQueryField keep = *a;
    *a = *b;
    *b = keep;
    std::swap(a->next, b->next);
    return 1;
}

int XQueryTemplate::ModifySuber(uint32_t index, const XItemDataDesc *desc)
{
    XQueryField *f = FieldAt(m_fieldList, index);
    if (!f || !desc)
        return 0;
    TakeDesc(f, desc, false);
    return 1;
}

int XQueryTemplate::UpdateFieldDesc(const XItemDataDesc *desc)
{
    XQueryField **slot = &m_fieldList;
    for (; desc; desc = desc->next, slot = &(*slot)->next) {
        if (!*slot)
            *slot = NewItem<XQueryField>();
        XQueryField *f = *slot;
        char16_t *body = f->body, *name = f->name;
        f->body = f->name = nullptr;
        TakeDesc(f, desc, true);
        if (body) { // an existing body and name are kept
            MemFree(f->body);
            f->body = body;
        }
        if (name) {
            MemFree(f->name);
            f->name = name;
        }
    }
    FreeList(slot);
    return 1;
}

void XQueryTemplate::Displace(XQueryTemplate *other)
{
    if (!other || other == this)
        return;
    for (int kind = kQueryFields; kind <= kQueryOrders; ++kind)
        ClearWare(kind);
    other->FreeTree();
    MemFree(m_fromClause);
    m_fromClause = other->m_fromClause;
    other->m_fromClause = nullptr;
    std::memcpy(m_dataMuster, other->m_dataMuster, sizeof(m_dataMuster));
    m_fieldList = other->m_fieldList;
    m_whereList = other->m_whereList;
    m_groupList = other->m_groupList;
    m_orderList = other->m_orderList;
    other->m_fieldList = nullptr;
    other->m_whereList = nullptr;
    other->m_groupList = nullptr;
    other->m_orderList = nullptr;
}

int XQueryTemplate::CheckError(char16_t *buffer) const
{
    const char16_t *message = nullptr;
    for (const XQueryField *f = m_fieldList; f && !message; f = f->next)
        if (!f->body)
            message = u"查询模板检索字段有误！";
    for (const XQueryWhere *w = m_whereList; w && !message; w = w->next)
        if (!w->pare || !w->kape)
            message = u"查询模板条件子式有误！";
    for (const XQueryGroup *g = m_groupList; g && !message; g = g->next)
        if (!g->body)
            message = u"查询模板分组字段有误！";
    for (const XQueryOrder *o = m_orderList; o && !message; o = o->next)
        if (!o->body)
            message = u"查询模板排序字段有误！";
    if (!message)
        return 1;
    if (buffer)
        Strcpy(buffer, message);
    return 0;
}
