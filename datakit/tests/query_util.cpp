#include "query_util.h"

#include <cctype>
#include <cstring>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"
#include "corekit/text/xstring.h"

std::string ToUtf8(const char16_t *s)
{
    if (!s)
        return "<null>";
    char *utf8 = StrMalloc(s, 1);
    std::string out = utf8 ? utf8 : "";
    MemFree(utf8);
    return out;
}

std::u16string ToUtf16(const std::string &s)
{
    char16_t *wide = StrMalloc(s.c_str(), 1);
    std::u16string out = wide ? wide : u"";
    MemFree(wide);
    return out;
}

static void CopyArea(char16_t *area, size_t units, const std::u16string &text)
{
    size_t n = std::min(text.size(), units - 1);
    std::memcpy(area, text.data(), n * sizeof(char16_t));
    area[n] = 0;
}

void AddConditions(XQueryTemplate *t, const std::vector<QueryCond> &conds)
{
    for (const QueryCond &c : conds) {
        XWhereRecord_t r{};
        CopyArea(r.lbox, 16, std::u16string(c.lbox, u'('));
        CopyArea(r.rbox, 16, std::u16string(c.rbox, u')'));
        CopyArea(r.body, 1024, c.body ? c.body : u"");
        CopyArea(r.kape, 1024, c.kape ? c.kape : u"");
        r.pare = c.pare;
        r.join = c.join;
        r.mode = c.mode;
        t->AddDesc(kQueryWheres, &r);
    }
}

void AddFlatConditions(XQueryTemplate *t, const char *flat)
{
    std::vector<QueryCond> conds;
    std::vector<std::u16string> names; // keeps the texts alive until added
    names.reserve(64);
    uint16_t open = 0;
    for (const char *p = flat; *p;) {
        if (*p == ' ') {
            ++p;
        } else if (*p == '(') {
            ++open;
            ++p;
        } else if (*p == ')') {
            ++conds.back().rbox;
            ++p;
        } else if (std::strncmp(p, "AND ", 4) == 0) {
            conds.back().join = kJoinAnd;
            p += 4;
        } else if (std::strncmp(p, "OR ", 3) == 0) {
            conds.back().join = kJoinOr;
            p += 3;
        } else {
            const char *start = p;
            while (std::isalnum(static_cast<unsigned char>(*p)) || *p == '.')
                ++p;
            names.push_back(ToUtf16(std::string(start, p)));
            conds.push_back({open, names.back().c_str(), 2, u"1", 0, 0});
            open = 0;
        }
    }
    AddConditions(t, conds);
}

int32_t TestBinder(void *, const char16_t *expression, XString *workText)
{
    switch (expression[0]) {
    case u'?':
        workText->Append(u"W");
        return kQueryNotAvailable;
    case u'=':
        workText->Append(expression + 1);
        return 1;
    case u'!':
        return kBinderError;
    default:
        return 0;
    }
}

void MakeResolvable(XQueryTemplate *t)
{
    if (!t->GetDescWare(kQueryFields)) {
        XFieldRecord_t f{};
        CopyArea(f.body, 1024, u"*");
        t->AddDesc(kQueryFields, &f);
    }
    if (!t->GetDataMuster(0) && !t->GetDataMuster(1))
        t->SetDataMuster(1, 0);
    t->SetBinder(nullptr, TestBinder);
}

QueryRendered RenderWhere(XQueryTemplate *t)
{
    QueryRendered out;
    // The tree left in the template points into this arena; it stays allocated.
    static XMemoHelper memo;
    memo.ClearBuffer();
    out.replaced = t->ReplaceTemplate(&memo);
    if (out.replaced != 0)
        return out;
    out.computed = t->ComputeWhereTree();
    XString text;
    out.clause = MakeWhereClause(static_cast<XWhereTree *>(t->GetDescWare(kQueryTree)), &text);
    out.text = text.GetString() ? ToUtf8(text.GetString()) : "";
    return out;
}

std::string TreeShape(const XWhereTree *tree)
{
    if (!tree)
        return "-";
    if (!tree->firstChild)
        return tree->item ? ToUtf8(tree->item->body) : "?";
    // Groups of codes above 2 are written as OR, shown with their code: OR3(...).
    std::string s = tree->code == kJoinAnd  ? "AND("
                    : tree->code == kJoinOr ? "OR("
                    : tree->code == 0       ? "G("
                                            : "OR" + std::to_string(tree->code) + "(";
    for (const XWhereTree *c = tree->firstChild; c; c = c->nextSibling)
        s += TreeShape(c) + (c->nextSibling ? "," : ")");
    return s;
}

std::string DumpTemplate(const XQueryTemplate &t, bool withWords)
{
    std::string s = "from=" + ToUtf8(t.GetFromClause()) + "\n";
    if (withWords)
        s += "muster=" + std::to_string(t.GetDataMuster(0)) + "," +
             std::to_string(t.GetDataMuster(1)) + " words=" + std::to_string(t.GetExtraWord(0)) +
             "," + std::to_string(t.GetExtraWord(1)) + "," + std::to_string(t.GetExtraWord(2)) +
             "\n";
    auto *f = static_cast<const XQueryField *>(t.GetDescWare(kQueryFields));
    for (; f; f = f->next)
        s += "field " + ToUtf8(f->body) + "|" + ToUtf8(f->name) + "|" + std::to_string(f->type) +
             "|" + std::to_string(f->size) + "|" + std::to_string(f->mode) + "|" +
             std::to_string(f->kape) + "|" + ToUtf8(f->desc) + "\n";
    auto *w = static_cast<const XQueryWhere *>(t.GetDescWare(kQueryWheres));
    for (; w; w = w->next)
        s += "where " + ToUtf8(w->body) + "|" + ToUtf8(w->kape) + "|" + ToUtf8(w->name) + "|" +
             std::to_string(w->pare) + "|" + std::to_string(w->join) + "|" +
             std::to_string(w->mode) + "|" + std::to_string(w->type) + "|" +
             std::to_string(w->lbox) + "|" + std::to_string(w->rbox) + "|" + ToUtf8(w->desc) + "\n";
    auto *g = static_cast<const XQueryGroup *>(t.GetDescWare(kQueryGroups));
    for (; g; g = g->next)
        s += "group " + ToUtf8(g->body) + "|" + ToUtf8(g->name) + "\n";
    auto *o = static_cast<const XQueryOrder *>(t.GetDescWare(kQueryOrders));
    for (; o; o = o->next)
        s += "order " + ToUtf8(o->body) + "|" + ToUtf8(o->name) + "|" + std::to_string(o->mode) +
             "\n";
    return s;
}
