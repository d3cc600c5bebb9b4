// Resolving a template through its binder: in place (ReplaceTemplate), or written as a
// resolved query into an archive without changing the lists (ComputeTemplate).
#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"
#include "corekit/text/xstring.h"
#include "datakit/query_lists.h"
#include "datakit/query_template.h"
#include "platform/dockit/xmf_archive.h"

using namespace query_lists;

namespace {

// Units the binder's output buffer holds before each call.
constexpr uint32_t kWorkTextUnits = 3200;

constexpr uint16_t kComputeSection = 14337;
constexpr uint16_t kFieldSection = 257;
constexpr uint16_t kWhereSection = 258;
constexpr uint16_t kGroupSection = 259;
constexpr uint16_t kOrderSection = 260;
constexpr uint16_t kItemSection = 4097;

bool PutText(XMF_Archive *a, uint16_t code, const char16_t *text)
{
    return !text || a->Write_Proper(code, text);
}

// Groups whose first member holds the leaf (entered on the way down to it) and groups
// whose last member holds it (left after it); the root group counts.
uint16_t GroupsEntered(const XWhereTree *leaf)
{
    uint16_t n = 0;
    for (; leaf->parent && leaf->parent->firstChild == leaf; leaf = leaf->parent)
        ++n;
    return n;
}

uint16_t GroupsLeft(const XWhereTree *leaf)
{
    uint16_t n = 0;
    for (; leaf->parent && !leaf->nextSibling; leaf = leaf->parent)
        ++n;
    return n;
}

bool PutLeaves(XMF_Archive *a, const XWhereTree *node)
{
    if (node->firstChild) {
        for (const XWhereTree *c = node->firstChild; c; c = c->nextSibling)
            if (!PutLeaves(a, c))
                return false;
        return true;
    }
    const XQueryWhere *item = node->item;
    return item && a->StartMarker(kItemSection) && PutText(a, 1, node->leftText) &&
           PutText(a, 2, node->rightText) && a->Write_Integer(4, GroupsEntered(node), 2) &&
           a->Write_Integer(5, GroupsLeft(node), 2) && a->Write_Integer(6, item->pare, 2) &&
           a->Write_Integer(7, node->parent ? node->parent->code : 0, 2) &&
           a->Write_Integer(8, item->mode, 2) && a->CloseMarker(kItemSection);
}

} // namespace

int32_t XQueryTemplate::Bind(const char16_t *expression)
{
    m_workText->SetEmpty();
    m_workText->Allocate(kWorkTextUnits);
    return m_binder(m_binderData, expression, m_workText);
}

int32_t XQueryTemplate::CheckResolve() const
{
    if (!m_binder)
        return kQueryFailed;
    if (!m_fieldList)
        return kQueryNoField;
    if (!m_dataMuster[0] && !m_dataMuster[1])
        return kQueryNoMuster;
    return 0;
}

int32_t XQueryTemplate::ReplaceText(char16_t **text)
{
    int32_t hr = Bind(*text);
    if (hr < 0)
        return hr;
    if (hr > 0)
        SetText(text, m_workText->GetString() ? m_workText->GetString() : u"");
    return 0;
}

int32_t XQueryTemplate::ReplaceTemplate(XMemoHelper *memo)
{
    if (int32_t hr = CheckResolve())
        return hr;
    for (XQueryField *f = m_fieldList; f; f = f->next) {
        if (!f->body)
            return kQueryFieldBody;
        if (int32_t hr = ReplaceText(&f->body))
            return hr;
    }
    if (m_whereList) {
        if (!memo)
            return kQueryFailed;
        if (int32_t hr = MakeWhereTree(memo))
            return hr;
    }
    for (XQueryGroup *g = m_groupList; g; g = g->next) {
        if (!g->body)
            return kQueryGroupBody;
        if (int32_t hr = ReplaceText(&g->body))
            return hr;
    }
    for (XQueryOrder *o = m_orderList; o; o = o->next) {
        if (!o->body)
            return kQueryOrderBody;
        if (int32_t hr = ReplaceText(&o->body))
            return hr;
    }
    return m_fromClause ? ReplaceText(&m_fromClause) : 0;
}

// The text to write for an expression: the binder's text when it replaced it or reported
// it missing, the expression when it kept it; null with *result set on another error.
const char16_t *XQueryTemplate::ComputeText(const char16_t *text, int32_t *result)
{
    int32_t hr = Bind(text);
    *result = 0;
    if (hr < 0 && hr != kQueryNotAvailable) {
        *result = hr;
        return nullptr;
    }
    if (hr == 0)
        return text;
    return m_workText->GetString() ? m_workText->GetString() : u"";
}

int32_t XQueryTemplate::ComputeTemplate(XMF_Archive *archive)
{
    if (int32_t hr = CheckResolve())
        return hr;
    if (!archive)
        return kQueryFailed;
    for (const XQueryField *f = m_fieldList; f; f = f->next)
        if (!f->body)
            return kQueryFieldBody;
    for (const XQueryGroup *g = m_groupList; g; g = g->next)
        if (!g->body)
            return kQueryGroupBody;
    for (const XQueryOrder *o = m_orderList; o; o = o->next)
        if (!o->body)
            return kQueryOrderBody;
    bool ok = archive->StartMarker(kComputeSection);
    for (int i = 0; i < 2 && ok; ++i)
        ok = archive->Write_Integer(static_cast<uint16_t>(1 + i), m_dataMuster[i], 4);
    for (int i = 0; i < 3 && ok; ++i)
        ok = archive->Write_Integer(static_cast<uint16_t>(3 + i), m_words[i], 4);
    if (!ok)
        return kQueryFailed;
    if (m_fromClause) {
        int32_t hr = 0;
        const char16_t *from = ComputeText(m_fromClause, &hr);
        if (!from)
            return hr;
        if (!archive->Write_Proper(16, from))
            return kQueryFailed;
    }
    if (int32_t hr = MakeFieldDesc(archive))
        return hr;
    int32_t where = MakeWhereDesc(archive);
    if (where < 0)
        return where;
    if (int32_t hr = MakeGroupDesc(archive))
        return hr;
    if (int32_t hr = MakeOrderDesc(archive))
        return hr;
    return archive->CloseMarker(kComputeSection) ? where : kQueryFailed;
}

int32_t XQueryTemplate::MakeFieldDesc(XMF_Archive *archive)
{
    if (!archive->StartMarker(kFieldSection))
        return kQueryFailed;
    for (const XQueryField *f = m_fieldList; f; f = f->next) {
        int32_t hr = 0;
        const char16_t *body = ComputeText(f->body, &hr);
        if (!body)
            return hr;
        if (!archive->StartMarker(kItemSection) || !archive->Write_Proper(1, body) ||
            !archive->Write_Integer(3, f->type, 2) || !archive->Write_Integer(4, f->size, 2) ||
            !archive->Write_Integer(5, f->mode, 2) || !archive->CloseMarker(kItemSection))
            return kQueryFailed;
    }
    return archive->CloseMarker(kFieldSection) ? 0 : kQueryFailed;
}

int32_t XQueryTemplate::MakeWhereDesc(XMF_Archive *archive)
{
    if (!m_whereList)
        return 0;
    XMemoHelper memo;
    if (int32_t hr = MakeWhereTree(&memo))
        return hr;
    int32_t result = ComputeWhereTree();
    if (result == 0 && m_whereTree) {
        bool ok = archive->StartMarker(kWhereSection) && PutLeaves(archive, m_whereTree) &&
                  archive->CloseMarker(kWhereSection);
        result = ok ? 0 : kQueryFailed;
    }
    FreeTree(); // its texts live in this call's arena
    return result;
}

int32_t XQueryTemplate::MakeGroupDesc(XMF_Archive *archive)
{
    if (!m_groupList)
        return 0;
    if (!archive->StartMarker(kGroupSection))
        return kQueryFailed;
    for (const XQueryGroup *g = m_groupList; g; g = g->next) {
        int32_t hr = 0;
        const char16_t *body = ComputeText(g->body, &hr);
        if (!body)
            return hr;
        if (!archive->StartMarker(kItemSection) || !archive->Write_Proper(1, body) ||
            !archive->CloseMarker(kItemSection))
            return kQueryFailed;
    }
    return archive->CloseMarker(kGroupSection) ? 0 : kQueryFailed;
}

int32_t XQueryTemplate::MakeOrderDesc(XMF_Archive *archive)
{
    if (!m_orderList)
        return 0;
    if (!archive->StartMarker(kOrderSection))
        return kQueryFailed;
    for (const XQueryOrder *o = m_orderList; o; o = o->next) {
        int32_t hr = 0;
        const char16_t *body = ComputeText(o->body, &hr);
        if (!body)
            return hr;
        if (!archive->StartMarker(kItemSection) || !archive->Write_Proper(1, body) ||
            !archive->Write_Integer(3, o->mode, 4) || !archive->CloseMarker(kItemSection))
            return kQueryFailed;
    }
    return archive->CloseMarker(kOrderSection) ? 0 : kQueryFailed;
}
