#pragma once
// Comparison for the query template fuzz targets: whether a template read back after a
// write holds what was written, item by item.

#include "corekit/text/strings.h"
#include "datakit/query_template.h"

namespace query_template_same {

// Two owned texts: both absent, or equal.
inline bool SameText(const char16_t *a, const char16_t *b)
{
    return (!a && !b) || (a && b && Strcmp(a, b) == 0);
}

inline bool SameItem(const XQueryField *a, const XQueryField *b)
{
    return SameText(a->body, b->body) && SameText(a->name, b->name) && a->type == b->type &&
           a->size == b->size && a->mode == b->mode && a->kape == b->kape &&
           SameText(a->desc, b->desc);
}

inline bool SameItem(const XQueryWhere *a, const XQueryWhere *b)
{
    return SameText(a->body, b->body) && SameText(a->kape, b->kape) && SameText(a->name, b->name) &&
           a->pare == b->pare && a->join == b->join && a->mode == b->mode && a->type == b->type &&
           a->lbox == b->lbox && a->rbox == b->rbox && SameText(a->desc, b->desc);
}

inline bool SameItem(const XQueryGroup *a, const XQueryGroup *b)
{
    return SameText(a->body, b->body) && SameText(a->name, b->name);
}

inline bool SameItem(const XQueryOrder *a, const XQueryOrder *b)
{
    return SameText(a->body, b->body) && SameText(a->name, b->name) && a->mode == b->mode;
}

template <class T> bool SameList(const XQueryTemplate &a, const XQueryTemplate &b, int kind)
{
    auto *x = static_cast<const T *>(a.GetDescWare(kind));
    auto *y = static_cast<const T *>(b.GetDescWare(kind));
    for (; x && y; x = x->next, y = y->next)
        if (!SameItem(x, y))
            return false;
    return !x && !y;
}

// The FROM text and the four lists; with `words`, the data-source numbers and the three
// further words too (the archive forms carry them, the XML form does not).
inline bool SameTemplate(const XQueryTemplate &a, const XQueryTemplate &b, bool words)
{
    if (words) {
        for (int i = 0; i < 2; ++i)
            if (a.GetDataMuster(i) != b.GetDataMuster(i))
                return false;
        for (int i = 0; i < 3; ++i)
            if (a.GetExtraWord(i) != b.GetExtraWord(i))
                return false;
    }
    return SameText(a.GetFromClause(), b.GetFromClause()) &&
           SameList<XQueryField>(a, b, kQueryFields) && SameList<XQueryWhere>(a, b, kQueryWheres) &&
           SameList<XQueryGroup>(a, b, kQueryGroups) && SameList<XQueryOrder>(a, b, kQueryOrders);
}

} // namespace query_template_same
