#pragma once
// A script variable: one typed value that the variable owns (its text and byte copies,
// one reference to a stream, table or map). kValueNull means no value.

#include <cstdint>

#include "platform/scriptkit/script_value.h"
#include "platform/scriptkit/scriptkit_export.h"

struct XDataNode;

class SCRIPTKIT_EXPORT XVariable
{
public:
    XVariable();
    XVariable(const XVariable &other);
    XVariable &operator=(const XVariable &other);
    ~XVariable();

    uint16_t GetType() const { return m_type; }
    int IsNull() const { return m_type == kValueNull; }
    // Text units (without terminator) or byte count of the value; 0 for other types.
    uint32_t GetLength() const { return m_length; }
    const XScriptValue_t &GetValue() const { return m_value; }

    // Typed reads; a value of another type reads as 0 or null. GetFloater also reads
    // integers, GetInteger also floating values (saturated).
    int64_t GetInteger() const;
    double GetFloater() const;
    const char16_t *GetString() const;
    DATETIME_t GetTime() const;
    const uint8_t *GetBytes() const; // the block: u32 length, then the bytes
    IArchive *GetStream() const;
    XRowGrider *GetGrider() const;
    XRowMap *GetRowMap() const;

    // Setters replace the value. A null pointer makes the variable null. Streams, tables
    // and maps gain a reference before the old value is given back, so setting the one
    // already held is safe.
    void SetNull();
    void SetInteger(int64_t v);
    void SetFloater(double v);
    void SetString(const char16_t *text);
    void SetString(const char16_t *text, uint32_t n);
    void SetTime(const DATETIME_t &t);
    void SetBytes(const uint8_t *block);
    void SetBytes(const void *data, uint32_t n);
    void SetStream(IArchive *stream);
    void SetGrider(XRowGrider *table);
    void SetRowMap(XRowMap *map);

    // The node's value copied in (a null or null-marked node gives null; type 14 is
    // taken as text). Returns 1, or 0 for a type code that no variable holds (null then).
    int SetValue(const XDataNode *node);
    // Fills node with this value, borrowing text and bytes and adding a reference to a
    // stream, table or map. The node must not outlive the variable's value.
    void GetValue(XDataNode *node) const;

private:
    void Take(uint16_t type, const XScriptValue_t &value, uint32_t length);
    void TakeObject(uint16_t type, const XScriptValue_t &value);

    uint16_t m_type = kValueNull;
    uint32_t m_length = 0;
    XScriptValue_t m_value{};
};
