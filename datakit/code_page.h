#pragma once
// The Windows code-page number of corekit's ANSI code page setting.

#include "datakit/datakit_export.h"

// Windows code-page number of an iconv encoding name ("CP932", "SHIFT_JIS", "GBK",
// "WINDOWS-1252" ...), matched without regard to case; 0 when the name is unknown.
DATAKIT_EXPORT int CodePageNumber(const char *name);
// CodePageNumber(GetAnsiCodePage()).
DATAKIT_EXPORT int AnsiCodePageNumber();
