#pragma once
// Descriptor fixtures shared by the item data tests.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "datakit/item_data_desc.h"

// A heap descriptor released with its chain at scope end.
struct DescDeleter
{
    void operator()(XItemDataDesc *d) const;
};
using DescPtr = std::unique_ptr<XItemDataDesc, DescDeleter>;

// A new descriptor of the given type and size, named `name`.
DescPtr MakeDesc(uint16_t type, uint16_t size, const char16_t *name = u"F");
// Appends a column descriptor to the chain of `table`; returns it.
XItemDataDesc *AddColumn(XItemDataDesc *table, uint16_t type, uint16_t size, const char16_t *name);
// A byte block (u32 length, then the bytes).
std::vector<uint8_t> Block(const std::string &bytes);
// The descriptor's value as text for comparisons in failure messages.
std::u16string TextOf(const XItemDataDesc *d);

// Expects every stored field, the value and the whole chain of b to equal a's.
void ExpectSameDesc(const XItemDataDesc *a, const XItemDataDesc *b);
// A descriptor chain holding one value of every type: a table descriptor whose columns
// are an integer, a text, a double, a time, bytes, a second-kind text and a stream, each
// with a value, keyer and default; the table holds two rows.
DescPtr MakeEveryType();
