#pragma once
// One element of an XML_Archive document. Nodes belong to their archive and stay
// valid until it closes the document. Narrow texts are UTF-8; the texts returned stay
// valid until the document is closed (an attribute's value until that attribute is set
// or removed), so several may be held at once.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/dockit/dockit_export.h"

struct _xmlNode;
class XML_Archive;

class DOCKIT_EXPORT XML_Node
{
public:
    XML_Node(const XML_Node &) = delete;
    XML_Node &operator=(const XML_Node &) = delete;

    // The element's name.
    virtual const char *GetNodeName();
    // The element's text: all text inside it, in document order (the raw text for an
    // element declared with SetEscape). Never null.
    virtual const char *GetNodeText();
    // The value of attribute `name` (ASCII case ignored) into buf, cut to cap - 1
    // units and terminated. Non-zero when the attribute exists; otherwise buf is "".
    virtual int GetAttribute(const char16_t *name, char16_t *buf, uint32_t cap);
    virtual int GetAttribute(const char *name, char16_t *buf, uint32_t cap);
    // The name (which non-zero) or the value (which 0) of an attribute handle.
    virtual const char *GetAttribute(void *attribute, int which);
    // The value of attribute `name` (ASCII case ignored); null when absent.
    virtual const char *GetAttribute(const char *name);
    // The attribute after `attribute` (null: the first); null after the last.
    virtual void *GetNextAttribute(void *attribute);
    // Sets attribute `name` (an existing one matched ignoring ASCII case keeps its
    // spelling); a null value removes it. Non-zero on success.
    virtual int SetAttribute(const char *name, const char *value);
    // The same with UTF-16 texts.
    int SetAttribute(const char16_t *name, const char16_t *value);
    // The first child element named `name` (exact); null when there is none.
    virtual XML_Node *GetChildItem(const char *name);
    // The child element after `child` (null: the first); null after the last.
    virtual XML_Node *GetNextItem(XML_Node *child);

    virtual ~XML_Node();

    // Non-zero for an element kept as raw text (SetEscape).
    int IsRawText() const { return m_isRaw; }

private:
    friend class XML_Archive;
    XML_Node(XML_Archive *owner, _xmlNode *node);
    static XML_Node *Wrap(XML_Archive *owner, _xmlNode *node);

    XML_Archive *m_owner;
    _xmlNode *m_node;
    // Handed out by GetNodeText when the text is not one node's content.
    std::string m_text;
    bool m_hasText = false;
    // Attribute values made of several pieces (entity references), by attribute.
    std::unordered_map<const void *, std::string> m_values;
    std::string m_raw; // raw content of an escaped element, in the document's encoding
    bool m_isRaw = false;
};
