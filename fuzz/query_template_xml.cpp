// Query templates from untrusted XML: the root element is read with FromXmlDoc, written
// back with WriteXmlDoc and read again, which must give the same FROM text and lists
// (the target aborts otherwise); then its conditions are resolved and rendered.
#include <cstddef>
#include <cstdint>

#include "corekit/memory/xmemo_helper.h"
#include "corekit/text/xstring.h"
#include "datakit/query_template.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xml_archive.h"
#include "platform/dockit/xml_node.h"
#include "query_template_same.h"

namespace {

int32_t Binder(void *, const char16_t *expression, XString *work)
{
    if (expression[0] == u'?')
        return kQueryNotAvailable;
    work->Append(expression);
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    XML_Archive doc;
    if (!doc.ParseBuffer(data, static_cast<uint32_t>(size), XML_Archive::kReadOnly))
        return 0;
    XML_Node *root = doc.GetRootItem();
    if (!root)
        return 0;
    XQueryTemplate t;
    if (!t.FromXmlDoc(root))
        return 0;
    XDomWriter writer;
    if (!t.WriteXmlDoc(&writer))
        __builtin_trap();
    XML_Archive again;
    XQueryTemplate back;
    if (!again.ParseBuffer(writer.GetString(), writer.GetLength(), XML_Archive::kReadOnly) ||
        !back.FromXmlDoc(again.GetRootItem()) || !query_template_same::SameTemplate(t, back, false))
        __builtin_trap();
    t.SetDataMuster(1, 0);
    t.SetBinder(nullptr, Binder);
    XMemoHelper memo;
    if (t.ReplaceTemplate(&memo) == 0) {
        t.ComputeWhereTree();
        XString text;
        MakeWhereClause(static_cast<XWhereTree *>(t.GetDescWare(kQueryTree)), &text);
    }
    return 0;
}
