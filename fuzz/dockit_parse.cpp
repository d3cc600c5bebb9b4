// XML documents from untrusted bytes: parse, walk every node and attribute, save.
#include <cstddef>
#include <cstdint>

#include "platform/dockit/xml_archive.h"

namespace {

void Walk(XML_Node *node, int depth)
{
    if (!node || depth > 64)
        return;
    node->GetNodeName();
    node->GetNodeText();
    char16_t buf[32];
    for (void *a = node->GetNextAttribute(nullptr); a; a = node->GetNextAttribute(a)) {
        const char *name = node->GetAttribute(a, 1);
        node->GetAttribute(a, 0);
        node->GetAttribute(name, buf, 32);
    }
    node->GetAttribute(u"Name", buf, 32);
    for (XML_Node *child = node->GetNextItem(nullptr); child; child = node->GetNextItem(child))
        Walk(child, depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    XML_Archive doc;
    doc.SetEscape("StyleBase");
    if (!doc.ParseBuffer(data, static_cast<uint32_t>(size), 1))
        return 0;
    Walk(doc.GetRootItem(), 0);
    doc.SelectNode("/Configure/Settings/Server");
    if (XML_Node *root = doc.GetRootItem())
        root->SetAttribute("Time", "2024-01-01");
    doc.SaveBuffer();
    return 0;
}
