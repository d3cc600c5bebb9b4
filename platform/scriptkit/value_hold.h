#pragma once
// Ownership steps shared by variables, nodes, row buffers and row grids: every holder
// owns its text and byte copies and one reference to a stream, table or map.

#include <cstdint>

#include "platform/scriptkit/script_value.h"

namespace scriptkit {

// Text units of a terminated text (0 for null).
uint32_t TextLength(const char16_t *text);
// A heap copy of n units and a terminator.
char16_t *CopyText(const char16_t *text, uint32_t n);
// A heap copy of a byte block (its u32 length and the bytes).
uint8_t *CopyBlock(const uint8_t *block);
// A new heap block holding n bytes of data.
uint8_t *MakeBlock(const void *data, uint32_t n);

// Adds a reference to the stream, table or map a value of `type` holds.
void AddValueRef(uint16_t type, const XScriptValue_t &value);
// Gives back what a value of `type` holds: references always, text and byte blocks
// when owns is set. The value word is zeroed.
void DropValue(uint16_t type, XScriptValue_t &value, bool owns);
// dst = an owned copy of src (text and blocks copied, references added); *length is
// the text units or byte count of the copy.
void CopyValue(uint16_t type, const XScriptValue_t &src, XScriptValue_t &dst, uint32_t *length);

// Floating value converted to an integer, saturated at the 64-bit limits (NaN gives 0).
int64_t FloaterToInteger(double x);

} // namespace scriptkit
