#pragma once
// The style language: narrow UTF-8 declarations "key:value;key:value;" read into and
// written from a style descriptor, and the comment stripper of style sheets.

#include "pagekit/core/style_desc.h"
#include "pagekit/pagekit_export.h"

class XString;

// Applies the declarations of text to desc. Unknown keys and values that do not parse
// change nothing; a key without a value resets its fields. Sets the touched-group bit
// of each key applied. Returns the bytes consumed: up to, not including, the first '}'
// outside quotes or the terminating zero.
PAGEKIT_EXPORT unsigned ParseStyleDesc(XStyleDesc *desc, const char *text);

// Appends the style text of every set field (UTF-16). What it writes, ParseStyleDesc
// reads back into an equal descriptor, except for the fields the text cannot carry
// (content, disabled, readonly, layout bits 4-7, opacity beyond two decimals).
PAGEKIT_EXPORT void FormatStyleDesc(XStyleDesc *desc, XString *out);

// Copies in to out without its /* ... */ comments (an unterminated comment runs to the
// end); quoted strings are copied unchanged. out is zero-terminated, never longer than
// in, and may be in itself.
PAGEKIT_EXPORT void ClearStyleNote(char *out, const char *in);
