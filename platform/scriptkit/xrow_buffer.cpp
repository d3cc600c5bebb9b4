#include "platform/scriptkit/xrow_buffer.h"

#include "corekit/memory/memory.h"
#include "platform/scriptkit/value_hold.h"
#include "platform/scriptkit/xvariable.h"

using namespace scriptkit;

XRowBuffer::~XRowBuffer()
{
    ClearBuffer();
    MemFree(m_nodes);
}

XDataNode *XRowBuffer::MallocNode()
{
    if (m_count == m_capacity) {
        uint32_t capacity = m_capacity ? m_capacity * 2 : 8;
        m_nodes = static_cast<XDataNode *>(MemRealloc(m_nodes, capacity * sizeof(XDataNode)));
        m_capacity = capacity;
    }
    XDataNode *node = &m_nodes[m_count++];
    InitDataNode(node);
    return node;
}

// A node holding a copy of the value (type 14 is reported as text).
XDataNode *XRowBuffer::AddOwned(uint16_t type, const XScriptValue_t &value)
{
    XDataNode source;
    InitDataNode(&source);
    source.type = type;
    source.isNull = 0;
    source.value = value;
    XDataNode *node = MallocNode();
    CopyDataNode(node, &source);
    return node;
}

int XRowBuffer::AddDataUnit(int v)
{
    return AddDataUnit(static_cast<int64_t>(v));
}

int XRowBuffer::AddDataUnit(int64_t v)
{
    XScriptValue_t value;
    value.integer = v;
    AddOwned(kValueInteger, value);
    return 1;
}

int XRowBuffer::AddDataUnit(double v)
{
    XScriptValue_t value;
    value.floater = v;
    AddOwned(kValueFloater, value);
    return 1;
}

int XRowBuffer::AddDataUnit(const char16_t *text)
{
    XScriptValue_t value;
    value.text = text;
    AddOwned(kValueText, value);
    return 1;
}

int XRowBuffer::AddDataUnit(const DATETIME_t &t)
{
    XScriptValue_t value;
    value.integer = 0;
    value.time = t;
    AddOwned(kValueTime, value);
    return 1;
}

int XRowBuffer::AddDataUnit(const uint8_t *block)
{
    XScriptValue_t value;
    value.bytes = block;
    AddOwned(kValueBytes, value);
    return 1;
}

int XRowBuffer::AddDataUnit(IArchive *stream)
{
    XScriptValue_t value;
    value.stream = stream;
    AddOwned(stream ? kValueStream : kValueNull, value);
    return 1;
}

int XRowBuffer::AddDataUnit(XRowGrider *table)
{
    XScriptValue_t value;
    value.table = table;
    AddOwned(table ? kValueTable : kValueNull, value);
    return 1;
}

int XRowBuffer::AddDataUnit(XRowMap *map)
{
    XScriptValue_t value;
    value.map = map;
    AddOwned(map ? kValueArray : kValueNull, value);
    return 1;
}

int XRowBuffer::AddDataUnit(const XDataNode *node)
{
    XDataNode *copy = MallocNode();
    CopyDataNode(copy, node);
    if (node) {
        copy->id = node->id;
        copy->dataClass = node->dataClass;
        copy->size = node->size;
        copy->tag = node->tag;
    }
    return 1;
}

int XRowBuffer::AddDataUnit(const XVariable *value)
{
    if (!value)
        return AddNullUnit();
    XDataNode view;
    InitDataNode(&view);
    value->GetValue(&view);
    AddDataUnit(&view);
    ClearDataNode(&view);
    return 1;
}

int XRowBuffer::AddNullUnit()
{
    MallocNode();
    return 1;
}

XDataNode *XRowBuffer::GetDataNode(uint32_t i)
{
    return i < m_count ? &m_nodes[i] : nullptr;
}

const XDataNode *XRowBuffer::GetDataNode(uint32_t i) const
{
    return i < m_count ? &m_nodes[i] : nullptr;
}

void XRowBuffer::ClearBuffer()
{
    for (uint32_t i = 0; i < m_count; ++i)
        ClearDataNode(&m_nodes[i]);
    m_count = 0;
}
