#pragma once
// A row of script values: the results that macro functions and object members append,
// and the row that item values are read into. Nodes lie in one array, 48 bytes apart.

#include <cstdint>

#include "platform/scriptkit/scriptkit_export.h"
#include "platform/scriptkit/xdata_node.h"

class XVariable;

class SCRIPTKIT_EXPORT XRowBuffer
{
public:
    XRowBuffer() = default;
    XRowBuffer(const XRowBuffer &) = delete;
    XRowBuffer &operator=(const XRowBuffer &) = delete;
    ~XRowBuffer();

    // Appends a null-marked node (type kValueNull) for the caller to fill. A node whose
    // hold is kNodeOwns gives its text or bytes back with the buffer; references are
    // always given back. The pointer stays valid until the next node is appended or the
    // buffer is cleared.
    XDataNode *MallocNode();

    // Append one value each, as an owned copy (text and bytes copied, references
    // added); a null text, block or object appends a null value. Return 1.
    int AddDataUnit(int v);
    int AddDataUnit(int64_t v);
    int AddDataUnit(double v);
    int AddDataUnit(const char16_t *text);
    int AddDataUnit(const DATETIME_t &t);
    int AddDataUnit(const uint8_t *block); // u32 length, then the bytes
    int AddDataUnit(IArchive *stream);
    int AddDataUnit(XRowGrider *table);
    int AddDataUnit(XRowMap *map);
    int AddDataUnit(const XDataNode *node);
    int AddDataUnit(const XVariable *value);
    int AddNullUnit();

    uint32_t GetCount() const { return m_count; }
    // Node i, or null when i >= GetCount().
    XDataNode *GetDataNode(uint32_t i);
    const XDataNode *GetDataNode(uint32_t i) const;
    // The nodes as one array of GetCount() records (null when empty).
    const XDataNode *GetNodeArray() const { return m_count ? m_nodes : nullptr; }
    // Gives every value back and empties the buffer.
    void ClearBuffer();

private:
    XDataNode *AddOwned(uint16_t type, const XScriptValue_t &value);

    XDataNode *m_nodes = nullptr;
    uint32_t m_count = 0;
    uint32_t m_capacity = 0;
};
