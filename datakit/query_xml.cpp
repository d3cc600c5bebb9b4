// XML form of query templates:
//   <QueryTemplate><Table>FROM text</Table>
//     <Field><item Body Name Type Size Mode Kape Desc/>...</Field>
//     <Where><item Body Kape Name LBox RBox Pare Join Mode Type Desc/>...</Where>
//     <Group><item Body Name/>...</Group> <Order><item Body Name Mode/>...</Order>
//   </QueryTemplate>
// Attribute names are read ignoring ASCII case, numbers as decimal text, list items
// under any element name. Absent texts and empty lists are not written.
#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/numbers/numbers.h"
#include "corekit/text/strings.h"
#include "datakit/query_lists.h"
#include "datakit/query_template.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xml_node.h"

using namespace query_lists;

namespace {

// ---- Reading --------------------------------------------------------------------------

void GetText(XML_Node *node, const char *name, char16_t **slot)
{
    if (const char *s = node->GetAttribute(name)) {
        char16_t *text = StrMalloc(s, 1);
        MemFree(*slot);
        *slot = text;
    }
}

template <class T> void GetNumber(XML_Node *node, const char *name, T *slot)
{
    if (const char *s = node->GetAttribute(name))
        *slot = static_cast<T>(ToInt64(s));
}

bool ReadItem(XML_Node *n, XQueryField *f)
{
    GetText(n, "Body", &f->body);
    GetText(n, "Name", &f->name);
    GetNumber(n, "Type", &f->type);
    GetNumber(n, "Size", &f->size);
    GetNumber(n, "Mode", &f->mode);
    GetNumber(n, "Kape", &f->kape);
    GetText(n, "Desc", &f->desc);
    return true;
}

bool ReadItem(XML_Node *n, XQueryWhere *w)
{
    GetText(n, "Body", &w->body);
    GetText(n, "Kape", &w->kape);
    GetText(n, "Name", &w->name);
    int64_t lbox = 0, rbox = 0;
    GetNumber(n, "LBox", &lbox);
    GetNumber(n, "RBox", &rbox);
    if (lbox < 0 || lbox > kMaxBrackets || rbox < 0 || rbox > kMaxBrackets)
        return false;
    w->lbox = static_cast<uint16_t>(lbox);
    w->rbox = static_cast<uint16_t>(rbox);
    GetNumber(n, "Pare", &w->pare);
    GetNumber(n, "Join", &w->join);
    GetNumber(n, "Mode", &w->mode);
    GetNumber(n, "Type", &w->type);
    GetText(n, "Desc", &w->desc);
    return true;
}

bool ReadItem(XML_Node *n, XQueryGroup *g)
{
    GetText(n, "Body", &g->body);
    GetText(n, "Name", &g->name);
    return true;
}

bool ReadItem(XML_Node *n, XQueryOrder *o)
{
    GetText(n, "Body", &o->body);
    GetText(n, "Name", &o->name);
    GetNumber(n, "Mode", &o->mode);
    return true;
}

template <class T> bool ReadList(XML_Node *list, T **head)
{
    ListTail<T> tail(head);
    for (XML_Node *n = list->GetNextItem(nullptr); n; n = list->GetNextItem(n)) {
        T *item = NewItem<T>();
        if (!ReadItem(n, item)) {
            FreeItem(item);
            return false;
        }
        tail.Append(item);
    }
    return true;
}

// ---- Writing --------------------------------------------------------------------------

bool PutText(XDomWriter *w, const char16_t *name, const char16_t *text)
{
    return !text || w->WriteString(name, text);
}

bool PutNumber(XDomWriter *w, const char16_t *name, int64_t value)
{
    return w->WriteNumber(name, value) != 0;
}

bool WriteAttributes(XDomWriter *w, const XQueryField *f)
{
    return PutText(w, u"Body", f->body) && PutText(w, u"Name", f->name) &&
           PutNumber(w, u"Type", f->type) && PutNumber(w, u"Size", f->size) &&
           PutNumber(w, u"Mode", f->mode) && PutNumber(w, u"Kape", f->kape) &&
           PutText(w, u"Desc", f->desc);
}

bool WriteAttributes(XDomWriter *w, const XQueryWhere *c)
{
    return PutText(w, u"Body", c->body) && PutText(w, u"Kape", c->kape) &&
           PutText(w, u"Name", c->name) && PutNumber(w, u"LBox", c->lbox) &&
           PutNumber(w, u"RBox", c->rbox) && PutNumber(w, u"Pare", c->pare) &&
           PutNumber(w, u"Join", c->join) && PutNumber(w, u"Mode", c->mode) &&
           (!c->type || PutNumber(w, u"Type", c->type)) && PutText(w, u"Desc", c->desc);
}

bool WriteAttributes(XDomWriter *w, const XQueryGroup *g)
{
    return PutText(w, u"Body", g->body) && PutText(w, u"Name", g->name);
}

bool WriteAttributes(XDomWriter *w, const XQueryOrder *o)
{
    return PutText(w, u"Body", o->body) && PutText(w, u"Name", o->name) &&
           PutNumber(w, u"Mode", o->mode);
}

template <class T> bool WriteList(XDomWriter *w, const char *element, const T *list)
{
    if (!list)
        return true;
    if (!w->StartMarker(element))
        return false;
    for (const T *item = list; item; item = item->next)
        if (!w->BeginMarker("item") || !WriteAttributes(w, item) || !w->EndOfMarker(1))
            return false;
    return w->CloseMarker(element) != 0;
}

// The list an element of the template names (ASCII case ignored), -1 for none.
int ListKind(const char *name)
{
    static constexpr const char *kLists[] = {"Field", "Where", "Group", "Order"};
    for (int kind = 0; kind < 4; ++kind)
        if (Stricmp(name, kLists[kind]) == 0)
            return kind;
    return -1;
}

} // namespace

int XQueryTemplate::FromXmlDoc(XML_Node *node)
{
    for (int kind = kQueryFields; kind <= kQueryOrders; ++kind)
        ClearWare(kind);
    SetFromClause(nullptr);
    if (!node)
        return 0;
    for (XML_Node *child = node->GetNextItem(nullptr); child; child = node->GetNextItem(child)) {
        const char *name = child->GetNodeName();
        if (Stricmp(name, "Table") == 0) {
            char16_t *text = StrMalloc(child->GetNodeText(), 1);
            MemFree(m_fromClause);
            m_fromClause = text;
            continue;
        }
        bool ok = true;
        switch (ListKind(name)) {
        case kQueryFields:
            ok = ReadList(child, &m_fieldList);
            break;
        case kQueryWheres:
            ok = ReadList(child, &m_whereList);
            break;
        case kQueryGroups:
            ok = ReadList(child, &m_groupList);
            break;
        case kQueryOrders:
            ok = ReadList(child, &m_orderList);
            break;
        default:
            break;
        }
        if (!ok)
            return 0;
    }
    return 1;
}

int XQueryTemplate::WriteXmlDoc(XDomWriter *writer) const
{
    if (!writer || !writer->StartMarker("QueryTemplate"))
        return 0;
    if (m_fromClause && (!writer->StartMarker("Table") || !writer->WriteString(m_fromClause) ||
                         !writer->CloseMarker("Table")))
        return 0;
    bool ok = WriteList(writer, "Field", m_fieldList) && WriteList(writer, "Where", m_whereList) &&
              WriteList(writer, "Group", m_groupList) && WriteList(writer, "Order", m_orderList);
    return ok && writer->CloseMarker("QueryTemplate") ? 1 : 0;
}
