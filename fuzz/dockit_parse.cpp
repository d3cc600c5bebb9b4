// XML documents from untrusted bytes: parse, walk every node and attribute, save. What is
// saved, and what our DOM writer writes of the same tree, must parse back to that tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xml_archive.h"

namespace {

constexpr int kMaxDepth = 64;

// What a caller can see of an element.
struct Element
{
    std::string name;
    std::string text;
    bool raw = false;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Element> children;
    bool operator==(const Element &other) const = default;
};

Element Walk(XML_Node *node, int depth)
{
    Element element;
    element.name = node->GetNodeName();
    element.text = node->GetNodeText();
    element.raw = node->IsRawText() != 0;
    char16_t buf[32];
    for (void *a = node->GetNextAttribute(nullptr); a; a = node->GetNextAttribute(a)) {
        const char *name = node->GetAttribute(a, 1);
        const char *value = node->GetAttribute(a, 0);
        element.attributes.emplace_back(name ? name : "", value ? value : "");
        node->GetAttribute(name, buf, 32);
    }
    node->GetAttribute(u"Name", buf, 32);
    if (depth < kMaxDepth) {
        for (XML_Node *child = node->GetNextItem(nullptr); child; child = node->GetNextItem(child))
            element.children.push_back(Walk(child, depth + 1));
    }
    return element;
}

bool Parse(const std::string &bytes, Element *root)
{
    XML_Archive doc;
    doc.SetEscape("StyleBase");
    if (!doc.ParseBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()), 1) ||
        doc.GetRootItem() == nullptr)
        return false;
    *root = Walk(doc.GetRootItem(), 0);
    return true;
}

// Trees our writer can carry: no raw elements, no namespace prefixes (the walk does not
// see namespace declarations), text only in elements without children, not too deep.
bool Writable(const Element &element, int depth)
{
    if (depth >= kMaxDepth || element.raw || element.name.find(':') != std::string::npos)
        return false;
    if (!element.children.empty() && element.text.find_first_not_of(" \t\r\n") != std::string::npos)
        return false;
    for (const auto &attribute : element.attributes)
        if (attribute.first.find(':') != std::string::npos || attribute.first == "xmlns")
            return false;
    for (const Element &child : element.children)
        if (!Writable(child, depth + 1))
            return false;
    return true;
}

void Write(XDomWriter &writer, const Element &element)
{
    writer.BeginMarker(element.name.c_str());
    for (const auto &attribute : element.attributes)
        writer.WriteString(attribute.first.c_str(), attribute.second.c_str());
    if (element.children.empty() && element.text.empty()) {
        writer.EndOfMarker(1);
        return;
    }
    writer.EndOfMarker(0);
    if (element.children.empty())
        writer.WriteEscape(element.text.c_str());
    for (const Element &child : element.children)
        Write(writer, child);
    writer.CloseMarker(element.name.c_str());
}

// Texts of elements with children are left out of the comparison: our writer does not
// write the layout between child elements.
void DropMixedText(Element &element)
{
    if (!element.children.empty())
        element.text.clear();
    for (Element &child : element.children)
        DropMixedText(child);
}

void Check(bool ok)
{
    if (!ok)
        std::abort();
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
    doc.SelectNode("/Configure/Settings/Server");
    XML_Node *root = doc.GetRootItem();
    if (root == nullptr)
        return 0;
    root->SetAttribute("Time", "2024-01-01");
    const Element tree = Walk(root, 0);

    Element saved;
    Check(Parse(doc.SaveBuffer(), &saved));
    Check(saved == tree);

    if (Writable(tree, 0)) {
        XDomWriter writer;
        Write(writer, tree);
        Element rewritten;
        Check(Parse(std::string(writer.GetString(), writer.GetLength()), &rewritten));
        Element expected = tree;
        DropMixedText(expected);
        DropMixedText(rewritten);
        Check(rewritten == expected);
    }
    return 0;
}
