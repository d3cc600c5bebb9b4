// Query templates from untrusted archive bytes. The first byte picks the layout (newer
// or older); the rest is a tagged archive starting with the template's section. What
// loads is written back and loaded again, and must come back item by item as it was
// written (the target aborts otherwise); then it is resolved and rendered, so that a
// template the loader accepts is one every other function can use.
#include <cstddef>
#include <cstdint>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/xmemo_helper.h"
#include "corekit/text/xstring.h"
#include "datakit/query_template.h"
#include "platform/dockit/xmf_archive.h"
#include "query_template_same.h"

namespace {

// Keeps texts starting with "k", reports "?" texts missing, replaces the others.
int32_t Binder(void *, const char16_t *expression, XString *work)
{
    if (expression[0] == u'k')
        return 0;
    if (expression[0] == u'?')
        return kQueryNotAvailable;
    work->Append(expression);
    work->Append(u"'");
    return 1;
}

void Exercise(XQueryTemplate *t)
{
    XMemoArchive computed;
    XMF_Archive writer(&computed);
    t->SetBinder(nullptr, Binder);
    t->ComputeTemplate(&writer);
    XMemoHelper memo;
    if (t->ReplaceTemplate(&memo) != 0)
        return;
    t->ComputeWhereTree();
    XString text;
    MakeWhereClause(static_cast<XWhereTree *>(t->GetDescWare(kQueryTree)), &text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    XByteArchive in;
    in.SetBuffer(const_cast<uint8_t *>(data + 1), static_cast<uint32_t>(size - 1));
    XMF_Archive reader(&in);
    XQueryTemplate t;
    int ok = data[0] & 1 ? t.ReadTemplate(0x55, &reader) : t.LoadTemplate(0x55, &reader);
    if (!ok)
        return 0;
    XMemoArchive saved;
    XMF_Archive writer(&saved);
    if (!t.SaveTemplate(0x55, &writer))
        __builtin_trap();
    saved.InitReader();
    XMF_Archive again(&saved);
    XQueryTemplate copy;
    if (!copy.LoadTemplate(0x55, &again) || !query_template_same::SameTemplate(t, copy, true))
        __builtin_trap();
    Exercise(&copy);
    return 0;
}
