#include "platform/scriptkit/xvariable.h"

#include "corekit/memory/memory.h"
#include "platform/scriptkit/value_hold.h"
#include "platform/scriptkit/xdata_node.h"

using namespace scriptkit;

XVariable::XVariable()
{
    m_value.integer = 0;
}

XVariable::XVariable(const XVariable &other)
{
    m_value.integer = 0;
    *this = other;
}

XVariable &XVariable::operator=(const XVariable &other)
{
    if (this == &other)
        return *this;
    XScriptValue_t copy;
    uint32_t length = 0;
    CopyValue(other.m_type, other.m_value, copy, &length);
    Take(other.m_type, copy, length);
    return *this;
}

XVariable::~XVariable()
{
    DropValue(m_type, m_value, true);
}

// Installs an already owned value, giving back the previous one afterwards.
void XVariable::Take(uint16_t type, const XScriptValue_t &value, uint32_t length)
{
    XScriptValue_t old = m_value;
    uint16_t oldType = m_type;
    m_type = type;
    m_value = value;
    m_length = length;
    DropValue(oldType, old, true);
}

int64_t XVariable::GetInteger() const
{
    if (m_type == kValueInteger)
        return m_value.integer;
    return m_type == kValueFloater ? FloaterToInteger(m_value.floater) : 0;
}

double XVariable::GetFloater() const
{
    if (m_type == kValueFloater)
        return m_value.floater;
    return m_type == kValueInteger ? static_cast<double>(m_value.integer) : 0.0;
}

const char16_t *XVariable::GetString() const
{
    return m_type == kValueText ? m_value.text : nullptr;
}

DATETIME_t XVariable::GetTime() const
{
    return m_type == kValueTime ? m_value.time : DATETIME_t{};
}

const uint8_t *XVariable::GetBytes() const
{
    return m_type == kValueBytes ? m_value.bytes : nullptr;
}

IArchive *XVariable::GetStream() const
{
    return m_type == kValueStream ? m_value.stream : nullptr;
}

XRowGrider *XVariable::GetGrider() const
{
    return m_type == kValueTable ? m_value.table : nullptr;
}

XRowMap *XVariable::GetRowMap() const
{
    return m_type == kValueArray ? m_value.map : nullptr;
}

void XVariable::SetNull()
{
    Take(kValueNull, XScriptValue_t{}, 0);
}

void XVariable::SetInteger(int64_t v)
{
    XScriptValue_t value;
    value.integer = v;
    Take(kValueInteger, value, 0);
}

void XVariable::SetFloater(double v)
{
    XScriptValue_t value;
    value.floater = v;
    Take(kValueFloater, value, 0);
}

void XVariable::SetString(const char16_t *text)
{
    SetString(text, TextLength(text));
}

void XVariable::SetString(const char16_t *text, uint32_t n)
{
    if (!text)
        return SetNull();
    XScriptValue_t value;
    value.text = CopyText(text, n);
    Take(kValueText, value, n);
}

void XVariable::SetTime(const DATETIME_t &t)
{
    XScriptValue_t value;
    value.integer = 0;
    value.time = t;
    Take(kValueTime, value, 0);
}

void XVariable::SetBytes(const uint8_t *block)
{
    if (!block)
        return SetNull();
    SetBytes(block + 4, GetBlockLength(block));
}

void XVariable::SetBytes(const void *data, uint32_t n)
{
    XScriptValue_t value;
    value.bytes = MakeBlock(data, n);
    Take(kValueBytes, value, n);
}

void XVariable::SetStream(IArchive *stream)
{
    XScriptValue_t value;
    value.stream = stream;
    TakeObject(kValueStream, value);
}

void XVariable::SetGrider(XRowGrider *table)
{
    XScriptValue_t value;
    value.table = table;
    TakeObject(kValueTable, value);
}

void XVariable::SetRowMap(XRowMap *map)
{
    XScriptValue_t value;
    value.map = map;
    TakeObject(kValueArray, value);
}

// A new reference is taken before the old value is given back.
void XVariable::TakeObject(uint16_t type, const XScriptValue_t &value)
{
    if (!value.stream)
        return SetNull();
    AddValueRef(type, value);
    Take(type, value, 0);
}

int XVariable::SetValue(const XDataNode *node)
{
    if (!node || IsNullNode(node)) {
        SetNull();
        return 1;
    }
    uint16_t type = node->type == kValueText2 ? kValueText : node->type;
    switch (type) {
    case kValueInteger:
    case kValueFloater:
    case kValueTime:
    case kValueText:
    case kValueBytes:
    case kValueStream:
    case kValueTable:
    case kValueArray:
        break;
    default:
        SetNull();
        return 0;
    }
    if ((type == kValueText && !node->value.text) || (type == kValueBytes && !node->value.bytes)) {
        SetNull();
        return 1;
    }
    XScriptValue_t copy;
    uint32_t length = 0;
    CopyValue(type, node->value, copy, &length);
    Take(type, copy, length);
    return 1;
}

void XVariable::GetValue(XDataNode *node) const
{
    ClearDataNode(node);
    if (m_type == kValueNull)
        return;
    node->type = m_type;
    node->isNull = 0;
    node->hold = kNodeBorrows;
    node->length = m_length;
    node->value = m_value;
    AddValueRef(m_type, node->value);
}
