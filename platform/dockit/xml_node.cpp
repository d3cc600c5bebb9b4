#include "platform/dockit/xml_node.h"

#include <libxml/tree.h>

#include "platform/devkit/native_path.h"
#include "platform/dockit/xml_archive.h"
#include "platform/dockit/xml_text.h"

namespace {

const char *Text(const xmlChar *s)
{
    return reinterpret_cast<const char *>(s);
}

xmlAttr *FindAttribute(xmlNode *node, const char *name)
{
    if (!node || !name)
        return nullptr;
    for (xmlAttr *a = node->properties; a; a = a->next)
        if (xmlStrcasecmp(a->name, reinterpret_cast<const xmlChar *>(name)) == 0)
            return a;
    return nullptr;
}

xmlNode *NextElement(xmlNode *node)
{
    while (node && node->type != XML_ELEMENT_NODE)
        node = node->next;
    return node;
}

} // namespace

XML_Node::XML_Node(XML_Archive *owner, _xmlNode *node) : m_owner(owner), m_node(node) {}

XML_Node::~XML_Node() = default;

XML_Node *XML_Node::Wrap(XML_Archive *owner, _xmlNode *node)
{
    if (!node)
        return nullptr;
    if (!node->_private)
        node->_private = new XML_Node(owner, node);
    return static_cast<XML_Node *>(node->_private);
}

const char *XML_Node::GetNodeName()
{
    return Text(m_node->name);
}

// The content of a lone text child serves as is; anything else is put together once.
const char *XML_Node::GetNodeText()
{
    xmlNode *first = m_node->children;
    if (!m_isRaw && first && !first->next && first->type == XML_TEXT_NODE && first->content)
        return Text(first->content);
    if (!m_hasText) {
        if (m_isRaw)
            m_text = m_owner->ToUtf8(m_raw);
        else
            dockit::GatherText(first, m_text);
        m_hasText = true;
    }
    return m_text.c_str();
}

int XML_Node::GetAttribute(const char16_t *name, char16_t *buf, uint32_t cap)
{
    std::string narrow = devkit::Utf16ToUtf8(name);
    return GetAttribute(name ? narrow.c_str() : nullptr, buf, cap);
}

int XML_Node::GetAttribute(const char *name, char16_t *buf, uint32_t cap)
{
    const char *value = GetAttribute(name);
    std::u16string wide;
    if (value)
        wide = devkit::Utf8ToUtf16(value, std::char_traits<char>::length(value));
    devkit::CopyToBuffer(wide, buf, cap);
    return value != nullptr;
}

const char *XML_Node::GetAttribute(void *attribute, int which)
{
    auto *a = static_cast<xmlAttr *>(attribute);
    if (!a || a->parent != m_node)
        return nullptr;
    if (which)
        return Text(a->name);
    xmlNode *first = a->children;
    if (!first)
        return "";
    if (!first->next && first->type == XML_TEXT_NODE && first->content)
        return Text(first->content);
    auto found = m_values.find(a);
    if (found == m_values.end()) {
        found = m_values.emplace(a, std::string()).first;
        dockit::GatherText(first, found->second);
    }
    return found->second.c_str();
}

const char *XML_Node::GetAttribute(const char *name)
{
    xmlAttr *a = FindAttribute(m_node, name);
    return a ? GetAttribute(a, 0) : nullptr;
}

void *XML_Node::GetNextAttribute(void *attribute)
{
    auto *a = static_cast<xmlAttr *>(attribute);
    if (!a)
        return m_node->properties;
    return a->parent == m_node ? a->next : nullptr;
}

int XML_Node::SetAttribute(const char *name, const char *value)
{
    if (!name || xmlValidateName(reinterpret_cast<const xmlChar *>(name), 0) != 0)
        return 0;
    xmlAttr *a = FindAttribute(m_node, name);
    m_values.erase(a);
    if (!value) {
        if (a)
            xmlRemoveProp(a);
        return 1;
    }
    const xmlChar *spelling = a ? a->name : reinterpret_cast<const xmlChar *>(name);
    std::string clean = dockit::CleanXmlText(value);
    return xmlSetProp(m_node, spelling, reinterpret_cast<const xmlChar *>(clean.c_str())) !=
           nullptr;
}

int XML_Node::SetAttribute(const char16_t *name, const char16_t *value)
{
    if (!name)
        return 0;
    std::string narrowName = devkit::Utf16ToUtf8(name);
    std::string narrowValue = devkit::Utf16ToUtf8(value);
    return SetAttribute(narrowName.c_str(), value ? narrowValue.c_str() : nullptr);
}

XML_Node *XML_Node::GetChildItem(const char *name)
{
    if (!name)
        return nullptr;
    for (xmlNode *c = NextElement(m_node->children); c; c = NextElement(c->next))
        if (xmlStrEqual(c->name, reinterpret_cast<const xmlChar *>(name)))
            return Wrap(m_owner, c);
    return nullptr;
}

XML_Node *XML_Node::GetNextItem(XML_Node *child)
{
    if (!child)
        return Wrap(m_owner, NextElement(m_node->children));
    if (child->m_node->parent != m_node)
        return nullptr;
    return Wrap(m_owner, NextElement(child->m_node->next));
}
